#include "Graphics/PngWriter.hpp"

#include "PngRows.hpp"

namespace NewDisplay
{

bool WritePngFile(const NativeImage& image, const std::string& path, std::string* error)
{
    const std::uint8_t* pixels = image.GetRGBA().data();
    const std::size_t rowBytes = std::size_t(image.GetWidth()) * 4;
    PngRows rows;
    rows.width = image.GetWidth();
    rows.height = image.GetHeight();
    rows.row = [pixels, rowBytes](std::uint32_t y) { return pixels + y * rowBytes; };
    return WritePngRows(rows, path, error);
}

}  // namespace NewDisplay
