#pragma once
#include <cstdint>

#include "DG/NativeIcon.hpp"
#include "IO/Location.hpp"
#include "photos/PixMapHolder.hpp"

// The pictures made from photos: thumbnails fitted and turned in a box, and the
// embedded copy. Any thread may use them.

struct PixelRect
{
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;

    bool operator==(const PixelRect& o) const { return left == o.left && top == o.top && right == o.right && bottom == o.bottom; }
};

// Where a w x h photo lands centred in a W x H box, scaled to fit.
PixelRect FitPhotoIntoBox(std::int32_t boxWidth, std::int32_t boxHeight, std::int32_t width, std::int32_t height);

// Turns above 3 taken modulo 4.
std::int32_t ReducedTurns(std::int32_t quarterTurns);

// The photo read (pixel type 4), null when it cannot be.
PixMapHolder ReadPhoto(const IO::Location& photo);

// The photo fitted centred into a W x H picture and turned by its quarter turns
// to the left, for a dialog item; an empty icon for a photo that cannot be read
// or a box without pixels. Only as much of the photo is decoded as the box needs.
DG::NativeIcon MakeThumbnail(const IO::Location& photo, std::int32_t boxWidth, std::int32_t boxHeight, std::int32_t quarterTurns);

// The whole photo stretched into a new W x H pixmap at 72 dpi; null when it
// cannot be made.
PixMapHolder StretchPhoto(GSPixMapHandle photo, std::int32_t width, std::int32_t height);

// Writes the pixmap as a PNG file; false when it cannot.
bool WritePngFile(GSPixMapHandle pixMap, const IO::Location& file);
