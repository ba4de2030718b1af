#include <cmath>
#include <cstdint>
#include <optional>
#include <vector>

#include "API/AddOnInterface.hpp"
#include "Geometry/CurveGeometry.hpp"
#include "Geometry/Geometry.hpp"
#include "creation/WallBody.hpp"
#include "creation/WallOpenings.hpp"
#include "frame/Survanto.hpp"
#include "framework/AngleConstants.hpp"
#include "framework/HostApiHelpers.hpp"
#include "framework/ScopedElementMemo.hpp"
#include "framework/Tolerance.hpp"
#include "framework/Vektor2D.hpp"
#include "framework/VektorConversions.hpp"
#include "measuring/MainPaletteItems.hpp"

// Walls that exist already take a measured thickness, a measured trapezoid or a
// measured point of their outline. A wall that cannot keep the change in its own
// record is replaced by a polygonal wall, which keeps the windows and doors; a
// replacement that the host refuses at any step leaves the wall as it was.

namespace
{

using namespace MainPaletteItems;

constexpr double Upright = HalfPi;
constexpr std::uint64_t AllMemoParts = 0x07FFFFFFBFFFFFFF;
constexpr std::int32_t PlainKind = 0;
constexpr std::int32_t TrapezoidKind = 1;
constexpr std::int32_t PolygonalKind = 2;
constexpr std::int32_t BodyRight = 0;
constexpr std::int32_t BodyLeft = 2;

Geometry::Coord GeoPoint(const Vektor2D& p) { return {p.x, p.y}; }
Vektor2D PlanPoint(const API_Coord& c) { return {c.x, c.y}; }
Geometry::Sector WallLine(const API_WallType& wall) { return {{wall.begC.x, wall.begC.y}, {wall.endC.x, wall.endC.y}}; }

bool IsUpright(const API_WallType& wall) { return std::fabs(wall.slantAngle - Upright) < GeometricTolerance; }
bool IsStraight(const API_WallType& wall) { return std::fabs(wall.arcAngle) < GeometricTolerance; }

std::vector<API_Neig> Selection(bool onlyEditable)
{
    API_SelectionInfo info;
    std::vector<API_Neig> neigs;
    if (HostGetSelection(&info, &neigs, onlyEditable, true) != NoError) neigs.clear();
    return neigs;
}

// A selected wall the user may edit, read from the host.
bool ReadEditableWall(const API_Neig& neig, API_Element& wall)
{
    if (NeigToElemType(neig.neigID) != API_WallID) return false;
    bool passes = false;
    if (HostFilterElement(&neig.guid, APIFilt_IsEditable, 0, &APINULLGuid, &passes) != NoError || !passes) return false;
    wall = API_Element();
    wall.header.guid = neig.guid;
    return HostGetElement(&wall) == NoError;
}

// Thickness and reference line of a wall whose reference line stays where it is
// and whose body reaches to the measured point.
void ReachPoint(API_WallType& wall, const Vektor2D& point)
{
    if (IsStraight(wall))
    {
        Vektor2D d = PlanPoint(wall.endC) - PlanPoint(wall.begC);
        d.Normalize();
        const Vektor2D v = point - PlanPoint(wall.begC);
        wall.referenceLineCode = v.x * d.y - v.y * d.x < -GeometricTolerance ? BodyLeft : BodyRight;
        wall.thickness = (v - d * d.DotProduct(v)).GetLength();
        return;
    }
    Geometry::GenArc arc;
    if (!Geometry::SetGenArc({wall.begC.x, wall.begC.y}, {wall.endC.x, wall.endC.y}, wall.arcAngle, &arc)) return;
    const Vektor2D centre(arc.origo.x, arc.origo.y);
    bool counterClockwise = (PlanPoint(wall.begC) - centre).CrossProduct(PlanPoint(wall.endC) - centre) > 0.0;
    if (wall.arcAngle > Pi) counterClockwise = !counterClockwise;
    const double inside = arc.r - (point - centre).GetLength();
    wall.referenceLineCode = counterClockwise && inside > 0.0 ? BodyLeft : BodyRight;
    wall.thickness = std::fabs(inside);
}

API_Element ThicknessMask()
{
    API_Element mask;
    MarkToChange(mask.wall.referenceLineCode);
    MarkToChange(mask.wall.geometryKind);
    MarkToChange(mask.wall.thickness);
    return mask;
}

API_Element TrapezoidMask()
{
    API_Element mask;
    MarkToChange(mask.wall.thickness);
    MarkToChange(mask.wall.thickness1);
    MarkToChange(mask.wall.geometryKind);
    MarkToChange(mask.wall.flipped);
    return mask;
}

// The wall's record and outline become a polygonal wall of their own: the old
// wall goes, the new one takes its windows and doors and the outline's counts.
GSErrCode ReplaceByPolygonalWall(API_Element& wall, API_ElementMemo& outline, WallOpeningList& openings)
{
    if (!ForceDeleteElement(wall.header)) return APIERR_REFUSEDCMD;
    API_Element rebuilt = wall;
    rebuilt.header.guid = APINULLGuid;
    rebuilt.wall.geometryKind = PolygonalKind;
    rebuilt.wall.poly.nCoords = static_cast<std::int32_t>(outline.coords.size()) - 1;
    rebuilt.wall.poly.nSubPolys = static_cast<std::int32_t>(outline.pends.size()) - 1;
    rebuilt.wall.poly.nArcs = static_cast<std::int32_t>(outline.parcs.size());
    if (const GSErrCode created = HostCreateElement(&rebuilt, &outline); created != NoError) return created;
    // The openings stood along the old wall's line.
    wall.header.guid = rebuilt.header.guid;
    if (const GSErrCode restored = RecreateWallOpenings(wall, openings); restored != NoError) return restored;
    wall = rebuilt;
    return NoError;
}

// Where the measured line P0-P1 meets the square to the wall through its begin
// and through its end; none when it runs square to the wall itself.
std::optional<std::pair<Vektor2D, Vektor2D>> CrossingsAtTheEnds(const API_WallType& wall, const Vektor2D& p0, const Vektor2D& p1)
{
    const Vektor2D begin = PlanPoint(wall.begC);
    const Vektor2D end = PlanPoint(wall.endC);
    const Vektor2D square((end - begin).y, -(end - begin).x);
    const Geometry::Sector measured {GeoPoint(p0), GeoPoint(p1)};
    Geometry::Coord x0;
    Geometry::Coord x1;
    if (!Geometry::XLines(measured, {GeoPoint(begin), GeoPoint(begin + square)}, &x0) ||
        !Geometry::XLines(measured, {GeoPoint(end), GeoPoint(end + square)}, &x1))
        return std::nullopt;
    return std::make_pair(Vektor2D(x0.x, x0.y), Vektor2D(x1.x, x1.y));
}

bool FlippedForTrapezoid(const API_WallType& wall, bool measuredRight)
{
    if (wall.referenceLineCode == 0) return !measuredRight;
    if (wall.referenceLineCode == 2) return measuredRight;
    return !wall.flipped;
}

// Makes the wall a trapezoid wall through the measured line and then a polygonal
// wall with the trapezoid's outline.
GSErrCode ChangeToTrapezoid(API_Element& wall, const Vektor2D& p0, const Vektor2D& p1, double tolerance)
{
    const Geometry::Sector line = WallLine(wall.wall);
    const auto crossings = CrossingsAtTheEnds(wall.wall, p0, p1);
    if (!crossings) return NoError;
    const double d0 = Geometry::DistCoordSectorPtr(GeoPoint(p0), line);
    const double d1 = Geometry::DistCoordSectorPtr(GeoPoint(p1), line);
    const bool measuredRight =
        (p0 - PlanPoint(wall.wall.begC)).CrossProduct(PlanPoint(wall.wall.endC) - PlanPoint(wall.wall.begC)) > GeometricTolerance;
    const API_Element mask = TrapezoidMask();
    if (std::fabs(d0 - d1) - tolerance < GeometricTolerance)
    {
        wall.wall.geometryKind = PlainKind;
        wall.wall.thickness = (d0 + d1) / 2.0;
        return HostChangeElement(&wall, &mask, nullptr, 0, true);
    }
    if (wall.wall.geometryKind == PolygonalKind) return NoError;

    wall.wall.flipped = FlippedForTrapezoid(wall.wall, measuredRight);
    WallOpeningList openings;
    if (const GSErrCode collected = CollectWallOpenings(wall, openings); collected != NoError) return collected;
    wall.wall.geometryKind = TrapezoidKind;
    wall.wall.thickness = Geometry::DistCoordSectorPtr(GeoPoint(crossings->first), line);
    wall.wall.thickness1 = Geometry::DistCoordSectorPtr(GeoPoint(crossings->second), line);
    if (const GSErrCode changed = HostChangeElement(&wall, &mask, nullptr, 0, true); changed != NoError) return changed;
    ScopedElementMemo outline;
    if (const GSErrCode read = HostGetElementMemo(&wall.header.guid, &*outline, AllMemoParts); read != NoError) return read;
    return ReplaceByPolygonalWall(wall, *outline, openings);
}

// The outline of the wall for a new point: its own, or the four corners of its
// faces along its reference line, closed.
std::vector<Vektor2D> OutlineForNewPoint(const API_WallType& wall, const API_ElementMemo& memo)
{
    std::vector<Vektor2D> outline;
    if (memo.coords.size() > 1)
    {
        for (std::size_t i = 1; i < memo.coords.size(); ++i) outline.push_back(PlanPoint(memo.coords[i]));
        return outline;
    }
    const Vektor2D begin = PlanPoint(wall.begC);
    const Vektor2D end = PlanPoint(wall.endC);
    Vektor2D left(-(end - begin).y, (end - begin).x);
    left.Normalize();
    const WallFaces atBegin = FacesAcross(wall, wall.thickness);
    const WallFaces atEnd = FacesAcross(wall, wall.geometryKind == TrapezoidKind ? wall.thickness1 : wall.thickness);
    const Vektor2D first = begin + left * atBegin.left;
    return {first, end + left * atEnd.left, end + left * atEnd.right, begin + left * atBegin.right, first};
}

// The segment from `from` to `to` crosses the edge; touching at `from` does not count.
bool CrossesEdge(const Vektor2D& from, const Vektor2D& to, const Vektor2D& a, const Vektor2D& b)
{
    const Geometry::Sector segment {GeoPoint(from), GeoPoint(to)};
    const Geometry::Sector edge {GeoPoint(a), GeoPoint(b)};
    Geometry::Coord crossing;
    if (!Geometry::XSectors(segment, edge, &crossing)) return false;
    return Geometry::IsSectorPointIntersect(segment, crossing, Geometry::Boundary_Opened, GeometricTolerance) &&
           Geometry::IsSectorPointIntersect(edge, crossing, Geometry::Boundary_Closed, GeometricTolerance);
}

// The point is seen from both ends of edge j without crossing another edge.
bool SeenFromEdge(const std::vector<Vektor2D>& outline, std::size_t j, const Vektor2D& point)
{
    for (std::size_t k = 0; k + 1 < outline.size(); ++k)
    {
        if (k == j) continue;
        if (CrossesEdge(outline[j], point, outline[k], outline[k + 1]) ||
            CrossesEdge(outline[j + 1], point, outline[k], outline[k + 1]))
            return false;
    }
    return true;
}

// The edge after whose start the point goes: the first one it falls inside of,
// else the nearest one it can be joined to.
std::optional<std::size_t> EdgeForPoint(const std::vector<Vektor2D>& outline, const Vektor2D& point)
{
    std::optional<std::size_t> best;
    double bestDistance = 0.0;
    for (std::size_t j = 0; j + 1 < outline.size(); ++j)
    {
        const Geometry::Sector edge {GeoPoint(outline[j]), GeoPoint(outline[j + 1])};
        const Geometry::Coord foot = Geometry::CoordProjSector(GeoPoint(point), edge);
        const Vektor2D q(foot.x, foot.y);
        const Vektor2D a = q - outline[j];
        if (a.DotProduct(outline[j + 1] - outline[j]) < -GeometricTolerance || !SeenFromEdge(outline, j, point)) continue;
        if (a.DotProduct(q - outline[j + 1]) < -GeometricTolerance) return j;
        const double distance = Geometry::DistCoordSectorPtr(GeoPoint(point), edge);
        if (!best || distance < bestDistance - GeometricTolerance)
        {
            best = j;
            bestDistance = distance;
        }
    }
    return best;
}

void FillOutlineMemo(const std::vector<Vektor2D>& outline, API_ElementMemo& memo, API_WallType& wall)
{
    memo.coords.assign(1, API_Coord {});
    for (const Vektor2D& p : outline) memo.coords.push_back({p.x, p.y});
    const auto count = static_cast<std::int32_t>(outline.size());
    memo.pends = {0, count};
    memo.parcs.clear();
    wall.poly = {count, 1, 0};
}

// An outline with arcs or with holes would lose them in the straight, single
// contour the new point makes; so would a curved wall.
bool KeepsItsShapeWithAPoint(const API_WallType& wall, const API_ElementMemo& memo)
{
    return memo.parcs.empty() && memo.pends.size() <= 2 && (memo.coords.size() > 1 || IsStraight(wall));
}

}  // namespace

void Survanto::SetWallThickness()
{
    if (actionPoints.GetSize() > 0)
    {
        const Vektor2D point = PlanVektor(actionPoints[0]);
        RunCreationCommand([&point] {
            const API_Element mask = ThicknessMask();
            for (const API_Neig& neig : Selection(true))
            {
                API_Element wall;
                if (!ReadEditableWall(neig, wall) || !IsUpright(wall.wall)) continue;
                ReachPoint(wall.wall, point);
                wall.wall.geometryKind = PlainKind;
                if (HostChangeElement(&wall, &mask, nullptr, 0, true) != NoError) break;
            }
        });
    }
    pointStep = 0;
    measuringMode = 0;
}

void Survanto::SetTrapezoidWallThickness()
{
    if (actionPoints.GetSize() > 1)
    {
        const Vektor2D p0 = PlanVektor(actionPoints[0]);
        const Vektor2D p1 = PlanVektor(actionPoints[1]);
        const double tolerance = wallThicknessTolerance;
        RunChangeCommand([&] {
            for (const API_Neig& neig : Selection(true))
            {
                API_Element wall;
                if (ReadEditableWall(neig, wall) && IsUpright(wall.wall) && IsStraight(wall.wall))
                    return ChangeToTrapezoid(wall, p0, p1, tolerance);
            }
            return NoError;
        });
    }
    pointStep = 0;
    measuringMode = 0;
    SetMainPaletteItemValue(TrapezoidWallItem, 0.0);
}

void Survanto::AddPointToPolygonWall()
{
    if (!AcceptToolLayer(API_WallID) || actionPoints.GetSize() == 0) return;
    const std::vector<API_Neig> selection = Selection(false);
    if (selection.size() != 1 || NeigToElemType(selection.front().neigID) != API_WallID) return;
    API_Element wall;
    wall.header.guid = selection.front().guid;
    ScopedElementMemo memo;
    if (HostGetElement(&wall) != NoError || HostGetElementMemo(&wall.header.guid, &*memo, AllMemoParts) != NoError) return;
    if (!KeepsItsShapeWithAPoint(wall.wall, *memo)) return;

    std::vector<Vektor2D> outline = OutlineForNewPoint(wall.wall, *memo);
    const Vektor2D point = PlanVektor(actionPoints[0]);
    if (const std::optional<std::size_t> edge = EdgeForPoint(outline, point))
        outline.insert(outline.begin() + static_cast<std::ptrdiff_t>(*edge) + 1, point);
    memo.Dispose();
    ScopedElementMemo newOutline;
    FillOutlineMemo(outline, *newOutline, wall.wall);

    RunChangeCommand([&] {
        WallOpeningList openings;
        if (const GSErrCode collected = CollectWallOpenings(wall, openings); collected != NoError) return collected;
        if (const GSErrCode replaced = ReplaceByPolygonalWall(wall, *newOutline, openings); replaced != NoError) return replaced;
        const API_Neig chosen {ElemTypeToNeig(API_WallID), wall.header.guid, 0};
        HostSelectElements(&chosen, 1, true);
        return NoError;
    });
}
