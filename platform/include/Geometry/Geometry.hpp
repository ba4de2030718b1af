#pragma once
#include <cmath>
#include <vector>

#include "Geometry/Point2.hpp"

// The host's geometry functions for planes, lines and circles, as far as the
// add-on calls them. Tests for "parallel" and "on one line" use the host's
// absolute tolerance on unit vectors and cross products.
namespace Geometry
{

using Coord = Point2<double>;
using Coord3D = Vector3<double>;

constexpr double GeometryEps = 1e-5;

// A line through two points; its direction runs from c1 to c2.
struct Sector3D
{
    Coord3D c1;
    Coord3D c2;
};

// A plan line through two points.
struct Sector
{
    Coord c1;
    Coord c2;
};

// A plane through a point with a normal.
struct Plane
{
    Coord3D point;
    Coord3D normal;

    // The plane through origin that holds both axes; without a normal when they
    // run parallel.
    void SetPlaneXY(const Coord3D& origin, const Coord3D& xAxis, const Coord3D& yAxis);
    // The foot of v on the plane, for a normal of any length; v itself when the
    // normal has none.
    Coord3D ProjectToPlane(const Coord3D& v) const;
};

namespace Detail
{

inline Coord3D Sub(const Coord3D& a, const Coord3D& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Coord3D Add(const Coord3D& a, const Coord3D& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Coord3D Scale(const Coord3D& a, double k) { return {a.x * k, a.y * k, a.z * k}; }
inline double Dot(const Coord3D& a, const Coord3D& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline Coord3D Cross(const Coord3D& a, const Coord3D& b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline double Length(const Coord3D& a) { return std::sqrt(Dot(a, a)); }

// False for a vector too short to give a direction.
inline bool Unit(const Coord3D& a, Coord3D& unit)
{
    const double length = Length(a);
    if (length < GeometryEps) return false;
    unit = Scale(a, 1.0 / length);
    return true;
}

}  // namespace Detail

inline Coord3D Plane::ProjectToPlane(const Coord3D& v) const
{
    const double length2 = Detail::Dot(normal, normal);
    if (length2 == 0.0) return v;
    return Detail::Sub(v, Detail::Scale(normal, Detail::Dot(normal, Detail::Sub(v, point)) / length2));
}

// Turns c about the origin by the angle whose sine and cosine are given.
inline void RotCoord(Coord* c, const Coord& origin, double sinAngle, double cosAngle)
{
    const double dx = c->x - origin.x;
    const double dy = c->y - origin.y;
    c->x = origin.x + dx * cosAngle - dy * sinAngle;
    c->y = origin.y + dx * sinAngle + dy * cosAngle;
}

// The centre of the circle through three points; false when they lie on one line.
inline bool Circle_3Pt(const Coord points[3], Coord* centre)
{
    const double bx = points[1].x - points[0].x;
    const double by = points[1].y - points[0].y;
    const double cx = points[2].x - points[0].x;
    const double cy = points[2].y - points[0].y;
    const double cross = bx * cy - by * cx;
    if (std::fabs(cross) < GeometryEps) return false;
    const double b2 = bx * bx + by * by;
    const double c2 = cx * cx + cy * cy;
    centre->x = points[0].x + (cy * b2 - by * c2) / (2.0 * cross);
    centre->y = points[0].y + (bx * c2 - cx * b2) / (2.0 * cross);
    return true;
}

// The line where two planes meet, running along n1 x n2 from a point of both;
// false when a normal is missing or the planes are parallel.
inline bool XPlanes(const Plane& p1, const Plane& p2, Sector3D* line)
{
    Coord3D n1, n2, direction;
    if (!Detail::Unit(p1.normal, n1) || !Detail::Unit(p2.normal, n2)) return false;
    const Coord3D cross = Detail::Cross(n1, n2);
    if (!Detail::Unit(cross, direction)) return false;
    const double h1 = Detail::Dot(n1, p1.point);
    const double h2 = Detail::Dot(n2, p2.point);
    const double n12 = Detail::Dot(n1, n2);
    const double denominator = Detail::Dot(cross, cross);
    const Coord3D point =
        Detail::Scale(Detail::Add(Detail::Scale(n1, h1 - h2 * n12), Detail::Scale(n2, h2 - h1 * n12)), 1.0 / denominator);
    line->c1 = point;
    line->c2 = Detail::Add(point, direction);
    return true;
}

// Where the line through the sector meets the plane; false when it runs parallel.
inline bool XSector3DPlane(const Sector3D& sector, const Plane& plane, Coord3D* point)
{
    Coord3D normal, direction;
    const Coord3D span = Detail::Sub(sector.c2, sector.c1);
    if (!Detail::Unit(plane.normal, normal) || !Detail::Unit(span, direction)) return false;
    if (std::fabs(Detail::Dot(normal, direction)) < GeometryEps) return false;
    const double t = Detail::Dot(normal, Detail::Sub(plane.point, sector.c1)) / Detail::Dot(normal, span);
    *point = Detail::Add(sector.c1, Detail::Scale(span, t));
    return true;
}

// The foot of a point on the line through the sector; its first point when the
// sector has no length.
inline Coord3D CoordProjSector3D(const Coord3D& point, const Sector3D& sector)
{
    const Coord3D span = Detail::Sub(sector.c2, sector.c1);
    const double length2 = Detail::Dot(span, span);
    if (length2 == 0.0) return sector.c1;
    const double t = Detail::Dot(span, Detail::Sub(point, sector.c1)) / length2;
    return Detail::Add(sector.c1, Detail::Scale(span, t));
}

inline void Plane::SetPlaneXY(const Coord3D& origin, const Coord3D& xAxis, const Coord3D& yAxis)
{
    point = origin;
    if (!Detail::Unit(Detail::Cross(xAxis, yAxis), normal)) normal = {0.0, 0.0, 0.0};
}

// True when c lies on the line through the sector; for a sector without length,
// when c lies on its first point.
inline bool IsLineCoord(const Sector& sector, const Coord& c)
{
    const double dx = sector.c2.x - sector.c1.x;
    const double dy = sector.c2.y - sector.c1.y;
    const double length = std::sqrt(dx * dx + dy * dy);
    const double px = c.x - sector.c1.x;
    const double py = c.y - sector.c1.y;
    if (length < GeometryEps) return std::sqrt(px * px + py * py) < GeometryEps;
    return std::fabs((dx * py - dy * px) / length) < GeometryEps;
}

// Plan lines, segments and arcs. A segment's ends belong to it when the boundary
// is closed; "on" means within eps of it.
enum Boundary
{
    Boundary_Opened,
    Boundary_Closed
};

// An arc of a circle, counter-clockwise from its begin angle to its end angle
// (the end angle may exceed 2π; both are measured from the x axis).
struct GenArc
{
    Coord origo;
    double r = 0.0;
    double begAng = 0.0;
    double endAng = 0.0;
};

// Where the lines through two segments meet; false when they run parallel or a
// segment has no length.
bool XLines(const Sector& s1, const Sector& s2, Coord* crossing);
// The foot of the point on the line through the segment; its first point when the
// segment has no length.
Coord CoordProjSector(const Coord& c, const Sector& s);
// Distance of the point from the segment, its ends included.
double DistCoordSectorPtr(const Coord& c, const Sector& s);
// True when the point lies on the segment, within eps; with an opened boundary the
// ends (within eps) do not count.
bool IsSectorPointIntersect(const Sector& s, const Coord& c, Boundary boundary, double eps);
// The arc that runs from begC to endC turning by arcAngle (counter-clockwise when
// positive); a clockwise arc is told from its end. False for an arc without chord
// or turn.
bool SetGenArc(const Coord& begC, const Coord& endC, double arcAngle, GenArc* arc);
// The points where the segment meets the arc, within eps, in the order they lie
// along the segment; their number (0, 1 or 2).
int XGenArcSectorEps(const GenArc& arc, const Sector& s, Coord crossings[2], double eps);

// The convex hull of the points added: each corner once, counter-clockwise, with
// the height it was added with (the first of points on one plan spot). Points on
// an edge are no corners.
class ConvexHull2DCreator
{
public:
    void AddPoint(double x, double y, double z) { points_.push_back({x, y, z}); }
    std::vector<Coord3D> CalcConvexHull() const;

private:
    std::vector<Coord3D> points_;
};

}  // namespace Geometry
