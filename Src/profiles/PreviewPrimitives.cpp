#include "profiles/PreviewPrimitives.hpp"

#include <algorithm>
#include <cmath>
#include <limits>

#include "Geometry/Polygon2DData.hpp"
#include "framework/AngleConstants.hpp"

namespace DZ
{

namespace
{

constexpr double ChordTolerance = 0.001;

// Toward zero, held within the int32 range.
std::int32_t Truncate(double value)
{
    if (!(value > std::numeric_limits<std::int32_t>::min())) return std::numeric_limits<std::int32_t>::min();
    if (!(value < std::numeric_limits<std::int32_t>::max())) return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(value);
}

std::int32_t RoundHalfAway(double value) { return Truncate(value >= 0 ? value + 0.5 : value - 0.5); }

std::int16_t Low16(std::int32_t value) { return static_cast<std::int16_t>(value); }

std::uint8_t ColourByte(double channel) { return static_cast<std::uint8_t>(std::clamp(Truncate(channel * 255 + 0.5), 0, 255)); }

const C2DDrawElement::SPolyArc* ArcFrom(const C2DDrawElement::SPolyArc* arcs, std::int32_t arcCount, std::int32_t index)
{
    for (std::int32_t a = 0; arcs != nullptr && a < arcCount; ++a)
        if (arcs[a].begIndex == index) return &arcs[a];
    return nullptr;
}

// Points first to last - 1 or the segmented ring; false when the ring is left out.
bool RingOutline(const C2DDrawElement::SPolygon& polygon, std::int32_t first, std::int32_t last, const API_Coord* points,
                 const C2DDrawElement::SPolyArc* arcs, std::vector<API_Coord>& outline)
{
    if (arcs != nullptr && polygon.header.arcCount > 0)
        return SegmentSubPolygon(first, last, points, arcs, polygon.header.arcCount, outline) == NoError;
    outline.assign(points + first, points + last);
    return true;
}

void DrawContourEdge(const API_Coord* points, std::int32_t j, std::int32_t coordCount, const C2DDrawElement::SPolyArc* arc,
                     NewDisplay::NativeContext& context)
{
    const API_Coord& a = points[j];
    const API_Coord& b = points[j + 1];
    if (arc != nullptr && arc->endIndex >= 1 && arc->endIndex <= coordCount)
    {
        const API_Coord& arcEnd = points[arc->endIndex];
        const bool backwards = arc->angle < 0;
        const Geometry::Point2<double> from {backwards ? arcEnd.x : a.x, backwards ? arcEnd.y : a.y};
        const Geometry::Point2<double> to {backwards ? a.x : arcEnd.x, backwards ? a.y : arcEnd.y};
        Geometry::GenArc bend;
        if (Geometry::SetGenArcPtr(&bend, from, to, std::fabs(arc->angle)))
        {
            DrawPreviewArc(context, bend.GetOrigo().x, bend.GetOrigo().y, bend.GetMainAxisLength(), 1.0,
                           bend.GetBegAng() * DegreesPerRadian, bend.GetEndAng() * DegreesPerRadian, nullptr, 0.0);
            return;
        }
    }
    DrawPreviewLine(context, a.x, a.y, b.x, b.y, nullptr);
}

}  // namespace

DrawingTransform& PreviewTransform()
{
    static DrawingTransform transform;
    return transform;
}

std::int32_t WorldToPixelX(double x)
{
    const DrawingTransform& t = PreviewTransform();
    return RoundHalfAway(t.originX + (x + t.negatedMinX) * t.scale);
}

std::int32_t WorldToPixelY(double y)
{
    const DrawingTransform& t = PreviewTransform();
    return RoundHalfAway(t.originY - (y + t.negatedMinY) * t.scale);
}

void PreviewMoveTo(std::int32_t x, std::int32_t y, NewDisplay::NativeContext& context)
{
    context.MoveTo(static_cast<float>(x), static_cast<float>(y));
}

void PreviewLineTo(std::int32_t x, std::int32_t y, NewDisplay::NativeContext& context)
{
    context.LineTo(static_cast<float>(x), static_cast<float>(y));
}

void SetPreviewPen(NewDisplay::NativeContext& context, const API_PenType* pen)
{
    if (pen == nullptr) return;
    std::int32_t width = Truncate(pen->width);
    if (width == 0) width = 1;
    const auto channel = [](double value) { return static_cast<std::uint8_t>(std::clamp(Truncate(value * 255), 0, 255)); };
    Gfx::Color color;
    ColorFromRGB(PackRGB(channel(pen->rgb.f_red), channel(pen->rgb.f_green), channel(pen->rgb.f_blue)), color);
    SetPreviewLineStyle(context, width, color);
}

void SetPreviewLineStyle(NewDisplay::NativeContext& context, std::int32_t width, const Gfx::Color& color)
{
    context.SetLineWidth(static_cast<float>(std::max(width, 1)));
    context.SetLineDashPattern(GS::Array<float>());
    context.SetForeColor(color.red, color.green, color.blue, 255);
}

void DrawPreviewLine(NewDisplay::NativeContext& context, double x1, double y1, double x2, double y2, const API_LinetypeType*)
{
    PreviewMoveTo(Low16(WorldToPixelX(x1)), Low16(WorldToPixelY(y1)), context);
    PreviewLineTo(Low16(WorldToPixelX(x2)), Low16(WorldToPixelY(y2)), context);
}

void DrawPreviewArc(NewDisplay::NativeContext& context, double centreX, double centreY, double radius, double ratio,
                    double beginAngle, double endAngle, const API_LinetypeType* lineType, double mainAxisDir)
{
    double sweep = endAngle - beginAngle;
    if (sweep < 0) sweep += 360;
    if (beginAngle > 360) beginAngle -= 360;
    if (endAngle > 360) endAngle -= 360;
    const std::int32_t cx = Low16(WorldToPixelX(centreX)), cy = Low16(WorldToPixelY(centreY));
    const std::int32_t rr = Truncate(PreviewTransform().scale * radius);
    if (ratio > 0.99999 && ratio < 1.00001)
    {
        DrawCircleArc(cx - rr, Truncate(cy - rr / ratio), cx + rr, Truncate(cy + rr / ratio), beginAngle, sweep, context);
        return;
    }
    const Geometry::GenArc arc =
        MakeEllipticArc(centreX, centreY, radius, ratio, beginAngle * Pi / 180, endAngle * Pi / 180, mainAxisDir);
    const std::vector<Geometry::Point2<double>> chain = Geometry::DivideEllArcToCo(arc, ChordTolerance);
    for (std::size_t i = 1; i < chain.size(); ++i)
        DrawPreviewLine(context, chain[i - 1].x, chain[i - 1].y, chain[i].x, chain[i].y, lineType);
}

// Pixel y grows downwards, so the angles turn the other way.
void DrawCircleArc(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom, double beginAngle, double sweep,
                   NewDisplay::NativeContext& context)
{
    context.Arc(NewDisplay::DisplayArc::CreateEllipticArc(
        static_cast<float>(left), static_cast<float>(top), static_cast<float>(right), static_cast<float>(bottom),
        static_cast<float>(-beginAngle * Pi / 180), static_cast<float>(-sweep * Pi / 180)));
}

Geometry::GenArc MakeEllipticArc(double centreX, double centreY, double radius, double ratio, double beginAngle, double endAngle,
                                 double mainAxisDir)
{
    Geometry::GenArc arc;
    arc.SetToEllipseArc(Geometry::Ellipse {{centreX, centreY}, radius, mainAxisDir}, ratio, beginAngle, endAngle);
    Geometry::CalcGenArcBegEndCo(&arc);
    return arc;
}

void DrawPreviewPolygon(const C2DDrawElement::SPolygon& polygon, const API_Coord* points, const std::int32_t* ends,
                        const C2DDrawElement::SPolyArc* arcs, NewDisplay::NativeContext& context)
{
    const std::int32_t coordCount = polygon.header.coordCount;
    // Rings that do not lie within the points are passed over.
    const auto ringOf = [&](std::int32_t k, std::int32_t& first, std::int32_t& last) {
        first = ends[k - 1] + 1;
        last = ends[k];
        return first >= 1 && last <= coordCount && first <= last;
    };
    context.BeginPolygon();
    std::vector<API_Coord> outline;
    for (std::int32_t k = 1, first = 0, last = 0; k <= polygon.header.subPolyCount; ++k)
    {
        if (!ringOf(k, first, last) || !RingOutline(polygon, first, last, points, arcs, outline) || outline.empty()) continue;
        PreviewMoveTo(Low16(WorldToPixelX(outline[0].x)), Low16(WorldToPixelY(outline[0].y)), context);
        for (std::size_t i = 1; i < outline.size(); ++i)
            PreviewLineTo(Low16(WorldToPixelX(outline[i].x)), Low16(WorldToPixelY(outline[i].y)), context);
    }
    context.EndPolygon();
    if (!(polygon.header.contourWidth > 0)) return;
    const C2DDrawElement::SColor& contour = polygon.header.contourColor;
    context.SetForeColor(ColourByte(contour.red), ColourByte(contour.green), ColourByte(contour.blue), 255);
    for (std::int32_t k = 1, first = 0, last = 0; k <= polygon.header.subPolyCount; ++k)
    {
        if (!ringOf(k, first, last)) continue;
        for (std::int32_t j = first; j < last; ++j)
            DrawContourEdge(points, j, coordCount, ArcFrom(arcs, polygon.header.arcCount, j), context);
    }
}

GSErrCode SegmentSubPolygon(std::int32_t first, std::int32_t last, const API_Coord* points, const C2DDrawElement::SPolyArc* arcs,
                            std::int32_t arcCount, std::vector<API_Coord>& outline)
{
    const std::int32_t n = last - first;
    Geometry::Polygon2DData ring;
    Geometry::InitPolygon2DData(&ring);
    ring.vertices.push_back({0.0, 0.0});
    for (std::int32_t i = first; i < last; ++i) ring.vertices.push_back({points[i].x, points[i].y});
    if (n > 0) ring.vertices.push_back(ring.vertices[1]);
    ring.contourEnds = {0, n + 1};
    for (std::int32_t a = 0; a < arcCount; ++a)
    {
        const C2DDrawElement::SPolyArc& arc = arcs[a];
        const bool within = (arc.begIndex >= first && arc.begIndex <= last) || (arc.endIndex >= first && arc.endIndex <= last);
        if (within) ring.arcs.push_back({arc.begIndex - first + 1, arc.endIndex - first + 1, arc.angle});
    }
    if (Geometry::SegmentUpPolygon2DData(&ring, Geometry::ArcDivParams(ChordTolerance)) != NoError)
    {
        Geometry::FreePolygon2DData(&ring);
        return APIERR_IRREGULARPOLY;
    }
    try
    {
        outline.clear();
        for (std::size_t i = 1; i < ring.vertices.size(); ++i) outline.push_back({ring.vertices[i].x, ring.vertices[i].y});
    }
    catch (const std::bad_alloc&)
    {
        Geometry::FreePolygon2DData(&ring);
        return APIERR_MEMFULL;
    }
    Geometry::FreePolygon2DData(&ring);
    return NoError;
}

std::uint32_t PackRGB(std::uint8_t red, std::uint8_t green, std::uint8_t blue)
{
    return std::uint32_t {red} + 256u * green + 65536u * blue;
}

void ColorFromRGB(std::uint32_t packed, Gfx::Color& color)
{
    color = Gfx::Color(static_cast<std::uint8_t>(packed & 0xFF), static_cast<std::uint8_t>(packed >> 8 & 0xFF),
                       static_cast<std::uint8_t>(packed >> 16 & 0xFF), 255);
}

void FillPreviewRect(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom, std::uint8_t red,
                     std::uint8_t green, std::uint8_t blue, NewDisplay::NativeContext& context)
{
    context.FillRect(static_cast<float>(left), static_cast<float>(top), static_cast<float>(right), static_cast<float>(bottom),
                     Gfx::Color(red, green, blue, 255));
}

}  // namespace DZ
