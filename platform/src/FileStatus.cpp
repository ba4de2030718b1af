#include "IO/FileStatus.hpp"

#include <sys/stat.h>
#include <unistd.h>

#include "FileStatusOf.hpp"

namespace IO
{

FileStatus FileStatusOf(const struct stat& info)
{
    FileStatus status;
    status.modified = static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    status.device = static_cast<std::uint64_t>(info.st_dev);
    status.inode = static_cast<std::uint64_t>(info.st_ino);
    status.size = static_cast<std::int64_t>(info.st_size);
    status.permissions = static_cast<std::uint32_t>(info.st_mode & 07777);
    status.regular = S_ISREG(info.st_mode);
    return status;
}

std::optional<FileStatus> StatusAt(const std::string& path)
{
    struct stat info
    {};
    if (::lstat(path.c_str(), &info) != 0) return std::nullopt;
    return FileStatusOf(info);
}

bool MayReadAndWrite(const std::string& path) { return ::access(path.c_str(), R_OK | W_OK) == 0; }

}  // namespace IO
