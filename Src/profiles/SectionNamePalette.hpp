#pragma once
#include <cstdint>

#include "GS/UniString.hpp"
#include "framework/CDialogBase.hpp"

// Asks for a cross-section profile's name, for a new profile or a rename.
class SectionNamePalette : public CDialogBase
{
public:
    enum Mode : std::int16_t
    {
        NewProfile = 1,
        Rename = 2
    };

    SectionNamePalette();
    ~SectionNamePalette() override;
    std::int16_t DialogCallback(std::int16_t message, std::int16_t dialogId, std::int16_t item, std::intptr_t data) override;

    GS::UniString defaultName;
    std::int16_t nameMode = NewProfile;
    // In: the name shown when renaming; out: the name entered.
    GS::UniString name;

private:
    void InitDialog();
};
