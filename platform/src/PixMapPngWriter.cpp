#include <png.h>

#include <cmath>
#include <vector>

#include "ImageCodecs.hpp"

namespace {

constexpr double MetresPerInch = 0.0254;

png_uint_32 PixelsPerMetre(double dpi) { return dpi > 0.0 ? static_cast<png_uint_32>(std::lround(dpi / MetresPerInch)) : 0; }

// libpng reports errors through a long jump; the rows live in the caller.
bool WriteRows(std::FILE* file, const GSPixMap& pixMap, const std::vector<png_bytep>& rows)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (png == nullptr) return false;
    png_infop info = png_create_info_struct(png);
    if (info == nullptr || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, png_uint_32(pixMap.width), png_uint_32(pixMap.height), 8, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_pHYs(png, info, PixelsPerMetre(pixMap.horizontalDpi), PixelsPerMetre(pixMap.verticalDpi), PNG_RESOLUTION_METER);
    png_write_info(png, info);
    png_set_bgr(png);
    png_write_image(png, const_cast<png_bytepp>(rows.data()));
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

bool WritePng(const GSPixMap& pixMap, std::FILE* file)
{
    std::vector<png_bytep> rows(std::size_t(pixMap.height));
    for (std::int32_t y = 0; y < pixMap.height; ++y) rows[std::size_t(y)] = const_cast<png_bytep>(pixMap.Row(y));
    return WriteRows(file, pixMap, rows) && std::fflush(file) == 0;
}
