#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "IO/FileStatus.hpp"

namespace IO
{

// A new content for a file, written beside it under a name no other writer uses
// and put in its place whole: a reader or a power cut finds the old file or the new
// one, never a torn one. An aside file not put in place is removed.
class AsideFile
{
public:
    AsideFile(const std::string& target, std::uint32_t permissions);
    AsideFile(const AsideFile&) = delete;
    AsideFile& operator=(const AsideFile&) = delete;
    ~AsideFile();

    // False when the target's folder refused the new file.
    bool IsOpen() const { return descriptor_ >= 0; }
    // False once any write failed.
    bool Write(const char* data, std::size_t size);
    // Flushes the bytes to the disk and closes the file; the status of what was
    // written, nothing when a write, the flush or the close failed.
    std::optional<FileStatus> Finish();
    // Renames the finished file over the target and flushes the folder, so the
    // rename survives a power cut too.
    bool PutInPlace();

private:
    std::string target_;
    std::string path_;
    std::uint32_t permissions_;
    int descriptor_ = -1;
    bool failed_ = false;
    bool finished_ = false;
};

}  // namespace IO
