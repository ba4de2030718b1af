#include "framework/Vektor2D.hpp"

#include <cmath>

#include "framework/AngleConstants.hpp"
#include "framework/Tolerance.hpp"

Vektor2D& Vektor2D::operator*=(double k)
{
    x *= k;
    y *= k;
    return *this;
}

double Vektor2D::GetLength() const { return std::sqrt(x * x + y * y); }

void Vektor2D::Normalize()
{
    const double length = GetLength();
    if (IsWithinTolerance(length, 0.0, LengthTolerance)) return;
    x /= length;
    y /= length;
}

void Vektor2D::Rotate(double angle)
{
    const double c = std::cos(angle), s = std::sin(angle);
    const double oldX = x, oldY = y;
    x = oldX * c - oldY * s;
    y = oldX * s + oldY * c;
}

double Vektor2D::GetAngle() const
{
    Vektor2D unit = *this;
    unit.Normalize();
    const double angle = std::acos(ClampToUnit(unit.x));
    // Just below the x axis the turn would come out as a full 2π, outside [0, 2π).
    const double direction = y < 0.0 ? TwoPi - angle : angle;
    return direction >= TwoPi ? 0.0 : direction;
}

Vektor2D operator-(const Vektor2D& v) { return {-v.x, -v.y}; }
Vektor2D operator*(const Vektor2D& v, double k) { return {k * v.x, k * v.y}; }
Vektor2D operator*(double k, const Vektor2D& v) { return {k * v.x, k * v.y}; }
