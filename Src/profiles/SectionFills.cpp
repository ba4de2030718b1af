// Profiles taken over from fills drawn in the project, and profiles put back as
// fills to be edited there.
#include <new>
#include <vector>

#include "frame/Survanto.hpp"
#include "frame/UInterface.hpp"
#include "framework/HostApiHelpers.hpp"
#include "framework/OwnChangeScope.hpp"
#include "framework/ScopedElementMemo.hpp"
#include "profiles/SectionPalette.hpp"

namespace
{

constexpr std::int32_t NoHotspotText = 40;
constexpr std::int32_t TwoHotspotsText = 41;
constexpr std::int32_t NoFillText = 42;
constexpr std::uint64_t FillMemoMask = 0x07FFFFFFBFFFFFFF;

void ShowFillAlert(std::int32_t text)
{
    ShowAlert(AlertError, AlertStringListId, AlertErrorTitle, text, NoAlertText, AlertOkButton, NoAlertText, NoAlertText,
              CurrentResourceModule(), AlertStringType);
}

bool ReadElement(const API_Guid& guid, API_Element& element)
{
    element = API_Element();
    element.header.guid = guid;
    return HostGetElement(&element) == NoError;
}

// A memo that holds fewer entries than the fill's counts name is not read at all.
bool MemoHoldsPolygon(const API_ElementMemo& memo, const API_Polygon& poly)
{
    return poly.nCoords >= 0 && poly.nSubPolys >= 0 && poly.nArcs >= 0 && memo.coords.size() > std::size_t(poly.nCoords) &&
           memo.pends.size() > std::size_t(poly.nSubPolys) && memo.parcs.size() >= std::size_t(poly.nArcs);
}

// The fill as a profile polygon about the origin; false when its memo cannot be read.
bool PolygonOfFill(const API_Guid& guid, const API_Coord& origin, SectionPalette::SectionDataType& polygon)
{
    API_Element fill;
    if (!ReadElement(guid, fill)) return false;
    ScopedElementMemo memo;
    const bool read = HostGetElementMemo(&guid, &*memo, FillMemoMask) == NoError && MemoHoldsPolygon(*memo, fill.hatch.poly);
    if (read)
    {
        const API_Polygon& poly = fill.hatch.poly;
        polygon.coordCount = poly.nCoords;
        for (std::int32_t i = 0; i <= poly.nCoords; ++i)
        {
            const API_Coord& c = memo->coords[std::size_t(i)];
            polygon.coords.Add({c.x - origin.x, c.y - origin.y});
        }
        polygon.arcCount = poly.nArcs;
        for (std::int32_t i = 0; i < poly.nArcs; ++i) polygon.arcs.Add(memo->parcs[std::size_t(i)]);
        polygon.endCount = poly.nSubPolys;
        for (std::int32_t i = 0; i <= poly.nSubPolys; ++i) polygon.ends.Add(memo->pends[std::size_t(i)]);
        polygon.contourPen = fill.hatch.pen;
        polygon.fillPen = fill.hatch.fillPen;
        polygon.backgroundPen = fill.hatch.fillBGPen;
        polygon.fillPattern = fill.hatch.fillInd;
        polygon.contourLineType = fill.hatch.ltypeInd;
    }
    memo.Dispose();
    return read && polygon.HoldsItsCounts();
}

// The fill's memo moved by the point; false when a list cannot be had.
bool FillMemoAt(const SectionPalette::SectionDataType& polygon, const API_Coord& point, API_ElementMemo& memo)
{
    try
    {
        memo.coords.assign(std::size_t(polygon.coordCount) + 1, API_Coord {});
        memo.pends.assign(std::size_t(polygon.endCount) + 1, 0);
        memo.parcs.assign(std::size_t(polygon.arcCount), API_PolyArc {});
    }
    catch (const std::bad_alloc&)
    {
        return false;
    }
    for (std::int32_t i = 1; i <= polygon.coordCount; ++i)
    {
        const API_Coord& c = polygon.coords[std::uint32_t(i)];
        memo.coords[std::size_t(i)] = {c.x + point.x, c.y + point.y};
    }
    for (std::int32_t i = 1; i <= polygon.endCount; ++i) memo.pends[std::size_t(i)] = polygon.ends[std::uint32_t(i)];
    for (std::int32_t i = 0; i < polygon.arcCount; ++i) memo.parcs[std::size_t(i)] = polygon.arcs[std::uint32_t(i)];
    return true;
}

}  // namespace

bool SectionPalette::PolygonsFromSelectedFills()
{
    currentPolygons.Clear();
    API_SelectionInfo info;
    std::vector<API_Neig> selected;
    if (HostGetSelection(&info, nullptr, false, true) != NoError || HostGetSelection(&info, &selected, false, true) != NoError)
    {
        ShowFillAlert(NoFillText);
        return false;
    }
    std::vector<API_Guid> fills;
    bool hasOrigin = false;
    API_Coord origin {};
    for (const API_Neig& neig : selected)
    {
        const API_ElemTypeID type = NeigToElemType(neig.neigID);
        if (type == API_HatchID) fills.push_back(neig.guid);
        if (type != API_HotspotID) continue;
        if (hasOrigin)
        {
            ShowFillAlert(TwoHotspotsText);
            return false;
        }
        API_Element hotspot;
        if (!ReadElement(neig.guid, hotspot)) continue;
        hasOrigin = true;
        origin = hotspot.hotspot.position;
    }
    if (!hasOrigin || fills.empty())
    {
        ShowFillAlert(hasOrigin ? NoFillText : NoHotspotText);
        return false;
    }
    for (const API_Guid& guid : fills)
    {
        SectionDataType polygon;
        if (PolygonOfFill(guid, origin, polygon)) currentPolygons.Add(polygon);
    }
    if (currentPolygons.IsEmpty())
    {
        ShowFillAlert(NoFillText);
        return false;
    }
    return true;
}

void SectionPalette::PlaceForEditing()
{
    const std::int16_t current = ValidCurrentProfile();
    if (current == 0 || std::uint32_t(current) > profileImages.GetSize()) return;
    ImageToPolygons(profileImages[std::uint32_t(current - 1)]);
    API_GetPointType input {};
    if (HostInterfaceRequest(FourCC("IPOI"), &input, nullptr) != NoError) return;
    const API_Coord point {input.pos.x, input.pos.y};
    HostCallUndoableCommand(GS::UniString(), [this, &point]() -> GSErrCode {
        const OwnChangeScope ownChange;
        PlaceCurrentPolygonsAt(point);
        return NoError;
    });
}

// The fills take the fill tool's settings, not the profile's attributes.
void SectionPalette::PlaceCurrentPolygonsAt(const API_Coord& point)
{
    for (const SectionDataType& polygon : currentPolygons)
    {
        if (!polygon.HoldsItsCounts()) continue;
        API_Element fill = ElementToolDefaults(API_HatchID);
        fill.hatch.poly = {polygon.coordCount, polygon.endCount, polygon.arcCount};
        ScopedElementMemo memo;
        if (FillMemoAt(polygon, point, *memo)) HostCreateElement(&fill, &*memo);
    }
    API_Element hotspot = ElementToolDefaults(API_HotspotID);
    hotspot.hotspot.position = point;
    HostCreateElement(&hotspot, nullptr);
}
