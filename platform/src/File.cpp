#include "IO/File.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "SafeFiles.hpp"

namespace IO
{

namespace
{

std::string FolderOf(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool IsFolder(const std::string& path)
{
    struct stat info
    {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::int32_t StatusOf(const std::string& path, File::OnNotFound onNotFound)
{
    if (path.empty()) return InvalidLocation;
    struct stat info
    {};
    if (::stat(path.c_str(), &info) == 0) return S_ISDIR(info.st_mode) ? NotAFile : 0;
    if (!IsFolder(FolderOf(path))) return FolderNotFound;
    return onNotFound == File::Create ? 0 : FileNotFound;
}

// A file written aside goes to the disk while it grows, a step at a time, so that
// the flush at Close waits only for its last bytes.
constexpr std::uint64_t WriteBackStep = 8 * 1024 * 1024;

// Devices and other special files cannot be replaced; they are written in place.
bool IsSpecialFile(const std::string& path)
{
    struct stat info
    {};
    return ::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode);
}

}  // namespace

File::File(const Location& location, OnNotFound onNotFound) : path_(location.ToPath()), status_(StatusOf(path_, onNotFound)) {}

File::~File() { Discard(); }

std::int32_t File::Open(OpenMode mode)
{
    if (status_ != 0) return status_;
    Discard();
    transferFailed_ = false;
    if (mode == WriteMode) return OpenForWriting();
    SafeFiles::Refusal refusal = SafeFiles::Refusal::None;
    descriptor_ = SafeFiles::OpenRegular(path_, refusal);
    if (descriptor_ >= 0) return 0;
    if (refusal == SafeFiles::Refusal::Missing) return FileNotFound;
    return refusal == SafeFiles::Refusal::NotRegular ? NotAFile : AccessDenied;
}

std::int32_t File::OpenForWriting()
{
    writing_ = true;
    unsent_ = 0;
    if (IsSpecialFile(path_)) return OpenInPlace();
    std::string pattern = SafeFiles::AsidePattern(path_);
    descriptor_ = ::mkstemp(pattern.data());
    if (descriptor_ < 0) return AccessDenied;
    asidePath_ = pattern;
    ::fchmod(descriptor_, SafeFiles::KeptMode(path_));
    return 0;
}

// Without waiting: a pipe nobody reads is refused, not waited on.
std::int32_t File::OpenInPlace()
{
    descriptor_ = ::open(path_.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (descriptor_ < 0) return AccessDenied;
    const int flags = ::fcntl(descriptor_, F_GETFL);
    if (flags < 0 || ::fcntl(descriptor_, F_SETFL, flags & ~O_NONBLOCK) != 0)
    {
        Discard();
        return AccessDenied;
    }
    return 0;
}

std::int32_t File::ReadBin(char* destination, std::uint64_t count, std::uint64_t& read)
{
    read = 0;
    if (descriptor_ < 0 || writing_) return NotOpen;
    while (read < count)
    {
        const ssize_t got = ::read(descriptor_, destination + read, count - read);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return TransferError;
        if (got == 0) break;
        read += static_cast<std::uint64_t>(got);
    }
    return 0;
}

std::int32_t File::WriteBin(const char* source, std::uint64_t count)
{
    if (descriptor_ < 0 || !writing_) return NotOpen;
    std::uint64_t written = 0;
    while (written < count)
    {
        const ssize_t put = ::write(descriptor_, source + written, count - written);
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0)
        {
            transferFailed_ = true;
            return TransferError;
        }
        written += static_cast<std::uint64_t>(put);
    }
    unsent_ += count;
    if (!asidePath_.empty() && unsent_ >= WriteBackStep)
    {
        ::sync_file_range(descriptor_, 0, 0, SYNC_FILE_RANGE_WRITE);
        unsent_ = 0;
    }
    return 0;
}

std::int32_t File::GetPosition(std::int64_t& position) const
{
    if (descriptor_ < 0) return NotOpen;
    const off_t at = ::lseek(descriptor_, 0, SEEK_CUR);
    if (at < 0) return TransferError;
    position = at;
    return 0;
}

std::int32_t File::SetPosition(std::int64_t position)
{
    if (descriptor_ < 0) return NotOpen;
    return position >= 0 && ::lseek(descriptor_, static_cast<off_t>(position), SEEK_SET) >= 0 ? 0 : TransferError;
}

std::int32_t File::GetDataLength(std::uint64_t& length) const
{
    if (descriptor_ < 0) return NotOpen;
    struct stat info
    {};
    if (::fstat(descriptor_, &info) != 0) return TransferError;
    length = static_cast<std::uint64_t>(info.st_size);
    return 0;
}

std::int32_t File::GetModificationTime(std::int64_t& time) const
{
    if (status_ != 0) return status_;
    struct stat info
    {};
    if (::stat(path_.c_str(), &info) != 0) return FileNotFound;
    time = static_cast<std::int64_t>(info.st_mtime);
    return 0;
}

std::int32_t File::Close()
{
    if (descriptor_ < 0) return NotOpen;
    const int descriptor = descriptor_;
    descriptor_ = -1;
    writing_ = false;
    if (!asidePath_.empty())
    {
        const std::string aside = std::move(asidePath_);
        asidePath_.clear();
        if (transferFailed_)
        {
            ::close(descriptor);
            ::unlink(aside.c_str());
            return TransferError;
        }
        return SafeFiles::CommitAside(descriptor, aside, path_) ? 0 : TransferError;
    }
    const bool closed = ::close(descriptor) == 0;
    return closed && !transferFailed_ ? 0 : TransferError;
}

void File::Discard()
{
    if (descriptor_ >= 0) ::close(descriptor_);
    descriptor_ = -1;
    if (!asidePath_.empty()) ::unlink(asidePath_.c_str());
    asidePath_.clear();
    writing_ = false;
}

}  // namespace IO
