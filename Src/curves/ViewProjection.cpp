#include "curves/ViewProjection.hpp"

#include "Geometry/CurveGeometry.hpp"
#include "framework/Tolerance.hpp"

namespace Curves
{

namespace
{}  // namespace

std::optional<std::size_t> ViewLineStart(std::int32_t windowKind, const API_ElementMemo& memo, std::int32_t segmentCount,
                                         std::int32_t shownSegment)
{
    std::size_t first = 0;
    if (windowKind == APIWind_InteriorElevationID)
    {
        for (std::int32_t i = 0; i < shownSegment && i < segmentCount; ++i)
        {
            const auto segment = static_cast<std::size_t>(i);
            if (segment >= memo.sectionSegments.size() || memo.sectionSegments[segment].mainCoordCount < 0) return std::nullopt;
            first += static_cast<std::size_t>(memo.sectionSegments[segment].mainCoordCount);
        }
    }
    if (first + 1 >= memo.sectionMainCoords.size()) return std::nullopt;
    return first;
}

API_Coord3D ToViewCoordinates(const API_Coord3D& point, const API_Coord& lineBegin, const API_Coord& lineEnd, bool viewToLeft)
{
    const Geometry::Sector line {{lineBegin.x, lineBegin.y}, {lineEnd.x, lineEnd.y}};
    const Geometry::Coord originFoot = Geometry::CoordProjSector({0.0, 0.0}, line);
    const Geometry::Coord foot = Geometry::CoordProjSector({point.x, point.y}, line);
    const Geometry::Coord along {foot.x - originFoot.x, foot.y - originFoot.y};
    const double direction = (lineEnd.x - lineBegin.x) * along.x + (lineEnd.y - lineBegin.y) * along.y;
    const bool behind = direction < -GeometricTolerance;
    double x = Geometry::LenVector(along);
    if (viewToLeft == behind) x = -x;
    return {x, point.z, 0.0};
}

}  // namespace Curves
