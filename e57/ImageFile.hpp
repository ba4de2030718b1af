#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "e57/StructureNode.hpp"

namespace e57 {

struct ImageData;

// An E57 file opened for reading. The header is checked and the XML tree parsed on
// opening; point data is read later through compressed-vector readers.
class ImageFile {
public:
    static constexpr int kChecksumAll = 100;
    static constexpr int kChecksumNone = 0;

    // mode must be "r"; checksumPercent is the share of pages whose checksum is verified
    // (the XML section's pages are always verified).
    ImageFile(const std::string& path, const std::string& mode = "r", int checksumPercent = kChecksumAll);

    StructureNode root() const;
    void close();
    bool isOpen() const;
    const std::string& fileName() const { return path_; }

private:
    friend class SourceDestBuffer;

    void checkHeader();
    std::vector<char> readXmlSection(std::uint64_t logicalStart, std::uint64_t length);

    std::string path_;
    std::shared_ptr<ImageData> data_;
};

}  // namespace e57
