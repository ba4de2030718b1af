#include "e57/IntegerNode.hpp"

#include "e57/Element.hpp"

namespace e57 {

std::int64_t IntegerNode::value() const { return element().integerValue; }
std::int64_t IntegerNode::minimum() const { return element().minimum; }
std::int64_t IntegerNode::maximum() const { return element().maximum; }

}  // namespace e57
