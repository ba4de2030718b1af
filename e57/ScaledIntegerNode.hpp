#pragma once

#include <cstdint>

#include "e57/Node.hpp"

namespace e57 {

class ScaledIntegerNode : public Node {
public:
    explicit ScaledIntegerNode(const Node& node) : Node(node, NodeType::ScaledInteger) {}

    std::int64_t rawValue() const;
    double scaledValue() const;
    std::int64_t minimum() const;
    std::int64_t maximum() const;
    double scale() const;
    double offset() const;
};

}  // namespace e57
