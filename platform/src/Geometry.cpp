#include "Geometry/Geometry.hpp"

#include <algorithm>
#include <cmath>

namespace Geometry
{

namespace
{

constexpr double FullTurn = 6.283185307179586;

Coord Sub(const Coord& a, const Coord& b) { return {a.x - b.x, a.y - b.y}; }
Coord Add(const Coord& a, const Coord& b) { return {a.x + b.x, a.y + b.y}; }
Coord Scale(const Coord& a, double k) { return {a.x * k, a.y * k}; }
double Dot(const Coord& a, const Coord& b) { return a.x * b.x + a.y * b.y; }
double Cross(const Coord& a, const Coord& b) { return a.x * b.y - a.y * b.x; }
double Length(const Coord& a) { return std::hypot(a.x, a.y); }

// Angle of the direction in [0, 2π).
double DirectionAngle(const Coord& v)
{
    const double angle = std::atan2(v.y, v.x);
    return angle < 0.0 ? angle + FullTurn : angle;
}

double TurnFrom(double from, double to)
{
    double turn = std::fmod(to - from, FullTurn);
    return turn < 0.0 ? turn + FullTurn : turn;
}

// Whether the point's direction from the centre lies within the arc's turn; eps
// is measured along the circle.
bool WithinArcTurn(const GenArc& arc, const Coord& point, double eps)
{
    const double slack = arc.r > 0.0 ? eps / arc.r : 0.0;
    const double turn = TurnFrom(arc.begAng, DirectionAngle(Sub(point, arc.origo)));
    return turn <= arc.endAng - arc.begAng + slack || turn >= FullTurn - slack;
}

}  // namespace

bool XLines(const Sector& s1, const Sector& s2, Coord* crossing)
{
    const Coord d1 = Sub(s1.c2, s1.c1);
    const Coord d2 = Sub(s2.c2, s2.c1);
    const double l1 = Length(d1);
    const double l2 = Length(d2);
    if (l1 < GeometryEps || l2 < GeometryEps) return false;
    const double cross = Cross(d1, d2);
    if (std::fabs(cross / (l1 * l2)) < GeometryEps) return false;
    const double t = Cross(Sub(s2.c1, s1.c1), d2) / cross;
    if (crossing != nullptr) *crossing = Add(s1.c1, Scale(d1, t));
    return true;
}

Coord CoordProjSector(const Coord& c, const Sector& s)
{
    const Coord span = Sub(s.c2, s.c1);
    const double length2 = Dot(span, span);
    if (length2 == 0.0) return s.c1;
    return Add(s.c1, Scale(span, Dot(Sub(c, s.c1), span) / length2));
}

double DistCoordSectorPtr(const Coord& c, const Sector& s)
{
    const Coord span = Sub(s.c2, s.c1);
    const double length2 = Dot(span, span);
    const double t = length2 == 0.0 ? 0.0 : std::clamp(Dot(Sub(c, s.c1), span) / length2, 0.0, 1.0);
    return Length(Sub(c, Add(s.c1, Scale(span, t))));
}

bool IsSectorPointIntersect(const Sector& s, const Coord& c, Boundary boundary, double eps)
{
    if (!(DistCoordSectorPtr(c, s) < eps)) return false;
    if (boundary == Boundary_Closed) return true;
    return !(Length(Sub(c, s.c1)) < eps) && !(Length(Sub(c, s.c2)) < eps);
}

bool SetGenArc(const Coord& begC, const Coord& endC, double arcAngle, GenArc* arc)
{
    const Coord chord = Sub(endC, begC);
    const double length = Length(chord);
    if (length < GeometryEps || std::fabs(arcAngle) < GeometryEps || !std::isfinite(arcAngle)) return false;
    const double half = arcAngle / 2.0;
    const Coord left {-chord.y / length, chord.x / length};
    const Coord centre = Add(Scale(Add(begC, endC), 0.5), Scale(left, length / 2.0 / std::tan(half)));
    if (arc == nullptr) return true;
    arc->origo = centre;
    arc->r = length / 2.0 / std::fabs(std::sin(half));
    arc->begAng = DirectionAngle(Sub(arcAngle > 0.0 ? begC : endC, centre));
    arc->endAng = arc->begAng + std::fabs(arcAngle);
    return true;
}

int XGenArcSectorEps(const GenArc& arc, const Sector& s, Coord crossings[2], double eps)
{
    const Coord d = Sub(s.c2, s.c1);
    const double a = Dot(d, d);
    if (a < GeometryEps * GeometryEps || arc.r <= 0.0) return 0;
    const Coord f = Sub(s.c1, arc.origo);
    const double b = 2.0 * Dot(d, f);
    const double c = Dot(f, f) - arc.r * arc.r;
    const double discriminant = b * b - 4.0 * a * c;
    double candidates[2];
    int count = 0;
    if (discriminant < 0.0)
    {
        const double touch = -b / (2.0 * a);
        const Coord closest = Add(s.c1, Scale(d, touch));
        if (std::fabs(Length(Sub(closest, arc.origo)) - arc.r) < eps) candidates[count++] = touch;
    }
    else
    {
        const double root = std::sqrt(discriminant);
        candidates[count++] = (-b - root) / (2.0 * a);
        candidates[count++] = (-b + root) / (2.0 * a);
    }
    const double slack = eps / std::sqrt(a);
    int found = 0;
    for (int i = 0; i < count; ++i)
    {
        const double t = candidates[i];
        if (t < -slack || t > 1.0 + slack) continue;
        const Coord point = Add(s.c1, Scale(d, t));
        if (!WithinArcTurn(arc, point, eps)) continue;
        if (crossings != nullptr) crossings[found] = point;
        ++found;
    }
    return found;
}

}  // namespace Geometry

namespace Geometry
{

namespace
{

double Turn(const Coord3D& o, const Coord3D& a, const Coord3D& b)
{
    return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
}

}  // namespace

// Andrew's monotone chain over the points sorted by x, then y.
std::vector<Coord3D> ConvexHull2DCreator::CalcConvexHull() const
{
    std::vector<Coord3D> sorted = points_;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const Coord3D& a, const Coord3D& b) { return a.x < b.x || (a.x == b.x && a.y < b.y); });
    sorted.erase(
        std::unique(sorted.begin(), sorted.end(), [](const Coord3D& a, const Coord3D& b) { return a.x == b.x && a.y == b.y; }),
        sorted.end());
    if (sorted.size() < 3) return sorted;
    std::vector<Coord3D> hull(2 * sorted.size());
    std::size_t k = 0;
    for (const Coord3D& p : sorted)
    {
        while (k >= 2 && Turn(hull[k - 2], hull[k - 1], p) <= 0.0) --k;
        hull[k++] = p;
    }
    const std::size_t lower = k + 1;
    for (std::size_t i = sorted.size() - 1; i-- > 0;)
    {
        while (k >= lower && Turn(hull[k - 2], hull[k - 1], sorted[i]) <= 0.0) --k;
        hull[k++] = sorted[i];
    }
    hull.resize(k - 1);
    return hull;
}

}  // namespace Geometry
