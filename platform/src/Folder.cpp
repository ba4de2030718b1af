#include "IO/Folder.hpp"

#include <algorithm>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "IO/File.hpp"

namespace IO
{

namespace
{

struct Entry
{
    std::string name;
    bool isFolder = false;
};

// Read whole before the first callback, so a callback may change the folder.
bool ListEntries(const std::string& path, std::vector<Entry>& entries)
{
    std::error_code ec;
    std::filesystem::directory_iterator it(path, ec);
    if (ec) return false;
    for (; !ec && it != std::filesystem::directory_iterator(); it.increment(ec))
    {
        std::error_code typeError;
        entries.push_back({it->path().filename().string(), it->is_directory(typeError)});
    }
    if (ec) return false;
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.name < b.name; });
    return true;
}

}  // namespace

Folder::Folder(const Location& location, OnNotFound) : location_(location)
{
    std::error_code ec;
    if (location.IsEmpty())
        status_ = InvalidLocation;
    else if (!std::filesystem::exists(location.ToPath(), ec))
        status_ = FolderNotFound;
    else if (!std::filesystem::is_directory(location.ToPath(), ec))
        status_ = NotAFile;
}

std::int32_t Folder::Enumerate(EnumerationCallback callback, void* userData) const
{
    if (status_ != 0) return status_;
    std::vector<Entry> entries;
    if (!ListEntries(location_.ToPath(), entries)) return AccessDenied;
    for (const Entry& entry : entries)
        if (!callback(*this, Name(entry.name), entry.isFolder, userData)) break;
    return 0;
}

std::int32_t Folder::CreateFolder(const Name& name) const
{
    if (status_ != 0) return status_;
    const std::string& local = name.ToString();
    if (local.empty() || local == "." || local == ".." || local.find('/') != std::string::npos) return InvalidLocation;
    std::error_code ec;
    std::filesystem::create_directory(std::filesystem::path(location_.ToPath()) / local, ec);
    return ec ? AccessDenied : 0;
}

}  // namespace IO
