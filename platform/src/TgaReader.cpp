#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#define STBI_ONLY_TGA
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#include <stb/stb_image.h>

#include <memory>

#include "ImageCodecs.hpp"

// TGA has no signature: stb_image checks the header's fields and takes the file
// only when they make sense. The size is checked before any pixel is read.

namespace {

struct StbFree {
    void operator()(stbi_uc* pixels) const { stbi_image_free(pixels); }
};

}  // namespace

PixMapPtr ReadTga(std::FILE* file)
{
    int width = 0, height = 0, channels = 0;
    if (stbi_info_from_file(file, &width, &height, &channels) == 0 || width <= 0 || height <= 0 ||
        !FitsPixelBound(std::uint64_t(width), std::uint64_t(height)))
        return nullptr;
    std::unique_ptr<stbi_uc, StbFree> rgba(stbi_load_from_file(file, &width, &height, &channels, 4));
    if (rgba == nullptr) return nullptr;
    PixMapPtr pixMap = NewPixMap(width, height);
    if (pixMap == nullptr) return nullptr;
    const stbi_uc* in = rgba.get();
    for (std::size_t i = 0; i < pixMap->pixels.size(); i += 4) {
        pixMap->pixels[i] = in[i + 2];
        pixMap->pixels[i + 1] = in[i + 1];
        pixMap->pixels[i + 2] = in[i];
        pixMap->pixels[i + 3] = in[i + 3];
    }
    return pixMap;
}
