#include "VectorImage/VectorImage.hpp"

#include <algorithm>
#include <cmath>

#include "Geometry/GenArc.hpp"

namespace
{

constexpr double TwoPi = 2 * 3.14159265358979323846;

using Coord = Geometry::Point2<double>;

bool Same(const Coord& a, const Coord& b) { return a.x == b.x && a.y == b.y; }

bool Same(const std::vector<Coord>& a, const std::vector<Coord>& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const Coord& p, const Coord& q) { return Same(p, q); });
}

bool Same(const std::vector<Geometry::PolyArcRec>& a, const std::vector<Geometry::PolyArcRec>& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const Geometry::PolyArcRec& p, const Geometry::PolyArcRec& q) {
        return p.begIndex == q.begIndex && p.endIndex == q.endIndex && p.arcAngle == q.arcAngle;
    });
}

bool SameHead(const Sy_Header& a, const Sy_Header& b) { return a.item_Typ == b.item_Typ && a.drwIndex == b.drwIndex; }

bool Same(const Sy_LinType& a, const Sy_LinType& b)
{
    return SameHead(a.head, b.head) && a.sy_pen == b.sy_pen && a.sy_ltype == b.sy_ltype &&
           a.sy_lineProperty == b.sy_lineProperty && a.sy_flags == b.sy_flags && Same(a.begC, b.begC) && Same(a.endC, b.endC);
}

bool Same(const Sy_ArcType& a, const Sy_ArcType& b)
{
    return SameHead(a.head, b.head) && a.sy_pen == b.sy_pen && a.sy_ltype == b.sy_ltype &&
           a.sy_lineProperty == b.sy_lineProperty && a.sy_flags == b.sy_flags && Same(a.origC, b.origC) && a.r == b.r &&
           a.mainAxisDir == b.mainAxisDir && a.elongation == b.elongation && a.begAng == b.begAng && a.endAng == b.endAng;
}

bool Same(const Sy_PolyLinType& a, const Sy_PolyLinType& b)
{
    return SameHead(a.head, b.head) && a.sy_pen == b.sy_pen && a.sy_ltype == b.sy_ltype && Same(a.coords, b.coords) &&
           Same(a.arcs, b.arcs);
}

bool Same(const Sy_TextType& a, const Sy_TextType& b)
{
    return SameHead(a.head, b.head) && a.sy_pen == b.sy_pen && Same(a.loc, b.loc) && a.size == b.size && a.text == b.text;
}

bool Same(const Sy_RichTextType& a, const Sy_RichTextType& b)
{
    return SameHead(a.head, b.head) && Same(a.loc, b.loc) && a.width == b.width && a.height == b.height && a.angle == b.angle &&
           a.anchor == b.anchor && a.styles == b.styles && a.text == b.text;
}

bool Same(const VectorImage::HatchItem& a, const VectorImage::HatchItem& b)
{
    return SameHead(a.record.head, b.record.head) && a.hatch == b.hatch;
}

void Include(Geometry::Box2DData& box, bool& started, const Coord& p)
{
    if (!started)
    {
        box = {p.x, p.y, p.x, p.y};
        started = true;
        return;
    }
    box.xMin = std::min(box.xMin, p.x), box.yMin = std::min(box.yMin, p.y);
    box.xMax = std::max(box.xMax, p.x), box.yMax = std::max(box.yMax, p.y);
}

void Include(Geometry::Box2DData& box, bool& started, const Geometry::Box2DData& other)
{
    Include(box, started, Coord {other.xMin, other.yMin});
    Include(box, started, Coord {other.xMax, other.yMax});
}

void IncludeBentEdge(Geometry::Box2DData& box, bool& started, const Coord& a, const Coord& b, double angle)
{
    Geometry::GenArc arc;
    if (Geometry::SetGenArcPtr(&arc, a, b, angle)) Include(box, started, Geometry::GetGenArcBoundBox(arc));
}

// The polyline's or hatch's own points from index 1 and the bulges of its arcs.
void IncludeOutline(Geometry::Box2DData& box, bool& started, const std::vector<Coord>& coords,
                    const std::vector<Geometry::PolyArcRec>& arcs)
{
    for (std::size_t i = 1; i < coords.size(); ++i) Include(box, started, coords[i]);
    for (const Geometry::PolyArcRec& arc : arcs)
    {
        if (arc.begIndex < 1 || arc.endIndex < 1 || std::size_t(arc.begIndex) >= coords.size() ||
            std::size_t(arc.endIndex) >= coords.size())
            continue;
        IncludeBentEdge(box, started, coords[std::size_t(arc.begIndex)], coords[std::size_t(arc.endIndex)], arc.arcAngle);
    }
}

struct BoundsOf
{
    Geometry::Box2DData& box;
    bool& started;

    void operator()(const Sy_LinType& line) const
    {
        Include(box, started, line.begC);
        Include(box, started, line.endC);
    }
    void operator()(const Sy_ArcType& arc) const
    {
        Geometry::GenArc shape;
        shape.SetToEllipseArc({arc.origC, arc.r, arc.mainAxisDir}, arc.elongation, arc.begAng, arc.endAng);
        Include(box, started, Geometry::GetGenArcBoundBox(shape));
    }
    void operator()(const Sy_PolyLinType& polyline) const
    {
        const std::vector<Geometry::PolyArcRec> arcs(polyline.arcs.begin() + (polyline.arcs.empty() ? 0 : 1),
                                                     polyline.arcs.end());
        IncludeOutline(box, started, polyline.coords, arcs);
    }
    void operator()(const Sy_TextType& text) const { Include(box, started, text.loc); }
    void operator()(const Sy_RichTextType& text) const { Include(box, started, text.loc); }
    void operator()(const VectorImage::HatchItem& item) const
    {
        IncludeOutline(box, started, item.hatch.GetCoords(), item.hatch.GetArcs());
    }
};

}  // namespace

void Sy_RichTextType::GetPointers(const RichTextStyle** firstStyle, const char16_t** characters, std::int32_t* length) const
{
    if (firstStyle != nullptr) *firstStyle = styles.empty() ? nullptr : &styles.front();
    if (characters != nullptr) *characters = text.c_str();
    if (length != nullptr) *length = static_cast<std::int32_t>(text.size());
}

GSErrCode HatchObject::SetPolygonGeometry(std::vector<Coord> coords, std::vector<Geometry::PolyArcRec> arcs,
                                          std::vector<std::uint32_t> subPolyEnds)
{
    if (coords.empty() || subPolyEnds.empty()) return APIERR_BADPARS;
    const std::size_t lastCoord = coords.size() - 1;
    for (std::size_t k = 1; k < subPolyEnds.size(); ++k)
    {
        if (subPolyEnds[k] > lastCoord) return APIERR_BADPARS;
        if (k > 1 && subPolyEnds[k] <= subPolyEnds[k - 1]) return APIERR_BADPARS;
    }
    for (const Geometry::PolyArcRec& arc : arcs)
        if (arc.begIndex < 0 || arc.endIndex < 0 || std::size_t(arc.begIndex) > lastCoord ||
            std::size_t(arc.endIndex) > lastCoord)
            return APIERR_BADPARS;
    coords_ = std::move(coords);
    arcs_ = std::move(arcs);
    subPolyEnds_ = std::move(subPolyEnds);
    return NoError;
}

bool HatchObject::operator==(const HatchObject& o) const
{
    return Same(coords_, o.coords_) && Same(arcs_, o.arcs_) && subPolyEnds_ == o.subPolyEnds_ && contPen_ == o.contPen_ &&
           fillFgPen_ == o.fillFgPen_ && fillBkgPen_ == o.fillBkgPen_ && contLType_ == o.contLType_ && fillIdx_ == o.fillIdx_ &&
           rgbFg_ == o.rgbFg_ && fgColor_ == o.fgColor_ && bkgColor_ == o.bkgColor_ && hatchTran_ == o.hatchTran_;
}

GSErrCode VectorImage::Append(Item item)
{
    try
    {
        std::visit(
            [this](auto& record) {
                if constexpr (std::is_same_v<std::decay_t<decltype(record)>, HatchItem>)
                    record.record.head.sequence = nextSequence_;
                else
                    record.head.sequence = nextSequence_;
            },
            item);
        items_.push_back(std::move(item));
    }
    catch (const std::bad_alloc&)
    {
        return APIERR_GENERAL;
    }
    ++nextSequence_;
    return NoError;
}

GSErrCode VectorImage::AddLine(const Sy_LinType& line) { return Append(line); }
GSErrCode VectorImage::AddArc(const Sy_ArcType& arc) { return Append(arc); }

GSErrCode VectorImage::AddWholeGenArc(const Sy_ArcType& arc)
{
    Sy_ArcType whole = arc;
    whole.begAng = 0.0;
    whole.endAng = TwoPi;
    return Append(whole);
}

GSErrCode VectorImage::AddPolyLine(const Sy_PolyLinType& polyline) { return Append(polyline); }
GSErrCode VectorImage::AddText(const Sy_TextType& text) { return Append(text); }
GSErrCode VectorImage::AddRichText(const Sy_RichTextType& text) { return Append(text); }
GSErrCode VectorImage::AddHatchRec(const Sy_HatchType& record, const HatchObject& hatch)
{
    return Append(HatchItem {record, hatch});
}

void VectorImage::DeleteItemsOfType(SyEnum type)
{
    items_.erase(
        std::remove_if(items_.begin(), items_.end(), [type](const Item& item) { return HeaderOf(item).item_Typ == type; }),
        items_.end());
}

bool VectorImage::GetBounds(Geometry::Box2DData* box) const
{
    Geometry::Box2DData bounds;
    bool started = false;
    for (const Item& item : items_) std::visit(BoundsOf {bounds, started}, item);
    if (started && box != nullptr) *box = bounds;
    return started;
}

bool VectorImage::operator==(const VectorImage& other) const
{
    if (items_.size() != other.items_.size()) return false;
    ConstVectorImageIterator mine(*this), theirs(other);
    for (; !mine.IsEOI(); ++mine, ++theirs)
    {
        const Item& a = mine.GetItem();
        const Item& b = theirs.GetItem();
        if (a.index() != b.index()) return false;
        const bool same =
            std::visit([&b](const auto& record) { return Same(record, std::get<std::decay_t<decltype(record)>>(b)); }, a);
        if (!same) return false;
    }
    return true;
}

int CompareVectorImageItems(const Sy_Header& a, const Sy_Header& b)
{
    if (a.item_Typ != b.item_Typ) return a.item_Typ < b.item_Typ ? -1 : 1;
    if (a.sequence != b.sequence) return a.sequence < b.sequence ? -1 : 1;
    return 0;
}

const Sy_Header& HeaderOf(const VectorImage::Item& item)
{
    return std::visit(
        [](const auto& record) -> const Sy_Header& {
            if constexpr (std::is_same_v<std::decay_t<decltype(record)>, VectorImage::HatchItem>)
                return record.record.head;
            else
                return record.head;
        },
        item);
}

ConstVectorImageIterator::ConstVectorImageIterator(const VectorImage& image) : image_(image)
{
    order_.resize(image.Items().size());
    for (std::size_t i = 0; i < order_.size(); ++i) order_[i] = i;
    std::stable_sort(order_.begin(), order_.end(), [&image](std::size_t a, std::size_t b) {
        return CompareVectorImageItems(HeaderOf(image.Items()[a]), HeaderOf(image.Items()[b])) < 0;
    });
}

SyEnum ConstVectorImageIterator::GetItemType() const { return static_cast<SyEnum>(HeaderOf(Current()).item_Typ); }
