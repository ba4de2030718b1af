#include "PngFile.hpp"

#include <png.h>

#include <cstdio>
#include <filesystem>

namespace SimHost {

namespace {

void WriteImage(png_structp png, png_infop info, std::uint32_t width, std::uint32_t height, const std::vector<std::uint8_t>& rgb)
{
    png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (std::uint32_t row = 0; row < height; ++row)
        png_write_row(png, rgb.data() + static_cast<std::size_t>(row) * width * 3);
    png_write_end(png, nullptr);
}

// libpng reports its errors by a long jump back here; nothing with a destructor
// lives in this frame.
bool WriteToFile(std::FILE* file, std::uint32_t width, std::uint32_t height, const std::vector<std::uint8_t>& rgb)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (png == nullptr) return false;
    png_infop info = png_create_info_struct(png);
    if (info == nullptr || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    WriteImage(png, info, width, height, rgb);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

bool WritePng(const std::string& path, std::uint32_t width, std::uint32_t height, const std::vector<std::uint8_t>& rgb)
{
    if (width == 0 || height == 0 || rgb.size() != static_cast<std::size_t>(width) * height * 3) return false;
    const std::string aside = path + ".writing";
    std::FILE* file = std::fopen(aside.c_str(), "wb");
    if (file == nullptr) return false;
    const bool written = WriteToFile(file, width, height, rgb);
    const bool closed = std::fclose(file) == 0;
    std::error_code error;
    if (written && closed) std::filesystem::rename(aside, path, error);
    if (!written || !closed || error) {
        std::filesystem::remove(aside, error);
        return false;
    }
    return true;
}

}  // namespace SimHost
