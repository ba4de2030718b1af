#pragma once
#include "API/Types.hpp"
#include "Geometry/Polygon2DData.hpp"
#include "framework/TypVektor.hpp"
#include "framework/Vektor2D.hpp"

// Where the line through the point along the direction crosses the faces of a
// polygonal wall's outline, as (x, y, 0): the vertices that the cut of the
// outline by the half plane behind that line puts in, in the order of the cut's
// first piece. True when exactly two were found; the list is emptied first.
bool FindWallFacePoints(Geometry::Polygon2DData polygon, const Vektor2D& direction, const API_Coord& point,
                        TypVektor<API_Coord3D>& facePoints);
