#include "creation/WallOpenings.hpp"

#include <vector>

#include "API/OpeningFrame.hpp"
#include "FloorPlanDatabaseScope.hpp"
#include "Geometry/CurveGeometry.hpp"
#include "creation/ScopedElementMemo.hpp"
#include "creation/WallBody.hpp"
#include "Vektor2D.hpp"

namespace {

constexpr std::uint64_t AllMemoParts = 0x07FFFFFFBFFFFFFF;
constexpr std::int32_t PolygonalWall = 2;

void CollectOfType(const API_Element& wall, API_ElemTypeID type, WallOpeningList& openings)
{
    std::vector<API_Guid> guids;
    if (HostGetConnectedElements(&wall.header.guid, type, &guids, 0, 0, &APINULLGuid) != NoError) return;
    for (const API_Guid& guid : guids) {
        API_Element opening;
        opening.header.guid = guid;
        if (HostGetElement(&opening) != NoError) continue;
        API_ElementMemo memo;
        HostGetElementMemo(&guid, &memo, AllMemoParts);
        if (wall.wall.geometryKind == PolygonalWall) opening.header.guid = APINULLGuid;
        openings.Add(opening, memo);
    }
}

// The opening's position along the old wall as start point and direction in
// the frame of the new outline's first edge.
bool PlaceAlongFirstEdge(const API_WallType& wall, const API_ElementMemo& wallMemo, API_WindowType& opening)
{
    if (wallMemo.coords.size() < 3) return false;
    Geometry::TRANMAT frame;
    Geometry::TRANMAT toFrame;
    if (!PolygonalWallFrame(wallMemo.coords[1], wallMemo.coords[2], &frame) || !Geometry::InvMat(&toFrame, frame)) return false;
    Vektor2D along(wall.endC.x - wall.begC.x, wall.endC.y - wall.begC.y);
    along.Normalize();
    const Vektor2D across(-along.y, along.x);
    Vektor2D anchor = Vektor2D(wall.begC.x, wall.begC.y) + along * opening.position;
    if (opening.referenceSide) anchor = anchor + across * (BodySide(wall) * wall.thickness);
    const Vektor2D fromFirst = anchor - Vektor2D(wallMemo.coords[1].x, wallMemo.coords[1].y);
    const Geometry::Coord3D start = Geometry::TMBVect(toFrame, {fromFirst.x, fromFirst.y, 0.0});
    const double sign = opening.referenceSide ? -1.0 : 1.0;
    const Geometry::Coord3D direction = Geometry::TMBVect(toFrame, {across.x * sign, across.y * sign, 0.0});
    opening.startPoint = {start.x, start.y};
    opening.direction = {direction.x, direction.y};
    return true;
}

// Makes one opening in the wall and gives its memo back.
GSErrCode RecreateOpening(const API_Element& wall, const API_ElementMemo& wallMemo, API_Element& opening, API_ElementMemo& memo)
{
    opening.window.owner = wall.header.guid;
    const bool placed = opening.header.guid == APINULLGuid || PlaceAlongFirstEdge(wall.wall, wallMemo, opening.window);
    opening.header.guid = APINULLGuid;
    const GSErrCode created = placed ? HostCreateElement(&opening, &memo) : APIERR_BADPARS;
    HostDisposeElementMemo(&memo);
    if (created != NoError) return created;
    HostUtilityRequest(FourCC("RPAS"), &opening.header, nullptr);
    HostDatabaseRequest(FourCC("RFSH"), &opening.header, nullptr);
    return NoError;
}

}  // namespace

void CollectWallOpenings(const API_Element& wall, WallOpeningList& openings)
{
    CollectOfType(wall, API_WindowID, openings);
    CollectOfType(wall, API_DoorID, openings);
}

GSErrCode RecreateWallOpenings(const API_Element& wall, WallOpeningList& openings)
{
    const FloorPlanDatabaseScope floorPlan;
    ScopedElementMemo wallMemo;
    HostGetElementMemo(&wall.header.guid, &*wallMemo, AllMemoParts);
    GSErrCode result = NoError;
    std::uint32_t used = 0;
    while (used < openings.GetSize() && result == NoError) {
        result = RecreateOpening(wall, *wallMemo, openings.elements[used], openings.memos[used]);
        ++used;
    }
    openings.DisposeFrom(used);
    // The memos before went back to the host one by one.
    openings.elements.Clear();
    openings.memos.Clear();
    return result;
}
