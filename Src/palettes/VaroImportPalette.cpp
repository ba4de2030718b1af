#include "palettes/VaroImportPalette.hpp"

VaroImportPalette::VaroImportPalette() { SetDialogId(32465); }

std::int16_t VaroImportPalette::DialogCallback(std::int16_t, std::int16_t, std::int16_t, std::intptr_t) { return 0; }
