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

// A rectangle of pixels: left and top inside, right and bottom just outside.
struct GXRect
{
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;

    std::int32_t Width() const { return right - left; }
    std::int32_t Height() const { return bottom - top; }
};

struct GXPoint
{
    double x = 0.0;
    double y = 0.0;
};

// Null for a size of 0 or less, above the bound, or when memory runs out.
GSPixMapHandle GXCreateGSPixMap(std::int32_t width, std::int32_t height, double horizontalDpi, double verticalDpi);
void GXDeleteGSPixMap(GSPixMapHandle pixMap);
std::int32_t GXGetGSPixMapWidth(GSPixMapHandle pixMap);
std::int32_t GXGetGSPixMapHeight(GSPixMapHandle pixMap);
std::int32_t GXGetGSPixMapBytesPerRow(GSPixMapHandle pixMap);
std::uint8_t* GXGetGSPixMapBaseAddr(GSPixMapHandle pixMap);

// Scales the source rectangle into the destination rectangle: each destination
// pixel is the average of the source area it covers, weighted by alpha. Parts of
// the destination rectangle outside the destination are left out. False, nothing
// drawn, for a missing pixmap, an empty rectangle or a source rectangle that does
// not lie inside the source.
bool GXStretchGSPixMap(GSPixMapHandle source, GSPixMapHandle destination, const GXRect& sourceRect,
                       const GXRect& destinationRect);

// Turns the source rectangle by angle (radians, counter-clockwise on screen)
// about its bottom-left corner and lays it into the destination with that corner
// at origin (destination pixels, y downwards). Each destination pixel takes the
// source pixel under its centre; pixels the turned rectangle does not cover keep
// their value. So a quarter turn left of a W x H picture into an H x W one has
// its origin at (H, W), a half turn at (W, 0), three quarter turns at (0, 0).
// False for a missing pixmap or a source rectangle not inside the source.
bool GXRotateGSPixMap(GSPixMapHandle source, GSPixMapHandle destination, const GXRect& sourceRect, double angle,
                      const GXPoint& origin);
