#include "profiles/C2DDrawElement.hpp"

#include <cmath>
#include <cstring>
#include <new>

#include "API/AddOnInterface.hpp"
#include "GS/CharCode.hpp"
#include "Geometry/GenArc.hpp"
#include "TextEngine/TextEngine.hpp"
#include "VectorImage/HatchRenderer.hpp"
#include "frame/AddOnGlobals.hpp"
#include "framework/AngleConstants.hpp"
#include "framework/CAttributeData.hpp"
#include "profiles/PreviewPrimitives.hpp"

namespace DZ
{

namespace
{

constexpr double ContourWidth = 0.1;
constexpr double HatchMinSpacing = 0.00125;
constexpr double ThousandthsPerUnit = 1000.0;
constexpr double SmallestCapHeight = 1.4;
constexpr std::int32_t TopRowAnchorIndex = 6;
constexpr std::int32_t FirstLineAnchor = 10;

// The display list that receives the pattern lines of the hatch being expanded.
C2DDrawElement* hatchTarget = nullptr;

const CAttributeData::AttributeData* CachedAttribute(std::int32_t type, std::int32_t index)
{
    return theAttributeData != nullptr ? theAttributeData->GetAttribute(type, index) : nullptr;
}

const API_PenType* CachedPen(std::int32_t index)
{
    const CAttributeData::AttributeData* record = CachedAttribute(API_PenID, index);
    return record != nullptr ? &record->attribute.pen : nullptr;
}

const API_LinetypeType* CachedLineType(std::int32_t index)
{
    const CAttributeData::AttributeData* record = CachedAttribute(API_LinetypeID, index);
    return record != nullptr ? &record->attribute.linetype : nullptr;
}

bool PenColour(std::int32_t index, C2DDrawElement::SColor& colour)
{
    const API_PenType* pen = CachedPen(index);
    if (pen == nullptr) return false;
    colour = {pen->rgb.f_red, pen->rgb.f_green, pen->rgb.f_blue};
    return true;
}

C2DDrawElement::SColor ColourOf(const GS_RGBColor& rgb)
{
    return {rgb.f_red / 65535.0, rgb.f_green / 65535.0, rgb.f_blue / 65535.0};
}

API_PrimLine PrimLine(const VBAttr::ExtendedPen& pen, const Geometry::Point2<double>& begC, const Geometry::Point2<double>& endC)
{
    API_PrimLine line {};
    line.head.typeID = 1;
    line.pen.penIndex = pen.GetEffectiveColorIndex();
    line.ltypeInd = 1;
    line.c1 = {begC.x, begC.y};
    line.c2 = {endC.x, endC.y};
    return line;
}

GSErrCode NoFill(const HatchDrawContext*, const HatchObject&) { return NoError; }

GSErrCode HatchLineCallback(const HatchDrawContext*, const Geometry::Point2<double>& begC, const Geometry::Point2<double>& endC,
                            const VBAttr::ExtendedPen& pen)
{
    if (hatchTarget != nullptr) hatchTarget->AddPrimLine(PrimLine(pen, begC, endC));
    return NoError;
}

bool IsBlank(const char16_t* characters, std::int32_t length)
{
    std::int32_t blanks = 0;
    for (std::int32_t i = 0; i < length; ++i)
        if (characters[i] == u' ') ++blanks;
    return blanks == length;
}

std::int16_t FontIndexOf(const std::string& fontName)
{
    API_Attr_Head head;
    std::memset(&head, 0, sizeof head);
    head.typeID = API_FontID;
    std::strncpy(head.name, fontName.c_str(), API_AttrNameLen - 1);
    return HostSearchAttribute(&head) == NoError ? head.index : 0;
}

// The column of the anchor code decides the justification.
std::int32_t JustificationOfAnchor(std::int32_t anchorCode, std::int32_t justification)
{
    switch (anchorCode)
    {
        case 1:
        case 4:
        case 7: return 0;
        case 2:
        case 5:
        case 8:
        case 10: return 1;
        case 3:
        case 6:
        case 9: return 2;
        default: return justification;
    }
}

}  // namespace

C2DDrawElement::~C2DDrawElement() { Clear(); }

void C2DDrawElement::Clear()
{
    texts.Clear();
    lines.Clear();
    drawOrder.Clear();
    primLines.Clear();
    arcs.Clear();
    polylines.Clear();
    polygons.Clear();
}

template <typename T>
bool C2DDrawElement::Append(TypVektor<T>& list, const T& record, std::int32_t kind)
{
    if (!list.Add(record)) return false;
    if (drawOrder.Add(SDrawIndex {kind, static_cast<std::int32_t>(list.GetSize() - 1)})) return true;
    list.Delete(list.GetSize() - 1);
    return false;
}

bool C2DDrawElement::AddLine(double x1, double y1, double x2, double y2, std::int16_t pen)
{
    return Append(lines, SLine {x1, y1, x2, y2, pen}, KindLine);
}

bool C2DDrawElement::AddPrimLine(const API_PrimLine& line) { return Append(primLines, line, KindPrimLine); }

bool C2DDrawElement::AddArc(const API_PrimArc& arc) { return Append(arcs, arc, KindArc); }

bool C2DDrawElement::AddText(const SText2D& attributes, const char16_t* text, std::int32_t anchorCode, double capHeight)
{
    if (text == nullptr) return false;
    SText2D record = attributes;
    record.anchorCode = anchorCode;
    record.capHeight = capHeight;
    record.text = GS::UniString(std::u16string(text));
    return Append(texts, record, KindText);
}

bool C2DDrawElement::AddPolygon(const SPolygonHeader& header, const API_Coord* points, const std::int32_t* ends,
                                const SPolyArc* polyArcs, std::int16_t foregroundPen, std::int16_t backgroundPen,
                                const SColor& foregroundColor, const SColor& backgroundColor, std::int16_t fillIndex)
{
    if (header.coordCount < 0 || header.subPolyCount < 0 || header.arcCount < 0 || points == nullptr || ends == nullptr ||
        (header.arcCount > 0 && polyArcs == nullptr))
        return false;
    SPolygon polygon;
    polygon.header = header;
    polygon.foregroundPen = foregroundPen;
    polygon.backgroundPen = backgroundPen;
    polygon.foregroundColor = foregroundColor;
    polygon.backgroundColor = backgroundColor;
    polygon.fillIndex = fillIndex;
    for (std::int32_t i = 0; i <= header.coordCount; ++i)
        if (!polygon.coords.Add(points[i])) return false;
    for (std::int32_t k = 0; k <= header.subPolyCount; ++k)
        if (!polygon.ends.Add(ends[k])) return false;
    for (std::int32_t a = 0; a < header.arcCount; ++a)
        if (!polygon.arcs.Add(polyArcs[a])) return false;
    return Append(polygons, polygon, KindPolygon);
}

void C2DDrawElement::LoadFromVectorImage(const VectorImage& image, double loadFactor, bool ignoreBackgroundPen)
{
    for (ConstVectorImageIterator it(image); !it.IsEOI(); ++it)
    {
        switch (it.GetItemType())
        {
            case SyRichText: LoadRichText(it.GetRichText(), loadFactor); break;
            case SyHatch: LoadHatch(it.GetHatchObject(), loadFactor, ignoreBackgroundPen); break;
            case SyLine:
            {
                const Sy_LinType& line = it.GetLine();
                AddPrimLine(PrimLine(line.sy_pen, line.begC, line.endC));
                break;
            }
            case SyPolyLine: LoadPolyLine(it.GetPolyLine()); break;
            case SyArc:
            {
                const Sy_ArcType& source = it.GetArc();
                API_PrimArc arc {};
                arc.head.typeID = 1;
                arc.pen.penIndex = source.sy_pen.GetEffectiveColorIndex();
                arc.orig = {source.origC.x, source.origC.y};
                arc.r = source.r;
                arc.ratio = source.elongation;
                arc.begAng = source.begAng;
                arc.endAng = source.endAng;
                AddArc(arc);
                break;
            }
            default: break;
        }
    }
}

void C2DDrawElement::LoadRichText(const Sy_RichTextType& text, double loadFactor)
{
    const RichTextStyle* style = nullptr;
    const char16_t* characters = nullptr;
    std::int32_t length = 0;
    text.GetPointers(&style, &characters, &length);
    if (style == nullptr || length == 0 || IsBlank(characters, length)) return;
    SText2D attributes;
    attributes.pen.penIndex = style->pen;
    attributes.anchorIndex = text.anchor == FirstLineAnchor ? TopRowAnchorIndex : text.anchor - 1;
    attributes.x = text.loc.x;
    attributes.y = text.loc.y;
    attributes.height = text.height * loadFactor;
    attributes.width = text.width * loadFactor;
    attributes.angle = text.angle;
    TSStyle hostStyle;
    if (TSPickUpStyle(style->textStyleIndex, &hostStyle) == NoError)
    {
        attributes.fontIndex = FontIndexOf(hostStyle.fontName);
        attributes.faceBits = hostStyle.face;
        attributes.justification = hostStyle.justification;
    }
    AddText(attributes, characters, text.anchor, style->size * loadFactor);
}

// Arc segments are passed over; the arcs are searched in order of their begin index.
void C2DDrawElement::LoadPolyLine(const Sy_PolyLinType& polyline)
{
    const std::int32_t coordCount = polyline.GetCoordCount(), arcCount = polyline.GetArcCount();
    const std::int16_t pen = polyline.sy_pen.GetEffectiveColorIndex();
    std::int32_t nextArc = 1;
    for (std::int32_t s = 1; s < coordCount; ++s)
    {
        bool bent = false;
        for (std::int32_t a = nextArc; a <= arcCount; ++a)
            if (polyline.arcs[static_cast<std::size_t>(a)].begIndex == s)
            {
                bent = true;
                nextArc = a + 1;
                break;
            }
        if (bent) continue;
        const Geometry::Point2<double>& p = polyline.coords[static_cast<std::size_t>(s)];
        const Geometry::Point2<double>& q = polyline.coords[static_cast<std::size_t>(s) + 1];
        AddLine(p.x, p.y, q.x, q.y, pen);
    }
}

void C2DDrawElement::LoadHatch(const HatchObject& hatch, double loadFactor, bool ignoreBackgroundPen)
{
    const std::vector<Geometry::Point2<double>>& coords = hatch.GetCoords();
    const std::vector<std::uint32_t>& subPolyEnds = hatch.GetSubPolyEnds();
    std::vector<API_Coord> points;
    for (const Geometry::Point2<double>& c : coords) points.push_back({c.x, c.y});
    // The hatch's lead end entry means nothing; ring 1 starts at point 1.
    std::vector<std::int32_t> ends(subPolyEnds.begin(), subPolyEnds.end());
    ends[0] = 0;
    std::vector<SPolyArc> polyArcs;
    for (const Geometry::PolyArcRec& arc : hatch.GetArcs()) polyArcs.push_back({arc.begIndex, arc.endIndex, arc.arcAngle});

    SPolygonHeader header;
    header.coordCount = static_cast<std::int32_t>(points.size()) - 1;
    header.subPolyCount = static_cast<std::int32_t>(ends.size()) - 1;
    header.arcCount = static_cast<std::int32_t>(polyArcs.size());
    header.contourWidth = hatch.GetContPen().GetEffectiveColorIndex() > 0 ? ContourWidth : 0.0;
    SColor foreground = ColourOf(hatch.GetFgRGBColor());
    SColor background = ColourOf(hatch.GetBkgRGBColor());
    if (!hatch.IsRGBFgColor())
    {
        PenColour(hatch.GetExtendedFillFgPen().GetEffectiveColorIndex(), foreground);
        PenColour(hatch.GetFillBkgPen(), background);
    }
    const std::int16_t backgroundPen = ignoreBackgroundPen ? std::int16_t {-1} : hatch.GetFillBkgPen();
    PenColour(hatch.GetContPen().GetEffectiveColorIndex(), header.contourColor);
    const std::int16_t fillIndex = hatch.GetFillIdx() == 0 ? std::int16_t {1} : hatch.GetFillIdx();
    AddPolygon(header, points.data(), ends.data(), polyArcs.empty() ? nullptr : polyArcs.data(),
               hatch.GetExtendedFillFgPen().GetEffectiveColorIndex(), backgroundPen, foreground, background, fillIndex);

    const AttributeReader reader(GetCurrentAttributeSet());
    hatchTarget = this;
    HatchDrawContext context {};
    context.fillProc = NoFill;
    context.lineProc = HatchLineCallback;
    context.contourProc = NoFill;
    context.planScale = loadFactor;
    context.minSpacing = HatchMinSpacing;
    context.userData = this;
    DrawSyHatch(reader, hatch, context, true);
}

void C2DDrawElement::ExtendExtent(double x, double y)
{
    if (!extentStarted_)
    {
        minX_ = maxX_ = x;
        minY_ = maxY_ = y;
        extentStarted_ = true;
        return;
    }
    if (x < minX_)
        minX_ = x;
    else if (x > maxX_)
        maxX_ = x;
    if (y > maxY_)
        maxY_ = y;
    else if (y < minY_)
        minY_ = y;
}

void C2DDrawElement::ExtendByArc(const API_PrimArc& arc)
{
    const double begin = arc.begAng + arc.mainAxisDir;
    double end = arc.endAng + arc.mainAxisDir;
    if (!(arc.begAng < end)) end += TwoPi;
    const Geometry::Box2DData box =
        Geometry::GetGenArcBoundBox(MakeEllipticArc(arc.orig.x, arc.orig.y, arc.r, arc.ratio, begin, end, 0.0));
    ExtendExtent(box.xMin, box.yMin);
    ExtendExtent(box.xMax, box.yMax);
}

void C2DDrawElement::ExtendByText(const SText2D& text)
{
    const double a = text.width / ThousandthsPerUnit, b = text.height / ThousandthsPerUnit;
    const double c = std::cos(text.angle), s = std::sin(text.angle);
    const std::int32_t i = text.anchorIndex;
    // Down from the top or the middle row, left from the middle or right column.
    const double rowShift = i >= 0 && i <= 2 ? b : i >= 3 && i <= 5 ? b / 2 : 0.0;
    const double columnShift = i == 1 || i == 4 || i == 7 ? a / 2 : i == 2 || i == 5 || i == 8 ? a : 0.0;
    const double x = text.x + rowShift * s - columnShift * c;
    const double y = text.y - rowShift * c + columnShift * s;
    ExtendExtent(x, y);
    ExtendExtent(x + a * c - b * s, y + b * c - a * s);
}

void C2DDrawElement::ExtendByPolyline(const SPolyLine& polyline)
{
    for (const API_Coord& p : polyline.points) ExtendExtent(p.x, p.y);
}

void C2DDrawElement::ExtendByPolygon(const SPolygon& polygon)
{
    const std::uint32_t count = polygon.coords.GetSize();
    for (std::uint32_t i = 1; i < count; ++i) ExtendExtent(polygon.coords[i].x, polygon.coords[i].y);
    for (const SPolyArc& arc : polygon.arcs)
    {
        if (arc.begIndex < 0 || arc.endIndex < 0 || std::uint32_t(arc.begIndex) >= count || std::uint32_t(arc.endIndex) >= count)
            continue;
        const API_Coord& a = polygon.coords[static_cast<std::uint32_t>(arc.begIndex)];
        const API_Coord& b = polygon.coords[static_cast<std::uint32_t>(arc.endIndex)];
        Geometry::GenArc bend;
        if (!Geometry::SetGenArcPtr(&bend, {a.x, a.y}, {b.x, b.y}, arc.angle)) continue;
        const Geometry::Box2DData box = Geometry::GetGenArcBoundBox(bend);
        ExtendExtent(box.xMin, box.yMin);
        ExtendExtent(box.xMax, box.yMax);
    }
}

void C2DDrawElement::GetExtent(double& minX, double& maxY, double& maxX, double& minY)
{
    if (!extentStarted_)
    {
        for (const SDrawIndex& entry : drawOrder)
        {
            const auto index = static_cast<std::uint32_t>(entry.index);
            switch (entry.kind)
            {
                case KindLine:
                    ExtendExtent(lines[index].x1, lines[index].y1);
                    ExtendExtent(lines[index].x2, lines[index].y2);
                    break;
                case KindPrimLine:
                    ExtendExtent(primLines[index].c1.x, primLines[index].c1.y);
                    ExtendExtent(primLines[index].c2.x, primLines[index].c2.y);
                    break;
                case KindArc: ExtendByArc(arcs[index]); break;
                case KindText: ExtendByText(texts[index]); break;
                case KindPolyLine: ExtendByPolyline(polylines[index]); break;
                case KindPolygon: ExtendByPolygon(polygons[index]); break;
                default: break;
            }
        }
    }
    minX = minX_;
    maxY = maxY_;
    maxX = maxX_;
    minY = minY_;
}

void C2DDrawElement::Draw(double left, double top, double right, double bottom, NewDisplay::NativeContext& context)
{
    double minX = 0, maxY = 0, maxX = 0, minY = 0;
    ResetExtent();
    GetExtent(minX, maxY, maxX, minY);
    const bool anything = extentStarted_;
    ResetExtent();
    const double spanX = std::fabs(maxX - minX), spanY = std::fabs(maxY - minY);
    if (!anything || (spanX == 0.0 && spanY == 0.0)) return;
    const double w = right - left, h = bottom - top;
    const double sx = spanX > 0.0 ? w / spanX : HUGE_VAL, sy = spanY > 0.0 ? h / spanY : HUGE_VAL;
    const double scale = sx > sy ? sy : sx;
    const double offsetX = (w - scale * (maxX - minX)) / 2, offsetY = (h - scale * (maxY - minY)) / 2;
    PreviewTransform() = DrawingTransform {-minX, -minY, left + offsetX, bottom - offsetY, scale};
    left_ = left;
    bottom_ = bottom;
    offsetX_ = offsetX;
    offsetY_ = offsetY;
    scale_ = scale;
    minX_ = minX;
    minY_ = minY;

    for (const SDrawIndex& entry : drawOrder)
    {
        const auto index = static_cast<std::uint32_t>(entry.index);
        switch (entry.kind)
        {
            case KindLine: DrawLine(lines[index], context); break;
            case KindPrimLine:
            {
                const API_PrimLine& line = primLines[index];
                const API_LinetypeType* lineType = CachedLineType(line.ltypeInd);
                SetPreviewPen(context, CachedPen(SPenPair {line.pen.penIndex, line.pen.colorOverridePenIndex}.Effective()));
                DrawPreviewLine(context, line.c1.x, line.c1.y, line.c2.x, line.c2.y, lineType);
                break;
            }
            case KindArc:
            {
                const API_PrimArc& arc = arcs[index];
                SetPreviewPen(context, CachedPen(SPenPair {arc.pen.penIndex, arc.pen.colorOverridePenIndex}.Effective()));
                DrawPreviewArc(context, arc.orig.x, arc.orig.y, arc.r, arc.ratio,
                               (arc.begAng + arc.mainAxisDir) * DegreesPerRadian,
                               (arc.endAng + arc.mainAxisDir) * DegreesPerRadian, nullptr, arc.mainAxisDir);
                break;
            }
            case KindText: DrawText(texts[index], context); break;
            case KindPolyLine:
            {
                const SPolyLine& polyline = polylines[index];
                const API_LinetypeType* lineType = CachedLineType(polyline.lineType);
                SetPreviewPen(context, CachedPen(polyline.pen.Effective()));
                for (std::uint32_t i = 1; i < polyline.points.GetSize(); ++i)
                    DrawPreviewLine(context, polyline.points[i - 1].x, polyline.points[i - 1].y, polyline.points[i].x,
                                    polyline.points[i].y, lineType);
                break;
            }
            case KindPolygon: DrawPolygon(polygons[index], context); break;
            default: break;
        }
    }
}

// Lines go to whole pixels toward zero, unlike every other record.
void C2DDrawElement::DrawLine(const SLine& line, NewDisplay::NativeContext& context) const
{
    SetPreviewPen(context, CachedPen(line.pen));
    const auto pixelX = [this](double x) { return static_cast<float>(std::trunc((x - minX_) * scale_ + left_ + offsetX_)); };
    const auto pixelY = [this](double y) { return static_cast<float>(std::trunc((bottom_ - offsetY_) - (y - minY_) * scale_)); };
    context.MoveTo(pixelX(line.x1), pixelY(line.y1));
    context.LineTo(pixelX(line.x2), pixelY(line.y2));
}

void C2DDrawElement::DrawText(const SText2D& text, NewDisplay::NativeContext& context) const
{
    const CAttributeData::AttributeData* fontRecord = CachedAttribute(API_FontID, text.fontIndex);
    if (fontRecord == nullptr) return;
    const std::string fontName(fontRecord->attribute.header.name, strnlen(fontRecord->attribute.header.name, API_AttrNameLen));
    GS::UniString simpleName;
    GSCharCode code = CC_WestEuropean;
    TE::TextEngine::GetSimpleFontName(GS::UniString(GS::CharCodeToUtf16(fontName, CC_WestEuropean)), &simpleName, &code);
    TE::Font font;
    font.SetFontName(simpleName, code);
    font.SetStyle(static_cast<std::int16_t>(text.faceBits & (TE::FaceBold | TE::FaceItalic | TE::FaceUnderline)));
    font.SetSize(text.height);
    const double capPixels = text.capHeight * scale_ / ThousandthsPerUnit;
    if (capPixels < SmallestCapHeight) return;
    const double heightPixels = text.height * scale_ / ThousandthsPerUnit;
    font.SetCapISize(capPixels);
    const std::int32_t justification = JustificationOfAnchor(text.anchorCode, text.justification);
    SetPreviewPen(context, CachedPen(text.pen.Effective()));

    const double ux = std::cos(text.angle), uy = -std::sin(text.angle);
    const double vx = -uy, vy = ux;
    double shift = 0.0;
    switch (text.anchorCode)
    {
        case 1:
        case 2:
        case 3:
        case 10: shift = capPixels + (heightPixels - capPixels) / 2; break;
        case 4:
        case 5:
        case 6: shift = capPixels / 2; break;
        default: shift = -(heightPixels - capPixels) / 2; break;
    }
    double widthPixels = text.width * scale_ / ThousandthsPerUnit;
    TE::textEngine.GetTextWidth(text.text, font, widthPixels);
    const double back = justification == 1 ? widthPixels / 2 : justification == 2 ? widthPixels : 0.0;
    const double px = (text.x - minX_) * scale_ + left_ + offsetX_ + vx * shift - back * ux;
    const double py = (bottom_ - offsetY_) - (text.y - minY_) * scale_ + vy * shift - back * uy;
    context.DrawPlainText(text.text, font, px, py, text.angle);
}

void C2DDrawElement::DrawPolygon(const SPolygon& polygon, NewDisplay::NativeContext& context) const
{
    SetPreviewPen(context, CachedPen(polygon.header.pen.Effective()));
    Gfx::Pattern pattern;
    const CAttributeData::AttributeData* fillRecord =
        polygon.fillIndex > 0 ? CachedAttribute(API_FilltypeID, polygon.fillIndex) : nullptr;
    const API_FilltypeType* fill = fillRecord != nullptr ? &fillRecord->attribute.filltype : nullptr;
    if (fill != nullptr && fill->subType == APIFill_Solid)
        std::memset(pattern.bits, 0xFF, sizeof pattern.bits);
    else if (fill != nullptr && fill->subType == APIFill_Vector)
        std::memcpy(pattern.bits, fill->bitPat, sizeof pattern.bits);
    context.SetFillPattern(pattern);
    std::uint8_t backgroundAlpha = polygon.backgroundPen <= 0 ? 0 : 255;
    std::uint8_t foregroundAlpha = polygon.foregroundPen <= 0 ? 0 : 255;
    if (fill != nullptr && fill->percentFill)
        backgroundAlpha = foregroundAlpha = static_cast<std::uint8_t>(std::fmin(std::fmax(fill->percent, 0.0), 1.0) * 255);
    const auto byte = [](double channel) {
        return static_cast<std::uint8_t>(std::fmin(std::fmax(channel * 255 + 0.5, 0.0), 255.0));
    };
    const SColor& back = polygon.backgroundColor;
    const SColor& fore = polygon.foregroundColor;
    context.SetBackColor(byte(back.red), byte(back.green), byte(back.blue), backgroundAlpha);
    context.SetForeColor(byte(fore.red), byte(fore.green), byte(fore.blue), foregroundAlpha);
    // The lists keep their elements in pages; the primitives take plain arrays.
    const std::vector<API_Coord> points(polygon.coords.begin(), polygon.coords.end());
    const std::vector<std::int32_t> ends(polygon.ends.begin(), polygon.ends.end());
    const std::vector<SPolyArc> polyArcs(polygon.arcs.begin(), polygon.arcs.end());
    DrawPreviewPolygon(polygon, points.data(), ends.data(), polyArcs.empty() ? nullptr : polyArcs.data(), context);
}

}  // namespace DZ
