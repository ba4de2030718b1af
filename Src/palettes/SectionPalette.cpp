#include "palettes/SectionPalette.hpp"

#include "frame/PaletteGuids.hpp"

SectionPalette::SectionPalette()
{
    SetDialogId(32426);
    SetPaletteGuid(sectionPaletteGuid);
}

std::int16_t SectionPalette::DialogCallback(std::int16_t, std::int16_t, std::int16_t, std::intptr_t) { return 0; }
