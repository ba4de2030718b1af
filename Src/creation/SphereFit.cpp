#include "creation/SphereFit.hpp"

#include <algorithm>
#include <cmath>

namespace
{

// The determinant of the rows (x, y, z, 1) is six times the volume of the points'
// tetrahedron. Measured points of one plane miss an exact 0 by their rounding, and
// a sphere through them would lie kilometres away: a volume below this share of
// the cube of the points' spread counts as flat. The flattest real vault keeps
// several orders of magnitude above it.
constexpr double FlatVolumeShare = 1e-6;

}  // namespace

double DeterminantByCofactors(const double matrix[4][4], std::int16_t n)
{
    if (n <= 2) return matrix[0][0] * matrix[1][1] - matrix[1][0] * matrix[0][1];
    double determinant = 0.0;
    for (std::int16_t i = 0; i < n; ++i)
    {
        double minor[4][4] {};
        for (std::int16_t row = 1; row < n; ++row)
        {
            std::int16_t column = 0;
            for (std::int16_t j = 0; j < n; ++j)
                if (j != i) minor[row - 1][column++] = matrix[row][j];
        }
        determinant += std::pow(-1.0, i + 2) * matrix[0][i] * DeterminantByCofactors(minor, static_cast<std::int16_t>(n - 1));
    }
    return determinant;
}

// Far from the origin the squared coordinates swamp the determinants' digits, so
// the fit works on the points less their mean. Points (nearly) in one plane have
// no sphere.
void SphereThroughFourPoints(TypVektor<API_Coord3D> points, double& radius, API_Coord3D& centre)
{
    if (points.GetSize() != 4)
    {
        radius = 0.0;
        return;
    }
    API_Coord3D mean {};
    for (const API_Coord3D& p : points) mean = {mean.x + p.x / 4.0, mean.y + p.y / 4.0, mean.z + p.z / 4.0};
    double x[4], y[4], z[4], s[4];
    double spread = 0.0;
    for (std::uint32_t i = 0; i < 4; ++i)
    {
        x[i] = points[i].x - mean.x;
        y[i] = points[i].y - mean.y;
        z[i] = points[i].z - mean.z;
        s[i] = x[i] * x[i] + y[i] * y[i] + z[i] * z[i];
        spread = std::max(spread, std::sqrt(s[i]));
    }
    const auto determinant = [](const double* a, const double* b, const double* c, const double* d) {
        double m[4][4];
        for (int i = 0; i < 4; ++i)
        {
            m[i][0] = a[i];
            m[i][1] = b[i];
            m[i][2] = c[i];
            m[i][3] = d != nullptr ? d[i] : 1.0;
        }
        return DeterminantByCofactors(m, 4);
    };
    const double m11 = determinant(x, y, z, nullptr);
    if (!(std::fabs(m11) / 6.0 > FlatVolumeShare * spread * spread * spread))
    {
        radius = 0.0;
        return;
    }
    const double m12 = determinant(s, y, z, nullptr);
    const double m13 = determinant(s, x, z, nullptr);
    const double m14 = determinant(s, x, y, nullptr);
    const double m15 = determinant(s, x, y, z);
    const double cx = 0.5 * m12 / m11;
    const double cy = -0.5 * m13 / m11;
    const double cz = 0.5 * m14 / m11;
    radius = std::sqrt(cx * cx + cy * cy + cz * cz - m15 / m11);
    centre = {cx + mean.x, cy + mean.y, cz + mean.z};
}
