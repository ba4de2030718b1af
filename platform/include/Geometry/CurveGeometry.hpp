#pragma once
#include <cstdint>

#include "Geometry/Geometry.hpp"

// The host's geometry for measured curves: planes by equation, frames of three
// axes, 2D angles and turns, lines and circles that meet, and interpolating
// splines. Degenerate input gives no result, and each function says how it tells
// so; nothing here returns a number that is not finite for finite input.
//
// Tolerance: GeometryEps (absolute) unless a function takes its own. A vector is
// "without direction" when it is shorter than GeometryEps; two directions are
// "parallel" when the cross product of their unit vectors is shorter than it.
namespace Geometry
{

// The plane a x + b y + c z + d = 0; (a, b, c) is its unit normal.
struct PlaneEq
{
    double a = 0.0;
    double b = 0.0;
    double c = 0.0;
    double d = 0.0;
};

// The plane through the point with that normal. Missing normal (without
// direction): false, and the plane stays as it was.
bool SetUpGenPlane(PlaneEq* plane, const Coord3D& point, const Coord3D& normal);

// The foot of c on the plane (orthogonal projection). A plane whose normal is
// all zero (never set up) leaves c where it is.
Coord3D ProjCoord3DToPlane(const PlaneEq& plane, const Coord3D& c);

double LenVector(const Coord& v);

// The vector of length 1 along v. Without direction: false, unit untouched.
bool UnitVector3D(const Coord3D& v, Coord3D* unit);

// Turns c about the origin by the angle of that sine and cosine; a positive
// angle turns counter-clockwise.
void RotCoord0(Coord* c, double sinAngle, double cosAngle);

// The signed angle from `from` to `to`, counter-clockwise positive, in (-π, π].
// When either vector has no length the angle is 0.
double GetVectorsRelAngle(const Coord& from, const Coord& to);

// Turns v about the axis through the origin by the angle, right-hand rule
// (counter-clockwise seen from the axis tip). Axis without direction: false, v
// untouched.
bool TMRotateVect(Coord3D* v, const Coord3D& axis, double angle);

// A transformation: three rows of four, the linear part in the first three
// columns and the translation in the fourth.
struct TRANMAT
{
    double tmx[12] {};
};

// The transformation whose columns are the three axes, without translation: it
// takes frame coordinates (a, b, c) to a·x + b·y + c·z.
void TMBSet(TRANMAT* tm, const Coord3D& xAxis, const Coord3D& yAxis, const Coord3D& zAxis);

// The inverse of the linear part (the translation of the result is zero).
// Singular (determinant smaller than GeometryEps in size, e.g. axes in one
// plane): false, inverse untouched.
bool InvMat(TRANMAT* inverse, const TRANMAT& tm);

// The linear part applied to v; the translation is left out.
Coord3D TMBVect(const TRANMAT& tm, const Coord3D& v);

struct Circle
{
    Coord o;
    double r = 0.0;
};

// The centre of the circle through p1 and p2 that touches the line through the
// sector. A point on the line is where the circle touches it, so that circle is
// the only one; otherwise there are two, and the one touching the line nearer to
// `reference` is taken (one only when p1-p2 runs parallel to the line).
// No circle: false, centre untouched: the sector without length, p1 equal to p2,
// both points on the line, or the points on opposite sides of it.
bool Circle_2Pt1Lin(const Coord& p1, const Coord& p2, const Sector& line, const Coord& reference, Coord* centre);

// Where the lines through the two sectors meet; the lines are unbounded.
// Parallel lines or a sector without length: false, point untouched.
bool XSectors(const Sector& s1, const Sector& s2, Coord* point);

// Where the line through the sector meets the circle, as the ends of result in
// the order of the sector's direction (c1 comes first going from the sector's
// c1 to its c2). Returns the count: 2; 1 when the line touches the circle within
// eps (both ends then the touching point); 0 when the line misses the circle by
// more than eps or the sector has no length (result untouched).
std::int32_t XCircleSectorEps(const Circle& circle, const Sector& sector, Sector* result, double eps);

// Where the two circles meet, as the ends of result: c1 lies to the left of the
// line from the first centre to the second, c2 to its right. Returns the count:
// 2; 1 when they touch within eps (both ends the touching point); 0 when they
// miss each other by more than eps or share their centre (result untouched).
std::int32_t XCirclesEps(const Circle& first, const Circle& second, Sector* result, double eps);

// The spline's tangent at one control point: its direction and its length before
// and after the point (the same on both sides, the spline being smooth there).
struct DirType
{
    double lenPrev = 0.0;
    double lenNext = 0.0;
    double dirAng = 0.0;
};
static_assert(sizeof(DirType) == 24, "a spline direction record is 24 bytes");

// The interpolating cubic spline through the control points, control point i at
// parameter t = i: natural (no bending at either end) when open; periodic when
// closed, with one more span from the last point back to the first. Fills one
// direction per point. Fewer than two points or a point that is no finite
// number: false, dirs untouched. A closed spline of two points runs straight
// there and back.
bool CalcSpline(const Coord* points, DirType* dirs, std::int32_t count, bool closed);

// The point of the spline at t, from 0 (the first control point) to count - 1
// (the last); t beyond count - 1 runs on along the closing span and reaches the
// first point again at count, which suits a closed spline. t is held to [0, count].
Coord GetSplineVal(std::int32_t count, const Coord* points, const DirType* dirs, double t);

}  // namespace Geometry
