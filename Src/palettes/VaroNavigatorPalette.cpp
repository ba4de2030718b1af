#include "palettes/VaroNavigatorPalette.hpp"

#include "frame/PaletteGuids.hpp"

VaroNavigatorPalette::VaroNavigatorPalette()
{
    SetDialogId(32446);
    SetPaletteGuid(navigatorPaletteGuid);
}

std::int16_t VaroNavigatorPalette::DialogCallback(std::int16_t, std::int16_t, std::int16_t, std::intptr_t) { return 0; }
