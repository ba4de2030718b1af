#pragma once

#include "e57/ContainerNode.hpp"

namespace e57 {

class StructureNode : public ContainerNode {
public:
    explicit StructureNode(const Node& node) : ContainerNode(node, NodeType::Structure) {}
};

}  // namespace e57
