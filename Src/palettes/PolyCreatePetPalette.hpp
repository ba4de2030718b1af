#pragma once
#include "framework/CDialogBase.hpp"

// Three icon buttons that choose how the running outline input draws: rectangle
// (mode 1), rotated rectangle (mode 2) or free polygon (mode 3). A choice ends the
// running input, so that its owner starts it again the new way.
class PolyCreatePetPalette : public CDialogBase
{
public:
    PolyCreatePetPalette();
    void EnableItems() override {}
    void DisableItems() override {}
    std::int16_t DialogCallback(std::int16_t message, std::int16_t dialogId, std::int16_t item, std::intptr_t data) override;

    std::int16_t GetMode() const { return mode_; }
    // The host's polygon input method for the mode: 1 rectangle, 2 rotated rectangle, 0 free.
    std::int32_t InputMethod() const;

private:
    std::int16_t mode_ = 3;
};
