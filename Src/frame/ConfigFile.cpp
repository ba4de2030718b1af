#include "API/AddOnInterface.hpp"
#include "CSettingsRecorder.hpp"
#include "frame/AddOnGlobals.hpp"
#include "measuring/MeasuringState.hpp"

void ReadConfigFile()
{
    IO::Location location = HostGetOwnLocation();
    location.SetLastLocalName("Survanto.cfg");
    CSettingsRecorder settings;
    settings.SetPath(location.ToPath().c_str());
    settings.SetMode(CDataRecorder::ModeHostFileText);
    if (settings.Load() != 0) return;

    // A key without a value changes nothing: its second token is asked only when the line has one.
    if (settings.FindKey("RelocationAngleDiffMax") >= 2) measuringState.relocationAngleDiffMax = settings.GetToken(1).value;
    measuringState.debugMode = 0;
    if (settings.FindKey("DebugMode") >= 2 && settings.GetToken(1).value == 1.0) measuringState.debugMode = 1;
    settings.Close();
}
