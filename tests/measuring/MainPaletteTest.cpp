#include <algorithm>
#include <string>
#include <vector>

#include "DG/DG.hpp"
#include "MarkerSupport.hpp"
#include "WallFixture.hpp"
#include "measuring/MarkerPart.hpp"
#include "measuring/MeasuringState.hpp"

namespace
{

constexpr short Palette = Survanto::MainPaletteDialogId;
constexpr std::int16_t ModeButtons[] = {1,  40, 3,  4,  5,  6,  7,  14, 15, 16, 17, 18, 23,
                                        24, 22, 41, 44, 45, 46, 47, 53, 56, 71, 72, 61, 62};
constexpr std::int32_t PhotoSubtype = FourCC("SVPH");

bool IsOpen(const CDialogBase& palette) { return palette.GetOpenMode() != CDialogBase::Closed; }

}  // namespace

// The palette opened from its menu, as the user has it in front of them.
class MainPaletteTest : public WallFixture
{
protected:
    void SetUp() override
    {
        WallFixture::SetUp();
        Host().SelectTool(API_WallID, 0);
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

// The group as the palette's table gives it, asked of every item; whichever
// buttons were on, the one the user turns on is the only one left on, and the
// angle snap beside the group keeps its value.
TEST_F(MainPaletteTest, ModeButtonsFormOneExclusiveGroup)
{
    for (std::int16_t item = -1; item <= 82; ++item)
    {
        const bool inGroup = std::find(std::begin(ModeButtons), std::end(ModeButtons), item) != std::end(ModeButtons);
        EXPECT_EQ(Survanto::IsMeasuringModeButton(item), inGroup) << item;
    }
    DG::PopupSelectItem(Palette, 76, 2);  // item 62 then starts its mode instead of making a morph at once
    for (const std::int16_t button : ModeButtons)
    {
        for (const std::int16_t item : ModeButtons) SetItem(item, 1.0);
        SetItem(26, 1.0);
        DG::ChangeItem(Palette, button, 1.0);
        EXPECT_EQ(ButtonsOn(), std::vector<std::int16_t> {button}) << button;
        EXPECT_EQ(DG::GetItemValue(Palette, 26), 1.0) << button;
    }
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
    struct Case
    {
        std::int32_t tool;
        std::int16_t item;
        double valueAfter;
    };
    const Case cases[] = {
        {API_MorphID, 14, 0.0}, {API_PolyLineID, 14, 1.0}, {API_MorphID, 15, 1.0}, {API_HatchID, 15, 1.0}, {API_SlabID, 15, 1.0}};
    for (const Case& c : cases)
    {
        DG::ChangeItem(Palette, 5, 1.0);
        Main().pointStep = 3;
        Main().currentTool = c.tool;
        DG::ChangeItem(Palette, c.item, 1.0);
        const CDialogBase& subPalette =
            c.tool == API_MorphID && c.item == 14 ? static_cast<const CDialogBase&>(Main().sectionPalette) : Main().curvePalette;
        EXPECT_TRUE(IsOpen(subPalette)) << c.tool;
        EXPECT_EQ(Main().measuringMode, c.item) << c.tool;
        EXPECT_EQ(Main().pointStep, 1) << c.tool;
        EXPECT_EQ(DG::GetItemValue(Palette, c.item), c.valueAfter) << c.tool << " mirrors the open palette";
        EXPECT_EQ(Main().SavedToolOptionOf(c.tool), 0) << c.tool;

        const std::size_t registered = Host().palettes_.size();
        DG::ChangeItem(Palette, c.item, 1.0);
        EXPECT_EQ(Host().palettes_.size(), registered) << c.tool << ": a second change opens nothing";
        EXPECT_EQ(Host().palettes_.back().flags, 407);
        Main().sectionPalette.Close();
        Main().curvePalette.Close();
        DG::ChangeItem(Palette, c.item, 0.0);
        Main().currentTool = API_WallID;
    }
}

TEST_F(MainPaletteTest, PolygonButtonsServeTheToolsThatCollectAPolygon)
{
    DG::ChangeItem(Palette, 15, 1.0);
    EXPECT_FALSE(DG::IsItemEnabled(Palette, 19)) << "not before the polygon has its points";
    const API_Coord3D points[] = {{0, 0, 0}, {4, 0, 0}, {5, 1, 0}, {5, 4, 0}, {4, 5, 0}, {0, 5, 0}};
    for (const API_Coord3D& p : points)
    {
        measuringState.measuredX = p.x;
        measuringState.measuredY = p.y;
        measuringState.measuredZ = p.z;
        Main().OnMeasuredPoint(10);
    }
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

// Before a mode button changes, the station gets its marker unless it has one.
TEST_F(MainPaletteTest, AModeButtonPlacesTheStationMarkerOnce)
{
    LoadOwnLibrary(Host());
    measuringState.stationMode = 1;
    measuringState.stationX = 2.0;
    measuringState.stationY = 3.0;
    measuringState.stationZ = 1.5;
    const auto stationMarkers = [this] { return PlacedObjectsOf(Model(), MarkerPart::InstrumentStation); };
    DG::ChangeItem(Palette, 5, 1.0);
    ASSERT_EQ(stationMarkers().size(), 1u);
    EXPECT_EQ(stationMarkers().front()->record.object.position.x, 2.0);
    EXPECT_EQ(stationMarkers().front()->record.object.position.y, 3.0);
    EXPECT_EQ(Main().stationReferenceElement, stationMarkers().front()->record.header.guid);
    DG::ChangeItem(Palette, 6, 1.0);
    EXPECT_EQ(stationMarkers().size(), 1u) << "the station has its marker";
}

// "Shot 2D" and "Shot 3D" feed picked points to the running mode until the input
// is cancelled; in the floor plan the height is the palette's.
TEST_F(MainPaletteTest, ShotButtonsFeedPickedPointsToTheRunningMode)
{
    for (const short item : {67, 66})
    {
        SCOPED_TRACE(item);
        Model().content.elements.clear();
        DG::ChangeItem(Palette, 14, 1.0);
        SetItem(65, 1.25);
        Host().inputAnswers_ = {SimHost::InputAnswer::Picked({0, 0, 7}), SimHost::InputAnswer::Picked({4, 0, 7}), {}};
        DG::ClickItem(Palette, item);
        ASSERT_EQ(Walls().size(), 1u);
        EXPECT_EQ(Walls()[0].begC.x, 0.0);
        EXPECT_EQ(Walls()[0].endC.x, 4.0);
        EXPECT_EQ(measuringState.measuredZ, 1.25);
        EXPECT_EQ(Main().MainPaletteItemValue(65), 1.25);
        EXPECT_TRUE(Host().inputAnswers_.empty());
    }
}

// The measured points of a wall mode end in walls, one after the other.
TEST_F(MainPaletteTest, WallModeBuildsWallAfterWall)
{
    DG::ChangeItem(Palette, 14, 1.0);
    const API_Coord3D points[] = {{0, 0, 0}, {4, 0, 0}, {4, 0, 0}, {4, 3, 0}};
    for (const API_Coord3D& p : points)
    {
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

// Items that run a command of the add-on, and what remains of the change.
TEST_F(MainPaletteTest, ItemsRunTheirCommands)
{
    constexpr int Unchanged = -1;
    struct Case
    {
        const char* label;
        std::int32_t tool;
        short item;
        int mode;
        int step;
        double valueAfter;
    };
    const Case cases[] = {
        {"pick measured points", API_WallID, 49, 49, 1, 1.0},
        {"mesh from activated points, none selected", API_MeshID, 15, Unchanged, Unchanged, 0.0},
        {"mesh with a boundary, none selected", API_MeshID, 16, Unchanged, Unchanged, 0.0},
        {"morph along the rail without a rail", API_MorphID, 16, Unchanged, 0, 0.0},
        {"beams between two lines, none selected", API_BeamID, 17, Unchanged, Unchanged, 0.0},
        {"morph from selected markers, none selected", API_MorphID, 62, 62, 0, 0.0},
        {"radiator niche", API_WindowID, 53, 53, 1, 1.0},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.label);
        Host().SelectTool(c.tool, 0);
        DG::PopupSelectItem(Palette, 76, 1);
        Main().measuringMode = 5;
        Main().pointStep = 2;
        DG::ChangeItem(Palette, c.item, 1.0);
        EXPECT_EQ(Host().Fact("elements"), "none") << "nothing to build from";
        if (c.mode != Unchanged)
        {
            EXPECT_EQ(Main().measuringMode, c.mode);
        }
        if (c.step != Unchanged)
        {
            EXPECT_EQ(Main().pointStep, c.step);
        }
        EXPECT_EQ(DG::GetItemValue(Palette, c.item), c.valueAfter);
    }
}

// A push menu keeps the entry chosen and stays pressed; the palette follows it.
TEST_F(MainPaletteTest, PushMenusStayPressedWithTheirEntry)
{
    Host().SelectTool(API_WindowID, 0);
    DG::ChangeItem(Palette, 33, 3);
    EXPECT_EQ(DG::PopupGetSelected(Palette, 33), 3);
    EXPECT_EQ(DG::GetItemValue(Palette, 33), 1.0);
    EXPECT_EQ(DG::GetItemIcon(Palette, 22), 32666) << "both reveals measured from inside";
    DG::ChangeItem(Palette, 21, 2);
    EXPECT_EQ(DG::GetItemValue(Palette, 21), 1.0);
    EXPECT_EQ(DG::PopupGetItemCount(Palette, 33), 1) << "from outside only one reveal kind";

    Host().SelectTool(API_MeshID, 0);
    DG::ChangeItem(Palette, 43, 2);
    EXPECT_EQ(DG::GetItemValue(Palette, 43), 1.0);
    EXPECT_TRUE(DG::IsItemEnabled(Palette, 41)) << "a solid mesh measures its reference height";
    EXPECT_TRUE(DG::IsItemEnabled(Palette, 42));
    DG::ChangeItem(Palette, 43, 1);
    EXPECT_FALSE(DG::IsItemEnabled(Palette, 41));

    Host().SelectTool(API_MorphID, 0);
    DG::ChangeItem(Palette, 76, 2);
    EXPECT_EQ(DG::PopupGetSelected(Palette, 76), 2);
    EXPECT_EQ(DG::GetItemValue(Palette, 76), 1.0);
}

// The orthophoto import and the photo palettes open and close from their buttons,
// which show whether they are open; the photo palettes only for the photo object.
TEST_F(MainPaletteTest, SubPalettesToggleAndTheirButtonsMirrorThem)
{
    DG::ChangeItem(Palette, 81, 1.0);
    EXPECT_TRUE(IsOpen(Main().importPalette));
    EXPECT_EQ(Host().palettes_.back().flags, 243);
    DG::ChangeItem(Palette, 81, 0.0);
    EXPECT_FALSE(IsOpen(Main().importPalette));
    EXPECT_EQ(DG::GetItemValue(Palette, 81), 0.0);

    DG::ChangeItem(Palette, 68, 1.0);
    EXPECT_FALSE(IsOpen(Main().photoFolderDialog)) << "not with the wall tool";
    EXPECT_EQ(DG::GetItemValue(Palette, 68), 1.0);

    Host().SelectTool(API_ObjectID, 0);
    DG::ChangeItem(Palette, 68, 1.0);
    EXPECT_FALSE(IsOpen(Main().photoFolderDialog)) << "only for the photo object";
    EXPECT_EQ(DG::GetItemValue(Palette, 68), 0.0);

    Host().SelectTool(API_ObjectID, PhotoSubtype);
    DG::ChangeItem(Palette, 68, 1.0);
    EXPECT_TRUE(IsOpen(Main().photoFolderDialog));
    EXPECT_EQ(Host().palettes_.back().flags, 211);
    EXPECT_EQ(DG::GetItemValue(Palette, 68), 1.0);
    EXPECT_TRUE(IsOpen(Main().photoFolderDialog.photoPalette)) << "the folder palette shows its preview";
    EXPECT_EQ(DG::GetItemValue(Palette, 70), 1.0);
    DG::ChangeItem(Palette, 70, 0.0);
    EXPECT_FALSE(IsOpen(Main().photoFolderDialog.photoPalette));
    Main().photoFolderDialog.photoPalette.photoLocation = IO::Location(std::string("/site/Hof.jpg"));
    DG::ChangeItem(Palette, 70, 1.0);
    EXPECT_TRUE(IsOpen(Main().photoFolderDialog.photoPalette));
    EXPECT_EQ(DG::GetItemText(32496, 2).ToUtf8(), "Hof") << "the preview loads its photo";
    EXPECT_EQ(DG::GetItemValue(Palette, 70), 1.0);

    Main().SyncPhotoFolderButton(true);
    EXPECT_EQ(DG::GetItemValue(Palette, 68), 0.0) << "the photo folder palette is closing";
}

// The automatic choice of pictures is the current user's, kept with the project.
TEST_F(MainPaletteTest, AutomaticPicturesAreTheCurrentUsersChoice)
{
    auto choice = [this] { return Main().userData.GetCurrentUserData(measuringState, Main()).automaticPictures; };
    Host().SelectTool(API_ObjectID, 0);
    DG::ChangeItem(Palette, 69, 1.0);
    EXPECT_FALSE(choice()) << "only for the photo object";

    Host().SelectTool(API_ObjectID, PhotoSubtype);
    DG::ChangeItem(Palette, 69, 1.0);
    EXPECT_TRUE(choice());
    DG::ChangeItem(Palette, 69, 0.0);
    EXPECT_FALSE(choice());
}

// Opening starts a fresh measuring session and remembers that the palette is open;
// the close box forgets it, a close by the add-on or the host does not.
TEST_F(MainPaletteTest, TheCloseBoxDecidesWhetherThePaletteReopens)
{
    EXPECT_EQ(DG::GetItemFont(Palette, 38), 8);
    EXPECT_EQ(DG::GetItemFont(Palette, 73), 8);
    EXPECT_EQ(DG::GetItemFont(Palette, 14), 0);

    Main().Close();
    Main().RestoreOpenState(503);
    EXPECT_TRUE(DG::IsOpen(Palette));

    Host().preferences_.reset();
    EXPECT_EQ(DG::CloseByUser(Palette), -1);
    EXPECT_FALSE(DG::IsOpen(Palette));
    ASSERT_TRUE(Main().LoadPreferences()) << "the close box saved the preferences";
    Main().RestoreOpenState(503);
    EXPECT_FALSE(DG::IsOpen(Palette));

    Host().preferences_.reset();
    SetItem(1, 1.0);
    ChooseMenu(32500, 1);
    EXPECT_EQ(DG::GetItemValue(Palette, 1), 0.0) << "a fresh measuring session";
    Main().Close();
    ASSERT_TRUE(Main().LoadPreferences()) << "opening saved the preferences";
    Main().RestoreOpenState(503);
    EXPECT_TRUE(DG::IsOpen(Palette));
}

TEST_F(MainPaletteTest, ResetClearsTheValueFields)
{
    for (short item : {7, 8, 9, 10, 11, 32, 34, 35, 36, 37, 42, 51, 54, 55, 57, 58}) SetItem(item, 2.5);
    DG::ClickItem(Palette, 48);
    for (short item : {7, 8, 9, 10, 11, 32, 34, 35, 36, 37, 51, 54, 55, 57, 58})
        EXPECT_EQ(DG::GetItemValue(Palette, item), 0.0) << item;
    EXPECT_EQ(DG::GetItemValue(Palette, 42), 2.5) << "the free-area height stays";
}
