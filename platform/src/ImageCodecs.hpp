#pragma once
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "PixMapData.hpp"

// The image readers and the BMP writer behind GX::ImageBase. A reader takes a file
// at its first byte and gives a pixmap, or null for anything it cannot decode.
using PixMapPtr = std::unique_ptr<GSPixMap>;

PixMapPtr NewPixMap(std::int32_t width, std::int32_t height, double dpi = 72.0);
// A pixmap whose pixels are left unset, for a decoder that writes each of them
// or fails; null when it cannot be made.
PixMapPtr NewUnsetPixMap(std::int32_t width, std::int32_t height, double dpi = 72.0);
// Asks the system to back a large block not touched yet with large pages: a
// picture of 64 MiB then costs a few dozen page faults instead of 16,000.
void PreferLargePages(void* block, std::size_t bytes);
bool FitsPixelBound(std::uint64_t width, std::uint64_t height);

// A box the picture is to be fitted into; 0 x 0 for the picture at full size.
struct FitBox
{
    std::int32_t width = 0;
    std::int32_t height = 0;
};

PixMapPtr ReadBmp(std::FILE* file);
PixMapPtr ReadPng(std::FILE* file);
PixMapPtr ReadTiff(std::FILE* file);
PixMapPtr ReadTga(std::FILE* file);
// The picture reduced by the DCT scaling for the box; fullWidth and fullHeight
// get its size before the reduction.
PixMapPtr ReadJpeg(std::FILE* file, const FitBox& fit, std::int32_t& fullWidth, std::int32_t& fullHeight);
// The reduction (1, 2, 4 or 8) a JPEG of that size is decoded at for the box.
int JpegReduction(std::uint32_t width, std::uint32_t height, const FitBox& fit);
bool WriteBmp(const GSPixMap& pixMap, std::vector<std::uint8_t>& data);
// 8-bit RGBA with the pixmap's resolution, written beside the path and then in
// its place; false when it cannot.
bool WritePng(const GSPixMap& pixMap, const std::string& path);
