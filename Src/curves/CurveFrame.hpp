#pragma once
#include <optional>

#include "curves/CurveVectors.hpp"

// An origin and three axes, with the 2D image of a point in it (its coordinates
// along the first two axes, the third dropped) and the way back. The axes need be
// neither unit nor orthogonal, only span space.
class CurveFrame
{
public:
    // Nothing when the axes do not span space.
    static std::optional<CurveFrame> Make(const Curves::Vector& origin, const Curves::Vector& xAxis, const Curves::Vector& yAxis,
                                          const Curves::Vector& zAxis);

    Curves::Plan Image(const Curves::Vector& point) const;
    Curves::Plan Image(const API_Coord3D& point) const { return Image(Curves::ToVector(point)); }
    // The 2D image of a direction (without the origin).
    Curves::Plan DirectionImage(const Curves::Vector& direction) const;
    // The point of the frame's plane with these 2D coordinates.
    Curves::Vector Point(const Curves::Plan& image) const;
    // The 3D direction of a 2D vector of the frame.
    Curves::Vector Direction(const Curves::Plan& image) const;

private:
    CurveFrame() = default;

    Curves::Vector origin_;
    Geometry::TRANMAT axes_;
    Geometry::TRANMAT inverse_;
};
