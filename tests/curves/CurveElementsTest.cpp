#include <cmath>
#include <string>
#include <vector>

#include "CurveFixture.hpp"
#include "UndoableCommand.hpp"

// Walls, polylines, fills and slabs from the curve palette's polygon, as the
// simulated host's project then holds them.

namespace
{

const std::vector<API_Coord3D> square {{0, 0, 0}, {2, 0, 0}, {2, 2, 0}, {0, 2, 0}, {0, 0, 0}};

std::string Coordinates(const std::vector<API_Coord>& coords)
{
    std::string text;
    for (const API_Coord& c : coords) text += "(" + std::to_string(c.x) + "," + std::to_string(c.y) + ")";
    return text;
}

using CurveElements = CurveFixture;

}  // namespace

TEST_F(CurveElements, AClosedSquareGivesFourWalls)
{
    PlaceStation(1, 1);
    SetCurve(square);
    Main().CreateWallsFromCurve();
    const auto walls = Stored(API_WallID);
    ASSERT_EQ(walls.size(), 4u);
    for (std::size_t j = 0; j < 4; ++j)
    {
        const API_WallType& wall = walls[j]->record.wall;
        const std::string name = "wall " + std::to_string(j);
        EXPECT_EQ(wall.begC.x, square[j].x) << name;
        EXPECT_EQ(wall.begC.y, square[j].y) << name;
        EXPECT_EQ(wall.endC.x, square[j + 1].x) << name;
        EXPECT_EQ(wall.endC.y, square[j + 1].y) << name;
        EXPECT_EQ(wall.arcAngle, 0.0) << name;
        EXPECT_EQ(wall.referenceLineCode, 0) << name << ": the station inside, left of every side";
        EXPECT_EQ(wall.geometryKind, 0) << name;
        EXPECT_FALSE(wall.flipped) << name;
        EXPECT_EQ(wall.profileCode, 0) << name;
    }
    EXPECT_EQ(Curves().shownPolylines.GetSize(), 4u);
    EXPECT_TRUE(Main().elementCreated);
    EXPECT_EQ(Model().undoSteps.size(), 1u) << "one undoable command";
}

TEST_F(CurveElements, AClosedSquareGivesAFillOrASlabOfFiveCoordinates)
{
    for (const API_ElemTypeID type : {API_HatchID, API_SlabID})
    {
        Model().content.elements.clear();
        SetCurve(square);
        Curves().shownPolylines.Clear();
        if (type == API_HatchID)
            Main().CreateFillFromCurve();
        else
            Main().CreateSlabFromCurve();
        const auto made = Stored(type);
        ASSERT_EQ(made.size(), 1u) << type;
        const API_ElementMemo& memo = made[0]->memo;
        EXPECT_EQ(Coordinates(memo.coords), Coordinates({{0, 0}, {0, 0}, {2, 0}, {2, 2}, {0, 2}, {0, 0}}))
            << type << ": the lead entry, then the five vertices";
        EXPECT_EQ(memo.pends, (std::vector<std::int32_t> {0, 5})) << type;
        EXPECT_TRUE(memo.parcs.empty()) << type;
        const API_Element& record = made[0]->record;
        const API_Polygon counts = type == API_HatchID ? record.hatch.poly : record.slab.poly;
        EXPECT_EQ(counts.nCoords, 5) << type;
        EXPECT_EQ(counts.nSubPolys, 1) << type;
        EXPECT_EQ(counts.nArcs, 0) << type;
        ASSERT_EQ(Curves().shownPolylines.GetSize(), 1u) << type;
        EXPECT_EQ(Curves().shownPolylines[0], record.header.guid) << type;
    }
}

TEST_F(CurveElements, AnArcWithItsAxisUpGivesAReversedWall)
{
    struct Case
    {
        const char* name;
        Geometry::Vector3<double> axis;
        API_Coord begin, end;
        std::int32_t referenceLine;
    };
    // The arc from (0,0) to (2,0) about (1,0): clockwise in plan over (1,1) with
    // its axis up, counter-clockwise under (1,-1) with its axis down.
    const Case cases[] = {
        {"axis up: built from its end", {0, 0, 1}, {2, 0}, {0, 0}, 2},
        {"axis down: built as measured", {0, 0, -1}, {0, 0}, {2, 0}, 0},
    };
    PlaceStation(1, 5);
    for (const Case& c : cases)
    {
        Model().content.elements.clear();
        Curves().shownPolylines.Clear();
        SetCurve({{0, 0, 0}, {2, 0, 0}}, {{0, 1, -CurvePi, {1, 0, 0}, c.axis}});
        Main().CreateWallsFromCurve();
        const auto walls = Stored(API_WallID);
        ASSERT_EQ(walls.size(), 1u) << c.name;
        const API_WallType& wall = walls[0]->record.wall;
        EXPECT_NEAR(wall.begC.x, c.begin.x, 1e-12) << c.name;
        EXPECT_NEAR(wall.endC.x, c.end.x, 1e-12) << c.name;
        EXPECT_NEAR(wall.arcAngle, CurvePi, 1e-12) << c.name << ": the sweep as a positive angle";
        EXPECT_EQ(wall.referenceLineCode, c.referenceLine) << c.name;
    }
}

TEST_F(CurveElements, TheStationsSideChoosesTheReferenceLine)
{
    struct Case
    {
        const char* name;
        API_Coord station, offset;
        std::int32_t referenceLine;
    };
    // Station positions carry the location offset, the curve does not.
    const Case cases[] = {
        {"left of the segment", {2, 3}, {0, 0}, 0},
        {"on the segment's line", {6, 0}, {0, 0}, 2},
        {"right of the segment", {2, -3}, {0, 0}, 2},
        {"left, with a location offset", {102, 53}, {100, 50}, 0},
        {"right, with a location offset", {102, 53}, {100, 56}, 2},
    };
    for (const Case& c : cases)
    {
        Model().content.elements.clear();
        Model().content.locationOffset = c.offset;
        PlaceStation(c.station.x, c.station.y);
        SetCurve({{0, 0, 0}, {4, 0, 0}});
        Main().CreateWallsFromCurve();
        const auto walls = Stored(API_WallID);
        ASSERT_EQ(walls.size(), 1u) << c.name;
        EXPECT_EQ(walls[0]->record.wall.referenceLineCode, c.referenceLine) << c.name;
    }
}

TEST_F(CurveElements, EachPointReplacesTheDisplayPolyline)
{
    AddLayer(3);
    Defaults(API_PolyLineID).header.layer = 3;
    SetCurve({{0, 0, 0}, {2, 0, 0}});
    Main().DrawCurvePolyline(true);
    SetCurve({{0, 0, 0}, {2, 0, 0}, {3, 1, 0}, {3, 3, 0}}, {{1, 2, -CurvePi / 2, {2, 1, 0}, {0, 0, -1}}});
    Main().DrawCurvePolyline(true);
    auto polylines = Stored(API_PolyLineID);
    ASSERT_EQ(polylines.size(), 1u) << "the first display polyline is gone";
    EXPECT_EQ(polylines[0]->record.header.layer, 1) << "the display lies on layer 1";
    const API_ElementMemo& memo = polylines[0]->memo;
    ASSERT_EQ(memo.parcs.size(), 1u);
    EXPECT_EQ(memo.parcs[0].begIndex, 2);
    EXPECT_EQ(memo.parcs[0].endIndex, 3);
    EXPECT_NEAR(memo.parcs[0].arcAngle, CurvePi / 2, 1e-12) << "counter-clockwise in plan: positive";
    EXPECT_EQ(polylines[0]->record.polyLine.poly.nArcs, 1);
    EXPECT_FALSE(Main().elementCreated) << "a display is no creation";

    // The final polyline takes the tool's layer and replaces the display.
    Main().DrawCurvePolyline(false);
    polylines = Stored(API_PolyLineID);
    ASSERT_EQ(polylines.size(), 1u);
    EXPECT_EQ(polylines[0]->record.header.layer, 3);
    EXPECT_EQ(Model().undoSteps.size(), 3u) << "one command per drawing";
    EXPECT_TRUE(Main().elementCreated);
}

TEST_F(CurveElements, ACurveOfOnePointRemovesTheDisplayAndMakesNothing)
{
    SetCurve({{0, 0, 0}, {2, 0, 0}});
    Main().DrawCurvePolyline(true);
    ASSERT_EQ(Stored(API_PolyLineID).size(), 1u);
    for (const int creator : {0, 1, 2, 3, 4})
    {
        SetCurve(creator == 4 ? std::vector<API_Coord3D> {} : std::vector<API_Coord3D> {{1, 1, 0}});
        switch (creator)
        {
            case 0: Main().CreateWallsFromCurve(); break;
            case 1: Main().CreateFillFromCurve(); break;
            case 2: Main().CreateSlabFromCurve(); break;
            default: Main().DrawCurvePolyline(creator == 3); break;
        }
        EXPECT_TRUE(Model().content.elements.empty()) << creator;
        EXPECT_TRUE(Curves().shownPolylines.IsEmpty()) << creator;
    }
    EXPECT_FALSE(Main().elementCreated);
}

TEST_F(CurveElements, WhatTheHostRefusesIsNotCountedAsMade)
{
    Defaults(API_WallID).header.floorInd = 7;  // a storey the project does not have
    SetCurve(square);
    Main().CreateWallsFromCurve();
    EXPECT_TRUE(Stored(API_WallID).empty());
    EXPECT_TRUE(Curves().shownPolylines.IsEmpty());
    EXPECT_FALSE(Main().elementCreated);

    Model().content.layers.erase(1);  // the display's layer
    Main().DrawCurvePolyline(true);
    EXPECT_TRUE(Stored(API_PolyLineID).empty());
    EXPECT_TRUE(Curves().shownPolylines.IsEmpty());
}

TEST_F(CurveElements, ARefusedLayerEndsTheActionAndKeepsTheDisplay)
{
    SetCurve(square);
    Main().DrawCurvePolyline(true);
    Defaults(API_SlabID).header.layer = 9;  // no such layer; the layer question is cancelled
    Main().pointStep = 4;
    Main().CreateSlabFromCurve();
    EXPECT_EQ(Main().pointStep, 0);
    EXPECT_TRUE(Stored(API_SlabID).empty());
    EXPECT_EQ(Stored(API_PolyLineID).size(), 1u);
}

TEST_F(CurveElements, TheHostKeepsAndTellsThePolygonAndRefusesAnArcOfNoNumber)
{
    SetCurve({{0, 0, 0}, {2, 0, 0}, {3, 1, 0}, {0, 0, 0}}, {{1, 2, -CurvePi / 2, {2, 1, 0}, {0, 0, -1}}});
    Main().CreateFillFromCurve();
    ASSERT_EQ(Stored(API_HatchID).size(), 1u);
    EXPECT_EQ(Host().Facts()["element 1"], "fill (0,0) (2,0) (3,1) (0,0) arcs 2-3:1.57079632679 storey 0 layer 1");

    API_Element fill = Stored(API_HatchID)[0]->record;
    API_ElementMemo memo = Stored(API_HatchID)[0]->memo;
    memo.parcs[0].arcAngle = std::nan("");
    EXPECT_EQ(InUndoableCommand([&] { return HostCreateElement(&fill, &memo); }), APIERR_BADPARS);
    EXPECT_EQ(Stored(API_HatchID).size(), 1u);
}
