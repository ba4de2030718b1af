#pragma once
#include <cmath>

namespace Geometry
{

template <typename T>
struct Point2
{
    T x {};
    T y {};
};

template <typename T>
struct Vector3
{
    T x {};
    T y {};
    T z {};

    T GetLength() const { return std::sqrt(x * x + y * y + z * z); }
    // The unit x vector for a zero vector.
    Vector3 UnitVector() const
    {
        const T length = GetLength();
        if (length == T {}) return {T {1}, T {}, T {}};
        return {x / length, y / length, z / length};
    }
};

}  // namespace Geometry
