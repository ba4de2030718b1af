#include <string>

#include "API/AddOnInterface.hpp"
#include "frame/Survanto.hpp"
#include "framework/SystemUtilities.hpp"
#include "measuring/MeasuringState.hpp"

// The add-on's menu commands.

namespace
{

enum Menu : std::int16_t
{
    MainPaletteMenu = 32500,
    DebugPaletteMenu = 32501,
    CameraControlMenu = 32502,
    Shot3DMenu = 32503,
    MailMenu = 32505,
    ManualMenu = 32506,
    SaveReportMenu = 32507,
    OnlineHelpMenu = 32508,
    RemoteSupportMenu = 32509,
    NavigatorMenu = 32520,
};

constexpr std::int32_t DebugPalettePaletteFlags = 407;
constexpr std::int32_t NavigatorPaletteFlags = 5;
constexpr std::int16_t InstrumentStationMode = 1;

constexpr char SupportMailAddress[] = "support@survanto.example";
constexpr char SupportWebPage[] = "https://www.survanto.example/support";
constexpr char RemoteSupportProgram[] = "TeamViewerQS.exe";
constexpr char UserManual[] = "Survanto Benutzerhandbuch.pdf";

// A file that lies beside the add-on.
std::string BesideTheAddOn(const char* name)
{
    IO::Location location = HostGetOwnLocation();
    location.SetLastLocalName(name);
    return location.ToPath();
}

// Windows hands a "mailto:" address to the default mail program.
void WriteSupportMail()
{
    const std::string argument = std::string("\"\" \"mailto:") + SupportMailAddress + " \"";
    RunCommand(argument.c_str());
}

}  // namespace

void Survanto::HandleMenuCommand(const API_MenuParams& params)
{
    const bool firstItem = params.itemIndex == 1;
    switch (params.menuResID)
    {
        case MainPaletteMenu:
            if (firstItem) ToggleMainPalette();
            break;
        case DebugPaletteMenu:
            if (firstItem) TogglePalette(debugPalette, DebugPalettePaletteFlags);
            break;
        case NavigatorMenu:
            if (firstItem) TogglePalette(navigatorPalette, NavigatorPaletteFlags);
            break;
        case SaveReportMenu:
            if (firstItem) report.ExportToTextFile();
            break;
        case Shot3DMenu: ShootPickedPoints(true); break;
        case MailMenu: WriteSupportMail(); break;
        case OnlineHelpMenu: RunCommand(SupportWebPage); break;
        case CameraControlMenu: StepPanoramaCamera(params.itemIndex); break;
        case RemoteSupportMenu: CallBatchFileEx(BesideTheAddOn(RemoteSupportProgram).c_str()); break;
        case ManualMenu: CallBatchFile(BesideTheAddOn(UserManual).c_str()); break;
        default: break;
    }
}

// In station mode 1 the instrument application is started or reconnected
// before the palette opens; the palette takes its texts from the current
// language and its icons from the add-on's own file.
void Survanto::ToggleMainPalette()
{
    if (GetOpenMode() != Closed)
    {
        Close();
        return;
    }
    if (measuringState.stationMode == InstrumentStationMode) StartOrbolink();
    SetResourceModules(CurrentResourceModule(), resourceModules[0]);
    OpenPalette(MainPaletteFlags);
    UpdateMainPalette();
}

void Survanto::TogglePalette(CDialogBase& palette, std::int32_t paletteFlags)
{
    if (palette.GetOpenMode() != Closed)
    {
        palette.Close();
        return;
    }
    palette.SetResourceModules(CurrentResourceModule(), resourceModules[0]);
    palette.OpenPalette(paletteFlags);
}
