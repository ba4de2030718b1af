#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <random>
#include <vector>

#include "pointclouds/PointThinning.hpp"

namespace
{

struct ThinningCase
{
    const char* name;
    PointThinning thinning;
};

// Points at random distances from the scanner at (1, 2, 3), from 0 to 50 m, so that
// every band of 6, 12 and 36 m and the space beyond get points.
std::vector<API_Coord3D> RandomPoints(std::mt19937& random, std::size_t count)
{
    std::uniform_real_distribution<double> distance(0.0, 50.0), direction(-1.0, 1.0);
    std::vector<API_Coord3D> points;
    for (std::size_t i = 0; i < count; ++i)
    {
        API_Coord3D d {direction(random), direction(random), direction(random)};
        const double length = std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z) + 1e-9;
        const double r = distance(random);
        points.push_back({1 + d.x / length * r, 2 + d.y / length * r, 3 + d.z / length * r});
    }
    return points;
}

// A cloud cut into runs of random length: each run tallied gives the level counts
// that its points one by one give, and the thinning that skips it goes on as the one
// that took its points one by one.
TEST(PointThinning, TalliedRunsGiveTheLevelsOfPointsTakenOneByOne)
{
    const ThinningCase cases[] = {
        {"none", PointThinning::None()},
        {"byIndex", PointThinning::ByIndex()},
        {"byDistance", PointThinning::ByDistance({1, 2, 3}, 6, 12, 36)},
        {"byDistanceWithoutFirstBand", PointThinning::ByDistance({1, 2, 3}, 0, 12, 36)},
    };
    std::mt19937 random(20261211);
    for (const ThinningCase& c : cases)
    {
        const std::vector<API_Coord3D> points = RandomPoints(random, 5000);
        PointThinning oneByOne = c.thinning, tallied = c.thinning;
        std::uniform_int_distribution<std::size_t> runLength(0, 37);
        std::size_t at = 0;
        while (at < points.size())
        {
            const std::size_t end = std::min(points.size(), at + runLength(random));
            PointThinning::Tally tally;
            std::array<std::uint64_t, PointThinning::MaxLevels> expected {};
            for (std::size_t i = at; i < end; ++i)
            {
                tallied.Count(points[i], tally);
                ++expected[oneByOne.NextLevel(points[i])];
            }
            ASSERT_EQ(tallied.LevelCounts(tally), expected) << c.name << " run at " << at;
            tallied.Skip(tally);
            at = end;
        }
        for (const API_Coord3D& point : RandomPoints(random, 64))
            ASSERT_EQ(tallied.NextLevel(point), oneByOne.NextLevel(point)) << c.name;
    }
}

}  // namespace
