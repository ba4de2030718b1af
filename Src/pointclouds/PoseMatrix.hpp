#pragma once
#include "API/Types.hpp"
#include "Geometry/Transformation.hpp"

// A scan's pose as twelve numbers; a local copy in a loop cannot be changed by its
// stores. Each product is added in the same order everywhere, so that every loop
// gives every point the same bits.
class PoseMatrix
{
public:
    explicit PoseMatrix(const TRANMAT& pose)
    {
        for (int row = 0; row < 3; ++row)
            for (int column = 0; column < 4; ++column) m_[row][column] = pose.matrix.Get(row, column);
    }

    double At(int row, int column) const { return m_[row][column]; }

    double Row(int row, double x, double y, double z) const
    {
        return m_[row][0] * x + m_[row][1] * y + m_[row][2] * z + m_[row][3];
    }

    API_Coord3D Transformed(double x, double y, double z) const { return {Row(0, x, y, z), Row(1, x, y, z), Row(2, x, y, z)}; }

private:
    double m_[3][4];
};
