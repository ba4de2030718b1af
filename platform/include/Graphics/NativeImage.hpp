#pragma once
#include <cstdint>
#include <vector>

#include "Graphics/Gfx.hpp"

namespace NewDisplay
{

// An off-screen RGBA picture, transparent black when new.
class NativeImage
{
public:
    NativeImage(std::uint32_t width, std::uint32_t height);
    // Takes the pixels as GetRGBA gives them; a buffer of another size gives a
    // transparent picture.
    NativeImage(std::uint32_t width, std::uint32_t height, std::vector<std::uint8_t> rgba);

    std::uint32_t GetWidth() const { return width_; }
    std::uint32_t GetHeight() const { return height_; }
    Gfx::Color GetPixel(std::int32_t x, std::int32_t y) const;
    // Lays the colour over the pixel by its alpha; pixels outside are passed over.
    void BlendPixel(std::int32_t x, std::int32_t y, const Gfx::Color& color);
    // Rows from the top, four bytes a pixel: red, green, blue, alpha.
    const std::vector<std::uint8_t>& GetRGBA() const { return rgba_; }

private:
    bool Contains(std::int32_t x, std::int32_t y) const;

    std::uint32_t width_;
    std::uint32_t height_;
    std::vector<std::uint8_t> rgba_;
};

}  // namespace NewDisplay
