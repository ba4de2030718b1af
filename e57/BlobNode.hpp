#pragma once

#include <cstddef>
#include <cstdint>

#include "e57/Node.hpp"

namespace e57 {

class BlobNode : public Node {
public:
    explicit BlobNode(const Node& node) : Node(node, NodeType::Blob) {}

    std::uint64_t byteCount() const;
    // Copies count bytes from position start of the blob.
    void read(void* destination, std::uint64_t start, std::size_t count) const;
};

}  // namespace e57
