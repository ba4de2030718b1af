#include "pointclouds/PoseQuaternion.hpp"

#include <cmath>

void PoseQuaternion::ToMatrix(TRANMAT& matrix) const
{
    Geometry::TMIdentity(&matrix);
    const double length = w * w + x * x + y * y + z * z;
    if (!(length > 0.0) || !std::isfinite(length)) return;
    const double s = 1.0 / length;
    Geometry::Matrix34& m = matrix.matrix;
    m.Set(0, 0, (w * w + x * x - y * y - z * z) * s);
    m.Set(1, 1, (w * w - x * x + y * y - z * z) * s);
    m.Set(2, 2, (w * w - x * x - y * y + z * z) * s);
    m.Set(1, 0, 2 * (x * y + w * z) * s);
    m.Set(0, 1, 2 * (x * y - w * z) * s);
    m.Set(2, 0, 2 * (x * z - w * y) * s);
    m.Set(0, 2, 2 * (x * z + w * y) * s);
    m.Set(2, 1, 2 * (y * z + w * x) * s);
    m.Set(1, 2, 2 * (y * z - w * x) * s);
}
