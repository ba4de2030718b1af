#include "measuring/InstrumentEvents.hpp"

#include <array>
#include <string>

#include "API/AddOnInterface.hpp"
#include "DG/DG.hpp"
#include "GS/CharCode.hpp"
#include "RS/ResourceModule.hpp"
#include "Win/WindowMessages.hpp"
#include "frame/AddOnGlobals.hpp"
#include "frame/Survanto.hpp"
#include "frame/UInterface.hpp"
#include "framework/CDataRecorder.hpp"
#include "measuring/MainPaletteItems.hpp"
#include "measuring/MeasuringState.hpp"

std::uint8_t instrumentConnected = 0;
std::uint8_t distoConnected = 0;
std::uint8_t bumpAlertOpen = 0;

namespace
{

using namespace MainPaletteItems;

constexpr std::int32_t PromptStringListId = 32560;

// Entries of the alert list.
constexpr std::int32_t TextActiveStation = 6;
constexpr std::int32_t TextBumped = 9;
constexpr std::int32_t ButtonContinue = 14;
constexpr std::int32_t ButtonMeasureStationAgain = 15;
constexpr std::int32_t TextInstrumentLost = 24;
constexpr std::int32_t TextDistoLost = 25;
constexpr std::int32_t TextInstrumentConnected = 28;
constexpr std::int32_t TextDistoConnected = 29;
constexpr std::int32_t TextTiltCalibrated = 68;

// Arguments of the connection codes.
constexpr std::uint64_t Instrument = 1;
constexpr std::uint64_t Disto = 2;

constexpr std::uint64_t RestoreConnectionCommand = 16;
constexpr std::uint64_t BothConnectedCommand = 14;

constexpr std::int16_t FirstButton = 1;
constexpr std::size_t PromptLineCapacity = 198;

std::int16_t Alert(std::int16_t type, std::int32_t title, std::int32_t text, std::int32_t button1,
                   std::int32_t button2 = NoAlertText)
{
    return ShowAlert(type, AlertStringListId, title, text, NoAlertText, button1, button2, NoAlertText, CurrentResourceModule(),
                     AlertStringType);
}

bool MainPaletteOpen(const Survanto& survanto) { return survanto.GetOpenMode() != CDialogBase::Closed; }

void OnBumped(Survanto& survanto)
{
    if (bumpAlertOpen != 0) return;
    bumpAlertOpen = 1;
    if (survanto.activeStationId != "0" &&
        Alert(AlertError, AlertErrorTitle, TextBumped, ButtonMeasureStationAgain, ButtonContinue) == FirstButton)
    {
        survanto.instrumentBumped = true;
        survanto.refreshItems = true;
        survanto.UpdateMainPalette();
    }
    bumpAlertOpen = 0;
}

void OnConnectionLost(Survanto& survanto, std::uint64_t device)
{
    if (device == Instrument || device == Disto)
    {
        (device == Instrument ? instrumentConnected : distoConnected) = 0;
        const std::int32_t text = device == Instrument ? TextInstrumentLost : TextDistoLost;
        if (Alert(AlertError, AlertErrorTitle, text, AlertOkButton, AlertCancelButton) == FirstButton)
            PostInstrumentCommand(survanto, RestoreConnectionCommand, device);
    }
    survanto.UpdateMainPalette();
}

// The active station's id stands in the warning's "%s".
void WarnOfActiveStation(const Survanto& survanto)
{
    const GSResModule module = CurrentResourceModule();
    DG::AlertRecord alert;
    alert.type = AlertWarning;
    alert.title = RS::GetIndString(AlertStringListId, AlertWarningTitle, module);
    std::u16string text = RS::GetIndString(AlertStringListId, TextActiveStation, module).Units();
    const std::size_t placeholder = text.find(u"%s");
    if (placeholder != std::u16string::npos) text.replace(placeholder, 2, survanto.activeStationId.Units());
    alert.text1 = GS::UniString(text);
    alert.button1 = RS::GetIndString(AlertStringListId, AlertOkButton, module);
    DG::Alert(alert);
}

void OnConnected(Survanto& survanto, std::uint64_t device)
{
    if (device == Instrument || device == Disto)
    {
        (device == Instrument ? instrumentConnected : distoConnected) = 1;
        Alert(AlertInformation, AlertMessageTitle, device == Instrument ? TextInstrumentConnected : TextDistoConnected,
              AlertOkButton);
    }
    survanto.UpdateMainPalette();
    if (instrumentConnected == 0 || distoConnected == 0) return;
    if (!survanto.instrumentPromptSent)
    {
        PostInstrumentCommand(survanto, BothConnectedCommand, 0);
        survanto.instrumentPromptSent = true;
    }
    if (survanto.activeStationId != "0") WarnOfActiveStation(survanto);
}

void ShowPrompt(const Survanto& survanto, std::int16_t prompt)
{
    if (MainPaletteOpen(survanto))
        DG::SetItemText(Survanto::MainPaletteDialogId, PromptItem,
                        RS::GetIndString(PromptStringListId, prompt, CurrentResourceModule()));
}

void ShowCalibrationError(const Survanto& survanto, std::int16_t prompt)
{
    if (!MainPaletteOpen(survanto)) return;
    const GSResModule module = CurrentResourceModule();
    DG::AlertRecord alert;
    alert.type = AlertError;
    alert.title = RS::GetIndString(AlertStringListId, AlertErrorTitle, module);
    alert.text1 = RS::GetIndString(PromptStringListId, prompt, module);
    alert.button1 = RS::GetIndString(AlertStringListId, AlertOkButton, module);
    DG::Alert(alert);
}

void OnQuickCalibration(const Survanto& survanto, std::uint64_t step)
{
    switch (step)
    {
        case 1: ShowPrompt(survanto, 118); break;
        case 2: ShowCalibrationError(survanto, 119); break;
        case 3: ShowCalibrationError(survanto, 120); break;
        case 11: ShowPrompt(survanto, 121); break;
        case 12: ShowPrompt(survanto, 122); break;
        case 13: ShowPrompt(survanto, 123); break;
        case 21: ShowPrompt(survanto, 124); break;
        case 22: ShowPrompt(survanto, 125); break;
        case 23: ShowPrompt(survanto, 126); break;
        default: break;
    }
}

void RunEventAction(Survanto& survanto, std::uint64_t code, std::uint64_t argument)
{
    switch (code)
    {
        case 12: OnBumped(survanto); break;
        case 13: OnConnectionLost(survanto, argument); break;
        case 14: OnConnected(survanto, argument); break;
        case 15:
        case 111: survanto.UpdateMainPalette(); break;
        case 32:
        case 34: Alert(AlertInformation, AlertInformationTitle, TextTiltCalibrated, AlertOkButton); break;
        case 39:
            if (measuringState.debugMode != 0) ReadInstrumentPromptFile(survanto);
            break;
        case 42: OnQuickCalibration(survanto, argument); break;
        case 110:
            instrumentConnected = 0;
            distoConnected = 0;
            survanto.UpdateMainPalette();
            break;
        default: break;
    }
}

}  // namespace

void OnInstrumentEvent(std::uint64_t code, std::uint64_t argument)
{
    Survanto* survanto = theSurvanto.load();
    if (survanto == nullptr) return;
    RunEventAction(*survanto, code, argument);
    survanto->OnMeasuredPoint(static_cast<std::int32_t>(code));
}

bool PostInstrumentCommand(Survanto&, std::uint64_t code, std::uint64_t argument)
{
    return Win::PostMessage(Win::HWND_BROADCAST, extAppToQuintairMessage, code, argument);
}

// The line is written to the report window as it stands: a "%" in it is no format.
void ReadInstrumentPromptFile(Survanto& survanto)
{
    IO::Location path = survanto.instrumentTempFile;
    path.SetLastLocalName("quintairprompt.tmp");
    CDataRecorder recorder(CDataRecorder::EncodingCodePage);
    recorder.SetMode(CDataRecorder::ModeHostFileText);
    recorder.SetPath(path.ToPath().c_str());
    if (recorder.OpenRead() != 0) return;
    std::array<char, PromptLineCapacity + 2> line {};
    recorder.ReadLine(line.data(), PromptLineCapacity);
    recorder.Close();
    const GS::UniString message(u"Program message: " + GS::CharCodeToUtf16(line.data(), CC_WestEuropean));
    if (measuringState.debugMode != 0) HostWriteReport(("Survanto:    " + message.ToUtf8()).c_str(), false);
    survanto.report.GetCurrentUserData().lines.Add(message);
    survanto.SaveReportData();
}
