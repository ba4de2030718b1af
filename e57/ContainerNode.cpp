#include "e57/ContainerNode.hpp"

#include "e57/E57Exception.hpp"
#include "e57/Element.hpp"

namespace e57 {

std::int64_t ContainerNode::childCount() const { return static_cast<std::int64_t>(element().children.size()); }

Node ContainerNode::get(std::int64_t index) const {
    if (index < 0 || index >= childCount())
        throw E57Exception(ErrorCode::PathUndefined, pathName() + " has no child " + std::to_string(index));
    return wrap(element().children[static_cast<std::size_t>(index)].get());
}

Node ContainerNode::get(const std::string& path) const { return resolve(path); }

bool ContainerNode::isDefined(const std::string& path) const { return find(path) != nullptr; }

}  // namespace e57
