#pragma once
#include "API/Elements.hpp"

namespace SimHost {

// Every coordinate, length and angle of the element and its memo is a number: a
// host stores no element at an infinite or undefined place.
bool HasFiniteGeometry(const API_Element& element, const API_ElementMemo* memo);

// Slabs, fills, roofs, meshes and polygonal walls bring the polygon their record counts, splines at least two
// points, morphs a usable body; other elements need nothing of their memo.
bool HasConsistentPolygon(const API_Element& element, const API_ElementMemo* memo);

}  // namespace SimHost
