#include <algorithm>
#include <cmath>

#include "Geometry/CurveGeometry.hpp"

namespace Geometry
{

namespace
{

Coord Minus(const Coord& a, const Coord& b) { return {a.x - b.x, a.y - b.y}; }
Coord Plus(const Coord& a, const Coord& b) { return {a.x + b.x, a.y + b.y}; }
Coord Times(const Coord& a, double k) { return {a.x * k, a.y * k}; }
double Dot(const Coord& a, const Coord& b) { return a.x * b.x + a.y * b.y; }
double Cross(const Coord& a, const Coord& b) { return a.x * b.y - a.y * b.x; }

// A line as a point and a unit direction; false for a sector without length.
bool LineOf(const Sector& sector, Coord& origin, Coord& direction)
{
    const Coord span = Minus(sector.c2, sector.c1);
    const double length = LenVector(span);
    if (length < GeometryEps) return false;
    origin = sector.c1;
    direction = Times(span, 1.0 / length);
    return true;
}

}  // namespace

// In the line's own frame (s along it, h across it) a circle touching the line at
// (t, 0) with its centre at (t, r) passes through (s, h) when (s - t)² + h² = 2hr.
// Equal r for both points gives h2 (s1 - t)² + h2 h1² = h1 (s2 - t)² + h1 h2².
bool Circle_2Pt1Lin(const Coord& p1, const Coord& p2, const Sector& line, const Coord& reference, Coord* centre)
{
    Coord origin, along;
    if (!LineOf(line, origin, along)) return false;
    if (LenVector(Minus(p2, p1)) < GeometryEps) return false;
    const Coord across {-along.y, along.x};
    const auto frame = [&](const Coord& p) { return Coord {Dot(Minus(p, origin), along), Dot(Minus(p, origin), across)}; };
    const Coord a = frame(p1), b = frame(p2);
    const bool aOnLine = std::fabs(a.y) < GeometryEps, bOnLine = std::fabs(b.y) < GeometryEps;
    if ((aOnLine && bOnLine) || (!aOnLine && !bOnLine && a.y * b.y < 0.0)) return false;

    double touch = 0.0;
    if (aOnLine || bOnLine)
    {
        touch = aOnLine ? a.x : b.x;
    }
    else if (std::fabs(a.y - b.y) < GeometryEps)
    {
        touch = (a.x + b.x) / 2.0;
    }
    else
    {
        const double qa = b.y - a.y;
        const double qb = -2.0 * (b.y * a.x - a.y * b.x);
        const double qc = b.y * (a.x * a.x + a.y * a.y) - a.y * (b.x * b.x + b.y * b.y);
        const double root = std::sqrt(std::max(0.0, qb * qb - 4.0 * qa * qc));
        const double t1 = (-qb + root) / (2.0 * qa);
        const double t2 = (-qb - root) / (2.0 * qa);
        const double wanted = frame(reference).x;
        touch = std::fabs(t1 - wanted) <= std::fabs(t2 - wanted) ? t1 : t2;
    }
    const Coord off = aOnLine ? b : a;
    const double radius = ((off.x - touch) * (off.x - touch) + off.y * off.y) / (2.0 * off.y);
    *centre = Plus(Plus(origin, Times(along, touch)), Times(across, radius));
    return true;
}

bool XSectors(const Sector& s1, const Sector& s2, Coord* point)
{
    Coord o1, d1, o2, d2;
    if (!LineOf(s1, o1, d1) || !LineOf(s2, o2, d2)) return false;
    const double cross = Cross(d1, d2);
    if (std::fabs(cross) < GeometryEps) return false;
    *point = Plus(o1, Times(d1, Cross(Minus(o2, o1), d2) / cross));
    return true;
}

std::int32_t XCircleSectorEps(const Circle& circle, const Sector& sector, Sector* result, double eps)
{
    Coord origin, along;
    if (!LineOf(sector, origin, along)) return 0;
    const Coord foot = CoordProjSector(circle.o, sector);
    const double distance = LenVector(Minus(foot, circle.o));
    if (distance > circle.r + eps) return 0;
    if (distance >= circle.r - eps)
    {
        result->c1 = result->c2 = foot;
        return 1;
    }
    const double half = std::sqrt(circle.r * circle.r - distance * distance);
    result->c1 = Minus(foot, Times(along, half));
    result->c2 = Plus(foot, Times(along, half));
    return 2;
}

std::int32_t XCirclesEps(const Circle& first, const Circle& second, Sector* result, double eps)
{
    const Coord between = Minus(second.o, first.o);
    const double d = LenVector(between);
    if (d < eps) return 0;
    if (d > first.r + second.r + eps || d < std::fabs(first.r - second.r) - eps) return 0;
    const Coord along = Times(between, 1.0 / d);
    const Coord left {-along.y, along.x};
    // Distance of the common chord from the first centre, and its half length.
    const double a = (first.r * first.r - second.r * second.r + d * d) / (2.0 * d);
    const double h2 = first.r * first.r - a * a;
    const Coord middle = Plus(first.o, Times(along, a));
    if (h2 <= eps * eps || d > first.r + second.r - eps || d < std::fabs(first.r - second.r) + eps)
    {
        result->c1 = result->c2 = middle;
        return 1;
    }
    const double h = std::sqrt(h2);
    result->c1 = Plus(middle, Times(left, h));
    result->c2 = Minus(middle, Times(left, h));
    return 2;
}

}  // namespace Geometry
