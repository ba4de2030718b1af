#include "palettes/Curve3DPalette.hpp"
#include "frame/PaletteGuids.hpp"

Curve3DPalette::Curve3DPalette()
{
    SetDialogId(32425);
    SetPaletteGuid(curve3DPaletteGuid);
}

std::int16_t Curve3DPalette::DialogCallback(std::int16_t, std::int16_t, std::int16_t, std::intptr_t) { return 0; }
