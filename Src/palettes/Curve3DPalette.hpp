#pragma once
#include <cstdint>

#include "API/Types.hpp"
#include "CDialogBase.hpp"

class Curve3DPalette : public CDialogBase {
public:
    Curve3DPalette();
    std::int16_t DialogCallback(std::int16_t message, std::int16_t dialogId, std::int16_t item, std::intptr_t data) override;

    // Resets the palette for the tool held in currentTool.
    void SetUpForTool();
    // Takes one measured point into the running figure; sets completed to 1 when it closed one.
    void AddMeasuredPoint(const API_Coord3D& point, std::uint8_t& completed);
    // While open, sets its items and prompt from its mode, step and sub-option.
    void UpdateItems();

    std::int32_t currentTool = 0;  // element type of the tool the palette works for
};
