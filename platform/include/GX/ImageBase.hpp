#pragma once
#include <cstdint>
#include <vector>

#include "FTM/FileTypeManager.hpp"
#include "GX/PixMap.hpp"
#include "IO/Location.hpp"

namespace GX {

// Image files to pixmaps and back. Files are recognised by their first bytes:
// JPEG and PNG are decoded by libjpeg-turbo and libpng; BMP is our own: the
// 40-byte or longer Windows header, uncompressed, 24 or 32 bits a pixel, rows
// bottom-up (top-down for a negative height) padded to 4 bytes. A 32-bit BMP
// whose alpha bytes are all 0 is taken as opaque. Keeps no state between calls,
// so any thread may use it.
class ImageBase {
public:
    // False, pixMap null, for a file that is missing, damaged, truncated, of
    // another kind, or larger than GSPixMapMaxPixels; only pixel type 4 is made.
    static bool ReadFile(const IO::Location& location, GSPixMapHandle& pixMap, std::int32_t pixelType);
    // The same for the bytes of an image file held in memory.
    static bool ReadData(const std::vector<std::uint8_t>& data, GSPixMapHandle& pixMap, std::int32_t pixelType);
    // The pixmap as a file of the given type into data: BMP only, 24 bits when
    // every pixel is opaque, else 32 bits. False for other types.
    static bool ConvertFromPixMap(GSPixMapHandle pixMap, FTM::TypeID fileType, std::vector<std::uint8_t>& data);
};

}  // namespace GX
