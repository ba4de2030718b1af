#include <gtest/gtest.h>

#include <string>

#include "API/Types.hpp"
#include "curves/CurvePaletteRules.hpp"

// The curve palette's item and prompt rules as one table: the palette's state and
// the main palette's in, the items shown, enabled and pressed and the prompt out.

namespace
{

enum MainOption
{
    NoOption = 0,
    Option14 = 14,
    Option15 = 15
};

CurvePaletteState State(std::int32_t tool, bool mainOpen, MainOption option, bool section, std::int16_t dimension, bool plane,
                        std::int16_t method, std::int16_t step, std::uint32_t vertices, std::int16_t arcPoints = 0,
                        std::uint32_t planePoints = 0, std::uint32_t segmentPoints = 0)
{
    CurvePaletteState s;
    s.tool = tool;
    s.mainPaletteOpen = mainOpen;
    s.mainFirstOption = option == Option14;
    s.mainSecondOption = option == Option15;
    s.sectionMode = section;
    s.curveDimension = dimension;
    s.planeDefined = plane;
    s.curveMode = method;
    s.curveStep = step;
    s.vertexCount = vertices;
    s.arcPointCount = arcPoints;
    s.planePointCount = planePoints;
    s.segmentPointCount = segmentPoints;
    return s;
}

std::string Items(const std::bitset<20>& items)
{
    std::string text;
    for (std::size_t item = 1; item < items.size(); ++item)
        if (items[item]) text += (text.empty() ? "" : " ") + std::to_string(item);
    return text;
}

struct Row
{
    const char* label;
    CurvePaletteState state;
    const char* shown;
    const char* enabled;
    const char* pressed;
    std::int16_t prompt;
};

constexpr bool Open = true, Closed = false, Section = true, Main = false, Plane = true, NoPlane = false;
constexpr std::int16_t D2 = 3, D3 = 4;

const Row rows[] = {
    // The Part's own edge cases first.
    {"slab opens closed, in 2D, without the plane button", State(API_SlabID, Open, Option15, Main, D2, Plane, 0, 0, 0),
     "1 2 3 4 5 6 7 8 9 10 12 17 18 19", "1 2 3 6 7 8 9 10 11 12 17 18 19", "6", 2},
    {"morph, main palette closed: 3D only", State(API_MorphID, Closed, NoOption, Main, D3, NoPlane, 0, 0, 0),
     "1 2 3 4 5 6 7 8 12 17 18", "1 2 4 5 6 7 8 12 17 18", "5", 3},
    {"profile, main palette closed: nothing", State(API_MorphID, Closed, NoOption, Section, D2, NoPlane, 11, 0, 0),
     "1 2 3 4 5 6 7 12 17 18", "", "6 11", 4},
    {"neither dimension: no method", State(API_MorphID, Open, NoOption, Main, 0, NoPlane, 0, 0, 0), "1 2 3 4 5 6 7 12 17 18",
     "1 2 3 4 5 6 7 12 17 18", "5", 1},
    {"morph in 2D without a plane: only the plane method", State(API_MorphID, Open, NoOption, Main, D2, NoPlane, 0, 0, 0),
     "1 2 3 4 5 6 7 8 9 10 11 12 17 18 19", "1 2 3 4 5 6 7 11 12 17 18", "5", 4},
    {"end points, 2D, no vertex, straight", State(API_SlabID, Open, Option15, Main, D2, Plane, 8, 13, 0),
     "1 2 3 4 5 6 7 8 9 10 12 13 14 15 17 18 19", "1 2 3 6 7 8 9 10 11 12 13 15 17 18 19", "6 8 13", 21},
    {"end points, first vertex: tangential arc still off", State(API_SlabID, Open, Option15, Main, D2, Plane, 8, 13, 1),
     "1 2 3 4 5 6 7 8 9 10 12 13 14 15 17 18 19", "1 2 3 6 7 8 9 10 11 12 13 15 17 18 19", "6 8 13", 10},
    {"end points, two vertices, tangential arc", State(API_SlabID, Open, Option15, Main, D2, Plane, 8, 14, 2),
     "1 2 3 4 5 6 7 8 9 10 12 13 14 15 17 18 19", "1 2 3 6 7 8 9 10 11 12 13 14 15 17 18 19", "6 8 14", 11},
    {"end points, no vertex, two-point arc", State(API_SlabID, Open, Option15, Main, D2, Plane, 8, 15, 0, 1),
     "1 2 3 4 5 6 7 8 9 10 12 13 14 15 17 18 19", "1 2 3 6 7 8 9 10 11 12 13 15 17 18 19", "6 8 15", 14},
    {"two-point arc, its first point", State(API_SlabID, Open, Option15, Main, D2, Plane, 8, 15, 1, 1),
     "1 2 3 4 5 6 7 8 9 10 12 13 14 15 17 18 19", "1 2 3 6 7 8 9 10 11 12 13 15 17 18 19", "6 8 15", 12},
    {"two-point arc, its second point", State(API_SlabID, Open, Option15, Main, D2, Plane, 8, 15, 1, 2),
     "1 2 3 4 5 6 7 8 9 10 12 13 14 15 17 18 19", "1 2 3 6 7 8 9 10 11 12 13 15 17 18 19", "6 8 15", 13},
    {"end points in 3D, no vertex", State(API_MorphID, Open, NoOption, Main, D3, NoPlane, 8, 13, 0),
     "1 2 3 4 5 6 7 8 12 13 14 15 17 18", "1 2 3 4 5 6 7 8 12 13 15 17 18", "5 8 13", 10},
    // The other methods and tools.
    {"two points per side, first point", State(API_PolyLineID, Open, Option14, Main, D2, Plane, 9, 13, 0),
     "1 2 3 4 5 6 7 8 9 10 12 13 14 17 18 19", "1 2 3 5 6 7 8 9 10 11 12 13 14 17 18 19", "5 9 13", 15},
    {"two points per side, second point", State(API_PolyLineID, Open, Option14, Main, D2, Plane, 9, 13, 2, 0, 0, 1),
     "1 2 3 4 5 6 7 8 9 10 12 13 14 17 18 19", "1 2 3 5 6 7 8 9 10 11 12 13 14 17 18 19", "5 9 13", 16},
    {"curved side, third point", State(API_PolyLineID, Open, Option14, Main, D2, Plane, 9, 14, 2, 0, 0, 2),
     "1 2 3 4 5 6 7 8 9 10 12 13 14 17 18 19", "1 2 3 5 6 7 8 9 10 11 12 13 14 17 18 19", "5 9 14", 19},
    {"spline of a fill", State(API_HatchID, Open, Option15, Main, D2, Plane, 10, 13, 0), "1 2 3 4 5 6 7 8 9 10 12 13 17 18 19",
     "1 2 3 6 7 8 9 10 11 12 13 17 18 19", "6 10 13", 20},
    {"profile plane, third point", State(API_MorphID, Open, NoOption, Section, D2, NoPlane, 11, 14, 0, 0, 2),
     "1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 17 18 19", "1 2 3 6 7 11 12 13 14 15 17 18", "6 11 14", 7},
    {"rail plane, vertical, second point", State(API_MorphID, Open, NoOption, Main, D2, NoPlane, 11, 15, 0, 0, 1),
     "1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 17 18 19", "1 2 3 4 5 6 7 11 12 13 14 15 17 18", "5 11 15", 6},
    {"profile with its plane: no spline, a ceiling", State(API_MorphID, Open, NoOption, Section, D2, Plane, 0, 0, 0),
     "1 2 3 4 5 6 7 8 9 10 11 12 17 18 19", "1 2 3 6 7 8 9 11 12 17 18 19", "6", 2},
    {"profile plane just measured: a method next", State(API_MorphID, Open, NoOption, Section, D2, Plane, 11, 0, 0),
     "1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 17 18 19", "1 2 3 6 7 8 9 11 12 13 14 15 17 18 19", "6 11", 2},
    {"walls: open or closed, no ceiling", State(API_WallID, Open, Option15, Main, D2, Plane, 0, 0, 0),
     "1 2 3 4 5 6 7 8 9 10 12 17 18 19", "1 2 3 5 6 7 8 9 10 11 12 17 18", "5", 2},
    {"walls without the main palette's option", State(API_WallID, Open, NoOption, Main, D2, Plane, 0, 0, 0),
     "1 2 3 4 5 6 7 12 17 18", "", "5", 2},
    {"ceiling chosen", State(API_SlabID, Open, Option15, Main, D2, Plane, 19, 0, 0), "1 2 3 4 5 6 7 8 9 10 12 17 18 19",
     "1 2 3 6 7 8 9 10 11 12 17 18 19", "6 19", 2},
};

}  // namespace

TEST(CurvePaletteRules, ItemsAndPromptFollowTheState)
{
    for (const Row& row : rows)
    {
        const CurvePaletteView view = DescribeCurvePalette(row.state);
        EXPECT_EQ(Items(view.shown), row.shown) << row.label;
        EXPECT_EQ(Items(view.enabled), row.enabled) << row.label;
        EXPECT_EQ(Items(view.pressed), row.pressed) << row.label;
        EXPECT_EQ(view.promptIndex, row.prompt) << row.label;
    }
}

TEST(CurvePaletteRules, FillsSlabsAndProfilesAreAlwaysClosed)
{
    struct Case
    {
        std::int32_t tool;
        bool section;
        std::int16_t closure;
    };
    const Case cases[] = {{API_SlabID, false, 6},     {API_HatchID, false, 6}, {API_MorphID, true, 6},
                          {API_PolyLineID, false, 5}, {API_WallID, false, 5},  {API_MorphID, false, 5}};
    for (const Case& c : cases)
    {
        CurvePaletteState state = State(c.tool, Open, Option15, c.section, D2, Plane, 0, 0, 0);
        const CurvePaletteView view = DescribeCurvePalette(state);
        EXPECT_EQ(view.polygonClosure, c.closure) << c.tool;
        EXPECT_EQ(view.pressed[6], c.closure == 6) << c.tool << ": shown as forced";
        EXPECT_EQ(view.pressed[5], c.closure == 5) << c.tool;
        state.polygonClosure = 6;
        EXPECT_EQ(DescribeCurvePalette(state).polygonClosure, 6) << c.tool << ": a closed choice stays";
    }
}

TEST(CurvePaletteRules, EachMethodShowsItsStepIcons)
{
    struct Case
    {
        std::int16_t method;
        std::int16_t icon13, icon14, icon15;
    };
    const Case cases[] = {
        {8, 32628, 32629, 32630}, {9, 32649, 32650, 0}, {10, 32648, 0, 0}, {11, 32637, 32638, 32639}, {19, 0, 0, 0}};
    for (const Case& c : cases)
    {
        const CurvePaletteView view = DescribeCurvePalette(State(API_MorphID, Open, NoOption, Main, D2, Plane, c.method, 13, 2));
        EXPECT_EQ(view.icons[13], c.icon13) << c.method;
        EXPECT_EQ(view.icons[14], c.icon14) << c.method;
        EXPECT_EQ(view.icons[15], c.icon15) << c.method;
        EXPECT_EQ(view.icons[16], 0) << "item 16 is never shown";
        EXPECT_FALSE(view.shown[16]);
    }
}
