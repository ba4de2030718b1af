#include "curves/EndPointPolygon.hpp"

#include "curves/CurveFrame.hpp"

namespace Curves
{

namespace
{

constexpr std::int16_t StraightStep = Curve3DPalette::FirstStepItem;
constexpr std::int16_t TangentialArcStep = Curve3DPalette::SecondStepItem;
constexpr std::int16_t TwoPointArcStep = Curve3DPalette::ThirdStepItem;

Vector LastVertex(const Curve3DPalette::CurveData& curve) { return ToVector(curve.points[curve.points.GetSize() - 1]); }

bool StraightAhead(const Vector& chord, const Vector& tangent)
{
    return std::fabs(chord.x - tangent.x) < Tolerance && std::fabs(chord.y - tangent.y) < Tolerance &&
           std::fabs(chord.z - tangent.z) < Tolerance;
}

// A half-measured arc that was dropped leaves the count at the second point with
// no first one: this point is then the first one.
bool CompleteTwoPointArc(Curve3DPalette::CurveData& curve, TypVektor<Vector>& segmentPoints, const Vector& point)
{
    if (segmentPoints.GetSize() == 2) segmentPoints.Insert(0, LastVertex(curve));
    if (segmentPoints.GetSize() != 3) return false;
    Vector startTangent, endTangent, axis;
    API_Coord3D centre;
    double angle = 0.0;
    if (Curve3DPalette::CalcArcThroughThreePoints(segmentPoints[0], segmentPoints[1], segmentPoints[2], startTangent, endTangent,
                                                  centre, axis, angle))
    {
        const auto last = static_cast<std::int32_t>(curve.points.GetSize()) - 1;
        curve.arcs.Add({last, last + 1, angle, centre, axis});
        curve.points.Add(ToPoint(point));
        if (curve.tangents.IsEmpty())
            curve.tangents.Add(startTangent);
        else
            curve.tangents[curve.tangents.GetSize() - 1] =
                Times(Plus(startTangent, curve.tangents[curve.tangents.GetSize() - 1]), 0.5);
        curve.tangents.Add(endTangent);
    }
    else
    {
        AddStraightSegment(curve, point);
    }
    return true;
}

}  // namespace

bool AddStraightSegment(Curve3DPalette::CurveData& curve, const Vector& point)
{
    const std::uint32_t before = curve.points.GetSize();
    if (before == 0) return curve.points.Add(ToPoint(point));
    const std::optional<Vector> direction = Unit(Minus(point, LastVertex(curve)));
    if (!direction) return false;
    curve.points.Add(ToPoint(point));
    if (curve.tangents.GetSize() < before)
    {
        curve.tangents.Add(*direction);
    }
    else
    {
        Vector& last = curve.tangents[curve.tangents.GetSize() - 1];
        last = Bisector(Unit(last).value_or(*direction), *direction);
    }
    return curve.tangents.Add(*direction);
}

void AddTangentialArcSegment(Curve3DPalette::CurveData& curve, const Vector& point)
{
    const std::uint32_t count = curve.points.GetSize();
    const std::optional<Vector> tangent =
        count < 2 || curve.tangents.IsEmpty() ? std::nullopt : Unit(curve.tangents[curve.tangents.GetSize() - 1]);
    const Vector start = count == 0 ? point : LastVertex(curve);
    const std::optional<Vector> chord = Unit(Minus(point, start));
    if (!tangent || !chord)
    {
        AddStraightSegment(curve, point);
        return;
    }
    if (StraightAhead(*chord, *tangent))
    {
        curve.points.Add(ToPoint(point));
        curve.tangents.Add(*chord);
        return;
    }
    Vector endTangent = *tangent;
    API_Coord3D centre;
    Vector axis;
    double angle = 0.0;
    if (!Curve3DPalette::CalcTangentialArc(start, point, endTangent, centre, axis, angle))
    {
        AddStraightSegment(curve, point);
        return;
    }
    const auto last = static_cast<std::int32_t>(count) - 1;
    curve.arcs.Add({last, last + 1, angle, centre, axis});
    curve.points.Add(ToPoint(point));
    curve.tangents.Add(endTangent);
}

void AddTwoPointArcPoint(Curve3DPalette::CurveData& curve, std::int16_t& arcPointCount, TypVektor<Vector>& segmentPoints,
                         const Vector& point)
{
    if (curve.points.IsEmpty())
    {
        --arcPointCount;
        curve.points.Add(ToPoint(point));
    }
    segmentPoints.Add(point);
    if (arcPointCount == 2)
    {
        if (CompleteTwoPointArc(curve, segmentPoints, point))
        {
            arcPointCount = 0;
            segmentPoints.Clear();
        }
        else
        {
            arcPointCount = 1;
        }
    }
    ++arcPointCount;
}

void AddEndPointPoint(Curve3DPalette::CurveData& curve, std::int16_t step, std::int16_t& arcPointCount,
                      TypVektor<Vector>& segmentPoints, const Vector& point)
{
    switch (step)
    {
        case StraightStep: AddStraightSegment(curve, point); break;
        case TangentialArcStep: AddTangentialArcSegment(curve, point); break;
        case TwoPointArcStep: AddTwoPointArcPoint(curve, arcPointCount, segmentPoints, point); break;
        default: break;
    }
}

void CloseEndPointCurve(Curve3DPalette::CurveData& curve, std::int16_t& step, std::int16_t& arcPointCount,
                        TypVektor<Vector>& segmentPoints)
{
    if (curve.points.GetSize() < 2) return;
    if (step == TwoPointArcStep) step = TangentialArcStep;
    AddEndPointPoint(curve, step, arcPointCount, segmentPoints, ToVector(curve.points[0]));
    if (curve.tangents.GetSize() != curve.points.GetSize()) return;
    Vector& first = curve.tangents[0];
    Vector& last = curve.tangents[curve.tangents.GetSize() - 1];
    const Vector joined = Bisector(last, first);
    first = joined;
    last = joined;
}

}  // namespace Curves

bool Curve3DPalette::CalcTangentialArc(const Geometry::Vector3<double>& a, const Geometry::Vector3<double>& b,
                                       Geometry::Vector3<double>& tangent, API_Coord3D& centre, Geometry::Vector3<double>& axis,
                                       double& angle)
{
    using namespace Curves;
    const std::optional<Vector> u = Unit(Minus(b, a));
    const std::optional<Vector> n = u ? Unit(Cross(*u, tangent)) : std::nullopt;
    const std::optional<Vector> v = n ? Unit(Cross(*n, *u)) : std::nullopt;
    const std::optional<CurveFrame> frame = v ? CurveFrame::Make(a, *u, *v, *n) : std::nullopt;
    if (!frame) return false;
    // In the frame the arc leaves the origin along T' (upwards) and runs clockwise.
    const Plan start {0.0, 0.0};
    const Plan end = frame->Image(b);
    const Plan direction = frame->DirectionImage(tangent);
    Plan c;
    if (!Geometry::Circle_2Pt1Lin(start, end, {start, direction}, start, &c)) return false;
    const std::optional<Vector> endTangent = Unit(frame->Direction(TurnRight(Minus(end, c))));
    if (!endTangent) return false;
    angle = ClockwiseSweep(Minus(start, c), Minus(end, c));
    centre = ToPoint(frame->Point(c));
    axis = *n;
    tangent = *endTangent;
    return true;
}

bool Curve3DPalette::CalcArcThroughThreePoints(const Geometry::Vector3<double>& p0, const Geometry::Vector3<double>& p1,
                                               const Geometry::Vector3<double>& p2, Geometry::Vector3<double>& startTangent,
                                               Geometry::Vector3<double>& endTangent, API_Coord3D& centre,
                                               Geometry::Vector3<double>& axis, double& angle)
{
    using namespace Curves;
    const std::optional<Vector> a = Unit(Minus(p1, p0));
    const std::optional<Vector> x = Unit(Minus(p2, p0));
    const std::optional<Vector> n = a && x ? Unit(Cross(*x, *a)) : std::nullopt;
    const std::optional<Vector> y = n ? Unit(Cross(*n, *x)) : std::nullopt;
    const std::optional<CurveFrame> frame = y ? CurveFrame::Make(p0, *x, *y, *n) : std::nullopt;
    if (!frame) return false;
    const Geometry::Coord images[3] = {{0.0, 0.0}, frame->Image(p1), frame->Image(p2)};
    Plan c;
    if (!Geometry::Circle_3Pt(images, &c)) return false;
    const std::optional<Vector> start = Unit(frame->Direction(TurnRight(Minus(images[0], c))));
    const std::optional<Vector> end = Unit(frame->Direction(TurnRight(Minus(images[2], c))));
    if (!start || !end) return false;
    angle = ClockwiseSweep(Minus(images[0], c), Minus(images[2], c));
    centre = ToPoint(frame->Point(c));
    axis = *n;
    startTangent = *start;
    endTangent = *end;
    return true;
}
