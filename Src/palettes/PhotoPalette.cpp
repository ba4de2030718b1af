#include "palettes/PhotoPalette.hpp"
#include "frame/PaletteGuids.hpp"

PhotoPalette::PhotoPalette()
{
    SetDialogId(32496);
    SetPaletteGuid(photoPaletteGuid);
}

std::int16_t PhotoPalette::DialogCallback(std::int16_t, std::int16_t, std::int16_t, std::intptr_t) { return 0; }
