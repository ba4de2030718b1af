#include "e57/StringNode.hpp"

#include "e57/Element.hpp"

namespace e57 {

const std::string& StringNode::value() const { return element().stringValue; }

}  // namespace e57
