#include <cmath>

#include "CreationFixture.hpp"
#include "DG/DG.hpp"
#include "measuring/MeasuringState.hpp"

// Columns by the five constructions; the tool's defaults: 0.5 x 0.5, 3 m high,
// upright, on storey 0 (level 0) and layer 1.

namespace
{

constexpr double Tol = 1e-9;

struct Expected
{
    double x, y, rotation;
};

void ExpectPlace(const API_ColumnType& column, const Expected& expected, const char* name)
{
    EXPECT_NEAR(column.origin.x, expected.x, Tol) << name;
    EXPECT_NEAR(column.origin.y, expected.y, Tol) << name;
    EXPECT_NEAR(column.axisRotationAngle, expected.rotation, Tol) << name;
}

}  // namespace

class ColumnTest : public CreationFixture
{
protected:
    API_ColumnType Create()
    {
        Model().undoSteps.clear();
        Model().content.elements.clear();
        Main().CreateColumn();
        return OnlyElement(API_ColumnID).column;
    }

    void ExpectNothingCreated(const char* name)
    {
        EXPECT_TRUE(ElementsOfType(API_ColumnID).empty()) << name;
        EXPECT_TRUE(Model().undoSteps.empty()) << name;
        EXPECT_EQ(Main().pointStep, 0) << name;
        EXPECT_FALSE(Main().elementCreated) << name;
    }
};

TEST_F(ColumnTest, UprightRectangularFootprintRunsBackFromTheCorner)
{
    struct Case
    {
        const char* name;
        API_Coord3D p0, p1, p2;
        Expected expected;
    };
    const Case cases[] = {
        {"corner beyond P1", {0, 0, 0}, {2, 0, 0}, {3, 1, 0}, {2.75, 0.25, 0}},
        {"corner between P0 and P1", {0, 0, 0}, {2, 0, 0}, {1, -1, 0}, {0.75, -0.25, 0}},
        {"corner behind P0", {0, 0, 0}, {2, 0, 0}, {-1, 1, 0}, {-0.75, 0.25, 0}},
        {"corner at P0", {0, 0, 0}, {2, 0, 0}, {0, 1, 0}, {0, 0.25, 0}},
        {"P2 on the face line", {0, 0, 0}, {2, 0, 0}, {3, 0, 0}, {2.75, 0, 0}},
        {"face along y", {1, 1, 5}, {1, 3, 5}, {0, 2, 5}, {0.75, 1.75, Pi / 2}},
    };
    ChooseOption(14);
    for (const Case& c : cases)
    {
        SetPoints({c.p0, c.p1, c.p2});
        const API_ColumnType column = Create();
        ExpectPlace(column, c.expected, c.name);
        EXPECT_FALSE(column.slanted) << c.name;
        EXPECT_FALSE(column.circleBased) << c.name;
        EXPECT_EQ(Main().pointStep, 0) << c.name;
        EXPECT_EQ(Model().undoSteps.size(), 1u) << c.name;
    }
    const API_ColumnType& defaults = ToolDefaults(API_ColumnID).column;
    EXPECT_NEAR(defaults.axisRotationAngle, Pi / 2, Tol);
    EXPECT_DOUBLE_EQ(defaults.width, 0.5);
    EXPECT_TRUE(Main().elementCreated);
    EXPECT_EQ(Main().toolOptions, (std::array<std::int16_t, 5> {1, 0, 0, 0, 0}));
}

TEST_F(ColumnTest, AngleSnapTurnsTheMeasuredRotationButKeepsTheOrigin)
{
    ChooseOption(14);
    SetItem(26, 1.0);
    SetPoints({{0, 0, 0}, {2, 0.02, 0}, {2, 1, 0}});
    const API_ColumnType column = Create();
    EXPECT_NEAR(column.axisRotationAngle, 0.0, Tol);
    const double v = std::atan2(0.02, 2.0);
    const double along = std::cos(v) * 2.0 + std::sin(v) * 1.0;
    const double cornerX = std::cos(v) * along, cornerY = std::sin(v) * along;
    const double nx = 2.0 - cornerX, ny = 1.0 - cornerY, n = std::hypot(nx, ny);
    EXPECT_NEAR(column.origin.x, cornerX - std::cos(v) * 0.25 + nx / n * 0.25, Tol);
    EXPECT_NEAR(column.origin.y, cornerY - std::sin(v) * 0.25 + ny / n * 0.25, Tol);
}

TEST_F(ColumnTest, RoundColumnThroughThreePointsKeepsItsDiameterAsDefault)
{
    ChooseOption(15);
    SetPoints({{3, 2, 0}, {2, 3, 0}, {1, 2, 0}});
    const API_ColumnType column = Create();
    EXPECT_TRUE(column.circleBased);
    EXPECT_NEAR(column.origin.x, 2.0, Tol);
    EXPECT_NEAR(column.origin.y, 2.0, Tol);
    EXPECT_NEAR(column.width, 2.0, Tol);
    EXPECT_NEAR(column.depth, 2.0, Tol);
    EXPECT_TRUE(Main().circleFitOk);
    EXPECT_NEAR(Main().scratchPoints[0].x, 2.0, Tol);
    const API_ColumnType& defaults = ToolDefaults(API_ColumnID).column;
    EXPECT_TRUE(defaults.circleBased);
    EXPECT_NEAR(defaults.width, 2.0, Tol);
}

TEST_F(ColumnTest, SlantedColumnFromTwoFaces)
{
    ChooseOption(16);
    // Upright: faces y = 0 and x = 0 meet in the z axis.
    SetPoints({{1, 0, 0}, {2, 0, 0}, {1, 0, 1}, {0, 1, 0}, {0, 2, 1}});
    API_ColumnType column = Create();
    ExpectPlace(column, {0.25, 0.25, 0}, "upright");
    EXPECT_TRUE(column.slanted);
    EXPECT_NEAR(column.slantAngle, Pi / 2, Tol);
    EXPECT_NEAR(column.slantDirectionAngle, 0.0, Tol);

    // Leaning 45° towards +x: faces y = 0 and x = z.
    SetPoints({{2, 0, 0}, {3, 0, 0}, {2, 0, 1}, {0, 1, 0}, {1, 1, 1}});
    column = Create();
    ExpectPlace(column, {0.25 * std::sqrt(2.0), 0.25, Pi / 2}, "leaning");
    EXPECT_NEAR(column.slantAngle, Pi / 4, Tol);
    EXPECT_NEAR(column.slantDirectionAngle, -Pi / 2, Tol);
    const API_ColumnType& defaults = ToolDefaults(API_ColumnID).column;
    EXPECT_TRUE(defaults.slanted);
    EXPECT_NEAR(defaults.slantAngle, Pi / 4, Tol);
    EXPECT_NEAR(defaults.slantDirectionAngle, -Pi / 2, Tol);
    EXPECT_NEAR(defaults.axisRotationAngle, Pi / 2, Tol);
}

TEST_F(ColumnTest, SlantedColumnFromAnEdgeIsPlacedByTheAnchor)
{
    struct Case
    {
        const char* name;
        std::int16_t anchor;
        API_Coord3D p0, p1;
        double bottomOffset;
        Expected expected;
        double slantAngle, slantDirection;
    };
    const double h = 0.25 * std::sqrt(2.0);
    const Case cases[] = {
        {"upright, middle", 0, {1, 2, 0}, {1, 2, 3}, 0, {1, 2, 0}, Pi / 2, 0},
        {"upright, corner 1", 1, {1, 2, 0}, {1, 2, 3}, 0, {1.25, 1.75, 0}, Pi / 2, 0},
        {"upright, corner 8", 8, {1, 2, 0}, {1, 2, 3}, 0, {0.75, 2.25, 0}, Pi / 2, 0},
        {"leaning, corner 3", 3, {0, 0, 0}, {1, 0, 1}, 0, {-h, 0.25, 0}, Pi / 4, -Pi / 2},
        {"measured downwards", 3, {1, 0, 1}, {0, 0, 0}, 0, {-h, 0.25, 0}, Pi / 4, -Pi / 2},
        {"raised bottom plane", 0, {0, 0, 0}, {1, 0, 1}, 1, {1, 0, 0}, Pi / 4, -Pi / 2},
    };
    ChooseOption(17);
    for (const Case& c : cases)
    {
        ChooseAnchor(c.anchor);
        ToolDefaults(API_ColumnID).column.bottomOffset = c.bottomOffset;
        SetPoints({c.p0, c.p1});
        const API_ColumnType column = Create();
        ExpectPlace(column, c.expected, c.name);
        EXPECT_EQ(column.anchor, c.anchor) << c.name;
        EXPECT_NEAR(column.slantAngle, c.slantAngle, Tol) << c.name;
        EXPECT_NEAR(column.slantDirectionAngle, c.slantDirection, Tol) << c.name;
    }
}

TEST_F(ColumnTest, OnePointColumnTurnsTheAnchorOffsetByTheToolsRotation)
{
    API_ColumnType& defaults = ToolDefaults(API_ColumnID).column;
    defaults.width = 0.6;
    defaults.depth = 0.4;
    defaults.axisRotationAngle = Pi / 2;
    ChooseOption(18);
    SetPoints({{5, 5, 0}});

    ChooseAnchor(0);
    ExpectPlace(Create(), {5, 5, Pi / 2}, "middle");
    ChooseAnchor(1);
    ExpectPlace(Create(), {5.2, 5.3, Pi / 2}, "corner 1");
    ChooseAnchor(7);
    ExpectPlace(Create(), {4.8, 5.0, Pi / 2}, "edge 7");
    EXPECT_NEAR(ToolDefaults(API_ColumnID).column.axisRotationAngle, Pi / 2, Tol);
}

TEST_F(ColumnTest, OnePointColumnAfterASlantedOneIsSlantedToo)
{
    ChooseAnchor(0);
    ChooseOption(17);
    SetPoints({{0, 0, 0}, {1, 0, 1}});
    Create();
    ChooseOption(18);
    SetPoints({{5, 5, 0}});
    const API_ColumnType column = Create();
    EXPECT_TRUE(column.slanted);
    EXPECT_NEAR(column.slantAngle, Pi / 4, Tol);
}

TEST_F(ColumnTest, DegenerateConstructionsCreateNothing)
{
    struct Case
    {
        const char* name;
        std::int16_t option;
        std::vector<API_Coord3D> points;
    };
    const Case cases[] = {
        {"round column through three points on one line", 15, {{0, 0, 0}, {1, 1, 0}, {2, 2, 0}}},
        {"first face from three points on one line", 16, {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {0, 1, 0}, {0, 2, 1}}},
        {"second face direction along the first face's normal", 16, {{1, 0, 0}, {2, 0, 0}, {1, 0, 1}, {0, 1, 0}, {0, 2, 0}}},
        {"faces meeting in a horizontal edge", 16, {{0, 0, 0}, {1, 0, 0}, {0, 1, 1}, {0, 0, 0}, {1, 0, 0}}},
        {"horizontal edge", 17, {{0, 0, 1}, {1, 0, 1}}},
        {"one point twice", 17, {{1, 1, 1}, {1, 1, 1}}},
        {"too few points", 16, {{1, 0, 0}, {2, 0, 0}}},
        {"upright, points too far apart for numbers", 14, {{-1.7e308, 0, 0}, {1.7e308, 0, 0}, {0, 1, 0}}},
        {"round, points too far apart for numbers", 15, {{-1.7e308, 0, 0}, {0, 1.7e308, 0}, {1.7e308, 0, 0}}},
        {"slanted from an edge, points too far apart for numbers", 17, {{-1.7e308, 0, -1.7e308}, {1.7e308, 0, 1.7e308}}},
    };
    ChooseAnchor(0);
    for (const Case& c : cases)
    {
        ChooseOption(c.option);
        Main().actionPoints.Clear();
        for (const API_Coord3D& p : c.points) Main().actionPoints.Add(p);
        Main().pointStep = static_cast<std::int16_t>(c.points.size());
        Model().undoSteps.clear();
        Main().CreateColumn();
        ExpectNothingCreated(c.name);
    }
    EXPECT_FALSE(ToolDefaults(API_ColumnID).column.circleBased);
    EXPECT_FALSE(ToolDefaults(API_ColumnID).column.slanted);
}

TEST_F(ColumnTest, OneUndoStepThatUndoesTheColumnAndLeavesTheOwnChangeCounter)
{
    ChooseAnchor(0);
    ChooseOption(18);
    SetPoints({{1, 1, 0}});
    const std::int32_t counter = GetOwnChangeCounter();
    Main().CreateColumn();
    EXPECT_EQ(GetOwnChangeCounter(), counter);
    ASSERT_EQ(Model().undoSteps.size(), 1u);
    EXPECT_EQ(ElementsOfType(API_ColumnID).size(), 1u);
    EXPECT_TRUE(Model().Undo());
    EXPECT_TRUE(ElementsOfType(API_ColumnID).empty());
}

TEST_F(ColumnTest, ARefusedCreationSetsNoFlagAndFitsNothing)
{
    ToolDefaults(API_ColumnID).header.floorInd = 4;
    Model().frontWindow = APIWind_3DModelID;
    Model().currentDatabase.typeID = APIWind_3DModelID;
    ChooseAnchor(0);
    ChooseOption(18);
    SetPoints({{1, 1, 0}});
    Main().CreateColumn();
    ExpectNothingCreated("no such storey");
    EXPECT_EQ(Model().currentDatabase.typeID, APIWind_3DModelID);
}

TEST_F(ColumnTest, MeasuredPointsEndInOneColumn)
{
    Host().SelectTool(API_ColumnID);
    Main().currentTool = API_ColumnID;
    Main().measuringMode = 14;
    Main().pointStep = 1;
    ChooseOption(14);
    for (const API_Coord3D& p : {API_Coord3D {0, 0, 1}, API_Coord3D {2, 0, 1}, API_Coord3D {3, 1, 1}})
    {
        measuringState.measuredX = p.x;
        measuringState.measuredY = p.y;
        measuringState.measuredZ = p.z;
        Main().OnMeasuredPoint(10);
    }
    ExpectPlace(OnlyElement(API_ColumnID).column, {2.75, 0.25, 0}, "measured");
    EXPECT_EQ(Model().undoSteps.size(), 1u);
    EXPECT_TRUE(Main().elementCreated);
}

TEST_F(ColumnTest, AnchorPopupGivesAnchorNumberAndHostCode)
{
    const std::int32_t hostCodes[] = {0, 1, 2, 3, 5, 6, 7, 8};
    for (std::int16_t anchor = 1; anchor <= 8; ++anchor)
    {
        ChooseAnchor(anchor);
        std::int16_t number = 0;
        std::int32_t code = 4;
        Main().GetSelectedAnchor(&number, &code);
        EXPECT_EQ(number, anchor);
        EXPECT_EQ(code, hostCodes[anchor - 1]);
    }
    ChooseAnchor(0);
    std::int16_t number = -1;
    std::int32_t code = 4;
    Main().GetSelectedAnchor(&number, &code);
    EXPECT_EQ(number, -1);
    EXPECT_EQ(code, 4);
}
