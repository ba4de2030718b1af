#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#define STBI_ONLY_TGA
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#include <stb/stb_image.h>

#include <cstdio>
#include <memory>

#include "ImageCodecs.hpp"

// TGA has no signature: stb_image checks the header's fields and takes the file
// only when they make sense. The size is checked before any pixel is read. stb
// reads zeros past the end of a file, so an uncompressed file must hold all its
// pixels; run-length encoded ones cannot be checked that way.

namespace
{

constexpr std::size_t HeaderBytes = 18;

std::uint64_t FileBytes(std::FILE* file)
{
    const long here = std::ftell(file);
    if (here < 0 || std::fseek(file, 0, SEEK_END) != 0) return 0;
    const long size = std::ftell(file);
    return std::fseek(file, here, SEEK_SET) == 0 && size > 0 ? std::uint64_t(size) : 0;
}

bool HoldsItsPixels(std::FILE* file, std::int32_t width, std::int32_t height)
{
    std::uint8_t header[HeaderBytes];
    const long here = std::ftell(file);
    const bool read = here >= 0 && std::fread(header, 1, sizeof header, file) == sizeof header;
    if (here < 0 || std::fseek(file, here, SEEK_SET) != 0 || !read) return false;
    const std::uint8_t type = header[2];
    if (type != 1 && type != 2 && type != 3) return true;
    const std::uint64_t mapEntries = std::uint64_t(header[5] | header[6] << 8);
    const std::uint64_t mapBytes = header[1] != 0 ? mapEntries * ((header[7] + 7u) / 8u) : 0;
    const std::uint64_t pixelBytes = std::uint64_t(width) * std::uint64_t(height) * ((header[16] + 7u) / 8u);
    return FileBytes(file) >= HeaderBytes + header[0] + mapBytes + pixelBytes;
}

struct StbFree
{
    void operator()(stbi_uc* pixels) const { stbi_image_free(pixels); }
};

}  // namespace

PixMapPtr ReadTga(std::FILE* file)
{
    int width = 0, height = 0, channels = 0;
    if (stbi_info_from_file(file, &width, &height, &channels) == 0 || width <= 0 || height <= 0 ||
        !FitsPixelBound(std::uint64_t(width), std::uint64_t(height)) || !HoldsItsPixels(file, width, height))
        return nullptr;
    std::unique_ptr<stbi_uc, StbFree> rgba(stbi_load_from_file(file, &width, &height, &channels, 4));
    if (rgba == nullptr) return nullptr;
    PixMapPtr pixMap = NewUnsetPixMap(width, height);
    if (pixMap == nullptr) return nullptr;
    const stbi_uc* in = rgba.get();
    for (std::size_t i = 0; i < pixMap->pixels.size(); i += 4)
    {
        pixMap->pixels[i] = in[i + 2];
        pixMap->pixels[i + 1] = in[i + 1];
        pixMap->pixels[i + 2] = in[i];
        pixMap->pixels[i + 3] = in[i + 3];
    }
    return pixMap;
}
