#include "e57/CompressedVectorSection.hpp"

#include <cstring>

#include "e57/E57Exception.hpp"
#include "e57/Element.hpp"
#include "e57/PagedFile.hpp"

namespace e57 {

CompressedVectorSection::CompressedVectorSection(PagedFile& file, const Element& node) : node_(node) {
    if (!PagedFile::isPayloadOffset(node.fileOffset)) fail("the offset points into a page checksum");
    start_ = PagedFile::toLogical(node.fileOffset);
    if (start_ > file.logicalSize() || file.logicalSize() - start_ < kHeaderSize) fail("lies outside the file");

    unsigned char header[kHeaderSize];
    file.readLogical(start_, header, sizeof header);
    std::uint64_t sectionLength = 0;
    std::uint64_t dataPhysical = 0;
    std::uint64_t indexPhysical = 0;
    std::memcpy(&sectionLength, header + 8, 8);
    std::memcpy(&dataPhysical, header + 16, 8);
    std::memcpy(&indexPhysical, header + 24, 8);

    if (header[0] != 1) fail("has section id " + std::to_string(header[0]) + ", expected 1");
    if (sectionLength < kHeaderSize || sectionLength > file.logicalSize() - start_)
        fail("has length " + std::to_string(sectionLength) + ", which does not fit the file");
    end_ = start_ + sectionLength;
    // Writers leave a section without records without a data packet: nothing to read.
    if (dataPhysical == 0 && node.count == 0) {
        dataStart_ = end_;
        return;
    }
    if (!PagedFile::isPayloadOffset(dataPhysical)) fail("has a data offset inside a page checksum");
    dataStart_ = PagedFile::toLogical(dataPhysical);
    if (dataStart_ < start_ + kHeaderSize || dataStart_ > end_)
        fail("has data offset " + std::to_string(dataPhysical) + " outside the section");
    if (indexPhysical != 0) {
        const std::uint64_t index = PagedFile::toLogical(indexPhysical);
        if (!PagedFile::isPayloadOffset(indexPhysical) || index < start_ + kHeaderSize || index >= end_)
            fail("has index offset " + std::to_string(indexPhysical) + " outside the section");
    }
}

void CompressedVectorSection::fail(const std::string& what) const {
    throw E57Exception(ErrorCode::BadSectionHeader, node_.path() + ": compressed vector section at offset " +
                                                        std::to_string(node_.fileOffset) + " " + what);
}

}  // namespace e57
