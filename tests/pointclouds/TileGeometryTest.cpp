#include <gtest/gtest.h>

#include "JobTestSupport.hpp"

namespace
{

OrtophotoData JobOf(std::initializer_list<OrtophotoDataPart> tiles)
{
    OrtophotoData job;
    for (const OrtophotoDataPart& tile : tiles) job.tiles.Add(tile);
    return job;
}

// A vertical tile standing on the x axis from x0 to x1, between heights z0 and z1.
OrtophotoDataPart Wall(double x0, double x1, double z0 = 0, double z1 = 3)
{
    return MakeTile("", {x0, 0, z0}, {x1, 0, z0}, {x0, 0, z1}, {x1, 0, z1});
}

TEST(TileGeometry, VerticalWhenTheFirstTileStandsUpright)
{
    EXPECT_FALSE(JobOf({MakeTile("", {0, 0, 0}, {2, 0, 0}, {0, 1, 0}, {2, 1, 0})}).IsVertical());
    EXPECT_TRUE(JobOf({Wall(0, 2)}).IsVertical());
    EXPECT_TRUE(JobOf({MakeTile("", {0, 0, 0}, {3, 4, 0}, {0, 0, 2}, {3, 4, 2})}).IsVertical());
    EXPECT_TRUE(JobOf({}).IsVertical());
}

TEST(TileGeometry, PlanExtentSpansTheOutermostTiles)
{
    double x1 = -1, y1 = -1, x2 = -1, y2 = -1;
    ASSERT_TRUE(JobOf({Wall(2, 4), Wall(0, 2), Wall(4, 6)}).GetPlanExtent(x1, y1, x2, y2));
    EXPECT_DOUBLE_EQ(x1, 0);
    EXPECT_DOUBLE_EQ(y1, 0);
    EXPECT_DOUBLE_EQ(x2, 6);
    EXPECT_DOUBLE_EQ(y2, 0);
}

// The tolerance lies along the unit direction: on a 1000 m wide first tile a
// corner 0.000005 m before the start stays inside, one 0.00002 m before moves it.
TEST(TileGeometry, PlanExtentToleranceIsMeasuredInMetres)
{
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    ASSERT_TRUE(JobOf({Wall(0, 1000), Wall(-0.000005, 1)}).GetPlanExtent(x1, y1, x2, y2));
    EXPECT_EQ(x1, 0);
    ASSERT_TRUE(JobOf({Wall(0, 1000), Wall(-0.00002, 1)}).GetPlanExtent(x1, y1, x2, y2));
    EXPECT_EQ(x1, -0.00002);
}

TEST(TileGeometry, NoPlanExtentWithoutAVerticalTile)
{
    double x1 = 7, y1 = 7, x2 = 7, y2 = 7;
    EXPECT_FALSE(JobOf({MakeTile("", {0, 0, 0}, {2, 0, 0}, {0, 1, 0}, {2, 1, 0})}).GetPlanExtent(x1, y1, x2, y2));
    EXPECT_FALSE(JobOf({}).GetPlanExtent(x1, y1, x2, y2));
    EXPECT_EQ(x1 + y1 + x2 + y2, 28);
}

struct ExtentCase
{
    const char* name;
    OrtophotoDataPart tile;
    double minU, minV, maxU, maxV;
};

class TileExtent : public ::testing::TestWithParam<ExtentCase>
{};

TEST_P(TileExtent, GivesTheTilesRectangleInItsPlane)
{
    const ExtentCase& c = GetParam();
    double minU = 0, minV = 0, maxU = 0, maxV = 0;
    JobOf({c.tile}).GetTileExtentInPlane(0, minU, minV, maxU, maxV);
    EXPECT_NEAR(minU, c.minU, 1e-9);
    EXPECT_NEAR(minV, c.minV, 1e-9);
    EXPECT_NEAR(maxU, c.maxU, 1e-9);
    EXPECT_NEAR(maxV, c.maxV, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(
    Tiles, TileExtent,
    ::testing::Values(ExtentCase {"vertical", Wall(4, 6, 1, 3), 4, 1, 6, 3},
                      ExtentCase {"verticalOffPlanOrigin", MakeTile("", {4, 5, 1}, {6, 5, 1}, {4, 5, 3}, {6, 5, 3}), 4, 1, 6, 3},
                      ExtentCase {"horizontal", MakeTile("", {1, 2, 2}, {3, 2, 2}, {1, 5, 2}, {3, 5, 2}), 1, 2, 3, 5},
                      ExtentCase {"diagonal", MakeTile("", {3, 4, 0}, {6, 8, 0}, {3, 4, 2}, {6, 8, 2}), 5, 0, 10, 2},
                      ExtentCase {"collapsedBottomEdge", MakeTile("", {1, 0, 0}, {1, 0, 0}, {1, 2, 0}, {1, 2, 0}), 1, 0, 1, 2}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TileGeometry, MinimumExtentOverAllTiles)
{
    double minU = 99, minV = 99;
    JobOf({}).GetMinimumExtent(minU, minV);
    EXPECT_EQ(minU, 99);
    EXPECT_EQ(minV, 99);
    JobOf({Wall(4, 6, 3, 6), Wall(2, 4, 5, 6), Wall(6, 8, 4, 6)}).GetMinimumExtent(minU, minV);
    EXPECT_DOUBLE_EQ(minU, 2);
    EXPECT_DOUBLE_EQ(minV, 3);
}

}  // namespace
