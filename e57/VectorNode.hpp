#pragma once

#include "e57/ContainerNode.hpp"

namespace e57 {

class VectorNode : public ContainerNode {
public:
    explicit VectorNode(const Node& node) : ContainerNode(node, NodeType::Vector) {}
};

}  // namespace e57
