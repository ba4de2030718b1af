#pragma once
#include <cstdint>

// The host's pixmaps: pixel type 4, 32 bits a pixel, stored as the bytes blue,
// green, red, alpha; rows top to bottom without padding. A pixmap is made by
// GXCreateGSPixMap or an image reader and released once with GXDeleteGSPixMap.
struct GSPixMap;
using GSPixMapHandle = GSPixMap*;

constexpr std::int32_t GSPixMapPixelType32 = 4;
// More pixels than this are refused, so a damaged header cannot ask for memory
// without limit: 2^27 pixels, 512 MiB.
constexpr std::int64_t GSPixMapMaxPixels = std::int64_t(1) << 27;

// Null for a size of 0 or less, above the bound, or when memory runs out.
GSPixMapHandle GXCreateGSPixMap(std::int32_t width, std::int32_t height, double horizontalDpi, double verticalDpi);
void GXDeleteGSPixMap(GSPixMapHandle pixMap);
std::int32_t GXGetGSPixMapWidth(GSPixMapHandle pixMap);
std::int32_t GXGetGSPixMapHeight(GSPixMapHandle pixMap);
std::int32_t GXGetGSPixMapBytesPerRow(GSPixMapHandle pixMap);
std::uint8_t* GXGetGSPixMapBaseAddr(GSPixMapHandle pixMap);
