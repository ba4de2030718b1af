#include <algorithm>
#include <cmath>
#include <vector>

#include "Geometry/CurveGeometry.hpp"

// A cubic Hermite span between control points i and i + 1, parameter u = t - i,
// with the tangent D_i at every point. Continuous second derivatives give
//   D_{i-1} + 4 D_i + D_{i+1} = 3 (P_{i+1} - P_{i-1})
// at every inner point; a natural end adds 2 D_0 + D_1 = 3 (P_1 - P_0) and its
// mirror, a closed spline wraps the indices round.

namespace Geometry
{

namespace
{

using Column = std::vector<double>;

// Thomas' algorithm for a tridiagonal system with the sub- and super-diagonal 1.
Column SolveTridiagonal(Column diagonal, Column right)
{
    const std::size_t n = diagonal.size();
    for (std::size_t i = 1; i < n; ++i)
    {
        const double factor = 1.0 / diagonal[i - 1];
        diagonal[i] -= factor;
        right[i] -= factor * right[i - 1];
    }
    Column x(n);
    x[n - 1] = right[n - 1] / diagonal[n - 1];
    for (std::size_t i = n - 1; i-- > 0;) x[i] = (right[i] - x[i + 1]) / diagonal[i];
    return x;
}

// Diagonal 4, neighbours 1 and the two corners 1 (at least three unknowns):
// Sherman and Morrison's correction of a tridiagonal solve.
Column SolveCyclic(const Column& right)
{
    const std::size_t n = right.size();
    constexpr double gamma = -4.0;
    Column diagonal(n, 4.0);
    diagonal[0] = 4.0 - gamma;
    diagonal[n - 1] = 4.0 - 1.0 / gamma;
    const Column y = SolveTridiagonal(diagonal, right);
    Column u(n, 0.0);
    u[0] = gamma;
    u[n - 1] = 1.0;
    const Column z = SolveTridiagonal(diagonal, u);
    const double factor = (y[0] + y[n - 1] / gamma) / (1.0 + z[0] + z[n - 1] / gamma);
    Column x(n);
    for (std::size_t i = 0; i < n; ++i) x[i] = y[i] - factor * z[i];
    return x;
}

Column Tangents(const Column& p, bool closed)
{
    const std::size_t n = p.size();
    Column right(n);
    if (closed)
    {
        if (n == 2) return Column(2, 0.0);
        for (std::size_t i = 0; i < n; ++i) right[i] = 3.0 * (p[(i + 1) % n] - p[(i + n - 1) % n]);
        return SolveCyclic(right);
    }
    Column diagonal(n, 4.0);
    diagonal[0] = diagonal[n - 1] = 2.0;
    right[0] = 3.0 * (p[1] - p[0]);
    right[n - 1] = 3.0 * (p[n - 1] - p[n - 2]);
    for (std::size_t i = 1; i + 1 < n; ++i) right[i] = 3.0 * (p[i + 1] - p[i - 1]);
    return SolveTridiagonal(diagonal, right);
}

}  // namespace

bool CalcSpline(const Coord* points, DirType* dirs, std::int32_t count, bool closed)
{
    if (points == nullptr || dirs == nullptr || count < 2) return false;
    const auto n = static_cast<std::size_t>(count);
    Column xs(n), ys(n);
    for (std::size_t i = 0; i < n; ++i)
    {
        if (!std::isfinite(points[i].x) || !std::isfinite(points[i].y)) return false;
        xs[i] = points[i].x;
        ys[i] = points[i].y;
    }
    const Column dx = Tangents(xs, closed);
    const Column dy = Tangents(ys, closed);
    for (std::size_t i = 0; i < n; ++i)
    {
        const double length = std::hypot(dx[i], dy[i]);
        dirs[i].lenPrev = dirs[i].lenNext = length;
        dirs[i].dirAng = length == 0.0 ? 0.0 : std::atan2(dy[i], dx[i]);
    }
    return true;
}

Coord GetSplineVal(std::int32_t count, const Coord* points, const DirType* dirs, double t)
{
    if (count < 1 || points == nullptr || dirs == nullptr) return {};
    if (count == 1 || !(t > 0.0)) return points[0];
    t = std::min(t, static_cast<double>(count));
    const auto span = std::min(static_cast<std::int32_t>(t), count - 1);
    const double u = t - span;
    const std::int32_t next = (span + 1) % count;
    const DirType& d0 = dirs[span];
    const DirType& d1 = dirs[next];
    const double h00 = (2.0 * u - 3.0) * u * u + 1.0;
    const double h10 = ((u - 2.0) * u + 1.0) * u;
    const double h01 = (3.0 - 2.0 * u) * u * u;
    const double h11 = (u - 1.0) * u * u;
    const Coord& p0 = points[span];
    const Coord& p1 = points[next];
    return {h00 * p0.x + h10 * d0.lenNext * std::cos(d0.dirAng) + h01 * p1.x + h11 * d1.lenPrev * std::cos(d1.dirAng),
            h00 * p0.y + h10 * d0.lenNext * std::sin(d0.dirAng) + h01 * p1.y + h11 * d1.lenPrev * std::sin(d1.dirAng)};
}

}  // namespace Geometry
