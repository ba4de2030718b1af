#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "Geometry/CurveGeometry.hpp"

// Hand-worked cases of the geometry the curve palette uses, degenerate ones
// among them: what each function gives, and how it says it has no result.

namespace
{

using Geometry::Coord;
using Geometry::Coord3D;

constexpr double Pi = 3.14159265358979323846;
constexpr double Close = 1e-9;
constexpr double R2 = 0.70710678118654752;

void ExpectNear(const Coord& actual, const Coord& expected, const std::string& name)
{
    EXPECT_NEAR(actual.x, expected.x, Close) << name;
    EXPECT_NEAR(actual.y, expected.y, Close) << name;
}

void ExpectNear(const Coord3D& actual, const Coord3D& expected, const std::string& name)
{
    EXPECT_NEAR(actual.x, expected.x, Close) << name;
    EXPECT_NEAR(actual.y, expected.y, Close) << name;
    EXPECT_NEAR(actual.z, expected.z, Close) << name;
}

}  // namespace

TEST(CurveGeometry, PlanesFromAPointAndANormalProjectPointsOntoThem)
{
    struct Case
    {
        const char* name;
        Coord3D point, normal;
        bool made;
        Coord3D projected, expected;
    };
    const Case cases[] = {
        {"horizontal at height 2", {0, 0, 2}, {0, 0, 5}, true, {3, 4, 7}, {3, 4, 2}},
        {"x + y = 1", {1, 0, 0}, {1, 1, 0}, true, {2, 2, 5}, {0.5, 0.5, 5}},
        {"a point on the plane stays", {1, 2, 3}, {0, -1, 0}, true, {7, 2, -4}, {7, 2, -4}},
        {"normal too short", {0, 0, 0}, {0, 0, 1e-6}, false, {3, 4, 7}, {3, 4, 7}},
    };
    for (const Case& c : cases)
    {
        Geometry::PlaneEq plane;
        EXPECT_EQ(Geometry::SetUpGenPlane(&plane, c.point, c.normal), c.made) << c.name;
        if (!c.made)
        {
            EXPECT_EQ(plane.a * plane.a + plane.b * plane.b + plane.c * plane.c, 0.0) << c.name;
        }
        ExpectNear(Geometry::ProjCoord3DToPlane(plane, c.projected), c.expected, c.name);
    }
}

TEST(CurveGeometry, UnitVectorsLengthsAndTurnsInPlan)
{
    Coord3D unit {9, 9, 9};
    EXPECT_TRUE(Geometry::UnitVector3D({3, 0, 4}, &unit));
    ExpectNear(unit, {0.6, 0, 0.8}, "3-0-4");
    EXPECT_TRUE(Geometry::UnitVector3D({0, -2, 0}, &unit));
    ExpectNear(unit, {0, -1, 0}, "down y");
    EXPECT_FALSE(Geometry::UnitVector3D({1e-6, 0, 0}, &unit)) << "no direction";
    ExpectNear(unit, {0, -1, 0}, "untouched");

    EXPECT_DOUBLE_EQ(Geometry::LenVector({3, 4}), 5.0);
    EXPECT_DOUBLE_EQ(Geometry::LenVector({0, 0}), 0.0);

    Coord c {1, 0};
    Geometry::RotCoord0(&c, 1.0, 0.0);
    ExpectNear(c, {0, 1}, "quarter turn left");
    c = {2, 1};
    Geometry::RotCoord0(&c, 0.0, -1.0);
    ExpectNear(c, {-2, -1}, "half turn");
    c = {0, 3};
    Geometry::RotCoord0(&c, -1.0, 0.0);
    ExpectNear(c, {3, 0}, "quarter turn right");
}

TEST(CurveGeometry, RelativeAnglesRunCounterClockwiseWithinAHalfTurn)
{
    struct Case
    {
        const char* name;
        Coord from, to;
        double angle;
    };
    const Case cases[] = {
        {"quarter left", {1, 0}, {0, 1}, Pi / 2},
        {"quarter right", {0, 1}, {1, 0}, -Pi / 2},
        {"half turn", {1, 0}, {-1, 0}, Pi},
        {"half turn from the left", {-1, 0}, {1, 0}, Pi},
        {"same direction, other length", {1, 1}, {3, 3}, 0.0},
        {"eighth right", {0, 2}, {1, 1}, -Pi / 4},
        {"from a zero vector", {0, 0}, {1, 0}, 0.0},
        {"to a zero vector", {1, 0}, {0, 0}, 0.0},
    };
    for (const Case& c : cases) EXPECT_NEAR(Geometry::GetVectorsRelAngle(c.from, c.to), c.angle, Close) << c.name;
}

TEST(CurveGeometry, VectorsTurnAboutAnAxisByTheRightHandRule)
{
    struct Case
    {
        const char* name;
        Coord3D v, axis;
        double angle;
        bool turned;
        Coord3D expected;
    };
    const Case cases[] = {
        {"x about up", {1, 0, 0}, {0, 0, 1}, Pi / 2, true, {0, 1, 0}},
        {"x about down, any length", {1, 0, 0}, {0, 0, -2}, Pi / 2, true, {0, -1, 0}},
        {"z about x", {0, 0, 1}, {1, 0, 0}, Pi / 2, true, {0, -1, 0}},
        {"a third turn about the diagonal", {1, 2, 3}, {1, 1, 1}, 2 * Pi / 3, true, {3, 1, 2}},
        {"along the axis stays", {0, 0, 4}, {0, 0, 1}, 1.0, true, {0, 0, 4}},
        {"axis without direction", {1, 2, 3}, {0, 0, 0}, 1.0, false, {1, 2, 3}},
    };
    for (const Case& c : cases)
    {
        Coord3D v = c.v;
        EXPECT_EQ(Geometry::TMRotateVect(&v, c.axis, c.angle), c.turned) << c.name;
        ExpectNear(v, c.expected, c.name);
    }
}

TEST(CurveGeometry, FramesOfThreeAxesAndTheirInverse)
{
    struct Case
    {
        const char* name;
        Coord3D x, y, z;
        bool invertible;
        Coord3D local, world;
    };
    const Case cases[] = {
        {"plan turned a quarter", {0, 1, 0}, {-1, 0, 0}, {0, 0, 1}, true, {1, 0, 0}, {0, 1, 0}},
        {"sheared vertical plane", {0, 0, 1}, {0.6, 0, 0.8}, {0, 0.6, 0}, true, {2, 3, 0}, {1.8, 0, 4.4}},
        {"scaled", {2, 0, 0}, {0, 4, 0}, {0, 0, 0.5}, true, {1, 1, 2}, {2, 4, 1}},
        {"axes in one plane", {1, 0, 0}, {0, 1, 0}, {1, 1, 0}, false, {1, 1, 1}, {2, 2, 0}},
        {"axis missing", {1, 0, 0}, {0, 1, 0}, {0, 0, 0}, false, {1, 1, 1}, {1, 1, 0}},
    };
    for (const Case& c : cases)
    {
        Geometry::TRANMAT tm;
        Geometry::TMBSet(&tm, c.x, c.y, c.z);
        ExpectNear(Geometry::TMBVect(tm, c.local), c.world, c.name);
        Geometry::TRANMAT inverse;
        inverse.tmx[0] = 42.0;
        EXPECT_EQ(Geometry::InvMat(&inverse, tm), c.invertible) << c.name;
        if (c.invertible)
        {
            ExpectNear(Geometry::TMBVect(inverse, c.world), c.local, c.name);
        }
        else
        {
            EXPECT_EQ(inverse.tmx[0], 42.0) << c.name << ": untouched";
        }
    }
}

TEST(CurveGeometry, CirclesThroughTwoPointsTouchingALine)
{
    const Geometry::Sector xAxis {{0, 0}, {1, 0}};
    struct Case
    {
        const char* name;
        Coord p1, p2;
        Geometry::Sector line;
        Coord reference;
        bool found;
        Coord centre;
    };
    const Case cases[] = {
        {"touching at the first point", {0, 0}, {2, 2}, xAxis, {0, 0}, true, {0, 2}},
        {"touching at the second point", {4, -2}, {2, 0}, xAxis, {9, 9}, true, {2, -2}},
        {"tangent along a sloped line", {0, 0}, {std::sqrt(2.0), 0}, {{0, 0}, {R2, R2}}, {0, 0}, true, {R2, -R2}},
        {"two circles, the one touching right", {0, 1}, {0, 4}, xAxis, {5, 0}, true, {2, 2.5}},
        {"two circles, the one touching left", {0, 1}, {0, 4}, xAxis, {-5, 0}, true, {-2, 2.5}},
        {"points parallel to the line", {-1, 2}, {3, 2}, xAxis, {0, 0}, true, {1, 2}},
        {"below the line", {-1, -2}, {3, -2}, xAxis, {0, 0}, true, {1, -2}},
        {"opposite sides", {0, 1}, {0, -1}, xAxis, {0, 0}, false, {}},
        {"both on the line", {0, 0}, {3, 0}, xAxis, {0, 0}, false, {}},
        {"one point twice", {1, 1}, {1, 1}, xAxis, {0, 0}, false, {}},
        {"line without length", {0, 1}, {0, 4}, {{2, 2}, {2, 2}}, {0, 0}, false, {}},
    };
    for (const Case& c : cases)
    {
        Coord centre {7, 7};
        EXPECT_EQ(Geometry::Circle_2Pt1Lin(c.p1, c.p2, c.line, c.reference, &centre), c.found) << c.name;
        ExpectNear(centre, c.found ? c.centre : Coord {7, 7}, c.name);
        if (!c.found) continue;
        // Both points on the circle, and the line at the radius from the centre.
        const double r = Geometry::LenVector({c.p1.x - centre.x, c.p1.y - centre.y});
        EXPECT_NEAR(Geometry::LenVector({c.p2.x - centre.x, c.p2.y - centre.y}), r, Close) << c.name;
        const Coord foot = Geometry::CoordProjSector(centre, c.line);
        EXPECT_NEAR(Geometry::LenVector({foot.x - centre.x, foot.y - centre.y}), r, Close) << c.name;
    }
}

TEST(CurveGeometry, LinesThroughTwoSectorsMeetUnbounded)
{
    struct Case
    {
        const char* name;
        Geometry::Sector s1, s2;
        bool met;
        Coord point;
    };
    const Case cases[] = {
        {"beyond both sectors", {{0, 0}, {1, 0}}, {{2, -1}, {2, -5}}, true, {2, 0}},
        {"diagonals", {{0, 0}, {1, 1}}, {{0, 2}, {1, 1}}, true, {1, 1}},
        {"parallel", {{0, 0}, {1, 1}}, {{3, 1}, {5, 3}}, false, {}},
        {"one line twice", {{0, 0}, {1, 0}}, {{5, 0}, {7, 0}}, false, {}},
        {"a sector without length", {{0, 0}, {0, 0}}, {{2, -1}, {2, 5}}, false, {}},
    };
    for (const Case& c : cases)
    {
        Coord point {7, 7};
        EXPECT_EQ(Geometry::XSectors(c.s1, c.s2, &point), c.met) << c.name;
        ExpectNear(point, c.met ? c.point : Coord {7, 7}, c.name);
    }
}

TEST(CurveGeometry, ALineMeetsACircleInTheSectorsDirection)
{
    const Geometry::Circle circle {{0, 0}, 5};
    struct Case
    {
        const char* name;
        Geometry::Sector sector;
        std::int32_t count;
        Coord first, second;
    };
    const Case cases[] = {
        {"crossing left to right", {{-10, 3}, {10, 3}}, 2, {-4, 3}, {4, 3}},
        {"crossing right to left", {{10, 3}, {-10, 3}}, 2, {4, 3}, {-4, 3}},
        {"through the centre, outside the sector", {{1, 1}, {2, 2}}, 2, {-5 * R2, -5 * R2}, {5 * R2, 5 * R2}},
        {"touching", {{-1, 5}, {1, 5}}, 1, {0, 5}, {0, 5}},
        {"touching within the tolerance", {{-1, 5.000005}, {1, 5.000005}}, 1, {0, 5.000005}, {0, 5.000005}},
        {"missing", {{-1, 6}, {1, 6}}, 0, {7, 7}, {7, 7}},
        {"sector without length", {{1, 1}, {1, 1}}, 0, {7, 7}, {7, 7}},
    };
    for (const Case& c : cases)
    {
        Geometry::Sector result {{7, 7}, {7, 7}};
        EXPECT_EQ(Geometry::XCircleSectorEps(circle, c.sector, &result, 1e-5), c.count) << c.name;
        ExpectNear(result.c1, c.first, c.name);
        ExpectNear(result.c2, c.second, c.name);
    }
}

TEST(CurveGeometry, TwoCirclesMeetLeftThenRightOfTheirCentreLine)
{
    struct Case
    {
        const char* name;
        Geometry::Circle first, second;
        std::int32_t count;
        Coord left, right;
    };
    const Case cases[] = {
        {"crossing", {{0, 0}, 5}, {{8, 0}, 5}, 2, {4, 3}, {4, -3}},
        {"crossing, the other way round", {{8, 0}, 5}, {{0, 0}, 5}, 2, {4, -3}, {4, 3}},
        {"touching outside", {{0, 0}, 2}, {{5, 0}, 3}, 1, {2, 0}, {2, 0}},
        {"touching inside", {{0, 0}, 5}, {{2, 0}, 3}, 1, {5, 0}, {5, 0}},
        {"apart", {{0, 0}, 1}, {{5, 0}, 1}, 0, {7, 7}, {7, 7}},
        {"one inside the other", {{0, 0}, 5}, {{1, 0}, 1}, 0, {7, 7}, {7, 7}},
        {"one centre", {{1, 1}, 2}, {{1, 1}, 2}, 0, {7, 7}, {7, 7}},
    };
    for (const Case& c : cases)
    {
        Geometry::Sector result {{7, 7}, {7, 7}};
        EXPECT_EQ(Geometry::XCirclesEps(c.first, c.second, &result, 1e-5), c.count) << c.name;
        ExpectNear(result.c1, c.left, c.name);
        ExpectNear(result.c2, c.right, c.name);
    }
}

TEST(CurveGeometry, FeetOnALine)
{
    ExpectNear(Geometry::CoordProjSector({3, 4}, {{0, 0}, {10, 0}}), {3, 0}, "on x");
    ExpectNear(Geometry::CoordProjSector({1, 3}, {{0, 0}, {2, 2}}), {2, 2}, "diagonal");
    ExpectNear(Geometry::CoordProjSector({-4, 1}, {{0, 0}, {1, 0}}), {-4, 0}, "behind the sector");
    ExpectNear(Geometry::CoordProjSector({5, 5}, {{1, 2}, {1, 2}}), {1, 2}, "sector without length");
}

TEST(CurveGeometry, SplinesInterpolateTheirControlPoints)
{
    struct Case
    {
        const char* name;
        std::vector<Coord> points;
        bool closed;
        double t;
        Coord expected;
    };
    const Case cases[] = {
        {"two points: a straight piece", {{0, 0}, {2, 0}}, false, 0.25, {0.5, 0}},
        {"three open points, natural ends", {{0, 0}, {1, 1}, {2, 0}}, false, 0.5, {0.5, 0.6875}},
        {"at a control point", {{0, 0}, {1, 1}, {2, 0}}, false, 1.0, {1, 1}},
        {"at the last control point", {{0, 0}, {1, 1}, {2, 0}}, false, 2.0, {2, 0}},
        {"closed, first piece", {{0, 0}, {2, 0}, {1, 2}}, true, 0.5, {1, -0.5}},
        {"closed, closing piece", {{0, 0}, {2, 0}, {1, 2}}, true, 2.5, {0.125, 1.25}},
        {"closed, back at the start", {{0, 0}, {2, 0}, {1, 2}}, true, 3.0, {0, 0}},
        {"closed pair, there", {{0, 0}, {4, 0}}, true, 0.5, {2, 0}},
        {"closed pair, and back", {{0, 0}, {4, 0}}, true, 1.5, {2, 0}},
        {"before the start", {{0, 0}, {2, 0}, {1, 2}}, true, -1.0, {0, 0}},
        {"beyond the end", {{0, 0}, {2, 0}, {1, 2}}, true, 5.0, {0, 0}},
    };
    for (const Case& c : cases)
    {
        std::vector<Geometry::DirType> dirs(c.points.size());
        const auto count = static_cast<std::int32_t>(c.points.size());
        ASSERT_TRUE(Geometry::CalcSpline(c.points.data(), dirs.data(), count, c.closed)) << c.name;
        ExpectNear(Geometry::GetSplineVal(count, c.points.data(), dirs.data(), c.t), c.expected, c.name);
    }
}

TEST(CurveGeometry, SplineTangentsFollowTheirEndConditions)
{
    const std::vector<Coord> open {{0, 0}, {1, 1}, {2, 0}};
    std::vector<Geometry::DirType> dirs(3);
    ASSERT_TRUE(Geometry::CalcSpline(open.data(), dirs.data(), 3, false));
    // Natural ends: D0 = (1, 1.5), D1 = (1, 0), D2 = (1, -1.5).
    EXPECT_NEAR(dirs[0].lenNext, std::hypot(1.0, 1.5), Close);
    EXPECT_NEAR(dirs[0].dirAng, std::atan2(1.5, 1.0), Close);
    EXPECT_NEAR(dirs[1].lenPrev, 1.0, Close);
    EXPECT_NEAR(dirs[1].dirAng, 0.0, Close);
    EXPECT_NEAR(dirs[2].dirAng, std::atan2(-1.5, 1.0), Close);

    // Periodic with three points: each tangent is the chord of its neighbours.
    const std::vector<Coord> loop {{0, 0}, {2, 0}, {1, 2}};
    ASSERT_TRUE(Geometry::CalcSpline(loop.data(), dirs.data(), 3, true));
    EXPECT_NEAR(dirs[0].lenNext * std::cos(dirs[0].dirAng), 1.0, Close);
    EXPECT_NEAR(dirs[0].lenNext * std::sin(dirs[0].dirAng), -2.0, Close);
    EXPECT_NEAR(dirs[2].lenPrev * std::cos(dirs[2].dirAng), -2.0, Close);
}

TEST(CurveGeometry, SplinesNeedTwoFinitePoints)
{
    std::vector<Geometry::DirType> dirs(2, Geometry::DirType {1, 2, 3});
    const Coord one[] = {{1, 1}};
    EXPECT_FALSE(Geometry::CalcSpline(one, dirs.data(), 1, false));
    const Coord notANumber[] = {{0, 0}, {std::numeric_limits<double>::quiet_NaN(), 1}};
    EXPECT_FALSE(Geometry::CalcSpline(notANumber, dirs.data(), 2, true));
    EXPECT_EQ(dirs[0].lenPrev, 1.0) << "untouched";
    EXPECT_EQ(dirs[1].dirAng, 3.0) << "untouched";
}
