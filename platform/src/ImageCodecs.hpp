#pragma once
#include <cstdint>
#include <cstdio>
#include <memory>
#include <vector>

#include "PixMapData.hpp"

// The image readers and the BMP writer behind GX::ImageBase. A reader takes a file
// at its first byte and gives a pixmap, or null for anything it cannot decode.
using PixMapPtr = std::unique_ptr<GSPixMap>;

PixMapPtr NewPixMap(std::int32_t width, std::int32_t height, double dpi = 72.0);
bool FitsPixelBound(std::uint64_t width, std::uint64_t height);

PixMapPtr ReadBmp(std::FILE* file);
PixMapPtr ReadPng(std::FILE* file);
PixMapPtr ReadJpeg(std::FILE* file);
bool WriteBmp(const GSPixMap& pixMap, std::vector<std::uint8_t>& data);
