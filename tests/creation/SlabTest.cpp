#include <cmath>
#include <string>
#include <vector>

#include "CreationFixture.hpp"

// Slabs, fills and splines from a collected polygon: corner points after "Polygon
// beenden" (item 19), edge-point pairs after "Polygon schließen" or "Verbinden".

namespace
{

constexpr double Tol = 1e-9;
constexpr std::int16_t SlabCollectingItem = 14;
constexpr std::int16_t CornerPointsItem = 19;
constexpr std::int16_t AngleSnapItem = 26;

std::vector<API_Coord> Corners(const SimHost::StoredElement& element)
{
    std::vector<API_Coord> corners;
    const auto& coords = element.memo.coords;
    for (std::size_t i = 1; i + 1 < coords.size(); ++i) corners.push_back(coords[i]);
    return corners;
}

void ExpectCorners(const std::vector<API_Coord>& actual, const std::vector<API_Coord>& expected, const std::string& name)
{
    ASSERT_EQ(actual.size(), expected.size()) << name;
    for (std::size_t i = 0; i < expected.size(); ++i)
    {
        EXPECT_NEAR(actual[i].x, expected[i].x, Tol) << name << " corner " << i;
        EXPECT_NEAR(actual[i].y, expected[i].y, Tol) << name << " corner " << i;
    }
}

}  // namespace

class SlabTest : public CreationFixture
{
protected:
    const SimHost::StoredElement* Made(API_ElemTypeID type)
    {
        const SimHost::StoredElement* found = nullptr;
        for (const SimHost::StoredElement& e : Model().content.elements)
            if (e.record.header.typeID == type) found = &e;
        return found;
    }

    void Collect(std::initializer_list<API_Coord3D> points, bool cornerPoints)
    {
        Model().content.elements.clear();
        Model().undoSteps.clear();
        SetItem(SlabCollectingItem, 1.0);
        SetItem(CornerPointsItem, cornerPoints ? 1.0 : 0.0);
        SetPoints(points);
    }
};

// Each pair lies on one edge; consecutive edges meet in the corners, the first
// corner where the first edge meets the last; parallel edges fall back to a
// measured point. The outline goes to the host closed, from index 1.
TEST_F(SlabTest, EdgePointPairsMeetInTheCorners)
{
    struct Case
    {
        const char* name;
        std::vector<API_Coord3D> points;
        std::vector<API_Coord> corners;
    };
    const Case cases[] = {
        {"parallel edges", {{1, 0, 0}, {3, 0, 0}, {4, 1, 0}, {5, 1, 0}, {0, 3, 0}, {0, 1, 0}}, {{0, 0}, {3, 0}, {0, 1}}},
        {"odd last point",
         {{1, 0, 0}, {3, 0, 0}, {3, 0.75, 0}, {1, 2.25, 0}, {0, 2, 0}, {0, 1, 0}, {9, 9, 0}},
         {{-1.125, 0}, {4, 0}, {0, 3}}},
        {"triangle", {{1, 0, 0}, {3, 0, 0}, {3, 0.75, 0}, {1, 2.25, 0}, {0, 2, 0}, {0, 1, 0}}, {{0, 0}, {4, 0}, {0, 3}}},
    };
    for (const Case& c : cases)
    {
        Model().content.elements.clear();
        SetItem(SlabCollectingItem, 1.0);
        SetItem(CornerPointsItem, 0.0);
        SetPoints(c.points);
        Main().CreateSlab();
        const SimHost::StoredElement* slab = Made(API_SlabID);
        ASSERT_NE(slab, nullptr) << c.name;
        ExpectCorners(Corners(*slab), c.corners, c.name);
        const auto k = static_cast<std::int32_t>(c.corners.size());
        EXPECT_EQ(slab->memo.pends, (std::vector<std::int32_t> {0, k + 1})) << c.name;
        EXPECT_EQ(slab->record.slab.poly.nCoords, k + 1) << c.name;
        EXPECT_EQ(Main().slabPoints.GetSize(), static_cast<std::uint32_t>(k)) << c.name;
        EXPECT_EQ(Main().pointStep, 0) << c.name;
    }
    EXPECT_EQ(Host().Fact("element 1"), "slab (0,0) (4,0) (0,3) (0,0) offset 0 storey 0 layer 1");
}

// Two pairs on two crossing edges give the same corner twice: no area, no slab,
// no fill, and no undo step.
TEST_F(SlabTest, FewerThanThreeCornersMakeNothing)
{
    for (const API_ElemTypeID type : {API_SlabID, API_HatchID})
    {
        Collect({{0, 0, 0}, {2, 0, 0}, {3, 1, 0}, {3, 3, 0}}, false);
        type == API_SlabID ? Main().CreateSlab() : Main().CreateFill();
        ASSERT_EQ(Main().slabPoints.GetSize(), 2u) << type;
        EXPECT_EQ(Main().slabPoints[0].x, 3.0);
        EXPECT_EQ(Main().slabPoints[1].x, 3.0);
        EXPECT_TRUE(Model().content.elements.empty()) << type;
        EXPECT_TRUE(Model().undoSteps.empty()) << type;
        EXPECT_EQ(Main().pointStep, 0) << type;
    }
    Collect({{0, 0, 0}, {2, 0, 0}}, true);
    Main().CreateFill();
    EXPECT_TRUE(Model().content.elements.empty()) << "two corner points";
}

TEST_F(SlabTest, ASlabNeedsItsCollectingOptionAndThreePoints)
{
    Collect({{0, 0, 0}, {4, 0, 0}, {4, 3, 0}}, true);
    SetItem(SlabCollectingItem, 0.0);
    Main().CreateSlab();
    EXPECT_TRUE(Model().content.elements.empty());
    Collect({{0, 0, 0}, {4, 0, 0}}, true);
    Main().CreateSlab();
    EXPECT_TRUE(Model().content.elements.empty());
    Collect({{0, 0, 0}, {4, 0, 0}, {4, 3, 0}}, true);
    Main().CreateSlab();
    ASSERT_NE(Made(API_SlabID), nullptr);
    ExpectCorners(Corners(*Made(API_SlabID)), {{0, 0}, {4, 0}, {4, 3}}, "corner points");
    EXPECT_TRUE(Main().elementCreated);
}

// With the angle snap on, the second point of each pair turns about the first.
TEST_F(SlabTest, CornerPointsSnapInPairs)
{
    SetItem(AngleSnapItem, 1.0);
    const double slightlyOff = 4 * std::tan(0.5 * Degree);
    for (const API_ElemTypeID type : {API_SlabID, API_HatchID})
    {
        Collect({{0, 0, 0}, {4, slightlyOff, 0}, {4, 3, 0}, {0.2, 3 + slightlyOff, 0}}, true);
        type == API_SlabID ? Main().CreateSlab() : Main().CreateFill();
        ASSERT_NE(Made(type), nullptr) << type;
        const std::vector<API_Coord> corners = Corners(*Made(type));
        EXPECT_NEAR(corners[1].y, 0.0, Tol) << type;
        EXPECT_NEAR(corners[1].x, std::hypot(4, slightlyOff), Tol) << type;
        EXPECT_NEAR(corners[3].y, 3.0, Tol) << type;
    }
}

TEST_F(SlabTest, AFillInAnElevationLiesInItsPlane)
{
    SimHost::StoredElement elevation;
    elevation.record.header.typeID = API_ElevationID;
    elevation.record.header.guid = Model().NewGuid();
    elevation.record.cutPlane.segmentCount = 1;
    elevation.memo.sectionSegments = {{2}};
    elevation.memo.sectionMainCoords = {{0, 0}, {10, 0}};
    elevation.memo.sectionDistCoords = {{0, 1}, {10, 1}};
    Model().content.elements.push_back(elevation);
    Model().frontWindow = APIWind_ElevationID;
    Model().currentDatabase.typeID = APIWind_ElevationID;
    Model().currentDatabase.elementGuid = elevation.record.header.guid;

    SetItem(CornerPointsItem, 1.0);
    SetPoints({{1, 4, 0}, {5, 4, 0}, {5, 4, 2}});
    Main().CreateFill();
    EXPECT_EQ(Host().Fact("element 2"), "fill (1,0) (5,0) (5,2) (1,0) storey 0 layer 1 in elevation of element 1");
    EXPECT_EQ(Main().pointStep, 0);
}

// A spline runs through every point from the list's first entry; it is closed
// after "Polygon schließen" or "Verbinden", open after "Polygon beenden".
TEST_F(SlabTest, ASplineRunsThroughItsPointsOpenOrClosed)
{
    for (const bool closed : {false, true})
    {
        Model().content.elements.clear();
        Main().polygonFinish = closed;
        SetPoints({{0, 0, 1}, {1, 2, 1}, {3, 1, 1}, {4, 3, 1}});
        Main().CreateSpline();
        const SimHost::StoredElement* spline = Made(API_SplineID);
        ASSERT_NE(spline, nullptr);
        EXPECT_EQ(spline->record.spline.closed, closed);
        EXPECT_EQ(Host().Fact("element 1"),
                  std::string("spline ") + (closed ? "closed" : "open") + " (0,0) (1,2) (3,1) (4,3) storey 0 layer 1");
        EXPECT_EQ(Main().pointStep, 0);
    }
}
