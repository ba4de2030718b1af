#pragma once
#include "Geometry/Matrix34.hpp"
#include "Geometry/Point2.hpp"

// The host's transformation: a point p becomes M·p + t.
struct TRANMAT
{
    Geometry::Matrix34 matrix;
};

namespace Geometry
{

inline void TMIdentity(TRANMAT* tm)
{
    *tm = TRANMAT {};
    for (int i = 0; i < 3; ++i) tm->matrix.Set(i, i, 1.0);
}

inline void TMTranslation(TRANMAT* tm, double x, double y, double z)
{
    TMIdentity(tm);
    tm->matrix.Set(0, 3, x);
    tm->matrix.Set(1, 3, y);
    tm->matrix.Set(2, 3, z);
}

// The transformation that applies `first`, then `second`.
inline void TMComposeTransformations(const TRANMAT* first, const TRANMAT* second, TRANMAT* result)
{
    TRANMAT composed;
    for (int row = 0; row < 3; ++row)
    {
        for (int column = 0; column < 4; ++column)
        {
            double value = column == 3 ? second->matrix.Get(row, 3) : 0.0;
            for (int k = 0; k < 3; ++k) value += second->matrix.Get(row, k) * first->matrix.Get(k, column);
            composed.matrix.Set(row, column, value);
        }
    }
    *result = composed;
}

inline Vector3<double> TMGetTransformedPoint(const TRANMAT& tm, const Vector3<double>& p)
{
    const Matrix34& m = tm.matrix;
    return {m.Get(0, 0) * p.x + m.Get(0, 1) * p.y + m.Get(0, 2) * p.z + m.Get(0, 3),
            m.Get(1, 0) * p.x + m.Get(1, 1) * p.y + m.Get(1, 2) * p.z + m.Get(1, 3),
            m.Get(2, 0) * p.x + m.Get(2, 1) * p.y + m.Get(2, 2) * p.z + m.Get(2, 3)};
}

}  // namespace Geometry
