#include "e57/PagedFile.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "e57/Crc32c.hpp"
#include "e57/E57Exception.hpp"

namespace e57 {

PagedFile::PagedFile(const std::string& path, int checksumPercent)
    : path_(path), checksumPercent_(std::clamp(checksumPercent, 0, 100)) {
    // Without waiting: a pipe or a device in the file's place is refused below, not read from.
    descriptor_ = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor_ < 0) throw E57Exception(ErrorCode::FileOpenFailed, path + ": " + std::strerror(errno));
    struct stat info {};
    if (::fstat(descriptor_, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(descriptor_);
        descriptor_ = -1;
        throw E57Exception(ErrorCode::FileOpenFailed, path + ": not a regular file");
    }
    physicalSize_ = static_cast<std::uint64_t>(info.st_size);
    logicalSize_ = physicalSize_ / kPageSize * kPayloadSize;
}

PagedFile::~PagedFile() { close(); }

void PagedFile::close() {
    if (descriptor_ >= 0) ::close(descriptor_);
    descriptor_ = -1;
    for (auto& window : windows_) {
        window = Window{};
    }
    verified_.clear();
}

void PagedFile::requireOpen() const {
    if (descriptor_ < 0) throw E57Exception(ErrorCode::FileClosed, path_);
}

void PagedFile::readFully(std::uint64_t physicalOffset, void* destination, std::size_t size) {
    auto* out = static_cast<unsigned char*>(destination);
    while (size > 0) {
        const ssize_t got = ::pread(descriptor_, out, size, static_cast<off_t>(physicalOffset));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0)
            throw E57Exception(ErrorCode::FileReadFailed,
                               path_ + " at offset " + std::to_string(physicalOffset) + ": " +
                                   (got == 0 ? "unexpected end of file" : std::strerror(errno)));
        out += got;
        size -= static_cast<std::size_t>(got);
        physicalOffset += static_cast<std::uint64_t>(got);
    }
}

void PagedFile::readUnchecked(std::uint64_t physicalOffset, void* destination, std::size_t size) {
    requireOpen();
    if (physicalOffset > physicalSize_ || size > physicalSize_ - physicalOffset)
        throw E57Exception(ErrorCode::ReadOutsideFile, "physical offset " + std::to_string(physicalOffset) +
                                                           " length " + std::to_string(size) + " in a file of " +
                                                           std::to_string(physicalSize_) + " bytes");
    readFully(physicalOffset, destination, size);
}

bool PagedFile::selectedForCheck(std::uint64_t page) const {
    // Spreads the checked pages evenly: 50 checks every other page, 100 all of them.
    return (page % 100 * static_cast<std::uint64_t>(checksumPercent_)) % 100 <
           static_cast<std::uint64_t>(checksumPercent_);
}

PagedFile::Window& PagedFile::windowFor(std::uint64_t page) {
    const std::uint64_t index = page / kWindowPages;
    Window* oldest = &windows_[0];
    for (auto& window : windows_) {
        if (window.index == index) {
            window.lastUse = ++useCounter_;
            return window;
        }
        if (window.lastUse < oldest->lastUse) oldest = &window;
    }
    load(*oldest, index);
    oldest->lastUse = ++useCounter_;
    return *oldest;
}

void PagedFile::load(Window& window, std::uint64_t index) {
    const std::uint64_t totalPages = physicalSize_ / kPageSize;
    const std::uint64_t first = index * kWindowPages;
    window.index = UINT64_MAX;
    window.pageCount = std::min(kWindowPages, totalPages - first);
    window.bytes.resize(kWindowPages * kPageSize);
    window.verified = nullptr;
    readFully(first * kPageSize, window.bytes.data(), window.pageCount * kPageSize);
    window.verified = &verified_[index];
    window.index = index;
}

void PagedFile::checkPage(Window& window, std::uint64_t page, bool always) { checkPages(window, page, page, always); }

void PagedFile::checkPages(Window& window, std::uint64_t first, std::uint64_t last, bool always) {
    const std::uint64_t base = window.index * kWindowPages;
    std::array<const unsigned char*, kWindowPages> pages;
    std::array<std::uint64_t, kWindowPages> slots;
    std::size_t count = 0;
    for (std::uint64_t page = first; page <= last; ++page) {
        const std::uint64_t slot = page - base;
        if (window.verified->test(slot) || !(always || selectedForCheck(page))) continue;
        pages[count] = window.bytes.data() + slot * kPageSize;
        slots[count++] = slot;
    }
    if (count == 0) return;
    std::array<std::uint32_t, kWindowPages> computed;
    Crc32c::computeEach(pages.data(), count, kPayloadSize, computed.data());
    for (std::size_t i = 0; i < count; ++i) {
        const unsigned char* bytes = pages[i];
        const std::uint32_t stored = (std::uint32_t{bytes[1020]} << 24) | (std::uint32_t{bytes[1021]} << 16) |
                                     (std::uint32_t{bytes[1022]} << 8) | std::uint32_t{bytes[1023]};
        if (computed[i] != stored) {
            const std::uint64_t page = base + slots[i];
            char text[160];
            std::snprintf(text, sizeof text, "page %llu (offset %llu): stored 0x%08X, computed 0x%08X",
                          static_cast<unsigned long long>(page), static_cast<unsigned long long>(page * kPageSize),
                          stored, computed[i]);
            throw E57Exception(ErrorCode::BadChecksum, path_ + ": " + text);
        }
        window.verified->set(slots[i]);
    }
}

void PagedFile::verifyPage(std::uint64_t page) {
    requireOpen();
    if (page >= physicalSize_ / kPageSize)
        throw E57Exception(ErrorCode::ReadOutsideFile, "page " + std::to_string(page) + " beyond end of file");
    checkPage(windowFor(page), page, false);
}

void PagedFile::verifyLogical(std::uint64_t logicalOffset, std::uint64_t size) {
    requireOpen();
    if (size == 0) return;
    if (logicalOffset > logicalSize_ || size > logicalSize_ - logicalOffset)
        throw E57Exception(ErrorCode::ReadOutsideFile, "logical offset " + std::to_string(logicalOffset) + " length " +
                                                           std::to_string(size) + " beyond the end of the data at " +
                                                           std::to_string(logicalSize_));
    const std::uint64_t last = (logicalOffset + size - 1) / kPayloadSize;
    for (std::uint64_t page = logicalOffset / kPayloadSize; page <= last;) {
        Window& window = windowFor(page);
        const std::uint64_t windowLast = std::min(last, window.index * kWindowPages + window.pageCount - 1);
        checkPages(window, page, windowLast, false);
        page = windowLast + 1;
    }
}

void PagedFile::readLogical(std::uint64_t logicalOffset, void* destination, std::size_t size) {
    read(logicalOffset, destination, size, false);
}

void PagedFile::readLogicalChecked(std::uint64_t logicalOffset, void* destination, std::size_t size) {
    read(logicalOffset, destination, size, true);
}

void PagedFile::read(std::uint64_t logicalOffset, void* destination, std::size_t size, bool checkEveryPage) {
    requireOpen();
    if (logicalOffset > logicalSize_ || size > logicalSize_ - logicalOffset)
        throw E57Exception(ErrorCode::ReadOutsideFile, "logical offset " + std::to_string(logicalOffset) + " length " +
                                                           std::to_string(size) + " beyond the end of the data at " +
                                                           std::to_string(logicalSize_));
    auto* out = static_cast<unsigned char*>(destination);
    while (size > 0) {
        const std::uint64_t page = logicalOffset / kPayloadSize;
        Window& window = windowFor(page);
        // The pages of the request in this window are checked together, then copied.
        const std::uint64_t windowEnd = window.index * kWindowPages + window.pageCount;
        const std::uint64_t last = std::min((logicalOffset + size - 1) / kPayloadSize, windowEnd - 1);
        checkPages(window, page, last, checkEveryPage);
        for (std::uint64_t at = page; at <= last; ++at) {
            const std::uint64_t inPage = logicalOffset % kPayloadSize;
            const std::size_t chunk = static_cast<std::size_t>(std::min<std::uint64_t>(size, kPayloadSize - inPage));
            std::memcpy(out, window.bytes.data() + (at - window.index * kWindowPages) * kPageSize + inPage, chunk);
            out += chunk;
            size -= chunk;
            logicalOffset += chunk;
        }
    }
}

}  // namespace e57
