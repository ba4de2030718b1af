#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "API/Types.hpp"
#include "Geometry/Point2.hpp"
#include "Geometry/Polygon2DData.hpp"

// The records of the host's vector images (2D drawings such as profile drawings).
// Every record starts with a header: its kind code and, as second sort key, the
// running number the image gave it when it was added.

namespace VBAttr
{

// A pen index with an optional colour override pen.
class ExtendedPen
{
public:
    ExtendedPen() = default;
    explicit ExtendedPen(std::int16_t index) : index_(index) {}
    ExtendedPen(std::int16_t index, std::int16_t colorOverride) : index_(index), colorOverride_(colorOverride) {}

    std::int16_t GetIndex() const { return index_; }
    std::int16_t GetColorOverridePenIndex() const { return colorOverride_; }
    std::int16_t GetEffectiveColorIndex() const { return colorOverride_ > 0 ? colorOverride_ : index_; }
    bool operator==(const ExtendedPen& o) const { return index_ == o.index_ && colorOverride_ == o.colorOverride_; }
    bool operator!=(const ExtendedPen& o) const { return !(*this == o); }

private:
    std::int16_t index_ = 0;
    std::int16_t colorOverride_ = 0;
};

}  // namespace VBAttr

// A colour with 16-bit channels.
struct GS_RGBColor
{
    std::uint16_t f_red = 0;
    std::uint16_t f_green = 0;
    std::uint16_t f_blue = 0;
    bool operator==(const GS_RGBColor& o) const { return f_red == o.f_red && f_green == o.f_green && f_blue == o.f_blue; }
};

namespace GX
{
namespace Pattern
{

// Where a fill's pattern is anchored: the project origin (global) or the fill itself.
class HatchTran
{
public:
    void Reset() { global_ = false; }
    void SetGlobal() { global_ = true; }
    bool IsGlobal() const { return global_; }
    bool operator==(const HatchTran& o) const { return global_ == o.global_; }

private:
    bool global_ = false;
};

}  // namespace Pattern
}  // namespace GX

// Kind codes of the records.
enum SyEnum : std::int8_t
{
    SyLine = 3,
    SyArc = 4,
    SyText = 5,
    SyHatch = 6,
    SyRichText = 11,
    SyPolyLine = 12,
};

struct Sy_Header
{
    std::int8_t item_Typ = 0;
    std::int8_t drwIndex = 0;
    std::uint32_t sequence = 0;  // set by the image
};

struct Sy_LinType
{
    Sy_Header head {SyLine, 0, 0};
    VBAttr::ExtendedPen sy_pen;
    std::int16_t sy_ltype = 0;
    std::int16_t sy_lineProperty = 0;
    std::uint8_t sy_flags = 0;
    Geometry::Point2<double> begC;
    Geometry::Point2<double> endC;
};

// An elliptic arc as Geometry::GenArc describes it: r is the main half-axis,
// elongation the ratio of the main to the other half-axis.
struct Sy_ArcType
{
    Sy_Header head {SyArc, 0, 0};
    VBAttr::ExtendedPen sy_pen;
    std::int16_t sy_ltype = 0;
    std::int16_t sy_lineProperty = 0;
    std::uint8_t sy_flags = 0;
    Geometry::Point2<double> origC;
    double r = 0.0;
    double mainAxisDir = 0.0;
    double elongation = 1.0;
    double begAng = 0.0;
    double endAng = 0.0;
};

// A polyline; coordinates from index 1, arcs from index 1 (entry 0 of each is a
// lead entry), each arc bending the segment from its begin index to the next point.
struct Sy_PolyLinType
{
    Sy_Header head {SyPolyLine, 0, 0};
    VBAttr::ExtendedPen sy_pen;
    std::int16_t sy_ltype = 0;
    std::vector<Geometry::Point2<double>> coords;
    std::vector<Geometry::PolyArcRec> arcs;

    std::int32_t GetCoordCount() const { return coords.empty() ? 0 : static_cast<std::int32_t>(coords.size() - 1); }
    std::int32_t GetArcCount() const { return arcs.empty() ? 0 : static_cast<std::int32_t>(arcs.size() - 1); }
};

struct Sy_TextType
{
    Sy_Header head {SyText, 0, 0};
    VBAttr::ExtendedPen sy_pen;
    Geometry::Point2<double> loc;
    double size = 0.0;
    std::u16string text;
};

// One run of a rich text: its pen, its size in millimetres and the host text style
// (TSPickUpStyle) that names its font, face and justification.
struct RichTextStyle
{
    std::int16_t pen = 0;
    double size = 0.0;
    std::int32_t textStyleIndex = 0;
    bool operator==(const RichTextStyle& o) const { return pen == o.pen && size == o.size && textStyleIndex == o.textStyleIndex; }
};

// A rich text; anchor 1 to 9 numbers the corners and middles row by row from the
// top left; 10 anchors the first line at its left end.
struct Sy_RichTextType
{
    Sy_Header head {SyRichText, 0, 0};
    Geometry::Point2<double> loc;
    double width = 0.0;
    double height = 0.0;
    double angle = 0.0;
    std::int16_t anchor = 1;
    std::vector<RichTextStyle> styles;
    std::u16string text;

    // The first style (null without one) and the characters with their count.
    void GetPointers(const RichTextStyle** firstStyle, const char16_t** characters, std::int32_t* length) const;
};

// A fill: its polygon (coordinates from index 1, the sub-polygon ends with a lead
// entry 0 whose value means nothing, arcs from index 0 each bending the edge from
// its begin index), pens, pattern and colours.
class HatchObject
{
public:
    const std::vector<Geometry::Point2<double>>& GetCoords() const { return coords_; }
    const std::vector<Geometry::PolyArcRec>& GetArcs() const { return arcs_; }
    const std::vector<std::uint32_t>& GetSubPolyEnds() const { return subPolyEnds_; }
    // Refuses, and changes nothing, when an end or arc lies outside the coordinates
    // or the ends do not rise.
    GSErrCode SetPolygonGeometry(std::vector<Geometry::Point2<double>> coords, std::vector<Geometry::PolyArcRec> arcs,
                                 std::vector<std::uint32_t> subPolyEnds);

    const VBAttr::ExtendedPen& GetContPen() const { return contPen_; }
    void SetContPen(const VBAttr::ExtendedPen& pen) { contPen_ = pen; }
    const VBAttr::ExtendedPen& GetExtendedFillFgPen() const { return fillFgPen_; }
    void SetExtendedFillFgPen(const VBAttr::ExtendedPen& pen) { fillFgPen_ = pen; }
    std::int16_t GetFillBkgPen() const { return fillBkgPen_; }
    void SetFillBkgPen(std::int16_t pen) { fillBkgPen_ = pen; }
    std::int16_t GetContLType() const { return contLType_; }
    void SetContLType(std::int16_t lineType) { contLType_ = lineType; }
    std::int16_t GetFillIdx() const { return fillIdx_; }
    void SetFillIdx(std::int16_t fill) { fillIdx_ = fill; }

    bool IsRGBFgColor() const { return rgbFg_; }
    void SetRGBFgColor(const GS_RGBColor& color)
    {
        fgColor_ = color;
        rgbFg_ = true;
    }
    const GS_RGBColor& GetFgRGBColor() const { return fgColor_; }
    const GS_RGBColor& GetBkgRGBColor() const { return bkgColor_; }
    void SetBkgRGBColor(const GS_RGBColor& color) { bkgColor_ = color; }

    GX::Pattern::HatchTran& GetHatchTran() { return hatchTran_; }
    const GX::Pattern::HatchTran& GetHatchTran() const { return hatchTran_; }

    bool operator==(const HatchObject& o) const;

private:
    std::vector<Geometry::Point2<double>> coords_ {{}};
    std::vector<Geometry::PolyArcRec> arcs_;
    std::vector<std::uint32_t> subPolyEnds_ {0};
    VBAttr::ExtendedPen contPen_;
    VBAttr::ExtendedPen fillFgPen_;
    std::int16_t fillBkgPen_ = 0;
    std::int16_t contLType_ = 0;
    std::int16_t fillIdx_ = 0;
    bool rgbFg_ = false;
    GS_RGBColor fgColor_;
    GS_RGBColor bkgColor_;
    GX::Pattern::HatchTran hatchTran_;
};

struct Sy_HatchType
{
    Sy_Header head {SyHatch, 6, 0};
};
