#pragma once
#include <cmath>

#include "Geometry/Point2.hpp"

namespace Geometry
{

// A transformation of three rows and four columns: the first three columns map
// directions, the fourth is the translation.
class Matrix34
{
public:
    static Matrix34 ColVectorsMatrix(const Vector3<double>& c0, const Vector3<double>& c1, const Vector3<double>& c2,
                                     const Vector3<double>& c3)
    {
        Matrix34 m;
        const Vector3<double>* columns[] = {&c0, &c1, &c2, &c3};
        for (int c = 0; c < 4; ++c)
        {
            m.m_[0][c] = columns[c]->x;
            m.m_[1][c] = columns[c]->y;
            m.m_[2][c] = columns[c]->z;
        }
        return m;
    }

    void Set(int row, int column, double value) { m_[row][column] = value; }
    double Get(int row, int column) const { return m_[row][column]; }

private:
    double m_[3][4] {};
};

// Splits a transformation made of a turn about the z axis, scales along the
// turned axes and a translation into those parts. False, outputs untouched, when
// its first two columns do not stand at right angles within eps or a scale is
// below eps.
inline bool TranDecompose(const Matrix34& tran, double eps, Vector3<double>* offset, double* angle, Vector3<double>* scale)
{
    const double ax = tran.Get(0, 0), ay = tran.Get(1, 0);
    const double bx = tran.Get(0, 1), by = tran.Get(1, 1);
    const double sx = std::hypot(ax, ay);
    const double sy = std::hypot(bx, by);
    if (sx < eps || sy < eps || std::fabs(ax * bx + ay * by) > eps * sx * sy) return false;
    if (offset != nullptr) *offset = {tran.Get(0, 3), tran.Get(1, 3), tran.Get(2, 3)};
    if (angle != nullptr) *angle = std::atan2(ay, ax);
    if (scale != nullptr) *scale = {sx, sy, tran.Get(2, 2)};
    return true;
}

}  // namespace Geometry
