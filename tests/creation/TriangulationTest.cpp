#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <random>
#include <set>
#include <tuple>
#include <vector>

#include "Geometry/Geometry.hpp"
#include "creation/PlanPredicates.hpp"
#include "creation/PlanTriangulation.hpp"

// The plan triangulation against references kept here: the empty-circle rule by
// brute force, and on integer points exact sums of areas and counts.

namespace
{

using Geometry::Coord;
using Faces = std::set<PlanTriangle>;

Faces AsSet(const std::vector<PlanTriangle>& triangles) { return Faces(triangles.begin(), triangles.end()); }

// The empty-circle rule with the 1e-5 tolerance, applied to every triple; a
// triple without a circle is no face.
Faces BruteForceFaces(const std::vector<Coord>& q)
{
    Faces faces;
    const std::uint32_t n = static_cast<std::uint32_t>(q.size());
    for (std::uint32_t i = 0; i < n; ++i)
        for (std::uint32_t j = i + 1; j < n; ++j)
            for (std::uint32_t k = j + 1; k < n; ++k)
            {
                const Coord triple[3] = {q[i], q[j], q[k]};
                Coord centre;
                if (!Geometry::Circle_3Pt(triple, &centre)) continue;
                const double radius = std::hypot(q[i].x - centre.x, q[i].y - centre.y);
                bool empty = true;
                for (std::uint32_t l = 0; l < n && empty; ++l)
                    if (l != i && l != j && l != k) empty = std::hypot(q[l].x - centre.x, q[l].y - centre.y) > radius + 1e-5;
                if (empty) faces.insert({i, j, k});
            }
    return faces;
}

std::vector<Coord> RandomPoints(unsigned seed, std::size_t count, double size)
{
    std::mt19937_64 random(seed);
    std::uniform_real_distribution<double> coordinate(-size / 2, size / 2);
    std::vector<Coord> points(count);
    for (Coord& p : points) p = {coordinate(random), coordinate(random)};
    return points;
}

// Exact orientation for coordinates that are whole multiples of 2^-28 below 2^32.
using Wide = __int128;
Wide Orientation(const Coord& a, const Coord& b, const Coord& c)
{
    const auto x = [](double v) { return static_cast<Wide>(std::ldexp(v, 28)); };
    return (x(b.x) - x(a.x)) * (x(c.y) - x(a.y)) - (x(b.y) - x(a.y)) * (x(c.x) - x(a.x));
}

// Points on the hull's boundary, those between corners included; twice its area.
void ExactHull(std::vector<Coord> points, std::size_t& boundaryPoints, Wide& twiceArea)
{
    std::sort(points.begin(), points.end(),
              [](const Coord& a, const Coord& b) { return a.x < b.x || (a.x == b.x && a.y < b.y); });
    std::vector<Coord> hull;
    for (int pass = 0; pass < 2; ++pass)
    {
        const std::size_t base = hull.size();
        for (const Coord& p : points)
        {
            while (hull.size() >= base + 2 && Orientation(hull[hull.size() - 2], hull.back(), p) < 0) hull.pop_back();
            hull.push_back(p);
        }
        hull.pop_back();
        std::reverse(points.begin(), points.end());
    }
    boundaryPoints = hull.size();
    twiceArea = 0;
    for (std::size_t i = 0; i < hull.size(); ++i) twiceArea += Orientation(hull[0], hull[i], hull[(i + 1) % hull.size()]);
}

// The faces tile the hull, none is flat, and no point lies inside a face's circle.
void ExpectDelaunayTiling(const std::vector<Coord>& points, const std::vector<PlanTriangle>& faces, bool checkCircles)
{
    std::size_t boundary = 0;
    Wide hullArea = 0;
    ExactHull(points, boundary, hullArea);
    ASSERT_EQ(faces.size(), 2 * points.size() - boundary - 2);
    Wide area = 0;
    for (const PlanTriangle& f : faces)
    {
        const Wide twice = Orientation(points[f[0]], points[f[1]], points[f[2]]);
        ASSERT_NE(twice, 0) << "a flat face";
        area += twice < 0 ? -twice : twice;
        ASSERT_TRUE(f[0] < f[1] && f[1] < f[2]);
    }
    EXPECT_TRUE(area == hullArea) << "the faces do not tile the hull";
    if (!checkCircles) return;
    for (const PlanTriangle& f : faces)
    {
        const bool counterClockwise = Orientation(points[f[0]], points[f[1]], points[f[2]]) > 0;
        const Coord& a = points[f[0]];
        const Coord& b = counterClockwise ? points[f[1]] : points[f[2]];
        const Coord& c = counterClockwise ? points[f[2]] : points[f[1]];
        for (const Coord& d : points) ASSERT_LE(PlanInCircle(a, b, c, d), 0) << "a point inside a face's circle";
    }
}

std::vector<Coord> IntegerPoints(unsigned seed, std::size_t count, std::int64_t range)
{
    std::mt19937_64 random(seed);
    std::uniform_int_distribution<std::int64_t> coordinate(0, range - 1);
    std::set<std::pair<std::int64_t, std::int64_t>> seen;
    std::vector<Coord> points;
    while (points.size() < count)
    {
        const std::int64_t x = coordinate(random), y = coordinate(random);
        if (seen.insert({x, y}).second) points.push_back({double(x), double(y)});
    }
    return points;
}

std::vector<Coord> Grid(int columns, int rows, Coord along, Coord across)
{
    std::vector<Coord> points;
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c) points.push_back({c * along.x + r * across.x, c * along.y + r * across.y});
    return points;
}

// Integer points near a large circle: many almost on one circle.
std::vector<Coord> NearCircle(std::size_t count, double radius)
{
    std::vector<Coord> points;
    std::set<std::pair<double, double>> seen;
    for (std::size_t i = 0; i < count; ++i)
    {
        const double angle = 2.0 * 3.14159265358979323846 * static_cast<double>(i) / static_cast<double>(count);
        const Coord p {std::round(radius * std::cos(angle)), std::round(radius * std::sin(angle))};
        if (seen.insert({p.x, p.y}).second) points.push_back(p);
    }
    points.push_back({0, 0});
    return points;
}

// Points along a line, some bent off it by 2^-14 to 2^-28, some along a skewed
// line, some lifted by a few 2^-10: a first triangle's circle lies far away, and
// rounding of the sweep's order puts points on or inside the hull.
std::vector<Coord> BentLine(unsigned seed)
{
    std::mt19937_64 random(seed);
    const std::size_t count = 5 + random() % 60;
    const double bend = std::ldexp(1.0, -14 - static_cast<int>(random() % 15));
    const auto shape = random() % 3;
    std::set<double> seen;
    std::vector<Coord> points;
    while (points.size() < count)
    {
        double x = static_cast<double>(random() % 200);
        double y = bend * (static_cast<double>(random() % 7) - 3.0) * static_cast<double>(random() % 2);
        if (!seen.insert(x).second) continue;
        if (shape == 1) std::tie(x, y) = std::make_pair(3 * x + y, 4 * x - 2 * y);
        if (shape == 2) y += 0x1p-10 * static_cast<double>(random() % 2) * static_cast<double>(random() % 3);
        points.push_back({x, y});
    }
    return points;
}

}  // namespace

TEST(PlanTriangulation, RandomPointsGiveTheFacesOfTheEmptyCircleRule)
{
    for (const unsigned seed : {1u, 2u, 3u, 4u, 5u})
    {
        const std::vector<Coord> points = RandomPoints(seed, 10 + 10 * seed, 20.0);
        EXPECT_EQ(AsSet(TriangulateInPlan(points)), BruteForceFaces(points)) << "seed " << seed;
    }
}

TEST(PlanTriangulation, TilesTheHullWithEmptyCircles)
{
    struct Case
    {
        const char* name;
        std::vector<Coord> points;
        bool checkCircles;
    };
    const Case cases[] = {
        {"random integers", IntegerPoints(7, 1500, 1 << 20), true},
        {"crowded integers", IntegerPoints(8, 1500, 60), true},
        {"grid", Grid(40, 30, {1, 0}, {0, 1}), true},
        {"turned grid", Grid(25, 25, {3, 4}, {-4, 3}), true},
        {"near one circle", NearCircle(1200, 1 << 20), true},
        {"line with one point beside",
         [] {
             std::vector<Coord> p = Grid(200, 1, {5, 3}, {0, 0});
             p.push_back({7, 900});
             return p;
         }(),
         true},
        {"nearly on one line",
         {{24, 0x1p-26},
          {50, 0},
          {43, 0},
          {51, 0},
          {2, 0},
          {3, 0},
          {33, 0},
          {57, 0x1p-25},
          {63, 0},
          {13, -0x1p-26},
          {18, 0},
          {59, -0x1p-26},
          {42, 0},
          {34, 0}},
         true},
        {"slightly bent line",
         {{13, 0x1p-28}, {44, -0x1p-28}, {12, 0}, {54, -0x1p-28}, {18, 0}, {56, 0x1p-28}, {21, 0}, {63, 0x1p-27}},
         true},
        {"many random integers", IntegerPoints(9, 40000, 1 << 24), false},
        {"large grid", Grid(150, 150, {2, 0}, {0, 2}), false},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        ExpectDelaunayTiling(c.points, TriangulateInPlan(c.points), c.checkCircles);
    }
    for (unsigned seed = 1; seed <= 600; ++seed)
    {
        SCOPED_TRACE("bent line " + std::to_string(seed));
        const std::vector<Coord> points = BentLine(seed);
        ExpectDelaunayTiling(points, TriangulateInPlan(points), true);
    }
}

TEST(PlanTriangulation, LeavesOutPointsNearAnEarlierOneAndBadCoordinates)
{
    const double nan = std::nan("");
    const std::vector<Coord> points {{0, 0}, {1, 0}, {0, 1}, {1, 1e-6}, {1, 1}, {0.5, 0.5 + 9e-6}, {nan, 2}, {0.5, 0.5}, {1, 1}};
    // Point 3 lies 1e-6 from point 1, point 7 9e-6 from point 5, point 8 on point 4;
    // point 6 has no place.
    const Faces faces = AsSet(TriangulateInPlan(points));
    std::set<std::uint32_t> used;
    for (const PlanTriangle& f : faces) used.insert(f.begin(), f.end());
    EXPECT_EQ(used, (std::set<std::uint32_t> {0, 1, 2, 4, 5}));
    EXPECT_EQ(faces.size(), 4u);
}

TEST(PlanPredicates, DecideExactlyWhereRoundingCannot)
{
    const double big = 9007199254740992.0;  // 2^53: differences to 0.5 do not fit a double
    struct Case
    {
        const char* name;
        Coord a, b, c, d;
        int orientation, inCircle;
    };
    const Case cases[] = {
        {"rectangle far out", {0.5, 0.5}, {big, 0.5}, {big, big}, {0.5, big}, 1, 0},
        {"on the diagonal", {0.5, 0.5}, {big, big}, {1, 1}, {0.5, big}, 0, 0},
        {"just above the diagonal", {0.5, 0.5}, {big, big}, {1, 1.0000000000000002}, {0.5, big}, 1, -1},
        {"just inside", {0, 0}, {1, 0}, {0, 1}, {1, 0.9999999999999999}, 1, 1},
        {"just outside", {0, 0}, {1, 0}, {0, 1}, {1, 1.0000000000000002}, 1, -1},
        {"clockwise", {0, 0}, {0, 1}, {1, 0}, {0.5, 0.5}, -1, -1},
    };
    for (const Case& c : cases)
    {
        EXPECT_EQ(PlanOrientation(c.a, c.b, c.c), c.orientation) << c.name;
        if (c.orientation != 0)
        {
            EXPECT_EQ(PlanInCircle(c.a, c.b, c.c, c.d), c.inCircle) << c.name;
        }
    }
}
