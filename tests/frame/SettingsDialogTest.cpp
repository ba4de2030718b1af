#include <functional>
#include <string>
#include <vector>

#include "DG/DG.hpp"
#include "MainObjectFixture.hpp"
#include "Win/WinStandIns.hpp"
#include "frame/SettingsDialog.hpp"

// The settings dialog run from the main palette's item 25, the user's hand
// playing inside it.

namespace
{

constexpr short Settings = SettingsDialog::DialogId;
constexpr short Palette = Survanto::MainPaletteDialogId;
constexpr short HiddenItems[] = {7, 8, 9, 10, 11, 12, 13, 14, 38, 39};
constexpr short LayerControls[] = {16, 22, 27, 32};
constexpr short PenControls[] = {19, 25, 30, 35};

double Value(short item) { return DG::GetItemValue(Settings, item); }

std::string SystemParameters()
{
    std::string text;
    for (const Win::SystemParameterRecord& p : Win::RecordedSystemParameters())
    {
        text += (text.empty() ? "" : " ") + std::to_string(p.action) + (p.query ? "?" : "=") + std::to_string(p.value);
        if (p.flags != 0) text += "/" + std::to_string(p.flags);
    }
    return text;
}

class SettingsDialogTest : public MainObjectFixture
{
protected:
    void SetUp() override
    {
        MainObjectFixture::SetUp();
        Main().ToggleMainPalette();
        ASSERT_TRUE(DG::IsOpen(Palette));
        Main().exchangeFile = folder.path() + "/old/vezadovi4vuz.lse";
        Main().RestartPointCabWatcher();
        Win::ClearRecords();
    }

    // Item 25 pressed; `hand` plays inside the dialog and gives the item that ends it.
    void RunSettings(const std::function<short()>& hand)
    {
        DG::SetModalAnswerer([&hand](DG::Dialog&) {
            const short closing = hand();
            return DG::ClickItem(Settings, closing) != 0 ? closing : static_cast<short>(DG::Cancel);
        });
        DG::ChangeItem(Palette, 25, 1.0);
        DG::SetModalAnswerer(nullptr);
    }

    TempFolder folder;
};

}  // namespace

// Opening hides the unused rows and closes the gap, shows the owner's settings and
// Windows' tracking, and binds the host's layer and pen controls; the size stays.
TEST_F(SettingsDialogTest, OpensWithTheLayoutAndTheOwnersValues)
{
    Main().stationLayer = 3;
    Main().stationPen = 89;
    Main().perTypePens[1] = 20;
    Main().perTypeLayers[1] = 2;
    Main().language = 1;
    Main().trackingDelay = 300;
    struct Case
    {
        std::uint32_t tracking;
        double delayShown;
    } cases[] = {{0, 300}, {1, 700}};
    for (const Case& c : cases)
    {
        Win::SystemParametersInfo(Win::SPI_SETACTIVEWINDOWTRACKING, c.tracking);
        Win::SystemParametersInfo(Win::SPI_SETACTIVEWNDTRKTIMEOUT, 700);
        RunSettings([&] {
            EXPECT_EQ(Value(50), c.delayShown);
            EXPECT_EQ(Value(46), static_cast<double>(c.tracking));
            for (const short item : HiddenItems)
            {
                EXPECT_FALSE(DG::IsItemVisible(Settings, item)) << item;
                EXPECT_LT(DG::GetItemRect(Settings, item).top, -9000) << item;
            }
            EXPECT_EQ(DG::GetItemRect(Settings, 16).top, 70);
            EXPECT_EQ(DG::GetItemRect(Settings, 41).top, 250);
            EXPECT_EQ(DG::GetItemRect(Settings, 1).top, 410);
            EXPECT_EQ(DG::GetItemRect(Settings, 4).top, 10);
            EXPECT_EQ(DG::GetClientSize(Settings).height, 450);
            DG::ResizeByUser(Settings, 600, 700);
            EXPECT_EQ(DG::GetClientSize(Settings).width, 440);
            EXPECT_EQ(DG::GetClientSize(Settings).height, 450);

            DG::Dialog* dialog = DG::GetDialog(Settings);
            EXPECT_EQ(dialog->title.ToUtf8(), "Survanto Einstellungen");
            for (const short item : LayerControls) EXPECT_EQ(dialog->FindItem(item)->type, "layer");
            for (const short item : PenControls) EXPECT_EQ(dialog->FindItem(item)->type, "pen");
            EXPECT_EQ(Value(16), 3);
            EXPECT_EQ(Value(18), 89);
            EXPECT_EQ(Value(19), 89);
            EXPECT_EQ(DG::PopupGetSelected(Settings, 21), 1);
            EXPECT_EQ(Value(24), 20);
            EXPECT_EQ(Value(22), 2);
            EXPECT_EQ(Value(14), 1);
            EXPECT_FALSE(DG::IsItemEnabled(Settings, 14));
            EXPECT_EQ(DG::GetItemText(Settings, 43).ToUtf8(), folder.path() + "/old");
            EXPECT_EQ(DG::PopupGetSelected(Settings, 51), 2);
            return DG::Cancel;
        });
    }
}

// The two precise-measurement boxes exclude each other; while one is ticked at
// least two measurements are taken.
TEST_F(SettingsDialogTest, PreciseMeasurementRules)
{
    struct Step
    {
        short item;
        double value;
        double numberShown;
        bool numberEnabled;
        double other;  // the value of the other box afterwards
    } steps[] = {
        {10, 1, 2, true, 0},                        // tick "at station change": two measurements
        {14, 1, 2, true, 0},                        // 1 is refused
        {14, 4, 4, true, 0},  {12, 1, 4, true, 0},  // "always" clears the other box and keeps the number
        {12, 0, 1, false, 0},                       // neither: one measurement, not editable
    };
    RunSettings([&] {
        for (const Step& s : steps)
        {
            DG::ChangeItem(Settings, s.item, s.value);
            EXPECT_EQ(Value(14), s.numberShown) << s.item << " " << s.value;
            EXPECT_EQ(DG::IsItemEnabled(Settings, 14), s.numberEnabled) << s.item << " " << s.value;
            EXPECT_EQ(Value(s.item == 12 ? 10 : 12), s.other) << s.item << " " << s.value;
        }
        DG::ChangeItem(Settings, 10, 1);
        DG::ChangeItem(Settings, 14, 3);
        return DG::Accept;
    });
    EXPECT_EQ(Main().preciseMeasurementChoice, 10);
    EXPECT_EQ(Main().numberOfMeasurements, 3);
}

// "Decke" shows class 4's pen and layer; its pen set in the edit reaches the pen
// control, the class and the measured-point pen.
TEST_F(SettingsDialogTest, ClassPenFollowsTheEdit)
{
    Main().perTypePens[4] = 12;
    Main().perTypeLayers[4] = 5;
    RunSettings([&] {
        DG::ChangeItem(Settings, 21, 4);
        EXPECT_EQ(DG::PopupGetItemText(Settings, 21, 4).ToUtf8(), "Decke");
        EXPECT_EQ(Value(24), 12);
        EXPECT_EQ(Value(25), 12);
        EXPECT_EQ(Value(22), 5);
        DG::ChangeItem(Settings, 24, 7);
        EXPECT_EQ(Value(25), 7);
        DG::ChangeItem(Settings, 30, 40);
        EXPECT_EQ(Value(29), 40);
        return DG::Accept;
    });
    EXPECT_EQ(Main().perTypePens[4], 7);
    EXPECT_EQ(Main().perTypeLayers[4], 5);
    EXPECT_EQ(Main().measuredPointPen, 7);
    EXPECT_EQ(Main().measuredPointLayer, 5);
    EXPECT_EQ(Main().stationPointPen, 40);
    EXPECT_EQ(Main().MainPaletteItemValue(25), 0.0);
}

// OK puts tracking into effect at once without the user profile, and the owner
// reads Windows' switches back.
TEST_F(SettingsDialogTest, OkTurnsTrackingOnWithTheDelay)
{
    RunSettings([&] {
        DG::ChangeItem(Settings, 46, 1);
        DG::ChangeItem(Settings, 50, 500);
        return DG::Accept;
    });
    EXPECT_EQ(SystemParameters(), "4096?0 4108?0 4097=1 4109=0 8195=500 4096?1 4108?0");
    EXPECT_EQ(Main().trackingDelay, 500);
    EXPECT_TRUE(Main().windowTracking);
    EXPECT_FALSE(Main().windowRaising);
}

// A new folder becomes the exchange file with its fixed name and restarts the
// watcher once; the same folder again leaves the watcher running.
TEST_F(SettingsDialogTest, NewExchangeFolderRestartsTheWatcherOnce)
{
    const std::int32_t watcher = Main().pointCabWatcherNumber;
    ASSERT_NE(watcher, 0);
    for (const std::string& chosen : {folder.path() + "/new", folder.path() + "/new/"})
    {
        DG::QueueFolderAnswer(IO::Location(chosen));
        RunSettings([&] {
            DG::ClickItem(Settings, 44);
            EXPECT_EQ(DG::GetItemText(Settings, 43).ToUtf8(), chosen);
            return DG::Accept;
        });
        EXPECT_EQ(Main().exchangeFile.ToUtf8(), folder.path() + "/new/vezadovi4vuz.lse");
        EXPECT_EQ(Main().pointCabWatcherNumber, watcher + 1);
    }
    const std::vector<DG::FolderDialogRecord>& browsed = DG::RecordedFolderDialogs();
    ASSERT_EQ(browsed.size(), 2U);
    EXPECT_EQ(browsed[0].title.ToUtf8(), "PointCab-Protokolldatei Ordner suchen");
    EXPECT_EQ(browsed[0].start.ToPath(), folder.path() + "/old");
    EXPECT_EQ(browsed[1].start.ToPath(), folder.path() + "/new");
}

// Cancel after browsing and changing: only item 25 changes.
TEST_F(SettingsDialogTest, CancelChangesNothingButTheButton)
{
    const std::string exchange = Main().exchangeFile.ToUtf8();
    const std::int32_t watcher = Main().pointCabWatcherNumber;
    const std::int16_t stationPen = Main().stationPen;
    DG::QueueFolderAnswer(IO::Location(folder.path() + "/new"));
    RunSettings([&] {
        DG::ClickItem(Settings, 44);
        DG::ChangeItem(Settings, 10, 1);
        DG::ChangeItem(Settings, 18, 33);
        DG::ChangeItem(Settings, 41, 0);
        DG::ChangeItem(Settings, 46, 1);
        DG::ChangeItem(Settings, 51, 3);
        return DG::Cancel;
    });
    EXPECT_EQ(Main().exchangeFile.ToUtf8(), exchange);
    EXPECT_EQ(Main().pointCabWatcherNumber, watcher);
    EXPECT_EQ(Main().preciseMeasurementChoice, 0);
    EXPECT_EQ(Main().stationPen, stationPen);
    EXPECT_TRUE(Main().sounds);
    EXPECT_EQ(Main().language, 0);
    EXPECT_FALSE(Main().windowTracking);
    EXPECT_EQ(SystemParameters(), "4096?0 4108?0");
    EXPECT_EQ(Main().MainPaletteItemValue(25), 0.0);
}
