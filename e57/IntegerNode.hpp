#pragma once

#include <cstdint>

#include "e57/Node.hpp"

namespace e57 {

class IntegerNode : public Node {
public:
    explicit IntegerNode(const Node& node) : Node(node, NodeType::Integer) {}

    std::int64_t value() const;
    std::int64_t minimum() const;
    std::int64_t maximum() const;
};

}  // namespace e57
