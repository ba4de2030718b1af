#include "e57/ImageFile.hpp"

#include <algorithm>
#include <cstring>
#include <vector>

#include "e57/E57Exception.hpp"
#include "e57/Element.hpp"
#include "e57/ImageData.hpp"
#include "e57/PagedFile.hpp"
#include "e57/XmlTreeParser.hpp"

namespace e57 {
namespace {

constexpr std::size_t kHeaderSize = 48;

struct FileHeader {
    char signature[8];
    std::uint32_t majorVersion;
    std::uint32_t minorVersion;
    std::uint64_t physicalLength;
    std::uint64_t xmlOffset;
    std::uint64_t xmlLength;
    std::uint64_t pageSize;
};
static_assert(sizeof(FileHeader) == kHeaderSize, "the header is read in one go");

}  // namespace

ImageFile::ImageFile(const std::string& path, const std::string& mode, int checksumPercent) : path_(path) {
    if (mode != "r") throw E57Exception(ErrorCode::BadArgument, "mode '" + mode + "': files are opened read-only");
    if (checksumPercent < 0 || checksumPercent > 100)
        throw E57Exception(ErrorCode::BadArgument,
                           "checksum policy " + std::to_string(checksumPercent) + " is not a percentage");
    data_ = std::make_shared<ImageData>();
    data_->file = std::make_shared<PagedFile>(path, checksumPercent);
    checkHeader();
}

void ImageFile::checkHeader() {
    PagedFile& file = *data_->file;
    const std::uint64_t size = file.physicalSize();
    const auto fail = [&](ErrorCode code, const std::string& what) { throw E57Exception(code, path_ + ": " + what); };
    if (size < kHeaderSize)
        fail(ErrorCode::BadFileHeader, "the file has " + std::to_string(size) + " bytes, less than a header");
    FileHeader header{};
    file.readUnchecked(0, &header, sizeof header);
    if (std::memcmp(header.signature, "ASTM-E57", 8) != 0) fail(ErrorCode::BadFileHeader, "no ASTM-E57 signature");
    if (size % PagedFile::kPageSize != 0)
        fail(ErrorCode::BadFileLength, "the file has " + std::to_string(size) + " bytes, not whole 1024-byte pages");
    file.verifyPage(0);
    if (header.majorVersion != 1)
        fail(ErrorCode::BadFileHeader, "major version " + std::to_string(header.majorVersion) + ", expected 1");
    if (header.pageSize != PagedFile::kPageSize)
        fail(ErrorCode::BadFileHeader, "page size " + std::to_string(header.pageSize) + ", expected 1024");
    if (header.physicalLength != size)
        fail(ErrorCode::BadFileLength, "the header gives a length of " + std::to_string(header.physicalLength) +
                                           " bytes, the file has " + std::to_string(size));
    const std::uint64_t xmlStart = PagedFile::toLogical(header.xmlOffset);
    if (header.xmlLength == 0 || !PagedFile::isPayloadOffset(header.xmlOffset) || xmlStart > file.logicalSize() ||
        header.xmlLength > file.logicalSize() - xmlStart)
        fail(ErrorCode::BadFileHeader, "the XML section (offset " + std::to_string(header.xmlOffset) + ", length " +
                                           std::to_string(header.xmlLength) + ") does not lie inside the file");
    const std::vector<char> xml = readXmlSection(xmlStart, header.xmlLength);
    data_->root = XmlTreeParser::parse(xml.data(), xml.size());
}

// Page by page, each page checked before the next is read: the header's length is
// only a claim, and memory grows with pages that really hold the section.
std::vector<char> ImageFile::readXmlSection(std::uint64_t logicalStart, std::uint64_t length) {
    PagedFile& file = *data_->file;
    std::vector<char> xml;
    std::uint64_t offset = logicalStart;
    const std::uint64_t end = logicalStart + length;
    while (offset < end) {
        const std::uint64_t pageEnd = (offset / PagedFile::kPayloadSize + 1) * PagedFile::kPayloadSize;
        const auto chunk = static_cast<std::size_t>(std::min(end, pageEnd) - offset);
        const std::size_t at = xml.size();
        xml.resize(at + chunk);
        file.readLogicalChecked(offset, xml.data() + at, chunk);
        offset += chunk;
    }
    return xml;
}

StructureNode ImageFile::root() const {
    if (!isOpen()) throw E57Exception(ErrorCode::FileClosed, path_);
    return StructureNode(Node(data_, data_->root.get()));
}

void ImageFile::close() {
    if (data_) data_->file->close();
}

bool ImageFile::isOpen() const { return data_ && data_->file->isOpen(); }

}  // namespace e57
