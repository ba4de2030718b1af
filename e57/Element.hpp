#pragma once

#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "e57/NodeType.hpp"

namespace e57 {

// One element of the parsed XML tree. Immutable once the file is open; the public
// node classes are handles onto it.
struct Element {
    NodeType type = NodeType::Structure;
    std::string name;
    const Element* parent = nullptr;
    std::vector<std::unique_ptr<Element>> children;

    std::int64_t integerValue = 0;
    std::int64_t minimum = std::numeric_limits<std::int64_t>::min();
    std::int64_t maximum = std::numeric_limits<std::int64_t>::max();
    double scale = 1.0;
    double offset = 0.0;
    double floatValue = 0.0;
    bool singlePrecision = false;
    std::string stringValue;
    std::uint64_t fileOffset = 0;
    std::uint64_t count = 0;  // recordCount of a CompressedVector, length of a Blob

    const Element* child(const std::string& childName) const;
    std::string path() const;
    // Bits one value takes in a bytestream: 0 for a constant, 32/64 for Float.
    unsigned bitWidth() const;
};

}  // namespace e57
