#include <cmath>
#include <vector>

#include "CreationFixture.hpp"
#include "ElementBoxes.hpp"
#include "ShellElements.hpp"
#include "UndoableCommand.hpp"
#include "measuring/MeasuringState.hpp"

// Vaults between two walls: the ruled shell between two measured arches and the
// half-cylinder along a measured axis, and the nearest-point search it snaps with.

namespace
{

constexpr double Tol = 1e-6;

struct WallLine
{
    API_Coord begin, end;
    bool flipped = false;
    std::int32_t referenceLine = 0;
};

}  // namespace

class ShellBetweenWalls : public CreationFixture
{
protected:
    void SetUp() override
    {
        CreationFixture::SetUp();
        measuringState = MeasuringState {};
        Host().SelectTool(API_ShellID, 0);
    }
    void AddWall(const WallLine& line)
    {
        API_Element wall;
        wall.header.typeID = API_WallID;
        ASSERT_EQ(HostGetElementDefaults(&wall, nullptr), NoError);
        wall.wall.begC = line.begin;
        wall.wall.endC = line.end;
        wall.wall.flipped = line.flipped;
        wall.wall.referenceLineCode = line.referenceLine;
        wall.wall.thickness = wall.wall.thickness1 = 0.25;
        wall.wall.height = 3.0;
        wall.wall.bottomOffset = 0.0;
        wall.wall.arcAngle = 0.0;
        ASSERT_EQ(InUndoableCommand([&] { return HostCreateElement(&wall, nullptr); }), NoError);
    }
    const SimHost::StoredElement* Shell()
    {
        for (const SimHost::StoredElement& e : Model().content.elements)
            if (e.record.header.typeID == API_ShellID) return &e;
        return nullptr;
    }
};

TEST_F(ShellBetweenWalls, RuledShellFootPointOnTheFaceTheLocatingPointSees)
{
    struct Case
    {
        bool flipped;
        std::int32_t code;
        double locatingY;
        double footY;
    };
    const std::vector<Case> cases {
        {false, 0, -0.3, -0.25}, {false, 0, 0.3, 0.0},  {true, 2, -0.3, -0.25},
        {true, 0, 0.3, 0.25},    {false, 2, 0.3, 0.25}, {false, 1, -0.3, 0.0},
    };
    for (const Case& c : cases)
    {
        Model().content.elements.clear();
        AddWall({{0, 0}, {4, 0}, c.flipped, c.code});
        AddWall({{0, 6}, {4, 6}});
        SetPoints({{0, c.locatingY, 1},
                   {0, c.locatingY, 2},
                   {1, c.locatingY, 3},
                   {2, c.locatingY, 2},
                   {0, 6.1, 1},
                   {0, 6.1, 2},
                   {1, 6.1, 3},
                   {2, 6.1, 2}});
        Main().CreateRuledShellBetweenWalls();
        ExpectActionEmptied();
        const SimHost::StoredElement* shell = Shell();
        ASSERT_NE(shell, nullptr);
        const API_RuledShellData& ruled = shell->record.shell.ruled;
        EXPECT_EQ(shell->record.shell.shellClass, 2);
        EXPECT_NEAR(ruled.plane1[3], 0.0, Tol) << c.code;
        EXPECT_NEAR(ruled.plane1[7], c.footY, Tol) << c.flipped << " " << c.code << " " << c.locatingY;
    }
}

TEST_F(ShellBetweenWalls, RuledShellArchRunsUpThroughItsMiddlePoint)
{
    AddWall({{0, 0}, {4, 0}});
    AddWall({{0, 6}, {4, 6}});
    SetPoints({{0, 0, 0}, {0, 0, 2}, {1, 0, 3}, {2, 0, 2}, {0, 6, 0}, {0, 6, 2}, {1, 6, 3}, {2, 6, 2}});
    Main().CreateRuledShellBetweenWalls();
    const SimHost::StoredElement* shell = Shell();
    ASSERT_NE(shell, nullptr);
    ASSERT_EQ(shell->shell.shapes.size(), 2u);
    for (const SimHost::ShellPolygon& shape : shell->shell.shapes)
    {
        EXPECT_NEAR(shape.coords[1].x, 0.0, Tol);
        EXPECT_NEAR(shape.coords[1].y, 2.0, Tol);
        EXPECT_NEAR(shape.coords[2].x, 2.0, Tol);
        EXPECT_NEAR(shape.arcs[0].arcAngle, -Pi, Tol);
    }
    API_Box3D box {};
    ASSERT_TRUE(SimHost::ElementBox(*shell, 0.0, box));
    EXPECT_NEAR(box.zMax, 3.0, 1e-9);
    EXPECT_NEAR(box.zMin, 2.0, 1e-9);
}

TEST_F(ShellBetweenWalls, RuledShellWithoutItsSecondWallMakesNothing)
{
    AddWall({{0, 0}, {4, 0}});
    SetPoints({{0, 0, 0}, {0, 0, 2}, {1, 0, 3}, {2, 0, 2}, {-3, 6, 0}, {-3, 6, 2}, {-2, 6, 3}, {-1, 6, 2}});
    Main().CreateRuledShellBetweenWalls();
    EXPECT_EQ(Shell(), nullptr);
    ExpectActionEmptied();
}

TEST_F(ShellBetweenWalls, ExtrudedShellSpansTheOutlineAndKeepsItsCrownAsDefault)
{
    AddWall({{0, 0}, {6, 0}});
    AddWall({{6, 4}, {0, 4}});
    SetPoints({{1, 0, 1}, {5, 4, 1}, {1, 2, 0}, {5, 2, 0}, {2, 0, 3}, {3, 2, 5}, {4, 4, 3}});
    Main().CreateExtrudedShellFittedToWalls();
    ExpectActionEmptied();
    const SimHost::StoredElement* shell = Shell();
    ASSERT_NE(shell, nullptr);
    const API_ShellType& s = shell->record.shell;
    EXPECT_EQ(s.shellClass, 0);
    EXPECT_NEAR(s.level, 5.0, Tol);
    EXPECT_NEAR(s.basePlane[11], 5.0, Tol);
    EXPECT_NEAR(s.extruded.begC.x, 0.0, Tol);
    EXPECT_NEAR(s.extruded.begC.y, 2.0, Tol);
    EXPECT_NEAR(s.extruded.extrudedDirection.x, 6.0, Tol);
    EXPECT_NEAR(s.extruded.extrudedDirection.y, 0.0, Tol);
    EXPECT_NEAR(shell->shell.shapes[0].coords[1].x, -2.0, Tol);
    EXPECT_NEAR(shell->shell.shapes[0].coords[2].x, 2.0, Tol);
    const std::vector<API_Coord> outline {{6, 0}, {0, 0}, {0, 4}, {6, 4}, {6, 0}};
    const SimHost::ShellPolygon& contour = shell->shell.contours.at(0);
    ASSERT_EQ(contour.coords.size(), outline.size() + 1);
    for (std::size_t i = 0; i < outline.size(); ++i)
    {
        EXPECT_NEAR(contour.coords[i + 1].x, outline[i].x, Tol) << i;
        EXPECT_NEAR(contour.coords[i + 1].y, outline[i].y, Tol) << i;
    }
    EXPECT_NEAR(ToolDefaults(API_ShellID).shell.level, 5.0, Tol);
    API_Box3D box {};
    ASSERT_TRUE(SimHost::ElementBox(*shell, 0.0, box));
    EXPECT_NEAR(box.zMax, 5.0, 1e-9);
    EXPECT_NEAR(box.xMin, 0.0, 1e-9);
    EXPECT_NEAR(box.xMax, 6.0, 1e-9);
}

TEST_F(ShellBetweenWalls, ExtrudedShellCompletesTwoWallsMeetingInACorner)
{
    for (const bool turned : {false, true})
    {
        Model().content.elements.clear();
        AddWall(turned ? WallLine {{6, 0}, {0, 0}} : WallLine {{0, 0}, {6, 0}});
        AddWall(turned ? WallLine {{0, 4}, {0, 0}} : WallLine {{0, 0}, {0, 4}});
        SetPoints({{3, 0, 1}, {0, 2, 1}, {1, 2, 0}, {5, 2, 0}, {2, 0, 3}, {3, 2, 5}, {4, 4, 3}});
        Main().CreateExtrudedShellFittedToWalls();
        const SimHost::StoredElement* shell = Shell();
        ASSERT_NE(shell, nullptr) << turned;
        const std::vector<API_Coord> outline {{6, 0}, {0, 0}, {0, 4}, {6, 4}, {6, 0}};
        const SimHost::ShellPolygon& contour = shell->shell.contours.at(0);
        ASSERT_EQ(contour.coords.size(), outline.size() + 1);
        for (std::size_t i = 0; i < outline.size(); ++i)
        {
            EXPECT_NEAR(contour.coords[i + 1].x, outline[i].x, Tol) << turned << i;
            EXPECT_NEAR(contour.coords[i + 1].y, outline[i].y, Tol) << turned << i;
        }
    }
}

TEST_F(ShellBetweenWalls, ExtrudedShellWithoutWallsStillEmptiesTheAction)
{
    SetPoints({{1, 0, 1}, {5, 4, 1}, {1, 2, 0}, {5, 2, 0}, {2, 0, 3}, {3, 2, 5}, {4, 4, 3}});
    Main().CreateExtrudedShellFittedToWalls();
    EXPECT_EQ(Shell(), nullptr);
    ExpectActionEmptied();
}

TEST(NearestPointIndex, EarlierOfEqualDistancesAndTheExcludedIndex)
{
    TypVektor<API_Coord> points;
    for (const API_Coord& p : {API_Coord {0, 0}, API_Coord {1, 0}, API_Coord {1, 0}}) points.Add(p);
    struct Case
    {
        API_Coord point;
        std::int32_t excluded, expected;
    };
    for (const Case& c : {Case {{0.9, 0}, -1, 1}, Case {{0.9, 0}, 1, 2}, Case {{-1, 0}, -1, 0}, Case {{-1, 0}, 0, 1}})
        EXPECT_EQ(Survanto::NearestPointIndex(c.point, points, c.excluded), c.expected) << c.point.x << " " << c.excluded;
}
