#pragma once
#include <cstdint>

// One row of pixels (blue, green, red, alpha) as the row of a 24-bit BMP file
// (blue, green, red), with the test whether every pixel is opaque made in the
// same pass. out takes width * 3 bytes and nothing beyond them. False when a
// pixel is not opaque; out is then written only in part.
bool PackOpaqueRow(const std::uint8_t* in, std::int32_t width, std::uint8_t* out);
// The same without vector instructions, for processors that lack them.
bool PackOpaqueRowPortable(const std::uint8_t* in, std::int32_t width, std::uint8_t* out);
