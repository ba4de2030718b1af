#include <cmath>
#include <cstdint>
#include <optional>

#include "API/AddOnInterface.hpp"
#include "Geometry/Geometry.hpp"
#include "frame/Survanto.hpp"
#include "framework/AngleConstants.hpp"
#include "framework/HostApiHelpers.hpp"
#include "framework/ScopedElementMemo.hpp"
#include "framework/Tolerance.hpp"
#include "framework/Vektor2D.hpp"
#include "framework/Vektor3D.hpp"
#include "framework/VektorConversions.hpp"
#include "measuring/MainPaletteItems.hpp"
#include "measuring/MeasuringState.hpp"

// Walls from measured points: the points lie on the wall's reference face, and
// the side on which the station stands chooses the reference line. A set of
// points that gives no wall (points at one place, three points on one line for a
// curved wall, a face that gives no base line, points so far out that the
// construction overflows) makes nothing and ends the action: the host never sees
// a wall of no length or without a number.

namespace
{

using namespace MainPaletteItems;

constexpr std::int16_t WallOptionCount = 4;
constexpr std::int32_t ReferenceLineLeft = 0;
constexpr std::int32_t ReferenceLineRight = 2;
constexpr std::int32_t StraightOrCurvedKind = 0;
constexpr std::int16_t PlainProfile = 0;
constexpr std::int16_t SlantedProfile = 3;

Geometry::Coord3D GeometryPoint(const Vektor3D& p) { return {p.x, p.y, p.z}; }
API_Coord HostPoint(const Vektor2D& p) { return {p.x, p.y}; }
API_Coord HostPoint(const Vektor3D& p) { return {p.x, p.y}; }

bool SamePlace(const Vektor2D& a, const Vektor2D& b) { return (b - a).GetLength() < GeometricTolerance; }

// Where the infinite lines through two segments meet; nothing when a segment has
// no length or the lines run parallel.
std::optional<Vektor2D> CrossingOfLines(const Vektor2D& a1, const Vektor2D& a2, const Vektor2D& b1, const Vektor2D& b2)
{
    const Vektor2D da = a2 - a1;
    const Vektor2D db = b2 - b1;
    if (da.GetLength() < GeometricTolerance || db.GetLength() < GeometricTolerance) return std::nullopt;
    Vektor2D ua = da;
    Vektor2D ub = db;
    ua.Normalize();
    ub.Normalize();
    if (std::fabs(ua.CrossProduct(ub)) < GeometricTolerance) return std::nullopt;
    const double t = (b1 - a1).CrossProduct(db) / da.CrossProduct(db);
    return a1 + da * t;
}

// The point lies on the segment, its ends included.
bool LiesOnSegment(const Vektor2D& point, const Vektor2D& from, const Vektor2D& to)
{
    const Vektor2D span = to - from;
    const double length = span.GetLength();
    if (length < GeometricTolerance) return SamePlace(point, from);
    const double along = (point - from).DotProduct(span) / length;
    const double aside = std::fabs(span.CrossProduct(point - from)) / length;
    return aside < GeometricTolerance && along > -GeometricTolerance && along < length + GeometricTolerance;
}

// Signed angle of the arc from begin over middle to end about the centre:
// positive counter-clockwise.
double ArcAngleThrough(const Vektor2D& centre, const Vektor2D& begin, const Vektor2D& middle, const Vektor2D& end)
{
    const double start = (begin - centre).GetAngle();
    const auto turnFromStart = [start, &centre](const Vektor2D& p) {
        const double turn = (p - centre).GetAngle() - start;
        return turn < 0.0 ? turn + TwoPi : turn;
    };
    const double toEnd = turnFromStart(end);
    return turnFromStart(middle) < toEnd ? toEnd : toEnd - TwoPi;
}

// The centre of the circle through three plan points; nothing when they lie on one line.
std::optional<Vektor2D> CircleCentre(const Vektor2D& p0, const Vektor2D& p1, const Vektor2D& p2)
{
    const Geometry::Coord points[3] = {{p0.x, p0.y}, {p1.x, p1.y}, {p2.x, p2.y}};
    Geometry::Coord centre;
    if (!Geometry::Circle_3Pt(points, &centre)) return std::nullopt;
    return Vektor2D {centre.x, centre.y};
}

// Ends far apart can each be a number while the length between them is not.
bool HasFinitePlace(const API_WallType& wall)
{
    return std::isfinite(wall.begC.x) && std::isfinite(wall.begC.y) && std::isfinite(wall.endC.x) && std::isfinite(wall.endC.y) &&
           std::isfinite(wall.arcAngle) && std::isfinite(wall.slantAngle) &&
           std::isfinite(std::hypot(wall.endC.x - wall.begC.x, wall.endC.y - wall.begC.y)) && std::isfinite(wall.thickness) &&
           std::isfinite(wall.thickness1) && std::isfinite(wall.height);
}

API_Element WallDefaults(API_ElementMemo* memo, GSErrCode* result = nullptr)
{
    API_Element wall;
    wall.header.typeID = API_WallID;
    const GSErrCode got = HostGetElementDefaults(&wall, memo);
    if (result != nullptr) *result = got;
    return wall;
}

void SetPlainWall(API_WallType& wall, const Vektor2D& begin, const Vektor2D& end, std::int32_t referenceLine)
{
    wall.begC = HostPoint(begin);
    wall.endC = HostPoint(end);
    wall.referenceLineCode = referenceLine;
    wall.flipped = false;
    wall.profileCode = PlainProfile;
}

std::int32_t OtherReferenceLine(std::int32_t referenceLine)
{
    return referenceLine == ReferenceLineLeft ? ReferenceLineRight : ReferenceLineLeft;
}

// The walls of one run of the creation command, from the running action's points.
class WallRun
{
public:
    WallRun(Survanto& survanto, std::int32_t& referenceLine) : s_(survanto), referenceLine_(referenceLine) {}

    void Straight();
    void Chain();
    void Curved(bool round);
    void Inclined();

private:
    std::uint32_t Count() const { return s_.actionPoints.GetSize(); }
    Vektor2D PlanPoint(std::uint32_t index) const { return PlanVektor(s_.actionPoints[index]); }
    // A wall whose ends, length, arc, slant or size overflowed is not made.
    void Create(API_Element& wall, API_ElementMemo* memo = nullptr)
    {
        if (!HasFinitePlace(wall.wall)) return;
        s_.CompleteCreation(HostCreateElement(&wall, memo), wall, true);
    }
    void CreatePlainWall(const Vektor2D& begin, const Vektor2D& end);
    Vektor2D FirstChainStart(const std::optional<Vektor2D>& corner) const;
    Vektor2D LastChainEnd(const Vektor2D& start) const;
    std::optional<Vektor2D> LineCrossing(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d) const
    {
        return CrossingOfLines(PlanPoint(a), PlanPoint(b), PlanPoint(c), PlanPoint(d));
    }

    Survanto& s_;
    std::int32_t& referenceLine_;
};

void WallRun::CreatePlainWall(const Vektor2D& begin, const Vektor2D& end)
{
    if (SamePlace(begin, end)) return;
    API_Element wall = WallDefaults(nullptr);
    SetPlainWall(wall.wall, begin, end, referenceLine_);
    Create(wall);
}

void WallRun::Straight()
{
    const Vektor2D begin = PlanPoint(0);
    const Vektor2D end = PlanPoint(1);
    if (!SamePlace(begin, end))
    {
        API_Element wall = WallDefaults(nullptr);
        SetPlainWall(wall.wall, begin, end, referenceLine_);
        s_.ApplyAngleSnap(wall);
        Create(wall);
    }
    s_.pointStep = 0;
}

// Each pair of points (2m, 2m+1) lies on the face of wall m; consecutive walls
// meet where their lines cross, and a closed chain starts and ends where the
// first line crosses the last one.
void WallRun::Chain()
{
    s_.SnapPointPairs();
    const std::uint32_t n = Count();
    const std::uint32_t walls = n / 2;
    for (std::uint32_t m = 0; m < walls; ++m)
    {
        if (SamePlace(PlanPoint(2 * m), PlanPoint(2 * m + 1)))
        {
            s_.pointStep = 0;
            return;
        }
    }
    const bool closed = s_.polygonFinish && n > 4;
    const std::optional<Vektor2D> closingCorner = closed ? LineCrossing(0, 1, n - 1, n - 2) : std::nullopt;

    Vektor2D previousEnd;
    std::optional<Vektor2D> previousCorner;
    for (std::uint32_t m = 0; m < walls; ++m)
    {
        const std::optional<Vektor2D> corner =
            2 * m + 3 < n ? LineCrossing(2 * m, 2 * m + 1, 2 * m + 2, 2 * m + 3) : std::nullopt;

        Vektor2D start = previousEnd;
        if (m == 0)
            start = closingCorner ? *closingCorner : FirstChainStart(corner);
        else if (n == 4)
            start = previousCorner ? *previousCorner : PlanPoint(2);

        Vektor2D end = corner ? *corner : PlanPoint(2 * m + 1);
        if (2 * m + 3 == n + 1) end = closingCorner ? *closingCorner : LastChainEnd(start);

        CreatePlainWall(start, end);
        previousEnd = end;
        previousCorner = corner;
        s_.pointStep = 0;
    }
}

// A first pair measured towards the chain's start begins the wall at its far point.
Vektor2D WallRun::FirstChainStart(const std::optional<Vektor2D>& corner) const
{
    if (corner && LiesOnSegment(PlanPoint(0), PlanPoint(1), *corner)) return PlanPoint(1);
    return PlanPoint(0);
}

// A last pair measured towards its wall's start ends the wall at its far point.
Vektor2D WallRun::LastChainEnd(const Vektor2D& start) const
{
    const std::uint32_t n = Count();
    return LiesOnSegment(PlanPoint(n - 1), PlanPoint(n - 2), start) ? PlanPoint(n - 2) : PlanPoint(n - 1);
}

void WallRun::Curved(bool round)
{
    const std::optional<Vektor2D> centre = CircleCentre(PlanPoint(0), PlanPoint(1), PlanPoint(2));
    if (!centre)
    {
        s_.pointStep = 0;
        return;
    }
    ScopedElementMemo memo;
    GSErrCode defaults = NoError;
    API_Element wall = WallDefaults(&*memo, &defaults);
    if (defaults == NoError)
    {
        double angle = ArcAngleThrough(*centre, PlanPoint(0), PlanPoint(1), PlanPoint(2));
        Vektor2D begin = PlanPoint(0);
        Vektor2D end = PlanPoint(2);
        if (angle < -GeometricTolerance)
        {
            angle = -angle;
            referenceLine_ = OtherReferenceLine(referenceLine_);
            begin = PlanPoint(2);
            end = PlanPoint(0);
        }
        SetPlainWall(wall.wall, begin, end, referenceLine_);
        wall.wall.arcAngle = angle;
        wall.wall.geometryKind = StraightOrCurvedKind;
        // Taken before the host and the storey fit write into the record.
        API_Element rest = wall;
        Create(wall, &*memo);
        if (round)
        {
            // The rest of the circle runs on, counter-clockwise, from the end back to the begin.
            rest.wall.begC = HostPoint(end);
            rest.wall.endC = HostPoint(begin);
            rest.wall.arcAngle = TwoPi - angle;
            Create(rest, &*memo);
        }
    }
    memo.Dispose();
    s_.pointStep = 0;
}

// The wall's face is the plane through the three points; the wall stands on the
// line where that face meets the plane of the wall's base and leans by the
// angle between the face and the floor.
void WallRun::Inclined()
{
    API_Element wall = WallDefaults(nullptr);
    const Vektor3D a = SpaceVektor(s_.actionPoints[0]);
    const Vektor3D b = SpaceVektor(s_.actionPoints[1]);
    const Vektor3D c = SpaceVektor(s_.actionPoints[2]);
    Vektor3D normal = (c - a).CrossProduct(b - a);
    normal.Normalize();

    const double baseHeight = GetStoryLevel(wall.header.floorInd) + wall.wall.bottomOffset;
    const Geometry::Plane face {GeometryPoint(a), GeometryPoint(normal)};
    const Geometry::Plane base {{0.0, 0.0, baseHeight}, {0.0, 0.0, 1.0}};
    Geometry::Sector3D baseLine;
    if (!Geometry::XPlanes(face, base, &baseLine))
    {
        s_.pointStep = 0;
        return;
    }
    const Vektor3D aOnBase = SpaceVektor(Geometry::CoordProjSector3D(GeometryPoint(a), baseLine));
    const Vektor3D bOnBase = SpaceVektor(Geometry::CoordProjSector3D(GeometryPoint(b), baseLine));
    const Vektor3D cOnBase = SpaceVektor(Geometry::CoordProjSector3D(GeometryPoint(c), baseLine));
    const Vektor3D rise = c - cOnBase;
    if (rise.GetLength() < GeometricTolerance || SamePlace({aOnBase.x, aOnBase.y}, {bOnBase.x, bOnBase.y}))
    {
        s_.pointStep = 0;
        return;
    }
    double slant = rise.GetAngle(Vektor3D(rise.x, rise.y, 0.0));
    // The face leans over to the side on which it rises above its base, whether the
    // third point lies above the base or below it, above the first two or below them.
    const Vektor2D along = Vektor2D(bOnBase.x, bOnBase.y) - Vektor2D(aOnBase.x, aOnBase.y);
    if (along.CrossProduct(Vektor2D(rise.x, rise.y)) * rise.z < -GeometricTolerance) slant = Pi - slant;

    wall.wall.begC = HostPoint(aOnBase);
    wall.wall.endC = HostPoint(bOnBase);
    wall.wall.profileCode = SlantedProfile;
    wall.wall.slantAngle = slant;
    wall.wall.referenceLineCode = referenceLine_;
    wall.wall.flipped = false;
    s_.ApplyAngleSnap(wall);
    Create(wall);
    s_.pointStep = 0;
}

// Left of the directed line from point 0 to point 1 seen from the station: code 0.
// The station's plan position carries the location offset, the points do not.
std::int32_t ReferenceLineFromStation(const TypVektor<API_Coord3D>& points, const API_Coord& offset)
{
    if (points.GetSize() < 2) return ReferenceLineLeft;
    const Vektor2D station(measuringState.stationX, measuringState.stationY);
    const Vektor2D shift(offset.x, offset.y);
    const Vektor2D q0 = PlanVektor(points[0]) + shift - station;
    const Vektor2D q1 = PlanVektor(points[1]) + shift - station;
    return q0.CrossProduct(q1) > GeometricTolerance ? ReferenceLineLeft : ReferenceLineRight;
}

}  // namespace

void Survanto::CreateWall()
{
    if (!AcceptToolLayer(API_WallID)) return;
    const API_Coord offset = GetLocationOffset();
    for (std::int16_t option = 0; option < WallOptionCount; ++option)
        toolOptions[static_cast<std::size_t>(option)] =
            static_cast<std::int16_t>(MainPaletteItemValue(static_cast<std::int16_t>(FirstOptionItem + option)));
    std::int32_t referenceLine = ReferenceLineFromStation(actionPoints, offset);

    RunCreationCommand([this, &referenceLine] {
        WallRun run(*this, referenceLine);
        const std::uint32_t count = actionPoints.GetSize();
        if (toolOptions[0] != 0 && count > 1) run.Straight();
        if (toolOptions[1] != 0 && count > 3) run.Chain();
        if ((toolOptions[2] != 0 || toolOptions[3] != 0) && count > 2) run.Curved(toolOptions[3] != 0);
        if (MainPaletteItemValue(InclinedWallItem) != 0.0 && count > 2) run.Inclined();
    });
}
