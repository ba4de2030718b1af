#include <cmath>
#include <utility>
#include <vector>

#include "API/AddOnInterface.hpp"
#include "Geometry/CurveGeometry.hpp"
#include "frame/Survanto.hpp"
#include "framework/HostApiHelpers.hpp"
#include "framework/Tolerance.hpp"
#include "measuring/MeasuringState.hpp"

// Elements from the main curve palette's polygon: one wall per segment, or one
// polyline, fill or slab for the whole polygon. The project holds at most one
// display polyline: each command first deletes what the palette lists as shown,
// and lists what it made. Only the x and y of the points are used; heights and
// every other property come from the tool's defaults.

namespace
{

constexpr std::int16_t DisplayLayer = 1;
constexpr std::int32_t ReferenceLineOutside = 0;
constexpr std::int32_t ReferenceLineInside = 2;

using CurveData = Curve3DPalette::CurveData;
using arcData = Curve3DPalette::arcData;

void DeleteShownPolylines(TypVektor<API_Guid>& shown)
{
    if (shown.IsEmpty()) return;
    std::vector<API_Elem_Head> headers(shown.GetSize(), API_Elem_Head {});
    for (std::uint32_t i = 0; i < shown.GetSize(); ++i) headers[i].guid = shown[i];
    HostDeleteElements(headers.data(), static_cast<std::int32_t>(headers.size()));
    shown.Clear();
}

// Counter-clockwise in plan is positive; an arc turns clockwise about its axis.
double PlanAngle(const arcData& arc) { return arc.axis.z > 0.0 ? arc.angle : -arc.angle; }

// The host's polygon form: coordinates from index 1, one sub-polygon, 1-based arcs.
API_ElementMemo PolygonMemo(const CurveData& curve)
{
    API_ElementMemo memo;
    memo.coords.push_back({0.0, 0.0});
    for (const API_Coord3D& p : curve.points) memo.coords.push_back({p.x, p.y});
    memo.pends = {0, static_cast<std::int32_t>(curve.points.GetSize())};
    for (const arcData& arc : curve.arcs) memo.parcs.push_back({arc.beginIndex + 1, arc.endIndex + 1, PlanAngle(arc)});
    return memo;
}

API_Polygon PolygonCounts(const CurveData& curve)
{
    return {static_cast<std::int32_t>(curve.points.GetSize()), 1, static_cast<std::int32_t>(curve.arcs.GetSize())};
}

double Cross(const API_Coord& a, const API_Coord& b) { return a.x * b.y - a.y * b.x; }
API_Coord Minus(const API_Coord& a, const API_Coord& b) { return {a.x - b.x, a.y - b.y}; }

// The reference line lies on the outside face when the station stands left of
// the way from a to b, else on the inside face.
std::int32_t SideOfStation(const API_Coord& station, const API_Coord& a, const API_Coord& b)
{
    return Cross(Minus(a, station), Minus(b, station)) > GeometricTolerance ? ReferenceLineOutside : ReferenceLineInside;
}

// The middle of the arc in plan: its first vertex turned half the sweep about the axis.
API_Coord ArcMiddle(const arcData& arc, const API_Coord3D& first)
{
    Geometry::Coord3D radius {first.x - arc.centre.x, first.y - arc.centre.y, first.z - arc.centre.z};
    Geometry::TMRotateVect(&radius, arc.axis, arc.angle / 2.0);
    return {arc.centre.x + radius.x, arc.centre.y + radius.y};
}

const arcData* ArcEndingAt(const CurveData& curve, std::int32_t vertex)
{
    for (const arcData& arc : curve.arcs)
        if (arc.endIndex == vertex) return &arc;
    return nullptr;
}

// One segment's wall: a clockwise arc in plan is built from its end to its start.
API_Element SegmentWall(const CurveData& curve, std::uint32_t j, const API_Coord& station)
{
    const API_Coord3D& from = curve.points[j - 1];
    const API_Coord3D& to = curve.points[j];
    API_Element wall = ElementToolDefaults(API_WallID);
    wall.wall.begC = {from.x, from.y};
    wall.wall.endC = {to.x, to.y};
    std::int32_t side = SideOfStation(station, wall.wall.begC, wall.wall.endC);
    double sweep = 0.0;
    if (const arcData* arc = ArcEndingAt(curve, static_cast<std::int32_t>(j)))
    {
        sweep = -arc->angle;
        side = SideOfStation(station, wall.wall.begC, ArcMiddle(*arc, from));
        if (arc->axis.z > 0.0)
        {
            std::swap(wall.wall.begC, wall.wall.endC);
            side = side == ReferenceLineOutside ? ReferenceLineInside : ReferenceLineOutside;
        }
    }
    wall.wall.arcAngle = sweep;
    wall.wall.geometryKind = 0;
    wall.wall.referenceLineCode = side;
    wall.wall.flipped = false;
    wall.wall.profileCode = 0;
    return wall;
}

bool HasLength(const API_Coord3D& a, const API_Coord3D& b) { return std::hypot(b.x - a.x, b.y - a.y) >= GeometricTolerance; }

}  // namespace

void Survanto::CreateWallsFromCurve()
{
    if (!AcceptToolLayer(API_WallID)) return;
    RunCreationCommand([this] {
        DeleteShownPolylines(curvePalette.shownPolylines);
        const CurveData& curve = curvePalette.curve;
        if (curve.points.GetSize() < 2) return;
        const API_Coord offset = GetLocationOffset();
        const API_Coord station {measuringState.stationX - offset.x, measuringState.stationY - offset.y};
        for (std::uint32_t j = 1; j < curve.points.GetSize(); ++j)
        {
            if (!HasLength(curve.points[j - 1], curve.points[j])) continue;
            API_Element wall = SegmentWall(curve, j, station);
            const GSErrCode made = HostCreateElement(&wall, nullptr);
            CompleteCreation(made, wall, true);
            if (made == NoError) curvePalette.shownPolylines.Add(wall.header.guid);
        }
    });
}

void Survanto::DrawCurvePolyline(bool flag)
{
    if (!flag && !AcceptToolLayer(API_PolyLineID)) return;
    RunCreationCommand([this, flag] {
        DeleteShownPolylines(curvePalette.shownPolylines);
        const CurveData& curve = curvePalette.curve;
        if (curve.points.GetSize() < 2) return;
        API_Element polyline = ElementToolDefaults(API_PolyLineID);
        if (flag) polyline.header.layer = DisplayLayer;
        polyline.polyLine.poly = PolygonCounts(curve);
        API_ElementMemo memo = PolygonMemo(curve);
        if (HostCreateElement(&polyline, &memo) != NoError) return;
        curvePalette.shownPolylines.Add(polyline.header.guid);
        if (!flag) elementCreated = true;
    });
}

void Survanto::CreateFillFromCurve()
{
    if (!AcceptToolLayer(API_HatchID)) return;
    RunCreationCommand([this] {
        DeleteShownPolylines(curvePalette.shownPolylines);
        const CurveData& curve = curvePalette.curve;
        if (curve.points.GetSize() < 2) return;
        API_Element fill = ElementToolDefaults(API_HatchID);
        fill.hatch.poly = PolygonCounts(curve);
        API_ElementMemo memo = PolygonMemo(curve);
        const GSErrCode made = HostCreateElement(&fill, &memo);
        CompleteCreation(made, fill, false);
        if (made == NoError) curvePalette.shownPolylines.Add(fill.header.guid);
    });
}

void Survanto::CreateSlabFromCurve()
{
    if (!AcceptToolLayer(API_SlabID)) return;
    RunCreationCommand([this] {
        DeleteShownPolylines(curvePalette.shownPolylines);
        const CurveData& curve = curvePalette.curve;
        if (curve.points.GetSize() < 2) return;
        API_Element slab = ElementToolDefaults(API_SlabID);
        slab.slab.poly = PolygonCounts(curve);
        API_ElementMemo memo = PolygonMemo(curve);
        const GSErrCode made = HostCreateElement(&slab, &memo);
        CompleteCreation(made, slab, true);
        if (made == NoError) curvePalette.shownPolylines.Add(slab.header.guid);
    });
}
