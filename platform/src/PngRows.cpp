#include "PngRows.hpp"

#include <png.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "SafeFiles.hpp"

namespace
{

constexpr double MetresPerInch = 0.0254;

png_uint_32 PixelsPerMetre(double dpi) { return dpi > 0.0 ? static_cast<png_uint_32>(std::lround(dpi / MetresPerInch)) : 0; }

struct FileCloser
{
    void operator()(std::FILE* file) const { std::fclose(file); }
};

void WriteImage(png_structp png, png_infop info, std::FILE* file, const PngRows& rows)
{
    png_init_io(png, file);
    png_set_IHDR(png, info, rows.width, rows.height, 8, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (rows.resolution)
        png_set_pHYs(png, info, PixelsPerMetre(rows.resolution->horizontalDpi), PixelsPerMetre(rows.resolution->verticalDpi),
                     PNG_RESOLUTION_METER);
    png_write_info(png, info);
    if (rows.order == PngByteOrder::Bgra) png_set_bgr(png);
    for (std::uint32_t y = 0; y < rows.height; ++y) png_write_row(png, rows.row(y));
    png_write_end(png, nullptr);
}

// libpng reports errors through a long jump back here; nothing with a destructor
// lives between this frame and libpng's.
bool WriteImageTo(std::FILE* file, const PngRows& rows)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (png == nullptr) return false;
    png_infop info = png_create_info_struct(png);
    if (info == nullptr || setjmp(png_jmpbuf(png)))
    {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    WriteImage(png, info, file, rows);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

bool WritePngRows(const PngRows& rows, const std::string& path, std::string* error)
{
    const auto fail = [error](const std::string& reason) {
        if (error != nullptr) *error = reason;
        return false;
    };
    if (rows.width == 0 || rows.height == 0) return fail("the picture is empty");
    std::string aside = SafeFiles::AsidePattern(path);
    const int descriptor = ::mkstemp(aside.data());
    if (descriptor < 0) return fail("cannot create a file beside " + path);
    std::unique_ptr<std::FILE, FileCloser> file(::fchmod(descriptor, SafeFiles::KeptMode(path)) == 0 ? ::fdopen(descriptor, "wb")
                                                                                                     : nullptr);
    if (!file)
    {
        ::close(descriptor);
        ::unlink(aside.c_str());
        return fail("cannot create a file beside " + path);
    }
    // Flushed to the disk before it takes the target's place, so a power cut leaves one whole picture.
    const bool written = WriteImageTo(file.get(), rows) && std::fflush(file.get()) == 0 && ::fsync(descriptor) == 0;
    if (std::fclose(file.release()) != 0 || !written)
    {
        ::unlink(aside.c_str());
        return fail("cannot write " + path);
    }
    if (!SafeFiles::PutInPlace(aside, path)) return fail("cannot replace " + path);
    return true;
}
