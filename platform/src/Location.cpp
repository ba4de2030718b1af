#include "IO/Location.hpp"

namespace IO {

std::string Location::GetLastLocalName() const
{
    const auto slash = path_.find_last_of('/');
    return slash == std::string::npos ? path_ : path_.substr(slash + 1);
}

void Location::DeleteLastLocalName()
{
    std::string trimmed = path_;
    while (trimmed.size() > 1 && trimmed.back() == '/') trimmed.pop_back();
    const auto slash = trimmed.find_last_of('/');
    if (slash == std::string::npos)
        path_.clear();
    else
        path_ = slash == 0 ? std::string("/") : trimmed.substr(0, slash);
}

void Location::AppendToLocal(const std::string& name)
{
    if (path_.empty() || path_.back() != '/') path_ += '/';
    path_ += name;
}

void Location::SetLastLocalName(const std::string& name)
{
    DeleteLastLocalName();
    AppendToLocal(name);
}

}  // namespace IO
