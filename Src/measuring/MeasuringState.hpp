#pragma once
#include <cstdint>

// The one process-wide record of the measuring session: the current measured
// point, the current station and a few switches the measuring road reads.
// Points are in the project frame, the station's plan position in the station
// frame (project frame plus the location offset).
struct MeasuringState
{
    double measuredX = 0.0;
    double measuredY = 0.0;
    double measuredZ = 0.0;
    double stationX = 0.0;
    double stationY = 0.0;
    double stationZ = 0.0;
    double stationAngle = 0.0;
    double reservedValue1 = 0.0;
    double reservedValue2 = 0.0;
    double reservedValue3 = 0.0;
    double reservedValue4 = 0.0;
    double rawMeasuredZ = 0.0;
    double referenceHeight = 0.0;
    std::int16_t alignmentPending = 1;
    std::int16_t referenceHeightPending = 1;
    std::int16_t stationMode = 1;
    std::int16_t stationSymbolResource = 32501;
    std::uint8_t debugMode = 0;
    double relocationAngleDiffMax = 0.08;
    std::uint8_t importBusy = 0;
};

extern MeasuringState measuringState;
