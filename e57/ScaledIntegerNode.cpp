#include "e57/ScaledIntegerNode.hpp"

#include "e57/Element.hpp"

namespace e57 {

std::int64_t ScaledIntegerNode::rawValue() const { return element().integerValue; }
double ScaledIntegerNode::scaledValue() const {
    return static_cast<double>(element().integerValue) * element().scale + element().offset;
}
std::int64_t ScaledIntegerNode::minimum() const { return element().minimum; }
std::int64_t ScaledIntegerNode::maximum() const { return element().maximum; }
double ScaledIntegerNode::scale() const { return element().scale; }
double ScaledIntegerNode::offset() const { return element().offset; }

}  // namespace e57
