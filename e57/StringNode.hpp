#pragma once

#include <string>

#include "e57/Node.hpp"

namespace e57 {

class StringNode : public Node {
public:
    explicit StringNode(const Node& node) : Node(node, NodeType::String) {}

    const std::string& value() const;
};

}  // namespace e57
