#pragma once
#include "CDialogBase.hpp"
#include "curves/Curve3DPalette.hpp"

// The cross-section profile palette; its own curve palette takes the profile points.
class SectionPalette : public CDialogBase {
public:
    SectionPalette();
    std::int16_t DialogCallback(std::int16_t message, std::int16_t dialogId, std::int16_t item, std::intptr_t data) override;

    // A new profile from the curve its curve palette measured.
    void CreateMeasuredProfile();

    Curve3DPalette curvePalette;
};
