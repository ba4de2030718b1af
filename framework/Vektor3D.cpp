#include "framework/Vektor3D.hpp"

#include <cmath>

#include "framework/Tolerance.hpp"
#include "framework/Vektor2D.hpp"

double Vektor3D::GetLength() const { return std::sqrt(x * x + y * y + z * z); }

void Vektor3D::Normalize()
{
    const double length = GetLength();
    if (IsWithinTolerance(length, 0.0, Tolerance)) return;
    x /= length;
    y /= length;
    z /= length;
}

bool Vektor3D::IsEqual(const Vektor3D& b) const
{
    return IsWithinTolerance(x, b.x, Tolerance) && IsWithinTolerance(y, b.y, Tolerance) && IsWithinTolerance(z, b.z, Tolerance);
}

bool Vektor3D::IsParallel(const Vektor3D& b) const
{
    Vektor3D u = *this, v = b;
    u.Normalize();
    v.Normalize();
    return u.IsEqual(v) || u.IsEqual(-v);
}

double Vektor3D::GetAngle(Vektor3D b) const
{
    Vektor3D u = *this;
    u.Normalize();
    b.Normalize();
    return std::acos(ClampToUnit(u.DotProduct(b)));
}

Vektor3D Vektor3D::GetPerpendicular() const
{
    const Vektor3D diagonal(1.0, 1.0, 1.0);
    return CrossProduct(IsParallel(diagonal) ? Vektor3D(1.0, 1.0, 2.0) : diagonal);
}

void Vektor3D::RotateAround(double angle, const Vektor3D& axis)
{
    Vektor3D p = axis;
    p.Normalize();
    const double h = p.DotProduct(*this);
    Vektor3D q = p.GetPerpendicular();
    q.Normalize();
    Vektor3D r = p.CrossProduct(q);
    r.Normalize();
    Vektor2D plane(DotProduct(q), DotProduct(r));
    plane.Rotate(angle);
    *this = q * plane.x + r * plane.y + p * h;
}

Vektor3D operator-(const Vektor3D& v) { return {-v.x, -v.y, -v.z}; }
Vektor3D operator*(const Vektor3D& v, double k) { return {k * v.x, k * v.y, k * v.z}; }
