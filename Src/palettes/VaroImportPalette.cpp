#include "palettes/VaroImportPalette.hpp"

#include "frame/PaletteGuids.hpp"

VaroImportPalette::VaroImportPalette()
{
    SetDialogId(32465);
    SetPaletteGuid(varoImportPaletteGuid);
}

std::int16_t VaroImportPalette::DialogCallback(std::int16_t, std::int16_t, std::int16_t, std::intptr_t) { return 0; }
