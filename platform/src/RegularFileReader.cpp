#include "IO/RegularFileReader.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "FileStatusOf.hpp"

namespace IO
{

RegularFileReader::RegularFileReader(const std::string& path)
    : descriptor_(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY))
{
    struct stat info
    {};
    if (descriptor_ >= 0 && ::fstat(descriptor_, &info) == 0 && S_ISREG(info.st_mode))
    {
        status_ = FileStatusOf(info);
        return;
    }
    if (descriptor_ >= 0) ::close(descriptor_);
    descriptor_ = -1;
}

RegularFileReader::~RegularFileReader()
{
    if (descriptor_ >= 0) ::close(descriptor_);
}

std::optional<std::size_t> RegularFileReader::Read(char* into, std::size_t capacity)
{
    if (descriptor_ < 0) return std::nullopt;
    for (;;)
    {
        const ssize_t got = ::read(descriptor_, into, capacity);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return std::nullopt;
        read_ += got;
        if (read_ > status_.size) return std::nullopt;
        return static_cast<std::size_t>(got);
    }
}

}  // namespace IO
