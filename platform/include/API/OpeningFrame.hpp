#pragma once
#include "API/Types.hpp"
#include "Geometry/CurveGeometry.hpp"

// An opening in a polygonal wall keeps its start point and its direction in the
// frame of the wall: origin the wall's begin point, x along begin → end, y that
// direction turned by +90°, z up. The host gives a polygonal wall the begin and
// end point of its outline's first edge, so the frame is that edge's.
//
// The transformation takes frame coordinates to plan offsets from the begin
// point (its inverse takes them back); false, and the transformation untouched,
// when begin and end lie at one place.
bool PolygonalWallFrame(const API_Coord& begin, const API_Coord& end, Geometry::TRANMAT* frame);
