#pragma once

namespace e57 {

enum class NodeType { Structure, Vector, CompressedVector, Integer, ScaledInteger, Float, String, Blob };

const char* nodeTypeName(NodeType type) noexcept;

}  // namespace e57
