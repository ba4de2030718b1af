#pragma once
#include "Geometry/Geometry.hpp"

// The two geometric tests the plan triangulation rests on, with exact signs. A
// floating-point evaluation answers when its error bound settles the sign; when it
// cannot, the sign comes from an exact evaluation in expansion arithmetic (sums of
// doubles that do not overlap), so no rounding can make two answers contradict
// each other. Coordinates must be finite.

// > 0 when a, b, c turn counter-clockwise (c left of the line from a to b), < 0
// when they turn clockwise, 0 when they lie on one line.
int PlanOrientation(const Geometry::Coord& a, const Geometry::Coord& b, const Geometry::Coord& c);

// For a, b, c counter-clockwise: > 0 when d lies inside their circle, < 0 outside,
// 0 on it.
int PlanInCircle(const Geometry::Coord& a, const Geometry::Coord& b, const Geometry::Coord& c, const Geometry::Coord& d);
