#pragma once
#include <cstdint>
#include <string>

#include "IO/Location.hpp"

namespace IO
{

// Statuses of a file; 0x81010100 to 0x81010103 all say that the location holds no
// file to use.
constexpr std::int32_t FileNotFound = static_cast<std::int32_t>(0x81010100);
constexpr std::int32_t FolderNotFound = static_cast<std::int32_t>(0x81010101);
constexpr std::int32_t NotAFile = static_cast<std::int32_t>(0x81010102);
constexpr std::int32_t InvalidLocation = static_cast<std::int32_t>(0x81010103);
constexpr std::int32_t AccessDenied = static_cast<std::int32_t>(0x81010104);
constexpr std::int32_t TransferError = static_cast<std::int32_t>(0x81010105);
constexpr std::int32_t NotOpen = static_cast<std::int32_t>(0x81010106);

// A file of the host's input-output library. Writing goes to a file beside the
// target that is flushed to the disk and replaces it at Close, so an export that
// fails, or a power cut, leaves the old file whole and one that succeeds leaves
// none of its old bytes; a file closed after a failed transfer, or dropped without
// Close, replaces nothing. Only a regular file is opened for reading: a pipe, a
// device or a folder in its place gives NotAFile at once, without waiting.
class File
{
public:
    enum OnNotFound
    {
        Fail,
        Create
    };
    enum OpenMode
    {
        ReadMode,
        WriteMode
    };

    explicit File(const Location& location, OnNotFound onNotFound = Fail);
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    ~File();

    std::int32_t GetStatus() const { return status_; }
    std::int32_t Open(OpenMode mode);
    // `read` receives the bytes delivered, fewer than asked at the end of the file.
    std::int32_t ReadBin(char* destination, std::uint64_t count, std::uint64_t& read);
    std::int32_t WriteBin(const char* source, std::uint64_t count);
    std::int32_t GetPosition(std::int64_t& position) const;
    std::int32_t SetPosition(std::int64_t position);
    std::int32_t GetDataLength(std::uint64_t& length) const;
    // The file's last change in seconds of the system clock; 0, or the status.
    std::int32_t GetModificationTime(std::int64_t& time) const;
    std::int32_t Close();

private:
    std::int32_t OpenForWriting();
    std::int32_t OpenInPlace();
    void Discard();

    std::string path_;
    std::string asidePath_;
    std::int32_t status_ = 0;
    int descriptor_ = -1;
    // Written since the disk was last asked to take the file's bytes.
    std::uint64_t unsent_ = 0;
    bool writing_ = false;
    bool transferFailed_ = false;
};

}  // namespace IO
