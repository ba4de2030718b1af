#include <gtest/gtest.h>

#include <cmath>

#include "Geometry/GenArc.hpp"
#include "Geometry/Polygon2DData.hpp"

namespace
{

constexpr double Pi = 3.14159265358979323846;

using Coord = Geometry::Point2<double>;

Geometry::GenArc Ellipse(double r, double ratio, double direction, double begin, double end)
{
    Geometry::GenArc arc;
    arc.SetToEllipseArc({{1, 2}, r, direction}, ratio, begin, end);
    Geometry::CalcGenArcBegEndCo(&arc);
    return arc;
}

// How far a point lies from the ellipse, measured in its own frame.
double OffEllipse(const Geometry::GenArc& arc, const Coord& p)
{
    const double c = std::cos(arc.GetMainAxisDir()), s = std::sin(arc.GetMainAxisDir());
    const double dx = p.x - arc.GetOrigo().x, dy = p.y - arc.GetOrigo().y;
    const double u = (dx * c + dy * s) / arc.GetMainAxisLength(), v = (-dx * s + dy * c) / arc.GetOtherAxisLength();
    return std::fabs(std::hypot(u, v) - 1);
}

TEST(GeometryArcs, AnEllipticArcBecomesAChainOnTheCurve)
{
    const Geometry::GenArc arc = Ellipse(2, 2, Pi / 6, 0.3, 2.5);
    EXPECT_DOUBLE_EQ(arc.GetOtherAxisLength(), 1.0);
    const std::vector<Coord> chain = Geometry::DivideEllArcToCo(arc, 0.001);
    ASSERT_GT(chain.size(), 10u);
    EXPECT_NEAR(chain.front().x, arc.GetBegC().x, 1e-12);
    EXPECT_NEAR(chain.back().y, arc.GetEndC().y, 1e-12);
    for (std::size_t i = 0; i + 1 < chain.size(); ++i)
    {
        EXPECT_LT(OffEllipse(arc, chain[i]), 1e-12);
        // The chord's middle stays within the tolerance of the curve.
        const Coord middle {(chain[i].x + chain[i + 1].x) / 2, (chain[i].y + chain[i + 1].y) / 2};
        EXPECT_LT(OffEllipse(arc, middle) * arc.GetOtherAxisLength(), 0.001);
    }
}

TEST(GeometryArcs, AnEndBelowTheBeginRunsOnThroughZero)
{
    const Geometry::GenArc arc = Ellipse(1, 1, 0, 350 * Pi / 180, 10 * Pi / 180);
    EXPECT_NEAR(arc.GetEndAng() - arc.GetBegAng(), 20 * Pi / 180, 1e-12);
    const Geometry::Box2DData box = Geometry::GetGenArcBoundBox(arc);
    EXPECT_NEAR(box.xMax, 2, 1e-12);
}

TEST(GeometryArcs, BoundBoxOfARotatedEllipse)
{
    // A whole ellipse 2 by 1 turned a quarter: 1 wide, 2 high about (1, 2).
    const Geometry::Box2DData box = Geometry::GetGenArcBoundBox(Ellipse(2, 2, Pi / 2, 0, 2 * Pi));
    EXPECT_NEAR(box.xMin, 0, 1e-12);
    EXPECT_NEAR(box.xMax, 2, 1e-12);
    EXPECT_NEAR(box.yMin, 0, 1e-12);
    EXPECT_NEAR(box.yMax, 4, 1e-12);
    // A quarter from 0 to 90 degrees of an unturned circle.
    const Geometry::Box2DData quarter = Geometry::GetGenArcBoundBox(Ellipse(1, 1, 0, 0, Pi / 2));
    EXPECT_NEAR(quarter.xMin, 1, 1e-12);
    EXPECT_NEAR(quarter.yMax, 3, 1e-12);
}

TEST(GeometryArcs, AnArcThroughTwoPointsTurnsLeftForAPositiveAngle)
{
    Geometry::GenArc left, right;
    ASSERT_TRUE(Geometry::SetGenArcPtr(&left, {0, 0}, {2, 0}, Pi / 2));
    EXPECT_NEAR(left.GetOrigo().x, 1, 1e-12);
    EXPECT_NEAR(left.GetOrigo().y, 1, 1e-12);
    EXPECT_NEAR(left.GetMainAxisLength(), std::sqrt(2.0), 1e-12);
    EXPECT_NEAR(left.GetBegC().x, 0, 1e-12);
    EXPECT_NEAR(left.GetEndC().x, 2, 1e-12);
    ASSERT_TRUE(Geometry::SetGenArcPtr(&right, {0, 0}, {2, 0}, -Pi / 2));
    EXPECT_NEAR(right.GetOrigo().y, -1, 1e-12);
    EXPECT_NEAR(right.GetBegC().x, 2, 1e-12);
    EXPECT_FALSE(Geometry::SetGenArcPtr(&right, {1, 1}, {1, 1}, 1));
    EXPECT_FALSE(Geometry::SetGenArcPtr(&right, {0, 0}, {1, 1}, 0));
}

TEST(GeometryArcs, RingSegmentsReplaceArcEdgesByPointsOnThem)
{
    Geometry::Polygon2DData polygon;
    ASSERT_EQ(Geometry::ConvertToPolygon2DData({{}, {0, 0}, {2, 0}, {2, 2}, {0, 2}, {0, 0}}, {{2, 3, Pi}}, {0, 5}, &polygon),
              NoError);
    ASSERT_EQ(Geometry::SegmentUpPolygon2DData(&polygon, Geometry::ArcDivParams(0.001)), NoError);
    EXPECT_TRUE(polygon.arcs.empty());
    const std::size_t last = polygon.vertices.size() - 1;
    EXPECT_EQ(polygon.contourEnds, (std::vector<std::int32_t> {0, static_cast<std::int32_t>(last)}));
    EXPECT_GT(last, 20u);
    EXPECT_EQ(polygon.vertices[2].x, 2.0);
    // A half circle turning left from (2, 0) to (2, 2) bulges out to x = 3.
    double reach = 0;
    for (std::size_t i = 3; i + 3 < last; ++i)
    {
        EXPECT_NEAR(std::hypot(polygon.vertices[i].x - 2, polygon.vertices[i].y - 1), 1, 1e-9);
        reach = std::max(reach, polygon.vertices[i].x);
    }
    EXPECT_NEAR(reach, 3, 0.001);
    EXPECT_EQ(polygon.vertices[last - 2].y, 2.0);
    EXPECT_EQ(polygon.vertices[last].x, 0.0);

    Geometry::Polygon2DData broken;
    broken.vertices = {{}, {0, 0}, {1, 0}};
    broken.contourEnds = {0, 2};
    EXPECT_NE(Geometry::SegmentUpPolygon2DData(&broken, Geometry::ArcDivParams(0.001)), NoError);
    EXPECT_EQ(broken.vertices.size(), 3u);
}

}  // namespace
