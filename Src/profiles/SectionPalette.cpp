#include "profiles/SectionPalette.hpp"

#include <cmath>
#include <new>
#include <set>
#include <utility>
#include <vector>

#include "frame/PaletteGuids.hpp"
#include "framework/Tolerance.hpp"

namespace
{

using Coord = Geometry::Point2<double>;

constexpr double FlatArcAngle = GeometricTolerance;

// Smallest stored sizes, for bounding counts by the bytes left.
constexpr std::int64_t ProfileBytes = 8;   // name count, polygon count
constexpr std::int64_t PolygonBytes = 12;  // three counts
constexpr std::int64_t CoordBytes = 16;
constexpr std::int64_t EndBytes = 4;
constexpr std::int64_t ArcBytes = 16;

bool Fits(CDataRecorder& recorder, std::int64_t count, std::int64_t bytesEach)
{
    return count <= 0 || count <= recorder.GetBytesLeft() / bytesEach;
}

// Sorts the first count arcs by begin index as a selection sort does: each
// position takes the smallest remaining begin index, the earliest place winning
// a tie, by swapping with it. Ordered by (begin, place), in n log n.
void SortArcsByBegin(TypVektor<API_PolyArc>& arcs, std::uint32_t count)
{
    std::set<std::pair<std::int32_t, std::uint32_t>> remaining;
    for (std::uint32_t i = 0; i < count; ++i) remaining.insert({arcs[i].begIndex, i});
    for (std::uint32_t i = 0; i < count; ++i)
    {
        const auto smallest = *remaining.begin();
        remaining.erase(remaining.begin());
        const std::uint32_t place = smallest.second;
        if (place == i) continue;
        remaining.erase({arcs[i].begIndex, i});
        remaining.insert({arcs[i].begIndex, place});
        std::swap(arcs[i], arcs[place]);
    }
}

// The angle of each vertex's outgoing edge. An arc whose begin index is not a
// vertex with a following one (0, n or more), or that repeats a begin index
// already taken, is left out by itself.
std::vector<double> AnglesPerVertex(SectionPalette::SectionDataType& polygon, std::int32_t n)
{
    std::vector<double> angles(static_cast<std::size_t>(n) + 1, 0.0);
    if (polygon.arcCount < 1) return angles;
    const auto count = static_cast<std::uint32_t>(polygon.arcCount);
    SortArcsByBegin(polygon.arcs, count);
    std::vector<bool> taken(angles.size(), false);
    for (std::uint32_t i = 0; i < count; ++i)
    {
        const API_PolyArc& arc = polygon.arcs[i];
        if (arc.begIndex < 1 || arc.begIndex >= n || taken[static_cast<std::size_t>(arc.begIndex)]) continue;
        taken[static_cast<std::size_t>(arc.begIndex)] = true;
        angles[static_cast<std::size_t>(arc.begIndex)] = arc.arcAngle;
    }
    return angles;
}

// Counts that do not match the lists cannot be drawn.
void AppendHatch(SectionPalette::SectionDataType& polygon, VectorImage& image)
{
    const std::int32_t n = polygon.coordCount;
    std::vector<std::uint32_t> ends(static_cast<std::size_t>(polygon.endCount) + 1);
    ends[0] = 1;
    for (std::size_t k = 1; k < ends.size(); ++k)
        ends[k] = static_cast<std::uint32_t>(polygon.ends[static_cast<std::uint32_t>(k)]);
    std::vector<Coord> coords(static_cast<std::size_t>(n) + 1);
    for (std::size_t i = 1; i < coords.size(); ++i)
    {
        const API_Coord& c = polygon.coords[static_cast<std::uint32_t>(i)];
        coords[i] = {c.x, c.y};
    }
    const std::vector<double> angles = AnglesPerVertex(polygon, n);
    std::vector<Geometry::PolyArcRec> arcs;
    for (std::size_t v = 0; v < angles.size(); ++v)
        if (std::fabs(angles[v]) > FlatArcAngle)
            arcs.push_back({static_cast<std::int32_t>(v), static_cast<std::int32_t>(v + 1), angles[v]});

    HatchObject hatch;
    hatch.SetExtendedFillFgPen(VBAttr::ExtendedPen(polygon.fillPen, polygon.fillPen));
    hatch.SetContPen(VBAttr::ExtendedPen(polygon.contourPen, polygon.contourPen));
    hatch.SetFillBkgPen(polygon.backgroundPen);
    hatch.SetContLType(polygon.contourLineType);
    hatch.SetFillIdx(polygon.fillPattern);
    hatch.GetHatchTran().Reset();
    hatch.GetHatchTran().SetGlobal();
    if (hatch.SetPolygonGeometry(std::move(coords), std::move(arcs), std::move(ends)) != NoError) return;
    image.AddHatchRec(Sy_HatchType {}, hatch);
}

SectionPalette::SectionDataType PolygonOfHatch(const HatchObject& hatch)
{
    SectionPalette::SectionDataType polygon;
    for (const Coord& c : hatch.GetCoords()) polygon.coords.Add(API_Coord {c.x, c.y});
    for (const Geometry::PolyArcRec& arc : hatch.GetArcs())
        polygon.arcs.Add(API_PolyArc {arc.begIndex, arc.endIndex, arc.arcAngle});
    for (const std::uint32_t end : hatch.GetSubPolyEnds()) polygon.ends.Add(static_cast<int>(end));
    polygon.coordCount = static_cast<std::int32_t>(hatch.GetCoords().size()) - 1;
    polygon.arcCount = static_cast<std::int32_t>(hatch.GetArcs().size());
    polygon.endCount = static_cast<std::int32_t>(hatch.GetSubPolyEnds().size()) - 1;
    polygon.contourPen = hatch.GetContPen().GetIndex();
    polygon.fillPen = hatch.GetExtendedFillFgPen().GetIndex();
    polygon.backgroundPen = hatch.GetFillBkgPen();
    polygon.fillPattern = hatch.GetFillIdx();
    polygon.contourLineType = hatch.GetContLType();
    return polygon;
}

}  // namespace

bool SectionPalette::SectionDataType::HoldsItsCounts() const
{
    return coordCount >= 0 && endCount >= 0 && arcCount >= 0 && coords.GetSize() >= std::uint64_t(coordCount) + 1 &&
           ends.GetSize() >= std::uint64_t(endCount) + 1 && arcs.GetSize() >= std::uint64_t(arcCount);
}

SectionPalette::SectionPalette()
{
    SetDialogId(32426);
    SetPaletteGuid(sectionPaletteGuid);
}

void SectionPalette::ImageToPolygons(VectorImage image)
{
    currentPolygons.Clear();
    for (ConstVectorImageIterator it(image); !it.IsEOI(); ++it)
        if (it.GetItemType() == SyHatch) currentPolygons.Add(PolygonOfHatch(it.GetHatchObject()));
}

void SectionPalette::PolygonsToImage(VectorImage& image)
{
    try
    {
        for (SectionDataType& polygon : currentPolygons)
            if (polygon.HoldsItsCounts()) AppendHatch(polygon, image);
    }
    catch (const std::bad_alloc&)
    {
        // The hatches already added stay.
    }
}

bool SectionPalette::WritePolygon(CDataRecorder& recorder, const SectionDataType& polygon)
{
    bool written =
        recorder.WriteLong(polygon.coordCount) && recorder.WriteLong(polygon.endCount) && recorder.WriteLong(polygon.arcCount);
    for (std::int32_t i = 0; written && i <= polygon.coordCount; ++i)
    {
        const API_Coord& c = polygon.coords[static_cast<std::uint32_t>(i)];
        written = recorder.WriteDouble(c.x) && recorder.WriteDouble(c.y);
    }
    for (std::int32_t k = 0; written && k <= polygon.endCount; ++k)
        written = recorder.WriteLong(polygon.ends[static_cast<std::uint32_t>(k)]);
    for (std::int32_t a = 0; written && a < polygon.arcCount; ++a)
    {
        const API_PolyArc& arc = polygon.arcs[static_cast<std::uint32_t>(a)];
        written = recorder.WriteDouble(arc.arcAngle) && recorder.WriteLong(arc.begIndex) && recorder.WriteLong(arc.endIndex);
    }
    return written && recorder.WriteShort(polygon.contourPen) && recorder.WriteShort(polygon.fillPen) &&
           recorder.WriteShort(polygon.backgroundPen) && recorder.WriteShort(polygon.fillPattern) &&
           recorder.WriteShort(polygon.contourLineType);
}

bool SectionPalette::WriteProfiles(CDataRecorder& recorder)
{
    const TypVektor<SectionDataType> kept = currentPolygons;
    const std::uint32_t count = profileImages.GetSize();
    bool written = recorder.WriteLong(static_cast<std::int32_t>(count));
    for (std::uint32_t i = 0; written && i < count; ++i)
    {
        written = recorder.WriteUniString(i < profileNames.GetSize() ? profileNames[i] : GS::UniString());
        ImageToPolygons(profileImages[i]);
        written = written && recorder.WriteLong(static_cast<std::int32_t>(currentPolygons.GetSize()));
        for (std::uint32_t p = 0; written && p < currentPolygons.GetSize(); ++p)
            written = WritePolygon(recorder, currentPolygons[p]);
    }
    currentPolygons = kept;
    return written;
}

bool SectionPalette::ReadPolygon(CDataRecorder& recorder, std::int32_t version, SectionDataType& polygon)
{
    if (!recorder.ReadLong(polygon.coordCount) || !recorder.ReadLong(polygon.endCount) || !recorder.ReadLong(polygon.arcCount))
        return false;
    const std::int64_t coords = std::int64_t {polygon.coordCount} + 1, ends = std::int64_t {polygon.endCount} + 1;
    if (!Fits(recorder, coords, CoordBytes)) return false;
    for (std::int64_t i = 0; i < coords; ++i)
    {
        API_Coord c;
        if (!recorder.ReadDouble(c.x) || !recorder.ReadDouble(c.y)) return false;
        polygon.coords.Add(c);
    }
    if (!Fits(recorder, ends, EndBytes)) return false;
    for (std::int64_t k = 0; k < ends; ++k)
    {
        std::int32_t end = 0;
        if (!recorder.ReadLong(end)) return false;
        polygon.ends.Add(end);
    }
    if (!Fits(recorder, polygon.arcCount, ArcBytes)) return false;
    for (std::int32_t a = 0; a < polygon.arcCount; ++a)
    {
        API_PolyArc arc;
        if (!recorder.ReadDouble(arc.arcAngle) || !recorder.ReadLong(arc.begIndex) || !recorder.ReadLong(arc.endIndex))
            return false;
        polygon.arcs.Add(arc);
    }
    if (version < AttributesVersion) return true;
    return recorder.ReadShort(polygon.contourPen) && recorder.ReadShort(polygon.fillPen) &&
           recorder.ReadShort(polygon.backgroundPen) && recorder.ReadShort(polygon.fillPattern) &&
           recorder.ReadShort(polygon.contourLineType);
}

bool SectionPalette::ReadProfile(CDataRecorder& recorder, std::int32_t version, GS::UniString& name, VectorImage& image,
                                 bool& drawn)
{
    std::int32_t count = 0;
    if (!recorder.ReadUniString(name) || !recorder.ReadLong(count) || !Fits(recorder, count, PolygonBytes)) return false;
    TypVektor<SectionDataType> polygons;
    bool whole = true;
    for (std::int32_t p = 0; whole && p < count; ++p)
    {
        SectionDataType polygon;
        whole = ReadPolygon(recorder, version, polygon);
        if (whole) polygons.Add(polygon);
    }
    drawn = polygons.GetSize() > 0;
    currentPolygons = std::move(polygons);
    PolygonsToImage(image);
    currentPolygons.Clear();
    return whole;
}

bool SectionPalette::ReadProfiles(CDataRecorder& recorder, std::int32_t version)
{
    std::int32_t count = 0;
    if (!recorder.ReadLong(count) || !Fits(recorder, count, ProfileBytes)) return false;
    TypVektor<SectionDataType> kept = currentPolygons;
    TypVektor<GS::UniString> names;
    TypVektor<VectorImage> images;
    bool read = true;
    for (std::int32_t i = 0; read && i < count; ++i)
    {
        GS::UniString name;
        VectorImage image;
        bool drawn = false;
        read = ReadProfile(recorder, version, name, image, drawn);
        // A name goes in only with its drawing.
        if ((read || drawn) && names.Add(name) && !images.Add(image)) names.Delete(names.GetSize() - 1);
    }
    profileNames = std::move(names);
    profileImages = std::move(images);
    currentPolygons = std::move(kept);
    return read;
}
