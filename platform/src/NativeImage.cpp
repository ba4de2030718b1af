#include "Graphics/NativeImage.hpp"

#include <utility>

namespace NewDisplay
{

NativeImage::NativeImage(std::uint32_t width, std::uint32_t height)
    : width_(width), height_(height), rgba_(std::size_t(width) * height * 4, 0)
{}

NativeImage::NativeImage(std::uint32_t width, std::uint32_t height, std::vector<std::uint8_t> rgba)
    : width_(width), height_(height), rgba_(std::move(rgba))
{
    if (rgba_.size() != std::size_t(width) * height * 4) rgba_.assign(std::size_t(width) * height * 4, 0);
}

bool NativeImage::Contains(std::int32_t x, std::int32_t y) const
{
    return x >= 0 && y >= 0 && static_cast<std::uint32_t>(x) < width_ && static_cast<std::uint32_t>(y) < height_;
}

Gfx::Color NativeImage::GetPixel(std::int32_t x, std::int32_t y) const
{
    if (!Contains(x, y)) return Gfx::Color(0, 0, 0, 0);
    const std::uint8_t* p = &rgba_[(std::size_t(y) * width_ + std::size_t(x)) * 4];
    return Gfx::Color(p[0], p[1], p[2], p[3]);
}

void NativeImage::BlendPixel(std::int32_t x, std::int32_t y, const Gfx::Color& color)
{
    if (!Contains(x, y) || color.alpha == 0) return;
    std::uint8_t* p = &rgba_[(std::size_t(y) * width_ + std::size_t(x)) * 4];
    if (color.alpha == 255)
    {
        p[0] = color.red, p[1] = color.green, p[2] = color.blue, p[3] = 255;
        return;
    }
    const unsigned a = color.alpha, keep = 255 - a;
    p[0] = static_cast<std::uint8_t>((color.red * a + p[0] * keep + 127) / 255);
    p[1] = static_cast<std::uint8_t>((color.green * a + p[1] * keep + 127) / 255);
    p[2] = static_cast<std::uint8_t>((color.blue * a + p[2] * keep + 127) / 255);
    p[3] = static_cast<std::uint8_t>(a + (p[3] * keep + 127) / 255);
}

}  // namespace NewDisplay
