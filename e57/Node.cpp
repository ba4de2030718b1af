#include "e57/Node.hpp"

#include "e57/E57Exception.hpp"
#include "e57/Element.hpp"
#include "e57/ImageData.hpp"

namespace e57 {

Node::Node(std::shared_ptr<const ImageData> image, const Element* element)
    : image_(std::move(image)), element_(element) {}

Node::Node(const Node& node, NodeType required) : image_(node.image_), element_(node.element_) {
    if (element_->type != required)
        throw E57Exception(ErrorCode::WrongNodeType, element_->path() + " is a " + nodeTypeName(element_->type) +
                                                         ", not a " + nodeTypeName(required));
}

NodeType Node::type() const { return element_->type; }

std::string Node::elementName() const { return element_->name; }

std::string Node::pathName() const { return element_->path(); }

bool Node::isRoot() const { return element_->parent == nullptr; }

Node Node::parent() const { return Node(image_, element_->parent ? element_->parent : element_); }

const Element* Node::find(const std::string& path) const {
    const Element* current = element_;
    std::size_t start = 0;
    if (!path.empty() && path[0] == '/') {
        while (current->parent) current = current->parent;
        start = 1;
    }
    while (start < path.size()) {
        auto end = path.find('/', start);
        if (end == std::string::npos) end = path.size();
        if (end == start) return nullptr;
        current = current->child(path.substr(start, end - start));
        if (!current) return nullptr;
        start = end + 1;
    }
    return path.empty() ? nullptr : current;
}

Node Node::resolve(const std::string& path) const {
    const Element* found = find(path);
    if (!found) throw E57Exception(ErrorCode::PathUndefined, "'" + path + "' is not defined below " + pathName());
    return wrap(found);
}

}  // namespace e57
