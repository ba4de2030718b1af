#include "Geometry/GeometryMatrix.hpp"

#include <cmath>

namespace Geometry {

namespace {

double At(const TRANMAT& tm, int row, int column) { return tm.tmx[4 * row + column]; }

}  // namespace

void TMBSet(TRANMAT* tm, const Coord3D& xAxis, const Coord3D& yAxis, const Coord3D& zAxis)
{
    *tm = TRANMAT {};
    const Coord3D* axes[3] = {&xAxis, &yAxis, &zAxis};
    for (int column = 0; column < 3; ++column) {
        tm->tmx[column] = axes[column]->x;
        tm->tmx[4 + column] = axes[column]->y;
        tm->tmx[8 + column] = axes[column]->z;
    }
}

// The inverse is the adjugate (transposed cofactors) over the determinant.
bool InvMat(TRANMAT* inverse, const TRANMAT& tm)
{
    double cofactor[3][3];
    for (int row = 0; row < 3; ++row) {
        const int r1 = (row + 1) % 3, r2 = (row + 2) % 3;
        for (int column = 0; column < 3; ++column) {
            const int c1 = (column + 1) % 3, c2 = (column + 2) % 3;
            cofactor[row][column] = At(tm, r1, c1) * At(tm, r2, c2) - At(tm, r1, c2) * At(tm, r2, c1);
        }
    }
    const double determinant = At(tm, 0, 0) * cofactor[0][0] + At(tm, 0, 1) * cofactor[0][1] + At(tm, 0, 2) * cofactor[0][2];
    if (!(std::fabs(determinant) >= GeometryEps)) return false;
    TRANMAT result;
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column) result.tmx[4 * row + column] = cofactor[column][row] / determinant;
    *inverse = result;
    return true;
}

Coord3D TMBVect(const TRANMAT& tm, const Coord3D& v)
{
    return {At(tm, 0, 0) * v.x + At(tm, 0, 1) * v.y + At(tm, 0, 2) * v.z,
            At(tm, 1, 0) * v.x + At(tm, 1, 1) * v.y + At(tm, 1, 2) * v.z,
            At(tm, 2, 0) * v.x + At(tm, 2, 1) * v.y + At(tm, 2, 2) * v.z};
}

}  // namespace Geometry
