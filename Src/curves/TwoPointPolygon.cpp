#include "curves/TwoPointPolygon.hpp"

#include <cmath>
#include <optional>

#include "curves/CurveFrame.hpp"
#include "framework/Tolerance.hpp"

namespace Curves
{

namespace TwoPoint
{

bool FirstSideIsArc(const Curve3DPalette::CurveData& curve) { return !curve.arcs.IsEmpty() && curve.arcs[0].beginIndex == 0; }

bool LastSideIsArc(const Curve3DPalette::CurveData& curve)
{
    return !curve.arcs.IsEmpty() &&
           curve.arcs[curve.arcs.GetSize() - 1].endIndex == static_cast<std::int32_t>(curve.points.GetSize()) - 1;
}

Plan ChooseCrossing(const Plan& centre, const Plan& from, double sweep, const Geometry::Sector& crossings, const Plan& near)
{
    const Plan start = Minus(from, centre);
    if (std::fabs(sweep) > std::fabs(ClockwiseSweep(start, Minus(crossings.c1, centre)))) return crossings.c2;
    if (std::fabs(sweep) > std::fabs(ClockwiseSweep(start, Minus(crossings.c2, centre)))) return crossings.c1;
    return Distance(crossings.c2, near) > Distance(crossings.c1, near) ? crossings.c1 : crossings.c2;
}

Plan TurnBy(const Plan& v, int sign) { return sign > 0 ? TurnRight(v) : Plan {-v.y, v.x}; }

}  // namespace TwoPoint

namespace
{

using namespace TwoPoint;
using CurveData = Curve3DPalette::CurveData;
using arcData = Curve3DPalette::arcData;

constexpr std::int16_t StraightSideStep = Curve3DPalette::FirstStepItem;
constexpr std::int16_t ArcSideStep = Curve3DPalette::SecondStepItem;
constexpr double CrossingTolerance = GeometricTolerance;

Vector Vertex(const CurveData& curve, std::uint32_t fromEnd)
{
    return ToVector(curve.points[curve.points.GetSize() - 1 - fromEnd]);
}
void SetLastVertex(CurveData& curve, const Vector& v) { curve.points[curve.points.GetSize() - 1] = ToPoint(v); }
Vector& LastTangent(CurveData& curve) { return curve.tangents[curve.tangents.GetSize() - 1]; }
bool LongEnough(const Vector& a, const Vector& b) { return Length(Minus(b, a)) >= Tolerance; }

std::int32_t NextArcBegin(const CurveData& curve) { return static_cast<std::int32_t>(curve.points.GetSize()) - 2; }

void StartWithStraightSide(CurveData& curve, const Vector& s0, const Vector& s1)
{
    const Vector d = *Unit(Minus(s1, s0));
    curve = CurveData {};
    curve.points.Add(ToPoint(s0));
    curve.points.Add(ToPoint(s1));
    curve.tangents.Add(d);
    curve.tangents.Add(d);
}

// The line meets the last arc's circle; the arc's end moves there.
void StraightSideAfterArc(CurveData& curve, const Vector& s0, const Vector& s1)
{
    arcData& arc = curve.arcs[curve.arcs.GetSize() - 1];
    const Vector end = Vertex(curve, 0);
    const Vector centre = ToVector(arc.centre);
    const std::optional<Vector> x = Unit(Minus(centre, end));
    const std::optional<Vector> y = x ? Unit(Cross(arc.axis, *x)) : std::nullopt;
    const std::optional<CurveFrame> frame = y ? CurveFrame::Make(end, *x, *y, arc.axis) : std::nullopt;
    if (!frame) return;
    const Plan c = frame->Image(centre);
    const Plan start = frame->Image(Vertex(curve, 1));
    Geometry::Sector crossings;
    const Geometry::Circle circle {c, Geometry::LenVector(c)};
    if (Geometry::XCircleSectorEps(circle, {frame->Image(s0), frame->Image(s1)}, &crossings, CrossingTolerance) == 0) return;
    const Plan newEnd = ChooseCrossing(c, start, ClockwiseSweep(Minus(start, c), Minus(Plan {}, c)), crossings, Plan {});
    const Vector corner = frame->Point(newEnd);
    const std::optional<Vector> d = Unit(Minus(s1, corner));
    if (!d || Distance(newEnd, start) < Tolerance) return;
    const Vector arrival = Unit(frame->Direction(TurnRight(Minus(newEnd, c)))).value_or(*d);
    arc.angle = ClockwiseSweep(Minus(start, c), Minus(newEnd, c));
    SetLastVertex(curve, corner);
    curve.points.Add(ToPoint(s1));
    LastTangent(curve) = Bisector(arrival, *d);
    curve.tangents.Add(*d);
}

// Two lines meet in the curve plane.
void StraightSideAfterLine(CurveData& curve, const Curve3DPalette::PlaneData& plane, const Vector& s0, const Vector& s1)
{
    const std::optional<CurveFrame> frame = CurveFrame::Make(plane.origin, plane.xAxis, plane.yAxis, plane.normal);
    if (!frame) return;
    Plan crossing;
    if (!Geometry::XSectors({frame->Image(s0), frame->Image(s1)},
                            {frame->Image(Vertex(curve, 1)), frame->Image(Vertex(curve, 0))}, &crossing))
        return;
    const Vector corner = frame->Point(crossing);
    const std::optional<Vector> d = Unit(Minus(s1, corner));
    if (!d || !LongEnough(Vertex(curve, 1), corner)) return;
    SetLastVertex(curve, corner);
    curve.points.Add(ToPoint(s1));
    LastTangent(curve) = Bisector(Unit(LastTangent(curve)).value_or(*d), *d);
    curve.tangents.Add(*d);
}

void AddStraightSide(CurveData& curve, const Curve3DPalette::PlaneData& plane, const Vector& s0, const Vector& s1)
{
    if (curve.points.GetSize() < 2)
        StartWithStraightSide(curve, s0, s1);
    else if (LastSideIsArc(curve))
        StraightSideAfterArc(curve, s0, s1);
    else
        StraightSideAfterLine(curve, plane, s0, s1);
}

// A curved side in its own frame: origin at its first point, x towards its last,
// z the axis about which it runs clockwise.
struct ArcSide
{
    CurveFrame frame;
    Vector axis;
    Vector last;
    Plan first;  // (0, 0)
    Plan end;
    Plan centre;
    double radius;

    Vector Tangent(const Plan& at) const { return Unit(frame.Direction(TurnRight(Minus(at, centre)))).value_or(axis); }
    arcData ArcFrom(const Plan& start, std::int32_t beginIndex) const
    {
        return {beginIndex, beginIndex + 1, ClockwiseSweep(Minus(start, centre), Minus(end, centre)),
                ToPoint(frame.Point(centre)), axis};
    }
};

std::optional<ArcSide> MakeArcSide(const Vector& s0, const Vector& s1, const Vector& s2)
{
    const std::optional<Vector> a = Unit(Minus(s1, s0));
    const std::optional<Vector> b = Unit(Minus(s2, s0));
    const std::optional<Vector> n = a && b ? Unit(Cross(*b, *a)) : std::nullopt;
    const std::optional<Vector> y = n ? Unit(Cross(*n, *b)) : std::nullopt;
    const std::optional<CurveFrame> frame = y ? CurveFrame::Make(s0, *b, *y, *n) : std::nullopt;
    if (!frame) return std::nullopt;
    const Geometry::Coord images[3] = {{0.0, 0.0}, frame->Image(s1), frame->Image(s2)};
    Plan centre;
    if (!Geometry::Circle_3Pt(images, &centre)) return std::nullopt;
    return ArcSide {*frame, *n, s2, images[0], images[2], centre, Geometry::LenVector(centre)};
}

void StartWithArcSide(CurveData& curve, const ArcSide& side, const Vector& s0)
{
    curve = CurveData {};
    curve.points.Add(ToPoint(s0));
    curve.points.Add(ToPoint(side.last));
    curve.arcs.Add(side.ArcFrom(side.first, 0));
    curve.tangents.Add(side.Tangent(side.first));
    curve.tangents.Add(side.Tangent(side.end));
}

// Two circles meet; the earlier arc's sweep is measured anew in the new arc's plane.
void ArcSideAfterArc(CurveData& curve, const ArcSide& side)
{
    arcData& previous = curve.arcs[curve.arcs.GetSize() - 1];
    const Plan c = side.frame.Image(ToVector(previous.centre));
    const Plan previousStart = side.frame.Image(Vertex(curve, 1));
    const Geometry::Circle previousCircle {c, Distance(side.frame.Image(Vertex(curve, 0)), c)};
    Geometry::Sector crossings;
    if (Geometry::XCirclesEps(previousCircle, {side.centre, side.radius}, &crossings, CrossingTolerance) == 0) return;
    const Plan corner = Distance(crossings.c2, side.first) >= Distance(crossings.c1, side.first) ? crossings.c1 : crossings.c2;
    if (Distance(corner, side.end) < Tolerance || Distance(corner, previousStart) < Tolerance) return;
    const int sign = Dot(side.axis, previous.axis) > 0.0 ? 1 : -1;
    double sweep = sign * Geometry::GetVectorsRelAngle(Minus(previousStart, c), Minus(corner, c));
    if (sweep > 0.0) sweep -= TwoPi;
    previous.angle = sweep;
    const Vector arrival = Unit(side.frame.Direction(TurnBy(Minus(corner, c), sign))).value_or(side.axis);
    SetLastVertex(curve, side.frame.Point(corner));
    curve.points.Add(ToPoint(side.last));
    curve.arcs.Add(side.ArcFrom(corner, NextArcBegin(curve)));
    LastTangent(curve) = Bisector(arrival, side.Tangent(corner));
    curve.tangents.Add(side.Tangent(side.end));
}

// The previous line meets the arc's circle; the line's end moves there.
void ArcSideAfterLine(CurveData& curve, const ArcSide& side)
{
    const Plan lineStart = side.frame.Image(Vertex(curve, 1));
    Geometry::Sector crossings;
    if (Geometry::XCircleSectorEps({side.centre, side.radius}, {lineStart, side.frame.Image(Vertex(curve, 0))}, &crossings,
                                   CrossingTolerance) == 0)
        return;
    const double measured = ClockwiseSweep(Minus(side.first, side.centre), Minus(side.end, side.centre));
    const Plan start = ChooseCrossing(side.centre, side.first, measured, crossings, side.first);
    if (Distance(start, side.end) < Tolerance || Distance(start, lineStart) < Tolerance) return;
    SetLastVertex(curve, side.frame.Point(start));
    curve.points.Add(ToPoint(side.last));
    curve.arcs.Add(side.ArcFrom(start, NextArcBegin(curve)));
    LastTangent(curve) = Bisector(Unit(LastTangent(curve)).value_or(side.Tangent(start)), side.Tangent(start));
    curve.tangents.Add(side.Tangent(side.end));
}

void AddArcSide(CurveData& curve, const Curve3DPalette::PlaneData& plane, const Vector& s0, const Vector& s1, const Vector& s2)
{
    const std::optional<ArcSide> side = MakeArcSide(s0, s1, s2);
    if (!side)
    {
        AddStraightSide(curve, plane, s0, s2);
        return;
    }
    if (curve.points.GetSize() < 2)
        StartWithArcSide(curve, *side, s0);
    else if (LastSideIsArc(curve))
        ArcSideAfterArc(curve, *side);
    else
        ArcSideAfterLine(curve, *side);
}

bool NearAPendingPoint(const TypVektor<Vector>& pending, const Vector& point)
{
    for (const Vector& p : pending)
        if (!LongEnough(p, point)) return true;
    return false;
}

}  // namespace

void AddTwoPointSidePoint(Curve3DPalette::CurveData& curve, const Curve3DPalette::PlaneData& plane, std::int16_t step,
                          TypVektor<Vector>& segmentPoints, const Vector& point)
{
    if (step != StraightSideStep && step != ArcSideStep) return;
    if (NearAPendingPoint(segmentPoints, point)) return;
    segmentPoints.Add(point);
    if (step == StraightSideStep && segmentPoints.GetSize() >= 2)
    {
        AddStraightSide(curve, plane, segmentPoints[0], segmentPoints[1]);
        segmentPoints.Clear();
    }
    else if (step == ArcSideStep && segmentPoints.GetSize() >= 3)
    {
        AddArcSide(curve, plane, segmentPoints[0], segmentPoints[1], segmentPoints[2]);
        segmentPoints.Clear();
    }
}

}  // namespace Curves
