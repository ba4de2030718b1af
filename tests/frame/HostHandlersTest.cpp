#include <gtest/gtest.h>

#include <dlfcn.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "DG/DG.hpp"
#include "MainObjectFixture.hpp"
#include "MarkerSupport.hpp"
#include "Win/Process.hpp"
#include "frame/AddOnGlobals.hpp"
#include "measuring/MeasuringState.hpp"

namespace
{

constexpr short Palette = Survanto::MainPaletteDialogId;

// A new project with the add-on's library and its main palette open, as the
// user has it after choosing the palette's menu.
class HostHandlers : public MainObjectFixture
{
protected:
    void SetUp() override
    {
        before_ = measuringState;
        MainObjectFixture::SetUp();
        LoadOwnLibrary(Host());
        Host().SelectTool(API_WallID, 0);
        Menu(32500);
        Win::ClearRecordedCommands();
        DG::ClearRecordedAlerts();
    }
    void TearDown() override
    {
        MainObjectFixture::TearDown();
        measuringState = before_;
        keptProjection = API_3DProjectionInfo {};
    }

    void RunCommand(std::int32_t command) { Host().commandHandlers_.at(command)(nullptr, nullptr, true); }

    static std::vector<std::string> CommandsRun()
    {
        std::vector<std::string> lines;
        for (const Win::CommandRecord& command : Win::RecordedCommands()) lines.push_back(command.commandLine);
        return lines;
    }
    // What the host's GDL interpreter holds, set as the add-on would set it.
    static void TellGdlExtension(std::uint16_t code)
    {
        void* extension = dlopen(BesideTheAddOn("Survanto.gdx").c_str(), RTLD_NOW | RTLD_NOLOAD);
        ASSERT_NE(extension, nullptr) << "the host keeps the extension loaded";
        using SetLanguageCodeFn = void (*)(std::uint16_t);
        reinterpret_cast<SetLanguageCodeFn>(dlsym(extension, "SetLanguageCode"))(code);
        dlclose(extension);
    }
    static std::string BesideTheAddOn(const char* name)
    {
        IO::Location location = HostGetOwnLocation();
        location.SetLastLocalName(name);
        return location.ToPath();
    }

    // Marks of a running session that a reset or a close clears.
    void MarkTheSession()
    {
        Main().instrumentPromptSent = true;
        Main().elementCreated = true;
        Main().instrumentBumped = true;
        Main().refreshItems = false;
        measuringState.stationMode = 1;
        Main().SetMainPaletteItemValue(1, 1.0);
        DG::SetItemFont(Palette, 38, 0);
    }

private:
    MeasuringState before_;
};

}  // namespace

TEST_F(HostHandlers, ProjectEventsAsCases)
{
    struct Case
    {
        const char* label;
        std::int32_t event;
        bool resets;
        bool closes;
        bool postsOpen;
        bool setsFonts;
        bool tellsGdlExtension;
    };
    const Case cases[] = {
        {"new project", 1, true, false, false, false, true},
        {"new project after a reset", 2, true, false, false, false, true},
        {"project opened", 4, false, false, true, false, false},
        {"project closed", 32, false, true, false, false, false},
        {"library changed", 0x200000, false, false, false, false, false},
        {"fonts", 0x800000, false, false, false, true, false},
        {"project database changed", 0x40000, false, false, false, false, false},
        {"window changed", 0x80000, false, false, false, false, false},
    };
    Main().language = 2;
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.label);
        if (!DG::IsOpen(Palette)) Menu(32500);
        MarkTheSession();
        Main().importPalette.importData.jobFolder = "C:\\Jobs";
        TellGdlExtension(0);
        Host().FireProjectEvent(c.event);

        EXPECT_EQ(Host().Fact("gdl-language"), c.tellsGdlExtension ? "3" : "0");
        EXPECT_EQ(DG::IsOpen(Palette), !c.closes);
        EXPECT_EQ(Main().elementCreated, !c.resets && !c.closes);
        EXPECT_EQ(Main().instrumentPromptSent, !c.resets && !c.closes);
        EXPECT_EQ(Main().instrumentBumped, !c.resets && !c.closes);
        EXPECT_EQ(Main().MainPaletteItemValue(1), c.resets ? 0.0 : 1.0);
        EXPECT_EQ(measuringState.stationMode, c.resets ? 2 : 1);
        EXPECT_EQ(Main().importPalette.importData.jobFolder.IsEmpty(), c.closes);
        EXPECT_EQ(DG::GetItemFont(Palette, 38), c.setsFonts ? 8 : 0);
        EXPECT_EQ(Host().RunPendingCommands(), c.postsOpen ? 1 : 0);
        if (c.postsOpen)
        {
            EXPECT_EQ(Main().MainPaletteItemValue(1), 0.0) << "the posted command resets";
            EXPECT_FALSE(Main().elementCreated);
        }
    }
}

TEST_F(HostHandlers, QuittingEndsTheWatcher)
{
    ASSERT_NE(Main().pointCabWatcherNumber, 0);
    Host().Quit();
    EXPECT_TRUE(quitting);
    EXPECT_EQ(Main().pointCabWatcherNumber, 0);
}

// The opened project's own data come back after the reset.
TEST_F(HostHandlers, OpenCommandResetsForTheOpenedProject)
{
    Main().activeStationId = "3";
    Main().elementCreated = true;
    measuringState.referenceHeight = 2.5;
    ASSERT_TRUE(Main().SaveModuleData());
    MarkTheSession();
    Main().elementCreated = false;
    RunCommand(FourCC("OPNE"));
    EXPECT_FALSE(Main().instrumentPromptSent);
    EXPECT_TRUE(Main().elementCreated) << "stored with the project";
    EXPECT_EQ(Main().activeStationId.ToUtf8(), "3");
    EXPECT_EQ(measuringState.referenceHeight, 2.5);
    EXPECT_EQ(Main().MainPaletteItemValue(1), 0.0);
}

// In the blocked state only the way to support stays open.
TEST_F(HostHandlers, BlockedMenusShowTheLibraryAlert)
{
    Menu(32500);
    ASSERT_FALSE(DG::IsOpen(Palette));
    Main().blockedState = 3;
    const struct
    {
        std::int16_t menu;
        bool passes;
    } cases[] = {{32500, false}, {32520, false}, {32502, false}, {32503, false},
                 {32506, false}, {32505, true},  {32508, true},  {32509, true}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.menu);
        DG::ClearRecordedAlerts();
        Win::ClearRecordedCommands();
        Menu(c.menu);
        ASSERT_EQ(DG::RecordedAlerts().size(), c.passes ? 0u : 1u);
        if (!c.passes)
        {
            EXPECT_EQ(DG::RecordedAlerts().front().text1.ToUtf8().rfind(
                          "Achtung! Die in diesem Projekt verwendeten Survanto Objekte sind veraltet. Bitte entfernen", 0),
                      0u);
        }
        EXPECT_EQ(CommandsRun().size(), c.passes ? 1u : 0u);
    }
    EXPECT_FALSE(DG::IsOpen(Palette));
}

TEST_F(HostHandlers, MenuCommandsAsCases)
{
    const struct
    {
        std::int16_t menu;
        std::int32_t item;
        std::vector<std::string> commands;
    } cases[] = {
        {32505, 1, {"cmd.exe /c start \"\" \"mailto:support@survanto.example \""}},
        {32508, 1, {"cmd.exe /c start https://www.survanto.example/support"}},
        {32509, 1, {"cmd.exe /c call \"" + BesideTheAddOn("TeamViewerQS.exe") + "\""}},
        {32506, 1, {"cmd.exe /c call \"" + BesideTheAddOn("Survanto Benutzerhandbuch.pdf") + "\""}},
        {32500, 2, {}},
        {32520, 2, {}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(std::to_string(c.menu) + "/" + std::to_string(c.item));
        Win::ClearRecordedCommands();
        Menu(c.menu, c.item);
        EXPECT_EQ(CommandsRun(), c.commands);
        EXPECT_TRUE(DG::IsOpen(Palette));
        EXPECT_EQ(Main().navigatorPalette.GetOpenMode(), CDialogBase::Closed) << "only the navigator's first item opens it";
    }
}

// "Shot 3D" from the menu takes the picked point as a measured point, its height
// the palette's in the floor plan.
TEST_F(HostHandlers, ShotMenuTakesPickedPoints)
{
    Main().SetMainPaletteItemValue(65, 0.75);
    Host().inputAnswers_ = {SimHost::InputAnswer::Picked({2, 3, 9})};
    Menu(32503, 3);
    EXPECT_EQ(measuringState.measuredX, 2.0);
    EXPECT_EQ(measuringState.measuredY, 3.0);
    EXPECT_EQ(measuringState.measuredZ, 0.75);
    EXPECT_TRUE(Host().inputAnswers_.empty());
}

// The navigator and the debug palette open from their menus and close again.
TEST_F(HostHandlers, PaletteMenusToggleTheirPalettes)
{
    const struct
    {
        std::int16_t menu;
        std::int16_t dialog;
    } cases[] = {{32520, 32446}, {32501, 32415}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.menu);
        Main().HandleMenuCommand({c.menu, 1});
        EXPECT_TRUE(DG::IsOpen(c.dialog));
        Main().HandleMenuCommand({c.menu, 1});
        EXPECT_FALSE(DG::IsOpen(c.dialog));
    }
}

// The report is saved only from its first item, into the file the user chose.
TEST_F(HostHandlers, ReportMenuSavesTheReport)
{
    TempFolder folder;
    const std::string file = folder.path() + "/report.txt";
    Main().report.GetCurrentUserData().lines.Add("Messung 1");
    DG::QueueFileAnswer(IO::Location(file));
    Main().HandleMenuCommand({32507, 2});
    EXPECT_FALSE(std::filesystem::exists(file));
    Main().HandleMenuCommand({32507, 1});
    EXPECT_TRUE(std::filesystem::exists(file));
}

// At an instrument station the palette first looks for the instrument
// application (here it is not installed, and the user is told); closing it does not.
TEST_F(HostHandlers, MainPaletteMenuStartsTheInstrumentOnlyAtAnInstrumentStation)
{
    const std::string notFound = "Orbolink wurde nicht gefunden.";
    for (const std::int16_t stationMode : {1, 2})
    {
        SCOPED_TRACE(stationMode);
        Menu(32500);
        ASSERT_FALSE(DG::IsOpen(Palette));
        measuringState.stationMode = stationMode;
        DG::ClearRecordedAlerts();
        Menu(32500);
        EXPECT_TRUE(DG::IsOpen(Palette));
        std::vector<std::string> alerts;
        for (const DG::AlertRecord& alert : DG::RecordedAlerts()) alerts.push_back(alert.text1.ToUtf8());
        EXPECT_EQ(alerts, stationMode == 1 ? std::vector<std::string> {notFound} : std::vector<std::string> {});
    }
    DG::ClearRecordedAlerts();
    measuringState.stationMode = 1;
    Menu(32500);
    EXPECT_FALSE(DG::IsOpen(Palette));
    EXPECT_TRUE(DG::RecordedAlerts().empty());
}

// "CAMR" applies the kept projection, all zeros while none is kept.
TEST_F(HostHandlers, CameraCommandSetsTheKeptProjection)
{
    RunCommand(FourCC("CAMR"));
    keptProjection.cameraGuid = APIGuidFromString("{01234567-89AB-CDEF-0123-456789ABCDEF}");
    RunCommand(FourCC("CAMR"));
    EXPECT_EQ(Host().Fact("projection-3d"),
              "{00000000-0000-0000-0000-000000000000}/camera {01234567-89AB-CDEF-0123-456789ABCDEF}/camera");
}

TEST_F(HostHandlers, SelectionAndViewEventsReachTheirCallees)
{
    API_Neig nothing, object;
    object.neigID = APINeig_Symb;
    Host().selectionHandler_(&nothing);
    // An object the project does not hold shows no photo (the scenario "photos" shows one).
    Host().selectionHandler_(&object);
    EXPECT_TRUE(Main().photoFolderDialog.photoPalette.photoLocation.IsEmpty());

    // An open import palette offers target kinds anew: the section entry, set on
    // by hand, goes off again in a project without sections.
    constexpr short TargetTypePopup = 6;
    constexpr short SectionEntry = 2;
    const struct
    {
        std::int32_t kind;
        std::int32_t map;
        bool importPaletteOpen;
        bool targetsOffered;
    } cases[] = {
        {1, 1, false, false}, {1, 1, true, true},   {2, 3, true, true},   {4, 2, true, true},
        {4, 5, true, false},  {16, 1, true, false}, {8, 5, false, false},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(std::to_string(c.kind) + "@" + std::to_string(c.map));
        if (c.importPaletteOpen)
            Main().importPalette.OpenPalette(243);
        else
            Main().importPalette.Close();
        const short paletteId = Main().importPalette.GetDialogId();
        if (c.importPaletteOpen) DG::PopupEnableItem(paletteId, TargetTypePopup, SectionEntry, true);
        API_NotifyViewEventType event;
        event.notifID = c.kind;
        event.mapId = c.map;
        Host().viewEventHandler_(&event);
        EXPECT_EQ(DG::IsOpen(paletteId), c.importPaletteOpen) << "the event neither opens nor closes the import palette";
        if (!c.importPaletteOpen) continue;
        const DG::Item* popup = DG::GetDialog(paletteId)->FindItem(TargetTypePopup);
        ASSERT_NE(popup, nullptr);
        ASSERT_GE(popup->entryEnabled.size(), 2U);
        EXPECT_EQ(popup->entryEnabled[1], !c.targetsOffered);
    }
}
