#pragma once
#include <array>
#include <cstdint>
#include <vector>

#include "API/AddOnInterface.hpp"

namespace SimHost {

using Colour = std::array<std::uint8_t, 3>;

// An RGB picture of a part of the plan, white at first: the box fills the picture's
// longer side less the margins, y pointing up.
class PlanCanvas {
public:
    PlanCanvas(const API_Box& extent, std::uint32_t longerSide, std::uint32_t margin);

    // Fills the inside of the contours (even-odd), blending the colour in.
    void FillPolygon(const std::vector<std::vector<API_Coord>>& contours, const Colour& colour, double opacity);
    void DrawLine(const API_Coord& from, const API_Coord& to, const Colour& colour);

    std::uint32_t Width() const { return width_; }
    std::uint32_t Height() const { return height_; }
    const std::vector<std::uint8_t>& Pixels() const { return pixels_; }

private:
    API_Coord ToPixel(const API_Coord& p) const;
    void Blend(std::int64_t x, std::int64_t y, const Colour& colour, double opacity);

    API_Box extent_;
    double scale_ = 1.0;
    std::uint32_t margin_ = 0;
    std::uint32_t width_ = 1;
    std::uint32_t height_ = 1;
    std::vector<std::uint8_t> pixels_;
};

}  // namespace SimHost
