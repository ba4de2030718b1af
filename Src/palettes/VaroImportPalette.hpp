#pragma once
#include "CDialogBase.hpp"
#include "palettes/VaroImportData.hpp"

class VaroImportPalette : public CDialogBase {
public:
    VaroImportPalette();
    std::int16_t DialogCallback(std::int16_t message, std::int16_t dialogId, std::int16_t item, std::intptr_t data) override;

    VaroImportData importData;
};
