#include "e57/NodeType.hpp"

namespace e57 {

const char* nodeTypeName(NodeType type) noexcept {
    switch (type) {
        case NodeType::Structure: return "Structure";
        case NodeType::Vector: return "Vector";
        case NodeType::CompressedVector: return "CompressedVector";
        case NodeType::Integer: return "Integer";
        case NodeType::ScaledInteger: return "ScaledInteger";
        case NodeType::Float: return "Float";
        case NodeType::String: return "String";
        case NodeType::Blob: return "Blob";
    }
    return "?";
}

}  // namespace e57
