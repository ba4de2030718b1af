#include "API/OpeningFrame.hpp"

#include <cmath>

bool PolygonalWallFrame(const API_Coord& begin, const API_Coord& end, Geometry::TRANMAT* frame)
{
    const double dx = end.x - begin.x;
    const double dy = end.y - begin.y;
    const double length = std::hypot(dx, dy);
    if (frame == nullptr || !(length >= Geometry::GeometryEps)) return false;
    const Geometry::Coord3D along {dx / length, dy / length, 0.0};
    Geometry::TMBSet(frame, along, {-along.y, along.x, 0.0}, {0.0, 0.0, 1.0});
    return true;
}
