#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace e57test
{

// Writes logical bytes as 1024-byte pages with big-endian CRC-32C checksums, and
// lets bytes already written be patched (section and file headers come last).
class PageWriter
{
public:
    explicit PageWriter(const std::string& path);

    std::uint64_t logicalPosition() const { return logical_; }
    std::uint64_t physicalPosition() const { return logical_ / 1020 * 1024 + logical_ % 1020; }
    void write(const void* data, std::size_t size);
    void writeZeros(std::size_t size);
    void patch(std::uint64_t logicalOffset, const void* data, std::size_t size);
    std::uint64_t finishedLength() const { return (logical_ + 1019) / 1020 * 1024; }
    // Pads the last page with zeros and closes the file.
    void finish();

private:
    struct FileCloser
    {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };

    void flushPage();
    static void sealPage(unsigned char* page);

    std::unique_ptr<std::FILE, FileCloser> file_;
    std::vector<unsigned char> page_;
    std::vector<unsigned char> ioBuffer_;
    std::uint64_t logical_ = 0;
    std::uint64_t pagesWritten_ = 0;
};

}  // namespace e57test
