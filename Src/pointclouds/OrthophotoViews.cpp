#include "pointclouds/OrthophotoViews.hpp"

#include <cstdio>

#include "API/AddOnInterface.hpp"
#include "framework/AngleConstants.hpp"
#include "framework/ScopedElementMemo.hpp"
#include "framework/Vektor2D.hpp"

namespace
{

constexpr std::int32_t SectionMarkerKind = 2;
constexpr std::int32_t ElevationMarkerKind = 1;
constexpr double QuarterTurn = HalfPi;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

void CopyText(char* target, std::size_t size, const std::string& text) { std::snprintf(target, size, "%s", text.c_str()); }

// The tool's defaults get the next reference id; the mask covers only that field.
void AdvanceToolReferenceId(API_Element defaults)
{
    CopyText(defaults.cutPlane.referenceId, sizeof defaults.cutPlane.referenceId,
             NextReferenceId(std::string(defaults.cutPlane.referenceId)));
    API_Element mask;
    MarkToChange(mask.cutPlane.referenceId);
    HostChangeElementDefaults(&defaults, nullptr, &mask);
}

API_Guid CreateCutPlaneView(API_ElemTypeID type, std::int32_t markerKind, const GS::UniString& name, const API_Coord& begin,
                            const API_Coord& end, bool leftSide, double lowerLimit, double upperLimit)
{
    API_Element element;
    element.header.typeID = type;
    ScopedElementMemo memo;
    API_SubElement marker;
    marker.subType = APISubElement_MainMarker;
    if (HostGetElementDefaultsWithSubElements(&element, &*memo, 1, &marker) != NoError) return APINULLGuid;
    const API_Element defaults = element;
    CopyText(element.cutPlane.name, sizeof element.cutPlane.name, name.ToUtf8());
    element.cutPlane.lowerLimit = lowerLimit;
    element.cutPlane.upperLimit = upperLimit;
    element.cutPlane.kind = markerKind;

    Vektor2D normal(end.x - begin.x, end.y - begin.y);
    normal.Normalize();
    normal.Rotate(leftSide ? QuarterTurn : -QuarterTurn);
    const API_Coord shiftedBegin {begin.x + normal.x, begin.y + normal.y};
    const API_Coord shiftedEnd {end.x + normal.x, end.y + normal.y};
    memo->sectionMainCoords = {begin, end};
    memo->sectionDistCoords = {shiftedBegin, shiftedEnd};
    memo->sectionDepthCoords = {shiftedBegin, shiftedEnd};

    API_DatabaseInfo kept {};
    const bool switched = HostDatabaseRequest(FourCC("GDAT"), &kept, nullptr) == NoError && kept.typeID != APIWind_FloorPlanID;
    if (switched)
    {
        API_DatabaseInfo floorPlan {};
        floorPlan.typeID = APIWind_FloorPlanID;
        HostDatabaseRequest(FourCC("CDAT"), &floorPlan, nullptr);
    }
    const bool created = HostCreateElementWithSubElements(&element, &*memo, 1, &marker) == NoError;
    memo.Dispose();
    HostDisposeElementMemo(&marker.memo);
    AdvanceToolReferenceId(defaults);
    if (switched) HostDatabaseRequest(FourCC("CDAT"), &kept, nullptr);
    return created ? element.header.guid : APINULLGuid;
}

}  // namespace

std::string NextReferenceId(const std::string& id)
{
    std::size_t digitsFrom = id.size();
    while (digitsFrom > 0 && IsDigit(id[digitsFrom - 1])) --digitsFrom;
    if (digitsFrom == id.size()) return id + "1";
    std::string next = id;
    std::size_t at = next.size();
    while (at > digitsFrom)
    {
        --at;
        if (next[at] != '9')
        {
            ++next[at];
            return next;
        }
        next[at] = '0';
    }
    next.insert(digitsFrom, "1");
    return next;
}

API_Guid CreateSectionView(const GS::UniString& name, double beginX, double beginY, double endX, double endY, bool leftSide,
                           double lowerLimit, double upperLimit)
{
    return CreateCutPlaneView(API_CutPlaneID, SectionMarkerKind, name, {beginX, beginY}, {endX, endY}, leftSide, lowerLimit,
                              upperLimit);
}

API_Guid CreateElevationView(const GS::UniString& name, double beginX, double beginY, double endX, double endY, bool leftSide,
                             double lowerLimit, double upperLimit)
{
    return CreateCutPlaneView(API_ElevationID, ElevationMarkerKind, name, {beginX, beginY}, {endX, endY}, leftSide, lowerLimit,
                              upperLimit);
}
