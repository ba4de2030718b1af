#include "measuring/PaletteToolViews.hpp"

#include <algorithm>
#include <array>

#include "API/Types.hpp"

namespace
{

constexpr std::int32_t WindowWithoutOptions = FourCC("WAEN");
constexpr std::int32_t PhotoSubtype = FourCC("SVPH");

// Views with a variation come before the view of the same tool for any variation.
const std::vector<ToolView>& ToolViews()
{
    static const std::vector<ToolView> views {
        {API_WallID,
         0,
         {14, 15, 16, 17, 18, 19, 20, 23, 24, 47},
         {{19, 32535}, {20, 32543}, {14, 32537}, {15, 32538}, {16, 32539}, {17, 32618}, {18, 32503}, {23, 32641}, {24, 32504}},
         {{14, 1}, {15, 1}, {16, 1}, {17, 1}, {18, 2}},
         {},
         {}},
        {API_ColumnID,
         0,
         {14, 15, 16, 17, 18, 44, 45, 46, 52},
         {{14, 32540}, {15, 32541}, {16, 32542}, {17, 32505}},
         {{14, 2}, {15, 2}, {16, 2}, {17, 2}, {18, 4}, {44, 1}, {45, 1}, {46, 1}, {52, 1}},
         {},
         {}},
        {API_BeamID,
         0,
         {14, 15, 16, 17, 19, 20, 52, 71, 72},
         {{14, 32555}, {15, 32556}, {16, 32562}, {17, 32558}},
         {{14, 5}, {15, 4}, {16, 3}, {17, 3}},
         {},
         {}},
        {API_WindowID, WindowWithoutOptions, {}, {{19, 32535}, {20, 32543}, {14, 32550}}, {{14, 4}, {19, 1}, {20, 1}}, {}, {}},
        {API_WindowID,
         0,
         {14, 15, 21, 22, 33, 34, 35, 36, 37, 38, 39, 53, 54, 55, 56, 57, 58, 59, 60},
         {{14, 32544}, {15, 32545}},
         {{14, 3}, {15, 3}, {21, 1}},
         {{21, {32597, 32557}}},
         RevealIcons {32590, 32594, 32591, 32666, {32595, 32596, 32667}}},
        {API_DoorID,
         0,
         {14, 15, 21, 22, 33, 34, 35, 36, 37, 38, 39},
         {{14, 32553}, {15, 32554}},
         {{14, 3}, {15, 3}, {21, 2}},
         {{21, {32604, 32605}}},
         RevealIcons {32606, 32608, 32607, 32666, {32609, 32610, 32667}}},
        {API_ObjectID,
         PhotoSubtype,
         {14, 68, 69, 70},
         {{14, 32550}, {15, 32583}},
         {{14, 7}, {15, 7}, {44, 2}, {45, 2}, {46, 2}},
         {},
         {}},
        {API_ObjectID,
         0,
         {14, 15, 44, 45, 46, 52},
         {{14, 32582}, {15, 32583}},
         {{14, 7}, {15, 7}, {44, 2}, {45, 2}, {46, 2}},
         {},
         {}},
        {API_LampID,
         0,
         {14, 15, 44, 45, 46, 52},
         {{19, 32535}, {20, 32543}, {14, 32582}, {15, 32583}},
         {{14, 4}, {15, 9}, {19, 1}, {20, 1}, {44, 2}, {45, 2}, {46, 2}},
         {},
         {}},
        {API_SlabID,
         0,
         {14, 15, 19, 20},
         {{19, 32616}, {20, 32543}, {14, 32550}, {15, 32664}},
         {{14, 4}, {15, 11}, {19, 2}, {20, 2}},
         {},
         {}},
        {API_RoofID, 0, {14}, {{14, 32584}}, {{14, 11}}, {}, {}},
        {API_MeshID,
         0,
         {14, 15, 16, 20, 41, 42, 43, 79},
         {{14, 32550}, {15, 32510}, {16, 32511}},
         {{14, 4}, {15, 5}, {16, 4}},
         {},
         {}},
        {API_HatchID, 0, {14, 15, 19, 20}, {{19, 32601}, {20, 32615}, {14, 32550}, {15, 32652}}, {{14, 4}, {15, 9}}, {}, {}},
        {API_PolyLineID, 0, {14}, {{14, 32633}}, {{14, 10}}, {}, {}},
        {API_ArcID, 0, {14, 15}, {{14, 32603}, {15, 32602}}, {{14, 6}, {15, 6}}, {}, {}},
        {API_SplineID, 0, {14, 19, 20}, {{19, 32599}, {20, 32600}, {14, 32550}}, {{14, 4}}, {}, {}},
        {API_ShellID,
         0,
         {14, 15, 16, 17, 18},
         {{14, 32619}, {15, 32623}, {16, 32620}, {17, 32621}, {18, 32622}},
         {{14, 8}, {15, 8}, {16, 5}, {17, 4}, {18, 3}},
         {},
         {}},
        {API_MorphID,
         0,
         {14, 15, 61, 62, 73, 74, 75, 76, 78},
         {{14, 32624}, {15, 32633}, {16, 32626}},
         {{14, 9}, {15, 9}, {16, 6}},
         {},
         {}},
        {NoTool, 0, {14}, {{19, 32535}, {20, 32543}, {14, 32550}}, {{14, 4}, {19, 1}, {20, 1}}, {}, {}},
    };
    return views;
}

// Polygon buttons: the wall needs one point more before it may finish open.
struct FinishButton
{
    std::int16_t item;
    std::uint32_t points;
    std::uint32_t wallPoints;
};

constexpr FinishButton FinishButtons[] = {{19, 3, 4}, {20, 6, 6}, {78, 3, 3}};

// The eight anchor icons and the host's anchor codes they stand for; the centre
// (code 4) has none.
const std::vector<std::int16_t> AnchorIcons {32570, 32571, 32572, 32573, 32574, 32575, 32576, 32577};
constexpr std::array<std::int32_t, 8> AnchorCodes {0, 1, 2, 3, 5, 6, 7, 8};

bool Has(const std::vector<std::int16_t>& items, std::int16_t item)
{
    return std::find(items.begin(), items.end(), item) != items.end();
}

}  // namespace

const std::vector<std::int16_t>& ToolDependentItems()
{
    static const std::vector<std::int16_t> items {14, 15, 16, 17, 18, 19, 20, 78, 21, 22, 23, 24, 52, 33,
                                                  34, 38, 35, 39, 36, 37, 41, 42, 43, 44, 45, 46, 68, 69,
                                                  70, 47, 52, 53, 54, 55, 56, 57, 58, 59, 60, 61, 62};
    return items;
}

const std::vector<std::int16_t>& AlwaysAppliedItems()
{
    static const std::vector<std::int16_t> items {71, 72, 73, 74, 75, 76, 77, 78, 79, 80, 81, 82};
    return items;
}

const ToolView& ToolViewOf(std::int32_t tool, std::int32_t variation)
{
    const auto& views = ToolViews();
    const auto found = std::find_if(views.begin(), views.end(), [tool, variation](const ToolView& view) {
        return view.tool == tool && (view.variation == 0 || view.variation == variation);
    });
    return found != views.end() ? *found : views.back();
}

bool IsShownFor(const ToolView& view, std::int16_t item)
{
    return item == 80 || item == 81 || item == 82 || Has(view.shown, item);
}

std::uint32_t PointsToFinish(std::int16_t item, std::int32_t tool)
{
    for (const FinishButton& button : FinishButtons)
        if (button.item == item) return tool == API_WallID ? button.wallPoints : button.points;
    return 0;
}

const std::vector<std::int16_t>& AnchorIconsFor(std::int32_t tool, std::int16_t mode)
{
    static const std::vector<std::int16_t> beamEdges {32571, 32573, 32574, 32576};
    return tool == API_BeamID && mode != 16 ? beamEdges : AnchorIcons;
}

std::int16_t AnchorIconOf(std::int32_t hostAnchorCode)
{
    for (std::size_t i = 0; i < AnchorCodes.size(); ++i)
        if (AnchorCodes[i] == hostAnchorCode) return AnchorIcons[i];
    return AnchorIcons.front();
}

bool CollectsPolygon(std::int32_t tool, bool firstOptionOn, bool secondOptionOn)
{
    const bool byEdges = tool == API_WallID || tool == API_BeamID;
    const bool byCorners = tool == API_MeshID || tool == API_SlabID || tool == API_HatchID || tool == API_SplineID;
    return (byEdges && secondOptionOn) || (byCorners && firstOptionOn);
}

bool ConnectsPoints(std::int32_t tool, bool morphPointsOn) { return tool == API_MorphID && morphPointsOn; }
