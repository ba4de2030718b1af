#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "API/AddOnInterface.hpp"
#include "DG/DG.hpp"
#include "DispatcherFixture.hpp"
#include "MainObjectFixture.hpp"
#include "RS/ResourceModule.hpp"
#include "measuring/MeasuringState.hpp"

namespace
{

constexpr short Palette = Survanto::MainPaletteDialogId;
constexpr std::int32_t PhotoSubtype = FourCC("SVPH");
constexpr std::int32_t WindowWithoutOptions = FourCC("WAEN");

std::string Text(const GS::UniString& text) { return text.ToUtf8(); }

// The main palette open in a fresh project, the tool chosen in the host's toolbox.
class PaletteRefresh : public MainObjectFixture
{
protected:
    void SetUp() override
    {
        MainObjectFixture::SetUp();
        measuringState = MeasuringState {};
        measuringState.stationMode = 2;
        API_MenuParams menu;
        menu.menuResID = 32500;
        menu.itemIndex = 1;
        Main().HandleMenuCommand(menu);
        ASSERT_TRUE(DG::IsOpen(Palette));
    }

    void UseTool(std::int32_t tool, std::int32_t variation = 0) { Host().SelectTool(tool, variation); }

    // The items that follow the tool and are shown, in item order.
    static std::vector<short> ShownToolItems()
    {
        std::vector<short> shown;
        for (short item = 14; item <= 82; ++item)
        {
            const bool followsTool = item <= 24 || (item >= 33 && item <= 39) || (item >= 41 && item <= 47) ||
                                     (item >= 52 && item <= 62) || item >= 68;
            if (followsTool && DG::IsItemVisible(Palette, item)) shown.push_back(item);
        }
        return shown;
    }

    static std::string Prompt(std::int16_t index) { return Text(RS::GetIndString(32560, index, HostGetOwnResourceModule())); }
    static std::string ShownPrompt() { return Text(DG::GetItemText(Palette, 27)); }
    static std::string Tooltip(short item) { return Text(DG::GetItemTooltip(Palette, item)); }

    static std::vector<short> Entries(short item)
    {
        std::vector<short> icons;
        for (short entry = 1; entry <= DG::PopupGetItemCount(Palette, item); ++entry)
            icons.push_back(DG::PopupGetItemIcon(Palette, item, entry));
        return icons;
    }
};

struct ViewCase
{
    const char* label;
    std::int32_t tool;
    std::int32_t variation;
    std::vector<short> shown;
    std::vector<std::pair<short, short>> icons;
    std::vector<std::pair<short, const char*>> tooltips;
};

const ViewCase viewCases[] = {
    {"wall",
     1,
     0,
     {14, 15, 16, 17, 18, 19, 20, 23, 24, 47, 80, 81, 82},
     {{14, 32537}, {17, 32618}, {18, 32503}},
     {{14, "Einzelne Wand"}, {18, "Wand geneigt"}}},
    {"column",
     2,
     0,
     {14, 15, 16, 17, 18, 44, 45, 46, 52, 80, 81, 82},
     {{14, 32540}, {18, 32570}},
     {{14, "Rechteckstütze platzieren"}, {18, "Stütze mit 1 Punkt platzieren"}, {44, "Stützenbreite einmessen"}}},
    {"beam",
     3,
     0,
     {14, 15, 16, 17, 19, 20, 52, 71, 72, 80, 81, 82},
     {{14, 32555}, {17, 32558}},
     {{14, "Einfacher Unterzug"}, {16, "Schräger Unterzug"}}},
    {"window",
     4,
     0,
     {14, 15, 21, 22, 33, 34, 38, 53, 54, 55, 56, 57, 58, 59, 60, 80, 81, 82},
     {{14, 32544}, {22, 32590}},
     {{14, "Diagonal Punkte"}, {15, "Seitenpunkte"}, {21, "Fenstermessung Innen / Außen"}}},
    {"window without options", 4, WindowWithoutOptions, {80, 81, 82}, {{14, 32550}}, {{14, "Messung starten"}}},
    {"door", 5, 0, {14, 15, 21, 22, 33, 34, 38, 80, 81, 82}, {{14, 32553}, {22, 32606}}, {{21, "Türmessung Innen / Außen"}}},
    {"object",
     6,
     0,
     {14, 15, 44, 45, 46, 52, 80, 81, 82},
     {{14, 32582}, {15, 32583}},
     {{14, "Objekt mit Einfügepunkt"}, {44, "Objektbreite einmessen"}}},
    {"photo object", 6, PhotoSubtype, {14, 68, 69, 70, 80, 81, 82}, {{14, 32550}}, {{14, "Objekt mit Einfügepunkt"}}},
    {"lamp",
     7,
     0,
     {14, 15, 44, 45, 46, 52, 80, 81, 82},
     {{14, 32582}, {19, 32535}},
     {{14, "Messung starten"}, {15, "Polygonpalette"}}},
    {"slab", 8, 0, {14, 15, 19, 20, 80, 81, 82}, {{19, 32616}, {15, 32664}}, {{15, "Polygonpalette"}}},
    {"roof", 9, 0, {14, 80, 81, 82}, {{14, 32584}}, {{14, "Dach über 3 Punkte einmessen"}}},
    {"mesh",
     10,
     0,
     {14, 15, 16, 20, 41, 42, 43, 79, 80, 81, 82},
     {{15, 32510}, {16, 32511}},
     {{15, "Freifläche aus aktivierten Messpunkten erzeugen"}}},
    {"fill", 18, 0, {14, 15, 19, 20, 80, 81, 82}, {{19, 32601}, {20, 32615}}, {{14, "Messung starten"}}},
    {"line", 19, 0, {14, 80, 81, 82}, {{14, 32550}, {19, 32535}}, {{14, "Messung starten"}}},
    {"polyline", 20, 0, {14, 80, 81, 82}, {{14, 32633}}, {{14, "Polygonpalette"}}},
    {"arc", 21, 0, {14, 15, 80, 81, 82}, {{14, 32603}, {15, 32602}}, {{14, "Kreis"}, {15, "Bogen"}}},
    {"spline", 23, 0, {14, 19, 20, 80, 81, 82}, {{19, 32599}, {20, 32600}}, {{14, "Messung starten"}}},
    {"shell",
     43,
     0,
     {14, 15, 16, 17, 18, 80, 81, 82},
     {{14, 32619}, {18, 32622}},
     {{16, "Kuppel mit 5 Punkten"}, {18, "Kuppel-Segment"}}},
    {"morph",
     45,
     0,
     {14, 15, 61, 62, 73, 74, 75, 76, 78, 80, 81, 82},
     {{14, 32624}, {16, 32626}},
     {{14, "Querschnitt Palette"}, {16, "Morph erstellen"}}},
};

class ToolViews : public PaletteRefresh, public ::testing::WithParamInterface<ViewCase>
{};

}  // namespace

// A change of tool shows the tool's items with its icons and tooltips; the
// reveal's second fields wait for a reveal kind that needs them.
TEST_P(ToolViews, ShowTheToolsItemsIconsAndTooltips)
{
    const ViewCase& c = GetParam();
    UseTool(1);
    UseTool(c.tool, c.variation);
    EXPECT_EQ(ShownToolItems(), c.shown);
    for (const auto& [item, icon] : c.icons) EXPECT_EQ(DG::GetItemIcon(Palette, item), icon) << item;
    for (const auto& [item, tooltip] : c.tooltips) EXPECT_EQ(Tooltip(item), tooltip) << item;
}

INSTANTIATE_TEST_SUITE_P(MainPalette, ToolViews, ::testing::ValuesIn(viewCases), CaseLabelName());

namespace
{

struct PromptCase
{
    const char* label;
    std::int32_t tool;
    std::int32_t variation;
    std::int16_t mode;
    std::vector<short> on;
    std::vector<std::pair<short, short>> entries;
    std::int16_t step;
    std::int16_t prompt;
};

const PromptCase promptCases[] = {
    {"nothing chosen", 0, 0, 0, {}, {}, 0, 4},
    {"absolute z", 0, 0, 7, {7}, {}, 1, 33},
    {"distance, second point", 0, 0, 5, {5}, {}, 2, 18},
    {"angle, first point", 0, 0, 6, {6}, {}, 1, 19},
    {"single measurement without mode", 0, 0, 0, {7}, {}, 1, 4},
    {"alignment, second point", 0, 0, 1, {1}, {}, 2, 56},
    {"reference height", 0, 0, 40, {40}, {}, 1, 67},
    {"picking points", 0, 0, 49, {49}, {}, 1, 115},
    {"wall start", 1, 0, 14, {14}, {}, 1, 7},
    {"poly wall goes on", 1, 0, 15, {15}, {}, 5, 22},
    {"curved wall middle", 1, 0, 16, {16}, {}, 2, 61},
    {"inclined wall face", 1, 0, 18, {18}, {}, 3, 60},
    {"polygon wall", 1, 0, 47, {47}, {}, 4, 87},
    {"column width", 2, 0, 14, {14}, {}, 1, 30},
    {"column angle", 2, 0, 46, {46}, {}, 1, 151},
    {"poly beam fourth", 3, 0, 15, {15}, {}, 4, 51},
    {"straight reveal", 4, 0, 22, {22}, {{33, 1}}, 2, 59},
    {"splayed reveal", 4, 0, 22, {22}, {{33, 2}}, 2, 63},
    {"door swing", 5, 0, 14, {14}, {}, 3, 81},
    {"object insertion point", 6, 0, 14, {14}, {}, 1, 80},
    {"object over three points, later", 6, 0, 15, {15}, {}, 5, 79},
    {"photo camera direction", 6, PhotoSubtype, 14, {14}, {}, 2, 117},
    {"slab goes on", 8, 0, 14, {14}, {}, 4, 23},
    {"roof plane", 9, 0, 14, {14}, {}, 3, 82},
    {"roof outline", 9, 0, 14, {14}, {}, 4, 83},
    {"mesh goes on", 10, 0, 14, {14}, {}, 7, 66},
    {"shell dome whatever the morph items", 43, 0, 16, {16, 62, 75}, {{76, 2}}, 3, 97},
    {"ruled shell second wall", 43, 0, 15, {15}, {}, 6, 107},
    {"morph vector", 45, 0, 62, {62}, {{76, 2}}, 1, 128},
    {"morph side planes", 45, 0, 75, {75}, {{76, 2}}, 3, 132},
    {"morph side planes then vector", 45, 0, 75, {75}, {{76, 2}}, 7, 128},
    {"morph points with the profile palette", 45, 0, 62, {62, 14}, {{76, 2}}, 1, 4},
};

class Prompts : public PaletteRefresh, public ::testing::WithParamInterface<PromptCase>
{};

}  // namespace

TEST_P(Prompts, FollowTheToolModeAndStep)
{
    const PromptCase& c = GetParam();
    UseTool(c.tool, c.variation);
    for (short item : {1, 5, 6, 7, 14, 15, 16, 17, 18, 40, 49, 62, 75}) SetItem(item, 0.0);
    for (const short item : c.on) SetItem(item, 1.0);
    for (const auto& [item, entry] : c.entries) DG::PopupSelectItem(Palette, item, entry);
    Main().measuringMode = c.mode;
    Main().pointStep = c.step;
    Main().ShowMeasuringPrompt();
    EXPECT_EQ(ShownPrompt(), Prompt(c.prompt));
    EXPECT_FALSE(ShownPrompt().empty());
    EXPECT_EQ(DG::IsItemEnabled(Palette, 32), c.mode == 40) << "the reference height field belongs to its mode";
}

INSTANTIATE_TEST_SUITE_P(MainPalette, Prompts, ::testing::ValuesIn(promptCases), CaseLabelName());

TEST_F(PaletteRefresh, PromptsReadAsTheUserSeesThem)
{
    UseTool(1);
    SetItem(14, 1.0);
    Main().measuringMode = 14;
    Main().pointStep = 1;
    Main().ShowMeasuringPrompt();
    EXPECT_EQ(ShownPrompt(), "Wand-Startpunkt messen");
    Main().pointStep = 2;
    Main().ShowMeasuringPrompt();
    EXPECT_EQ(ShownPrompt(), "Wand-Endpunkt messen");
    Main().measuringMode = 0;
    Main().ShowMeasuringPrompt();
    EXPECT_EQ(ShownPrompt(), "Wand-Endpunkt messen") << "the tool's rule still applies to its option";
    SetItem(14, 0.0);
    Main().ShowMeasuringPrompt();
    EXPECT_EQ(ShownPrompt(), "Survanto Funktion wählen");
}

// Finishing waits for enough points: the wall for four, other tools for three;
// closing for six; connecting the morph's points for three.
TEST_F(PaletteRefresh, PolygonButtonsWaitForEnoughPoints)
{
    struct Case
    {
        std::int32_t tool;
        short option;
        std::size_t points;
        const char* enabled;  // items 19, 20, 78
    };
    const Case cases[] = {
        {1, 15, 3, "..."},  {1, 15, 4, "x.."},  {1, 15, 6, "xx."},  {1, 14, 8, "..."},  {3, 15, 3, "x.."},
        {8, 14, 3, "x.."},  {8, 14, 5, "x.."},  {18, 14, 6, "xx."}, {23, 14, 3, "x.."}, {10, 14, 2, "..."},
        {45, 61, 2, "..."}, {45, 61, 3, "..x"}, {7, 14, 6, "..."},
    };
    for (const Case& c : cases)
    {
        UseTool(c.tool);
        for (short item : {14, 15, 61}) SetItem(item, item == c.option ? 1.0 : 0.0);
        SetPoints(std::vector<API_Coord3D>(c.points, API_Coord3D {1, 2, 0}));
        Main().UpdateMainPalette();
        std::string enabled;
        for (short item : {19, 20, 78}) enabled += DG::IsItemEnabled(Palette, item) ? 'x' : '.';
        EXPECT_EQ(enabled, c.enabled) << "tool " << c.tool << " with " << c.points << " points";
    }
}

// Outside the sloping beam the beam offers the anchors on its edges; a chosen
// anchor that is no longer offered falls back to the first.
TEST_F(PaletteRefresh, TheAnchorMenuOffersTheToolsAnchors)
{
    const std::vector<short> all {32570, 32571, 32572, 32573, 32574, 32575, 32576, 32577};
    UseTool(2);
    EXPECT_EQ(Entries(52), all);
    DG::PopupSelectItem(Palette, 52, 5);
    UseTool(3);
    EXPECT_EQ(Entries(52), (std::vector<short> {32571, 32573, 32574, 32576}));
    EXPECT_EQ(DG::PopupGetItemIcon(Palette, 52, DG::PopupGetSelected(Palette, 52)), 32574) << "kept";

    Main().measuringMode = 16;
    Main().UpdateAnchorPopup();
    EXPECT_EQ(Entries(52), all);
    DG::PopupSelectItem(Palette, 52, 3);
    Main().measuringMode = 14;
    Main().UpdateAnchorPopup();
    EXPECT_EQ(DG::PopupGetSelected(Palette, 52), 1) << "32572 is not offered";

    UseTool(2);
    DG::PopupSelectItem(Palette, 52, 7);
    Main().UpdateMainPalette();
    EXPECT_EQ(DG::GetItemIcon(Palette, 18), 32576) << "the column's one-point option shows the anchor";
}

// After a bump on an instrument station only the settings, the angle snap, the
// prompt and the picked points stay in reach.
TEST_F(PaletteRefresh, ABumpedInstrumentLocksThePalette)
{
    UseTool(1);
    Main().instrumentBumped = true;
    measuringState.stationMode = 1;
    Main().UpdateMainPalette();
    std::vector<short> enabled;
    for (short item = 1; item <= 82; ++item)
        if (DG::IsItemEnabled(Palette, item)) enabled.push_back(item);
    EXPECT_EQ(enabled, (std::vector<short> {25, 26, 27, 64, 66, 67}));

    measuringState.stationMode = 2;
    Main().refreshItems = true;
    Main().UpdateMainPalette();
    for (short item : {1, 14, 40, 48, 81}) EXPECT_TRUE(DG::IsItemEnabled(Palette, item)) << item;
    EXPECT_FALSE(Main().refreshItems);
}

TEST_F(PaletteRefresh, RevealItemsFollowTheOpeningSideAndKind)
{
    UseTool(4);
    EXPECT_EQ(Entries(33), (std::vector<short> {32595, 32596, 32667}));
    DG::PopupSelectItem(Palette, 33, 3);
    Main().UpdateMainPalette();
    EXPECT_EQ(DG::GetItemIcon(Palette, 22), 32666);
    EXPECT_EQ(Tooltip(34), "Leibungstiefe links");
    for (short item : {35, 36, 37, 39}) EXPECT_TRUE(DG::IsItemVisible(Palette, item)) << item;

    DG::PopupSelectItem(Palette, 21, 2);
    Main().UpdateMainPalette();
    EXPECT_EQ(DG::PopupGetItemCount(Palette, 33), 1);
    EXPECT_EQ(DG::GetItemIcon(Palette, 22), 32591);
    EXPECT_EQ(Tooltip(34), "");
    for (short item : {53, 54, 55, 36, 37}) EXPECT_FALSE(DG::IsItemVisible(Palette, item)) << item;
    EXPECT_EQ(DG::GetItemIcon(Palette, 56), 32673);

    UseTool(5);
    DG::PopupSelectItem(Palette, 21, 1);
    Main().UpdateMainPalette();
    EXPECT_EQ(Entries(21), (std::vector<short> {32604, 32605}));
    EXPECT_EQ(Entries(33), (std::vector<short> {32609, 32610, 32667}));
}

TEST_F(PaletteRefresh, NothingChangesWhileClosedOrForAnotherTool)
{
    UseTool(1);
    SetItem(15, 1.0);
    SetPoints({{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {3, 0, 0}});
    Main().currentTool = 3;
    Main().UpdateMainPalette();
    EXPECT_FALSE(DG::IsItemVisible(Palette, 71)) << "the host's tool is still the wall";

    Main().currentTool = 1;
    Main().Close();
    Main().UpdateMainPalette();
    EXPECT_FALSE(DG::IsItemEnabled(Palette, 19));
}
