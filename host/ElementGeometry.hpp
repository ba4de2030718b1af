#pragma once
#include "API/Elements.hpp"

namespace SimHost {

// Every coordinate, length and angle of the element and its memo is a number: a
// host stores no element at an infinite or undefined place.
bool HasFiniteGeometry(const API_Element& element, const API_ElementMemo* memo);

}  // namespace SimHost
