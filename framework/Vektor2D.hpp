#pragma once
#include "framework/Tolerance.hpp"

// A plane vector of doubles; a default vector is the unit x vector.
class Vektor2D
{
public:
    static constexpr double LengthTolerance = GeometricTolerance;

    double x = 1.0;
    double y = 0.0;

    Vektor2D() = default;
    Vektor2D(double xValue, double yValue) : x(xValue), y(yValue) {}

    void Set(double xValue, double yValue)
    {
        x = xValue;
        y = yValue;
    }

    Vektor2D operator+(const Vektor2D& b) const { return {x + b.x, y + b.y}; }
    Vektor2D operator-(const Vektor2D& b) const { return {x - b.x, y - b.y}; }
    Vektor2D& operator*=(double k);

    double DotProduct(const Vektor2D& b) const { return x * b.x + y * b.y; }
    // Positive when b lies counter-clockwise of this vector.
    double CrossProduct(const Vektor2D& b) const { return x * b.y - y * b.x; }
    double GetLength() const;
    // Leaves a vector shorter than the length tolerance unchanged.
    void Normalize();
    // Counter-clockwise for a positive angle (radians).
    void Rotate(double angle);
    Vektor2D GetPerpendicular() const { return {-y, x}; }
    // Direction angle in [0, 2π).
    double GetAngle() const;
};

Vektor2D operator-(const Vektor2D& v);
Vektor2D operator*(const Vektor2D& v, double k);
Vektor2D operator*(double k, const Vektor2D& v);
