#pragma once
#include <cstdint>
#include <optional>
#include <vector>

// What the main palette shows for a tool: the tool-dependent items, their icons
// and the help indexes that choose their tooltips.
struct ItemIcon
{
    std::int16_t item;
    std::int16_t icon;
};

struct ItemHelp
{
    std::int16_t item;
    std::int16_t index;
};

struct PushMenuIcons
{
    std::int16_t item;
    std::vector<std::int16_t> icons;  // one per entry
};

// The icons of the reveal items of an opening tool: item 22 measuring a straight
// and a splayed reveal from inside, from outside, both sides from inside, and the
// three reveal kinds of push menu 33.
struct RevealIcons
{
    std::int16_t straightInside;
    std::int16_t splayedInside;
    std::int16_t outside;
    std::int16_t bothSidesInside;
    std::vector<std::int16_t> kinds;
};

struct ToolView
{
    std::int32_t tool;       // element type; NoTool for the view of every other tool
    std::int32_t variation;  // 0: any variation of the tool
    std::vector<std::int16_t> shown;
    std::vector<ItemIcon> icons;
    std::vector<ItemHelp> helps;
    std::vector<PushMenuIcons> menus;
    std::optional<RevealIcons> reveal;  // the window and door tools' reveal items
};

constexpr std::int32_t NoTool = -1;

// The items whose visibility follows the tool, in the order they are applied.
const std::vector<std::int16_t>& ToolDependentItems();
// The items set to the view without comparing, after the others.
const std::vector<std::int16_t>& AlwaysAppliedItems();
// The view of the tool and variation; every other tool gets the view of NoTool.
const ToolView& ToolViewOf(std::int32_t tool, std::int32_t variation);
// Whether the item is shown for the tool: the view's items and the point-list and
// import commands 80, 81 and 82.
bool IsShownFor(const ToolView& view, std::int16_t item);
// The points a polygon button needs before it may finish: 19 open, 20 closed, 78 connect.
std::uint32_t PointsToFinish(std::int16_t item, std::int32_t tool);
// The anchor icons push menu 52 offers in the running mode.
const std::vector<std::int16_t>& AnchorIconsFor(std::int32_t tool, std::int16_t mode);
// The anchor icon of a host anchor code; the first anchor's for codes without one.
std::int16_t AnchorIconOf(std::int32_t hostAnchorCode);
// Whether the tool's collected polygon may be finished (items 19 and 20), given
// whether option items 14 and 15 are on, and whether the morph's measured points
// may be connected (item 78), given whether item 61 is on.
bool CollectsPolygon(std::int32_t tool, bool firstOptionOn, bool secondOptionOn);
bool ConnectsPoints(std::int32_t tool, bool morphPointsOn);
