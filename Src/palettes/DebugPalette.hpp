#pragma once
#include "framework/CDialogBase.hpp"

// The developer's stand-in for the instrument, open only in debug mode: typed
// instrument coordinates become measured points, picked points are turned back
// into instrument coordinates, and a bump or a new station can be simulated.
class DebugPalette : public CDialogBase
{
public:
    static constexpr std::int16_t DialogId = 32415;

    DebugPalette();
    std::int16_t DialogCallback(std::int16_t message, std::int16_t dialogId, std::int16_t item, std::intptr_t data) override;

    // The typed X, Y, Z turned into the current measured point.
    void TakeTypedPoint();
    // One picked point into X and Y, or with `z` into Z.
    void PickPlanCoordinate(bool z);
    // One point picked in a 3D window into X, Y and Z.
    void PickPoint3D();
    // Picks points until the input is cancelled and shoots each one; with `z`
    // the height picked, else the typed Z.
    void ShootPickedPoints(bool z);
    // Every selected element onto the storey above, in one undoable command.
    void RaiseSelectionOneStorey();

private:
    void Shoot();
};
