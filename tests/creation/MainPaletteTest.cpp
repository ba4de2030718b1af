#include "DG/DG.hpp"
#include "measuring/MeasuringState.hpp"
#include "WallFixture.hpp"

namespace {

constexpr short Palette = Survanto::MainPaletteDialogId;
constexpr std::int16_t ModeButtons[] = {1,  40, 3,  4,  5,  6,  7,  14, 15, 16, 17, 18, 23,
                                        24, 22, 41, 44, 45, 46, 47, 53, 56, 71, 72, 61, 62};

}  // namespace

// The palette opened from its menu, as the user has it in front of them.
class MainPaletteTest : public WallFixture {
protected:
    void SetUp() override
    {
        WallFixture::SetUp();
        Main().currentTool = API_WallID;
        ChooseMenu(32500, 1);
        ASSERT_TRUE(DG::IsOpen(Palette));
    }

    void ChooseMenu(std::int16_t menu, std::int32_t item)
    {
        API_MenuParams params;
        params.menuResID = menu;
        params.itemIndex = item;
        Main().HandleMenuCommand(params);
    }

    std::vector<std::int16_t> ButtonsOn()
    {
        std::vector<std::int16_t> on;
        for (const std::int16_t item : ModeButtons)
            if (DG::GetItemValue(Palette, item) != 0.0) on.push_back(item);
        return on;
    }
};

TEST_F(MainPaletteTest, MenuOpensThePaletteAndClosesItAgain)
{
    ChooseMenu(32500, 2);
    ChooseMenu(32501, 1);
    EXPECT_TRUE(DG::IsOpen(Palette));
    ChooseMenu(32500, 1);
    EXPECT_FALSE(DG::IsOpen(Palette));
    ChooseMenu(32500, 1);
    EXPECT_TRUE(DG::IsOpen(Palette));
}

TEST_F(MainPaletteTest, ModeButtonsFormOneExclusiveGroup)
{
    for (const std::int16_t item : ModeButtons) EXPECT_TRUE(Survanto::IsMeasuringModeButton(item)) << item;
    for (const std::int16_t item : {0, 2, 19, 20, 26, 49, 75, 77, 82})
        EXPECT_FALSE(Survanto::IsMeasuringModeButton(item)) << item;

    SetItem(26, 1.0);
    DG::ChangeItem(Palette, 5, 1.0);
    DG::ChangeItem(Palette, 14, 1.0);
    EXPECT_EQ(ButtonsOn(), std::vector<std::int16_t>{14});
    EXPECT_EQ(DG::GetItemValue(Palette, 26), 1.0);
    DG::ChangeItem(Palette, 47, 1.0);
    EXPECT_EQ(ButtonsOn(), std::vector<std::int16_t>{47});
}

TEST_F(MainPaletteTest, ModeButtonStartsItsModeAndDropsThePoints)
{
    SetPoints({{1, 1, 0}, {2, 2, 0}});
    DG::ChangeItem(Palette, 5, 1.0);
    EXPECT_EQ(Main().measuringMode, 5);
    EXPECT_EQ(Main().pointStep, 1);
    EXPECT_EQ(Main().actionPoints.GetSize(), 0u);

    DG::ChangeItem(Palette, 5, 0.0);
    EXPECT_EQ(Main().measuringMode, 5);
    EXPECT_EQ(Main().pointStep, 1);

    DG::ChangeItem(Palette, 40, 1.0);
    EXPECT_EQ(Main().measuringMode, 40);
    EXPECT_TRUE(DG::IsItemEnabled(Palette, 32));
}

TEST_F(MainPaletteTest, OptionButtonIsRememberedForTheTool)
{
    DG::ChangeItem(Palette, 16, 1.0);
    EXPECT_EQ(Main().measuringMode, 16);
    EXPECT_EQ(Main().pointStep, 1);
    EXPECT_EQ(Main().toolOptions[2], 1);
    EXPECT_EQ(Main().SavedToolOptionOf(API_WallID), 3);

    DG::ChangeItem(Palette, 16, 0.0);
    EXPECT_EQ(Main().measuringMode, 0);
    EXPECT_EQ(Main().pointStep, 0);
    EXPECT_EQ(Main().toolOptions[2], 0);
    EXPECT_EQ(Main().SavedToolOptionOf(API_WallID), 0);

    Main().currentTool = API_ColumnID;
    DG::ChangeItem(Palette, 18, 1.0);
    EXPECT_EQ(Main().SavedToolOptionOf(API_ColumnID), 5);
    EXPECT_EQ(Main().SavedToolOptionOf(API_WallID), 0);
}

// These tools take the button's points into a sub-palette: the mode starts, but
// no option is chosen or remembered for the tool.
TEST_F(MainPaletteTest, OptionButtonOfASubPaletteToolStartsItsPoints)
{
    struct Case {
        std::int32_t tool;
        std::int16_t item;
        double valueAfter;
    };
    const Case cases[] = {{API_MorphID, 14, 0.0},
                          {API_PolyLineID, 14, 1.0},
                          {API_MorphID, 15, 1.0},
                          {API_HatchID, 15, 1.0},
                          {API_SlabID, 15, 1.0}};
    for (const Case& c : cases) {
        DG::ChangeItem(Palette, 5, 1.0);
        Main().pointStep = 3;
        Main().currentTool = c.tool;
        DG::ChangeItem(Palette, c.item, 1.0);
        EXPECT_EQ(Main().measuringMode, c.item) << c.tool;
        EXPECT_EQ(Main().pointStep, 1) << c.tool;
        EXPECT_EQ(DG::GetItemValue(Palette, c.item), c.valueAfter) << c.tool;
        EXPECT_EQ(Main().SavedToolOptionOf(c.tool), 0) << c.tool;
        DG::ChangeItem(Palette, c.item, 0.0);
        Main().currentTool = API_WallID;
    }
}

TEST_F(MainPaletteTest, PolygonButtonsServeTheToolsThatCollectAPolygon)
{
    DG::ChangeItem(Palette, 15, 1.0);
    EXPECT_TRUE(DG::IsItemEnabled(Palette, 19));
    EXPECT_TRUE(DG::IsItemEnabled(Palette, 20));

    // While a polygon is being finished its points stay.
    SetPoints({{0, 0, 0}, {4, 0, 0}, {5, 1, 0}, {5, 4, 0}});
    SetItem(20, 1.0);
    DG::ChangeItem(Palette, 14, 1.0);
    EXPECT_EQ(Main().actionPoints.GetSize(), 4u);
    EXPECT_FALSE(DG::IsItemEnabled(Palette, 19));
    EXPECT_FALSE(DG::IsItemEnabled(Palette, 20));
}

TEST_F(MainPaletteTest, NothingIsHandledWhileBusyOrForAnotherDialog)
{
    Main().busy = true;
    DG::ChangeItem(Palette, 5, 1.0);
    EXPECT_EQ(Main().measuringMode, 0);
    Main().busy = false;

    Main().DialogCallback(DG::MsgChange, 32425, 5, 0);
    EXPECT_EQ(Main().measuringMode, 0);
}

// The measured points of a wall mode end in walls, one after the other.
TEST_F(MainPaletteTest, WallModeBuildsWallAfterWall)
{
    DG::ChangeItem(Palette, 14, 1.0);
    const API_Coord3D points[] = {{0, 0, 0}, {4, 0, 0}, {4, 0, 0}, {4, 3, 0}};
    for (const API_Coord3D& p : points) {
        measuringState.measuredX = p.x;
        measuringState.measuredY = p.y;
        measuringState.measuredZ = p.z;
        Main().OnMeasuredPoint(10);
    }
    ASSERT_EQ(Walls().size(), 2u);
    EXPECT_EQ(Walls()[1].begC.x, 4.0);
    EXPECT_EQ(Walls()[1].endC.y, 3.0);
    EXPECT_EQ(Main().measuringMode, 14);
    EXPECT_EQ(Main().pointStep, 1);
}
