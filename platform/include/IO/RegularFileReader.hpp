#pragma once
#include <cstddef>
#include <optional>
#include <string>

#include "IO/FileStatus.hpp"

namespace IO
{

// Reads a regular file once from its start to its end. The open neither follows a
// link nor waits: a link, a pipe, a device or a folder in the file's place is not
// opened. A file that holds more bytes than it had when it was opened is not read
// to its end: the reading fails there.
class RegularFileReader
{
public:
    explicit RegularFileReader(const std::string& path);
    RegularFileReader(const RegularFileReader&) = delete;
    RegularFileReader& operator=(const RegularFileReader&) = delete;
    ~RegularFileReader();

    bool IsOpen() const { return descriptor_ >= 0; }
    // The file as it was opened.
    const FileStatus& Status() const { return status_; }
    // The next bytes, at most `capacity`; 0 at the end; nothing when the reading failed.
    std::optional<std::size_t> Read(char* into, std::size_t capacity);

private:
    int descriptor_ = -1;
    FileStatus status_;
    std::int64_t read_ = 0;
};

}  // namespace IO
