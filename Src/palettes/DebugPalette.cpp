#include "palettes/DebugPalette.hpp"
#include "frame/PaletteGuids.hpp"

DebugPalette::DebugPalette()
{
    SetDialogId(32415);
    SetPaletteGuid(debugPaletteGuid);
}

std::int16_t DebugPalette::DialogCallback(std::int16_t, std::int16_t, std::int16_t, std::intptr_t) { return 0; }
