#include "e57/Element.hpp"

namespace e57 {

const Element* Element::child(const std::string& childName) const {
    if (type == NodeType::Vector) {
        if (childName.empty() || childName.find_first_not_of("0123456789") != std::string::npos) return nullptr;
        if (childName.size() > 18) return nullptr;
        const auto index = std::stoull(childName);
        return index < children.size() ? children[index].get() : nullptr;
    }
    for (const auto& candidate : children)
        if (candidate->name == childName) return candidate.get();
    return nullptr;
}

std::string Element::path() const {
    if (!parent) return "/";
    std::string parentPath = parent->path();
    if (parentPath != "/") parentPath += '/';
    if (parent->type == NodeType::Vector) {
        for (std::size_t i = 0; i < parent->children.size(); ++i)
            if (parent->children[i].get() == this) return parentPath + std::to_string(i);
    }
    return parentPath + name;
}

unsigned Element::bitWidth() const {
    switch (type) {
        case NodeType::Integer:
        case NodeType::ScaledInteger: {
            const std::uint64_t range = static_cast<std::uint64_t>(maximum) - static_cast<std::uint64_t>(minimum);
            unsigned bits = 0;
            while (bits < 64 && (range >> bits) != 0) ++bits;
            return bits;
        }
        case NodeType::Float: return singlePrecision ? 32 : 64;
        default: return 0;
    }
}

}  // namespace e57
