#include "GX/Image.hpp"

#include <algorithm>
#include <cmath>
#include <new>

#include "AreaResample.hpp"
#include "PixMapData.hpp"

namespace GX
{

Image::Image(GSPixMapHandle pixMap)
{
    if (pixMap != nullptr) pixels_ = std::make_unique<GSPixMap>(*pixMap);
}

Image::~Image() = default;
Image::Image(Image&&) noexcept = default;
Image& Image::operator=(Image&&) noexcept = default;

std::int32_t Image::GetWidth() const { return pixels_ != nullptr ? pixels_->width : 0; }
std::int32_t Image::GetHeight() const { return pixels_ != nullptr ? pixels_->height : 0; }

NewDisplay::NativeImage Image::ToNativeImage(double resolutionFactor, bool premultiplied) const
{
    if (pixels_ == nullptr) return NewDisplay::NativeImage(0, 0);
    GSPixMap& source = *pixels_;
    const bool resize = std::isfinite(resolutionFactor) && resolutionFactor > 0.0 && resolutionFactor != 1.0;
    const auto width =
        resize ? static_cast<std::int32_t>(std::max(1.0, std::round(source.width * resolutionFactor))) : source.width;
    const auto height =
        resize ? static_cast<std::int32_t>(std::max(1.0, std::round(source.height * resolutionFactor))) : source.height;
    std::vector<std::uint8_t> rgba(std::size_t(width) * std::size_t(height) * 4);
    if (resize)
        AreaResample({source.pixels.data(), std::size_t(source.width) * 4, source.width, source.height},
                     {0, 0, source.width, source.height}, {rgba.data(), std::size_t(width) * 4, width, height},
                     {0, 0, width, height});
    else
        std::copy(source.pixels.begin(), source.pixels.end(), rgba.begin());
    for (std::size_t i = 0; i < rgba.size(); i += 4)
    {
        std::swap(rgba[i], rgba[i + 2]);
        if (premultiplied)
            for (std::size_t c = 0; c < 3; ++c) rgba[i + c] = static_cast<std::uint8_t>((rgba[i + c] * rgba[i + 3] + 127) / 255);
    }
    return NewDisplay::NativeImage(static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height), std::move(rgba));
}

DG::NativeIcon Image::ToDGIcon() const
{
    return pixels_ != nullptr ? DG::NativeIcon(ToNativeImage(1.0, false)) : DG::NativeIcon();
}

}  // namespace GX
