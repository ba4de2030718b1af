#include "e57/CompressedVectorNode.hpp"

#include <limits>

#include "e57/E57Exception.hpp"
#include "e57/Element.hpp"
#include "e57/ImageData.hpp"

namespace e57 {

std::int64_t CompressedVectorNode::childCount() const {
    const std::uint64_t count = element().count;
    if (count > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()))
        throw E57Exception(ErrorCode::BadNode,
                           pathName() + ": record count " + std::to_string(count) + " is too large");
    return static_cast<std::int64_t>(count);
}

StructureNode CompressedVectorNode::prototype() const {
    const Element* found = element().child("prototype");
    if (!found) throw E57Exception(ErrorCode::BadNode, pathName() + " has no prototype");
    return StructureNode(wrap(found));
}

CompressedVectorReader CompressedVectorNode::reader(const std::vector<SourceDestBuffer>& buffers) const {
    for (const auto& buffer : buffers)
        if (buffer.image() != image().get())
            throw E57Exception(ErrorCode::BadBuffers, buffer.path() + ": the buffer was made for another image file");
    return CompressedVectorReader(image(), element(), buffers);
}

}  // namespace e57
