#pragma once
#include "API/Database.hpp"
#include "API/Elements.hpp"

namespace SimHost
{

// Every coordinate, length and angle of the element and its memo is a number: a
// host stores no element at an infinite or undefined place.
bool HasFiniteGeometry(const API_Element& element, const API_ElementMemo* memo);

// Slabs, fills, roofs, meshes and polygonal walls bring the polygon their record counts, splines at least two
// points, morphs a usable body; other elements need nothing of their memo.
bool HasConsistentPolygon(const API_Element& element, const API_ElementMemo* memo);

// The point placed by a record's 3 x 4 transformation (a morph's placement, a
// shell's planes and frames).
API_Coord3D Transformed(const double (&t)[12], const API_Coord3D& p);

// Grows the box by p; the first point makes it.
void Enclose(API_Box3D& box, bool& any, const API_Coord3D& p);

}  // namespace SimHost
