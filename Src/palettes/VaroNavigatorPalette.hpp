#pragma once
#include "API/Types.hpp"
#include "CDialogBase.hpp"

class VaroNavigatorPalette : public CDialogBase {
public:
    VaroNavigatorPalette();
    std::int16_t DialogCallback(std::int16_t message, std::int16_t dialogId, std::int16_t item, std::intptr_t data) override;

    API_Guid trackedCamera {};
};
