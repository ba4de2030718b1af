// The rules that place a measured window or door, on measurement records alone:
// sizes, sill, reveal depth, the reveal type and the part's parameters, the face
// points of polygonal walls and the door's swing.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "creation/OpeningRules.hpp"
#include "creation/WallFacePoints.hpp"

namespace
{

constexpr double Pi = 3.14159265358979323846;
constexpr double Tol = 1e-9;

Geometry::Polygon2DData Outline(const std::vector<Geometry::Point2<double>>& corners)
{
    Geometry::Polygon2DData polygon;
    polygon.vertices.push_back({});
    polygon.vertices.insert(polygon.vertices.end(), corners.begin(), corners.end());
    polygon.vertices.push_back(corners.front());
    polygon.contourEnds = {0, static_cast<std::int32_t>(corners.size() + 1)};
    return polygon;
}

// The last value written to a parameter, none when the placement leaves it.
std::optional<double> Written(const OpeningPlacement& placement, const std::string& name)
{
    std::optional<double> value;
    for (const auto& [written, v] : placement.parameters)
        if (written == name) value = v;
    return value;
}

// A straight wall from (-1, 0) to (4, 0), 0.3 thick, its body right of the
// reference line on its outside face, on a storey at level 0; the station north
// of it, inside. Diagonal points (0, 0, 1.00) and (1.20, 0, 2.30); 0.10 of the
// reveal measured (item 34).
OpeningMeasurement StraightWindow()
{
    OpeningMeasurement m;
    m.p0 = {0.0, 0.0, 1.0};
    m.p1 = {1.2, 0.0, 2.3};
    m.station = {0.6, 5.0};
    m.palette.diagonalPoints = true;
    m.palette.revealDepthLeft = 0.1;
    m.wall.begC = {-1.0, 0.0};
    m.wall.endC = {4.0, 0.0};
    m.wall.thickness = m.wall.thickness1 = 0.3;
    m.wall.height = 3.0;
    m.positionAlongWall = 1.6;
    m.defaultSillHeight = 0.9;
    m.defaultHeight = 1.5;
    return m;
}

// A polygonal wall along x, its outer face at y = 0 and its inner face at y = 0.3.
const std::vector<Geometry::Point2<double>> OuterFaceFirst {{0, 0}, {4, 0}, {4, 0.3}, {0, 0.3}};
const std::vector<Geometry::Point2<double>> InnerFaceFirst {{4, 0.3}, {0, 0.3}, {0, 0}, {4, 0}};

void MakePolygonal(OpeningMeasurement& m, const std::vector<Geometry::Point2<double>>& corners)
{
    m.wall.geometryKind = 2;
    m.wall.begC = {corners[0].x, corners[0].y};
    m.wall.endC = {corners[1].x, corners[1].y};
    m.outline = Outline(corners);
}

struct Expected
{
    double width, height, sill, depth;
    std::vector<std::pair<std::string, double>> parameters;  // the last values written
};

void ExpectPlacement(const OpeningPlacement& p, const Expected& e, const std::string& name)
{
    ASSERT_TRUE(p.placed) << name;
    EXPECT_NEAR(p.width, e.width, Tol) << name;
    EXPECT_NEAR(p.height, e.height, Tol) << name;
    EXPECT_NEAR(p.sillHeight, e.sill, Tol) << name;
    EXPECT_NEAR(p.revealDepth, e.depth, Tol) << name;
    for (const auto& [parameter, value] : e.parameters)
    {
        const std::optional<double> written = Written(p, parameter);
        ASSERT_TRUE(written.has_value()) << name << ": " << parameter;
        EXPECT_NEAR(*written, value, Tol) << name << ": " << parameter;
    }
}

}  // namespace

TEST(OpeningRules, WindowsInStraightWalls)
{
    struct Case
    {
        const char* name;
        std::function<void(OpeningMeasurement&)> change;
        Expected expected;
        std::vector<const char*> notWritten;
    };
    const Case cases[] = {
        {"diagonal points from inside",
         [](OpeningMeasurement&) {},
         {1.2, 1.3, 1.0, 0.2, {{"gs_wido_sill", 0.2}, {"gs_sill_outside", 0}}},
         {"gs_reveal_type_int", "gs_board_inside"}},
        {"a sill board 0.03 thick and 0.25 deep",
         [](OpeningMeasurement& m) {
             m.palette.sillBoardThickness = 0.03;
             m.palette.sillBoardDepth = 0.25;
         },
         {1.2, 1.33, 0.97, 0.2, {{"gs_board_inside", 1}, {"gs_board_thk", 0.03}, {"gs_board_nosing", 0.15}}},
         {"gs_sill_outside"}},
        {"an outside sill board",
         [](OpeningMeasurement& m) {
             m.palette.measuredFrom = 2;
             m.palette.sillBoardThickness = 0.03;
             m.palette.sillBoardDepth = 0.25;
         },
         {1.2, 1.33, 0.97, 0.1, {{"gs_sill_outside", 1}, {"gs_sill_thk", 0.03}, {"gs_sill_nosing", 0.15}}},
         {"gs_board_inside"}},
        {"outside with reveal type 5: the reveals count as 0",
         [](OpeningMeasurement& m) {
             m.palette.measuredFrom = 2;
             m.part.revealType = 5;
             m.part.revealLeft = m.part.revealRight = 0.05;
             m.part.revealTop = 0.03;
         },
         {1.2, 1.3, 1.0, 0.1, {{"gs_reveal_type_int", 2}, {"gs_wido_sill", 0.1}}},
         {}},
        {"outside with reveal type 3 the reveals widen the window",
         [](OpeningMeasurement& m) {
             m.palette.measuredFrom = 2;
             m.part.revealType = 3;
             m.part.revealLeft = m.part.revealRight = 0.05;
             m.part.revealTop = 0.03;
         },
         {1.3, 1.33, 1.0, 0.1, {}},
         {"gs_reveal_type_int"}},
        {"splayed with type 1 becomes type 7",
         [](OpeningMeasurement& m) {
             m.palette.revealKind = 2;
             m.palette.revealWidthLeft = 0.1;
             m.part.revealType = 1;
         },
         {1.2,
          1.3,
          1.0,
          0.2,
          {{"gs_reveal_type_int", 7},
           {"gs_reveal_left_angle", Pi / 4},
           {"gs_reveal_right_angle", Pi / 4},
           {"gs_reveal_splayed_innerLeft", 0},
           {"gs_reveal_splayed_innerRight", 0}}},
         {"gs_reveal_uniform"}},
        {"splayed left and right apart",
         [](OpeningMeasurement& m) {
             m.palette.revealKind = 3;
             m.palette.revealWidthLeft = 0.1;
             m.palette.revealDepthRight = 0.2;
             m.palette.revealWidthRight = 0.2 * std::tan(0.3);
             m.part.revealType = 8;
         },
         {1.2, 1.3, 1.0, 0.2, {{"gs_reveal_left_angle", Pi / 4}, {"gs_reveal_right_angle", 0.3}, {"gs_reveal_uniform", 0}}},
         {}},
        {"a splay without depth and width is no angle",
         [](OpeningMeasurement& m) {
             m.palette.revealKind = 2;
             m.palette.revealDepthLeft = 0.0;
             m.part.revealType = 1;
         },
         {1.2, 1.3, 1.0, 0.3, {{"gs_reveal_left_angle", 0}, {"gs_reveal_right_angle", 0}}},
         {}},
        {"a frame thicker than the wall is cut to it",
         [](OpeningMeasurement& m) {
             m.part.frameThickness = 0.5;
             m.palette.revealDepthLeft = 0.0;
         },
         {1.2, 1.3, 1.0, 0.0, {{"gs_frame_thk", 0.3}}},
         {}},
        {"a reveal deeper than the wall leaves depth 0 and type 2",
         [](OpeningMeasurement& m) {
             m.palette.revealDepthLeft = 0.4;
             m.part.revealType = 3;
         },
         {1.2, 1.3, 1.0, 0.0, {{"gs_reveal_type_int", 2}, {"gs_wido_sill", 0}}},
         {}},
        {"side points take the default's sill across storeys and the wall's base",
         [](OpeningMeasurement& m) {
             m.palette.diagonalPoints = false;
             m.palette.sidePoints = true;
             m.defaultStoreyLevel = 3.0;
             m.wall.bottomOffset = 0.2;
         },
         {1.2, 1.5, 3.7, 0.2, {}},
         {}},
        {"a wall standing higher lowers the sill",
         [](OpeningMeasurement& m) {
             m.wallStoreyLevel = 0.5;
             m.wall.bottomOffset = 0.2;
         },
         {1.2, 1.3, 0.3, 0.2, {}},
         {}},
        {"a radiator niche below a window measured from inside",
         [](OpeningMeasurement& m) {
             m.palette.nicheDepth = 0.1;
             m.palette.nicheHeight = 0.6;
         },
         {1.2, 1.3, 1.0, 0.2, {{"gs_parapet_wall_inset", 1}, {"gs_parapet_botelev", 0.6}, {"gs_parapet_inset_thk", 0.1}}},
         {}},
    };
    for (const Case& c : cases)
    {
        OpeningMeasurement m = StraightWindow();
        c.change(m);
        const OpeningPlacement p = PlaceWindow(m);
        ExpectPlacement(p, c.expected, c.name);
        EXPECT_NEAR(p.position, 1.6, Tol) << c.name;
        EXPECT_FALSE(p.inPolygonalWall) << c.name;
        for (const char* parameter : c.notWritten) EXPECT_FALSE(Written(p, parameter).has_value()) << c.name << ": " << parameter;
    }
}

// The station north of the wall, so from inside the points lie on the inner face
// (y = 0.3), from outside 0.12 into the wall from its outer face.
TEST(OpeningRules, WindowsInPolygonalWallsStartOnTheOuterFace)
{
    struct Case
    {
        const char* name;
        const std::vector<Geometry::Point2<double>>* outline;
        std::int16_t from;
        API_Coord start, direction;
        Expected expected;
    };
    const Case cases[] = {
        {"inside, outline from the outer face",
         &OuterFaceFirst,
         1,
         {1.6, 0},
         {0, 1},
         {1.2, 1.3, 1.0, 0.25, {{"gs_wido_sill", 0.25}}}},
        {"inside, outline from the inner face", &InnerFaceFirst, 1, {2.4, 0.3}, {0, -1}, {1.2, 1.3, 1.0, 0.25, {}}},
        {"outside: the reveals widen and raise it",
         &OuterFaceFirst,
         2,
         {1.6, 0},
         {0, 1},
         {1.3, 1.35, 0.98, 0.12, {{"gs_wido_sill", 0.12}}}},
        {"outside, outline from the inner face", &InnerFaceFirst, 2, {2.4, 0.3}, {0, -1}, {1.3, 1.35, 0.98, 0.12, {}}},
    };
    for (const Case& c : cases)
    {
        OpeningMeasurement m = StraightWindow();
        MakePolygonal(m, *c.outline);
        const double y = c.from == 1 ? 0.3 : 0.12;
        m.p0 = {1.0, y, 1.0};
        m.p1 = {2.2, y, 2.3};
        m.station = {2.0, c.from == 1 ? 5.0 : -5.0};
        m.palette.measuredFrom = c.from;
        m.part.frameThickness = 0.05;
        m.part.revealType = 3;
        m.part.revealLeft = m.part.revealRight = 0.05;
        m.part.revealTop = 0.03;
        m.part.revealBottom = 0.02;
        const OpeningPlacement p = PlaceWindow(m);
        ExpectPlacement(p, c.expected, c.name);
        EXPECT_TRUE(p.inPolygonalWall) << c.name;
        EXPECT_NEAR(p.startPoint.x, c.start.x, Tol) << c.name;
        EXPECT_NEAR(p.startPoint.y, c.start.y, Tol) << c.name;
        EXPECT_NEAR(p.direction.x, c.direction.x, Tol) << c.name;
        EXPECT_NEAR(p.direction.y, c.direction.y, Tol) << c.name;
        EXPECT_EQ(p.revealTypeEntry, -1) << c.name << ": no value list in polygonal walls";
    }

    OpeningMeasurement beside = StraightWindow();
    MakePolygonal(beside, OuterFaceFirst);
    beside.p0 = {5.0, 0.3, 1.0};
    beside.p1 = {6.2, 0.3, 2.3};
    EXPECT_FALSE(PlaceWindow(beside).placed) << "no face points beyond the outline";
    EXPECT_FALSE(PlaceDoor(beside).placed);
}

// The line through the point along the direction, and where it crosses the faces.
TEST(OpeningRules, FacePointsOfRectangularAndLShapedOutlines)
{
    const auto rectangle = Outline(OuterFaceFirst);
    const auto l = Outline({{0, 0}, {4, 0}, {4, 3}, {3.7, 3}, {3.7, 0.3}, {0, 0.3}});
    struct Case
    {
        const char* name;
        Geometry::Polygon2DData outline;
        Vektor2D direction;
        API_Coord point;
        std::vector<API_Coord> faces;  // empty: not two
    };
    const Case cases[] = {
        {"across a rectangle", rectangle, {0, 1}, {1, 0.15}, {{1, 0}, {1, 0.3}}},
        {"across it the other way", rectangle, {0, -1}, {1, 0.15}, {{1, 0.3}, {1, 0}}},
        {"along it to its ends", rectangle, {1, 0}, {2, 0.15}, {{0, 0.15}, {4, 0.15}}},
        {"across the L's first arm", l, {0, 1}, {1, 0.15}, {{1, 0}, {1, 0.3}}},
        {"across the L's second arm", l, {1, 0}, {3.85, 2}, {{3.7, 2}, {4, 2}}},
        {"through the L's corner", l, {0, 1}, {3.85, 0.15}, {{3.85, 0}, {3.85, 3}}},
        {"through a corner of the outline", rectangle, {0, 1}, {4, 0.15}, {}},
        {"beside the outline", rectangle, {0, 1}, {5, 0.15}, {}},
        {"without a direction", rectangle, {0, 0}, {1, 0.15}, {}},
    };
    for (const Case& c : cases)
    {
        TypVektor<API_Coord3D> found;
        found.Add({9, 9, 9});
        EXPECT_EQ(FindWallFacePoints(c.outline, c.direction, c.point, found), !c.faces.empty()) << c.name;
        if (c.faces.empty()) continue;
        ASSERT_EQ(found.GetSize(), 2u) << c.name;
        for (std::uint32_t i = 0; i < 2; ++i)
        {
            EXPECT_NEAR(found[i].x, c.faces[i].x, Tol) << c.name;
            EXPECT_NEAR(found[i].y, c.faces[i].y, Tol) << c.name;
            EXPECT_EQ(found[i].z, 0.0) << c.name;
        }
    }
}

TEST(OpeningRules, SplayAnglesAndSearchHeights)
{
    EXPECT_EQ(SplayAngle(0.0, 0.0), 0.0);
    EXPECT_NEAR(SplayAngle(0.0, 0.1), Pi / 2, Tol);
    EXPECT_NEAR(SplayAngle(0.2, 0.2), Pi / 4, Tol);

    OpeningMeasurement m = StraightWindow();
    m.defaultStoreyLevel = 3.0;
    const auto expectHeights = [&m](API_ElemTypeID tool, double low, double high, const char* name) {
        const OpeningSearchHeights h = SearchHeightsOf(m, tool);
        EXPECT_NEAR(h.low, low, Tol) << name;
        EXPECT_NEAR(h.high, high, Tol) << name;
    };
    expectHeights(API_WindowID, 1.0, 1.0, "diagonal: the lower point");
    m.palette.diagonalPoints = false;
    m.palette.sidePoints = true;
    expectHeights(API_WindowID, 3.9, 5.4, "a window's sill and top");
    expectHeights(API_DoorID, 4.65, 4.65, "a door's middle");
    expectHeights(API_ObjectID, 0.0, 0.0, "another tool");
    m.palette.sidePoints = false;
    expectHeights(API_WindowID, 0.0, 0.0, "no option");
}

namespace
{

// A straight wall from (-1, 2) to (5, 2), 0.3 thick below its reference line; the
// door's diagonal points (1, 2, 0) and (2, 2, 2.1); the project origin south of it.
OpeningMeasurement StraightDoor()
{
    OpeningMeasurement m = StraightWindow();
    m.wall.begC = {-1.0, 2.0};
    m.wall.endC = {5.0, 2.0};
    m.p0 = {1.0, 2.0, 0.0};
    m.p1 = {2.0, 2.0, 2.1};
    m.p2 = {1.2, 1.5, 0.0};
    m.station = {1.5, 5.0};
    m.positionAlongWall = 2.5;
    m.defaultHeight = 2.1;
    m.defaultSillHeight = 0.0;
    return m;
}

// The polygonal wall with its inner face north; measured from inside, the way out
// of the wall points south. The door's points lie on the inner face.
OpeningMeasurement PolygonalDoor(double storeyLevel)
{
    OpeningMeasurement m = StraightWindow();
    MakePolygonal(m, OuterFaceFirst);
    m.wallStoreyLevel = storeyLevel;
    m.p0 = {1.0, 0.3, storeyLevel};
    m.p1 = {2.0, 0.3, storeyLevel + 2.1};
    m.station = {1.5, 5.0};
    m.defaultHeight = 2.1;
    m.defaultSillHeight = 0.0;
    return m;
}

struct DoorExpected
{
    double width, height, sill;
    bool outside, invertBoth, invertFirst;      // straight walls: the sides to set
    bool mirrored, openingSide, referenceSide;  // polygonal walls
    bool swap;
};

}  // namespace

TEST(OpeningRules, Doors)
{
    const double c = 1.5;
    const auto third = [c](double degrees, double z) {
        const double a = degrees * Pi / 180;
        return API_Coord3D {c + 0.3 * std::cos(a), 0.3 + 0.3 * std::sin(a), z};
    };
    struct Case
    {
        const char* name;
        std::function<OpeningMeasurement()> measurement;
        DoorExpected expected;
        std::vector<std::pair<std::string, double>> parameters;
    };
    const auto withReveals = [](double type) {
        return [type] {
            OpeningMeasurement m = StraightDoor();
            m.part.revealType = type;
            m.part.revealLeft = m.part.revealRight = 0.05;
            m.part.revealTop = 0.03;
            return m;
        };
    };
    const auto polygonal = [](double storeyLevel, API_Coord3D p2) {
        return [storeyLevel, p2] {
            OpeningMeasurement m = PolygonalDoor(storeyLevel);
            m.p2 = p2;
            return m;
        };
    };
    const Case cases[] = {
        {"type 3 from inside: the reveals narrow and lower it",
         withReveals(3),
         {0.9, 2.07, 0, false, false, false, false, false, false, true},
         {}},
        {"type 1 becomes 2 and its reveals count as 0",
         withReveals(1),
         {1.0, 2.1, 0, false, false, false, false, false, false, true},
         {{"gs_reveal_type_int", 2}}},
        {"type 5 becomes 3",
         withReveals(5),
         {0.9, 2.07, 0, false, false, false, false, false, false, true},
         {{"gs_reveal_type_int", 3}}},
        {"from outside the reveals stay",
         [&] {
             OpeningMeasurement m = withReveals(3)();
             m.palette.measuredFrom = 2;
             return m;
         },
         {1.0, 2.1, 0, true, false, false, false, false, false, true},
         {{"gs_wido_sill", 0.1}}},
        {"third point beyond the opening from the origin",
         [] {
             OpeningMeasurement m = StraightDoor();
             m.p2 = {1.8, 2.5, 0.0};
             return m;
         },
         {1.0, 2.1, 0, false, true, true, false, false, false, false},
         {}},
        {"third point 3 cm above the threshold",
         [] {
             OpeningMeasurement m = StraightDoor();
             m.p2.z = 0.031;
             return m;
         },
         {1.0, 2.1, 0, false, true, false, false, false, false, true},
         {}},
        {"third point at 3 cm is not above it",
         [] {
             OpeningMeasurement m = StraightDoor();
             m.p2.z = 0.03;
             return m;
         },
         {1.0, 2.1, 0, false, false, false, false, false, false, true},
         {}},
        {"polygonal, first quarter",
         polygonal(0, third(225, 0)),
         {1.0, 2.1, 0, false, false, false, false, false, false, false},
         {}},
        {"polygonal, second quarter",
         polygonal(0, third(135, 0)),
         {1.0, 2.1, 0, false, false, false, true, false, true, false},
         {}},
        {"polygonal, third quarter",
         polygonal(0, third(45, 0)),
         {1.0, 2.1, 0, false, false, false, false, false, true, true},
         {}},
        {"polygonal, 200 degrees", polygonal(0, third(70, 0)), {1.0, 2.1, 0, false, false, false, false, false, true, true}, {}},
        {"polygonal, fourth quarter",
         polygonal(0, third(315, 0)),
         {1.0, 2.1, 0, false, false, false, true, true, true, true},
         {}},
        {"polygonal, a raised third point is taken across the opening",
         polygonal(0, third(135, 0.5)),
         {1.0, 2.1, 0, false, false, false, false, false, false, false},
         {}},
        {"polygonal, upper storey: raised above the threshold by less than 0.1",
         polygonal(3.0, third(135, 3.05)),
         {1.0, 2.1, 0, false, false, false, true, false, true, false},
         {}},
        {"polygonal, upper storey: raised by more",
         polygonal(3.0, third(135, 3.15)),
         {1.0, 2.1, 0, false, false, false, false, false, false, false},
         {}},
        {"polygonal, side points take the default sill to the wall's storey",
         [&] {
             OpeningMeasurement m = polygonal(0, third(225, 0))();
             m.palette.diagonalPoints = false;
             m.palette.sidePoints = true;
             m.defaultStoreyLevel = 3.0;
             return m;
         },
         {1.0, 2.1, 3.0, false, false, false, false, false, false, false},
         {}},
    };
    for (const Case& k : cases)
    {
        const OpeningMeasurement m = k.measurement();
        const OpeningPlacement p = PlaceDoor(m);
        ASSERT_TRUE(p.placed) << k.name;
        const DoorExpected& e = k.expected;
        EXPECT_NEAR(p.width, e.width, Tol) << k.name;
        EXPECT_NEAR(p.height, e.height, Tol) << k.name;
        EXPECT_NEAR(p.sillHeight, e.sill, Tol) << k.name;
        if (p.inPolygonalWall)
        {
            EXPECT_EQ(p.mirrored, e.mirrored) << k.name;
            EXPECT_EQ(p.openingSide, e.openingSide) << k.name;
            EXPECT_EQ(p.referenceSide, e.referenceSide) << k.name;
        }
        else
        {
            EXPECT_EQ(p.outsideMeasured, e.outside) << k.name;
            EXPECT_EQ(p.invertBoth, e.invertBoth) << k.name;
            EXPECT_EQ(p.invertFirst, e.invertFirst) << k.name;
        }
        EXPECT_EQ(p.splayAnglesSwapped, e.swap) << k.name;
        for (const auto& [parameter, value] : k.parameters)
        {
            ASSERT_TRUE(Written(p, parameter).has_value()) << k.name << ": " << parameter;
            EXPECT_NEAR(*Written(p, parameter), value, Tol) << k.name << ": " << parameter;
        }
    }
}

// At a turn of 200 degrees the left and right splay angles change places.
TEST(OpeningRules, ASwappedDoorTakesItsSplayAnglesTheOtherWayRound)
{
    OpeningMeasurement m = PolygonalDoor(0.0);
    m.p2 = {1.5 + 0.3 * std::cos(70 * Pi / 180), 0.3 + 0.3 * std::sin(70 * Pi / 180), 0.0};
    m.palette.revealKind = 3;
    m.palette.revealDepthLeft = 0.1;
    m.palette.revealWidthLeft = 0.1;
    m.palette.revealDepthRight = 0.1;
    m.palette.revealWidthRight = 0.1 * std::tan(0.3);
    m.part.revealType = 3;
    const OpeningPlacement p = PlaceDoor(m);
    EXPECT_EQ(*Written(p, "gs_reveal_type_int"), 7.0);
    EXPECT_NEAR(*Written(p, "gs_reveal_left_angle"), 0.3, Tol);
    EXPECT_NEAR(*Written(p, "gs_reveal_right_angle"), Pi / 4, Tol);
    EXPECT_EQ(*Written(p, "gs_reveal_uniform"), 0.0);
}
