#include <cmath>
#include <string>
#include <vector>

#include "AttributeServices.hpp"
#include "ClosedOutline.hpp"
#include "ElementServices.hpp"
#include "Host.hpp"
#include "InterfaceServices.hpp"
#include "LibraryServices.hpp"
#include "MorphBodies.hpp"
#include "ServiceTable.hpp"
#include "WallFixture.hpp"
#include "creation/WallOpenings.hpp"

// Selected walls changed by measured points: a thickness, a trapezoid and a
// point of the outline; a wall that is replaced keeps its windows and doors.

namespace
{

constexpr double Tol = 1e-9;

struct WallShape
{
    API_Coord begin {0, 0}, end {4, 0};
    double thickness = 0.3;
    std::int32_t referenceLine = 0;
    bool flipped = false;
    double arcAngle = 0.0;
    double slantAngle = Pi / 2;
    std::vector<API_Coord> outline {};  // a polygonal wall's corners
};

std::string OutlineText(const std::vector<API_Coord>& coords)
{
    std::string text;
    char point[64];
    for (std::size_t i = 1; i < coords.size(); ++i)
    {
        std::snprintf(point, sizeof point, "%s(%.4g, %.4g)", text.empty() ? "" : " ", coords[i].x + 0.0, coords[i].y + 0.0);
        text += point;
    }
    return text;
}

// The host's creation refused for one element type, served as it is for the others.
HostServiceSignature::HostCreateElement realCreate = nullptr;
API_ElemTypeID refusedType = 0;
GSErrCode CreateRefusedForOneType(HostToken token, API_Element* element, API_ElementMemo* memo)
{
    return element->header.typeID == refusedType ? APIERR_REFUSEDCMD : realCreate(token, element, memo);
}

}  // namespace

class WallChangeTest : public WallFixture
{
protected:
    API_Guid AddWall(const WallShape& shape)
    {
        API_Element wall;
        wall.header.typeID = API_WallID;
        HostGetElementDefaults(&wall, nullptr);
        wall.wall.begC = shape.begin;
        wall.wall.endC = shape.end;
        wall.wall.thickness = wall.wall.thickness1 = shape.thickness;
        wall.wall.referenceLineCode = shape.referenceLine;
        wall.wall.flipped = shape.flipped;
        wall.wall.arcAngle = shape.arcAngle;
        wall.wall.slantAngle = shape.slantAngle;
        API_ElementMemo memo;
        if (!shape.outline.empty()) MakePolygonalWall(wall, memo, shape.outline);
        EXPECT_EQ(Undoable([&] { return HostCreateElement(&wall, &memo); }), NoError);
        return wall.header.guid;
    }

    // A window (or door) 1.0 wide at its position along a straight wall, or at
    // its start point in a polygonal one.
    API_Guid AddOpening(const API_Guid& wall, API_ElemTypeID type, double position, bool referenceSide = false,
                        API_Coord start = {}, API_Coord direction = {0, 1})
    {
        API_Element opening;
        opening.header.typeID = type;
        HostGetElementDefaults(&opening, nullptr);
        opening.window.owner = wall;
        opening.window.width = 1.0;
        opening.window.height = 1.2;
        opening.window.position = position;
        opening.window.referenceSide = referenceSide;
        opening.window.startPoint = start;
        opening.window.direction = direction;
        API_ElementMemo memo;
        API_AddParType parameter;
        std::snprintf(parameter.name, sizeof parameter.name, "A");
        parameter.value = position + 0.5;
        memo.params.push_back(parameter);
        EXPECT_EQ(Undoable([&] { return HostCreateElement(&opening, &memo); }), NoError);
        return opening.header.guid;
    }

    GSErrCode Undoable(const std::function<GSErrCode()>& body) { return HostCallUndoableCommand(GS::UniString(), body); }

    void Select(const std::vector<API_Guid>& guids)
    {
        Model().selection.clear();
        for (const API_Guid& guid : guids) Model().selection.push_back({1, guid, 0});
    }

    const SimHost::StoredElement& OnlyWall()
    {
        const SimHost::StoredElement* found = nullptr;
        for (const SimHost::StoredElement& e : Model().content.elements)
            if (e.record.header.typeID == API_WallID) found = &e;
        EXPECT_EQ(Walls().size(), 1u);
        return *found;
    }

    std::vector<API_WindowType> Openings(API_ElemTypeID type)
    {
        std::vector<API_WindowType> openings;
        for (const API_Element& e : ElementsOfType(type)) openings.push_back(e.window);
        return openings;
    }

    void Measure(std::int16_t mode, const std::vector<API_Coord3D>& points)
    {
        Main().measuringMode = mode;
        SetPoints(points);
        if (mode == 23) Main().SetWallThickness();
        if (mode == 24) Main().SetTrapezoidWallThickness();
        if (mode == 47) Main().AddPointToPolygonWall();
    }

    // From now on the host refuses to create elements of that type (0: none).
    void RefuseCreation(API_ElemTypeID type)
    {
        refusedType = type;
        if (realCreate != nullptr) return;
        SimHost::FillFrameServices(table_);
        SimHost::FillElementServices(table_);
        SimHost::FillMorphBodyServices(table_);
        SimHost::FillModuleDataServices(table_);
        SimHost::FillPaletteServices(table_);
        SimHost::FillAttributeServices(table_);
        SimHost::FillLibraryServices(table_);
        SimHost::FillInterfaceServices(table_);
        realCreate = reinterpret_cast<HostServiceSignature::HostCreateElement>(
            table_[static_cast<std::size_t>(HostSlot::HostCreateElement)]);
        SIMHOST_SET_SERVICE(table_, HostCreateElement, CreateRefusedForOneType);
        AddOnInterface::SetServiceTable(&table_);
    }

    void TearDown() override
    {
        realCreate = nullptr;
        refusedType = 0;
        WallFixture::TearDown();
    }

    // The wall replaced, in one command, by a polygonal wall with that outline,
    // as the tools that change walls replace it.
    void Rebuild(API_Element wall, const std::vector<API_Coord>& outline)
    {
        API_ElementMemo memo;
        ASSERT_EQ(Undoable([&] {
                      WallOpeningList openings;
                      CollectWallOpenings(wall, openings);
                      EXPECT_EQ(HostDeleteElements(&wall.header, 1), NoError);
                      API_Element rebuilt = wall;
                      rebuilt.header.guid = APINULLGuid;
                      MakePolygonalWall(rebuilt, memo, outline);
                      EXPECT_EQ(HostCreateElement(&rebuilt, &memo), NoError);
                      wall.header.guid = rebuilt.header.guid;
                      return RecreateWallOpenings(wall, openings);
                  }),
                  NoError);
    }

private:
    HostServiceTable table_ {};
};

TEST_F(WallChangeTest, ThicknessReachesTheMeasuredPointFromTheReferenceLine)
{
    struct Case
    {
        const char* name;
        WallShape wall;
        API_Coord3D point;
        double thickness;
        std::int32_t referenceLine;
    };
    const double r = 4.8 / std::sqrt(2.0), R = 5.2 / std::sqrt(2.0);
    const WallShape curved {{5, 0}, {0, 5}, 0.3, 0, false, Pi / 2};
    const Case cases[] = {
        {"point left of a straight wall", {}, {1, 0.3, 0}, 0.3, 2},
        {"point right of a straight wall", {}, {1, -0.3, 0}, 0.3, 0},
        {"inside a counter-clockwise curved wall", curved, {r, r, 0}, 0.2, 2},
        {"outside a counter-clockwise curved wall", curved, {R, R, 0}, 0.2, 0},
    };
    for (const Case& c : cases)
    {
        Model().content.elements.clear();
        const API_Guid wall = AddWall(c.wall);
        Model().Find(wall)->record.wall.geometryKind = 1;
        Select({wall});
        const std::size_t steps = Model().undoSteps.size();
        Measure(23, {c.point});
        const API_WallType& changed = OnlyWall().record.wall;
        EXPECT_NEAR(changed.thickness, c.thickness, 1e-9) << c.name;
        EXPECT_EQ(changed.referenceLineCode, c.referenceLine) << c.name;
        EXPECT_EQ(changed.geometryKind, 0) << c.name;
        EXPECT_EQ(Model().undoSteps.size(), steps + 1) << c.name;
        EXPECT_EQ(Main().measuringMode, 0) << c.name;
        EXPECT_EQ(Main().pointStep, 0) << c.name;
    }
}

TEST_F(WallChangeTest, ThicknessChangesEverySelectedUprightWallTheUserMayEdit)
{
    const API_Guid first = AddWall({});
    WallShape sloping;
    sloping.slantAngle = 1.2;
    const API_Guid leaning = AddWall(sloping);
    const API_Guid locked = AddWall({});
    Model().Find(locked)->record.header.lockId = 1;
    WallShape other;
    other.begin = {0, 2};
    other.end = {4, 2};
    const API_Guid second = AddWall(other);
    Select({first, leaning, locked, second});
    Measure(23, {{1, 1, 0}});
    EXPECT_NEAR(Model().Find(first)->record.wall.thickness, 1.0, Tol);
    EXPECT_NEAR(Model().Find(second)->record.wall.thickness, 1.0, Tol);
    EXPECT_EQ(Model().Find(second)->record.wall.referenceLineCode, 0);
    EXPECT_NEAR(Model().Find(leaning)->record.wall.thickness, 0.3, Tol) << "a sloping wall stays";
    EXPECT_NEAR(Model().Find(locked)->record.wall.thickness, 0.3, Tol) << "a locked wall stays";
}

// The measured line runs from 0.15 at the wall's begin to 0.55 at its end, on the
// side opposite to where the unflipped outside reference line has the body.
TEST_F(WallChangeTest, ATrapezoidMakesAPolygonalWallThatKeepsItsWindow)
{
    const API_Guid wall = AddWall({});
    AddOpening(wall, API_WindowID, 1.0);
    Select({wall});
    const std::size_t steps = Model().undoSteps.size();
    Main().SetMainPaletteItemValue(24, 1.0);
    Measure(24, {{0.5, 0.2, 0}, {3.5, 0.5, 0}});

    const SimHost::StoredElement& rebuilt = OnlyWall();
    EXPECT_NE(rebuilt.record.header.guid, wall);
    EXPECT_EQ(rebuilt.record.wall.geometryKind, 2);
    EXPECT_TRUE(rebuilt.record.wall.flipped);
    EXPECT_NEAR(rebuilt.record.wall.thickness, 0.15, Tol);
    EXPECT_NEAR(rebuilt.record.wall.thickness1, 0.55, Tol);
    EXPECT_EQ(OutlineText(rebuilt.memo.coords), "(0, 0.15) (4, 0.55) (4, 0) (0, 0) (0, 0.15)");
    EXPECT_EQ(rebuilt.record.wall.poly.nCoords, 5);
    EXPECT_EQ(rebuilt.record.wall.poly.nSubPolys, 1);
    EXPECT_EQ(rebuilt.record.wall.poly.nArcs, 0);

    // The window stood at (1, 0); in the frame of the first edge, whose angle is
    // atan(0.1), it starts there and runs across the old wall's line.
    const std::vector<API_WindowType> windows = Openings(API_WindowID);
    ASSERT_EQ(windows.size(), 1u);
    const double a = std::atan(0.1);
    EXPECT_EQ(windows[0].owner, rebuilt.record.header.guid);
    EXPECT_NEAR(windows[0].startPoint.x, std::cos(a) - 0.15 * std::sin(a), Tol);
    EXPECT_NEAR(windows[0].startPoint.y, -std::sin(a) - 0.15 * std::cos(a), Tol);
    EXPECT_NEAR(windows[0].direction.x, std::sin(a), Tol);
    EXPECT_NEAR(windows[0].direction.y, std::cos(a), Tol);
    EXPECT_EQ(Model().undoSteps.size(), steps + 1) << "one step";
    EXPECT_EQ(Main().MainPaletteItemValue(24), 0.0);
    EXPECT_EQ(Main().measuringMode, 0);
}

// The trapezoid of the measured line runs from 0.15 thick at the begin to 0.55 at
// the end; the first edge of its outline is the far face from (0, 0.15) to
// (4, 0.55), at the angle a = atan(0.1). At 0.6 the wall is 0.21 thick, at 2.0
// 0.35: an opening on the far side starts on that face, its reveal no deeper.
TEST_F(WallChangeTest, AnOpeningOnATrapezoidsFarSideStartsOnItsFace)
{
    struct Case
    {
        const char* name;
        double position;
        bool referenceSide;
        double revealDepth;
        API_Coord start;
        double keptReveal;
    };
    const double r = std::sqrt(1.01);
    const Case cases[] = {
        {"far side, mid-wall", 2.0, true, 0.1, {2.02 / r, 0.0}, 0.1},
        {"far side, the reveal deeper than the wall there", 0.6, true, 0.25, {0.606 / r, 0.0}, 0.21},
        {"near side, the reveal deeper than the wall there", 0.6, false, 0.25, {0.585 / r, -0.21 / r}, 0.21},
    };
    for (const Case& c : cases)
    {
        Model().content.elements.clear();
        const API_Guid wall = AddWall({});
        const API_Guid window = AddOpening(wall, API_WindowID, c.position, c.referenceSide);
        Model().Find(window)->record.window.revealDepth = c.revealDepth;
        Select({wall});
        Main().SetMainPaletteItemValue(24, 1.0);
        Measure(24, {{0.5, 0.2, 0}, {3.5, 0.5, 0}});
        ASSERT_EQ(OutlineText(OnlyWall().memo.coords), "(0, 0.15) (4, 0.55) (4, 0) (0, 0) (0, 0.15)") << c.name;
        const std::vector<API_WindowType> windows = Openings(API_WindowID);
        ASSERT_EQ(windows.size(), 1u) << c.name;
        const double sign = c.referenceSide ? -1.0 : 1.0;
        EXPECT_NEAR(windows[0].startPoint.x, c.start.x, 1e-9) << c.name;
        EXPECT_NEAR(windows[0].startPoint.y, c.start.y, 1e-9) << c.name;
        EXPECT_NEAR(windows[0].direction.x, sign * 0.1 / r, 1e-9) << c.name;
        EXPECT_NEAR(windows[0].direction.y, sign * 1.0 / r, 1e-9) << c.name;
        EXPECT_NEAR(windows[0].revealDepth, c.keptReveal, 1e-9) << c.name;
    }
}

TEST_F(WallChangeTest, TrapezoidsThatChangeNothingOrOnlyTheThickness)
{
    struct Case
    {
        const char* name;
        WallShape wall;
        API_Coord3D p0, p1;
        double thickness;
        std::int32_t kind;
    };
    WallShape polygonal;
    polygonal.outline = {{0, 0}, {4, 0}, {4, -0.3}, {0, -0.3}};
    const Case cases[] = {
        {"distances within the tolerance: a plain wall of their mean", {}, {1, 0.3, 0}, {3, 0.305, 0}, 0.3025, 0},
        {"a polygonal wall", polygonal, {1, 0.3, 0}, {3, 0.8, 0}, 0.3, 2},
        {"a measured line square to the wall", {}, {1, 0.2, 0}, {1, 0.6, 0}, 0.3, 0},
    };
    for (const Case& c : cases)
    {
        Model().content.elements.clear();
        const API_Guid wall = AddWall(c.wall);
        Select({wall});
        const std::string outline = OutlineText(Model().Find(wall)->memo.coords);
        Measure(24, {c.p0, c.p1});
        const SimHost::StoredElement& after = OnlyWall();
        EXPECT_EQ(after.record.header.guid, wall) << c.name;
        EXPECT_NEAR(after.record.wall.thickness, c.thickness, Tol) << c.name;
        EXPECT_EQ(after.record.wall.geometryKind, c.kind) << c.name;
        EXPECT_EQ(OutlineText(after.memo.coords), outline) << c.name;
    }
}

// A refused step of the replacement undoes the whole command: the wall and its
// openings stay as they were, none is lost and none doubled.
TEST_F(WallChangeTest, ARefusedReplacementLeavesTheWallAndItsOpenings)
{
    struct Case
    {
        const char* name;
        API_ElemTypeID refused;
        bool heldByAnother;
        std::int16_t mode;
    };
    const Case cases[] = {
        {"new wall refused, trapezoid", API_WallID, false, 24},
        {"new window refused, trapezoid", API_WindowID, false, 24},
        {"new door refused, polygon point", API_DoorID, false, 47},
        {"deletion refused, polygon point", 0, true, 47},
    };
    for (const Case& c : cases)
    {
        Host().NewProject();
        RefuseCreation(0);
        const API_Guid wall = AddWall({});
        AddOpening(wall, API_WindowID, 1.0);
        AddOpening(wall, API_DoorID, 2.5);
        Select({wall});
        RefuseCreation(c.refused);
        if (c.heldByAnother)
        {
            Host().project_.teamwork.SetCurrentUser(1, "Anna");
            Host().project_.teamwork.Hold(wall, Host().project_.teamwork.SomeoneElse());
        }
        const std::size_t steps = Model().undoSteps.size();
        Measure(c.mode, {{0.5, 0.2, 0}, {3.5, 0.5, 0}});
        EXPECT_EQ(Walls().size(), 1u) << c.name;
        ASSERT_NE(Model().Find(wall), nullptr) << c.name;
        EXPECT_EQ(Model().Find(wall)->record.wall.geometryKind, 0) << c.name;
        EXPECT_EQ(Openings(API_WindowID).size(), 1u) << c.name;
        EXPECT_EQ(Openings(API_DoorID).size(), 1u) << c.name;
        EXPECT_EQ(Model().undoSteps.size(), steps) << c.name;
    }
}

// Openings in a straight wall rebuilt with an outline from the wall's begin:
// along the wall, or with the first edge turned by 30°.
TEST_F(WallChangeTest, OpeningsTakeTheFrameOfTheNewOutlinesFirstEdge)
{
    struct Case
    {
        const char* name;
        std::vector<API_Coord> outline;
        bool referenceSide;
        API_Coord start, direction;
    };
    const double c30 = std::sqrt(3.0) / 2;
    const Case cases[] = {
        {"along the wall", {{0, 0}, {4, 0}, {4, -0.3}, {0, -0.3}}, false, {1, 0}, {0, 1}},
        {"reference side, across the body", {{0, 0}, {4, 0}, {4, -0.3}, {0, -0.3}}, true, {1, -0.3}, {0, -1}},
        {"first edge at 30°", {{0, 0}, {2 * c30, 1}, {4, 0}, {4, -0.3}, {0, -0.3}}, false, {c30, -0.5}, {0.5, c30}},
    };
    for (const Case& c : cases)
    {
        Model().content.elements.clear();
        const API_Guid wall = AddWall({});
        AddOpening(wall, API_WindowID, 1.0, c.referenceSide);
        API_Element old;
        old.header.guid = wall;
        ASSERT_EQ(HostGetElement(&old), NoError);
        Rebuild(old, c.outline);
        const std::vector<API_WindowType> windows = Openings(API_WindowID);
        ASSERT_EQ(windows.size(), 1u) << c.name;
        EXPECT_NEAR(windows[0].startPoint.x, c.start.x, 1e-6) << c.name;
        EXPECT_NEAR(windows[0].startPoint.y, c.start.y, 1e-6) << c.name;
        EXPECT_NEAR(windows[0].direction.x, c.direction.x, 1e-6) << c.name;
        EXPECT_NEAR(windows[0].direction.y, c.direction.y, 1e-6) << c.name;
    }
}

TEST_F(WallChangeTest, APolygonPointGoesIntoTheWallWhereItStandsAndTheNextIntoTheNewWall)
{
    const API_Guid wall = AddWall({});
    Select({wall});
    Main().measuringMode = 47;
    Measure(47, {{2, -0.5, 0}});
    const SimHost::StoredElement& first = OnlyWall();
    EXPECT_NE(first.record.header.guid, wall);
    EXPECT_EQ(first.record.wall.geometryKind, 2);
    EXPECT_EQ(OutlineText(first.memo.coords), "(0, 0) (4, 0) (4, -0.3) (2, -0.5) (0, -0.3) (0, 0)");
    ASSERT_EQ(Model().selection.size(), 1u);
    EXPECT_EQ(Model().selection[0].guid, first.record.header.guid) << "the new wall is selected";
    EXPECT_EQ(Main().measuringMode, 47) << "the mode stays on";

    Measure(47, {{4.5, -0.1, 0}});
    const SimHost::StoredElement& second = OnlyWall();
    EXPECT_EQ(OutlineText(second.memo.coords), "(0, 0) (4, 0) (4.5, -0.1) (4, -0.3) (2, -0.5) (0, -0.3) (0, 0)");
    EXPECT_EQ(second.record.wall.poly.nCoords, 7);
}

TEST_F(WallChangeTest, APolygonalWallsOpeningsKeepTheirPlaceWindowsFirst)
{
    WallShape polygonal;
    polygonal.outline = {{0, 0}, {4, 0}, {4, 0.3}, {0, 0.3}};
    const API_Guid wall = AddWall(polygonal);
    AddOpening(wall, API_DoorID, 0.0, false, {2.5, 0}, {0, 1});
    AddOpening(wall, API_WindowID, 0.0, false, {1.5, 0}, {0, 1});
    Select({wall});
    Measure(47, {{2, 0.6, 0}});

    const SimHost::StoredElement& rebuilt = OnlyWall();
    EXPECT_EQ(OutlineText(rebuilt.memo.coords), "(0, 0) (4, 0) (4, 0.3) (2, 0.6) (0, 0.3) (0, 0)");
    std::vector<API_Element> openings;
    for (const SimHost::StoredElement& e : Model().content.elements)
        if (e.record.header.typeID == API_WindowID || e.record.header.typeID == API_DoorID) openings.push_back(e.record);
    ASSERT_EQ(openings.size(), 2u);
    EXPECT_EQ(openings[0].header.typeID, API_WindowID) << "windows are made first";
    EXPECT_EQ(openings[0].window.startPoint.x, 1.5);
    EXPECT_EQ(openings[1].window.startPoint.x, 2.5);
    for (const API_Element& o : openings)
    {
        EXPECT_EQ(o.window.owner, rebuilt.record.header.guid);
        EXPECT_EQ(o.window.direction.y, 1.0);
    }
    // Each made again with its memo, its parameter script run and redrawn.
    const SimHost::StoredElement* window = Model().Find(openings[0].header.guid);
    ASSERT_EQ(window->memo.params.size(), 1u);
    EXPECT_EQ(window->parameterScriptRuns, 1);
    int redraws = 0;
    for (const std::string& line : Host().CallLog()) redraws += line.rfind("HostDatabaseRequest RFSH", 0) == 0 ? 1 : 0;
    EXPECT_EQ(redraws, 2);
}

// The polygonal wall (0,0) (4,0) (4,0.3) (0,0.3) holds a window at (1.5, 0) and
// a door at (2.5, 0), both across the wall. A point on the first edge makes the
// new first edge run to (2, -0.2): its frame is turned by -atan(0.1), and the
// openings' start points and directions in it follow so that in plan they stay.
// A point on the closing edge leaves the first edge as it was.
TEST_F(WallChangeTest, APolygonalWallsOpeningsStayInPlanWhenItsFirstEdgeChanges)
{
    struct Case
    {
        const char* name;
        API_Coord3D point;
        std::string outline;
        API_Coord windowStart, doorStart, direction;
    };
    const double r = std::sqrt(1.01);
    const Case cases[] = {
        {"a point on the first edge",
         {2, -0.2, 0},
         "(0, 0) (2, -0.2) (4, 0) (4, 0.3) (0, 0.3) (0, 0)",
         {1.5 / r, 0.15 / r},
         {2.5 / r, 0.25 / r},
         {-0.1 / r, 1.0 / r}},
        {"a point on the closing edge",
         {-0.2, 0.15, 0},
         "(0, 0) (4, 0) (4, 0.3) (0, 0.3) (-0.2, 0.15) (0, 0)",
         {1.5, 0},
         {2.5, 0},
         {0, 1}},
    };
    for (const Case& c : cases)
    {
        Model().content.elements.clear();
        WallShape polygonal;
        polygonal.outline = {{0, 0}, {4, 0}, {4, 0.3}, {0, 0.3}};
        const API_Guid wall = AddWall(polygonal);
        AddOpening(wall, API_WindowID, 0.0, false, {1.5, 0}, {0, 1});
        AddOpening(wall, API_DoorID, 0.0, false, {2.5, 0}, {0, 1});
        Select({wall});
        Measure(47, {c.point});
        ASSERT_EQ(OutlineText(OnlyWall().memo.coords), c.outline) << c.name;
        const std::vector<API_WindowType> windows = Openings(API_WindowID);
        const std::vector<API_WindowType> doors = Openings(API_DoorID);
        ASSERT_EQ(windows.size(), 1u) << c.name;
        ASSERT_EQ(doors.size(), 1u) << c.name;
        for (const auto& [opening, start] : {std::pair {windows[0], c.windowStart}, std::pair {doors[0], c.doorStart}})
        {
            EXPECT_NEAR(opening.startPoint.x, start.x, 1e-9) << c.name;
            EXPECT_NEAR(opening.startPoint.y, start.y, 1e-9) << c.name;
            EXPECT_NEAR(opening.direction.x, c.direction.x, 1e-9) << c.name;
            EXPECT_NEAR(opening.direction.y, c.direction.y, 1e-9) << c.name;
        }
    }
}

TEST_F(WallChangeTest, APolygonPointLeavesWallsItCannotTakeItIn)
{
    struct Case
    {
        const char* name;
        WallShape wall;
        std::vector<API_PolyArc> arcs;
        bool secondContour;
        int selected;
    };
    WallShape curved;
    curved.arcAngle = 0.5;
    WallShape polygonal;
    polygonal.outline = {{0, 0}, {4, 0}, {4, 0.3}, {0, 0.3}};
    const Case cases[] = {
        {"an outline with an arc", polygonal, {{2, 3, 0.4}}, false, 1},
        {"an outline with a hole", polygonal, {}, true, 1},
        {"a curved wall", curved, {}, false, 1},
        {"two walls selected", {}, {}, false, 2},
    };
    for (const Case& c : cases)
    {
        Model().content.elements.clear();
        const API_Guid wall = AddWall(c.wall);
        SimHost::StoredElement& stored = *Model().Find(wall);
        stored.memo.parcs = c.arcs;
        if (c.secondContour)
        {
            for (const API_Coord& p : std::vector<API_Coord> {{1, 0.1}, {2, 0.1}, {2, 0.2}, {1, 0.1}})
                stored.memo.coords.push_back(p);
            stored.memo.pends.push_back(9);
        }
        const SimHost::StoredElement before = stored;
        Select(c.selected == 2 ? std::vector<API_Guid> {wall, AddWall({})} : std::vector<API_Guid> {wall});
        Measure(47, {{2, 0.6, 0}});
        const SimHost::StoredElement* after = Model().Find(wall);
        ASSERT_NE(after, nullptr) << c.name;
        EXPECT_EQ(OutlineText(after->memo.coords), OutlineText(before.memo.coords)) << c.name;
        EXPECT_EQ(after->memo.parcs.size(), before.memo.parcs.size()) << c.name;
    }
}
