#pragma once

#include <array>
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace e57 {

// Stored integers are little-endian and are copied straight into host integers.
static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "the E57 reader needs a little-endian host");

// Read-only access to the 1024-byte checksummed pages of an E57 file, addressed by
// logical offset (checksums stripped). Pages are read in large windows, and each
// page's checksum is verified once, when it is first used, if the policy selects it;
// a page read again in a later window (a second pass over a scan) is not verified again.
class PagedFile {
public:
    static constexpr std::uint64_t kPageSize = 1024;
    static constexpr std::uint64_t kPayloadSize = 1020;

    PagedFile(const std::string& path, int checksumPercent);
    ~PagedFile();
    PagedFile(const PagedFile&) = delete;
    PagedFile& operator=(const PagedFile&) = delete;

    std::uint64_t physicalSize() const { return physicalSize_; }
    std::uint64_t logicalSize() const { return logicalSize_; }

    // Bytes at a physical offset, without any checksum test (the header must be
    // recognised before its page checksum means anything).
    void readUnchecked(std::uint64_t physicalOffset, void* destination, std::size_t size);
    void verifyPage(std::uint64_t page);
    // Checks the pages that hold the logical range, as the policy selects them.
    void verifyLogical(std::uint64_t logicalOffset, std::uint64_t size);
    void readLogical(std::uint64_t logicalOffset, void* destination, std::size_t size);
    // The same, with every page's checksum tested whatever the policy.
    void readLogicalChecked(std::uint64_t logicalOffset, void* destination, std::size_t size);
    bool isOpen() const { return descriptor_ >= 0; }
    void close();

    // A physical offset that points into a checksum has no logical counterpart.
    static bool isPayloadOffset(std::uint64_t physicalOffset) { return physicalOffset % kPageSize < kPayloadSize; }
    static std::uint64_t toLogical(std::uint64_t physicalOffset) {
        return physicalOffset / kPageSize * kPayloadSize + physicalOffset % kPageSize;
    }

private:
    // Windows small enough that what is read into them is still in the second-level
    // cache when it is checked and copied out.
    static constexpr std::uint64_t kWindowPages = 64;
    static constexpr std::size_t kWindowCount = 4;

    struct Window {
        std::uint64_t index = UINT64_MAX;
        std::uint64_t pageCount = 0;
        std::uint64_t lastUse = 0;
        std::vector<unsigned char> bytes;
        // The verified pages of this window, kept in `verified_` beyond its eviction.
        std::bitset<kWindowPages>* verified = nullptr;
    };

    Window& windowFor(std::uint64_t page);
    void load(Window& window, std::uint64_t index);
    void checkPage(Window& window, std::uint64_t page, bool always);
    // Pages first to last of one window, those the policy (or always) selects.
    void checkPages(Window& window, std::uint64_t first, std::uint64_t last, bool always);
    void read(std::uint64_t logicalOffset, void* destination, std::size_t size, bool checkEveryPage);
    bool selectedForCheck(std::uint64_t page) const;
    void readFully(std::uint64_t physicalOffset, void* destination, std::size_t size);
    void requireOpen() const;

    std::string path_;
    int descriptor_ = -1;
    int checksumPercent_;
    std::uint64_t physicalSize_ = 0;
    std::uint64_t logicalSize_ = 0;
    std::uint64_t useCounter_ = 0;
    std::array<Window, kWindowCount> windows_;
    // By window index, for the windows read so far: a few bytes for every 64 KB read.
    std::unordered_map<std::uint64_t, std::bitset<kWindowPages>> verified_;
};

}  // namespace e57
