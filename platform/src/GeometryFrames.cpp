#include <cmath>

#include "Geometry/CurveGeometry.hpp"

namespace Geometry
{

bool SetUpGenPlane(PlaneEq* plane, const Coord3D& point, const Coord3D& normal)
{
    Coord3D unit;
    if (!UnitVector3D(normal, &unit)) return false;
    plane->a = unit.x;
    plane->b = unit.y;
    plane->c = unit.z;
    plane->d = -Detail::Dot(unit, point);
    return true;
}

Coord3D ProjCoord3DToPlane(const PlaneEq& plane, const Coord3D& c)
{
    const Coord3D normal {plane.a, plane.b, plane.c};
    const double distance = Detail::Dot(normal, c) + plane.d;
    if (Detail::Dot(normal, normal) == 0.0) return c;
    return Detail::Sub(c, Detail::Scale(normal, distance));
}

double LenVector(const Coord& v) { return std::hypot(v.x, v.y); }

bool UnitVector3D(const Coord3D& v, Coord3D* unit) { return Detail::Unit(v, *unit); }

void RotCoord0(Coord* c, double sinAngle, double cosAngle) { RotCoord(c, Coord {}, sinAngle, cosAngle); }

double GetVectorsRelAngle(const Coord& from, const Coord& to)
{
    if (LenVector(from) == 0.0 || LenVector(to) == 0.0) return 0.0;
    const double angle = std::atan2(from.x * to.y - from.y * to.x, from.x * to.x + from.y * to.y);
    // atan2 gives -π for a negative zero cross product: the half turn is π here.
    return angle == -M_PI ? M_PI : angle;
}

// Rodrigues' rotation: v cos φ + (k × v) sin φ + k (k·v)(1 - cos φ).
bool TMRotateVect(Coord3D* v, const Coord3D& axis, double angle)
{
    Coord3D k;
    if (!UnitVector3D(axis, &k)) return false;
    const double c = std::cos(angle);
    const double s = std::sin(angle);
    const Coord3D turned = Detail::Add(Detail::Add(Detail::Scale(*v, c), Detail::Scale(Detail::Cross(k, *v), s)),
                                       Detail::Scale(k, Detail::Dot(k, *v) * (1.0 - c)));
    *v = turned;
    return true;
}

void TMBSet(TRANMAT* tm, const Coord3D& xAxis, const Coord3D& yAxis, const Coord3D& zAxis)
{
    const Coord3D axes[3] = {xAxis, yAxis, zAxis};
    for (int column = 0; column < 3; ++column)
    {
        tm->tmx[column] = axes[column].x;
        tm->tmx[4 + column] = axes[column].y;
        tm->tmx[8 + column] = axes[column].z;
    }
    tm->tmx[3] = tm->tmx[7] = tm->tmx[11] = 0.0;
}

bool InvMat(TRANMAT* inverse, const TRANMAT& tm)
{
    const auto m = [&tm](int row, int column) { return tm.tmx[4 * row + column]; };
    // Cofactors of the linear part, transposed: the adjugate.
    double adjugate[3][3];
    for (int row = 0; row < 3; ++row)
    {
        for (int column = 0; column < 3; ++column)
        {
            const int r1 = (column + 1) % 3, r2 = (column + 2) % 3;
            const int c1 = (row + 1) % 3, c2 = (row + 2) % 3;
            adjugate[row][column] = m(r1, c1) * m(r2, c2) - m(r1, c2) * m(r2, c1);
        }
    }
    const double determinant = m(0, 0) * adjugate[0][0] + m(0, 1) * adjugate[1][0] + m(0, 2) * adjugate[2][0];
    if (!(std::fabs(determinant) >= GeometryEps)) return false;
    for (int row = 0; row < 3; ++row)
    {
        for (int column = 0; column < 3; ++column) inverse->tmx[4 * row + column] = adjugate[row][column] / determinant;
        inverse->tmx[4 * row + 3] = 0.0;
    }
    return true;
}

Coord3D TMBVect(const TRANMAT& tm, const Coord3D& v)
{
    const double* t = tm.tmx;
    return {t[0] * v.x + t[1] * v.y + t[2] * v.z, t[4] * v.x + t[5] * v.y + t[6] * v.z, t[8] * v.x + t[9] * v.y + t[10] * v.z};
}

}  // namespace Geometry
