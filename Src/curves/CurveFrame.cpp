#include "curves/CurveFrame.hpp"

std::optional<CurveFrame> CurveFrame::Make(const Curves::Vector& origin, const Curves::Vector& xAxis, const Curves::Vector& yAxis,
                                           const Curves::Vector& zAxis)
{
    CurveFrame frame;
    frame.origin_ = origin;
    Geometry::TMBSet(&frame.axes_, xAxis, yAxis, zAxis);
    if (!Geometry::InvMat(&frame.inverse_, frame.axes_)) return std::nullopt;
    return frame;
}

Curves::Plan CurveFrame::Image(const Curves::Vector& point) const { return DirectionImage(Curves::Minus(point, origin_)); }

Curves::Plan CurveFrame::DirectionImage(const Curves::Vector& direction) const
{
    const Curves::Vector local = Geometry::TMBVect(inverse_, direction);
    return {local.x, local.y};
}

Curves::Vector CurveFrame::Point(const Curves::Plan& image) const { return Curves::Plus(Direction(image), origin_); }

Curves::Vector CurveFrame::Direction(const Curves::Plan& image) const
{
    return Geometry::TMBVect(axes_, {image.x, image.y, 0.0});
}
