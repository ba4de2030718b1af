#include <gtest/gtest.h>

#include <vector>

#include "Geometry/Geometry.hpp"

// The hull's corners each once, counter-clockwise, with the height they were added
// with; points inside, on an edge or repeated on one plan spot are no corners.
TEST(ConvexHull, CornersOnceCounterClockwiseWithTheirHeights)
{
    Geometry::ConvexHull2DCreator creator;
    const double points[][3] = {{4, 4, 3}, {2, 2, 9}, {0, 0, 1}, {2, 0, 9}, {4, 0, 2}, {0, 4, 4}, {0, 0, 8}};
    for (const auto& p : points) creator.AddPoint(p[0], p[1], p[2]);
    const std::vector<Geometry::Coord3D> hull = creator.CalcConvexHull();
    const double expected[][3] = {{0, 0, 1}, {4, 0, 2}, {4, 4, 3}, {0, 4, 4}};
    ASSERT_EQ(hull.size(), 4u);
    for (std::size_t i = 0; i < 4; ++i)
    {
        EXPECT_EQ(hull[i].x, expected[i][0]) << i;
        EXPECT_EQ(hull[i].y, expected[i][1]) << i;
        EXPECT_EQ(hull[i].z, expected[i][2]) << i;
    }
}
