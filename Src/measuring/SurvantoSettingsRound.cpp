#include "DG/DG.hpp"
#include "Win/WinStandIns.hpp"
#include "frame/SettingsDialog.hpp"
#include "frame/Survanto.hpp"

// The settings round of the main palette: the dialog edits a copy, and only OK
// brings the settings back, stores them and puts them into effect.

namespace
{

void CopyIn(const Survanto& survanto, SettingsDialog& dialog)
{
    dialog.sounds = survanto.sounds;
    dialog.wallThicknessTolerance = survanto.wallThicknessTolerance;
    dialog.snapDirectionTolerance = survanto.snapDirectionTolerance;
    dialog.stationChangeTolerance = survanto.stationChangeTolerance;
    dialog.measuredPointLayer = survanto.measuredPointLayer;
    dialog.stationLayer = survanto.stationLayer;
    dialog.freeAreaLayer = survanto.freeAreaLayer;
    dialog.stationPointLayer = survanto.stationPointLayer;
    dialog.numberOfMeasurements = survanto.numberOfMeasurements;
    dialog.preciseMeasurementChoice = survanto.preciseMeasurementChoice;
    dialog.measuredPointPen = survanto.measuredPointPen;
    dialog.stationPen = survanto.stationPen;
    dialog.freeAreaPen = survanto.freeAreaPen;
    dialog.stationPointPen = survanto.stationPointPen;
    dialog.perClassLayers = survanto.perTypeLayers;
    dialog.perClassPens = survanto.perTypePens;
    dialog.trackingDelay = survanto.trackingDelay;
    dialog.exchangeFile = survanto.exchangeFile;
    dialog.markerIdsShown = survanto.markerIdsShown;
    dialog.manualCalibration = survanto.manualCalibration;
    dialog.language = survanto.language;
}

bool WindowsSwitch(std::uint32_t action)
{
    std::uint32_t on = 0;
    return Win::SystemParametersInfoA(action, 0, &on, 0) && on != 0;
}

void TakeOver(Survanto& survanto, const SettingsDialog& dialog)
{
    survanto.windowTracking = WindowsSwitch(Win::SPI_GETACTIVEWINDOWTRACKING);
    survanto.windowRaising = WindowsSwitch(Win::SPI_GETACTIVEWNDTRKZORDER);
    survanto.trackingDelay = dialog.trackingDelay;
    survanto.sounds = dialog.sounds;
    survanto.wallThicknessTolerance = dialog.wallThicknessTolerance;
    survanto.snapDirectionTolerance = dialog.snapDirectionTolerance;
    survanto.stationChangeTolerance = dialog.stationChangeTolerance;
    survanto.measuredPointLayer = dialog.measuredPointLayer;
    survanto.stationLayer = dialog.stationLayer;
    survanto.freeAreaLayer = dialog.freeAreaLayer;
    survanto.stationPointLayer = dialog.stationPointLayer;
    survanto.numberOfMeasurements = dialog.numberOfMeasurements;
    survanto.preciseMeasurementChoice = dialog.preciseMeasurementChoice;
    survanto.measuredPointPen = dialog.measuredPointPen;
    survanto.stationPen = dialog.stationPen;
    survanto.freeAreaPen = dialog.freeAreaPen;
    survanto.stationPointPen = dialog.stationPointPen;
    // The watcher follows the exchange file's folder; the same path keeps it running.
    if (dialog.exchangeFile != survanto.exchangeFile)
    {
        survanto.exchangeFile = dialog.exchangeFile;
        survanto.RestartPointCabWatcher();
    }
    survanto.perTypeLayers = dialog.perClassLayers;
    survanto.perTypePens = dialog.perClassPens;
    survanto.markerIdsShown = dialog.markerIdsShown;
    survanto.ApplyMarkerIdVisibility();
    survanto.manualCalibration = dialog.manualCalibration;
    const bool languageChanged = dialog.language != survanto.language;
    survanto.SaveModuleData();
    survanto.SavePreferences();
    if (languageChanged) survanto.SetLanguage(dialog.language);
}

}  // namespace

void Survanto::RunSettingsDialog()
{
    SettingsDialog dialog;
    CopyIn(*this, dialog);
    dialog.SetResourceModules(CurrentResourceModule(), resourceModules[0]);
    if (dialog.OpenModal() == DG::Accept) TakeOver(*this, dialog);
}
