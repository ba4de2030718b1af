#include "ElementGeometry.hpp"

#include <algorithm>
#include <cmath>
#include <initializer_list>

#include "MorphBodies.hpp"

namespace SimHost
{

namespace
{

bool AllFinite(std::initializer_list<double> values)
{
    for (const double value : values)
        if (!std::isfinite(value)) return false;
    return true;
}

bool Finite(const API_Coord& c) { return AllFinite({c.x, c.y}); }

bool Finite(const API_Coord3D& c) { return AllFinite({c.x, c.y, c.z}); }

template <typename Point>
bool Finite(const std::vector<Point>& points)
{
    for (const Point& p : points)
        if (!Finite(p)) return false;
    return true;
}

bool Finite(const std::vector<API_PolyArc>& arcs)
{
    for (const API_PolyArc& arc : arcs)
        if (!std::isfinite(arc.arcAngle)) return false;
    return true;
}

bool RecordIsFinite(const API_Element& e)
{
    switch (e.header.typeID)
    {
        case API_WallID:
            return Finite(e.wall.begC) && Finite(e.wall.endC) &&
                   AllFinite({e.wall.arcAngle, e.wall.slantAngle, e.wall.thickness, e.wall.height, e.wall.bottomOffset});
        case API_ColumnID:
            return Finite(e.column.origin) &&
                   AllFinite({e.column.axisRotationAngle, e.column.width, e.column.depth, e.column.slantAngle,
                              e.column.slantDirectionAngle, e.column.height, e.column.bottomOffset});
        case API_BeamID:
            return Finite(e.beam.begC) && Finite(e.beam.endC) &&
                   AllFinite({e.beam.width, e.beam.height, e.beam.level, e.beam.offset, e.beam.slantAngle});
        case API_SlabID: return AllFinite({e.slab.thickness, e.slab.bottomOffset});
        case API_MeshID: return AllFinite({e.mesh.skirtHeight, e.mesh.bottomOffset});
        case API_RoofID:
            return Finite(e.roof.baseLineBegC) && Finite(e.roof.baseLineEndC) &&
                   AllFinite({e.roof.thickness, e.roof.bottomOffset, e.roof.slopeAngle});
        case API_ObjectID:
        case API_LampID:
            return Finite(e.object.position) && AllFinite({e.object.elevation, e.object.angle, e.object.sizeA, e.object.sizeB});
        case API_WindowID:
        case API_DoorID:
            return Finite(e.window.startPoint) && Finite(e.window.direction) &&
                   AllFinite({e.window.width, e.window.height, e.window.sillHeight, e.window.position, e.window.revealDepth});
        case API_ZoneID: return AllFinite({e.zone.baseLevel, e.zone.height, e.zone.floorThickness});
        case API_ShellID:
            for (const double value : e.shell.basePlane)
                if (!std::isfinite(value)) return false;
            return AllFinite({e.shell.level});
        case API_LineID: return Finite(e.line.begC) && Finite(e.line.endC);
        case API_ArcID:
        case API_CircleID:
            return Finite(e.arc.centre) && AllFinite({e.arc.radius, e.arc.axisRatio, e.arc.begAngle, e.arc.endAngle});
        case API_HotspotID: return Finite(e.hotspot.position) && AllFinite({e.hotspot.height});
        case API_LevelDimensionID: return Finite(e.levelDimension.position) && AllFinite({e.levelDimension.level});
        case API_MorphID:
            for (const double value : e.morph.transformation)
                if (!std::isfinite(value)) return false;
            return true;
        default: return true;
    }
}

}  // namespace

API_Coord3D Transformed(const double (&t)[12], const API_Coord3D& p)
{
    return {t[0] * p.x + t[1] * p.y + t[2] * p.z + t[3], t[4] * p.x + t[5] * p.y + t[6] * p.z + t[7],
            t[8] * p.x + t[9] * p.y + t[10] * p.z + t[11]};
}

void Enclose(API_Box3D& box, bool& any, const API_Coord3D& p)
{
    if (!any) box = {p.x, p.y, p.z, p.x, p.y, p.z};
    any = true;
    box = {std::min(box.xMin, p.x), std::min(box.yMin, p.y), std::min(box.zMin, p.z),
           std::max(box.xMax, p.x), std::max(box.yMax, p.y), std::max(box.zMax, p.z)};
}

bool HasFiniteGeometry(const API_Element& element, const API_ElementMemo* memo)
{
    if (!RecordIsFinite(element)) return false;
    if (memo == nullptr) return true;
    return Finite(memo->coords) && Finite(memo->parcs) && Finite(memo->sectionMainCoords) && Finite(memo->sectionDistCoords) &&
           Finite(memo->morphBody.vertices);
}

namespace
{

// The memo holds the polygon the record counts: entry 0 unused, every
// sub-polygon closed by a copy of its first point, the end list from 0 on.
bool PolygonFitsItsCounts(const API_Polygon& poly, const API_ElementMemo& memo)
{
    const auto& coords = memo.coords;
    const auto& ends = memo.pends;
    if (poly.nCoords < 4 || poly.nSubPolys < 1 || poly.nArcs < 0) return false;
    if (coords.size() != static_cast<std::size_t>(poly.nCoords) + 1 ||
        ends.size() != static_cast<std::size_t>(poly.nSubPolys) + 1 || memo.parcs.size() != static_cast<std::size_t>(poly.nArcs))
        return false;
    if (ends.front() != 0 || ends.back() != poly.nCoords) return false;
    for (std::size_t i = 1; i < ends.size(); ++i)
    {
        const std::int32_t first = ends[i - 1] + 1;
        const std::int32_t last = ends[i];
        if (last - first < 3) return false;
        const API_Coord& a = coords[static_cast<std::size_t>(first)];
        const API_Coord& b = coords[static_cast<std::size_t>(last)];
        if (a.x != b.x || a.y != b.y) return false;
    }
    return true;
}

}  // namespace

bool HasConsistentPolygon(const API_Element& element, const API_ElementMemo* memo)
{
    switch (element.header.typeID)
    {
        case API_WallID:
            return element.wall.geometryKind != 2 || (memo != nullptr && PolygonFitsItsCounts(element.wall.poly, *memo));
        case API_SlabID: return memo != nullptr && PolygonFitsItsCounts(element.slab.poly, *memo);
        case API_HatchID: return memo != nullptr && PolygonFitsItsCounts(element.hatch.poly, *memo);
        case API_RoofID: return memo != nullptr && PolygonFitsItsCounts(element.roof.poly, *memo);
        case API_MeshID:
            return memo != nullptr && PolygonFitsItsCounts(element.mesh.poly, *memo) &&
                   memo->meshPolyZ.size() == static_cast<std::size_t>(element.mesh.poly.nCoords) + 1 &&
                   memo->meshLevelCoords.size() == static_cast<std::size_t>(element.mesh.levelPointCount) &&
                   memo->meshLevelEnds.size() == static_cast<std::size_t>(element.mesh.levelLineCount);
        case API_SplineID: return memo != nullptr && memo->coords.size() >= 2;
        case API_MorphID: return memo != nullptr && IsUsableMorphBody(memo->morphBody, memo->morphMaterialMapTable.size());
        default: return true;
    }
}

}  // namespace SimHost
