#include <cmath>
#include <optional>
#include <vector>

#include "CreationFixture.hpp"
#include "ElementBoxes.hpp"
#include "GS/BM.hpp"
#include "ShellElements.hpp"
#include "UndoableCommand.hpp"
#include "creation/DomeShell.hpp"
#include "creation/SphereFit.hpp"
#include "measuring/MeasuringState.hpp"

// The sphere through four points, the cap cut from it, and the domes the shell
// tool makes from measured points.

namespace
{

constexpr double Tol = 1e-6;

TypVektor<API_Coord3D> Points(const std::vector<API_Coord3D>& points)
{
    TypVektor<API_Coord3D> list;
    for (const API_Coord3D& p : points) list.Add(p);
    return list;
}

const std::vector<API_Coord3D> FourOnSphere {{5, 4, 2}, {1, 4, 2}, {3, 6, 2}, {3, 4, 4}};
// On the plane z = 0.3x + 0.7y + 1.1, typed as a surveyor reads them.
const std::vector<API_Coord3D> TiltedPlanePoints {{1.1, 2.3, 3.04}, {4.7, 0.9, 3.14}, {2.9, 5.3, 5.68}, {6.1, 3.7, 5.52}};

}  // namespace

TEST(SphereFit, DeterminantsOfTwoThreeAndFourRows)
{
    const double m[4][4] = {{2, 1, 3, 1}, {0, 4, 1, 2}, {5, 2, 0, 3}, {1, 0, 2, 4}};
    EXPECT_DOUBLE_EQ(DeterminantByCofactors(m, 2), 8.0);
    EXPECT_DOUBLE_EQ(DeterminantByCofactors(m, 3), -59.0);
    EXPECT_DOUBLE_EQ(DeterminantByCofactors(m, 4), -225.0);
}

TEST(SphereFit, GivesBackTheSphereOfFourPoints)
{
    struct Case
    {
        std::vector<API_Coord3D> points;
        API_Coord3D centre;
        double radius;
    };
    const double r = 2.5;
    const API_Coord3D far {1000, 2000, 300};
    const auto on = [&](double theta, double phi) {
        return API_Coord3D {far.x + r * std::sin(theta) * std::cos(phi), far.y + r * std::sin(theta) * std::sin(phi),
                            far.z + r * std::cos(theta)};
    };
    const std::vector<Case> cases {
        {{{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, 0, 1}}, {0, 0, 0}, 1.0},
        {FourOnSphere, {3, 4, 2}, 2.0},
        // Survey coordinates far from the origin lose no digits.
        {{on(0.3, 0.1), on(1.2, 2.0), on(2.0, 4.1), on(2.7, 5.5)}, far, r},
    };
    for (const Case& c : cases)
    {
        double radius = 0.0;
        API_Coord3D centre {};
        SphereThroughFourPoints(Points(c.points), radius, centre);
        EXPECT_NEAR(radius, c.radius, Tol);
        EXPECT_NEAR(centre.x, c.centre.x, Tol);
        EXPECT_NEAR(centre.y, c.centre.y, Tol);
        EXPECT_NEAR(centre.z, c.centre.z, Tol);
    }
}

TEST(SphereFit, FourPointsInOnePlaneGiveRadiusZeroAndNoCentre)
{
    struct Case
    {
        const char* name;
        std::vector<API_Coord3D> points;
    };
    const std::vector<Case> cases {
        {"a level square", {{0, 0, 1}, {1, 0, 1}, {0, 1, 1}, {1, 1, 1}}},
        {"the tilted plane z = 0.3x + 0.7y + 1.1", TiltedPlanePoints},
        {"a point 1e-7 off the plane of three", {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0.3, 0.3, 1e-7}}},
    };
    for (const Case& c : cases)
    {
        double radius = 7.0;
        API_Coord3D centre {9, 9, 9};
        SphereThroughFourPoints(Points(c.points), radius, centre);
        EXPECT_EQ(radius, 0.0) << c.name;
        EXPECT_EQ(centre.x, 9.0) << c.name;
        EXPECT_EQ(centre.z, 9.0) << c.name;
    }
}

// A shallow cap: the sphere of radius 30 about the origin through three points
// 1 m off its top; the set is nearly flat and still has its sphere.
TEST(SphereFit, AShallowCapKeepsItsSphere)
{
    const double rim = std::sqrt(30.0 * 30.0 - 1.0);
    double radius = 0.0;
    API_Coord3D centre {};
    SphereThroughFourPoints(Points({{1, 0, rim}, {-1, 0, rim}, {0, 1, rim}, {0, 0, 30}}), radius, centre);
    EXPECT_NEAR(radius, 30.0, Tol);
    EXPECT_NEAR(centre.x, 0.0, Tol);
    EXPECT_NEAR(centre.y, 0.0, Tol);
    EXPECT_NEAR(centre.z, 0.0, Tol);
}

TEST(DomeCut, ProfileFromTheBaseHeight)
{
    struct Case
    {
        double base;
        bool made;
        API_Coord rim;
        double angle;
    };
    const std::vector<Case> cases {
        {3.0, true, {1.0, std::sqrt(3.0)}, -1.047198},
        {2.0, true, {0.0, 2.0}, -Pi / 2},                // a hemisphere
        {1.0, true, {-1.0, std::sqrt(3.0)}, -2.094395},  // more than a hemisphere
        {4.0, false, {}, 0.0},                           // the base touches the apex
        {-0.5, false, {}, 0.0},                          // the base misses the sphere
    };
    for (const Case& c : cases)
    {
        const std::optional<DomeShell> dome = DomeShell::Cut({3, 4, 2}, 2.0, c.base);
        ASSERT_EQ(dome.has_value(), c.made) << c.base;
        if (!c.made) continue;
        EXPECT_NEAR(dome->rim.x, c.rim.x, Tol);
        EXPECT_NEAR(dome->rim.y, c.rim.y, Tol);
        EXPECT_NEAR(dome->apex.x, 2.0, Tol);
        EXPECT_NEAR(dome->apex.y, 0.0, Tol);
        EXPECT_NEAR(dome->arcAngle, c.angle, Tol);
    }
    EXPECT_FALSE(DomeShell::Cut({0, 0, 0}, 0.0, 0.0));
    EXPECT_FALSE(DomeShell::Cut({0, 0, 0}, std::nan(""), 0.0));
}

class DomeTest : public CreationFixture
{
protected:
    void SetUp() override
    {
        CreationFixture::SetUp();
        measuringState = MeasuringState {};
        Host().SelectTool(API_ShellID, 0);
    }
    void TearDown() override
    {
        BMFailAllocationAfter(-1);
        CreationFixture::TearDown();
    }
    std::vector<const SimHost::StoredElement*> Shells()
    {
        std::vector<const SimHost::StoredElement*> shells;
        for (const SimHost::StoredElement& e : Model().content.elements)
            if (e.record.header.typeID == API_ShellID) shells.push_back(&e);
        return shells;
    }
    std::vector<API_Coord3D> SegmentPoints(API_Coord3D p7, API_Coord3D p8)
    {
        std::vector<API_Coord3D> points = FourOnSphere;
        points.push_back({0, 0, 3});
        points.push_back({0, 0, 0});
        points.push_back({1, 0, 0});
        points.push_back(p7);
        points.push_back(p8);
        return points;
    }
    // A half-round wall on storey 1 (at 3 m) from (2, 0) to (-2, 0) about the
    // origin, 0.3 thick and 3 m high: its top lies at 6.
    void AddHalfRoundWall()
    {
        Model().content.storeyLevels[1] = 3.0;
        API_Element wall;
        wall.header.typeID = API_WallID;
        ASSERT_EQ(HostGetElementDefaults(&wall, nullptr), NoError);
        wall.header.floorInd = 1;
        wall.wall.begC = {2, 0};
        wall.wall.endC = {-2, 0};
        wall.wall.arcAngle = Pi;
        wall.wall.height = 3.0;
        wall.wall.bottomOffset = 0.0;
        wall.wall.thickness = 0.3;
        ASSERT_EQ(InUndoableCommand([&] { return HostCreateElement(&wall, nullptr); }), NoError);
    }
};

TEST_F(DomeTest, FromFivePointsMakesAnUnflippedRevolvedShellAtTheCentre)
{
    ToolDefaults(API_ShellID).shell.isFlipped = true;
    std::vector<API_Coord3D> points = FourOnSphere;
    points.push_back({0, 0, 3});
    SetPoints(points);
    Main().CreateDomeFromFivePoints();

    ExpectActionEmptied();
    ASSERT_EQ(Shells().size(), 1u);
    const SimHost::StoredElement& dome = *Shells()[0];
    const API_ShellType& s = dome.record.shell;
    EXPECT_EQ(s.shellClass, 1);
    EXPECT_FALSE(s.isFlipped);
    EXPECT_FALSE(s.hasContour);
    EXPECT_NEAR(s.basePlane[3], 3.0, Tol);
    EXPECT_NEAR(s.basePlane[7], 4.0, Tol);
    EXPECT_NEAR(s.basePlane[11], 2.0, Tol);
    EXPECT_NEAR(s.revolved.revolutionAngle, 2 * Pi, Tol);
    EXPECT_EQ(s.revolved.segmentsByCircle, 36);
    ASSERT_EQ(dome.shell.shapes.size(), 1u);
    const SimHost::ShellPolygon& shape = dome.shell.shapes[0];
    ASSERT_EQ(shape.coords.size(), 4u);
    EXPECT_NEAR(shape.coords[1].x, 1.0, Tol);
    EXPECT_NEAR(shape.coords[1].y, 1.732051, Tol);
    EXPECT_NEAR(shape.coords[2].x, 2.0, Tol);
    EXPECT_EQ(shape.ends[1], 2);
    ASSERT_EQ(shape.arcs.size(), 1u);
    EXPECT_NEAR(shape.arcs[0].arcAngle, -1.047198, Tol);
    // The host's box runs from the base circle to the apex.
    API_Box3D box {};
    ASSERT_TRUE(SimHost::ElementBox(dome, 0.0, box));
    EXPECT_NEAR(box.zMin, 3.0, Tol);
    EXPECT_NEAR(box.zMax, 4.0, Tol);
    EXPECT_NEAR(box.xMax, 3.0 + std::sqrt(3.0), 1e-3);
}

// Four points of one plane, exactly or as measured, make neither a dome nor a segment.
TEST_F(DomeTest, NoDomeFromADegenerateFit)
{
    for (const std::vector<API_Coord3D>& four :
         {std::vector<API_Coord3D> {{0, 0, 1}, {1, 0, 1}, {0, 1, 1}, {1, 1, 1}}, TiltedPlanePoints})
    {
        std::vector<API_Coord3D> points = four;
        points.push_back({0, 0, 3});
        SetPoints(points);
        Main().CreateDomeFromFivePoints();
        EXPECT_TRUE(Shells().empty());
        ExpectActionEmptied();

        points.insert(points.end(), {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 2, 0}});
        SetPoints(points);
        Main().CreateDomeSegment();
        EXPECT_TRUE(Shells().empty());
        ExpectActionEmptied();
    }
}

TEST_F(DomeTest, SegmentClipsTheCapToTheWedgeOfTheTwoLines)
{
    SetPoints(SegmentPoints({0, 1, 0}, {0, 2, 0}));
    Main().CreateDomeSegment();
    ExpectActionEmptied();
    ASSERT_EQ(Shells().size(), 1u);
    const SimHost::StoredElement& dome = *Shells()[0];
    EXPECT_TRUE(dome.record.shell.hasContour);
    ASSERT_EQ(dome.shell.contours.size(), 1u);
    const SimHost::ShellPolygon& contour = dome.shell.contours[0];
    const std::vector<API_Coord> expected {{3, -4}, {-3, -4}, {-3, 2}, {3, -4}};
    ASSERT_EQ(contour.coords.size(), expected.size() + 1);
    for (std::size_t i = 0; i < expected.size(); ++i)
    {
        EXPECT_NEAR(contour.coords[i + 1].x, expected[i].x, Tol) << i;
        EXPECT_NEAR(contour.coords[i + 1].y, expected[i].y, Tol) << i;
    }
    EXPECT_EQ(contour.ends[1], 4);
    // The host shows only what lies inside the contour: the apex at (3, 4) beyond
    // the triangle's long side x + y = 6 is cut away, the base circle is not.
    const std::vector<SimHost::ShellEdge> edges = SimHost::ShellEdges(dome, 0.0);
    ASSERT_FALSE(edges.empty());
    for (const SimHost::ShellEdge& edge : edges)
        for (const API_Coord3D& p : {edge.from, edge.to}) EXPECT_LE(p.x + p.y, 6.0 + 1e-9);
    API_Box3D box {};
    ASSERT_TRUE(SimHost::ElementBox(dome, 0.0, box));
    EXPECT_NEAR(box.zMin, 3.0, Tol);
    EXPECT_LT(box.zMax, 4.0 - 0.1);
}

TEST_F(DomeTest, NoSegmentFromParallelLinesOrALineEndAtTheCorner)
{
    for (const auto& [p7, p8] : {std::pair<API_Coord3D, API_Coord3D> {{0, 1, 0}, {1, 1, 0}}, {{0, 1, 0}, {0, 0, 0}}})
    {
        SetPoints(SegmentPoints(p7, p8));
        Main().CreateDomeSegment();
        EXPECT_TRUE(Shells().empty());
        ExpectActionEmptied();
    }
}

TEST_F(DomeTest, EveryAllocationFailingInTurnMakesNothing)
{
    const std::int32_t allocations = 7;  // four shape handles, the contour and its two handles
    for (std::int32_t k = 0; k <= allocations; ++k)
    {
        BMFailAllocationAfter(k);
        SetPoints(SegmentPoints({0, 1, 0}, {0, 2, 0}));
        Main().CreateDomeSegment();
        EXPECT_EQ(Shells().size(), k < allocations ? 0u : 1u) << k;
        ExpectActionEmptied();
    }
}

TEST_F(DomeTest, OnACurvedWallFitsThroughTheWallTopAtItsAbsoluteHeight)
{
    ToolDefaults(API_ShellID).header.floorInd = 1;
    ASSERT_NO_FATAL_FAILURE(AddHalfRoundWall());

    SetPoints({{0, 2, 4.5}, {0, 0, 8}});
    Main().CreateDomeOnCurvedWall();
    ExpectActionEmptied();
    ASSERT_EQ(Shells().size(), 1u);
    const SimHost::StoredElement& dome = *Shells()[0];
    EXPECT_NEAR(dome.record.shell.basePlane[3], 0.0, Tol);
    EXPECT_NEAR(dome.record.shell.basePlane[7], 0.0, Tol);
    EXPECT_NEAR(dome.record.shell.basePlane[11], 3.0, Tol);  // the centre at 6, on the storey at 3
    const SimHost::ShellPolygon& shape = dome.shell.shapes[0];
    EXPECT_NEAR(shape.coords[1].x, 0.0, Tol);
    EXPECT_NEAR(shape.coords[1].y, 2.0, Tol);
    EXPECT_NEAR(shape.arcs[0].arcAngle, -Pi / 2, Tol);
}

// The wall's top lies at 6; a dome point measured a micrometre above it lies
// all but in the plane of the wall top's three points: no dome, whose sphere
// would have its centre some 1700 km below.
TEST_F(DomeTest, OnACurvedWallAPointAtTheTopsHeightMakesNothing)
{
    ASSERT_NO_FATAL_FAILURE(AddHalfRoundWall());

    SetPoints({{0, 2, 4.5}, {0.3, 0.7, 6.0 + 1e-6}});
    Main().CreateDomeOnCurvedWall();
    EXPECT_TRUE(Shells().empty());
    ExpectActionEmptied();
}

TEST_F(DomeTest, OnAStraightWallMakesNothing)
{
    API_Element wall;
    wall.header.typeID = API_WallID;
    ASSERT_EQ(HostGetElementDefaults(&wall, nullptr), NoError);
    wall.wall.begC = {-2, 0};
    wall.wall.endC = {2, 0};
    wall.wall.height = 3.0;
    wall.wall.thickness = 0.3;
    ASSERT_EQ(InUndoableCommand([&] { return HostCreateElement(&wall, nullptr); }), NoError);
    SetPoints({{0, 0.1, 1}, {0, 0, 5}});
    Main().CreateDomeOnCurvedWall();
    EXPECT_TRUE(Shells().empty());
    ExpectActionEmptied();
}
