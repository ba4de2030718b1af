#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "API/OpeningFrame.hpp"
#include "Geometry/CurveGeometry.hpp"
#include "Geometry/Polygon2DData.hpp"

// The half-plane cut of an outline, the frames of three axes and the frame of
// openings in polygonal walls.

namespace
{

using Geometry::Point2;
using Geometry::Polygon2DData;

Polygon2DData Outline(const std::vector<Point2<double>>& corners)
{
    Polygon2DData polygon;
    polygon.vertices.push_back({});
    polygon.vertices.insert(polygon.vertices.end(), corners.begin(), corners.end());
    polygon.vertices.push_back(corners.front());
    polygon.contourEnds = {0, static_cast<std::int32_t>(corners.size() + 1)};
    return polygon;
}

// The piece's corners without the closing one, as "(x,y)" in order.
std::string Corners(const Polygon2DData& piece)
{
    std::string text;
    for (std::size_t i = 1; i + 1 < piece.vertices.size(); ++i)
    {
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "(%g,%g)", piece.vertices[i].x, piece.vertices[i].y);
        text += buffer;
    }
    return text;
}

// Keeps x <= constant.
Geometry::HalfPlane2DData LeftOf(double x) { return {{1.0, 0.0}, x}; }

}  // namespace

TEST(PolygonCut, KeepsThePiecesInTheHalfPlaneInTheOutlinesOrder)
{
    const Polygon2DData rectangle = Outline({{0, 0}, {4, 0}, {4, 0.3}, {0, 0.3}});
    // A U open to the top: two arms at x 0..1 and 3..4, joined at y 0..1.
    const Polygon2DData u = Outline({{4, 0}, {4, 3}, {3, 3}, {3, 1}, {1, 1}, {1, 3}, {0, 3}, {0, 0}});
    struct Case
    {
        const char* name;
        Polygon2DData polygon;
        Geometry::HalfPlane2DData half;
        std::vector<std::string> pieces;
    };
    const Case cases[] = {
        {"across a rectangle", rectangle, LeftOf(1.5), {"(0,0)(1.5,0)(1.5,0.3)(0,0.3)"}},
        {"the kept side begins at the outline's first kept corner",
         rectangle,
         {{-1.0, 0.0}, -1.5},
         {"(4,0)(4,0.3)(1.5,0.3)(1.5,0)"}},
        {"through a corner", rectangle, {{1.0, 1.0}, 0.3}, {"(0,0)(0.3,0)(0,0.3)"}},
        {"wholly inside", rectangle, LeftOf(5.0), {"(0,0)(4,0)(4,0.3)(0,0.3)"}},
        {"wholly outside", rectangle, LeftOf(-1.0), {}},
        {"an edge on the line counts as outside", rectangle, LeftOf(4.0), {"(0,0)(4,0)(4,0.3)(0,0.3)"}},
        {"two arms of a U", u, {{0.0, -1.0}, -2.0}, {"(4,3)(3,3)(3,2)(4,2)", "(1,3)(0,3)(0,2)(1,2)"}},
    };
    for (const Case& c : cases)
    {
        std::vector<Polygon2DData> pieces;
        ASSERT_EQ(Geometry::CutPolyLine2D(c.polygon, c.half, &pieces), NoError) << c.name;
        std::vector<std::string> found;
        for (const Polygon2DData& piece : pieces)
        {
            found.push_back(Corners(piece));
            EXPECT_EQ(piece.contourEnds.back(), static_cast<std::int32_t>(piece.vertices.size() - 1)) << c.name;
        }
        EXPECT_EQ(found, c.pieces) << c.name;
    }
}

TEST(PolygonCut, RefusesWhatIsNoOutline)
{
    std::vector<Polygon2DData> pieces {Outline({{0, 0}, {1, 0}, {1, 1}})};
    Polygon2DData tooShort = Outline({{0, 0}, {1, 0}});
    EXPECT_NE(Geometry::CutPolyLine2D(tooShort, LeftOf(0.5), &pieces), NoError);
    EXPECT_TRUE(pieces.empty());
    Polygon2DData notANumber = Outline({{0, 0}, {NAN, 0}, {1, 1}});
    EXPECT_NE(Geometry::CutPolyLine2D(notANumber, LeftOf(0.5), &pieces), NoError);
    EXPECT_NE(Geometry::CutPolyLine2D(Outline({{0, 0}, {1, 0}, {1, 1}}), LeftOf(0.5), nullptr), NoError);
}

TEST(FrameMatrix, TakesFrameCoordinatesIntoThePlanAndBack)
{
    Geometry::TRANMAT frame, inverse;
    const double c = std::cos(0.4), s = std::sin(0.4);
    Geometry::TMBSet(&frame, {c, s, 0}, {-s, c, 0}, {0, 0, 2});
    const Geometry::Coord3D plan = Geometry::TMBVect(frame, {1.5, 0.2, 1.0});
    EXPECT_NEAR(plan.x, 1.5 * c - 0.2 * s, 1e-12);
    EXPECT_NEAR(plan.y, 1.5 * s + 0.2 * c, 1e-12);
    EXPECT_NEAR(plan.z, 2.0, 1e-12);
    ASSERT_TRUE(Geometry::InvMat(&inverse, frame));
    const Geometry::Coord3D back = Geometry::TMBVect(inverse, plan);
    EXPECT_NEAR(back.x, 1.5, 1e-12);
    EXPECT_NEAR(back.y, 0.2, 1e-12);
    EXPECT_NEAR(back.z, 1.0, 1e-12);

    Geometry::TRANMAT flat, untouched;
    untouched.tmx[0] = 7.0;
    Geometry::TMBSet(&flat, {1, 0, 0}, {2, 0, 0}, {0, 0, 1});
    EXPECT_FALSE(Geometry::InvMat(&untouched, flat)) << "two axes along one line";
    EXPECT_EQ(untouched.tmx[0], 7.0);
}

// A point and a direction given in the plan, in the frame of a polygonal wall whose
// outline's first edge runs from begin to end.
TEST(OpeningFrame, IsTheFrameOfTheOutlinesFirstEdge)
{
    struct Case
    {
        const char* name;
        API_Coord begin, end, point, direction;
        API_Coord framePoint, frameDirection;
    };
    const double c = std::cos(30 * M_PI / 180), s = std::sin(30 * M_PI / 180);
    const Case cases[] = {
        {"a window 1.00 from the begin point", {0, 0}, {4, 0}, {1, 0}, {0, 1}, {1, 0}, {0, 1}},
        {"on the far face of a wall 0.30 thick", {0, 0}, {4, 0}, {1, -0.3}, {0, -1}, {1, -0.3}, {0, -1}},
        {"a first edge at 30 degrees",
         {2, 1},
         {2 + 3 * c, 1 + 3 * s},
         {2 + 1.5 * c - 0.2 * s, 1 + 1.5 * s + 0.2 * c},
         {-s, c},
         {1.5, 0.2},
         {0, 1}},
    };
    for (const Case& k : cases)
    {
        Geometry::TRANMAT frame, inverse;
        ASSERT_TRUE(PolygonalWallFrame(k.begin, k.end, &frame)) << k.name;
        ASSERT_TRUE(Geometry::InvMat(&inverse, frame)) << k.name;
        const Geometry::Coord3D point = Geometry::TMBVect(inverse, {k.point.x - k.begin.x, k.point.y - k.begin.y, 0});
        const Geometry::Coord3D direction = Geometry::TMBVect(inverse, {k.direction.x, k.direction.y, 0});
        EXPECT_NEAR(point.x, k.framePoint.x, 1e-12) << k.name;
        EXPECT_NEAR(point.y, k.framePoint.y, 1e-12) << k.name;
        EXPECT_NEAR(direction.x, k.frameDirection.x, 1e-12) << k.name;
        EXPECT_NEAR(direction.y, k.frameDirection.y, 1e-12) << k.name;
        const Geometry::Coord3D plan = Geometry::TMBVect(frame, point);
        EXPECT_NEAR(plan.x + k.begin.x, k.point.x, 1e-12) << k.name;
        EXPECT_NEAR(plan.y + k.begin.y, k.point.y, 1e-12) << k.name;
    }
    Geometry::TRANMAT none;
    EXPECT_FALSE(PolygonalWallFrame({1, 1}, {1, 1}, &none)) << "an edge without length has no direction";
}
