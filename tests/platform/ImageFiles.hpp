#pragma once
#include <cstdint>
#include <string>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

// Image files made in the tests: pixels are blue, green, red, alpha, top row first.
Bytes MakePng(std::int32_t width, std::int32_t height, const Bytes& bgra);
Bytes MakeJpeg(std::int32_t width, std::int32_t height, const Bytes& bgra, int quality);
// 8-bit RGBA strips through libtiff.
Bytes MakeTiff(std::int32_t width, std::int32_t height, const Bytes& bgra);
// Uncompressed 32-bit true colour, rows top-down.
Bytes MakeTga(std::int32_t width, std::int32_t height, const Bytes& bgra);

// The offset of a PNG chunk's type field, or 0 when the file has no such chunk.
std::size_t FindPngChunk(const Bytes& png, const char* type);
// Recomputes the checksum of the chunk whose type field lies at offset.
void SealPngChunk(Bytes& png, std::size_t typeOffset);
