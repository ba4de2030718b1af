#include "Graphics/NativeContext.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "AreaResample.hpp"

namespace NewDisplay
{

namespace
{

constexpr int MaxArcSegments = 4096;

std::string Num(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

std::string Colour(int red, int green, int blue, int alpha)
{
    return std::to_string(red) + " " + std::to_string(green) + " " + std::to_string(blue) + " " + std::to_string(alpha);
}

// Cuts the segment to the box; false when nothing of it lies inside.
bool ClipSegment(Geometry::Point2<double>& a, Geometry::Point2<double>& b, double xMin, double yMin, double xMax, double yMax)
{
    double t0 = 0.0, t1 = 1.0;
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {a.x - xMin, xMax - a.x, a.y - yMin, yMax - a.y};
    for (int i = 0; i < 4; ++i)
    {
        if (p[i] == 0.0)
        {
            if (q[i] < 0.0) return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0.0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
    }
    if (t0 > t1) return false;
    const Geometry::Point2<double> start = a;
    a = {start.x + t0 * dx, start.y + t0 * dy};
    b = {start.x + t1 * dx, start.y + t1 * dy};
    return true;
}

// The picture area-averaged to its size at the scales (at least one pixel).
NativeImage Reduced(const NativeImage& picture, double xScale, double yScale)
{
    const auto width = static_cast<std::int32_t>(std::max(1.0, std::round(picture.GetWidth() * std::min(xScale, 1.0))));
    const auto height = static_cast<std::int32_t>(std::max(1.0, std::round(picture.GetHeight() * std::min(yScale, 1.0))));
    std::vector<std::uint8_t> rgba(std::size_t(width) * std::size_t(height) * 4);
    const auto pictureWidth = static_cast<std::int32_t>(picture.GetWidth()),
               pictureHeight = static_cast<std::int32_t>(picture.GetHeight());
    AreaResample(
        {const_cast<std::uint8_t*>(picture.GetRGBA().data()), std::size_t(pictureWidth) * 4, pictureWidth, pictureHeight},
        {0, 0, pictureWidth, pictureHeight}, {rgba.data(), std::size_t(width) * 4, width, height}, {0, 0, width, height});
    return NativeImage(static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height), std::move(rgba));
}

// Linear between the centres of the four pixels around (u, v), edges held;
// colours weighted by alpha.
Gfx::Color Bilinear(const NativeImage& picture, double u, double v)
{
    const double fx = u - 0.5, fy = v - 0.5;
    const int x0 = static_cast<int>(std::floor(fx)), y0 = static_cast<int>(std::floor(fy));
    const double tx = fx - x0, ty = fy - y0;
    const int maxX = static_cast<int>(picture.GetWidth()) - 1, maxY = static_cast<int>(picture.GetHeight()) - 1;
    double sum[4] = {};
    for (int j = 0; j < 2; ++j)
        for (int i = 0; i < 2; ++i)
        {
            const double weight = (i == 0 ? 1.0 - tx : tx) * (j == 0 ? 1.0 - ty : ty);
            const Gfx::Color p = picture.GetPixel(std::clamp(x0 + i, 0, maxX), std::clamp(y0 + j, 0, maxY));
            const double alpha = weight * p.alpha;
            sum[0] += alpha * p.red, sum[1] += alpha * p.green, sum[2] += alpha * p.blue, sum[3] += alpha;
        }
    if (sum[3] <= 0.0) return Gfx::Color(0, 0, 0, 0);
    const auto channel = [&](double value) { return static_cast<std::uint8_t>(std::clamp(std::lround(value), 0L, 255L)); };
    return Gfx::Color(channel(sum[0] / sum[3]), channel(sum[1] / sum[3]), channel(sum[2] / sum[3]), channel(sum[3]));
}

}  // namespace

DisplayArc DisplayArc::CreateEllipticArc(float left, float top, float right, float bottom, float beginAngle, float sweepAngle)
{
    return DisplayArc {left, top, right, bottom, beginAngle, sweepAngle};
}

NativeContext::NativeContext(NativeImage& image) : image_(image) {}

void NativeContext::MoveTo(float x, float y)
{
    Record("MoveTo " + Num(x) + " " + Num(y));
    pen_ = {x, y};
    if (inPolygon_) rings_.push_back({pen_});
}

void NativeContext::LineTo(float x, float y)
{
    Record("LineTo " + Num(x) + " " + Num(y));
    const Point to {x, y};
    if (inPolygon_)
    {
        if (rings_.empty()) rings_.push_back({pen_});
        rings_.back().push_back(to);
    }
    else
    {
        StrokeSegment(pen_, to);
    }
    pen_ = to;
}

void NativeContext::SetLineWidth(float width)
{
    Record("SetLineWidth " + Num(width));
    lineWidth_ = width;
}

void NativeContext::SetLineDashPattern(const GS::Array<float>& dashes)
{
    Record("SetLineDashPattern " + std::to_string(dashes.GetSize()));
}

void NativeContext::SetForeColor(std::uint8_t red, std::uint8_t green, std::uint8_t blue, std::uint8_t alpha)
{
    Record("SetForeColor " + Colour(red, green, blue, alpha));
    fore_ = Gfx::Color(red, green, blue, alpha);
}

void NativeContext::SetBackColor(std::uint8_t red, std::uint8_t green, std::uint8_t blue, std::uint8_t alpha)
{
    Record("SetBackColor " + Colour(red, green, blue, alpha));
    back_ = Gfx::Color(red, green, blue, alpha);
}

void NativeContext::SetFillPattern(const Gfx::Pattern& pattern)
{
    std::string call = "SetFillPattern";
    char byte[4];
    for (const std::uint8_t bits : pattern.bits)
    {
        std::snprintf(byte, sizeof byte, " %02x", bits);
        call += byte;
    }
    Record(call);
    pattern_ = pattern;
}

void NativeContext::BeginPolygon()
{
    Record("BeginPolygon");
    inPolygon_ = true;
    rings_.clear();
}

void NativeContext::EndPolygon()
{
    Record("EndPolygon");
    inPolygon_ = false;
    FillRings(rings_, pattern_, fore_, back_);
    rings_.clear();
}

void NativeContext::Arc(const DisplayArc& arc)
{
    Record("Arc " + Num(arc.left) + " " + Num(arc.top) + " " + Num(arc.right) + " " + Num(arc.bottom) + " " +
           Num(arc.beginAngle) + " " + Num(arc.sweepAngle));
    const double cx = (double(arc.left) + arc.right) / 2, cy = (double(arc.top) + arc.bottom) / 2;
    const double rx = std::fabs(double(arc.right) - arc.left) / 2, ry = std::fabs(double(arc.bottom) - arc.top) / 2;
    // Chords stay within a quarter pixel of the curve.
    const double radius = std::max(rx, ry);
    const double step = radius > 0.125 ? std::sqrt(2.0 / radius) : 1.0;
    const int segments =
        static_cast<int>(std::clamp(std::ceil(std::fabs(double(arc.sweepAngle)) / step), 1.0, double(MaxArcSegments)));
    Point from {cx + rx * std::cos(arc.beginAngle), cy + ry * std::sin(arc.beginAngle)};
    for (int i = 1; i <= segments; ++i)
    {
        const double t = double(arc.beginAngle) + double(arc.sweepAngle) * i / segments;
        const Point to {cx + rx * std::cos(t), cy + ry * std::sin(t)};
        StrokeSegment(from, to);
        from = to;
    }
}

void NativeContext::FillRect(float left, float top, float right, float bottom, const Gfx::Color& color)
{
    Record("FillRect " + Num(left) + " " + Num(top) + " " + Num(right) + " " + Num(bottom) + " " +
           Colour(color.red, color.green, color.blue, color.alpha));
    Gfx::Pattern solid;
    std::fill(std::begin(solid.bits), std::end(solid.bits), std::uint8_t {0xFF});
    FillRings({{{left, top}, {right, top}, {right, bottom}, {left, bottom}}}, solid, color, color);
}

void NativeContext::DrawImage(const NativeImage& picture, std::int32_t x, std::int32_t y)
{
    Record("DrawImage " + std::to_string(picture.GetWidth()) + "x" + std::to_string(picture.GetHeight()) + " " +
           std::to_string(x) + " " + std::to_string(y));
    const auto width = static_cast<std::int32_t>(picture.GetWidth());
    const auto height = static_cast<std::int32_t>(picture.GetHeight());
    for (std::int32_t row = 0; row < height; ++row)
        for (std::int32_t column = 0; column < width; ++column)
            image_.BlendPixel(x + column, y + row, picture.GetPixel(column, row));
}

void NativeContext::DrawImage(const NativeImage& picture, float xScale, float yScale, float angle, float x, float y,
                              bool snapToPixels, double opacity, ImageFiltering filtering, BlitEffect effect)
{
    Record("DrawImage " + std::to_string(picture.GetWidth()) + "x" + std::to_string(picture.GetHeight()) + " " + Num(xScale) +
           " " + Num(yScale) + " " + Num(angle) + " " + Num(x) + " " + Num(y) + " " + std::to_string(int(snapToPixels)) + " " +
           Num(opacity) + " " + std::to_string(static_cast<int>(filtering)) + " " + std::to_string(static_cast<int>(effect)));
    const double sx = xScale, sy = yScale;
    if (picture.GetWidth() == 0 || picture.GetHeight() == 0 || !std::isfinite(sx) || !std::isfinite(sy) || sx == 0.0 ||
        sy == 0.0 || !std::isfinite(angle) || !(opacity > 0.0))
        return;
    const double originX = snapToPixels ? std::round(x) : double(x), originY = snapToPixels ? std::round(y) : double(y);
    // A shrinking smooth drawing samples an area-averaged copy near the drawn size.
    const bool reduce = filtering == ImageFiltering::Smooth && (std::fabs(sx) < 1.0 || std::fabs(sy) < 1.0);
    const NativeImage source = reduce ? Reduced(picture, std::fabs(sx), std::fabs(sy)) : NativeImage(0, 0);
    const NativeImage& sample = reduce ? source : picture;
    const double w = sample.GetWidth(), h = sample.GetHeight();
    const double scaleX = sx * picture.GetWidth() / w, scaleY = sy * picture.GetHeight() / h;
    const double c = std::cos(double(angle)), s = std::sin(double(angle));
    // The picture's axes on screen (y downwards, positive angles clockwise).
    const Point across {c * scaleX, s * scaleX}, down {-s * scaleY, c * scaleY};
    const double cornerX[4] = {0.0, across.x * w, across.x * w + down.x * h, down.x * h};
    const double cornerY[4] = {0.0, across.y * w, across.y * w + down.y * h, down.y * h};
    const auto firstX = static_cast<int>(std::max(0.0, std::floor(originX + *std::min_element(cornerX, cornerX + 4))));
    const auto endX =
        static_cast<int>(std::min(double(image_.GetWidth()), std::ceil(originX + *std::max_element(cornerX, cornerX + 4))));
    const auto firstY = static_cast<int>(std::max(0.0, std::floor(originY + *std::min_element(cornerY, cornerY + 4))));
    const auto endY =
        static_cast<int>(std::min(double(image_.GetHeight()), std::ceil(originY + *std::max_element(cornerY, cornerY + 4))));
    const double keep = std::min(opacity, 1.0);
    for (int row = firstY; row < endY; ++row)
        for (int column = firstX; column < endX; ++column)
        {
            const double dx = column + 0.5 - originX, dy = row + 0.5 - originY;
            const double u = (dx * c + dy * s) / scaleX, v = (dy * c - dx * s) / scaleY;
            if (!(u >= 0.0 && v >= 0.0 && u < w && v < h)) continue;
            Gfx::Color color = filtering == ImageFiltering::Smooth ? Bilinear(sample, u, v)
                                                                   : sample.GetPixel(static_cast<int>(u), static_cast<int>(v));
            color.alpha = static_cast<std::uint8_t>(std::lround(color.alpha * keep));
            image_.BlendPixel(column, row, color);
        }
}

void NativeContext::DrawPlainText(const GS::UniString& text, const TE::Font& font, double x, double y, double angle)
{
    Record("DrawPlainText " + text.ToUtf8() + " " + Num(x) + " " + Num(y) + " " + Num(angle));
    double width = 0.0;
    TE::textEngine.GetTextWidth(text, font, width);
    const double cap = font.GetCapISize();
    // Along the base line, and up from it (pixel y grows downwards).
    const Point u {std::cos(angle), -std::sin(angle)};
    const Point up {-std::sin(angle), -std::cos(angle)};
    const Point base {x, y};
    const Point end {x + width * u.x, y + width * u.y};
    Gfx::Pattern solid;
    std::fill(std::begin(solid.bits), std::end(solid.bits), std::uint8_t {0xFF});
    FillRings({{base, end, {end.x + cap * up.x, end.y + cap * up.y}, {base.x + cap * up.x, base.y + cap * up.y}}}, solid, fore_,
              fore_);
}

// Squares of the line width along the pixels of the segment (Bresenham).
void NativeContext::StrokeSegment(const Point& from, const Point& to)
{
    const int width = std::max(1, static_cast<int>(std::lround(lineWidth_)));
    Point a = from, b = to;
    const double margin = width + 1.0;
    if (!ClipSegment(a, b, -margin, -margin, image_.GetWidth() + margin, image_.GetHeight() + margin)) return;
    int x0 = static_cast<int>(std::floor(a.x)), y0 = static_cast<int>(std::floor(a.y));
    const int x1 = static_cast<int>(std::floor(b.x)), y1 = static_cast<int>(std::floor(b.y));
    const int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
    const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    const int lead = (width - 1) / 2;
    int error = dx + dy;
    while (true)
    {
        for (int j = 0; j < width; ++j)
            for (int i = 0; i < width; ++i) image_.BlendPixel(x0 - lead + i, y0 - lead + j, fore_);
        if (x0 == x1 && y0 == y1) break;
        const int twice = 2 * error;
        if (twice >= dy)
        {
            error += dy;
            x0 += sx;
        }
        if (twice <= dx)
        {
            error += dx;
            y0 += sy;
        }
    }
}

// Even-odd over all rings, each closed; a pixel belongs when its centre does.
void NativeContext::FillRings(const std::vector<std::vector<Point>>& rings, const Gfx::Pattern& pattern, const Gfx::Color& fore,
                              const Gfx::Color& back)
{
    const int height = static_cast<int>(image_.GetHeight()), width = static_cast<int>(image_.GetWidth());
    std::vector<double> crossings;
    for (int row = 0; row < height; ++row)
    {
        const double y = row + 0.5;
        crossings.clear();
        for (const std::vector<Point>& ring : rings)
            for (std::size_t i = 0; i < ring.size(); ++i)
            {
                const Point& p = ring[i];
                const Point& q = ring[(i + 1) % ring.size()];
                if ((p.y > y) == (q.y > y)) continue;
                crossings.push_back(p.x + (y - p.y) * (q.x - p.x) / (q.y - p.y));
            }
        std::sort(crossings.begin(), crossings.end());
        for (std::size_t k = 0; k + 1 < crossings.size(); k += 2)
        {
            const double first = std::max(std::ceil(crossings[k] - 0.5), 0.0);
            const double last = std::min(std::ceil(crossings[k + 1] - 0.5), double(width));
            for (int column = static_cast<int>(first); column < static_cast<int>(last); ++column)
                image_.BlendPixel(column, row, pattern.IsSet(column, row) ? fore : back);
        }
    }
}

}  // namespace NewDisplay
