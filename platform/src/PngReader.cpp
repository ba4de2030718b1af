#include <png.h>

#include <cstring>

#include "ImageCodecs.hpp"

// libpng's simplified interface keeps its errors inside the png_image, so no jump
// crosses our frames; checksum errors in the image data are errors. The read
// writes every pixel or fails, and a failed read gives no picture.
PixMapPtr ReadPng(std::FILE* file)
{
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_stdio(&image, file) == 0)
    {
        png_image_free(&image);
        return nullptr;
    }
    image.format = PNG_FORMAT_BGRA;
    PixMapPtr pixMap = FitsPixelBound(image.width, image.height)
                           ? NewUnsetPixMap(static_cast<std::int32_t>(image.width), static_cast<std::int32_t>(image.height))
                           : nullptr;
    if (pixMap == nullptr)
    {
        png_image_free(&image);
        return nullptr;
    }
    const bool read = png_image_finish_read(&image, nullptr, pixMap->pixels.data(), 0, nullptr) != 0;
    png_image_free(&image);
    return read ? std::move(pixMap) : nullptr;
}
