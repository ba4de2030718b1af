#pragma once
#include <cstdint>

namespace Gfx
{

struct Color
{
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    std::uint8_t alpha = 255;

    Color() = default;
    Color(std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a = 255) : red(r), green(g), blue(b), alpha(a) {}
    bool operator==(const Color& o) const { return red == o.red && green == o.green && blue == o.blue && alpha == o.alpha; }
    bool operator!=(const Color& o) const { return !(*this == o); }
};

// An 8 x 8 fill pattern: row y is bits[y % 8], column x is bit 7 - x % 8; a set bit
// takes the foreground colour, a clear one the background colour.
struct Pattern
{
    std::uint8_t bits[8] {};

    bool IsSet(std::int32_t x, std::int32_t y) const { return (bits[y & 7] >> (7 - (x & 7)) & 1) != 0; }
};

}  // namespace Gfx
