#include <cmath>
#include <string>
#include <vector>

#include "API/Attributes.hpp"
#include "API/Database.hpp"
#include "WallFixture.hpp"

namespace
{

constexpr double Close = 1e-9;

struct PlanWall
{
    double bx, by, ex, ey;
};

void ExpectEnds(const API_WallType& wall, const PlanWall& expected, const std::string& name)
{
    EXPECT_NEAR(wall.begC.x, expected.bx, Close) << name;
    EXPECT_NEAR(wall.begC.y, expected.by, Close) << name;
    EXPECT_NEAR(wall.endC.x, expected.ex, Close) << name;
    EXPECT_NEAR(wall.endC.y, expected.ey, Close) << name;
}

double Direction(const API_WallType& wall) { return std::atan2(wall.endC.y - wall.begC.y, wall.endC.x - wall.begC.x); }

// The circle a curved wall lies on, from its chord and its arc angle
// (counter-clockwise from begin to end when positive), and the arc's middle.
struct Arc
{
    API_Coord centre;
    double radius;
    API_Coord middle;
};

Arc ArcOf(const API_WallType& wall)
{
    const double cx = wall.endC.x - wall.begC.x;
    const double cy = wall.endC.y - wall.begC.y;
    const double chord = std::hypot(cx, cy);
    const double along = chord / 2.0 / std::tan(wall.arcAngle / 2.0);
    const API_Coord centre {(wall.begC.x + wall.endC.x) / 2.0 - cy / chord * along,
                            (wall.begC.y + wall.endC.y) / 2.0 + cx / chord * along};
    const double half = wall.arcAngle / 2.0;
    const double bx = wall.begC.x - centre.x;
    const double by = wall.begC.y - centre.y;
    const API_Coord middle {centre.x + bx * std::cos(half) - by * std::sin(half),
                            centre.y + bx * std::sin(half) + by * std::cos(half)};
    return {centre, std::hypot(bx, by), middle};
}

}  // namespace

class WallTest : public WallFixture
{
protected:
    void CreateWith(std::int16_t option, const std::vector<API_Coord3D>& points)
    {
        ChooseOption(option);
        SetPoints(points);
        Main().CreateWall();
    }
};

TEST_F(WallTest, StraightWallRunsAlongTheMeasuredLineWithTheStationChoosingTheReferenceLine)
{
    struct Case
    {
        const char* name;
        API_Coord station, offset;
        std::int32_t referenceLine;
    };
    // Station positions are held with the location offset, the points without it.
    const Case cases[] = {
        {"station left", {2.0, 3.0}, {0.0, 0.0}, 0},           {"station right", {2.0, -3.0}, {0.0, 0.0}, 2},
        {"station on the line", {8.0, 0.0}, {0.0, 0.0}, 2},    {"right with offset", {102.0, 47.0}, {100.0, 50.0}, 2},
        {"left with offset", {102.0, 53.0}, {100.0, 50.0}, 0},
    };
    WallDefaults().wall.geometryKind = 1;
    WallDefaults().wall.flipped = true;
    WallDefaults().wall.profileCode = 3;
    for (const Case& c : cases)
    {
        Model().content.elements.clear();
        Model().content.locationOffset = c.offset;
        PlaceStation(c.station.x, c.station.y);
        CreateWith(14, {{0.0, 0.0, 1.2}, {4.0, 0.0, 1.4}});
        const auto walls = Walls();
        ASSERT_EQ(walls.size(), 1u) << c.name;
        ExpectEnds(walls[0], {0.0, 0.0, 4.0, 0.0}, c.name);
        EXPECT_EQ(walls[0].referenceLineCode, c.referenceLine) << c.name;
        EXPECT_EQ(walls[0].geometryKind, 1) << c.name;
        EXPECT_FALSE(walls[0].flipped) << c.name;
        EXPECT_EQ(walls[0].profileCode, 0) << c.name;
        EXPECT_EQ(Main().pointStep, 0) << c.name;
        EXPECT_TRUE(Main().elementCreated) << c.name;
    }
}

TEST_F(WallTest, ChainMeetsAtTheCrossingsOfConsecutiveLines)
{
    struct Case
    {
        const char* name;
        std::vector<API_Coord3D> points;
        bool closed;
        std::vector<PlanWall> walls;
    };
    const Case cases[] = {
        {"parallel lines keep their points", {{0, 0, 0}, {4, 0, 0}, {0, 2, 0}, {4, 2, 0}}, false, {{0, 0, 4, 0}, {0, 2, 4, 2}}},
        {"corner", {{0, 0, 0}, {4, 0, 0}, {5, 1, 0}, {5, 4, 0}}, false, {{0, 0, 5, 0}, {5, 0, 5, 4}}},
        {"first pair measured towards the start",
         {{4, 0, 0}, {0, 0, 0}, {5, 1, 0}, {5, 4, 0}},
         false,
         {{0, 0, 5, 0}, {5, 0, 5, 4}}},
        {"last pair measured towards the corner",
         {{0, 0, 0}, {4, 0, 0}, {5, 4, 0}, {5, 1, 0}},
         false,
         {{0, 0, 5, 0}, {5, 0, 5, 4}}},
        {"odd count: the last point only shapes the closing line",
         {{0, 0, 0}, {4, 0, 0}, {5, 1, 0}, {5, 4, 0}, {2, 6, 0}},
         false,
         {{0, 0, 5, 0}, {5, 0, 5, 4}}},
        {"six points, open",
         {{1, 0, 0}, {3, 0, 0}, {4, 1, 0}, {4, 3, 0}, {3, 3, 0}, {1, 1, 0}},
         false,
         {{1, 0, 4, 0}, {4, 0, 4, 4}, {4, 4, 1, 1}}},
        {"six points, closed at the crossing of the first and last line",
         {{1, 0, 0}, {3, 0, 0}, {4, 1, 0}, {4, 3, 0}, {3, 3, 0}, {1, 1, 0}},
         true,
         {{0, 0, 4, 0}, {4, 0, 4, 4}, {4, 4, 0, 0}}},
    };
    for (const Case& c : cases)
    {
        Model().content.elements.clear();
        Main().polygonFinish = c.closed;
        CreateWith(15, c.points);
        const auto walls = Walls();
        ASSERT_EQ(walls.size(), c.walls.size()) << c.name;
        for (std::size_t i = 0; i < walls.size(); ++i)
        {
            ExpectEnds(walls[i], c.walls[i], c.name + std::string(", wall ") + std::to_string(i));
            EXPECT_EQ(walls[i].profileCode, 0) << c.name;
        }
        EXPECT_EQ(Main().pointStep, 0) << c.name;
    }
}

TEST_F(WallTest, CurvedAndRoundWallsRunCounterClockwiseThroughTheThreePoints)
{
    const double r = std::sqrt(2.0);
    struct Case
    {
        const char* name;
        std::int16_t option;
        std::vector<API_Coord3D> points;
        PlanWall first;
        double angle;
        std::int32_t referenceLine;
    };
    // The station at the origin lies left of the line from point 0 to point 1
    // in the counter-clockwise cases: reference line 0 before any swap.
    const Case cases[] = {
        {"curved, counter-clockwise", 16, {{2, 0, 0}, {0, 2, 0}, {-2, 0, 0}}, {2, 0, -2, 0}, Pi, 0},
        {"curved, clockwise", 16, {{-2, 0, 0}, {0, 2, 0}, {2, 0, 0}}, {2, 0, -2, 0}, Pi, 0},
        {"round, counter-clockwise", 17, {{2, 0, 0}, {r, r, 0}, {0, 2, 0}}, {2, 0, 0, 2}, Pi / 2, 0},
        {"round, clockwise", 17, {{0, 2, 0}, {r, r, 0}, {2, 0, 0}}, {2, 0, 0, 2}, Pi / 2, 0},
    };
    WallDefaults().wall.geometryKind = 2;
    for (const Case& c : cases)
    {
        Model().content.elements.clear();
        Model().undoSteps.clear();
        CreateWith(c.option, c.points);
        const auto walls = Walls();
        ASSERT_EQ(walls.size(), c.option == 17 ? 2u : 1u) << c.name;
        ExpectEnds(walls[0], c.first, c.name);
        EXPECT_NEAR(walls[0].arcAngle, c.angle, Close) << c.name;
        for (const API_WallType& wall : walls)
        {
            EXPECT_EQ(wall.geometryKind, 0) << c.name;
            EXPECT_EQ(wall.referenceLineCode, c.referenceLine) << c.name;
            const Arc arc = ArcOf(wall);
            EXPECT_NEAR(arc.centre.x, 0.0, Close) << c.name;
            EXPECT_NEAR(arc.centre.y, 0.0, Close) << c.name;
            EXPECT_NEAR(arc.radius, 2.0, Close) << c.name;
        }
        EXPECT_EQ(Model().undoSteps.size(), 1u) << c.name;
        EXPECT_EQ(Main().pointStep, 0) << c.name;
    }
}

// The second half closes the circle: it starts where the first ends, ends where
// the first starts and covers the rest of the turn on the other side.
TEST_F(WallTest, RoundWallSecondHalfCompletesTheCircle)
{
    const double r = std::sqrt(2.0);
    CreateWith(17, {{2, 0, 0}, {r, r, 0}, {0, 2, 0}});
    const auto walls = Walls();
    ASSERT_EQ(walls.size(), 2u);
    ExpectEnds(walls[1], {0, 2, 2, 0}, "second half");
    EXPECT_NEAR(walls[0].arcAngle + walls[1].arcAngle, 2 * Pi, Close);
    EXPECT_GT(walls[1].arcAngle, 0.0);
    EXPECT_NEAR(ArcOf(walls[0]).middle.x, r, Close);
    EXPECT_NEAR(ArcOf(walls[0]).middle.y, r, Close);
    EXPECT_NEAR(ArcOf(walls[1]).middle.x, -r, Close);
    EXPECT_NEAR(ArcOf(walls[1]).middle.y, -r, Close);
}

TEST_F(WallTest, InclinedWallStandsWhereItsFaceMeetsTheBase)
{
    const double root3 = std::sqrt(3.0);
    struct Case
    {
        const char* name;
        double bottomOffset;
        std::vector<API_Coord3D> points;
        PlanWall wall;
        double slant;
    };
    const Case cases[] = {
        {"leaning away", 0.0, {{0, 0, 0}, {1, 0, 0}, {0, 1, 1}}, {0, 0, 1, 0}, Pi / 4},
        {"leaning the other way", 0.0, {{0, 0, 0}, {1, 0, 0}, {0, -1, 1}}, {0, 0, 1, 0}, 3 * Pi / 4},
        {"face measured above its base", 0.0, {{0, 0, 2}, {2, 0, 2}, {0, 1, 3}}, {0, -2, 2, -2}, Pi / 4},
        {"base at the bottom offset", 1.0, {{0, 0, 1}, {3, 0, 1}, {0, 1, 1 + root3}}, {0, 0, 3, 0}, Pi / 3},
        {"upright", 0.0, {{0, 0, 0}, {2, 0, 0}, {0, 0, 3}}, {0, 0, 2, 0}, Pi / 2},
        // The face z = -y of the second case, measured otherwise: it leans the same way.
        {"third point below the base", 0.0, {{0, 0, 0}, {1, 0, 0}, {0, 1, -1}}, {0, 0, 1, 0}, 3 * Pi / 4},
        {"third point below the first two", 0.0, {{0, -1, 1}, {1, -1, 1}, {0, -0.5, 0.5}}, {0, 0, 1, 0}, 3 * Pi / 4},
    };
    for (const Case& c : cases)
    {
        Model().content.elements.clear();
        WallDefaults().wall.bottomOffset = c.bottomOffset;
        CreateWith(18, c.points);
        const auto walls = Walls();
        ASSERT_EQ(walls.size(), 1u) << c.name;
        ExpectEnds(walls[0], c.wall, c.name);
        EXPECT_NEAR(walls[0].slantAngle, c.slant, Close) << c.name;
        EXPECT_EQ(walls[0].profileCode, 3) << c.name;
        EXPECT_NEAR(walls[0].arcAngle, 0.0, Close) << c.name;
        EXPECT_EQ(Main().pointStep, 0) << c.name;
    }
}

TEST_F(WallTest, PointsThatGiveNoWallMakeNothingAndEndTheAction)
{
    struct Case
    {
        const char* name;
        std::int16_t option;
        std::vector<API_Coord3D> points;
    };
    const Case cases[] = {
        {"straight, one place", 14, {{1, 1, 0}, {1, 1, 2}}},
        {"chain, a pair at one place", 15, {{0, 0, 0}, {4, 0, 0}, {5, 1, 0}, {5, 1, 0}}},
        {"curved, on one line", 16, {{0, 0, 0}, {1, 1, 0}, {3, 3, 0}}},
        {"curved, two at one place", 16, {{0, 0, 0}, {0, 0, 0}, {3, 1, 0}}},
        {"round, first and last at one place", 17, {{0, 0, 0}, {2, 1, 0}, {0, 0, 0}}},
        {"inclined, on one line", 18, {{0, 0, 0}, {1, 0, 1}, {2, 0, 2}}},
        {"inclined, level face", 18, {{0, 0, 1}, {1, 0, 1}, {0, 1, 1}}},
        {"inclined, base line points at one place", 18, {{0, 0, 0}, {0, 0, 2}, {1, 0, 1}}},
        {"round, points too far apart for numbers", 17, {{-1.7e308, 0, 0}, {0, 1.7e308, 0}, {1.7e308, 0, 0}}},
        {"curved, points too far apart for numbers", 16, {{-1.7e308, 0, 0}, {0, 1.7e308, 0}, {1.7e308, 0, 0}}},
        {"inclined, points too far apart for numbers", 18, {{-1.7e308, 0, 0}, {1.7e308, 0, 1}, {0, 1.7e308, 1.7e308}}},
        {"straight, ends too far apart for a length", 14, {{1e308, 1e308, 0}, {-1e308, -1e308, 0}}},
        {"chain, ends too far apart for a length", 15, {{1e308, 0, 0}, {-1e308, 0, 0}, {-1e308, 1, 0}, {1e308, 1, 0}}},
    };
    for (const Case& c : cases)
    {
        CreateWith(c.option, c.points);
        EXPECT_TRUE(Walls().empty()) << c.name;
        EXPECT_TRUE(Model().undoSteps.empty()) << c.name;
        EXPECT_EQ(Main().pointStep, 0) << c.name;
        EXPECT_EQ(GetOwnChangeCounter(), 0) << c.name;
    }
}

TEST_F(WallTest, SnapTurnsStraightInclinedAndChainWallsOntoTheNearStep)
{
    SetItem(26, 1.0);
    const double length = 5.0;
    const auto towards = [length](double degrees) {
        return API_Coord3D {1.0 + length * std::cos(degrees * Degree), 2.0 + length * std::sin(degrees * Degree), 0.0};
    };
    struct Case
    {
        double measured, built;
    };
    const Case cases[] = {{0.6, 0.0}, {-0.4, 0.0}, {29.5, 30.0}, {44.4, 45.0}, {89.3, 90.0}, {37.0, 37.0}, {135.8, 135.0}};
    for (const Case& c : cases)
    {
        Model().content.elements.clear();
        CreateWith(14, {{1.0, 2.0, 0.0}, towards(c.measured)});
        ASSERT_EQ(Walls().size(), 1u) << c.measured;
        EXPECT_NEAR(Direction(Walls()[0]), c.built * Degree, 1e-9) << c.measured;
        EXPECT_NEAR(Walls()[0].begC.x, 1.0, Close);
        EXPECT_NEAR(Walls()[0].begC.y, 2.0, Close);
    }

    Model().content.elements.clear();
    CreateWith(18, {{1.0, 2.0, 0.0}, towards(30.7), {1.0, 2.0, 3.0}});
    ASSERT_EQ(Walls().size(), 1u);
    EXPECT_NEAR(Direction(Walls()[0]), 30.0 * Degree, 1e-9);

    // Each pair is turned about its first point before the corners are found.
    Model().content.elements.clear();
    CreateWith(15, {{0, 0, 0}, {4, 0.05, 0}, {6, 1, 0}, {6.04, 4, 0}});
    ASSERT_EQ(Walls().size(), 2u);
    ExpectEnds(Walls()[0], {0, 0, 6, 0}, "chain wall 0");
    ExpectEnds(Walls()[1], {6, 0, 6, 1 + std::sqrt(9.0016)}, "chain wall 1");
}

TEST_F(WallTest, EachRunIsOneUndoStep)
{
    Main().polygonFinish = true;
    CreateWith(15, {{1, 0, 0}, {3, 0, 0}, {4, 1, 0}, {4, 3, 0}, {3, 3, 0}, {1, 1, 0}});
    EXPECT_EQ(Walls().size(), 3u);
    EXPECT_EQ(Model().undoSteps.size(), 1u);
    EXPECT_EQ(GetOwnChangeCounter(), 0);
    ASSERT_TRUE(Model().Undo());
    EXPECT_TRUE(Walls().empty());
}

TEST_F(WallTest, RefusedLayerMakesNoCommand)
{
    Model().content.layers[WallDefaults().header.layer].flags |= APILay_Hidden;
    CreateWith(14, {{0, 0, 0}, {4, 0, 0}});
    EXPECT_TRUE(Walls().empty());
    EXPECT_TRUE(Model().undoSteps.empty());
    EXPECT_EQ(Main().pointStep, 0);
}

// Outside the floor plan each half of a round wall moves to the storey of its
// middle height and keeps its place in space.
TEST_F(WallTest, RoundWallHalvesBothFitTheirStorey)
{
    Model().content.storeyLevels[1] = 3.0;
    Model().frontWindow = APIWind_SectionID;
    Model().currentDatabase.typeID = APIWind_SectionID;
    WallDefaults().wall.bottomOffset = 3.5;
    WallDefaults().wall.height = 3.0;
    const double r = std::sqrt(2.0);
    CreateWith(17, {{2, 0, 0}, {r, r, 0}, {0, 2, 0}});
    ASSERT_EQ(Walls().size(), 2u);
    for (const SimHost::StoredElement& e : Model().content.elements)
    {
        EXPECT_EQ(e.record.header.floorInd, 1);
        EXPECT_NEAR(e.record.wall.bottomOffset, 0.5, Close);
    }
}
