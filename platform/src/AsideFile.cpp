#include "IO/AsideFile.hpp"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "FileStatusOf.hpp"
#include "SafeFiles.hpp"

namespace IO
{

AsideFile::AsideFile(const std::string& target, std::uint32_t permissions)
    : target_(target), path_(SafeFiles::AsidePattern(target)), permissions_(permissions), descriptor_(::mkstemp(path_.data()))
{
    if (descriptor_ < 0) path_.clear();
}

AsideFile::~AsideFile()
{
    if (descriptor_ >= 0) ::close(descriptor_);
    if (!path_.empty()) ::unlink(path_.c_str());
}

bool AsideFile::Write(const char* data, std::size_t size)
{
    while (!failed_ && descriptor_ >= 0 && size > 0)
    {
        const ssize_t written = ::write(descriptor_, data, size);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0)
            failed_ = true;
        else
        {
            data += written;
            size -= static_cast<std::size_t>(written);
        }
    }
    return !failed_ && descriptor_ >= 0;
}

std::optional<FileStatus> AsideFile::Finish()
{
    if (descriptor_ < 0) return std::nullopt;
    struct stat written
    {};
    const bool complete = !failed_ && ::fchmod(descriptor_, static_cast<mode_t>(permissions_ & 07777)) == 0 &&
                          ::fsync(descriptor_) == 0 && ::fstat(descriptor_, &written) == 0;
    const bool closed = ::close(descriptor_) == 0;
    descriptor_ = -1;
    if (!complete || !closed) return std::nullopt;
    finished_ = true;
    return FileStatusOf(written);
}

bool AsideFile::PutInPlace()
{
    if (!finished_ || path_.empty()) return false;
    const std::string aside = std::move(path_);
    path_.clear();
    return SafeFiles::PutInPlace(aside, target_);
}

}  // namespace IO
