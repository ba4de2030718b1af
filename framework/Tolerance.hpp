#pragma once
#include <algorithm>

// The absolute tolerance of geometric comparisons: metres, radians and the plain
// values of cross and scalar products.
constexpr double GeometricTolerance = 1e-5;

// reference - tolerance < value < reference + tolerance, both strict.
inline bool IsWithinTolerance(double reference, double value, double tolerance)
{
    return value > reference - tolerance && value < reference + tolerance;
}

// Rounding can carry a scalar product of unit vectors just past ±1, where the arc
// cosine is undefined.
inline double ClampToUnit(double cosine) { return std::clamp(cosine, -1.0, 1.0); }
