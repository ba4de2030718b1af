#pragma once
#include <array>
#include <cstdint>

#include "GS/UniString.hpp"
#include "framework/CDialogBase.hpp"

// The modal settings dialog: tolerances, the markers' layers and pens, point ids,
// sounds, the exchange file's folder, Windows' active-window tracking and the
// language. It works on its own copy of the settings; the owner takes them back
// after OK. Only OK touches Windows, without saving to the user profile.
class SettingsDialog : public CDialogBase
{
public:
    static constexpr std::int16_t DialogId = 32520;
    static constexpr std::int16_t PreciseAtStationChange = 10;
    static constexpr std::int16_t PreciseAlways = 12;

    SettingsDialog();
    ~SettingsDialog() override;

    std::int16_t DialogCallback(std::int16_t message, std::int16_t dialogId, std::int16_t item, std::intptr_t data) override;
    void InitDialog();

    std::int16_t fixedWidth = 0;
    std::int16_t fixedHeight = 0;
    bool sounds = true;
    double wallThicknessTolerance = 0.0;
    double snapDirectionTolerance = 0.0;
    double stationChangeTolerance = 0.0;
    std::int16_t measuredPointLayer = 0;
    std::int16_t stationLayer = 0;
    std::int16_t freeAreaLayer = 0;
    std::int16_t stationPointLayer = 0;
    std::int16_t numberOfMeasurements = 1;
    // The id of the ticked precise-measurement box, 0 when neither is.
    std::int16_t preciseMeasurementChoice = 0;
    std::int16_t measuredPointPen = 0;
    std::int16_t stationPen = 0;
    std::int16_t freeAreaPen = 0;
    std::int16_t stationPointPen = 0;
    // The element class shown in the class pop-up, 1 to 10.
    std::int16_t selectedClass = 1;
    // Per element class, entry 0 unused.
    std::array<std::int16_t, 11> perClassLayers {};
    std::array<std::int16_t, 11> perClassPens {};
    std::int32_t trackingDelay = 250;
    GS::UniString exchangeFile;
    bool markerIdsShown = false;
    bool manualCalibration = false;
    // 0 German, 1 English, 2 French.
    std::int32_t language = 0;

private:
    void Clicked(std::int16_t item);
    void Changed(std::int16_t item);
    void PreciseBoxChanged(std::int16_t box, std::int16_t other);
    void NumberOfMeasurementsChanged();
    void ShowSelectedClass();
    void ApplyToWindows();
    void BrowseExchangeFolder();
    void ReadBack();
    void KeepFixedSize();
    std::size_t ClassIndex() const;
};
