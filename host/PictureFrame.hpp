#pragma once
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "API/Types.hpp"

namespace SimHost
{

// A drawing's extent fitted into a picture: its longer side fills the picture's
// side less the margins, y pointing up.
class PictureFrame
{
public:
    static constexpr std::uint32_t Side = 1000;
    static constexpr std::uint32_t Margin = 20;

    explicit PictureFrame(const API_Box& extent) : extent_(extent)
    {
        const double spanX = extent.xMax - extent.xMin, spanY = extent.yMax - extent.yMin;
        const double span = std::max(spanX, spanY);
        scale_ = span > 0.0 ? (Side - 2 * Margin) / span : 1.0;
        width_ = static_cast<std::uint32_t>(std::ceil(spanX * scale_)) + 2 * Margin + 1;
        height_ = static_cast<std::uint32_t>(std::ceil(spanY * scale_)) + 2 * Margin + 1;
    }

    std::uint32_t Width() const { return width_; }
    std::uint32_t Height() const { return height_; }

    // The centre of the pixel that shows p.
    float X(const API_Coord& p) const { return static_cast<float>(Margin + 0.5 + (p.x - extent_.xMin) * scale_); }
    float Y(const API_Coord& p) const { return static_cast<float>(height_ - Margin - 0.5 - (p.y - extent_.yMin) * scale_); }

private:
    API_Box extent_;
    double scale_ = 1.0;
    std::uint32_t width_ = 1;
    std::uint32_t height_ = 1;
};

// Grows the box by p; the first point makes it.
inline void Enclose(API_Box& box, bool& first, const API_Coord& p)
{
    if (first) box = {p.x, p.y, p.x, p.y};
    first = false;
    box = {std::min(box.xMin, p.x), std::min(box.yMin, p.y), std::max(box.xMax, p.x), std::max(box.yMax, p.y)};
}

}  // namespace SimHost
