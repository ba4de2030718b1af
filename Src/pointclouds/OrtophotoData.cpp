#include "pointclouds/OrtophotoData.hpp"

#include <cmath>

#include "Geometry/Geometry.hpp"
#include "framework/Tolerance.hpp"

namespace
{

constexpr double PlanTolerance = GeometricTolerance;
constexpr double ShortestAxis = 1e-12;

using Geometry::Coord;
using Geometry::Coord3D;

Coord Plan(const API_Coord3D& c) { return {c.x, c.y}; }
Coord3D Space(const API_Coord3D& c) { return {c.x, c.y, c.z}; }

// The unit vector from one corner to another; (1, 0, 0) when they coincide.
Coord3D UnitAxis(const API_Coord3D& from, const API_Coord3D& to)
{
    const Coord3D span {to.x - from.x, to.y - from.y, to.z - from.z};
    const double length = std::sqrt(span.x * span.x + span.y * span.y + span.z * span.z);
    if (length <= ShortestAxis) return {1.0, 0.0, 0.0};
    return {span.x / length, span.y / length, span.z / length};
}

double Dot(const Coord3D& a, const Coord3D& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Coord3D Sub(const Coord3D& a, const Coord3D& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }

}  // namespace

OrtophotoData& OrtophotoData::operator=(const OrtophotoData& other)
{
    if (this == &other) return *this;
    execute = other.execute;
    origin = other.origin;
    hasOrigin = other.hasOrigin;
    layerFromJobName = other.layerFromJobName;
    layerIndex = other.layerIndex;
    target = other.target;
    jobName = other.jobName;
    tiles = other.tiles;
    return *this;
}

bool OrtophotoData::IsVertical() const
{
    if (tiles.IsEmpty()) return true;
    const OrtophotoDataPart& first = tiles[0];
    const Geometry::Sector bottom {Plan(first.leftBottom), Plan(first.rightBottom)};
    return Geometry::IsLineCoord(bottom, Plan(first.leftUpper)) && Geometry::IsLineCoord(bottom, Plan(first.rightUpper));
}

// The tolerance is measured along the unit direction of the first tile's bottom
// edge, so it stays 0.00001 m whatever the tile's width.
bool OrtophotoData::GetPlanExtent(double& x1, double& y1, double& x2, double& y2) const
{
    if (!IsVertical() || tiles.IsEmpty()) return false;
    const OrtophotoDataPart& first = tiles[0];
    double dx = first.rightBottom.x - first.leftBottom.x;
    double dy = first.rightBottom.y - first.leftBottom.y;
    const double length = std::sqrt(dx * dx + dy * dy);
    if (length > PlanTolerance)
    {
        dx /= length;
        dy /= length;
    }
    Coord start = Plan(first.leftBottom);
    Coord end = Plan(first.rightBottom);
    for (std::uint32_t i = 1; i < tiles.GetSize(); ++i)
    {
        const OrtophotoDataPart& tile = tiles[i];
        if (dx * (tile.leftBottom.x - start.x) + dy * (tile.leftBottom.y - start.y) < -PlanTolerance)
            start = Plan(tile.leftBottom);
        if (dx * (tile.rightBottom.x - end.x) + dy * (tile.rightBottom.y - end.y) > PlanTolerance) end = Plan(tile.rightBottom);
    }
    x1 = start.x;
    y1 = start.y;
    x2 = end.x;
    y2 = end.y;
    return true;
}

void OrtophotoData::GetTileExtentInPlane(std::uint32_t tileIndex, double& minU, double& minV, double& maxU, double& maxV) const
{
    if (tileIndex >= tiles.GetSize()) return;
    const OrtophotoDataPart& tile = tiles[tileIndex];
    const Coord3D eU = UnitAxis(tile.leftBottom, tile.rightBottom);
    const Coord3D eV = UnitAxis(tile.leftBottom, tile.leftUpper);
    Geometry::Plane plane;
    plane.SetPlaneXY(Space(tile.leftBottom), eU, eV);
    const Coord3D projectedOrigin = plane.ProjectToPlane({0.0, 0.0, 0.0});
    const API_Coord3D* corners[] = {&tile.leftBottom, &tile.leftUpper, &tile.rightBottom, &tile.rightUpper};
    bool first = true;
    for (const API_Coord3D* corner : corners)
    {
        const Coord3D offset = Sub(plane.ProjectToPlane(Space(*corner)), projectedOrigin);
        const double u = Dot(offset, eU);
        const double v = Dot(offset, eV);
        if (first || u < minU) minU = u;
        if (first || v < minV) minV = v;
        if (first || u > maxU) maxU = u;
        if (first || v > maxV) maxV = v;
        first = false;
    }
}

void OrtophotoData::GetMinimumExtent(double& minU, double& minV) const
{
    for (std::uint32_t i = 0; i < tiles.GetSize(); ++i)
    {
        double tileMinU = 0.0, tileMinV = 0.0, tileMaxU = 0.0, tileMaxV = 0.0;
        GetTileExtentInPlane(i, tileMinU, tileMinV, tileMaxU, tileMaxV);
        if (i == 0 || tileMinU < minU) minU = tileMinU;
        if (i == 0 || tileMinV < minV) minV = tileMinV;
    }
}
