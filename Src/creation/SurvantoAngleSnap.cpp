#include <cmath>

#include "API/AddOnInterface.hpp"
#include "Geometry/Geometry.hpp"
#include "frame/Survanto.hpp"
#include "framework/AngleConstants.hpp"
#include "framework/Vektor2D.hpp"
#include "measuring/MainPaletteItems.hpp"

// The angle snap turns measured directions close to a multiple of 30° or 45°
// onto it; circles and arcs go through three measured points.

namespace
{

using namespace MainPaletteItems;

constexpr int ThirtyDegreeSteps = 12;
constexpr int FortyFiveDegreeSteps = 8;

// Candidates run from 0 up to and including the full turn, so that a direction
// just below 360° snaps onto 360° as one just above 0° snaps onto 0°. The last
// matching candidate counts.
bool SnapOntoSteps(int steps, double direction, double tolerance, double& correction)
{
    bool matched = false;
    for (int k = 0; k <= steps; ++k)
    {
        const double candidate = TwoPi * k / steps;
        if (tolerance > std::fabs(candidate - direction))
        {
            correction = candidate - direction;
            matched = true;
        }
    }
    return matched;
}

double DirectionAngle(const API_Coord& from, const API_Coord& to) { return Vektor2D(to.x - from.x, to.y - from.y).GetAngle(); }

void TurnEndPoint(const API_Coord& begin, API_Coord& end, double angle)
{
    Geometry::Coord turned {end.x, end.y};
    Geometry::RotCoord(&turned, {begin.x, begin.y}, std::sin(angle), std::cos(angle));
    end = {turned.x, turned.y};
}

bool FitCircle(Survanto& survanto, Geometry::Coord& centre)
{
    const TypVektor<API_Coord3D>& points = survanto.actionPoints;
    if (points.GetSize() < 3) return false;
    const Geometry::Coord plan[3] = {{points[0].x, points[0].y}, {points[1].x, points[1].y}, {points[2].x, points[2].y}};
    survanto.circleFitOk = Geometry::Circle_3Pt(plan, &centre);
    return survanto.circleFitOk;
}

API_Element ArcDefaults(API_ElemTypeID type, const Geometry::Coord& centre, const API_Coord3D& onArc)
{
    API_Element element;
    element.header.typeID = type;
    HostGetElementDefaults(&element, nullptr);
    element.arc.centre = {centre.x, centre.y};
    element.arc.radius = std::hypot(onArc.x - centre.x, onArc.y - centre.y);
    element.arc.axisRatio = 1.0;
    return element;
}

double AngleAbout(const Geometry::Coord& centre, const API_Coord3D& point)
{
    return Vektor2D(point.x - centre.x, point.y - centre.y).GetAngle();
}

// Counter-clockwise from P0 to P2 when P1 lies on that way, else from P2 to P0.
void SetArcAngles(API_ArcType& arc, const Geometry::Coord& centre, const TypVektor<API_Coord3D>& points)
{
    const double a0 = AngleAbout(centre, points[0]);
    double a1 = AngleAbout(centre, points[1]);
    double a2 = AngleAbout(centre, points[2]);
    if (a0 > a2) a2 += TwoPi;
    if (a0 > a1) a1 += TwoPi;
    if (a1 > a2)
    {
        arc.begAngle = AngleAbout(centre, points[2]);
        arc.endAngle = a0;
        if (arc.begAngle > arc.endAngle) arc.endAngle += TwoPi;
    }
    else
    {
        arc.begAngle = a0;
        arc.endAngle = a2;
    }
}

bool HasFinitePlace(const API_ArcType& arc)
{
    return std::isfinite(arc.centre.x) && std::isfinite(arc.centre.y) && std::isfinite(arc.radius) &&
           std::isfinite(arc.begAngle) && std::isfinite(arc.endAngle);
}

// Three points on one line give no circle, points so far out that the fit
// overflows give none that can be drawn: nothing is made then.
void CreateCircleOrArcElement(Survanto& survanto)
{
    const bool circle = survanto.MainPaletteItemValue(CircleItem) != 0.0;
    if (!circle && survanto.MainPaletteItemValue(ArcItem) == 0.0) return;
    Geometry::Coord centre;
    if (!FitCircle(survanto, centre)) return;
    const TypVektor<API_Coord3D>& points = survanto.actionPoints;
    API_Element element = ArcDefaults(circle ? API_CircleID : API_ArcID, centre, points[0]);
    if (!circle) SetArcAngles(element.arc, centre, points);
    if (!HasFinitePlace(element.arc)) return;
    if (HostCreateElement(&element, nullptr) == NoError) survanto.elementCreated = true;
}

}  // namespace

bool Survanto::GetAngleSnapCorrection(double directionAngle, double& correction) const
{
    const double tolerance = snapDirectionTolerance * RadiansPerDegree;
    return SnapOntoSteps(ThirtyDegreeSteps, directionAngle, tolerance, correction) ||
           SnapOntoSteps(FortyFiveDegreeSteps, directionAngle, tolerance, correction);
}

void Survanto::ApplyAngleSnap(API_Element& element) const
{
    if (MainPaletteItemValue(AngleSnapItem) == 0.0) return;
    double correction = 0.0;
    switch (element.header.typeID)
    {
        case API_WallID:
            if (GetAngleSnapCorrection(DirectionAngle(element.wall.begC, element.wall.endC), correction))
                TurnEndPoint(element.wall.begC, element.wall.endC, correction);
            break;
        case API_BeamID:
            if (GetAngleSnapCorrection(DirectionAngle(element.beam.begC, element.beam.endC), correction))
                TurnEndPoint(element.beam.begC, element.beam.endC, correction);
            break;
        case API_LineID:
            if (GetAngleSnapCorrection(DirectionAngle(element.line.begC, element.line.endC), correction))
                TurnEndPoint(element.line.begC, element.line.endC, correction);
            break;
        case API_ColumnID:
        {
            double& angle = element.column.slanted ? element.column.slantDirectionAngle : element.column.axisRotationAngle;
            if (GetAngleSnapCorrection(angle, correction)) angle += correction;
            break;
        }
        default: break;
    }
}

void Survanto::SnapPointPairs()
{
    if (MainPaletteItemValue(AngleSnapItem) == 0.0) return;
    for (std::uint32_t i = 0; i + 1 < actionPoints.GetSize(); i += 2)
    {
        const API_Coord begin {actionPoints[i].x, actionPoints[i].y};
        API_Coord end {actionPoints[i + 1].x, actionPoints[i + 1].y};
        double correction = 0.0;
        if (!GetAngleSnapCorrection(DirectionAngle(begin, end), correction)) continue;
        TurnEndPoint(begin, end, correction);
        actionPoints[i + 1].x = end.x;
        actionPoints[i + 1].y = end.y;
    }
}

// The layer check asks for the circle tool's layer, also for an arc; in a
// section-type view the circle is drawn in the view's plane.
void Survanto::CreateCircleOrArc()
{
    if (AcceptToolLayer(API_CircleID))
    {
        ProjectPointsToSectionView();
        RunCreationCommand([this] { CreateCircleOrArcElement(*this); });
    }
    pointStep = 0;
}
