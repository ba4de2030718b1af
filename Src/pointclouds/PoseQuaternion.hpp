#pragma once
#include "Geometry/Transformation.hpp"

// The rotation of a scan's pose, in this order: w, x, y, z. It need not be a unit
// quaternion: the matrix divides by its squared length.
struct PoseQuaternion
{
    double w = 1.0;
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;

    // The rotation matrix, the translation column zero. A quaternion of length 0
    // (or one that is no number) turns by nothing.
    void ToMatrix(TRANMAT& matrix) const;
};
