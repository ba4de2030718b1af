#include "SafeFiles.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace SafeFiles
{

namespace
{

std::string FolderOf(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

Refusal RefusalOfErrno(int error)
{
    if (error == ENOENT || error == ENOTDIR) return Refusal::Missing;
    // A pipe opened for writing without a reader, or a device without its hardware.
    if (error == ENXIO || error == ENODEV || error == EISDIR) return Refusal::NotRegular;
    return Refusal::Denied;
}

// Some file systems cannot flush a folder; the rename stands all the same.
void SyncFolder(const std::string& folder)
{
    const int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0) return;
    ::fsync(descriptor);
    ::close(descriptor);
}

bool WriteAll(int descriptor, const std::string& bytes)
{
    std::size_t written = 0;
    while (written < bytes.size())
    {
        const ssize_t put = ::write(descriptor, bytes.data() + written, bytes.size() - written);
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) return false;
        written += static_cast<std::size_t>(put);
    }
    return true;
}

}  // namespace

const char* RefusalText(Refusal refusal)
{
    switch (refusal)
    {
        case Refusal::None: return "is read";
        case Refusal::Missing: return "is missing";
        case Refusal::NotRegular: return "is not a regular file";
        case Refusal::Denied: return "cannot be opened";
        case Refusal::TooLarge: return "is too large";
        case Refusal::ReadFailed: return "cannot be read";
    }
    return "cannot be read";
}

int OpenRegular(const std::string& path, Refusal& refusal)
{
    refusal = Refusal::None;
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (descriptor < 0)
    {
        refusal = RefusalOfErrno(errno);
        return -1;
    }
    struct stat info
    {};
    if (::fstat(descriptor, &info) != 0 || !S_ISREG(info.st_mode))
    {
        ::close(descriptor);
        refusal = Refusal::NotRegular;
        return -1;
    }
    const int flags = ::fcntl(descriptor, F_GETFL);
    if (flags < 0 || ::fcntl(descriptor, F_SETFL, flags & ~O_NONBLOCK) != 0)
    {
        ::close(descriptor);
        refusal = Refusal::ReadFailed;
        return -1;
    }
    return descriptor;
}

Refusal ReadRegular(const std::string& path, std::string& bytes, std::uint64_t maxBytes)
{
    bytes.clear();
    Refusal refusal = Refusal::None;
    const int descriptor = OpenRegular(path, refusal);
    if (descriptor < 0) return refusal;
    struct stat info
    {};
    if (::fstat(descriptor, &info) != 0)
        refusal = Refusal::ReadFailed;
    else if (static_cast<std::uint64_t>(info.st_size) > maxBytes)
        refusal = Refusal::TooLarge;
    char buffer[65536];
    while (refusal == Refusal::None)
    {
        const ssize_t got = ::read(descriptor, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) refusal = Refusal::ReadFailed;
        if (got <= 0) break;
        // The file may grow while it is read.
        if (bytes.size() + static_cast<std::uint64_t>(got) > maxBytes)
            refusal = Refusal::TooLarge;
        else
            bytes.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(descriptor);
    if (refusal != Refusal::None) bytes.clear();
    return refusal;
}

std::string AsidePattern(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    return FolderOf(path) + "/." + name + ".XXXXXX";
}

bool CommitAside(int descriptor, const std::string& asidePath, const std::string& path)
{
    const bool flushed = ::fsync(descriptor) == 0;
    const bool closed = ::close(descriptor) == 0;
    if (flushed && closed) return PutInPlace(asidePath, path);
    ::unlink(asidePath.c_str());
    return false;
}

bool PutInPlace(const std::string& asidePath, const std::string& path)
{
    if (std::rename(asidePath.c_str(), path.c_str()) != 0)
    {
        ::unlink(asidePath.c_str());
        return false;
    }
    SyncFolder(FolderOf(path));
    return true;
}

mode_t KeptMode(const std::string& path, mode_t fallback)
{
    struct stat info
    {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) ? (info.st_mode & 07777) : fallback;
}

bool ReplaceWhole(const std::string& path, const std::string& bytes)
{
    std::string aside = AsidePattern(path);
    const int descriptor = ::mkstemp(aside.data());
    if (descriptor < 0) return false;
    if (::fchmod(descriptor, KeptMode(path)) != 0 || !WriteAll(descriptor, bytes))
    {
        ::close(descriptor);
        ::unlink(aside.c_str());
        return false;
    }
    return CommitAside(descriptor, aside, path);
}

}  // namespace SafeFiles
