#pragma once
#include "Geometry/Geometry.hpp"

// The host's transformations built from three axes, with their inverse.
namespace Geometry {

// A transformation: three rows of four, the linear part in the first three
// columns and the translation in the fourth.
struct TRANMAT {
    double tmx[12] {};
};

// The transformation whose columns are the three axes, without translation: it
// takes frame coordinates (a, b, c) to a·x + b·y + c·z.
void TMBSet(TRANMAT* tm, const Coord3D& xAxis, const Coord3D& yAxis, const Coord3D& zAxis);

// The inverse of the linear part (the translation of the result is zero).
// Singular (determinant smaller than GeometryEps in size, e.g. axes in one
// plane): false, inverse untouched.
bool InvMat(TRANMAT* inverse, const TRANMAT& tm);

// The linear part applied to v; the translation is left out.
Coord3D TMBVect(const TRANMAT& tm, const Coord3D& v);

}  // namespace Geometry
