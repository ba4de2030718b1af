#include <optional>

#include "curves/Curve3DPalette.hpp"
#include "curves/CurvePlanes.hpp"
#include "curves/EndPointPolygon.hpp"
#include "curves/SplineCurve.hpp"
#include "curves/TwoPointPolygon.hpp"

// The measuring methods as the palette runs them: its state handed to the curve
// math, 2D points first put into the curve plane.

namespace
{

constexpr std::int16_t HorizontalPlaneStep = Curve3DPalette::FirstStepItem;
constexpr std::int16_t GeneralPlaneStep = Curve3DPalette::SecondStepItem;
constexpr std::int16_t VerticalPlaneStep = Curve3DPalette::ThirdStepItem;
constexpr std::int16_t SplinePointStep = Curve3DPalette::FirstStepItem;

}  // namespace

API_Coord3D Curve3DPalette::InCurvePlane(const API_Coord3D& point) const
{
    return curveDimension == Dimension2DItem ? Curves::ProjectOntoPlane(plane, point) : point;
}

void Curve3DPalette::AddEndPointPolygonPoint(API_Coord3D point)
{
    Curves::AddEndPointPoint(curve, curveStep, arcPointCount, segmentPoints, Curves::ToVector(InCurvePlane(point)));
}

void Curve3DPalette::CloseEndPointPolygon() { Curves::CloseEndPointCurve(curve, curveStep, arcPointCount, segmentPoints); }

void Curve3DPalette::SetHorizontalPlane(const Geometry::Vector3<double>& point) { plane = Curves::HorizontalPlane(point); }

// A plane is complete with its last point; points that give no plane are dropped.
void Curve3DPalette::AddPlanePoint(API_Coord3D point)
{
    std::optional<PlaneData> measured;
    switch (curveStep)
    {
        case HorizontalPlaneStep: measured = Curves::HorizontalPlane(Curves::ToVector(point)); break;
        case GeneralPlaneStep:
            planePoints.Add(Curves::ToVector(point));
            if (planePoints.GetSize() != 3) return;
            measured = Curves::PlaneThroughThreePoints(planePoints[0], planePoints[1], planePoints[2]);
            break;
        case VerticalPlaneStep:
            planePoints.Add(Curves::ToVector(point));
            if (planePoints.GetSize() != 2) return;
            measured = Curves::VerticalPlaneThroughTwoPoints(planePoints[0], planePoints[1]);
            break;
        default: return;
    }
    if (!measured)
    {
        planePoints.Clear();
        return;
    }
    plane = *measured;
    planeDefined = true;
    curveStep = 0;
    UpdateItems();
}

void Curve3DPalette::AddSplinePoint(API_Coord3D point)
{
    if (curveStep != SplinePointStep) return;
    splinePoints.Add(InCurvePlane(point));
    RebuildSplineCurve();
}

void Curve3DPalette::RebuildSplineCurve() { Curves::BuildSplineCurve(splinePoints, plane, polygonClosure == ClosedItem, curve); }

void Curve3DPalette::AddTwoPointSegmentPoint(API_Coord3D point)
{
    Curves::AddTwoPointSidePoint(curve, plane, curveStep, segmentPoints, Curves::ToVector(point));
}

void Curve3DPalette::CloseTwoPointSegmentPolygon() { Curves::CloseTwoPointCurve(curve, plane); }

bool Curve3DPalette::BuildCeilingRectangle(const TypVektor<API_Coord3D>& ceilingPoints, CurveData& curve)
{
    curve.points.Clear();
    curve.tangents.Clear();
    curve.arcs.Clear();
    if (ceilingPoints.GetSize() < 3) return false;
    const API_Coord3D& p0 = ceilingPoints[0];
    const API_Coord3D& p1 = ceilingPoints[1];
    const API_Coord3D& p2 = ceilingPoints[2];
    // Across the measured edge, to its left in plan.
    const Geometry::Coord across {-(p1.y - p0.y), p1.x - p0.x};
    const double length = Geometry::LenVector(across);
    if (length < Curves::Tolerance) return false;
    const double offset = (across.x * (p2.x - p0.x) + across.y * (p2.y - p0.y)) / length;
    const double dx = across.x / length * offset;
    const double dy = across.y / length * offset;
    curve.points.Add(p0);
    curve.points.Add(p1);
    curve.points.Add({p1.x + dx, p1.y + dy, p1.z});
    curve.points.Add({p0.x + dx, p0.y + dy, p0.z});
    return curve.points.Add(p0);
}
