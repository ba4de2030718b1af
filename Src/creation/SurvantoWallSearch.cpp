#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <optional>
#include <vector>

#include "API/AddOnInterface.hpp"
#include "Geometry/Geometry.hpp"
#include "creation/WallSearch.hpp"
#include "frame/Survanto.hpp"
#include "frame/UInterface.hpp"
#include "framework/AngleConstants.hpp"
#include "framework/HostApiHelpers.hpp"
#include "framework/ScopedElementMemo.hpp"
#include "framework/Tolerance.hpp"
#include "framework/Vektor2D.hpp"
#include "framework/VektorConversions.hpp"
#include "measuring/MeasuringState.hpp"
#include "persistence/ProjectUser.hpp"

// The wall that holds a measured point, for openings, reveals and shells; the
// teamwork reservation of an opening's host wall; the sides of an opening.

namespace
{

constexpr std::int32_t PolygonalWall = 2;
constexpr std::int32_t FirstWindowVersionWithTurnedSide = 32;

enum AlertEntry : std::int32_t
{
    TextWallNotFound = 13,
    TextWallNotReserved = 19,
    TextMeasureConstructionOnly = 20,
    ButtonReservedOk = 21,
    ButtonCancel = 22,
    ButtonRetry = 23,
};

enum AlertAnswer : std::int16_t
{
    AnswerOk = 1,
    AnswerCancel = 2
};

Geometry::Coord Coord(const Vektor2D& v) { return {v.x, v.y}; }
Vektor2D Plan(const Geometry::Coord& c) { return {c.x, c.y}; }
Vektor2D Plan(const API_Coord& c) { return {c.x, c.y}; }

// The station is kept in the station frame, which carries the location offset.
Vektor2D StationInProject()
{
    const API_Coord offset = GetLocationOffset();
    return {measuringState.stationX - offset.x, measuringState.stationY - offset.y};
}

// Where the reference line lies tells which face the station side names.
bool InvertsStationSide(const API_WallType& wall)
{
    const std::int32_t code = wall.referenceLineCode;
    if (!wall.flipped) return code == 0 || code == 1 || code == 3 || code == 4;
    return code == 2 || code == 5;
}

bool IsStraight(const API_WallType& wall) { return std::fabs(wall.arcAngle) < GeometricTolerance; }

// One wall's answer for the point, with its distance from it.
struct WallFit
{
    API_Element wall;
    double distance = 0.0;
    double position = 0.0;
    double depth = 0.0;
    bool stationSide = true;
};

// The nearest of the outline's edges whose foot of the point lies on it.
std::optional<WallFit> FitPolygonal(const API_Element& wall, const Vektor2D& p)
{
    ScopedElementMemo memo;
    std::optional<double> nearest;
    if (HostGetElementMemo(&wall.header.guid, &*memo, APIMemoMask_Polygon) == NoError)
    {
        const auto& coords = memo->coords;
        for (std::size_t j = 1; j + 1 < coords.size(); ++j)
        {
            const Geometry::Sector edge {{coords[j].x, coords[j].y}, {coords[j + 1].x, coords[j + 1].y}};
            if ((Plan(edge.c2) - Plan(edge.c1)).GetLength() < GeometricTolerance) continue;
            const Geometry::Coord foot = Geometry::CoordProjSector(Coord(p), edge);
            if (!Geometry::IsSectorPointIntersect(edge, foot, Geometry::Boundary_Closed, GeometricTolerance)) continue;
            const double distance = (p - Plan(foot)).GetLength();
            if (!nearest || distance < *nearest) nearest = distance;
        }
    }
    memo.Dispose();
    if (!nearest) return std::nullopt;
    return WallFit {wall, *nearest, 0.0, 0.0, true};
}

// A wall shorter than the tolerance has no direction and holds no point. The
// station's side is told against the wall's direction, also for a foot at its end.
std::optional<WallFit> FitStraight(const API_Element& wall, const Vektor2D& p, const Vektor2D& station)
{
    const API_WallType& w = wall.wall;
    const Vektor2D begin = Plan(w.begC);
    const Vektor2D end = Plan(w.endC);
    const Vektor2D d = end - begin;
    const double length = d.GetLength();
    if (length < GeometricTolerance) return std::nullopt;
    const Vektor2D u = d * (1.0 / length);
    const Vektor2D foot = begin + u * u.DotProduct(p - begin);
    const Geometry::Sector line {Coord(begin), Coord(end)};
    if (!Geometry::IsSectorPointIntersect(line, Coord(foot), Geometry::Boundary_Closed, GeometricTolerance)) return std::nullopt;
    WallFit fit {wall, (p - foot).GetLength(), (foot - begin).GetLength(), Geometry::DistCoordSectorPtr(Coord(p), line), true};
    fit.stationSide = !(d.CrossProduct(station - foot) > GeometricTolerance);
    if (InvertsStationSide(w)) fit.stationSide = !fit.stationSide;
    if (!fit.stationSide)
    {
        const double along = std::clamp(fit.position / length, 0.0, 1.0);
        const double thickness = w.thickness + (w.thickness1 - w.thickness) * along;
        fit.depth = std::fabs(thickness - fit.depth);
    }
    return fit;
}

std::optional<WallFit> FitCurved(const API_Element& wall, const Vektor2D& p, const Vektor2D& station)
{
    const API_WallType& w = wall.wall;
    Geometry::GenArc arc;
    if (!Geometry::SetGenArc({w.begC.x, w.begC.y}, {w.endC.x, w.endC.y}, w.arcAngle, &arc)) return std::nullopt;
    const Vektor2D centre = Plan(arc.origo);
    const Geometry::Sector ray {arc.origo, Coord(centre + (p - centre) * 2.0)};
    Geometry::Coord crossings[2];
    const int count = Geometry::XGenArcSectorEps(arc, ray, crossings, GeometricTolerance);
    if (count == 0) return std::nullopt;
    const Vektor2D q = Plan(crossings[count == 2 ? 1 : 0]);

    const double begin = arc.begAng;
    double end = arc.endAng;
    double angle = (p - centre).GetAngle();
    if (begin > end + GeometricTolerance) end += TwoPi;
    if (angle < begin - GeometricTolerance) angle += TwoPi;
    if (angle > end + GeometricTolerance) return std::nullopt;

    WallFit fit {wall, (p - q).GetLength(), (angle - begin) * arc.r, 0.0, true};
    const Vektor2D tangent = (q - centre).GetPerpendicular();
    fit.stationSide = tangent.CrossProduct(station - q) < -GeometricTolerance;
    if (InvertsStationSide(w)) fit.stationSide = !fit.stationSide;
    fit.depth = std::fabs((p - centre).GetLength() - arc.r);
    if (!fit.stationSide) fit.depth = w.thickness - fit.depth;
    return fit;
}

std::optional<WallFit> FitWall(const API_Element& wall, const Vektor2D& p, const Vektor2D& station)
{
    if (wall.wall.geometryKind == PolygonalWall) return FitPolygonal(wall, p);
    if (IsStraight(wall.wall)) return FitStraight(wall, p, station);
    return FitCurved(wall, p, station);
}

// Points of openings and reveals lie in the wall's body, at most a thickness from
// its reference line; a point locating a vault's wall stands in front of a face,
// up to about a thickness. With the surveyor's wall thickness tolerance on top,
// a wall farther than twice its thickness did not hold the point.
bool IsWithinReach(const WallFit& fit, double thicknessTolerance)
{
    const API_WallType& w = fit.wall.wall;
    const double slack = std::isfinite(thicknessTolerance) ? std::max(thicknessTolerance, 0.0) : 0.0;
    return fit.distance <= 2.0 * std::max(w.thickness, w.thickness1) + slack + GeometricTolerance;
}

bool HoldsHeight(const API_WallType& wall, double bottom, double height)
{
    return !(height < bottom - GeometricTolerance) && !(height > bottom + wall.height + GeometricTolerance);
}

// Walls holding both heights, only the low one, only the high one. Among walls
// of one slot at the same distance (within the tolerance) the later one counts.
class WallSlots
{
public:
    void Offer(std::size_t slot, WallFit fit)
    {
        std::optional<WallFit>& kept = slots_[slot];
        if (!kept || !(fit.distance > kept->distance + GeometricTolerance)) kept = std::move(fit);
    }

    // A wall holding more of the heights wins unless another is nearer by more than the tolerance.
    const WallFit* Choose() const
    {
        const auto nearerThan = [this](std::size_t slot, const WallFit& fit) {
            return slots_[slot] && slots_[slot]->distance < fit.distance - GeometricTolerance;
        };
        if (slots_[0] && !nearerThan(1, *slots_[0]) && !nearerThan(2, *slots_[0])) return &*slots_[0];
        if (slots_[1] && !nearerThan(2, *slots_[1])) return &*slots_[1];
        if (slots_[2]) return &*slots_[2];
        return nullptr;
    }

private:
    std::array<std::optional<WallFit>, 3> slots_;
};

void ShowWallNotFound()
{
    ShowAlert(AlertError, AlertStringListId, AlertErrorTitle, TextWallNotFound, NoAlertText, AlertOkButton, NoAlertText,
              NoAlertText, CurrentResourceModule(), AlertStringType);
}

bool IsReservedForUser(const API_Guid& wall)
{
    bool reserved = false;
    return HostFilterElement(&wall, APIFilt_HasAccessRight, 0, &APINULLGuid, &reserved) == NoError && reserved;
}

bool IsWindowWithTurnedSide(const API_Element& opening)
{
    if (opening.header.typeID != API_WindowID) return false;
    API_LibPart part;
    part.index = opening.window.libraryPartIndex;
    return HostGetLibraryPart(&part) == NoError && part.version >= FirstWindowVersionWithTurnedSide;
}

}  // namespace

bool FindWallAtPoint(const Survanto& survanto, double x, double y, double lowHeight, double highHeight, API_Element& wall,
                     double& position, double& depth, bool& stationSide)
{
    std::vector<API_Guid> walls;
    if (HostGetElementList(API_WallID, &walls) != NoError) return false;
    const Vektor2D p(x, y);
    const Vektor2D station = StationInProject();
    WallSlots slots;
    for (const API_Guid& guid : walls)
    {
        API_Element candidate;
        candidate.header.guid = guid;
        if (HostGetElement(&candidate) != NoError) continue;
        std::optional<WallFit> fit = FitWall(candidate, p, station);
        if (!fit || !IsWithinReach(*fit, survanto.wallThicknessTolerance)) continue;
        const double bottom = GetStoryLevel(candidate.header.floorInd) + candidate.wall.bottomOffset;
        const bool low = HoldsHeight(candidate.wall, bottom, lowHeight);
        const bool high = HoldsHeight(candidate.wall, bottom, highHeight);
        if (!low && !high) continue;
        slots.Offer(low && high ? 0 : (low ? 1 : 2), std::move(*fit));
    }
    const WallFit* chosen = slots.Choose();
    if (chosen == nullptr) return false;
    wall = chosen->wall;
    position = chosen->position;
    depth = chosen->depth;
    stationSide = chosen->stationSide;
    return true;
}

// In a teamwork project an opening needs its wall reserved; the user may measure
// the construction points only, drop the point or try the reservation again.
void Survanto::CheckOpeningHostWall(const API_Coord3D& point, bool& openingWallUsableFlag, bool& discard)
{
    if (!ProjectUser::InTeamworkProject()) return;
    API_Element wall;
    double position = 0.0, depth = 0.0;
    bool stationSide = true;
    if (!FindWallAtPoint(*this, point.x, point.y, point.z, point.z, wall, position, depth, stationSide)) return;
    const std::vector<API_Guid> reserve {wall.header.guid};
    for (;;)
    {
        HostReserveElements(&reserve, nullptr);
        if (IsReservedForUser(wall.header.guid)) break;
        const std::int16_t answer =
            ShowAlert(AlertError, AlertStringListId, AlertErrorTitle, TextWallNotReserved, TextMeasureConstructionOnly,
                      ButtonReservedOk, ButtonCancel, ButtonRetry, CurrentResourceModule(), AlertStringType);
        if (answer == AnswerOk)
        {
            openingWallUsableFlag = false;
            break;
        }
        if (answer == AnswerCancel)
        {
            discard = true;
            break;
        }
    }
    if (!discard) return;
    RunCreationCommand([this] {
        API_Element marker;
        marker.header.typeID = API_ObjectID;
        marker.header.guid = lastMeasuredPointMarker;
        if (HostGetElement(&marker) == NoError && marker.header.guid != APINULLGuid) ForceDeleteElement(marker.header);
    });
}

void Survanto::FinishWindowMeasurement() { CreateWindowFromPoints(); }

void Survanto::FinishDoorMeasurement() { CreateDoorFromPoints(); }

// The flags in record order: the opening mirrored, its opening side, its reference side.
void Survanto::SetOpeningSides(const API_Element& wall, API_Element& opening, bool outsideMeasured, bool invertBoth,
                               bool invertFirst)
{
    Vektor2D middle(0.0, 0.0);
    if (actionPoints.GetSize() >= 2)
        middle = (PlanVektor(actionPoints[0]) + PlanVektor(actionPoints[1])) * 0.5;
    else if (!actionPoints.IsEmpty())
        middle = PlanVektor(actionPoints[0]);
    const Vektor2D towardsStation = StationInProject() - middle;
    const double g = towardsStation.CrossProduct(Plan(wall.wall.endC) - Plan(wall.wall.begC));

    bool& first = opening.window.mirrored;
    bool& second = opening.window.openingSide;
    bool& third = opening.window.referenceSide;
    if ((g > 0.0 && outsideMeasured) || (g < 0.0 && !outsideMeasured))
    {
        second = false;
        third = false;
    }
    else
    {
        first = second = third = true;
    }
    if (IsWindowWithTurnedSide(opening)) second = !second;
    if (!outsideMeasured)
    {
        second = !second;
        first = !first;
    }
    if (invertBoth)
    {
        second = !second;
        first = !first;
    }
    if (invertFirst) first = !first;
}

double Survanto::MeasureRevealDepth()
{
    const API_Coord3D p0 = actionPoints.IsEmpty() ? API_Coord3D {} : actionPoints[0];
    API_Element wall;
    double position = 0.0, depth = 0.0;
    bool stationSide = true;
    if (!actionPoints.IsEmpty() && FindWallAtPoint(*this, p0.x, p0.y, p0.z, p0.z, wall, position, depth, stationSide))
        return depth;
    ShowWallNotFound();
    pointStep = 0;
    return 0.0;
}

// Straight walls: the two points' distance along the wall. Curved walls: the
// second point taken onto the face the station looks at, its distance from the
// radial line through the first point; the first point may lie anywhere in the
// reveal's depth. A depth measurement of the same points that found no wall has
// ended the action (point step 0) and told the user already.
double Survanto::MeasureRevealWidth()
{
    API_Element wall;
    double position = 0.0, depth = 0.0;
    bool stationSide = true;
    if (actionPoints.GetSize() < 2 ||
        !FindWallAtPoint(*this, actionPoints[0].x, actionPoints[0].y, std::min(actionPoints[0].z, actionPoints[1].z),
                         std::max(actionPoints[0].z, actionPoints[1].z), wall, position, depth, stationSide))
    {
        if (pointStep != 0) ShowWallNotFound();
        pointStep = 0;
        return revealValue;
    }
    const Vektor2D p0 = PlanVektor(actionPoints[0]);
    const Vektor2D p1 = PlanVektor(actionPoints[1]);
    const API_WallType& w = wall.wall;
    Geometry::GenArc arc;
    if (IsStraight(w) || !Geometry::SetGenArc({w.begC.x, w.begC.y}, {w.endC.x, w.endC.y}, w.arcAngle, &arc))
    {
        Vektor2D along = Plan(w.endC) - Plan(w.begC);
        along.Normalize();
        revealValue = std::fabs(along.DotProduct(p0 - p1));
        return revealValue;
    }
    const bool referenceOutside = !InvertsStationSide(w);
    double radius = arc.r;
    if (!stationSide) radius = referenceOutside ? arc.r - w.thickness : arc.r + w.thickness;
    const Vektor2D centre = Plan(arc.origo);
    Vektor2D towardsP1 = p1 - centre;
    towardsP1.Normalize();
    Vektor2D radial = p0 - centre;
    radial.Normalize();
    revealValue = std::fabs(radial.CrossProduct(towardsP1 * radius));
    return revealValue;
}
