#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "DG/DG.hpp"
#include "InstrumentLink.hpp"
#include "MainObjectFixture.hpp"
#include "measuring/InstrumentEvents.hpp"
#include "measuring/MeasuringState.hpp"

namespace
{

constexpr short Palette = Survanto::MainPaletteDialogId;
constexpr short PromptItem = 27;

// The instrument application's events as they come: through the message
// transport, served by the host's event loop.
class InstrumentEvents : public MainObjectFixture
{
protected:
    void SetUp() override
    {
        MainObjectFixture::SetUp();
        before_ = measuringState;
        instrumentConnected = 0;
        distoConnected = 0;
        bumpAlertOpen = 0;
        Host().NewProject();
        DG::ClearRecordedAlerts();
    }
    void TearDown() override
    {
        measuringState = before_;
        MainObjectFixture::TearDown();
    }

    void Send(std::uint64_t code, std::uint64_t argument, std::vector<short> answers = {})
    {
        for (const short answer : answers) DG::QueueAlertAnswer(answer);
        ASSERT_TRUE(SimHost::InstrumentLink::SendEvent(code, argument));
        Host().RunPendingCommands();
    }
    void OpenPalette()
    {
        Main().HandleMenuCommand({32500, 1});
        ASSERT_TRUE(DG::IsOpen(Palette));
    }
    std::string Commands() { return Host().Fact("instrument-commands"); }
    std::string PromptText() { return DG::GetItemText(Palette, PromptItem).ToUtf8(); }

    static std::string Alerts()
    {
        std::string shown;
        for (const DG::AlertRecord& a : DG::RecordedAlerts())
            shown += "[" + a.title.ToUtf8() + ": " + a.text1.ToUtf8() + " / " + a.button1.ToUtf8() +
                     (a.button2.IsEmpty() ? "" : " | " + a.button2.ToUtf8()) + "]";
        return shown;
    }

private:
    MeasuringState before_;
};

const std::string Connected = "[Survanto - Meldung.: Geräte verbunden. / OK]";
const std::string DistoConnected = "[Survanto - Meldung.: Disto verbunden. / OK]";

// Both devices make one command 14 per project; an active station adds its warning.
TEST_F(InstrumentEvents, ConnectedDevicesSendCommandFourteenOncePerProject)
{
    const struct
    {
        const char* station;
        std::string alerts;
    } cases[] = {
        {"0", Connected + DistoConnected},
        {"A7", Connected + DistoConnected +
                   "[Survanto - Warnung!: Achtung! Es ist der Standort A7 aktiv. Bitte führen Sie eine Kontrollmessung "
                   "durch oder definieren Sie einen neuen Standort. / OK]"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.station);
        Host().NewProject();
        instrumentConnected = distoConnected = 0;
        DG::ClearRecordedAlerts();
        const std::string before = Commands();
        Main().activeStationId = c.station;
        Send(14, 1);
        EXPECT_EQ(Commands(), before) << "one device is not both";
        Send(14, 2);
        EXPECT_EQ(Alerts(), c.alerts);
        EXPECT_EQ(Commands(), before + (before.empty() ? "" : " ") + "14/0");
        Send(14, 2);
        EXPECT_EQ(Commands(), before + (before.empty() ? "" : " ") + "14/0") << "once per project";
        EXPECT_EQ(instrumentConnected, 1);
        EXPECT_EQ(distoConnected, 1);
    }
}

// A bump asks only at an active station; "Standort neu einmessen" locks the
// palette down until the station is measured again.
TEST_F(InstrumentEvents, BumpAsksAtAnActiveStationOnly)
{
    const std::string question =
        "[Survanto - Fehler!: Achtung! Das Gerät wurde angestoßen. Bitte messen Sie den Standort neu ein. / Standort "
        "neu einmessen | Messvorgang fortsetzen]";
    const struct
    {
        const char* station;
        short answer;
        std::string alerts;
        bool bumped;
    } cases[] = {{"0", 0, "", false}, {"3", 1, question, true}, {"3", 2, question, false}};
    OpenPalette();
    for (const auto& c : cases)
    {
        SCOPED_TRACE(std::string(c.station) + " answered " + std::to_string(c.answer));
        DG::ClearRecordedAlerts();
        Main().instrumentBumped = false;
        Main().refreshItems = false;
        Main().activeStationId = c.station;
        Send(12, 0, c.answer != 0 ? std::vector<short> {c.answer} : std::vector<short> {});
        EXPECT_EQ(Alerts(), c.alerts);
        EXPECT_EQ(Main().instrumentBumped, c.bumped);
        EXPECT_EQ(bumpAlertOpen, 0);
    }
    DG::ClearRecordedAlerts();
    bumpAlertOpen = 1;
    Send(12, 0);
    EXPECT_EQ(Alerts(), "") << "a second bump while the question is open";
    bumpAlertOpen = 0;
}

// A lost device asks to reconnect; "OK" sends command 16 for that device.
TEST_F(InstrumentEvents, LostConnectionAsksToRestoreIt)
{
    const struct
    {
        std::uint64_t device;
        short answer;
        const char* text;
        const char* command;
    } cases[] = {
        {1, 1, "Survanto Verbindungsabruch, soll die Verbindung wieder hergestellt werden?", "16/1"},
        {1, 2, "Survanto Verbindungsabruch, soll die Verbindung wieder hergestellt werden?", ""},
        {2, 1, "Disto Verbindungsabruch, soll die Verbindung wieder hergestellt werden?", "16/2"},
        {2, 2, "Disto Verbindungsabruch, soll die Verbindung wieder hergestellt werden?", ""},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(std::to_string(c.device) + " answered " + std::to_string(c.answer));
        instrumentConnected = distoConnected = 1;
        DG::ClearRecordedAlerts();
        const std::string before = Commands();
        Send(13, c.device, {c.answer});
        EXPECT_EQ(Alerts(), std::string("[Survanto - Fehler!: ") + c.text + " / OK | Abbrechen]");
        EXPECT_EQ(Commands(), before + (before.empty() || *c.command == '\0' ? "" : " ") + c.command);
        EXPECT_EQ(instrumentConnected, c.device == 1 ? 0 : 1);
        EXPECT_EQ(distoConnected, c.device == 2 ? 0 : 1);
    }
    DG::ClearRecordedAlerts();
    Send(13, 3);
    EXPECT_EQ(Alerts(), "") << "another device only refreshes the palette";
}

TEST_F(InstrumentEvents, CalibrationAndDisconnection)
{
    for (const std::uint64_t code : {32, 34})
    {
        DG::ClearRecordedAlerts();
        Send(code, 0);
        EXPECT_EQ(Alerts(), "[Survanto - Information: Neigungssensor kalibriert. / OK]");
    }
    instrumentConnected = distoConnected = 1;
    Send(110, 0);
    EXPECT_EQ(instrumentConnected, 0);
    EXPECT_EQ(distoConnected, 0);
}

// The quick calibration's progress stands in the palette's prompt; its errors
// are alerts, and only while the palette is open.
TEST_F(InstrumentEvents, QuickCalibrationProgressByArgument)
{
    const struct
    {
        std::uint64_t argument;
        const char* prompt;
        const char* error;
    } cases[] = {
        {1, "Die Schnellkalibrierung wurde gestartet", nullptr},
        {2, nullptr,
         "Die Schnellkalibrierung kann nicht gestartet werden: Wenn die Schnellkalibrierung 50 mal verwendet wurde, oder "
         "wenn ein Quintairgerätewechsel vorliegt, kann die Schnellkalibrierung nicht verwendet werden. In diesem Fall "
         "muss die automatische Kalibrierung durchgeführt werden."},
        {3, nullptr, "Schnellnivellierung wurde abgebrochen"},
        {11, "Die erste Position ist abgeschlossen. Das Gerät um ca 90 Grad nach links drehen für die zweite Position", nullptr},
        {12,
         "Die zweite Position ist abgeschlossen. Das Gerät um ca. 90 Grad nach links drehen für die dritte und letzte Position",
         nullptr},
        {13, "Die dritte und letzte Position ist abgeschlossen. Die Kalibrierung ist fertig", nullptr},
        {21, "Die Ausleseposition ist nicht erreicht, das Gerät muss weiter nach links gedreht werden", nullptr},
        {22, "Die Ausleseposition ist nicht erreicht, das Gerät muss weiter nach rechts gedreht werden", nullptr},
        {23, "Die Ausleseposition ist erreicht: Gerät nicht bewegen, Werte werden ausgelesen", nullptr},
        {4, nullptr, nullptr},
    };
    for (const bool open : {true, false})
    {
        if (!open) Main().HandleMenuCommand({32500, 1});
        if (open) OpenPalette();
        ASSERT_EQ(DG::IsOpen(Palette), open);
        for (const auto& c : cases)
        {
            SCOPED_TRACE(std::to_string(c.argument) + (open ? " open" : " closed"));
            DG::SetItemText(Palette, PromptItem, "vorher");
            DG::ClearRecordedAlerts();
            Send(42, c.argument);
            EXPECT_EQ(PromptText(), open && c.prompt != nullptr ? c.prompt : "vorher");
            EXPECT_EQ(Alerts(), open && c.error != nullptr ? std::string("[Survanto - Fehler!: ") + c.error + " / OK]" : "");
        }
    }
}

// The prompt file's first line goes into the report, and in debug mode to the
// host's report window as it stands.
TEST_F(InstrumentEvents, PromptFileInDebugModeOnly)
{
    IO::Location prompt = Main().instrumentTempFile;
    prompt.SetLastLocalName("quintairprompt.tmp");
    std::ofstream(prompt.ToPath()) << "Neigung 100% erreicht\r\nzweite Zeile\r\n";
    for (const std::uint8_t debug : {0, 1})
    {
        SCOPED_TRACE(static_cast<int>(debug));
        measuringState.debugMode = debug;
        const std::int32_t linesBefore = static_cast<std::int32_t>(Main().report.GetCurrentUserData().lines.GetSize());
        Send(39, 0);
        const auto& lines = Main().report.GetCurrentUserData().lines;
        EXPECT_EQ(static_cast<std::int32_t>(lines.GetSize()), linesBefore + debug);
        if (debug != 0)
        {
            EXPECT_EQ(lines[lines.GetSize() - 1].ToUtf8(), "Program message: Neigung 100% erreicht");
        }
        EXPECT_EQ(Host().Fact("report-window"), debug != 0 ? "[Survanto:    Program message: Neigung 100% erreicht]" : "");
    }
    std::remove(prompt.ToPath().c_str());
    Send(39, 0);
    EXPECT_EQ(Host().Fact("report-window"), "[Survanto:    Program message: Neigung 100% erreicht]")
        << "a missing file is ignored";
}

}  // namespace
