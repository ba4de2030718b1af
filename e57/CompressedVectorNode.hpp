#pragma once

#include <cstdint>
#include <vector>

#include "e57/CompressedVectorReader.hpp"
#include "e57/Node.hpp"
#include "e57/SourceDestBuffer.hpp"
#include "e57/StructureNode.hpp"

namespace e57 {

class CompressedVectorNode : public Node {
public:
    explicit CompressedVectorNode(const Node& node) : Node(node, NodeType::CompressedVector) {}

    // The number of records.
    std::int64_t childCount() const;
    // The fields of one record, in bytestream order.
    StructureNode prototype() const;
    CompressedVectorReader reader(const std::vector<SourceDestBuffer>& buffers) const;
};

}  // namespace e57
