#pragma once
#include <optional>

#include "curves/Curve3DPalette.hpp"
#include "curves/CurveVectors.hpp"

// The planes a 2D curve can lie in, measured with one, three or two points.
namespace Curves
{

Curve3DPalette::PlaneData HorizontalPlane(const Vector& origin);

// The plane through three points, its x axis along its horizontal direction and
// right-handed (x × y = normal). Points at one height give the horizontal plane
// through the first; nothing for three points on one line (or two at one place).
std::optional<Curve3DPalette::PlaneData> PlaneThroughThreePoints(const Vector& p0, const Vector& p1, const Vector& p2);

// The vertical plane through two points: x axis up, y axis along the measured
// direction with its slope, normal its horizontal perpendicular, so a sloped
// direction gives a sheared frame. Nothing for two points at one plan position.
std::optional<Curve3DPalette::PlaneData> VerticalPlaneThroughTwoPoints(const Vector& p0, const Vector& p1);

// The foot of the point on the plane; a plane without a normal leaves it as it is.
API_Coord3D ProjectOntoPlane(const Curve3DPalette::PlaneData& plane, const API_Coord3D& point);

}  // namespace Curves
