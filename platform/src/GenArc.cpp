#include "Geometry/GenArc.hpp"

#include <algorithm>
#include <cmath>

namespace Geometry
{

namespace
{

constexpr double Pi = 3.14159265358979323846;
constexpr double TwoPi = 2 * Pi;
constexpr double AngleEps = 1e-12;
constexpr int MaxSegments = 4096;

void Include(Box2DData& box, const Point2<double>& p)
{
    box.xMin = std::min(box.xMin, p.x), box.yMin = std::min(box.yMin, p.y);
    box.xMax = std::max(box.xMax, p.x), box.yMax = std::max(box.yMax, p.y);
}

// Parameters t + k * pi that fall within [begin, end].
void IncludeExtremes(Box2DData& box, const GenArc& arc, double t)
{
    const double begin = arc.GetBegAng(), end = arc.GetEndAng();
    const double first = t + std::ceil((begin - t) / Pi) * Pi;
    for (double s = first; s <= end; s += Pi) Include(box, arc.PointAt(s));
}

}  // namespace

void GenArc::SetToEllipseArc(const Ellipse& ellipse, double ratio, double begAng, double endAng)
{
    origo_ = ellipse.origo;
    a_ = ellipse.mainAxisLength;
    b_ = ratio != 0.0 ? ellipse.mainAxisLength / ratio : ellipse.mainAxisLength;
    mainAxisDir_ = ellipse.mainAxisDir;
    begAng_ = begAng;
    endAng_ = endAng;
    if (endAng_ < begAng_) endAng_ += std::ceil((begAng_ - endAng_) / TwoPi) * TwoPi;
}

Point2<double> GenArc::PointAt(double t) const
{
    const double x = a_ * std::cos(t), y = b_ * std::sin(t);
    const double c = std::cos(mainAxisDir_), s = std::sin(mainAxisDir_);
    return {origo_.x + x * c - y * s, origo_.y + x * s + y * c};
}

void CalcGenArcBegEndCo(GenArc* arc)
{
    if (arc == nullptr) return;
    arc->begC_ = arc->PointAt(arc->begAng_);
    arc->endC_ = arc->PointAt(arc->endAng_);
}

bool SetGenArcPtr(GenArc* arc, const Point2<double>& begC, const Point2<double>& endC, double angle)
{
    if (arc == nullptr) return false;
    const double sweep = std::fabs(angle);
    const double dx = endC.x - begC.x, dy = endC.y - begC.y;
    const double chord = std::hypot(dx, dy);
    if (chord == 0.0 || sweep < AngleEps || sweep >= TwoPi) return false;
    const Point2<double>& from = angle > 0 ? begC : endC;
    const double sx = angle > 0 ? dx : -dx, sy = angle > 0 ? dy : -dy;
    // The centre lies left of the chord for a left turn of less than a half turn.
    const double offset = (chord / 2) / std::tan(sweep / 2);
    const Point2<double> centre {(begC.x + endC.x) / 2 - sy / chord * offset, (begC.y + endC.y) / 2 + sx / chord * offset};
    const double radius = chord / (2 * std::sin(sweep / 2));
    double start = std::atan2(from.y - centre.y, from.x - centre.x);
    if (start < 0) start += TwoPi;
    arc->origo_ = centre;
    arc->a_ = arc->b_ = radius;
    arc->mainAxisDir_ = 0.0;
    arc->begAng_ = start;
    arc->endAng_ = start + sweep;
    CalcGenArcBegEndCo(arc);
    return true;
}

std::vector<Point2<double>> DivideEllArcToCo(const GenArc& arc, double maxDifference)
{
    const double sweep = arc.GetEndAng() - arc.GetBegAng();
    const double radius = std::max(std::fabs(arc.GetMainAxisLength()), std::fabs(arc.GetOtherAxisLength()));
    // A chord of parameter step d lies within r (1 - cos(d / 2)) of the ellipse.
    double step = Pi / 4;
    if (radius > 0.0 && maxDifference < radius) step = std::min(step, 2 * std::acos(1 - std::max(maxDifference, 0.0) / radius));
    int segments = 1;
    if (step > 0.0)
        segments = static_cast<int>(std::min<double>(MaxSegments, std::ceil(sweep / step)));
    else
        segments = MaxSegments;
    segments = std::max(segments, 1);
    std::vector<Point2<double>> points;
    points.reserve(static_cast<std::size_t>(segments) + 1);
    for (int i = 0; i <= segments; ++i) points.push_back(arc.PointAt(arc.GetBegAng() + sweep * i / segments));
    return points;
}

Box2DData GetGenArcBoundBox(const GenArc& arc)
{
    const Point2<double> begin = arc.PointAt(arc.GetBegAng());
    Box2DData box {begin.x, begin.y, begin.x, begin.y};
    Include(box, arc.PointAt(arc.GetEndAng()));
    const double a = arc.GetMainAxisLength(), b = arc.GetOtherAxisLength();
    const double c = std::cos(arc.GetMainAxisDir()), s = std::sin(arc.GetMainAxisDir());
    IncludeExtremes(box, arc, std::atan2(-b * s, a * c));
    IncludeExtremes(box, arc, std::atan2(b * c, a * s));
    return box;
}

}  // namespace Geometry
