#pragma once
#include "CDialogBase.hpp"

class DebugPalette : public CDialogBase {
public:
    DebugPalette();
    std::int16_t DialogCallback(std::int16_t message, std::int16_t dialogId, std::int16_t item, std::intptr_t data) override;
};
