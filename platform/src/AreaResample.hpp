#pragma once
#include <cstddef>
#include <cstdint>

#include "GX/PixMap.hpp"

// Pixels of four bytes whose last is alpha (BGRA and RGBA alike), rows of stride
// bytes.
struct PixelRows
{
    std::uint8_t* base = nullptr;
    std::size_t stride = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
};

// Scales the source rectangle onto the destination rectangle: each destination
// pixel is the average of the source area it covers, colours weighted by alpha.
// Only destination pixels inside the destination are written. Both rectangles
// must be non-empty and the source rectangle inside the source.
void AreaResample(const PixelRows& source, const GXRect& from, const PixelRows& destination, const GXRect& to);
