#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "GS/Array.hpp"
#include "GS/UniString.hpp"
#include "Geometry/Point2.hpp"
#include "Graphics/Gfx.hpp"
#include "Graphics/NativeImage.hpp"
#include "TextEngine/TextEngine.hpp"

namespace NewDisplay
{

// The elliptic arc inscribed in a pixel rectangle, from the begin angle over the
// sweep (radians; the point of angle t lies at (cx + rx cos t, cy + ry sin t),
// pixel y growing downwards).
struct DisplayArc
{
    float left = 0, top = 0, right = 0, bottom = 0;
    float beginAngle = 0, sweepAngle = 0;

    static DisplayArc CreateEllipticArc(float left, float top, float right, float bottom, float beginAngle, float sweepAngle);
};

// How a scaled picture is sampled: the source pixel under each pixel's centre, or
// smoothly (area-averaged where it shrinks, linear between source pixels).
enum class ImageFiltering : std::int32_t
{
    Nearest = 0,
    Smooth = 1
};
enum class BlitEffect : std::int32_t
{
    None = 0
};

// Draws into a NativeImage and records every call as one line of text, for
// tests: lines and arcs with the line width and foreground colour, polygons
// (the rings between BeginPolygon and EndPolygon, even-odd) with the fill
// pattern in the foreground and background colours, texts as filled boxes of
// the text engine's width and the font's cap height above the base point.
class NativeContext
{
public:
    explicit NativeContext(NativeImage& image);

    void MoveTo(float x, float y);
    void LineTo(float x, float y);
    void SetLineWidth(float width);
    void SetLineDashPattern(const GS::Array<float>& dashes);
    void SetForeColor(std::uint8_t red, std::uint8_t green, std::uint8_t blue, std::uint8_t alpha);
    void SetBackColor(std::uint8_t red, std::uint8_t green, std::uint8_t blue, std::uint8_t alpha);
    void SetFillPattern(const Gfx::Pattern& pattern);
    void BeginPolygon();
    void EndPolygon();
    void Arc(const DisplayArc& arc);
    void FillRect(float left, float top, float right, float bottom, const Gfx::Color& color);
    void DrawPlainText(const GS::UniString& text, const TE::Font& font, double x, double y, double angle);
    // Lays the picture over this one with its top left corner at (x, y).
    void DrawImage(const NativeImage& picture, std::int32_t x, std::int32_t y);
    // Lays the picture over this one scaled, turned by angle (radians, clockwise
    // on screen: y grows downwards) about its own top-left corner, that corner at
    // (x, y), rounded to whole pixels when snapToPixels is set, its alpha times
    // opacity (0 to 1). A picture or scale of zero size draws nothing. Recorded as
    // "DrawImage WxH xScale yScale angle x y snap opacity filtering effect".
    void DrawImage(const NativeImage& picture, float xScale, float yScale, float angle, float x, float y, bool snapToPixels,
                   double opacity, ImageFiltering filtering, BlitEffect effect);

    const std::vector<std::string>& GetRecordedCalls() const { return calls_; }
    void ClearRecordedCalls() { calls_.clear(); }

private:
    using Point = Geometry::Point2<double>;

    void Record(const std::string& call) { calls_.push_back(call); }
    void StrokeSegment(const Point& from, const Point& to);
    void FillRings(const std::vector<std::vector<Point>>& rings, const Gfx::Pattern& pattern, const Gfx::Color& fore,
                   const Gfx::Color& back);

    NativeImage& image_;
    std::vector<std::string> calls_;
    Point pen_;
    float lineWidth_ = 1.0f;
    Gfx::Color fore_ {0, 0, 0, 255};
    Gfx::Color back_ {255, 255, 255, 255};
    Gfx::Pattern pattern_;
    bool inPolygon_ = false;
    std::vector<std::vector<Point>> rings_;
};

}  // namespace NewDisplay
