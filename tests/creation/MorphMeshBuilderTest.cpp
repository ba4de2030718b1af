#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <vector>

#include "creation/MorphMeshBuilder.hpp"

// The mesh builder's pure part: the faces of measured points, their normal sum,
// the side-plane corners and the thickness, driven without the host.

namespace
{

using Point = MorphMeshBuilder::Point;
constexpr double Pi = 3.14159265358979323846;
constexpr double Tol = 1e-9;

TypVektor<Point> Points(const std::vector<Point>& list)
{
    TypVektor<Point> points;
    for (const Point& p : list) points.Add(p);
    return points;
}

TypVektor<API_Coord3D> Coords(const std::vector<API_Coord3D>& list)
{
    TypVektor<API_Coord3D> coords;
    for (const API_Coord3D& c : list) coords.Add(c);
    return coords;
}

Point Centroid(const TypVektor<Point>& points)
{
    Point sum {};
    for (const Point& p : points) sum = {sum.x + p.x, sum.y + p.y, sum.z + p.z};
    const double n = points.GetSize();
    return {sum.x / n, sum.y / n, sum.z / n};
}

double PlanArea(const MeshFaceData& f)
{
    const auto& v = f.vertices;
    return std::abs((v[1].x - v[0].x) * (v[2].y - v[0].y) - (v[1].y - v[0].y) * (v[2].x - v[0].x)) / 2.0;
}

std::vector<Point> Grid(int columns, int rows, double z = 0.0)
{
    std::vector<Point> points;
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c) points.push_back({double(c), double(r), z});
    return points;
}

std::vector<Point> FacePoints(const MorphMeshBuilder& builder, std::uint32_t from = 0, std::uint32_t to = UINT32_MAX)
{
    std::vector<Point> points;
    for (std::uint32_t i = from; i < std::min(to, builder.Faces().GetSize()); ++i)
        for (const Point& p : builder.Faces()[i].vertices) points.push_back(p);
    return points;
}

bool Same(const Point& a, const Point& b, double tolerance = Tol)
{
    return std::abs(a.x - b.x) <= tolerance && std::abs(a.y - b.y) <= tolerance && std::abs(a.z - b.z) <= tolerance;
}

struct Triangulated
{
    MorphMeshBuilder builder;
    Point normalSum {};
};

std::unique_ptr<Triangulated> Triangulate(const std::vector<Point>& list, const Point& station = {})
{
    auto result = std::make_unique<Triangulated>();
    const TypVektor<Point> points = Points(list);
    result->builder.Triangulate(points, result->normalSum, Centroid(points), station);
    return result;
}

}  // namespace

TEST(MorphMeshBuilder, SpecialInputs)
{
    std::vector<Point> octagon;
    for (int k = 0; k < 8; ++k) octagon.push_back({std::cos(k * Pi / 4), std::sin(k * Pi / 4), 0.1 * k});
    struct Case
    {
        const char* name;
        std::vector<Point> points;
        std::uint32_t faces;
        std::function<void(const MorphMeshBuilder&)> check;
    };
    const Case cases[] = {
        {"rectangle corners", {{0, 0, 0}, {4, 0, 0.5}, {4, 3, 1}, {0, 3, 0.5}}, 2, {}},
        {"3 x 3 grid", Grid(3, 3), 8,
         [](const MorphMeshBuilder& b) {
             for (const MeshFaceData& f : b.Faces()) EXPECT_NEAR(PlanArea(f), 0.5, Tol);
         }},
        {"regular octagon", octagon, 6, {}},
        {"points on one line", {{0, 0, 0}, {1, 2, 5}, {2, 4, 0}, {3, 6, 1}, {-1, -2, 0}}, 0, {}},
        {"two points one above the other",
         {{0, 0, 0}, {2, 0, 0}, {2, 2, 0}, {0, 2, 0}, {1, 1, 0}, {1, 1, 3}},
         4,
         [](const MorphMeshBuilder& b) {
             for (const Point& p : FacePoints(b)) EXPECT_NE(p.z, 3.0) << "the later of the two is left out";
         }},
        {"three points in a vertical plane",
         {{0, 0, 0}, {2, 2, 0}, {1, 1, 3}},
         1,
         [](const MorphMeshBuilder& b) {
             const std::vector<Point> v = FacePoints(b);
             EXPECT_TRUE(Same(v[0], {0, 0, 0}) && Same(v[1], {2, 2, 0}) && Same(v[2], {1, 1, 3})) << "in input order";
         }},
        {"three points on one line in space", {{0, 0, 0}, {1, 1, 1}, {3, 3, 3}}, 0, {}},
        {"two points", {{0, 0, 0}, {1, 0, 0}}, 0, {}},
    };
    for (const Case& c : cases)
    {
        const auto result = Triangulate(c.points);
        EXPECT_EQ(result->builder.Faces().GetSize(), c.faces) << c.name;
        if (c.check) c.check(result->builder);
        const auto again = Triangulate(c.points);
        EXPECT_EQ(FacePoints(again->builder).size(), FacePoints(result->builder).size()) << c.name;
        const std::vector<Point> first = FacePoints(result->builder), second = FacePoints(again->builder);
        for (std::size_t i = 0; i < std::min(first.size(), second.size()); ++i)
            EXPECT_TRUE(Same(first[i], second[i], 0.0)) << c.name << ": the same input gives the same faces";
    }
}

TEST(MorphMeshBuilder, NormalSumPointsAwayFromTheSurfaceCentre)
{
    struct Case
    {
        const char* name;
        std::vector<Point> points;
        Point station;
        Point direction;  // of the normal sum
    };
    const Case cases[] = {
        {"flat floor", Grid(3, 3, 2.0), {1, 1, 10}, {0, 0, 1}},
        {"flat floor seen from below", Grid(3, 3, 2.0), {1, 1, -10}, {0, 0, 1}},
        {"tilted flat roof",
         {{0, 0, 0}, {4, 0, 0}, {4, 3, 3}, {0, 3, 3}, {2, 1.5, 1.5}},
         {},
         {0, -0.7071067811865475, 0.7071067811865475}},
        {"wall facing the station", {{0, 0, 0}, {4, 0, 0}, {2, 0, 3}}, {2, -5, 1}, {0, -1, 0}},
        {"wall with the station behind", {{0, 0, 0}, {4, 0, 0}, {2, 0, 3}}, {2, 5, 1}, {0, 1, 0}},
        {"dome", {{0, 0, 0}, {4, 0, 0}, {4, 4, 0}, {0, 4, 0}, {2, 2, 2}, {1, 2, 1.5}}, {}, {0, 0, 1}},
        {"bowl", {{0, 0, 2}, {4, 0, 2}, {4, 4, 2}, {0, 4, 2}, {2, 2, 0}}, {}, {0, 0, -1}},
    };
    for (const Case& c : cases)
    {
        const auto result = Triangulate(c.points, c.station);
        Point sum = result->normalSum;
        MorphMeshBuilder::Normalize(sum);
        EXPECT_TRUE(Same(sum, c.direction, 1e-6)) << c.name << ": " << sum.x << " " << sum.y << " " << sum.z;
    }
}

TEST(MorphMeshBuilder, VectorHelpers)
{
    const Point v {0.2, 0.3, 0.7};  // its unit vector squared rounds to just above 1
    EXPECT_EQ(MorphMeshBuilder::Angle(v, v), 0.0);
    EXPECT_NEAR(MorphMeshBuilder::Angle({1, 0, 0}, {-2, 0, 0}), Pi, Tol);
    EXPECT_NEAR(MorphMeshBuilder::Angle({1, 0, 0}, {0, 0, 0}), Pi / 2, Tol);
    Point zero {};
    EXPECT_TRUE(Same(MorphMeshBuilder::Normalize(zero), {0, 0, 0}));
    Point w {3, 0, 4};
    EXPECT_TRUE(Same(MorphMeshBuilder::Normalize(w), {0.6, 0, 0.8}));
    EXPECT_DOUBLE_EQ(MorphMeshBuilder::Length({2, 3, 6}), 7.0);
}

class MorphBuild : public ::testing::Test
{
protected:
    void Build(const std::vector<Point>& list, const std::vector<API_Coord3D>& action = {})
    {
        points = Points(list);
        actionPoints = Coords(action);
        builder.Build(points, settings, actionPoints);
    }
    std::uint32_t SurfaceFaces(const std::vector<Point>& list)
    {
        MorphMeshBuilder plain;
        TypVektor<Point> copy = Points(list);
        TypVektor<API_Coord3D> none;
        plain.Build(copy, MorphSettings {}, none);
        return plain.Faces().GetSize();
    }
    // The counterpart of face f of the surface: the first of its seven.
    const MeshFaceData& Counterpart(std::uint32_t surfaceFaces, std::uint32_t f) const
    {
        return builder.Faces()[surfaceFaces + 7 * f];
    }

    MorphSettings settings;
    TypVektor<Point> points;
    TypVektor<API_Coord3D> actionPoints;
    MorphMeshBuilder builder;
};

TEST_F(MorphBuild, ThicknessMakesEveryFaceAPrismAfterTheSurface)
{
    const std::vector<Point> floor = Grid(3, 3, 1.0);
    const std::uint32_t f = SurfaceFaces(floor);
    MorphMeshBuilder plain;
    {
        TypVektor<Point> copy = Points(floor);
        TypVektor<API_Coord3D> none;
        plain.Build(copy, MorphSettings {}, none);
    }
    for (const std::int32_t type : {1, 2})
    {
        settings.thickness = 0.3;
        settings.morphType = type;
        Build(floor, {{0, 0, 5}, {0, 0, 4}});
        ASSERT_EQ(builder.Faces().GetSize(), 8 * f) << "type " << type;
        EXPECT_EQ(FacePoints(builder, 0, f).size(), FacePoints(plain).size());
        const std::vector<Point> first = FacePoints(builder, 0, f), surface = FacePoints(plain);
        for (std::size_t i = 0; i < surface.size(); ++i) EXPECT_TRUE(Same(first[i], surface[i], 0.0)) << "type " << type;
        // The floor goes 0.3 down both ways: against its upward normals, and onto the
        // plane 0.3 along the vector from (0, 0, 5) to (0, 0, 4).
        const MeshFaceData& a = builder.Faces()[0];
        const MeshFaceData& prism = Counterpart(f, 0);
        for (std::size_t k = 0; k < 3; ++k)
            EXPECT_TRUE(Same(prism.vertices[k], {a.vertices[k].x, a.vertices[k].y, type == 1 ? 0.7 : 4.7})) << "type " << type;
        const auto& v = builder.Faces()[f + 6].vertices;  // the seventh: C, C', B'
        EXPECT_TRUE(Same(v[0], a.vertices[2]) && Same(v[1], prism.vertices[2]) && Same(v[2], prism.vertices[1]));
    }
}

TEST_F(MorphBuild, OffsetAlongTheNormalSumByTheThickness)
{
    settings.thickness = 0.5;
    settings.morphType = 1;
    const std::vector<Point> roof {{0, 0, 0}, {4, 0, 0}, {4, 3, 3}, {0, 3, 3}, {2, 1.5, 1.5}};
    Build(roof);
    const std::uint32_t f = SurfaceFaces(roof);
    ASSERT_EQ(builder.Faces().GetSize(), 8 * f);
    const double s = 0.5 / std::sqrt(2.0);
    for (std::uint32_t i = 0; i < f; ++i)
        for (std::size_t k = 0; k < 3; ++k)
        {
            const Point& p = builder.Faces()[i].vertices[k];
            EXPECT_TRUE(Same(Counterpart(f, i).vertices[k], {p.x, p.y + s, p.z - s}));
        }
}

TEST_F(MorphBuild, ExtrusionPutsTheCounterpartsOnTheTargetPlane)
{
    settings.thickness = 2.0;
    settings.morphType = 2;
    const std::vector<Point> terrain {{0, 0, 0.1}, {5, 0, 0.4}, {5, 4, -0.2}, {0, 4, 0.3}, {2, 2, 1.0}, {3, 1, 0.2}};
    Build(terrain, {{1, 1, 1}, {2, 3, 4}});  // g = 2·(1, 2, 3)/√14, the plane through (1, 1, 1) + g
    const std::uint32_t f = SurfaceFaces(terrain);
    ASSERT_EQ(builder.Faces().GetSize(), 8 * f);
    const double n = std::sqrt(14.0);
    const Point unit {1 / n, 2 / n, 3 / n};
    for (std::uint32_t i = 0; i < f; ++i)
        for (std::size_t k = 0; k < 3; ++k)
        {
            const Point& q = Counterpart(f, i).vertices[k];
            const Point& p = builder.Faces()[i].vertices[k];
            EXPECT_NEAR((q.x - 1) * unit.x + (q.y - 1) * unit.y + (q.z - 1) * unit.z, 2.0, 1e-9) << "on the target plane";
            const Point d {p.x - q.x, p.y - q.y, p.z - q.z};
            EXPECT_NEAR(
                MorphMeshBuilder::Length({d.y * unit.z - d.z * unit.y, d.z * unit.x - d.x * unit.z, d.x * unit.y - d.y * unit.x}),
                0.0, 1e-9)
                << "projected along the vector";
        }
}

TEST_F(MorphBuild, WithoutWhatItNeedsTheThicknessIsLeftOut)
{
    const std::vector<Point> floor = Grid(3, 2);
    const std::uint32_t f = SurfaceFaces(floor);
    struct Case
    {
        const char* name;
        double thickness;
        std::int32_t type;
        std::vector<API_Coord3D> action;
    };
    const Case cases[] = {
        {"no thickness", 0.0, 1, {}},
        {"negative thickness", -1.0, 1, {}},
        {"another morph type", 0.3, 3, {}},
        {"one vector point", 0.3, 2, {{0, 0, 0}}},
        {"a vector of no length", 0.3, 2, {{1, 1, 1}, {1, 1, 1.000001}}},
    };
    for (const Case& c : cases)
    {
        settings.thickness = c.thickness;
        settings.morphType = c.type;
        Build(floor, c.action);
        EXPECT_EQ(builder.Faces().GetSize(), f) << c.name;
    }
}

TEST_F(MorphBuild, SidePlanesAddTheirCornersAndLeaveTheRunningAction)
{
    settings.sidePlanes = true;
    const std::vector<Point> floor = Grid(3, 3, 1.0);
    // Base at 0, top at 4, sides x = -1 and y = -1, then the vector of a thickness.
    const std::vector<API_Coord3D> action {{5, 5, 0},  {5, 5, 4},  {-1, 0, 9}, {-1, 5, 9},
                                           {0, -1, 9}, {5, -1, 9}, {7, 7, 7},  {8, 8, 8}};
    Build(floor, action);
    ASSERT_EQ(points.GetSize(), 13u);
    EXPECT_TRUE(Same(points[9], {-1, 0, 0}));   // base and first side: the foot of (0, 0, 1)
    EXPECT_TRUE(Same(points[10], {0, -1, 0}));  // base and second side
    EXPECT_TRUE(Same(points[11], {-1, 0, 4}));  // top and first side
    EXPECT_TRUE(Same(points[12], {0, -1, 4}));  // top and second side
    EXPECT_EQ(builder.Points().GetSize(), 9u) << "the kept copy holds the measured points only";
    ASSERT_EQ(actionPoints.GetSize(), 2u);
    EXPECT_EQ(actionPoints[0].x, 7.0);
    // In plan the top corners stand on the base corners and are left out.
    std::uint32_t corners = 0;
    for (const Point& p : FacePoints(builder)) corners += p.x < 0 || p.y < 0;
    EXPECT_GT(corners, 0u);

    struct Case
    {
        const char* name;
        std::vector<API_Coord3D> action;
        std::uint32_t pointsAfter, actionLeft;
    };
    const Case fewer[] = {
        {"five plane points", {{5, 5, 0}, {5, 5, 4}, {-1, 0, 9}, {-1, 5, 9}, {0, -1, 9}}, 9, 5},
        {"side points equal in plan", {{5, 5, 0}, {5, 5, 4}, {-1, 0, 9}, {-1, 0, 2}, {0, -1, 9}, {5, -1, 9}}, 9, 0},
        {"a side beyond 1000 m", {{5, 5, 0}, {5, 5, 4}, {-2000, 0, 9}, {-2000, 5, 9}, {0, -1, 9}, {5, -1, 9}}, 11, 0},
    };
    for (const Case& c : fewer)
    {
        Build(floor, c.action);
        EXPECT_EQ(points.GetSize(), c.pointsAfter) << c.name;
        EXPECT_EQ(actionPoints.GetSize(), c.actionLeft) << c.name;
    }
}

TEST_F(MorphBuild, TheCentroidIsTakenBeforeTheCorners)
{
    // A flat floor with its top corners high above: with the corners the centroid
    // would lie above the floor and turn its normals down.
    settings.sidePlanes = true;
    settings.thickness = 0.2;
    settings.morphType = 1;
    Build(Grid(3, 3), {{5, 5, 0}, {5, 5, 30}, {-1, 0, 9}, {-1, 5, 9}, {0, -1, 9}, {5, -1, 9}});
    const std::uint32_t f = builder.Faces().GetSize() / 8;
    ASSERT_GT(f, 0u);
    for (std::uint32_t i = 0; i < f; ++i)
        for (std::size_t k = 0; k < 3; ++k) EXPECT_NEAR(Counterpart(f, i).vertices[k].z, -0.2, Tol) << "thickened downward";
}
