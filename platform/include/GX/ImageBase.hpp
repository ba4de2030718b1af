#pragma once
#include <cstdint>
#include <vector>

#include "FTM/FileTypeManager.hpp"
#include "GX/PixMap.hpp"
#include "IO/Location.hpp"

namespace GX
{

// Image files to pixmaps and back. Files are recognised by their first bytes:
// JPEG and PNG are decoded by libjpeg-turbo and libpng, TIFF by libtiff; BMP is
// our own: the 40-byte or longer Windows header, uncompressed, 24 or 32 bits a
// pixel, rows bottom-up (top-down for a negative height) padded to 4 bytes. A
// 32-bit BMP whose alpha bytes are all 0 is taken as opaque. A file of none of
// these kinds is tried as TGA (stb_image). Keeps no state between calls, so any
// thread may use it.
class ImageBase
{
public:
    // False, pixMap null, for a file that is missing, damaged, truncated, of
    // another kind, or larger than GSPixMapMaxPixels; only pixel type 4 is made.
    static bool ReadFile(const IO::Location& location, GSPixMapHandle& pixMap, std::int32_t pixelType);
    // The same for a picture that is to be fitted into a fitWidth x fitHeight box
    // keeping its aspect: a JPEG is decoded at the largest reduction of 1/2, 1/4
    // or 1/8 whose pixmap still covers the fitted size, so memory follows that
    // size; other kinds are decoded whole. fullWidth and fullHeight get the
    // picture's own size, from the file's header.
    static bool ReadFile(const IO::Location& location, GSPixMapHandle& pixMap, std::int32_t pixelType, std::int32_t fitWidth,
                         std::int32_t fitHeight, std::int32_t& fullWidth, std::int32_t& fullHeight);
    // The same for the bytes of an image file held in memory.
    static bool ReadData(const std::vector<std::uint8_t>& data, GSPixMapHandle& pixMap, std::int32_t pixelType);
    // The pixmap as a file of the given type into data: BMP only, 24 bits when
    // every pixel is opaque, else 32 bits. False for other types.
    static bool ConvertFromPixMap(GSPixMapHandle pixMap, FTM::TypeID fileType, std::vector<std::uint8_t>& data);
    // The pixmap as a PNG file (8-bit RGBA, its resolution in the file), written
    // beside the target and then put in its place. False, the target untouched,
    // for another type or when the file cannot be written.
    static bool WriteFile(const IO::Location& location, FTM::TypeID fileType, GSPixMapHandle pixMap);
};

}  // namespace GX
