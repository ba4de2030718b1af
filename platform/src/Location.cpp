#include "IO/Location.hpp"

namespace IO
{

namespace
{

constexpr const char* Separators = "/\\";

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

}  // namespace

RelativeLocation::RelativeLocation(const std::string& path)
{
    std::size_t start = 0;
    while (start <= path.size())
    {
        std::size_t end = path.find_first_of(Separators, start);
        if (end == std::string::npos) end = path.size();
        if (end > start) names_.push_back(path.substr(start, end - start));
        start = end + 1;
    }
}

std::string Location::GetLastLocalName() const
{
    const auto separator = path_.find_last_of(Separators);
    return separator == std::string::npos ? path_ : path_.substr(separator + 1);
}

void Location::DeleteLastLocalName()
{
    std::string trimmed = path_;
    while (trimmed.size() > 1 && IsSeparator(trimmed.back())) trimmed.pop_back();
    const auto separator = trimmed.find_last_of(Separators);
    if (separator == std::string::npos)
        path_.clear();
    else
        path_ = separator == 0 ? std::string("/") : trimmed.substr(0, separator);
}

void Location::AppendToLocal(const std::string& name)
{
    if (path_.empty() || !IsSeparator(path_.back())) path_ += '/';
    path_ += name;
}

void Location::AppendToLocal(const RelativeLocation& relative)
{
    for (const std::string& name : relative.Names()) AppendToLocal(name);
}

void Location::SetLastLocalName(const std::string& name)
{
    DeleteLastLocalName();
    AppendToLocal(name);
}

}  // namespace IO
