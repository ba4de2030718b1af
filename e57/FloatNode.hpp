#pragma once

#include "e57/Node.hpp"

namespace e57 {

class FloatNode : public Node {
public:
    explicit FloatNode(const Node& node) : Node(node, NodeType::Float) {}

    double value() const;
    bool isSinglePrecision() const;
};

}  // namespace e57
