#include "DG/DG.hpp"
#include "DispatcherFixture.hpp"
#include "measuring/MeasuringState.hpp"

namespace
{

struct EnableCase
{
    std::int32_t tool;
    std::int32_t variation;
    const char* enabled;  // items 14 to 18, 'x' enabled
};

const EnableCase enableCases[] = {
    {0, 0, "x...."},  {1, 0, "xxxxx"},
    {2, 0, "xxxxx"},  {3, 0, "xxxx."},
    {4, 0, "xx..."},  {4, FourCC("WAEN"), ".x..."},
    {6, 0, "xx..."},  {6, FourCC("SVPH"), "x...."},
    {9, 0, "x...."},  {10, 0, "xxx.."},
    {19, 0, "x...."}, {21, 0, "xx..."},
    {22, 0, "....."}, {43, 0, "xxxxx"},
    {45, 0, "xxx.."}, {69, 0, "....."},
    {-1, 0, "....."},
};

std::string EnabledOptions()
{
    std::string text;
    for (short item = 14; item <= 18; ++item) text += DG::IsItemEnabled(Survanto::MainPaletteDialogId, item) ? 'x' : '.';
    return text;
}

std::string OptionValues(const Survanto& main)
{
    std::string text;
    for (short item = 14; item <= 18; ++item) text += main.MainPaletteItemValue(item) != 0.0 ? '1' : '0';
    return text;
}

using ToolChange = DispatcherFixture;

}  // namespace

TEST_F(ToolChange, EnablesTheOptionsTheToolKnows)
{
    for (const auto& c : enableCases)
    {
        Main().OnToolChanged(c.tool, c.variation);
        EXPECT_EQ(EnabledOptions(), c.enabled) << "tool " << c.tool;
        EXPECT_EQ(Main().currentTool, c.tool);
    }
}

TEST_F(ToolChange, SwitchesTheRememberedOptionOnAndTheOthersOff)
{
    for (short item = 14; item <= 18; ++item) SetItem(item, 1.0);
    Main().savedToolOptions[2] = 3;
    Main().OnToolChanged(2, 0);
    EXPECT_EQ(OptionValues(Main()), "00100");

    Main().curvePalette.curveMode = 8;
    Main().OnToolChanged(1, 0);
    EXPECT_EQ(OptionValues(Main()), "00000") << "no remembered option";
    EXPECT_EQ(Main().curvePalette.toolType, 1);
    EXPECT_EQ(Main().curvePalette.curveMode, 0) << "the curve palette set up for the tool";
}

TEST_F(ToolChange, ElementTypesOutsideTheOptionTableHaveNoOption)
{
    Main().savedToolOptions.fill(2);
    for (const std::int32_t type : {-1, -32768, 69, 70, 1000})
    {
        EXPECT_EQ(Main().SavedToolOptionOf(type), 0) << type;
        Main().OnToolChanged(type, 0);
        EXPECT_EQ(OptionValues(Main()), "00000") << type;
    }
    EXPECT_EQ(Main().SavedToolOptionOf(68), 2);
}

TEST_F(ToolChange, IsIgnoredWhileBusyOrBumpedOnAnInstrumentStation)
{
    struct Case
    {
        bool busy;
        bool bumped;
        std::int16_t stationMode;
        bool applied;
    };
    const Case cases[] = {
        {true, false, 2, false},
        {false, true, 1, false},
        {false, true, 2, true},
        {false, false, 1, true},
    };
    for (const auto& c : cases)
    {
        Main().currentTool = 19;
        Main().busy = c.busy;
        Main().instrumentBumped = c.bumped;
        measuringState.stationMode = c.stationMode;
        Main().curvePalette.curveMode = 8;
        Main().OnToolChanged(1, 0);
        EXPECT_EQ(Main().currentTool, c.applied ? 1 : 19);
        EXPECT_EQ(Main().curvePalette.curveMode, c.applied ? 0 : 8);
    }
    Main().busy = false;
}
