#pragma once

#include <cstdint>
#include <string>

#include "e57/Node.hpp"

namespace e57 {

// What Structure and Vector nodes share: children by index and by path.
class ContainerNode : public Node {
public:
    std::int64_t childCount() const;
    Node get(std::int64_t index) const;
    // An absolute path ("/data3D/0") or one relative to this node ("pose/translation").
    Node get(const std::string& path) const;
    bool isDefined(const std::string& path) const;

protected:
    ContainerNode(const Node& node, NodeType required) : Node(node, required) {}
};

}  // namespace e57
