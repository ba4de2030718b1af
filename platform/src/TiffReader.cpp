#include <tiffio.h>

#include <algorithm>
#include <cstdarg>
#include <cstring>

#include "ImageCodecs.hpp"

// libtiff reads through our FILE, so files in memory work as well; its messages
// go nowhere, and an error in the image data makes it unreadable.

namespace
{

std::FILE* FileOf(thandle_t handle) { return static_cast<std::FILE*>(handle); }

tmsize_t ReadProc(thandle_t handle, void* buffer, tmsize_t size)
{
    return tmsize_t(std::fread(buffer, 1, std::size_t(size), FileOf(handle)));
}
tmsize_t WriteProc(thandle_t, void*, tmsize_t) { return 0; }
toff_t SeekProc(thandle_t handle, toff_t offset, int whence)
{
    if (fseeko(FileOf(handle), off_t(offset), whence) != 0) return toff_t(-1);
    return toff_t(ftello(FileOf(handle)));
}
int CloseProc(thandle_t) { return 0; }
toff_t SizeProc(thandle_t handle)
{
    std::FILE* file = FileOf(handle);
    const off_t here = ftello(file);
    if (here < 0 || fseeko(file, 0, SEEK_END) != 0) return 0;
    const off_t size = ftello(file);
    return fseeko(file, here, SEEK_SET) == 0 && size > 0 ? toff_t(size) : 0;
}
int MapProc(thandle_t, void**, toff_t*) { return 0; }
void UnmapProc(thandle_t, void*, toff_t) {}
int Silent(TIFF*, void*, const char*, const char*, va_list) { return 1; }

struct TiffCloser
{
    void operator()(TIFF* tiff) const { TIFFClose(tiff); }
};

}  // namespace

PixMapPtr ReadTiff(std::FILE* file)
{
    TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
    if (options == nullptr) return nullptr;
    TIFFOpenOptionsSetErrorHandlerExtR(options, Silent, nullptr);
    TIFFOpenOptionsSetWarningHandlerExtR(options, Silent, nullptr);
    std::unique_ptr<TIFF, TiffCloser> tiff(
        TIFFClientOpenExt("image", "rm", file, ReadProc, WriteProc, SeekProc, CloseProc, SizeProc, MapProc, UnmapProc, options));
    TIFFOpenOptionsFree(options);
    if (tiff == nullptr) return nullptr;
    std::uint32_t width = 0, height = 0;
    if (TIFFGetField(tiff.get(), TIFFTAG_IMAGEWIDTH, &width) != 1 ||
        TIFFGetField(tiff.get(), TIFFTAG_IMAGELENGTH, &height) != 1 || !FitsPixelBound(width, height))
        return nullptr;
    PixMapPtr pixMap = NewPixMap(static_cast<std::int32_t>(width), static_cast<std::int32_t>(height));
    if (pixMap == nullptr) return nullptr;
    // Each pixel comes as one word red | green << 8 | blue << 16 | alpha << 24,
    // which on this little-endian machine are the bytes red, green, blue, alpha.
    static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "pixels are read as little-endian words");
    auto* words = reinterpret_cast<std::uint32_t*>(pixMap->pixels.data());
    if (TIFFReadRGBAImageOriented(tiff.get(), width, height, words, ORIENTATION_TOPLEFT, 1) != 1) return nullptr;
    // libtiff gives colours multiplied by alpha; pixmaps keep them apart.
    for (std::size_t i = 0; i < pixMap->pixels.size(); i += 4)
    {
        std::uint8_t* p = &pixMap->pixels[i];
        std::swap(p[0], p[2]);
        if (p[3] != 0 && p[3] != 255)
            for (int c = 0; c < 3; ++c) p[c] = static_cast<std::uint8_t>(std::min(255u, (p[c] * 255u + p[3] / 2u) / p[3]));
    }
    return pixMap;
}
