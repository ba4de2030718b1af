#pragma once
#include <cstdint>
#include <optional>
#include <string>

namespace IO
{

// What the system tells of one content of a file: two quick writes may share a
// modification time, so the identity and the size come with it.
struct FileStatus
{
    std::int64_t modified = 0;  // nanoseconds of the system clock
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;
    std::uint32_t permissions = 0;
    bool regular = false;
};

// The status of what lies at the path; a link is not followed. Nothing when nothing lies there.
std::optional<FileStatus> StatusAt(const std::string& path);

// Whether the caller may read and write the file at the path.
bool MayReadAndWrite(const std::string& path);

}  // namespace IO
