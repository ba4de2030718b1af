#include "e57/BlobNode.hpp"

#include <cstring>

#include "e57/E57Exception.hpp"
#include "e57/Element.hpp"
#include "e57/ImageData.hpp"

namespace e57 {
namespace {

constexpr std::uint64_t kBlobHeaderSize = 16;

}  // namespace

std::uint64_t BlobNode::byteCount() const { return element().count; }

void BlobNode::read(void* destination, std::uint64_t start, std::size_t count) const {
    if (start > byteCount() || count > byteCount() - start)
        throw E57Exception(ErrorCode::BadArgument, pathName() + ": bytes " + std::to_string(start) + "+" +
                                                       std::to_string(count) + " outside a blob of " +
                                                       std::to_string(byteCount()));
    PagedFile& file = *image()->file;
    const std::uint64_t physical = element().fileOffset;
    if (!PagedFile::isPayloadOffset(physical))
        throw E57Exception(ErrorCode::BadSectionHeader,
                           pathName() + ": offset " + std::to_string(physical) + " points into a page checksum");
    const std::uint64_t logical = PagedFile::toLogical(physical);
    unsigned char header[kBlobHeaderSize];
    file.readLogical(logical, header, sizeof header);
    std::uint64_t sectionLength = 0;
    std::memcpy(&sectionLength, header + 8, 8);
    if (header[0] != 0 || sectionLength < kBlobHeaderSize || sectionLength - kBlobHeaderSize < byteCount())
        throw E57Exception(ErrorCode::BadSectionHeader,
                           pathName() + ": blob section at offset " + std::to_string(physical) + " has id " +
                               std::to_string(header[0]) + " and length " + std::to_string(sectionLength));
    file.readLogical(logical + kBlobHeaderSize + start, destination, count);
}

}  // namespace e57
