#include "e57/FloatNode.hpp"

#include "e57/Element.hpp"

namespace e57 {

double FloatNode::value() const { return element().floatValue; }
bool FloatNode::isSinglePrecision() const { return element().singlePrecision; }

}  // namespace e57
