#include "PlanCanvas.hpp"

#include <algorithm>
#include <cmath>

namespace SimHost {

PlanCanvas::PlanCanvas(const API_Box& extent, std::uint32_t longerSide, std::uint32_t margin) : extent_(extent), margin_(margin)
{
    const double spanX = extent.xMax - extent.xMin, spanY = extent.yMax - extent.yMin;
    const double span = std::max(spanX, spanY);
    const double inner = static_cast<double>(longerSide - 2 * margin);
    scale_ = span > 0.0 ? inner / span : 1.0;
    width_ = static_cast<std::uint32_t>(std::ceil(spanX * scale_)) + 2 * margin + 1;
    height_ = static_cast<std::uint32_t>(std::ceil(spanY * scale_)) + 2 * margin + 1;
    pixels_.assign(static_cast<std::size_t>(width_) * height_ * 3, 255);
}

API_Coord PlanCanvas::ToPixel(const API_Coord& p) const
{
    return {margin_ + (p.x - extent_.xMin) * scale_, height_ - 1 - margin_ - (p.y - extent_.yMin) * scale_};
}

void PlanCanvas::Blend(std::int64_t x, std::int64_t y, const Colour& colour, double opacity)
{
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    std::uint8_t* pixel = &pixels_[(static_cast<std::size_t>(y) * width_ + static_cast<std::size_t>(x)) * 3];
    for (std::size_t k = 0; k < 3; ++k)
        pixel[k] = static_cast<std::uint8_t>(std::lround(pixel[k] * (1.0 - opacity) + colour[k] * opacity));
}

// Each pixel row is cut at its middle by every contour edge; the spans between
// alternate crossings are inside.
void PlanCanvas::FillPolygon(const std::vector<std::vector<API_Coord>>& contours, const Colour& colour, double opacity)
{
    for (std::uint32_t row = 0; row < height_; ++row) {
        const double y = row + 0.5;
        std::vector<double> crossings;
        for (const auto& contour : contours)
            for (std::size_t i = 0; i < contour.size(); ++i) {
                const API_Coord a = ToPixel(contour[i]), b = ToPixel(contour[(i + 1) % contour.size()]);
                if ((a.y <= y) != (b.y <= y)) crossings.push_back(a.x + (y - a.y) / (b.y - a.y) * (b.x - a.x));
            }
        std::sort(crossings.begin(), crossings.end());
        for (std::size_t i = 0; i + 1 < crossings.size(); i += 2)
            for (auto x = static_cast<std::int64_t>(std::ceil(crossings[i] - 0.5)); x + 0.5 < crossings[i + 1]; ++x)
                Blend(x, row, colour, opacity);
    }
}

void PlanCanvas::DrawLine(const API_Coord& from, const API_Coord& to, const Colour& colour)
{
    const API_Coord a = ToPixel(from), b = ToPixel(to);
    const double steps = std::ceil(std::max(std::abs(b.x - a.x), std::abs(b.y - a.y)));
    for (double s = 0.0; s <= steps; ++s) {
        const double t = steps > 0.0 ? s / steps : 0.0;
        Blend(std::lround(a.x + t * (b.x - a.x)), std::lround(a.y + t * (b.y - a.y)), colour, 1.0);
    }
}

}  // namespace SimHost
