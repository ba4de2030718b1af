#pragma once
#include <cmath>
#include <optional>

#include "API/Types.hpp"
#include "Geometry/CurveGeometry.hpp"
#include "framework/AngleConstants.hpp"
#include "framework/Tolerance.hpp"

// The small vector arithmetic of the curve methods, over the host's geometry types.
namespace Curves
{

using Vector = Geometry::Coord3D;
using Plan = Geometry::Coord;

// Shorter chords and sides than this are no segment; also the test for "straight ahead".
constexpr double Tolerance = GeometricTolerance;

inline Vector ToVector(const API_Coord3D& p) { return {p.x, p.y, p.z}; }
inline API_Coord3D ToPoint(const Vector& v) { return {v.x, v.y, v.z}; }

inline Vector Plus(const Vector& a, const Vector& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Vector Minus(const Vector& a, const Vector& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Vector Times(const Vector& a, double k) { return {a.x * k, a.y * k, a.z * k}; }
inline double Dot(const Vector& a, const Vector& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline Vector Cross(const Vector& a, const Vector& b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline double Length(const Vector& a) { return std::sqrt(Dot(a, a)); }

inline Plan Minus(const Plan& a, const Plan& b) { return {a.x - b.x, a.y - b.y}; }
inline double Distance(const Plan& a, const Plan& b) { return Geometry::LenVector(Minus(a, b)); }

// Nothing for a vector without direction.
inline std::optional<Vector> Unit(const Vector& v)
{
    Vector unit;
    if (!Geometry::UnitVector3D(v, &unit)) return std::nullopt;
    return unit;
}

// The unit direction between two directions; where they cancel out (a turn back),
// the second, the direction the curve leaves in.
inline Vector Bisector(const Vector& a, const Vector& b) { return Unit(Plus(a, b)).value_or(b); }

// The clockwise sweep from one 2D vector to another, negated: in (-2π, 0].
inline double ClockwiseSweep(const Plan& from, const Plan& to)
{
    const double angle = Geometry::GetVectorsRelAngle(from, to);
    return angle > 0.0 ? angle - TwoPi : angle;
}

// A 2D vector turned by -90°: along a clockwise arc, the radius turned so is the
// direction of travel.
inline Plan TurnRight(const Plan& v) { return {v.y, -v.x}; }

}  // namespace Curves
