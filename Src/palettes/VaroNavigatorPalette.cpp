#include "palettes/VaroNavigatorPalette.hpp"

VaroNavigatorPalette::VaroNavigatorPalette() = default;

std::int16_t VaroNavigatorPalette::DialogCallback(std::int16_t, std::int16_t, std::int16_t, std::intptr_t) { return 0; }
