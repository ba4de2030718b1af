#pragma once
#include <cstdint>
#include <vector>

#include "API/Attributes.hpp"
#include "Geometry/GenArc.hpp"
#include "Graphics/NativeContext.hpp"
#include "profiles/C2DDrawElement.hpp"

// Drawing the display list's records in pixels, through the transform that
// C2DDrawElement::Draw publishes. Pixel coordinates are kept to 16 bits.
namespace DZ
{

struct DrawingTransform
{
    double negatedMinX = 0.0;
    double negatedMinY = 0.0;
    double originX = 0.0;
    double originY = 0.0;
    double scale = 1.0;
};

// The process-wide transform of the running drawing.
DrawingTransform& PreviewTransform();

// Rounded half away from zero.
std::int32_t WorldToPixelX(double x);
std::int32_t WorldToPixelY(double y);

void PreviewMoveTo(std::int32_t x, std::int32_t y, NewDisplay::NativeContext& context);
void PreviewLineTo(std::int32_t x, std::int32_t y, NewDisplay::NativeContext& context);

// The pen's width (whole pixels, at least 1) and colour; nothing without a pen.
void SetPreviewPen(NewDisplay::NativeContext& context, const API_PenType* pen);
void SetPreviewLineStyle(NewDisplay::NativeContext& context, std::int32_t width, const Gfx::Color& color);

// Lines are drawn solid whatever the line type.
void DrawPreviewLine(NewDisplay::NativeContext& context, double x1, double y1, double x2, double y2,
                     const API_LinetypeType* lineType);
// Angles in degrees, counter-clockwise from the begin angle to the end angle.
void DrawPreviewArc(NewDisplay::NativeContext& context, double centreX, double centreY, double radius, double ratio,
                    double beginAngle, double endAngle, const API_LinetypeType* lineType, double mainAxisDir);
void DrawCircleArc(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom, double beginAngle, double sweep,
                   NewDisplay::NativeContext& context);
Geometry::GenArc MakeEllipticArc(double centreX, double centreY, double radius, double ratio, double beginAngle, double endAngle,
                                 double mainAxisDir);

// The fill, then the contour when the record's contour width is above 0.
void DrawPreviewPolygon(const C2DDrawElement::SPolygon& polygon, const API_Coord* points, const std::int32_t* ends,
                        const C2DDrawElement::SPolyArc* arcs, NewDisplay::NativeContext& context);
// The ring of points first to last with its arcs turned into points.
GSErrCode SegmentSubPolygon(std::int32_t first, std::int32_t last, const API_Coord* points, const C2DDrawElement::SPolyArc* arcs,
                            std::int32_t arcCount, std::vector<API_Coord>& outline);

std::uint32_t PackRGB(std::uint8_t red, std::uint8_t green, std::uint8_t blue);
void ColorFromRGB(std::uint32_t packed, Gfx::Color& color);
void FillPreviewRect(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom, std::uint8_t red,
                     std::uint8_t green, std::uint8_t blue, NewDisplay::NativeContext& context);

}  // namespace DZ
