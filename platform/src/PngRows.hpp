#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

// How a row holds its four bytes a pixel.
enum class PngByteOrder
{
    Rgba,
    Bgra
};

// A picture as libpng takes it: rows from the top, each width pixels long.
struct PngRows
{
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::function<const std::uint8_t*(std::uint32_t y)> row;
    PngByteOrder order = PngByteOrder::Rgba;
    // Across and down, in dots per inch; without it the file tells no resolution.
    struct Resolution
    {
        double horizontalDpi = 0.0;
        double verticalDpi = 0.0;
    };
    std::optional<Resolution> resolution;
};

// Writes the rows as an 8-bit RGBA PNG file, first beside the target and then
// in its place. False, with the reason, when it cannot; the target is then untouched.
bool WritePngRows(const PngRows& rows, const std::string& path, std::string* error);
