#include "palettes/InfoPalette.hpp"
#include "frame/PaletteGuids.hpp"

InfoPalette::InfoPalette()
{
    SetPaletteGuid(infoPaletteGuid);
}

std::int16_t InfoPalette::DialogCallback(std::int16_t, std::int16_t, std::int16_t, std::intptr_t) { return 0; }
