#pragma once
#include <array>
#include <cstdint>
#include <vector>

#include "Geometry/Geometry.hpp"

// Three point indexes, ascending.
using PlanTriangle = std::array<std::uint32_t, 3>;

// The Delaunay triangulation of plan points: the triangles whose circles hold no
// other point, exactly decided. Points on one circle are split the same way for
// the same input. A point nearer than 1e-5 to an earlier point that is kept is
// left out, as is a point without finite coordinates; points all on one line give
// no triangle, and no triangle has zero area. The order of the triangles is the
// method's own. The number of points left out for standing near a kept one goes
// into `nearLeftOut` when given.
std::vector<PlanTriangle> TriangulateInPlan(const std::vector<Geometry::Coord>& points, std::size_t* nearLeftOut = nullptr);
