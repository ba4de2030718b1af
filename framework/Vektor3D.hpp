#pragma once
#include "framework/Tolerance.hpp"

// A space vector of doubles; a default vector is the unit x vector.
class Vektor3D
{
public:
    static constexpr double Tolerance = GeometricTolerance;

    double x = 1.0;
    double y = 0.0;
    double z = 0.0;

    Vektor3D() = default;
    Vektor3D(double xValue, double yValue, double zValue) : x(xValue), y(yValue), z(zValue) {}

    Vektor3D operator+(const Vektor3D& b) const { return {x + b.x, y + b.y, z + b.z}; }
    Vektor3D operator-(const Vektor3D& b) const { return {x - b.x, y - b.y, z - b.z}; }

    double DotProduct(const Vektor3D& b) const { return x * b.x + y * b.y + z * b.z; }
    Vektor3D CrossProduct(const Vektor3D& b) const { return {y * b.z - z * b.y, z * b.x - x * b.z, x * b.y - y * b.x}; }
    double GetLength() const;
    // Leaves a vector shorter than the tolerance unchanged.
    void Normalize();
    bool IsEqual(const Vektor3D& b) const;
    bool IsParallel(const Vektor3D& b) const;
    // Angle between the two directions (radians); π/2 when either is shorter than the tolerance.
    double GetAngle(Vektor3D b) const;
    Vektor3D GetPerpendicular() const;
    // Counter-clockwise seen from the tip of the axis; the part along the axis stays.
    void RotateAround(double angle, const Vektor3D& axis);
};

Vektor3D operator-(const Vektor3D& v);
Vektor3D operator*(const Vektor3D& v, double k);
