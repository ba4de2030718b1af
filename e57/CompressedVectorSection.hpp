#pragma once

#include <cstdint>
#include <string>

namespace e57 {

class PagedFile;
struct Element;

// The 32-byte header of a compressed vector's binary section, checked against the
// file: where its packets start and where the section ends (logical offsets).
class CompressedVectorSection {
public:
    static constexpr std::uint64_t kHeaderSize = 32;

    CompressedVectorSection(PagedFile& file, const Element& node);

    std::uint64_t dataStart() const { return dataStart_; }
    std::uint64_t end() const { return end_; }
    std::uint64_t length() const { return end_ - start_; }

private:
    [[noreturn]] void fail(const std::string& what) const;

    const Element& node_;  // its path is built only for an error
    std::uint64_t start_ = 0;
    std::uint64_t dataStart_ = 0;
    std::uint64_t end_ = 0;
};

}  // namespace e57
