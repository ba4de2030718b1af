#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "e57/FieldChannel.hpp"
#include "e57/SourceDestBuffer.hpp"

namespace e57 {

class PagedFile;
struct Element;
struct ImageData;

// Reads the records of a compressed vector block by block into the bound buffers.
// read() fills whole blocks (the buffers' capacity) except the last and returns 0
// at the end.
class CompressedVectorReader {
public:
    CompressedVectorReader(CompressedVectorReader&&) noexcept = default;
    CompressedVectorReader& operator=(CompressedVectorReader&&) noexcept = default;
    CompressedVectorReader(const CompressedVectorReader&) = delete;
    CompressedVectorReader& operator=(const CompressedVectorReader&) = delete;

    std::size_t read();
    // Reads at most count records into the buffers' slots from first on, so that
    // one binding can take many reads side by side; the records read.
    std::size_t read(std::size_t first, std::size_t count);
    void close();
    bool isOpen() const { return open_; }
    std::uint64_t recordCount() const { return recordCount_; }
    std::uint64_t recordsRead() const { return recordsRead_; }

private:
    friend class CompressedVectorNode;

    CompressedVectorReader(std::shared_ptr<const ImageData> image, const Element& node,
                           const std::vector<SourceDestBuffer>& buffers);
    void bind(const Element& node, const std::vector<SourceDestBuffer>& buffers);

    // The element tree stays while the channels point into it.
    std::shared_ptr<const ImageData> image_;
    std::shared_ptr<PagedFile> file_;
    std::vector<FieldChannel> channels_;
    std::uint64_t recordCount_;
    std::uint64_t recordsRead_ = 0;
    std::size_t capacity_ = 0;
    bool open_ = true;
};

}  // namespace e57
