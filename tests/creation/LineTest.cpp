#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "CreationFixture.hpp"
#include "ViewElement.hpp"
#include "measuring/MeasuringState.hpp"

// Lines, hotspots and level dimensions on measured points, and the points taken
// into the plane of a section, elevation or interior elevation in front.

namespace
{

constexpr double Tol = 1e-6;
constexpr std::int16_t AngleSnapItem = 26;

}  // namespace

class LineTest : public CreationFixture
{
protected:
    // A view element with two main-line points per segment and its distance line
    // 1 m beside the first segment, on the side the view looks at.
    API_Guid AddView(API_ElemTypeID type, const std::vector<API_Coord>& line, bool left)
    {
        SimHost::StoredElement view = ViewElementAlong(Model(), type, line);
        const double dx = line[1].x - line[0].x, dy = line[1].y - line[0].y;
        const double length = std::hypot(dx, dy);
        const double side = length > 0.0 ? (left ? 1.0 : -1.0) / length : 0.0;
        for (std::size_t i = 0; i < 2; ++i) view.memo.sectionDistCoords.push_back({line[i].x - dy * side, line[i].y + dx * side});
        Model().content.elements.push_back(view);
        return view.record.header.guid;
    }

    void ShowView(std::int32_t window, const API_Guid& element, std::int32_t segment = 0)
    {
        Model().frontWindow = window;
        Model().currentDatabase = API_DatabaseInfo {};
        Model().currentDatabase.typeID = window;
        Model().currentDatabase.elementGuid = element;
        Model().currentDatabase.segmentNumber = segment;
    }
};

TEST_F(LineTest, ALineRunsBetweenTwoPointsAndSnapsAboutItsBegin)
{
    struct Case
    {
        const char* name;
        bool snap;
        API_Coord end;
    };
    const Case cases[] = {
        {"29.5° snapped to 30°", true, {4.330127, 2.5}},
        {"29.5° kept", false, {5 * std::cos(29.5 * Degree), 5 * std::sin(29.5 * Degree)}},
    };
    for (const Case& c : cases)
    {
        Model().content.elements.clear();
        SetItem(AngleSnapItem, c.snap ? 1.0 : 0.0);
        SetPoints({{0, 0, 1}, {5 * std::cos(29.5 * Degree), 5 * std::sin(29.5 * Degree), 1}});
        Main().CreateLine();
        const API_LineType line = OnlyElement(API_LineID).line;
        EXPECT_NEAR(line.begC.x, 0.0, Tol) << c.name;
        EXPECT_NEAR(line.begC.y, 0.0, Tol) << c.name;
        EXPECT_NEAR(line.endC.x, c.end.x, Tol) << c.name;
        EXPECT_NEAR(line.endC.y, c.end.y, Tol) << c.name;
        EXPECT_EQ(Main().pointStep, 0) << c.name;
    }
}

// The level is the absolute measured height, shown in both notes as metres.
TEST_F(LineTest, ALevelDimensionShowsTheMeasuredHeight)
{
    Model().content.storeyLevels[1] = 3.0;
    ToolDefaults(API_LevelDimensionID).header.floorInd = 1;
    ToolDefaults(API_LevelDimensionID).levelDimension.note1.contentSetting = 7;
    std::strcpy(ToolDefaults(API_LevelDimensionID).levelDimension.note2.content, "alt");
    SetPoints({{1, 2, 4.25}});
    Main().CreateLevelDimension();
    const API_LevelDimensionType dimension = OnlyElement(API_LevelDimensionID).levelDimension;
    EXPECT_NEAR(dimension.position.x, 1.0, Tol);
    EXPECT_NEAR(dimension.position.y, 2.0, Tol);
    EXPECT_DOUBLE_EQ(dimension.level, 4.25);
    EXPECT_STREQ(dimension.note1.content, "4.250");
    EXPECT_STREQ(dimension.note2.content, "4.250");
    EXPECT_EQ(dimension.note1.contentSetting, 0);
    EXPECT_EQ(dimension.note2.contentSetting, 0);
    EXPECT_EQ(dimension.markerSetting, 0);
    EXPECT_TRUE(dimension.customText);
    EXPECT_EQ(dimension.head.floorInd, 1);
    EXPECT_EQ(Host().Fact("element 1"), "level-dimension (1,2) level 4.25 notes \"4.250\" \"4.250\" storey 1 layer 1");
    EXPECT_EQ(Main().pointStep, 0);
}

// x along the section line from the foot of the project origin, y the height.
TEST_F(LineTest, PointsTakeTheViewsCoordinates)
{
    struct Case
    {
        const char* name;
        API_ElemTypeID type;
        std::int32_t window;
        std::vector<API_Coord> line;
        bool left;
        std::int32_t segment;
        API_Coord3D point, expected;
    };
    const Case cases[] = {
        {"section seen from the left", API_CutPlaneID, APIWind_SectionID, {{0, 0}, {10, 0}}, true, 0, {3, 5, 2}, {3, 2, 2}},
        {"section seen from the right", API_CutPlaneID, APIWind_SectionID, {{0, 0}, {10, 0}}, false, 0, {3, 5, 2}, {-3, 2, 2}},
        {"elevation off the origin", API_ElevationID, APIWind_ElevationID, {{2, -1}, {2, 9}}, true, 0, {7, 4, 1}, {4, 1, 1}},
        {"elevation seen from the other side",
         API_ElevationID,
         APIWind_ElevationID,
         {{2, -1}, {2, 9}},
         false,
         0,
         {7, 4, 1},
         {-4, 1, 1}},
        {"behind the origin's foot", API_CutPlaneID, APIWind_SectionID, {{0, 0}, {10, 0}}, true, 0, {-2, 1, 0.5}, {-2, 0.5, 0.5}},
        // The distance line lies beside the first segment: left of it, it is right of the second one.
        {"interior elevation, second segment",
         API_InteriorElevationID,
         APIWind_InteriorElevationID,
         {{0, 0}, {10, 0}, {10, 8}},
         true,
         1,
         {7, 3, 1.5},
         {-3, 1.5, 1.5}},
    };
    for (const Case& c : cases)
    {
        Model().content.elements.clear();
        ShowView(c.window, AddView(c.type, c.line, c.left), c.segment);
        SetPoints({c.point});
        Main().ProjectPointsToSectionView();
        ASSERT_EQ(Main().actionPoints.GetSize(), 1u) << c.name;
        EXPECT_NEAR(Main().actionPoints[0].x, c.expected.x, Tol) << c.name;
        EXPECT_NEAR(Main().actionPoints[0].y, c.expected.y, Tol) << c.name;
        EXPECT_NEAR(Main().actionPoints[0].z, c.expected.z, Tol) << c.name;
        EXPECT_EQ(Main().pointStep, 0) << c.name;
        EXPECT_EQ(Model().currentDatabase.typeID, c.window) << c.name << ": the view is current again";
    }
}

// A point picked in a section-type view goes back onto its section line, and its
// y less the station's height is the height "Shot 3D" keeps; "Shot 2D" keeps the
// palette's height.
TEST_F(LineTest, ShotsInAViewTakeTheirPointsBackOntoTheSectionLine)
{
    struct Case
    {
        const char* name;
        std::vector<API_Coord> line;
        bool left, takeHeight;
        API_Coord3D expected;
    };
    const Case cases[] = {
        {"shot 3D, seen from the left", {{0, 0}, {10, 0}}, true, true, {3, 0, 1.0}},
        {"shot 3D, seen from the right", {{0, 0}, {10, 0}}, false, true, {-3, 0, 1.0}},
        {"shot 3D, elevation off the origin", {{2, -1}, {2, 9}}, true, true, {2, 3, 1.0}},
        {"shot 2D", {{0, 0}, {10, 0}}, true, false, {3, 0, 0.2}},
    };
    measuringState.stationZ = 0.5;
    for (const Case& c : cases)
    {
        Model().content.elements.clear();
        ShowView(APIWind_SectionID, AddView(API_CutPlaneID, c.line, c.left));
        SetItem(65, 0.2);
        Host().inputAnswers_ = {SimHost::InputAnswer::Picked({3, 1.5, 0})};
        Main().ShootPickedPoints(c.takeHeight);
        EXPECT_NEAR(measuringState.measuredX, c.expected.x, Tol) << c.name;
        EXPECT_NEAR(measuringState.measuredY, c.expected.y, Tol) << c.name;
        EXPECT_NEAR(measuringState.measuredZ, c.expected.z, Tol) << c.name;
        EXPECT_NEAR(Main().MainPaletteItemValue(65), c.expected.z, Tol) << c.name;
        EXPECT_EQ(Model().currentDatabase.typeID, APIWind_SectionID) << c.name << ": the view is current again";
    }
}

// Without a view of an element, or without the segment it shows, the points stay.
TEST_F(LineTest, PointsStayWithoutASectionLine)
{
    struct Case
    {
        const char* name;
        std::int32_t window;
        std::vector<API_Coord> line;
        std::int32_t segment;
        bool withElement;
    };
    const Case cases[] = {
        {"floor plan", APIWind_FloorPlanID, {{0, 0}, {10, 0}}, 0, true},
        {"3D window", APIWind_3DModelID, {{0, 0}, {10, 0}}, 0, true},
        {"section without its element", APIWind_SectionID, {{0, 0}, {10, 0}}, 0, false},
        {"segment beyond the main line", APIWind_InteriorElevationID, {{0, 0}, {10, 0}, {10, 8}}, 5, true},
        {"section line of no length", APIWind_SectionID, {{3, 3}, {3, 3}}, 0, true},
    };
    for (const Case& c : cases)
    {
        Model().content.elements.clear();
        const API_ElemTypeID type = c.window == APIWind_InteriorElevationID ? API_InteriorElevationID : API_CutPlaneID;
        const API_Guid view = AddView(type, c.line, true);
        ShowView(c.window, c.withElement ? view : APINULLGuid, c.segment);
        SetPoints({{3, 5, 2}});
        Main().ProjectPointsToSectionView();
        EXPECT_EQ(Main().actionPoints[0].x, 3.0) << c.name;
        EXPECT_EQ(Main().actionPoints[0].y, 5.0) << c.name;
        EXPECT_EQ(Main().pointStep, 0) << c.name;
    }
}

// Hotspots, lines and circles measured with a view in front are drawn in it.
TEST_F(LineTest, DrawingsMeasuredInAViewLandInItsPlane)
{
    const API_Guid elevation = AddView(API_ElevationID, {{0, 0}, {10, 0}}, true);
    ShowView(APIWind_ElevationID, elevation);

    SetPoints({{3, 5, 2}});
    Main().CreateHotspot();
    EXPECT_EQ(Host().Fact("element 2"), "hotspot (3,2) height 0 storey 0 layer 1 in elevation of element 1");

    SetPoints({{1, 4, 0.5}, {6, 9, 0.5}});
    Main().CreateLine();
    EXPECT_EQ(Host().Fact("element 3"), "line (1,0.5)-(6,0.5) storey 0 layer 1 in elevation of element 1");

    SetItem(14, 1.0);
    SetPoints({{1, 7, 1}, {2, 7, 2}, {3, 7, 1}});
    Main().CreateCircleOrArc();
    EXPECT_EQ(Host().Fact("element 4"), "circle (2,1) r 1 0..6.28319 storey 0 layer 1 in elevation of element 1");
    EXPECT_EQ(Main().pointStep, 0);
}
