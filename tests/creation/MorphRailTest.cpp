#include <cmath>
#include <string>
#include <vector>

#include "CreationFixture.hpp"

// The two inputs of the morph along the rail: the rail from the curve palette's
// curve and the profile polygons from the section palette's current profile.

namespace
{

using Vector = Geometry::Vector3<double>;
using Plan = Geometry::Point2<double>;
using Arc = Curve3DPalette::arcData;

const double Root2 = std::sqrt(0.5);

// One contour per list, each ending on its first point; arcs as (begin, angle).
SectionPalette::SectionDataType ProfilePolygon(const std::vector<std::vector<API_Coord>>& contours,
                                               const std::vector<std::pair<std::int32_t, double>>& arcs = {})
{
    SectionPalette::SectionDataType polygon;
    polygon.coords.Add(API_Coord {});
    polygon.ends.Add(0);
    for (const auto& contour : contours)
    {
        for (const API_Coord& c : contour) polygon.coords.Add(c);
        polygon.ends.Add(static_cast<std::int32_t>(polygon.coords.GetSize()) - 1);
    }
    for (const auto& [begin, angle] : arcs) polygon.arcs.Add(API_PolyArc {begin, begin + 1, angle});
    polygon.coordCount = static_cast<std::int32_t>(polygon.coords.GetSize()) - 1;
    polygon.endCount = static_cast<std::int32_t>(contours.size());
    polygon.arcCount = static_cast<std::int32_t>(arcs.size());
    return polygon;
}

void ExpectNear(const Vector& actual, const Vector& expected, const std::string& what)
{
    EXPECT_NEAR(actual.x, expected.x, 1e-9) << what;
    EXPECT_NEAR(actual.y, expected.y, 1e-9) << what;
    EXPECT_NEAR(actual.z, expected.z, 1e-9) << what;
}

Vector OnCircle(double degrees) { return {std::cos(degrees * Degree), std::sin(degrees * Degree), 0.0}; }
API_Coord3D CurvePointOnCircle(double degrees) { return {std::cos(degrees * Degree), std::sin(degrees * Degree), 0.0}; }

}  // namespace

class MorphRail : public CreationFixture
{
protected:
    void SetCurve(const std::vector<API_Coord3D>& points, const std::vector<Arc>& arcs = {}, std::int16_t closure = 5)
    {
        Curve3DPalette& palette = Main().curvePalette;
        palette.curve.points.Clear();
        palette.curve.arcs.Clear();
        for (const API_Coord3D& p : points) palette.curve.points.Add(p);
        for (const Arc& a : arcs) palette.curve.arcs.Add(a);
        palette.polygonClosure = closure;
    }
    void SetProfile(const std::vector<SectionPalette::SectionDataType>& polygons)
    {
        Main().sectionPalette.currentPolygons.Clear();
        for (const auto& p : polygons) Main().sectionPalette.currentPolygons.Add(p);
    }
    std::vector<Plan> ProfilePoints(std::uint32_t polygon)
    {
        std::vector<Plan> points;
        for (const Plan& p : Main().profileList[polygon].points) points.push_back(p);
        return points;
    }
    std::vector<std::int32_t> ProfileEnds(std::uint32_t polygon)
    {
        std::vector<std::int32_t> ends;
        for (const std::int32_t e : Main().profileList[polygon].ends) ends.push_back(e);
        return ends;
    }
};

TEST_F(MorphRail, PointsAndArcsBecomeRailEntriesWithDirections)
{
    const Arc quarter {0, 1, -Pi / 2, {0, 0, 0}, {0, 0, -1}};
    const Arc twelveDegrees {0, 1, -12 * Degree, {0, 0, 0}, {0, 0, -1}};
    const Arc eightDegrees {0, 1, -8 * Degree, {0, 0, 0}, {0, 0, -1}};
    struct Case
    {
        const char* name;
        std::vector<API_Coord3D> points;
        std::vector<Arc> arcs;
        std::int16_t closure;
        std::vector<Vector> railPoints;
        std::vector<Vector> directions;
    };
    std::vector<Vector> quarterPoints, quarterDirections;
    for (int i = 0; i <= 18; ++i) quarterPoints.push_back(OnCircle(5.0 * i));
    quarterDirections.push_back(OnCircle(92.5));
    for (int i = 1; i < 18; ++i) quarterDirections.push_back(OnCircle(90.0 + 5.0 * i));
    quarterDirections.push_back(OnCircle(177.5));
    const Case cases[] = {
        {"a straight curve",
         {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}},
         {},
         5,
         {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}},
         {{1, 0, 0}, {Root2, Root2, 0}, {0, 1, 0}}},
        {"a point on the last one is left out",
         {{0, 0, 0}, {1, 0, 0}, {1, 0, 0}, {1, 1, 0}},
         {},
         5,
         {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}},
         {{1, 0, 0}, {Root2, Root2, 0}, {0, 1, 0}}},
        {"a quarter circle in steps of 5 degrees", {{1, 0, 0}, {0, 1, 0}}, {quarter}, 5, quarterPoints, quarterDirections},
        {"12 degrees: one inner point",
         {{1, 0, 0}, CurvePointOnCircle(12)},
         {twelveDegrees},
         5,
         {OnCircle(0), OnCircle(6), OnCircle(12)},
         {}},
        {"8 degrees: none", {{1, 0, 0}, CurvePointOnCircle(8)}, {eightDegrees}, 5, {OnCircle(0), OnCircle(8)}, {}},
        {"a closed square starts and ends at its second corner",
         {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {0, 0, 0}},
         {},
         6,
         {{1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {0, 0, 0}, {1, 0, 0}},
         {{Root2, Root2, 0}, {-Root2, Root2, 0}, {-Root2, -Root2, 0}, {Root2, -Root2, 0}, {Root2, Root2, 0}}},
        {"an empty closed curve", {}, {}, 6, {}, {}},
    };
    for (const Case& c : cases)
    {
        SetCurve(c.points, c.arcs, c.closure);
        Main().BuildMorphRail();
        const auto& rail = Main().morphRail;
        ASSERT_EQ(rail.GetSize(), c.railPoints.size()) << c.name;
        for (std::uint32_t i = 0; i < rail.GetSize(); ++i)
        {
            ExpectNear(rail[i].point, c.railPoints[i], std::string(c.name) + ", point " + std::to_string(i));
            if (!c.directions.empty())
                ExpectNear(rail[i].direction, c.directions[i], std::string(c.name) + ", direction " + std::to_string(i));
        }
    }
}

TEST_F(MorphRail, ProfileArcsBecomePointsAndContoursKeepTheirEnds)
{
    const std::vector<API_Coord> square {{0, 0}, {1, 0}, {1, 1}, {0, 1}, {0, 0}};
    const std::vector<API_Coord> hole {{0.25, 0.25}, {0.75, 0.25}, {0.75, 0.75}, {0.25, 0.25}};
    struct Case
    {
        const char* name;
        SectionPalette::SectionDataType polygon;
        std::size_t points;
        std::vector<std::int32_t> ends;
    };
    const Case cases[] = {
        {"a square", ProfilePolygon({square}), 5, {-1, 4}},
        {"a half circle: 17 points between, its end twice", ProfilePolygon({square}, {{1, Pi}}), 23, {-1, 22}},
        {"a square with a hole", ProfilePolygon({square, hole}), 9, {-1, 4, 8}},
        {"an arc from a contour's end stays straight", ProfilePolygon({square, hole}, {{5, Pi / 2}}), 9, {-1, 4, 8}},
        {"an arc from the last coordinate stays straight", ProfilePolygon({square}, {{5, Pi / 2}}), 5, {-1, 4}},
        {"an arc without a turn is a straight edge", ProfilePolygon({square}, {{2, 0.0}}), 5, {-1, 4}},
        {"arcs in any order", ProfilePolygon({square}, {{3, Pi / 2}, {1, 20 * Degree}}), 5 + 2 + 9, {-1, 15}},
    };
    for (const Case& c : cases)
    {
        SetProfile({c.polygon});
        Main().BuildMorphProfile();
        ASSERT_EQ(Main().profileList.GetSize(), 1u) << c.name;
        EXPECT_EQ(ProfilePoints(0).size(), c.points) << c.name;
        EXPECT_EQ(ProfileEnds(0), c.ends) << c.name;
    }

    SetProfile({ProfilePolygon({square}, {{1, Pi}})});
    Main().BuildMorphProfile();
    const std::vector<Plan> half = ProfilePoints(0);
    for (std::size_t n = 1; n <= 17; ++n)
    {
        const double turn = Pi * double(n) / 18.0;
        EXPECT_NEAR(half[n].x, 0.5 - 0.5 * std::cos(turn), 1e-9) << n;
        EXPECT_NEAR(half[n].y, -0.5 * std::sin(turn), 1e-9) << n << ": about the chord's middle, counter-clockwise";
    }
    EXPECT_EQ(half[18].x, 1.0);
    EXPECT_EQ(half[19].x, 1.0) << "the arc's end point twice in a row";
    EXPECT_EQ(half[18].y, half[19].y);

    // A quarter arc from (0, 0) to (1, 0) turns about (0.5, 0.5), off the chord:
    // its points, 10° apart from 225° on, lie below the chord, out of the square.
    SetProfile({ProfilePolygon({square}, {{1, Pi / 2}})});
    Main().BuildMorphProfile();
    const std::vector<Plan> quarter = ProfilePoints(0);
    ASSERT_EQ(quarter.size(), 5u + 9u);
    for (std::size_t n = 1; n <= 8; ++n)
    {
        const double at = (225.0 + 10.0 * double(n)) * Degree;
        EXPECT_NEAR(quarter[n].x, 0.5 + Root2 * std::cos(at), 1e-9) << n;
        EXPECT_NEAR(quarter[n].y, 0.5 + Root2 * std::sin(at), 1e-9) << n;
    }
}

TEST_F(MorphRail, TheDefaultPolygonGoesOnlyForPolygonsOfTheProfile)
{
    SetProfile({});
    Main().BuildMorphProfile();
    ASSERT_EQ(Main().profileList.GetSize(), 1u);
    EXPECT_EQ(ProfilePoints(0).size(), 1u);
    EXPECT_EQ(ProfileEnds(0), (std::vector<std::int32_t> {-1, 0}));

    SetProfile({ProfilePolygon({{{0, 0}, {2, 0}, {2, 1}, {0, 0}}}), ProfilePolygon({{{5, 5}, {6, 5}, {6, 6}, {5, 6}, {5, 5}}})});
    Main().BuildMorphProfile();
    ASSERT_EQ(Main().profileList.GetSize(), 2u);
    EXPECT_EQ(ProfilePoints(0)[1].x, 2.0);
    EXPECT_EQ(ProfilePoints(1)[0].x, 5.0) << "in the profile's order";
    EXPECT_EQ(ProfileEnds(1), (std::vector<std::int32_t> {-1, 4}));
}

TEST(MorphCrossProduct, ResultIsWrittenAndReturned)
{
    Vector result;
    const Vector& returned = Survanto::CrossProduct(result, {1, 2, 3}, {4, 5, 6});
    EXPECT_EQ(&returned, &result);
    EXPECT_EQ(std::vector<double>({result.x, result.y, result.z}), std::vector<double>({-3, 6, -3}));
}
