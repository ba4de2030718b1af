#include <cmath>
#include <optional>

#include "API/AddOnInterface.hpp"
#include "Geometry/Geometry.hpp"
#include "creation/DomeShell.hpp"
#include "creation/SphereFit.hpp"
#include "creation/WallSearch.hpp"
#include "frame/Survanto.hpp"
#include "framework/HostApiHelpers.hpp"

// Domes: a sphere fitted exactly through four points and cut at a base height,
// made as a revolved shell. A fit that fails or a base that misses the sphere
// makes nothing.

namespace
{

TypVektor<API_Coord3D> FirstFour(const TypVektor<API_Coord3D>& points)
{
    TypVektor<API_Coord3D> four;
    for (std::uint32_t i = 0; i < 4 && i < points.GetSize(); ++i) four.Add(points[i]);
    return four;
}

std::optional<DomeShell> DomeThroughFirstFour(const TypVektor<API_Coord3D>& points, double baseHeight, double& radius)
{
    API_Coord3D centre {};
    radius = 0.0;
    SphereThroughFourPoints(FirstFour(points), radius, centre);
    return DomeShell::Cut(centre, radius, baseHeight);
}

Geometry::Coord Plan(const API_Coord3D& p) { return {p.x, p.y}; }
Geometry::Coord Plan(const API_Coord& p) { return {p.x, p.y}; }

// The wedge between the two measured lines, three radii long, in plan relative to
// the sphere's centre; empty when the lines do not make one.
std::vector<API_Coord> SegmentContour(const TypVektor<API_Coord3D>& p, const API_Coord3D& centre, double radius)
{
    Geometry::Coord corner;
    if (!Geometry::XLines({Plan(p[5]), Plan(p[6])}, {Plan(p[7]), Plan(p[8])}, &corner)) return {};
    const double length1 = std::hypot(p[6].x - corner.x, p[6].y - corner.y);
    const double length2 = std::hypot(p[8].x - corner.x, p[8].y - corner.y);
    if (length1 < Geometry::GeometryEps || length2 < Geometry::GeometryEps) return {};
    const double reach = 3.0 * radius;
    const API_Coord q1 {corner.x + reach * (p[6].x - corner.x) / length1, corner.y + reach * (p[6].y - corner.y) / length1};
    const API_Coord q2 {corner.x + reach * (p[8].x - corner.x) / length2, corner.y + reach * (p[8].y - corner.y) / length2};
    const auto relative = [&centre](const auto& c) { return API_Coord {c.x - centre.x, c.y - centre.y}; };
    return {relative(q1), relative(corner), relative(q2), relative(q1)};
}

}  // namespace

void Survanto::CreateDomeFromFivePoints()
{
    if (!AcceptToolLayer(API_ShellID)) return;
    if (actionPoints.GetSize() >= 5)
    {
        RunCreationCommand([this] {
            double radius = 0.0;
            std::optional<DomeShell> dome = DomeThroughFirstFour(actionPoints, actionPoints[4].z, radius);
            if (!dome) return;
            dome->unflipped = true;
            dome->Create(*this);
        });
    }
    actionPoints.Clear();
    pointStep = 0;
}

void Survanto::CreateDomeOnCurvedWall()
{
    if (!AcceptToolLayer(API_ShellID)) return;
    API_Element wall;
    double position = 0.0, depth = 0.0;
    bool stationSide = false;
    std::optional<DomeShell> dome;
    if (actionPoints.GetSize() >= 2)
    {
        const API_Coord3D p0 = actionPoints[0];
        if (FindWallAtPoint(*this, p0.x, p0.y, p0.z, p0.z, wall, position, depth, stationSide) && wall.wall.poly.nArcs > 0)
        {
            const API_WallType& w = wall.wall;
            Geometry::GenArc arc;
            if (Geometry::SetGenArc(Plan(w.begC), Plan(w.endC), w.arcAngle, &arc))
            {
                Geometry::Coord middle = Plan(w.begC);
                Geometry::RotCoord(&middle, arc.origo, std::sin(w.arcAngle / 2.0), std::cos(w.arcAngle / 2.0));
                // The measured point is absolute; so is the wall's top.
                const double top = GetStoryLevel(w.head.floorInd) + w.bottomOffset + w.height;
                TypVektor<API_Coord3D> four;
                four.Add({w.begC.x, w.begC.y, top});
                four.Add({w.endC.x, w.endC.y, top});
                four.Add({middle.x, middle.y, top});
                four.Add(actionPoints[1]);
                double radius = 0.0;
                API_Coord3D centre {};
                SphereThroughFourPoints(four, radius, centre);
                dome = DomeShell::Cut(centre, radius, top);
            }
        }
    }
    if (dome) RunCreationCommand([this, &dome] { dome->Create(*this); });
    actionPoints.Clear();
    pointStep = 0;
}

void Survanto::CreateDomeSegment()
{
    if (!AcceptToolLayer(API_ShellID)) return;
    if (actionPoints.GetSize() >= 9)
    {
        RunCreationCommand([this] {
            double radius = 0.0;
            std::optional<DomeShell> dome = DomeThroughFirstFour(actionPoints, actionPoints[4].z, radius);
            if (!dome) return;
            dome->contour = SegmentContour(actionPoints, dome->centre, radius);
            if (dome->contour.empty()) return;
            dome->Create(*this);
        });
    }
    actionPoints.Clear();
    pointStep = 0;
}
