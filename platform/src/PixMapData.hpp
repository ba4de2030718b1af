#pragma once
#include <cstdint>
#include <vector>

#include "GX/PixMap.hpp"

struct GSPixMap {
    std::int32_t width = 0;
    std::int32_t height = 0;
    double horizontalDpi = 72.0;
    double verticalDpi = 72.0;
    std::vector<std::uint8_t> pixels;  // blue, green, red, alpha; top row first

    std::uint8_t* Row(std::int32_t y) { return pixels.data() + std::size_t(y) * std::size_t(width) * 4; }
    const std::uint8_t* Row(std::int32_t y) const { return pixels.data() + std::size_t(y) * std::size_t(width) * 4; }
};
