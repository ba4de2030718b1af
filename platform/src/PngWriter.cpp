#include "Graphics/PngWriter.hpp"

#include <png.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <vector>

namespace NewDisplay {

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// libpng reports errors through a long jump; everything with a destructor lives
// outside the function that sets the jump point.
bool WriteRows(std::FILE* file, const NativeImage& image, const std::vector<png_bytep>& rows)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (png == nullptr) return false;
    png_infop info = png_create_info_struct(png);
    if (info == nullptr || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, image.GetWidth(), image.GetHeight(), 8, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_write_image(png, const_cast<png_bytepp>(rows.data()));
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

bool WritePngFile(const NativeImage& image, const std::string& path, std::string* error)
{
    const auto fail = [error](const std::string& reason) {
        if (error != nullptr) *error = reason;
        return false;
    };
    if (image.GetWidth() == 0 || image.GetHeight() == 0) return fail("the picture is empty");
    const std::string aside = path + ".part";
    std::vector<png_bytep> rows(image.GetHeight());
    auto* pixels = const_cast<std::uint8_t*>(image.GetRGBA().data());
    for (std::uint32_t y = 0; y < image.GetHeight(); ++y) rows[y] = pixels + std::size_t(y) * image.GetWidth() * 4;
    {
        std::unique_ptr<std::FILE, FileCloser> file(std::fopen(aside.c_str(), "wb"));
        if (!file) return fail("cannot create " + aside);
        if (!WriteRows(file.get(), image, rows) || std::fflush(file.get()) != 0) {
            file.reset();
            std::remove(aside.c_str());
            return fail("cannot write " + aside);
        }
    }
    std::error_code ec;
    std::filesystem::rename(aside, path, ec);
    if (ec) {
        std::remove(aside.c_str());
        return fail("cannot replace " + path + ": " + ec.message());
    }
    return true;
}

}  // namespace NewDisplay
