#include <optional>

#include "curves/CurveFrame.hpp"
#include "curves/EndPointPolygon.hpp"
#include "curves/TwoPointPolygon.hpp"
#include "framework/Tolerance.hpp"

// Closing a polygon measured side by side: its first vertex is the first measured
// point of the first side and its last vertex the last point of the last side;
// both move to where the last side meets the first.

namespace Curves
{

namespace
{

using namespace TwoPoint;
using CurveData = Curve3DPalette::CurveData;
using arcData = Curve3DPalette::arcData;

constexpr double CrossingTolerance = GeometricTolerance;

struct Ends
{
    Vector q0, q1, q2, q3;  // the first side's two vertices, the last side's two
};

Ends EndsOf(const CurveData& curve)
{
    const std::uint32_t n = curve.points.GetSize();
    return {ToVector(curve.points[0]), ToVector(curve.points[1]), ToVector(curve.points[n - 2]), ToVector(curve.points[n - 1])};
}

void MoveEndsTo(CurveData& curve, const Vector& corner, const Vector& tangent)
{
    curve.points[0] = curve.points[curve.points.GetSize() - 1] = ToPoint(corner);
    curve.tangents[0] = curve.tangents[curve.tangents.GetSize() - 1] = tangent;
}

// The frame of an end arc: origin at its measured end vertex, x towards the centre.
std::optional<CurveFrame> ArcFrame(const arcData& arc, const Vector& origin)
{
    const std::optional<Vector> x = Unit(Minus(ToVector(arc.centre), origin));
    const std::optional<Vector> y = x ? Unit(Cross(arc.axis, *x)) : std::nullopt;
    return y ? CurveFrame::Make(origin, *x, *y, arc.axis) : std::nullopt;
}

bool CloseStraightEnds(CurveData& curve, const Curve3DPalette::PlaneData& plane, const Ends& e)
{
    const std::optional<CurveFrame> frame = CurveFrame::Make(plane.origin, plane.xAxis, plane.yAxis, plane.normal);
    Plan crossing;
    if (!frame ||
        !Geometry::XSectors({frame->Image(e.q0), frame->Image(e.q1)}, {frame->Image(e.q2), frame->Image(e.q3)}, &crossing))
        return false;
    const Vector corner = frame->Point(crossing);
    if (Length(Minus(corner, e.q1)) < Tolerance || Length(Minus(corner, e.q2)) < Tolerance) return false;
    MoveEndsTo(curve, corner, Bisector(curve.tangents[0], curve.tangents[curve.tangents.GetSize() - 1]));
    return true;
}

// The last side's line meets the first arc's circle; the arc grows back to it.
bool CloseFirstArc(CurveData& curve, const Ends& e)
{
    arcData& arc = curve.arcs[0];
    const std::optional<CurveFrame> frame = ArcFrame(arc, e.q0);
    if (!frame) return false;
    const Plan c = frame->Image(ToVector(arc.centre));
    const Plan first {};
    const Plan second = frame->Image(e.q1);
    Geometry::Sector crossings;
    if (Geometry::XCircleSectorEps({c, Distance(first, c)}, {frame->Image(e.q2), frame->Image(e.q3)}, &crossings,
                                   CrossingTolerance) == 0)
        return false;
    const Plan start = ChooseCrossing(c, first, ClockwiseSweep(Minus(first, c), Minus(second, c)), crossings, first);
    const Vector corner = frame->Point(start);
    if (Distance(start, second) < Tolerance || Length(Minus(corner, e.q2)) < Tolerance) return false;
    arc.angle = ClockwiseSweep(Minus(start, c), Minus(second, c));
    const Vector leaving = Unit(frame->Direction(TurnRight(Minus(start, c)))).value_or(curve.tangents[0]);
    MoveEndsTo(curve, corner, Bisector(leaving, curve.tangents[curve.tangents.GetSize() - 1]));
    return true;
}

// The first side's line meets the last arc's circle; the arc grows on to it.
bool CloseLastArc(CurveData& curve, const Ends& e)
{
    arcData& arc = curve.arcs[curve.arcs.GetSize() - 1];
    const std::optional<CurveFrame> frame = ArcFrame(arc, e.q2);
    if (!frame) return false;
    const Plan c = frame->Image(ToVector(arc.centre));
    const Plan start {};
    const Plan end = frame->Image(e.q3);
    Geometry::Sector crossings;
    if (Geometry::XCircleSectorEps({c, Distance(start, c)}, {frame->Image(e.q0), frame->Image(e.q1)}, &crossings,
                                   CrossingTolerance) == 0)
        return false;
    const Plan newEnd = ChooseCrossing(c, start, ClockwiseSweep(Minus(start, c), Minus(end, c)), crossings, end);
    const Vector corner = frame->Point(newEnd);
    if (Distance(newEnd, start) < Tolerance || Length(Minus(corner, e.q1)) < Tolerance) return false;
    arc.angle = ClockwiseSweep(Minus(start, c), Minus(newEnd, c));
    const Vector arriving =
        Unit(frame->Direction(TurnRight(Minus(newEnd, c)))).value_or(curve.tangents[curve.tangents.GetSize() - 1]);
    MoveEndsTo(curve, corner, Bisector(curve.tangents[0], arriving));
    return true;
}

// The two end arcs' circles meet; the crossing nearer to the first point is the corner.
bool CloseBothArcs(CurveData& curve, const Ends& e)
{
    arcData& first = curve.arcs[0];
    arcData& last = curve.arcs[curve.arcs.GetSize() - 1];
    const std::optional<CurveFrame> frame = ArcFrame(first, e.q0);
    if (!frame) return false;
    const Plan c0 = frame->Image(ToVector(first.centre));
    const Plan c1 = frame->Image(ToVector(last.centre));
    const Plan q0 {};
    const Plan q1 = frame->Image(e.q1);
    const Plan q2 = frame->Image(e.q2);
    Geometry::Sector crossings;
    if (Geometry::XCirclesEps({c1, Distance(q2, c1)}, {c0, Distance(q0, c0)}, &crossings, CrossingTolerance) == 0) return false;
    const Plan x = Distance(crossings.c1, q0) <= Distance(crossings.c2, q0) ? crossings.c1 : crossings.c2;
    if (Distance(x, q1) < Tolerance || Distance(x, q2) < Tolerance) return false;
    const int sign = Dot(last.axis, first.axis) > 0.0 ? 1 : -1;
    first.angle = ClockwiseSweep(Minus(x, c0), Minus(q1, c0));
    double sweep = sign * Geometry::GetVectorsRelAngle(Minus(q2, c1), Minus(x, c1));
    if (sweep > 0.0) sweep -= TwoPi;
    last.angle = sweep;
    const Vector arriving = Unit(frame->Direction(TurnBy(Minus(x, c1), sign))).value_or(curve.tangents[0]);
    const Vector leaving = Unit(frame->Direction(TurnRight(Minus(x, c0)))).value_or(curve.tangents[0]);
    MoveEndsTo(curve, frame->Point(x), Bisector(leaving, arriving));
    return true;
}

bool CloseAtCorner(CurveData& curve, const Curve3DPalette::PlaneData& plane)
{
    const Ends ends = EndsOf(curve);
    const bool firstArc = FirstSideIsArc(curve);
    const bool lastArc = LastSideIsArc(curve);
    if (firstArc && lastArc) return CloseBothArcs(curve, ends);
    if (firstArc) return CloseFirstArc(curve, ends);
    if (lastArc) return CloseLastArc(curve, ends);
    return CloseStraightEnds(curve, plane, ends);
}

}  // namespace

void CloseTwoPointCurve(Curve3DPalette::CurveData& curve, const Curve3DPalette::PlaneData& plane)
{
    if (curve.points.GetSize() < 2 || curve.tangents.GetSize() != curve.points.GetSize()) return;
    if (!CloseAtCorner(curve, plane)) AddStraightSegment(curve, ToVector(curve.points[0]));
}

}  // namespace Curves
