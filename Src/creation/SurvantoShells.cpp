#include <algorithm>
#include <array>
#include <cmath>
#include <iterator>
#include <memory>
#include <vector>

#include "API/AddOnInterface.hpp"
#include "Geometry/CurveGeometry.hpp"
#include "Geometry/Geometry.hpp"
#include "creation/ShellMemo.hpp"
#include "creation/ShellWallProfile.hpp"
#include "creation/WallSearch.hpp"
#include "frame/Survanto.hpp"
#include "framework/AngleConstants.hpp"
#include "framework/FloorPlanDatabaseScope.hpp"
#include "framework/HostApiHelpers.hpp"
#include "framework/Tolerance.hpp"
#include "framework/Vektor2D.hpp"

// Vaults between two walls: a ruled shell between the arches measured on both
// walls, and a half-cylinder along a measured axis clipped to the outline the
// two walls span.

namespace
{

using Vector = Geometry::Vector3<double>;

constexpr std::int32_t ExtrudedClass = 0;
constexpr std::int32_t RuledClass = 2;
constexpr double SamePointDistance = GeometricTolerance;
constexpr std::int32_t ExtrudedProfileCode = 2;
constexpr std::int32_t ExtrudedEdgeCode = 7;

bool FindWall(const Survanto& survanto, double x, double y, API_Element& wall)
{
    double position = 0.0, depth = 0.0;
    bool stationSide = false;
    return FindWallAtPoint(survanto, x, y, 0.0, 0.0, wall, position, depth, stationSide);
}

// The turn from p0 to p2 along the circle through the three points that passes
// p1, counter-clockwise positive; 0 for points on one line.
double ArcThrough(const Vector& p0, const Vector& p1, const Vector& p2)
{
    const Geometry::Coord points[3] = {{p0.x, p0.y}, {p1.x, p1.y}, {p2.x, p2.y}};
    Geometry::Coord k;
    if (!Geometry::Circle_3Pt(points, &k)) return 0.0;
    const auto sweep = [&k, &p0](const Vector& p) {
        const double angle = Geometry::GetVectorsRelAngle({p0.x - k.x, p0.y - k.y}, {p.x - k.x, p.y - k.y});
        return angle < 0.0 ? angle + TwoPi : angle;
    };
    const double toEnd = sweep(p2);
    return sweep(p1) <= toEnd ? toEnd : toEnd - TwoPi;
}

// The foot point on the wall face the locating point looks at, and the arch in
// the wall's own plane.
void FitToWall(ShellWallProfile& profile, const API_WallType& wall)
{
    const Vektor2D locating(profile.footPoint.x, profile.footPoint.y);
    Vektor2D u(wall.endC.x - wall.begC.x, wall.endC.y - wall.begC.y);
    u.Normalize();
    const Vektor2D v = locating - Vektor2D(wall.begC.x, wall.begC.y);
    const Vektor2D w = u * u.DotProduct(v) - v;
    double dist = w.GetLength();
    Vektor2D towardsWall = w;
    towardsWall.Normalize();
    if (dist < Vektor2D::LengthTolerance) towardsWall.Set(0.0, 0.0);
    const double side = u.CrossProduct(towardsWall);
    const std::int32_t code = wall.referenceLineCode;
    const bool faceLeft = (!wall.flipped && code == 0) || (wall.flipped && code == 2);
    const bool faceRight = (wall.flipped && code == 0) || (!wall.flipped && code == 2);
    if ((faceLeft && side > 0.0) || (faceRight && side < 0.0)) dist -= wall.thickness;
    profile.footPoint = {locating.x + dist * towardsWall.x, locating.y + dist * towardsWall.y, 0.0};
    profile.wallAngle = u.GetAngle();
    profile.normal = {-towardsWall.x, -towardsWall.y, 0.0};
    const double c = std::cos(profile.wallAngle), s = std::sin(profile.wallAngle);
    for (Vector& p : profile.points)
    {
        const double dx = p.x - profile.footPoint.x, dy = p.y - profile.footPoint.y;
        p = {dx * c + dy * s, p.z, 0.0};
    }
    profile.arcAngle = profile.points.GetSize() >= 3 ? ArcThrough(profile.points[0], profile.points[1], profile.points[2]) : 0.0;
}

// The wall's plane: x along the wall from the foot point, y up from the home
// storey's level.
void WallPlane(const ShellWallProfile& profile, double storeyLevel, double (&plane)[12])
{
    const double c = std::cos(profile.wallAngle), s = std::sin(profile.wallAngle);
    const double rows[12] = {c, 0.0, s, profile.footPoint.x, s, 0.0, -c, profile.footPoint.y, 0.0, 1.0, 0.0, -storeyLevel};
    std::copy(std::begin(rows), std::end(rows), std::begin(plane));
}

void CreateRuledShell(Survanto& survanto, const std::array<ShellWallProfile, 2>& profiles)
{
    API_Element element;
    element.header.typeID = API_ShellID;
    element.shell.shellClass = RuledClass;
    if (HostGetElementDefaults(&element, nullptr) != NoError) return;
    const double level = GetStoryLevel(element.header.floorInd);
    API_RuledShellData& ruled = element.shell.ruled;
    SetIdentityTransformation(element.shell.basePlane);
    ruled.shape1Poly = {3, 1, 1};
    WallPlane(profiles[0], level, ruled.plane1);
    ruled.shape2Poly = {3, 1, 1};
    WallPlane(profiles[1], level, ruled.plane2);
    ShellMemo shellMemo;
    if (!shellMemo.AllocateShape(0, ruled.shape1Poly) || !shellMemo.AllocateShape(1, ruled.shape2Poly)) return;
    for (std::size_t k = 0; k < 2; ++k)
    {
        const ShellWallProfile& profile = profiles[k];
        const API_Coord first {profile.points[0].x, profile.points[0].y};
        const API_Coord last {profile.points[2].x, profile.points[2].y};
        shellMemo.FillShape(k, {first, last, first}, 2, profile.arcAngle);
    }
    if (HostCreateElement(&element, &*shellMemo.memo) == NoError) survanto.FitElementToStorey(element);
}

struct Segment
{
    Geometry::Coord begin;
    Geometry::Coord end;
};

double Cross(const Geometry::Coord& a, const Geometry::Coord& b, const Geometry::Coord& m)
{
    return (a.x - m.x) * (b.y - m.y) - (a.y - m.y) * (b.x - m.x);
}

// The outline the two walls span: their ends clockwise about their middle, a
// shared corner completed to a parallelogram, closed.
std::vector<API_Coord> WallOutline(std::array<Segment, 2> walls)
{
    const Geometry::Coord m {(walls[0].begin.x + walls[0].end.x + walls[1].begin.x + walls[1].end.x) / 4.0,
                             (walls[0].begin.y + walls[0].end.y + walls[1].begin.y + walls[1].end.y) / 4.0};
    for (Segment& wall : walls)
        if (Cross(wall.begin, wall.end, m) > 0.0) std::swap(wall.begin, wall.end);
    if (Cross(walls[0].begin, walls[1].begin, m) > 0.0) std::swap(walls[0], walls[1]);
    std::vector<API_Coord> outline;
    for (const Segment& wall : walls)
    {
        outline.push_back({wall.begin.x, wall.begin.y});
        outline.push_back({wall.end.x, wall.end.y});
    }
    bool merged = false;
    for (std::size_t i = 0; i < outline.size() && !merged; ++i)
        for (std::size_t j = i + 1; j < outline.size() && !merged; ++j)
            if (std::hypot(outline[i].x - outline[j].x, outline[i].y - outline[j].y) < SamePointDistance)
            {
                outline.erase(outline.begin() + static_cast<std::ptrdiff_t>(j));
                outline.push_back({outline[0].x + outline[2].x - outline[1].x, outline[0].y + outline[2].y - outline[1].y});
                merged = true;
            }
    outline.push_back(outline.front());
    return outline;
}

// The axis pulled out to the outline edges its line crosses; as measured unless
// it crosses two at least.
Segment SnapAxis(const Segment& axis, const std::vector<API_Coord>& outline)
{
    TypVektor<API_Coord> crossings;
    for (std::size_t n = 0; n + 1 < outline.size(); ++n)
    {
        Geometry::Coord crossing;
        if (Geometry::XLines({{outline[n].x, outline[n].y}, {outline[n + 1].x, outline[n + 1].y}}, {axis.begin, axis.end},
                             &crossing))
            crossings.Add({crossing.x, crossing.y});
    }
    if (crossings.GetSize() < 2) return axis;
    const std::int32_t first = Survanto::NearestPointIndex({axis.begin.x, axis.begin.y}, crossings, -1);
    const std::int32_t second = Survanto::NearestPointIndex({axis.end.x, axis.end.y}, crossings, first);
    const API_Coord& b = crossings[static_cast<std::uint32_t>(first)];
    const API_Coord& e = crossings[static_cast<std::uint32_t>(second)];
    return {{b.x, b.y}, {e.x, e.y}};
}

void KeepCrownAsDefaultLevel(double crown)
{
    const FloorPlanDatabaseScope floorPlan;
    API_Element defaults;
    defaults.header.typeID = API_ShellID;
    defaults.shell.shellClass = ExtrudedClass;
    if (HostGetElementDefaults(&defaults, nullptr) != NoError) return;
    defaults.shell.level = crown - GetStoryLevel(defaults.header.floorInd);
    API_Element mask;
    MarkToChange(mask.shell.level);
    HostChangeElementDefaults(&defaults, nullptr, &mask);
}

}  // namespace

std::int32_t Survanto::NearestPointIndex(API_Coord point, TypVektor<API_Coord> points, std::int32_t excluded)
{
    const auto distance = [&point, &points](std::uint32_t i) { return std::hypot(points[i].x - point.x, points[i].y - point.y); };
    std::int32_t best = excluded != 0 ? 0 : 1;
    if (points.GetSize() <= static_cast<std::uint32_t>(best)) return best;
    double bestDistance = distance(static_cast<std::uint32_t>(best));
    for (std::uint32_t i = 1; i < points.GetSize(); ++i)
    {
        if (static_cast<std::int32_t>(i) == excluded) continue;
        const double d = distance(i);
        if (bestDistance > d)
        {
            best = static_cast<std::int32_t>(i);
            bestDistance = d;
        }
    }
    return best;
}

void Survanto::CreateRuledShellBetweenWalls()
{
    if (!AcceptToolLayer(API_ShellID)) return;
    std::array<ShellWallProfile, 2> profiles;
    for (std::uint32_t n = 0; n < actionPoints.GetSize() && n < 8; ++n)
    {
        const API_Coord3D& p = actionPoints[n];
        ShellWallProfile& profile = profiles[n / 4];
        if (n % 4 == 0)
        {
            profile.footPoint = {p.x, p.y, 0.0};
        }
        else
        {
            profile.points.Add({p.x, p.y, p.z});
        }
    }
    bool bothWalls = actionPoints.GetSize() >= 8;
    for (ShellWallProfile& profile : profiles)
    {
        API_Element wall;
        if (!bothWalls || !FindWall(*this, profile.footPoint.x, profile.footPoint.y, wall))
        {
            bothWalls = false;
            break;
        }
        FitToWall(profile, wall.wall);
    }
    if (bothWalls) RunCreationCommand([this, &profiles] { CreateRuledShell(*this, profiles); });
    actionPoints.Clear();
    pointStep = 0;
}

void Survanto::CreateExtrudedShellFittedToWalls()
{
    if (!AcceptToolLayer(API_ShellID)) return;
    const TypVektor<API_Coord3D> p = actionPoints;
    // The action runs again only with its points emptied, whatever happens here.
    actionPoints.Clear();
    pointStep = 0;
    if (p.GetSize() < 7) return;
    std::array<Segment, 2> walls;
    for (std::uint32_t i = 0; i < 2; ++i)
    {
        API_Element wall;
        if (!FindWall(*this, p[i].x, p[i].y, wall)) return;
        walls[i] = {{wall.wall.begC.x, wall.wall.begC.y}, {wall.wall.endC.x, wall.wall.endC.y}};
    }
    const std::vector<API_Coord> outline = WallOutline(walls);
    const Segment axis = SnapAxis({{p[2].x, p[2].y}, {p[3].x, p[3].y}}, outline);
    const Vector origin {axis.begin.x, axis.begin.y, 0.0};
    const Vector direction {axis.end.x - axis.begin.x, axis.end.y - axis.begin.y, 0.0};
    Geometry::PlaneEq plane;
    if (!Geometry::SetUpGenPlane(&plane, origin, direction)) return;
    const double theta = Geometry::GetVectorsRelAngle({1.0, 0.0}, {direction.x, direction.y});
    Geometry::Coord profile[3];
    for (std::uint32_t k = 0; k < 3; ++k)
    {
        const Vector on = Geometry::ProjCoord3DToPlane(plane, {p[4 + k].x, p[4 + k].y, p[4 + k].z});
        Geometry::Coord across {on.x - origin.x, on.y - origin.y};
        Geometry::RotCoord0(&across, std::sin(-(theta + Pi / 2)), std::cos(-(theta + Pi / 2)));
        profile[k] = {across.x, on.z};
    }
    Geometry::Coord centre;
    if (!Geometry::Circle_3Pt(profile, &centre)) return;
    const double r = std::hypot(profile[0].x - centre.x, profile[0].y - centre.y);
    const Geometry::Coord top {centre.x, centre.y + r};
    const double crown = top.y;
    Geometry::Coord offset {top.x, 0.0};
    Geometry::RotCoord0(&offset, std::sin(theta + Pi / 2), std::cos(theta + Pi / 2));
    KeepCrownAsDefaultLevel(crown);

    API_Element element;
    element.header.typeID = API_ShellID;
    element.shell.shellClass = ExtrudedClass;
    if (HostGetElementDefaults(&element, nullptr) != NoError) return;
    const double height = crown - GetStoryLevel(element.header.floorInd);
    API_ShellType& shell = element.shell;
    shell.level = height;
    SetIdentityTransformation(shell.basePlane);
    shell.basePlane[11] = height;
    shell.hasContour = true;
    API_ExtrudedShellData& extruded = shell.extruded;
    extruded.begPlaneTilt = Pi / 2;
    extruded.endPlaneTilt = Pi / 2;
    extruded.shapePoly = {3, 1, 1};
    extruded.begC = {origin.x + offset.x, origin.y + offset.y, 0.0};
    extruded.extrudedDirection = {direction.x, direction.y, 0.0};
    extruded.profileCode = ExtrudedProfileCode;
    extruded.edgeCode = ExtrudedEdgeCode;
    auto shellMemo = std::make_unique<ShellMemo>();
    if (!shellMemo->AllocateShape(0, extruded.shapePoly) ||
        !shellMemo->AllocateContour({static_cast<std::int32_t>(outline.size()), 1, 0}))
        return;
    shellMemo->FillShape(0, {{-r, -r}, {r, -r}, {-r, -r}}, 2, -Pi);
    shellMemo->FillContour(outline);
    RunCreationCommand([this, &element, &shellMemo] {
        if (HostCreateElement(&element, &*shellMemo->memo) == NoError) FitElementToStorey(element);
        shellMemo.reset();
    });
}
