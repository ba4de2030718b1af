#include "VectorImage/HatchRenderer.hpp"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "Geometry/GenArc.hpp"

namespace
{

using Coord = Geometry::Point2<double>;

constexpr double ChordTolerance = 0.001;
constexpr double MillimetresPerMetre = 1000.0;
constexpr long MaxLinesPerFamily = 10000;

const Geometry::PolyArcRec* ArcFrom(const HatchObject& hatch, std::size_t index)
{
    for (const Geometry::PolyArcRec& arc : hatch.GetArcs())
        if (arc.begIndex >= 0 && std::size_t(arc.begIndex) == index && arc.arcAngle != 0.0) return &arc;
    return nullptr;
}

void AppendEdge(std::vector<Coord>& ring, const Coord& a, const Coord& b, const Geometry::PolyArcRec* arc)
{
    ring.push_back(a);
    Geometry::GenArc circle;
    if (arc == nullptr || !Geometry::SetGenArcPtr(&circle, a, b, arc->arcAngle)) return;
    std::vector<Coord> chain = Geometry::DivideEllArcToCo(circle, ChordTolerance);
    if (arc->arcAngle < 0) std::reverse(chain.begin(), chain.end());
    if (chain.size() > 2) ring.insert(ring.end(), chain.begin() + 1, chain.end() - 1);
}

// The rings as closed point chains; ring 1 starts at coordinate 1 whatever the
// lead entry of the end list holds.
std::vector<std::vector<Coord>> RingsOf(const HatchObject& hatch)
{
    const std::vector<Coord>& coords = hatch.GetCoords();
    const std::vector<std::uint32_t>& ends = hatch.GetSubPolyEnds();
    std::vector<std::vector<Coord>> rings;
    std::size_t first = 1;
    for (std::size_t k = 1; k < ends.size(); ++k)
    {
        const std::size_t last = std::min<std::size_t>(ends[k], coords.size() - 1);
        std::vector<Coord> ring;
        for (std::size_t i = first; i < last; ++i) AppendEdge(ring, coords[i], coords[i + 1], ArcFrom(hatch, i));
        if (last >= first) ring.push_back(coords[last]);
        if (ring.size() >= 3) rings.push_back(std::move(ring));
        first = last + 1;
    }
    return rings;
}

Coord Turn(const Coord& p, double c, double s) { return {p.x * c - p.y * s, p.x * s + p.y * c}; }

GSErrCode DrawLineFamily(const std::vector<std::vector<Coord>>& rings, const API_FillLine& family, const Coord& origin,
                         const HatchObject& hatch, const HatchDrawContext& context)
{
    const double spacing = family.spacing / MillimetresPerMetre * context.planScale;
    if (!(spacing > 0.0) || family.spacing / MillimetresPerMetre < context.minSpacing) return NoError;
    // Lines run along x in the turned frame.
    const double c = std::cos(family.angle), s = std::sin(family.angle);
    std::vector<std::vector<Coord>> turned;
    double yMin = HUGE_VAL, yMax = -HUGE_VAL;
    for (const std::vector<Coord>& ring : rings)
    {
        std::vector<Coord>& t = turned.emplace_back();
        for (const Coord& p : ring)
        {
            t.push_back(Turn(p, c, -s));
            yMin = std::min(yMin, t.back().y), yMax = std::max(yMax, t.back().y);
        }
    }
    const double base = Turn(origin, c, -s).y + family.offset / MillimetresPerMetre * context.planScale;
    const double firstLine = std::ceil((yMin - base) / spacing), lastLine = std::floor((yMax - base) / spacing);
    if (lastLine - firstLine > MaxLinesPerFamily) return NoError;
    std::vector<double> crossings;
    for (double k = firstLine; k <= lastLine; ++k)
    {
        const double y = base + k * spacing;
        crossings.clear();
        for (const std::vector<Coord>& ring : turned)
            for (std::size_t i = 0; i < ring.size(); ++i)
            {
                const Coord& p = ring[i];
                const Coord& q = ring[(i + 1) % ring.size()];
                if ((p.y > y) == (q.y > y)) continue;
                crossings.push_back(p.x + (y - p.y) * (q.x - p.x) / (q.y - p.y));
            }
        std::sort(crossings.begin(), crossings.end());
        for (std::size_t j = 0; j + 1 < crossings.size(); j += 2)
        {
            if (crossings[j + 1] <= crossings[j]) continue;
            const GSErrCode result = context.lineProc(&context, Turn({crossings[j], y}, c, s), Turn({crossings[j + 1], y}, c, s),
                                                      hatch.GetExtendedFillFgPen());
            if (result != NoError) return result;
        }
    }
    return NoError;
}

}  // namespace

GSErrCode AttributeReader::GetFill(std::int16_t index, API_FilltypeType* fill) const
{
    if (fill == nullptr) return APIERR_BADPARS;
    API_Attribute attribute;
    std::memset(&attribute, 0, sizeof attribute);
    attribute.header.typeID = API_FilltypeID;
    attribute.header.index = index;
    const GSErrCode result = set_.GetAttribute(&attribute);
    if (result == NoError) *fill = attribute.filltype;
    return result;
}

GSErrCode DrawSyHatch(const AttributeReader& reader, const HatchObject& hatch, const HatchDrawContext& context, bool patternOnly)
{
    API_FilltypeType fill;
    if (const GSErrCode result = reader.GetFill(hatch.GetFillIdx(), &fill); result != NoError) return result;
    if (!patternOnly && context.fillProc != nullptr)
        if (const GSErrCode result = context.fillProc(&context, hatch); result != NoError) return result;
    if (fill.subType == APIFill_Vector && context.lineProc != nullptr)
    {
        const std::vector<std::vector<Coord>> rings = RingsOf(hatch);
        const Coord origin = hatch.GetHatchTran().IsGlobal() || hatch.GetCoords().size() < 2 ? Coord {} : hatch.GetCoords()[1];
        const auto families =
            static_cast<std::size_t>(std::clamp<std::int16_t>(fill.lineCount, 0, std::int16_t(API_MaxFillLines)));
        for (std::size_t f = 0; f < families && !rings.empty(); ++f)
            if (const GSErrCode result = DrawLineFamily(rings, fill.lines[f], origin, hatch, context); result != NoError)
                return result;
    }
    if (!patternOnly && context.contourProc != nullptr) return context.contourProc(&context, hatch);
    return NoError;
}
