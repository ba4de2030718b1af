#include "palettes/CameraControPalette.hpp"

CameraControPalette::CameraControPalette() = default;

std::int16_t CameraControPalette::DialogCallback(std::int16_t, std::int16_t, std::int16_t, std::intptr_t) { return 0; }
