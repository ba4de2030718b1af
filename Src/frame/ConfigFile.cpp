#include <string>

#include "API/AddOnInterface.hpp"
#include "Win/WinStandIns.hpp"
#include "frame/AddOnGlobals.hpp"
#include "framework/CSettingsRecorder.hpp"
#include "measuring/MeasuringState.hpp"

namespace
{

constexpr const char* MakersUpdatePage = "https://www.survanto.example/update/version.html";

std::string& ConfiguredUpdatePage()
{
    static std::string address = MakersUpdatePage;
    return address;
}

}  // namespace

std::string UpdatePageAddress() { return ConfiguredUpdatePage(); }

void ReadConfigFile()
{
    IO::Location location = HostGetOwnLocation();
    location.SetLastLocalName("Survanto.cfg");
    CSettingsRecorder settings;
    settings.SetPath(location.ToPath().c_str());
    settings.SetMode(CDataRecorder::ModeHostFileText);
    const int loaded = settings.Load();
    if (loaded == CSettingsRecorder::LoadTooLarge)
        Win::OutputDebugString("Survanto: " + location.ToPath() + " is larger than 1 MiB and is not read");
    if (loaded != 0) return;

    // A key without a value changes nothing: its second token is asked only when the line has one.
    if (settings.FindKey("RelocationAngleDiffMax") >= 2) measuringState.relocationAngleDiffMax = settings.GetToken(1).value;
    measuringState.debugMode = 0;
    if (settings.FindKey("DebugMode") >= 2 && settings.GetToken(1).value == 1.0) measuringState.debugMode = 1;
    ConfiguredUpdatePage() = settings.FindKey("UpdateAddress") >= 2 ? settings.GetToken(1).text : MakersUpdatePage;
    settings.Close();
}
