#include <cmath>
#include <string>
#include <vector>

#include "CurveChecks.hpp"
#include "curves/CurvePlanes.hpp"
#include "curves/EndPointPolygon.hpp"
#include "curves/SplineCurve.hpp"
#include "curves/TwoPointPolygon.hpp"

// The curve methods on their own data, without host or dialog: each measured
// point as the palette hands it on, and the curve that results.

namespace
{

constexpr double R2 = 0.70710678118654752;
constexpr std::int16_t Straight = 13, Tangential = 14, TwoPointArc = 15;
constexpr std::int16_t StraightSide = 13, ArcSide = 14;

using CurveData = Curve3DPalette::CurveData;

// Method 8's state as the palette keeps it.
struct EndPointRun
{
    CurveData curve;
    std::int16_t arcPointCount = 0;
    TypVektor<Geometry::Vector3<double>> pending;

    EndPointRun& Step(std::int16_t step, const API_Coord3D& p)
    {
        if (step == TwoPointArc && arcPointCount == 0) arcPointCount = 1;  // as choosing the step does
        Curves::AddEndPointPoint(curve, step, arcPointCount, pending, V(p));
        return *this;
    }
    void Close(std::int16_t step) { Curves::CloseEndPointCurve(curve, step, arcPointCount, pending); }
};

// Method 9's state; the curve plane is the horizontal plane through the origin.
struct SideRun
{
    CurveData curve;
    Curve3DPalette::PlaneData plane = Curves::HorizontalPlane({0, 0, 0});
    TypVektor<Geometry::Vector3<double>> pending;

    SideRun& Side(std::initializer_list<API_Coord3D> points)
    {
        const std::int16_t step = points.size() == 2 ? StraightSide : ArcSide;
        for (const API_Coord3D& p : points) Curves::AddTwoPointSidePoint(curve, plane, step, pending, V(p));
        return *this;
    }
};

}  // namespace

TEST(EndPointPolygon, StraightStepsBisectTheirCorners)
{
    EndPointRun run;
    run.Step(Straight, {0, 0, 0}).Step(Straight, {1, 0, 0}).Step(Straight, {1, 1, 0});
    ASSERT_EQ(run.curve.tangents.GetSize(), 3u);
    ExpectVector(run.curve.tangents[0], {1, 0, 0}, "first");
    ExpectVector(run.curve.tangents[1], {R2, R2, 0}, "corner");
    ExpectVector(run.curve.tangents[2], {0, 1, 0}, "last");
    EXPECT_TRUE(run.curve.arcs.IsEmpty());
    ExpectCurveHolds(run.curve, "straight");
}

TEST(EndPointPolygon, ATangentialArcLeavesAlongTheLastDirection)
{
    EndPointRun run;
    run.Step(Straight, {0, 0, 0}).Step(Straight, {1, 0, 0}).Step(Tangential, {2, 1, 0});
    ASSERT_EQ(run.curve.arcs.GetSize(), 1u);
    const Curve3DPalette::arcData& arc = run.curve.arcs[0];
    EXPECT_EQ(arc.beginIndex, 1);
    EXPECT_EQ(arc.endIndex, 2);
    ExpectPoint(arc.centre, {1, 1, 0}, "centre");
    ExpectVector(arc.axis, {0, 0, -1}, "axis");
    EXPECT_NEAR(arc.angle, -CurvePi / 2, 1e-12);
    ExpectVector(run.curve.tangents[2], {0, 1, 0}, "end tangent");
    ExpectCurveHolds(run.curve, "tangential");
}

TEST(EndPointPolygon, ATangentialStepWithoutACircleIsStraight)
{
    struct Case
    {
        const char* name;
        API_Coord3D point;
        std::uint32_t vertices;
    };
    const Case cases[] = {
        {"straight ahead", {3, 0, 0}, 3},
        {"within the tolerance of straight ahead", {3, 0.000001, 0}, 3},
        {"straight back", {-2, 0, 0}, 3},
        {"on the last vertex", {1, 0, 0}, 2},
    };
    for (const Case& c : cases)
    {
        EndPointRun run;
        run.Step(Straight, {0, 0, 0}).Step(Straight, {1, 0, 0}).Step(Tangential, c.point);
        EXPECT_TRUE(run.curve.arcs.IsEmpty()) << c.name;
        EXPECT_EQ(run.curve.points.GetSize(), c.vertices) << c.name;
        ExpectCurveHolds(run.curve, c.name);
    }
}

TEST(EndPointPolygon, ATwoPointArcRunsFromTheLastVertexThroughBothPoints)
{
    struct Case
    {
        const char* name;
        std::vector<API_Coord3D> before;
        Geometry::Vector3<double> startTangent;
    };
    const Case cases[] = {
        {"a vertex without a tangent", {{0, 0, 0}}, {0, 1, 0}},
        {"after a straight segment: the half sum", {{-1, 0, 0}, {0, 0, 0}}, {0.5, 0.5, 0}},
        {"an empty polygon: the first point starts the arc", {}, {0, 1, 0}},
    };
    for (const Case& c : cases)
    {
        EndPointRun run;
        for (const API_Coord3D& p : c.before) run.Step(Straight, p);
        if (c.before.empty()) run.Step(TwoPointArc, {0, 0, 0});
        run.Step(TwoPointArc, {1, 1, 0});
        EXPECT_EQ(run.arcPointCount, 2) << c.name << ": the second point is asked for";
        run.Step(TwoPointArc, {2, 0, 0});
        ASSERT_EQ(run.curve.arcs.GetSize(), 1u) << c.name;
        const Curve3DPalette::arcData& arc = run.curve.arcs[0];
        const auto start = static_cast<std::int32_t>(run.curve.points.GetSize()) - 2;
        EXPECT_EQ(arc.beginIndex, start) << c.name;
        ExpectPoint(arc.centre, {1, 0, 0}, c.name);
        ExpectVector(arc.axis, {0, 0, 1}, c.name);
        EXPECT_NEAR(arc.angle, -CurvePi, 1e-12) << c.name;
        ExpectVector(run.curve.tangents[static_cast<std::uint32_t>(start)], c.startTangent, c.name);
        ExpectVector(run.curve.tangents[static_cast<std::uint32_t>(start + 1)], {0, -1, 0}, c.name);
        EXPECT_EQ(run.arcPointCount, 1) << c.name << ": ready for the next arc";
        EXPECT_TRUE(run.pending.IsEmpty());
        ExpectCurveHolds(run.curve, c.name);
    }
}

TEST(EndPointPolygon, ATwoPointArcOnOneLineIsStraightAndADroppedFirstPointIsAskedForAgain)
{
    EndPointRun run;
    run.Step(Straight, {0, 0, 0}).Step(TwoPointArc, {1, 0, 0}).Step(TwoPointArc, {2, 0, 0});
    EXPECT_TRUE(run.curve.arcs.IsEmpty());
    EXPECT_EQ(Points(run.curve).size(), 2u);
    ExpectPoint(run.curve.points[1], {2, 0, 0}, "a straight segment to the last point");

    // The palette drops a half-measured arc's point on any change; the count stays.
    run.Step(TwoPointArc, {3, 1, 0});
    run.pending.Clear();
    run.Step(TwoPointArc, {3, 3, 0});
    EXPECT_EQ(run.curve.points.GetSize(), 2u) << "taken as the arc's first point";
    run.Step(TwoPointArc, {2, 4, 0});
    ASSERT_EQ(run.curve.arcs.GetSize(), 1u);
    ExpectPoint(run.curve.points[2], {2, 4, 0}, "the arc's end");
    ExpectCurveHolds(run.curve, "after a dropped point");
}

TEST(EndPointPolygon, ClosingAppendsTheFirstVertexAndJoinsTheEndTangents)
{
    EndPointRun square;
    square.Step(Straight, {0, 0, 0}).Step(Straight, {2, 0, 0}).Step(Straight, {2, 2, 0}).Step(Straight, {0, 2, 0});
    square.Close(Straight);
    ASSERT_EQ(square.curve.points.GetSize(), 5u);
    ExpectPoint(square.curve.points[4], {0, 0, 0}, "closed");
    ExpectVector(square.curve.tangents[0], {R2, -R2, 0}, "first");
    ExpectVector(square.curve.tangents[4], {R2, -R2, 0}, "last");
    ExpectCurveHolds(square.curve, "square");

    // A polygon measured with two-point arcs closes with a tangential arc.
    EndPointRun arcs;
    arcs.Step(Straight, {0, 0, 0}).Step(Straight, {2, 0, 0}).Step(TwoPointArc, {3, 1, 0}).Step(TwoPointArc, {2, 2, 0});
    std::int16_t step = TwoPointArc;
    arcs.Close(step);
    ASSERT_EQ(arcs.curve.points.GetSize(), 4u);
    EXPECT_EQ(arcs.curve.arcs.GetSize(), 2u) << "the closing segment is a tangential arc";
    ExpectPoint(arcs.curve.points[3], {0, 0, 0}, "closed");
    ExpectCurveHolds(arcs.curve, "closed with arcs");

    // Fewer than two vertices give nothing to close.
    for (const std::int16_t s : {Straight, Tangential, TwoPointArc})
    {
        EndPointRun single;
        single.Step(Straight, {1, 1, 0});
        single.Close(s);
        EXPECT_EQ(single.curve.points.GetSize(), 1u) << s;
        EXPECT_TRUE(single.curve.tangents.IsEmpty()) << s;
    }
}

TEST(CurvePlanes, FromOneThreeOrTwoPoints)
{
    const Curve3DPalette::PlaneData horizontal = Curves::HorizontalPlane({2, 3, 1.5});
    ExpectVector(horizontal.origin, {2, 3, 1.5}, "origin");
    ExpectVector(horizontal.xAxis, {1, 0, 0}, "x");
    ExpectVector(horizontal.yAxis, {0, 1, 0}, "y");
    ExpectVector(horizontal.normal, {0, 0, 1}, "normal");

    const auto vertical = Curves::VerticalPlaneThroughTwoPoints({0, 0, 0}, {3, 4, 0});
    ASSERT_TRUE(vertical);
    ExpectVector(vertical->origin, {0, 0, 0}, "vertical origin");
    ExpectVector(vertical->xAxis, {0, 0, 1}, "vertical x");
    ExpectVector(vertical->yAxis, {0.6, 0.8, 0}, "vertical y");
    ExpectVector(vertical->normal, {-0.8, 0.6, 0}, "vertical normal");

    const auto sloped = Curves::VerticalPlaneThroughTwoPoints({0, 0, 0}, {3, 0, 4});
    ASSERT_TRUE(sloped);
    ExpectVector(sloped->yAxis, {0.6, 0, 0.8}, "sloped y keeps the slope");
    ExpectVector(sloped->normal, {0, 0.6, 0}, "sloped normal, not made unit");

    const auto general = Curves::PlaneThroughThreePoints({0, 0, 0}, {1, 0, 0}, {0, 1, 1});
    ASSERT_TRUE(general);
    ExpectVector(general->normal, {0, -R2, R2}, "general normal");
    EXPECT_NEAR(std::fabs(general->xAxis.x), 1.0, 1e-12) << "x along the horizontal direction";
    ExpectVector(general->yAxis, {0, R2, R2}, "y = normal × x");

    const auto level = Curves::PlaneThroughThreePoints({1, 1, 2}, {4, 1, 2}, {1, 5, 2});
    ASSERT_TRUE(level) << "three points at one height";
    ExpectVector(level->origin, {1, 1, 2}, "through the first");
    ExpectVector(level->normal, {0, 0, 1}, "horizontal");

    EXPECT_FALSE(Curves::PlaneThroughThreePoints({0, 0, 0}, {1, 1, 1}, {2, 2, 2})) << "on one line";
    EXPECT_FALSE(Curves::PlaneThroughThreePoints({0, 0, 0}, {0, 0, 0}, {2, 2, 2})) << "two at one place";
    EXPECT_FALSE(Curves::VerticalPlaneThroughTwoPoints({1, 1, 0}, {1, 1, 3})) << "one plan position";
}

TEST(CurvePlanes, PointsAreProjectedOntoThePlane)
{
    const auto vertical = *Curves::VerticalPlaneThroughTwoPoints({0, 0, 0}, {3, 4, 0});
    ExpectPoint(Curves::ProjectOntoPlane(vertical, {-0.8, 0.6, 2}), {0, 0, 2}, "along the normal");
    ExpectPoint(Curves::ProjectOntoPlane(Curves::HorizontalPlane({0, 0, 1}), {5, 6, 7}), {5, 6, 1}, "horizontal");
    ExpectPoint(Curves::ProjectOntoPlane(Curve3DPalette::PlaneData {}, {5, 6, 7}), {5, 6, 7}, "no plane yet");
}

TEST(SplineCurve, SamplesTheSplineThroughItsControlPoints)
{
    const Curve3DPalette::PlaneData plane = Curves::HorizontalPlane({0, 0, 0});
    CurveData curve;
    TypVektor<API_Coord3D> control;
    control.Add({1, 1, 0});
    Curves::BuildSplineCurve(control, plane, false, curve);
    EXPECT_TRUE(curve.points.IsEmpty()) << "one control point";

    control.Add({5, 3, 0});
    Curves::BuildSplineCurve(control, plane, false, curve);
    ASSERT_EQ(curve.points.GetSize(), 101u);
    ExpectPoint(curve.points[0], {1, 1, 0}, "first");
    ExpectPoint(curve.points[50], {3, 2, 0}, "half way");
    ExpectPoint(curve.points[100], {5, 3, 0}, "last");
    ExpectCurveHolds(curve, "two open");

    TypVektor<API_Coord3D> loop;
    for (const API_Coord3D& p : {API_Coord3D {0, 0, 0}, API_Coord3D {2, 0, 0}, API_Coord3D {1, 2, 0}}) loop.Add(p);
    Curves::BuildSplineCurve(loop, plane, true, curve);
    ASSERT_EQ(curve.points.GetSize(), 101u);
    ExpectPoint(curve.points[100], {0, 0, 0}, "closed: back on the first control point");
    ExpectPoint(curve.points[50], {1.875, 1.25, 0}, "t = 1.5, between the second and the third");
    EXPECT_TRUE(curve.arcs.IsEmpty());
    ExpectCurveHolds(curve, "three closed");
}

TEST(SplineCurve, LiesInItsPlane)
{
    const auto plane = *Curves::VerticalPlaneThroughTwoPoints({0, 0, 0}, {3, 4, 0});
    TypVektor<API_Coord3D> control;
    for (const API_Coord3D& p : {API_Coord3D {0, 0, 0}, API_Coord3D {3, 4, 2}, API_Coord3D {6, 8, 0}, API_Coord3D {-1, 2, 5}})
        control.Add(p);
    CurveData curve;
    Curves::BuildSplineCurve(control, plane, false, curve);
    ASSERT_EQ(curve.points.GetSize(), 101u);
    for (const API_Coord3D& p : curve.points) EXPECT_NEAR(-0.8 * p.x + 0.6 * p.y, 0.0, 1e-9);
    ExpectPoint(curve.points[100], {0.6, 0.8, 5}, "the point off the plane ends on its foot");
}

TEST(TwoPointPolygon, TwoWallsOfACornerMeetInTheCurvePlane)
{
    SideRun run;
    run.Side({{1, 0, 0}, {3, 0, 0}});
    ASSERT_EQ(run.curve.points.GetSize(), 2u);
    ExpectVector(run.curve.tangents[0], {1, 0, 0}, "first side alone");
    ExpectVector(run.curve.tangents[1], {1, 0, 0}, "first side alone");

    run.Side({{4, 1, 0.3}, {4, 3, 0}});
    const std::vector<API_Coord3D> expected {{1, 0, 0}, {4, 0, 0}, {4, 3, 0}};
    ASSERT_EQ(Points(run.curve).size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) ExpectPoint(run.curve.points[static_cast<std::uint32_t>(i)], expected[i], "vertex");
    ExpectVector(run.curve.tangents[1], {R2, R2, 0}, "the corner's bisector");
    ExpectCurveHolds(run.curve, "corner");
}

TEST(TwoPointPolygon, CurvedSidesMeetLinesAndArcsOutsideTheirMeasuredPart)
{
    // A quarter circle about the origin, counter-clockwise in plan: its axis points down.
    SideRun arcFirst;
    arcFirst.Side({OnCircle(0, 0, 2, 0), OnCircle(0, 0, 2, 45), OnCircle(0, 0, 2, 90)});
    ASSERT_EQ(arcFirst.curve.arcs.GetSize(), 1u);
    EXPECT_EQ(arcFirst.curve.points.GetSize(), 2u) << "the middle point is not kept";
    ExpectVector(arcFirst.curve.arcs[0].axis, {0, 0, -1}, "axis");
    EXPECT_NEAR(arcFirst.curve.arcs[0].angle, -CurvePi / 2, 1e-12);
    ExpectCurveHolds(arcFirst.curve, "curved first side");

    // The line y = 1 crosses the circle at 30° (on the measured arc) and 150°.
    SideRun lineAfterArc = arcFirst;
    lineAfterArc.Side({{-1, 1, 0}, {-3, 1, 0}});
    ASSERT_EQ(lineAfterArc.curve.points.GetSize(), 3u);
    ExpectPoint(lineAfterArc.curve.points[1], OnCircle(0, 0, 2, 150), "the crossing off the measured arc");
    EXPECT_NEAR(lineAfterArc.curve.arcs[0].angle, -5 * CurvePi / 6, 1e-9);
    ExpectCurveHolds(lineAfterArc.curve, "line after arc");

    // A half circle about (0, 1) from 0° to 150° after the line y = 0: the line
    // crosses the circle at -30° and 210°, neither on the measured arc; the arc
    // grows back from its first point to -30°, not round through the line.
    SideRun arcAfterLine;
    arcAfterLine.Side({{-3, 0, 0}, {-1, 0, 0}});
    arcAfterLine.Side({OnCircle(0, 1, 2, 0), OnCircle(0, 1, 2, 90), OnCircle(0, 1, 2, 150)});
    ASSERT_EQ(arcAfterLine.curve.points.GetSize(), 3u);
    ExpectPoint(arcAfterLine.curve.points[1], OnCircle(0, 1, 2, -30), "the corner next to the arc's first point");
    ASSERT_EQ(arcAfterLine.curve.arcs.GetSize(), 1u);
    EXPECT_EQ(arcAfterLine.curve.arcs[0].beginIndex, 1);
    EXPECT_NEAR(arcAfterLine.curve.arcs[0].angle, -CurvePi, 1e-9);
    ExpectCurveHolds(arcAfterLine.curve, "arc after line");

    // Two arcs meet where their circles cross nearer to the new arc's first point;
    // the new one runs clockwise in plan, so the earlier sweep is taken with the sign flipped.
    SideRun arcAfterArc = arcFirst;
    arcAfterArc.Side({OnCircle(0, 3, 2, 200), OnCircle(0, 3, 2, 180), OnCircle(0, 3, 2, 160)});
    ASSERT_EQ(arcAfterArc.curve.arcs.GetSize(), 2u);
    ExpectPoint(arcAfterArc.curve.points[1], {-std::sqrt(1.75), 1.5, 0}, "circles' crossing");
    ExpectVector(arcAfterArc.curve.arcs[1].axis, {0, 0, 1}, "clockwise in plan");
    ExpectCurveHolds(arcAfterArc.curve, "arc after arc");
}

TEST(TwoPointPolygon, SidesThatCannotMeetAreDropped)
{
    SideRun run;
    run.Side({{0, 0, 0}, {2, 0, 0}});
    run.Side({{0, 1, 0}, {2, 1, 0}});
    EXPECT_EQ(run.curve.points.GetSize(), 2u) << "a parallel side";
    run.Side({{5, 1, 0}, {5, 1, 0}});
    EXPECT_EQ(run.pending.GetSize(), 1u) << "a second point on the first is not taken";
    run.pending.Clear();

    SideRun arc;
    arc.Side({OnCircle(0, 0, 2, 0), OnCircle(0, 0, 2, 45), OnCircle(0, 0, 2, 90)});
    arc.Side({{-5, 5, 0}, {-6, 5, 0}});
    EXPECT_EQ(arc.curve.points.GetSize(), 2u) << "a line missing the circle";
    arc.Side({OnCircle(10, 0, 1, 0), OnCircle(10, 0, 1, 90), OnCircle(10, 0, 1, 180)});
    EXPECT_EQ(arc.curve.arcs.GetSize(), 1u) << "circles apart";

    SideRun flat;
    flat.Side({{0, 0, 0}, {1, 0, 0}, {2, 0, 0}});
    EXPECT_TRUE(flat.curve.arcs.IsEmpty()) << "three points on a line";
    EXPECT_EQ(flat.curve.points.GetSize(), 2u);
    ExpectPoint(flat.curve.points[1], {2, 0, 0}, "a straight side to the last point");
    ExpectCurveHolds(flat.curve, "flat arc side");
}

TEST(TwoPointClosing, ARectangleClosesAtItsFirstCorner)
{
    SideRun run;
    run.Side({{1, 0, 0}, {3, 0, 0}}).Side({{4, 1, 0}, {4, 2, 0}}).Side({{3, 3, 0}, {1, 3, 0}}).Side({{0, 2, 0}, {0, 1, 0}});
    Curves::CloseTwoPointCurve(run.curve, run.plane);
    const std::vector<API_Coord3D> expected {{0, 0, 0}, {4, 0, 0}, {4, 3, 0}, {0, 3, 0}, {0, 0, 0}};
    ASSERT_EQ(Points(run.curve).size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i)
        ExpectPoint(run.curve.points[static_cast<std::uint32_t>(i)], expected[i], "vertex " + std::to_string(i));
    ExpectVector(run.curve.tangents[0], run.curve.tangents[4], "one tangent at the closing corner");
    ExpectVector(run.curve.tangents[0], {R2, -R2, 0}, "bisector");
    ExpectCurveHolds(run.curve, "rectangle");
}

TEST(TwoPointClosing, AFirstArcGrowsBackToTheLastSideOutsideItsMeasuredPart)
{
    // First side an arc about the origin (30° to 90°, grown to 120° by side 2),
    // then x = -1, then the line through the circle at 45° and at -90°.
    SideRun run;
    run.Side({OnCircle(0, 0, 2, 30), OnCircle(0, 0, 2, 60), OnCircle(0, 0, 2, 90)});
    run.Side({{-1, 0, 0}, {-1, -1, 0}});
    const API_Coord3D a {0.2 * std::sqrt(2.0), -2 + 0.2 * (2 + std::sqrt(2.0)), 0};
    const API_Coord3D b {0.4 * std::sqrt(2.0), -2 + 0.4 * (2 + std::sqrt(2.0)), 0};
    run.Side({a, b});
    ASSERT_EQ(run.curve.points.GetSize(), 4u);
    Curves::CloseTwoPointCurve(run.curve, run.plane);
    ASSERT_EQ(run.curve.points.GetSize(), 4u) << "the ends move, nothing is added";
    ExpectPoint(run.curve.points[0], {0, -2, 0}, "the crossing outside the measured arc");
    ExpectPoint(run.curve.points[3], {0, -2, 0}, "closed");
    EXPECT_NEAR(run.curve.arcs[0].angle, -7 * CurvePi / 6, 1e-9) << "from -90° round to 120°";
    ExpectCurveHolds(run.curve, "first arc closed");
}

TEST(TwoPointClosing, EndArcsTurningOppositeWaysMeetAtTheirCirclesCrossing)
{
    SideRun run;
    run.Side({OnCircle(0, 0, 2, 60), OnCircle(0, 0, 2, 90), OnCircle(0, 0, 2, 120)});
    run.Side({{-1.5, 0, 0}, {-1.5, -1, 0}});
    run.Side({{0, -1.9, 0}, {1, -1.9, 0}});
    run.Side({OnCircle(3, 0, 2, 250), OnCircle(3, 0, 2, 200), OnCircle(3, 0, 2, 150)});
    ASSERT_EQ(run.curve.arcs.GetSize(), 2u);
    EXPECT_LT(run.curve.arcs[0].axis.z * run.curve.arcs[1].axis.z, 0.0) << "opposite axes";
    Curves::CloseTwoPointCurve(run.curve, run.plane);
    const API_Coord3D corner {1.5, std::sqrt(1.75), 0};
    ExpectPoint(run.curve.points[0], corner, "first");
    ExpectPoint(run.curve.points[run.curve.points.GetSize() - 1], corner, "last");
    const double cornerOnFirst = std::atan2(corner.y, corner.x);
    const double cornerOnLast = std::atan2(corner.y, corner.x - 3);
    const double firstEnd = std::atan2(std::sqrt(1.75), -1.5);
    EXPECT_NEAR(run.curve.arcs[0].angle, -(firstEnd - cornerOnFirst), 1e-9);
    const double lastStart = std::atan2(-1.9, -std::sqrt(4 - 1.9 * 1.9)) + 2 * CurvePi;
    EXPECT_NEAR(run.curve.arcs[1].angle, -(lastStart - cornerOnLast), 1e-9);
    ExpectCurveHolds(run.curve, "both arcs closed");
}

TEST(TwoPointClosing, WithoutACornerTheFirstVertexIsAppended)
{
    SideRun single;
    single.Side({{0, 0, 0}, {2, 0, 0}});
    Curves::CloseTwoPointCurve(single.curve, single.plane);
    ASSERT_EQ(single.curve.points.GetSize(), 3u) << "one side: its line meets itself nowhere";
    ExpectPoint(single.curve.points[2], {0, 0, 0}, "closed straight");
    ExpectCurveHolds(single.curve, "single side");

    SideRun parallel;
    parallel.Side({{0, 0, 0}, {2, 0, 0}}).Side({{3, 1, 0}, {3, 2, 0}}).Side({{2, 3, 0}, {1, 3, 0}});
    Curves::CloseTwoPointCurve(parallel.curve, parallel.plane);
    ASSERT_EQ(parallel.curve.points.GetSize(), 5u);
    ExpectPoint(parallel.curve.points[0], {0, 0, 0}, "first vertex stays");
    ExpectPoint(parallel.curve.points[4], {0, 0, 0}, "appended");
    ExpectCurveHolds(parallel.curve, "parallel ends");

    CurveData empty;
    Curves::CloseTwoPointCurve(empty, single.plane);
    EXPECT_TRUE(empty.points.IsEmpty());
}

TEST(CeilingRectangle, HasItsOppositeEdgeThroughTheThirdPoint)
{
    struct Case
    {
        const char* name;
        API_Coord3D p0, p1, p2;
        bool made;
        std::vector<API_Coord3D> points;
    };
    const Case cases[] = {
        {"third point left",
         {0, 0, 3},
         {4, 0, 3.2},
         {1, 2, 2.5},
         true,
         {{0, 0, 3}, {4, 0, 3.2}, {4, 2, 3.2}, {0, 2, 3}, {0, 0, 3}}},
        {"third point right", {0, 0, 3}, {4, 0, 3}, {9, -2, 0}, true, {{0, 0, 3}, {4, 0, 3}, {4, -2, 3}, {0, -2, 3}, {0, 0, 3}}},
        {"third point on the edge's line",
         {0, 0, 0},
         {4, 0, 0},
         {7, 0, 0},
         true,
         {{0, 0, 0}, {4, 0, 0}, {4, 0, 0}, {0, 0, 0}, {0, 0, 0}}},
        {"third point on the first",
         {1, 1, 0},
         {1, 3, 0},
         {1, 1, 0},
         true,
         {{1, 1, 0}, {1, 3, 0}, {1, 3, 0}, {1, 1, 0}, {1, 1, 0}}},
        {"second point above the first", {1, 1, 0}, {1, 1, 2}, {5, 5, 0}, false, {}},
    };
    for (const Case& c : cases)
    {
        TypVektor<API_Coord3D> ceiling;
        for (const API_Coord3D& p : {c.p0, c.p1, c.p2}) ceiling.Add(p);
        CurveData curve;
        curve.points.Add({9, 9, 9});
        curve.tangents.Add({1, 0, 0});
        curve.arcs.Add({});
        EXPECT_EQ(Curve3DPalette::BuildCeilingRectangle(ceiling, curve), c.made) << c.name;
        ASSERT_EQ(Points(curve).size(), c.points.size()) << c.name;
        for (std::size_t i = 0; i < c.points.size(); ++i)
            ExpectPoint(curve.points[static_cast<std::uint32_t>(i)], c.points[i], c.name);
        EXPECT_TRUE(curve.tangents.IsEmpty()) << c.name;
        EXPECT_TRUE(curve.arcs.IsEmpty()) << c.name;
    }
}

// The arcs every method makes keep their invariants on coplanar data in planes
// of any position, not only in plan.
TEST(CurveArcs, KeepTheirInvariantsInAnyPlane)
{
    const Curve3DPalette::PlaneData planes[] = {
        Curves::HorizontalPlane({0, 0, 0}),
        *Curves::PlaneThroughThreePoints({0, 0, 0}, {1, 0, 0}, {0, 1, 1}),
        *Curves::VerticalPlaneThroughTwoPoints({1, 2, 0}, {4, 6, 0}),
        *Curves::PlaneThroughThreePoints({1, 1, 1}, {2, 3, 0}, {-1, 2, 4}),
    };
    const double plan[][2] = {{0, 0}, {4, 0}, {5, 1}, {6, 3}, {4, 5}, {2, 4}, {1, 6}, {-1, 5}, {-2, 2}};
    int planeNumber = 0;
    for (const auto& plane : planes)
    {
        const std::string label = "plane " + std::to_string(++planeNumber);
        const auto at = [&plane](double x, double y) {
            return API_Coord3D {plane.origin.x + x * plane.xAxis.x + y * plane.yAxis.x,
                                plane.origin.y + x * plane.xAxis.y + y * plane.yAxis.y,
                                plane.origin.z + x * plane.xAxis.z + y * plane.yAxis.z};
        };
        EndPointRun run;
        const std::int16_t steps[] = {Straight,   Straight, Tangential,  TwoPointArc, TwoPointArc,
                                      Tangential, Straight, TwoPointArc, TwoPointArc};
        for (std::size_t i = 0; i < 9; ++i) run.Step(steps[i], at(plan[i][0], plan[i][1]));
        EXPECT_GE(run.curve.arcs.GetSize(), 3u) << label;
        ExpectCurveHolds(run.curve, label + ", end points");
        std::int16_t closing = TwoPointArc;
        run.Close(closing);
        ExpectCurveHolds(run.curve, label + ", end points closed");

        SideRun sides;
        sides.plane = plane;
        const auto onCircle = [&at](double cx, double cy, double r, double degrees) {
            const API_Coord3D p = OnCircle(cx, cy, r, degrees);
            return at(p.x, p.y);
        };
        sides.Side({onCircle(0, 0, 2, 200), onCircle(0, 0, 2, 180), onCircle(0, 0, 2, 160)}).Side({at(0, 1.5), at(2, 1.5)});
        sides.Side({onCircle(4, 0, 2.5, 110), onCircle(4, 0, 2.5, 0), onCircle(4, 0, 2.5, -110)}).Side({at(1, -2), at(0, -2)});
        EXPECT_EQ(sides.curve.arcs.GetSize(), 2u) << label;
        ExpectCurveHolds(sides.curve, label + ", sides");
        Curves::CloseTwoPointCurve(sides.curve, sides.plane);
        ExpectCurveHolds(sides.curve, label + ", sides closed");
    }
}
