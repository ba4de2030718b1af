#pragma once

namespace Geometry {

template <typename T>
struct Point2 {
    T x {};
    T y {};
};

template <typename T>
struct Vector3 {
    T x {};
    T y {};
    T z {};
};

}  // namespace Geometry
