#pragma once
#include <cstdint>

#include "API/Types.hpp"
#include "framework/TypVektor.hpp"

// The determinant of the top-left n x n block (n from 2 to 4) of a 4 x 4 matrix,
// expanded along its first row.
double DeterminantByCofactors(const double matrix[4][4], std::int16_t n);

// The sphere through four points. Four points in one plane, or so near one that
// their tetrahedron's volume is below a millionth of the cube of their spread,
// give radius 0 and leave the centre as it was.
void SphereThroughFourPoints(TypVektor<API_Coord3D> points, double& radius, API_Coord3D& centre);
