#include "curves/CurvePlanes.hpp"

namespace Curves
{

Curve3DPalette::PlaneData HorizontalPlane(const Vector& origin)
{
    return {{1.0, 0.0, 0.0}, {0.0, 1.0, 0.0}, {0.0, 0.0, 1.0}, origin};
}

std::optional<Curve3DPalette::PlaneData> PlaneThroughThreePoints(const Vector& p0, const Vector& p1, const Vector& p2)
{
    const std::optional<Vector> normal = Unit(Cross(Minus(p1, p0), Minus(p2, p0)));
    if (!normal || Length(Minus(p1, p0)) < Tolerance || Length(Minus(p2, p0)) < Tolerance) return std::nullopt;
    const Geometry::Plane ground {{0.0, 0.0, 0.0}, {0.0, 0.0, 1.0}};
    const Geometry::Plane measured {p0, *normal};
    Geometry::Sector3D line;
    if (!Geometry::XPlanes(ground, measured, &line)) return HorizontalPlane(p0);
    const std::optional<Vector> xAxis = Unit(Minus(line.c2, line.c1));
    const std::optional<Vector> yAxis = xAxis ? Unit(Cross(*normal, *xAxis)) : std::nullopt;
    if (!yAxis) return std::nullopt;
    return Curve3DPalette::PlaneData {*xAxis, *yAxis, *normal, p0};
}

std::optional<Curve3DPalette::PlaneData> VerticalPlaneThroughTwoPoints(const Vector& p0, const Vector& p1)
{
    const Vector span = Minus(p1, p0);
    if (Geometry::LenVector({span.x, span.y}) < Tolerance) return std::nullopt;
    const Vector yAxis = *Unit(span);
    return Curve3DPalette::PlaneData {{0.0, 0.0, 1.0}, yAxis, {-yAxis.y, yAxis.x, 0.0}, p0};
}

API_Coord3D ProjectOntoPlane(const Curve3DPalette::PlaneData& plane, const API_Coord3D& point)
{
    Geometry::PlaneEq equation;
    if (!Geometry::SetUpGenPlane(&equation, plane.origin, plane.normal)) return point;
    return ToPoint(Geometry::ProjCoord3DToPlane(equation, ToVector(point)));
}

}  // namespace Curves
