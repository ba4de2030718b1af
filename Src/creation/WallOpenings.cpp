#include "creation/WallOpenings.hpp"

#include <algorithm>
#include <vector>

#include "API/OpeningFrame.hpp"
#include "Geometry/CurveGeometry.hpp"
#include "creation/WallBody.hpp"
#include "framework/FloorPlanDatabaseScope.hpp"
#include "framework/ScopedElementMemo.hpp"
#include "framework/Vektor2D.hpp"

namespace
{

constexpr std::uint64_t AllMemoParts = 0x07FFFFFFBFFFFFFF;
constexpr std::int32_t TrapezoidWall = 1;
constexpr std::int32_t PolygonalWall = 2;

// An opening whose memo cannot be read would come back without its parameters.
GSErrCode CollectOfType(const API_Element& wall, API_ElemTypeID type, WallOpeningList& openings)
{
    std::vector<API_Guid> guids;
    if (HostGetConnectedElements(&wall.header.guid, type, &guids, 0, 0, &APINULLGuid) != NoError) return NoError;
    for (const API_Guid& guid : guids)
    {
        API_Element opening;
        opening.header.guid = guid;
        if (HostGetElement(&opening) != NoError) continue;
        ScopedElementMemo memo;
        if (const GSErrCode read = HostGetElementMemo(&guid, &*memo, AllMemoParts); read != NoError) return read;
        if (wall.wall.geometryKind == PolygonalWall) opening.header.guid = APINULLGuid;
        openings.Add(opening, memo.Release());
    }
    return NoError;
}

Vektor2D Plan(const API_Coord& c) { return {c.x, c.y}; }

// The plan transformation into the frame of the new outline's first edge.
bool IntoFirstEdgeFrame(const API_ElementMemo& wallMemo, Geometry::TRANMAT& toFrame)
{
    Geometry::TRANMAT frame;
    return wallMemo.coords.size() >= 3 && PolygonalWallFrame(wallMemo.coords[1], wallMemo.coords[2], &frame) &&
           Geometry::InvMat(&toFrame, frame);
}

void SetInFrame(const Geometry::TRANMAT& toFrame, const Vektor2D& fromFirst, const Vektor2D& direction, API_WindowType& opening)
{
    const Geometry::Coord3D start = Geometry::TMBVect(toFrame, {fromFirst.x, fromFirst.y, 0.0});
    const Geometry::Coord3D across = Geometry::TMBVect(toFrame, {direction.x, direction.y, 0.0});
    opening.startPoint = {start.x, start.y};
    opening.direction = {across.x, across.y};
}

// A trapezoid wall's thickness changes along it from its begin to its end.
double ThicknessAt(const API_WallType& wall, double position, double length)
{
    if (wall.geometryKind != TrapezoidWall || !(length > 0.0)) return wall.thickness;
    const double along = std::clamp(position / length, 0.0, 1.0);
    return wall.thickness + (wall.thickness1 - wall.thickness) * along;
}

// The opening's position along the old wall as start point and direction in
// the frame of the new outline's first edge. On the far side it starts on the
// face where the wall has its thickness at the opening, and its reveal stays
// within that thickness.
bool PlaceAlongFirstEdge(const API_WallType& wall, const API_ElementMemo& wallMemo, API_WindowType& opening)
{
    Geometry::TRANMAT toFrame;
    if (!IntoFirstEdgeFrame(wallMemo, toFrame)) return false;
    Vektor2D along = Plan(wall.endC) - Plan(wall.begC);
    const double length = along.GetLength();
    along.Normalize();
    const Vektor2D across(-along.y, along.x);
    const double thickness = ThicknessAt(wall, opening.position, length);
    Vektor2D anchor = Plan(wall.begC) + along * opening.position;
    if (opening.referenceSide) anchor = anchor + across * (BodySide(wall) * thickness);
    opening.revealDepth = std::min(opening.revealDepth, thickness);
    const double sign = opening.referenceSide ? -1.0 : 1.0;
    SetInFrame(toFrame, anchor - Plan(wallMemo.coords[1]), across * sign, opening);
    return true;
}

// An opening of a polygonal wall keeps its place in plan: its start point and
// direction go from the old wall's frame (the old outline's first edge, as the
// host keeps it in the begin and end point) into the new outline's.
bool KeepPlaceInNewOutline(const API_WallType& oldWall, const API_ElementMemo& wallMemo, API_WindowType& opening)
{
    Geometry::TRANMAT oldFrame, toFrame;
    if (!PolygonalWallFrame(oldWall.begC, oldWall.endC, &oldFrame) || !IntoFirstEdgeFrame(wallMemo, toFrame)) return false;
    const Geometry::Coord3D offset = Geometry::TMBVect(oldFrame, {opening.startPoint.x, opening.startPoint.y, 0.0});
    const Geometry::Coord3D direction = Geometry::TMBVect(oldFrame, {opening.direction.x, opening.direction.y, 0.0});
    const Vektor2D start = Plan(oldWall.begC) + Vektor2D(offset.x, offset.y);
    SetInFrame(toFrame, start - Plan(wallMemo.coords[1]), {direction.x, direction.y}, opening);
    return true;
}

// Makes one opening in the wall.
GSErrCode RecreateOpening(const API_Element& wall, const API_ElementMemo& wallMemo, API_Element& opening, API_ElementMemo& memo)
{
    opening.window.owner = wall.header.guid;
    const bool placed = opening.header.guid == APINULLGuid ? KeepPlaceInNewOutline(wall.wall, wallMemo, opening.window)
                                                           : PlaceAlongFirstEdge(wall.wall, wallMemo, opening.window);
    opening.header.guid = APINULLGuid;
    const GSErrCode created = placed ? HostCreateElement(&opening, &memo) : APIERR_BADPARS;
    if (created != NoError) return created;
    HostUtilityRequest(FourCC("RPAS"), &opening.header, nullptr);
    HostDatabaseRequest(FourCC("RFSH"), &opening.header, nullptr);
    return NoError;
}

}  // namespace

GSErrCode CollectWallOpenings(const API_Element& wall, WallOpeningList& openings)
{
    if (const GSErrCode windows = CollectOfType(wall, API_WindowID, openings); windows != NoError) return windows;
    return CollectOfType(wall, API_DoorID, openings);
}

GSErrCode RecreateWallOpenings(const API_Element& wall, WallOpeningList& openings)
{
    const FloorPlanDatabaseScope floorPlan;
    ScopedElementMemo wallMemo;
    GSErrCode result = HostGetElementMemo(&wall.header.guid, &*wallMemo, AllMemoParts);
    for (std::uint32_t used = 0; used < openings.GetSize() && result == NoError; ++used)
        result = RecreateOpening(wall, *wallMemo, openings.elements[used], openings.memos[used]);
    openings.DisposeFrom(0);
    return result;
}
