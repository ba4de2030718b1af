#pragma once

#include <memory>
#include <string>

#include "e57/NodeType.hpp"

namespace e57 {

struct Element;
struct ImageData;

// A handle onto one element of an image file's tree. Cheap to copy; keeps the
// image's data alive.
class Node {
public:
    NodeType type() const;
    bool is(NodeType candidate) const { return type() == candidate; }
    std::string elementName() const;
    std::string pathName() const;
    bool isRoot() const;
    // The root is its own parent.
    Node parent() const;

protected:
    Node(std::shared_ptr<const ImageData> image, const Element* element);
    // The typed handles: checks the type and names the node when it does not match.
    Node(const Node& node, NodeType required);

    const Element& element() const { return *element_; }
    const std::shared_ptr<const ImageData>& image() const { return image_; }
    Node wrap(const Element* element) const { return Node(image_, element); }
    // Resolves "/a/b" from the root or "a/b" from this node; nullptr when undefined.
    const Element* find(const std::string& path) const;
    Node resolve(const std::string& path) const;

private:
    friend class ImageFile;

    std::shared_ptr<const ImageData> image_;
    const Element* element_;
};

}  // namespace e57
