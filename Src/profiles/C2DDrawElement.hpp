#pragma once
#include <cstdint>

#include "API/Primitives.hpp"
#include "GS/UniString.hpp"
#include "Graphics/NativeContext.hpp"
#include "VectorImage/VectorImage.hpp"
#include "framework/TypVektor.hpp"

namespace DZ
{

// A display list of plain 2D records loaded from a vector image and drawn fitted
// into a pixel rectangle. The draw order is the loading order.
class C2DDrawElement
{
public:
    static constexpr std::int32_t KindLine = 1;
    static constexpr std::int32_t KindPrimLine = 3;
    static constexpr std::int32_t KindArc = 4;
    static constexpr std::int32_t KindText = 5;
    static constexpr std::int32_t KindPolyLine = 6;
    static constexpr std::int32_t KindPolygon = 7;

    // A pen with its colour override; the override wins when above 0.
    struct SPenPair
    {
        std::int16_t penIndex = 0;
        std::int16_t colorOverridePenIndex = 0;
        std::int16_t Effective() const { return colorOverridePenIndex > 0 ? colorOverridePenIndex : penIndex; }
    };

    struct SColor
    {
        double red = 0.0;
        double green = 0.0;
        double blue = 0.0;
    };

    struct SDrawIndex
    {
        std::int32_t kind = 0;
        std::int32_t index = 0;
    };

    struct SLine
    {
        double x1 = 0.0, y1 = 0.0, x2 = 0.0, y2 = 0.0;
        std::int16_t pen = 0;
    };

    // Heights, widths and cap heights are in thousandths of drawing units.
    struct SText2D
    {
        SPenPair pen;
        std::int16_t fontIndex = 0;
        std::int16_t faceBits = 0;
        std::int32_t anchorIndex = 0;
        std::int32_t justification = 0;
        double x = 0.0, y = 0.0;
        double height = 0.0;
        double width = 0.0;
        double angle = 0.0;
        std::int32_t anchorCode = 1;
        double capHeight = 0.0;
        GS::UniString text;
    };

    struct SPolyLine
    {
        SPenPair pen;
        std::int16_t lineType = 0;
        std::int32_t pointCount = 0;
        TypVektor<API_Coord> points;
    };

    // An arc edge of a polygon: indexes of its points and its signed angle.
    struct SPolyArc
    {
        std::int32_t begIndex = 0;
        std::int32_t endIndex = 0;
        double angle = 0.0;
    };

    struct SPolygonHeader
    {
        SPenPair pen;
        double contourWidth = 0.0;  // above 0: the contour is drawn
        std::int32_t coordCount = 0;
        std::int32_t subPolyCount = 0;
        std::int32_t arcCount = 0;
        SColor contourColor;
    };

    // Points from index 1 (entry 0 a placeholder); ends[0] = 0 and ends[k] the
    // last point of ring k, which repeats the ring's first point.
    struct SPolygon
    {
        SPolygonHeader header;
        std::int16_t foregroundPen = 0;
        std::int16_t backgroundPen = 0;
        SColor foregroundColor;
        SColor backgroundColor;
        std::int16_t fillIndex = 1;
        TypVektor<API_Coord> coords;
        TypVektor<std::int32_t> ends;
        TypVektor<SPolyArc> arcs;
    };

    C2DDrawElement() = default;
    C2DDrawElement(const C2DDrawElement&) = delete;
    C2DDrawElement& operator=(const C2DDrawElement&) = delete;
    ~C2DDrawElement();

    void Clear();

    // Appends the image's lines, arcs, rich texts, polylines (their straight
    // segments) and hatches (a polygon, then its pattern lines). Heights and
    // widths are taken times the load factor.
    void LoadFromVectorImage(const VectorImage& image, double loadFactor, bool ignoreBackgroundPen);

    // Each appends the record, then its draw-order entry; false (and neither)
    // when that fails.
    bool AddLine(double x1, double y1, double x2, double y2, std::int16_t pen);
    bool AddPrimLine(const API_PrimLine& line);
    bool AddArc(const API_PrimArc& arc);
    // The text's fields up to the anchor code come from attributes.
    bool AddText(const SText2D& attributes, const char16_t* text, std::int32_t anchorCode, double capHeight);
    // Copies coordCount + 1 points, subPolyCount + 1 ends and arcCount arcs.
    bool AddPolygon(const SPolygonHeader& header, const API_Coord* points, const std::int32_t* ends, const SPolyArc* arcs,
                    std::int16_t foregroundPen, std::int16_t backgroundPen, const SColor& foregroundColor,
                    const SColor& backgroundColor, std::int16_t fillIndex);

    // Draws every record fitted and centred into the rectangle (pixels). Nothing
    // is drawn for a list without records or whose extent has no width and no height.
    void Draw(double left, double top, double right, double bottom, NewDisplay::NativeContext& context);

    void GetExtent(double& minX, double& maxY, double& maxX, double& minY);
    void ExtendExtent(double x, double y);
    void ResetExtent() { extentStarted_ = false; }
    void ExtendByArc(const API_PrimArc& arc);
    void ExtendByText(const SText2D& text);
    void ExtendByPolyline(const SPolyLine& polyline);
    void ExtendByPolygon(const SPolygon& polygon);

    TypVektor<SText2D> texts;
    TypVektor<SLine> lines;
    TypVektor<SDrawIndex> drawOrder;
    TypVektor<API_PrimLine> primLines;
    TypVektor<API_PrimArc> arcs;
    TypVektor<SPolyLine> polylines;
    TypVektor<SPolygon> polygons;

private:
    template <typename T>
    bool Append(TypVektor<T>& list, const T& record, std::int32_t kind);

    void LoadRichText(const Sy_RichTextType& text, double loadFactor);
    void LoadPolyLine(const Sy_PolyLinType& polyline);
    void LoadHatch(const HatchObject& hatch, double loadFactor, bool ignoreBackgroundPen);

    void DrawLine(const SLine& line, NewDisplay::NativeContext& context) const;
    void DrawText(const SText2D& text, NewDisplay::NativeContext& context) const;
    void DrawPolygon(const SPolygon& polygon, NewDisplay::NativeContext& context) const;

    double minX_ = 0.0, maxX_ = 0.0, maxY_ = 0.0, minY_ = 0.0;
    bool extentStarted_ = false;
    // The fitted area of the running drawing.
    double left_ = 0.0, bottom_ = 0.0, offsetX_ = 0.0, offsetY_ = 0.0, scale_ = 1.0;
};

}  // namespace DZ
