#include "measuring/MarkerPart.hpp"

#include <cstdio>
#include <cstring>

#include "framework/HostApiHelpers.hpp"

namespace
{

// The braced main GUID that starts a unique id.
constexpr std::size_t MainGuidLength = 38;
constexpr std::size_t LibPartIdBuffer = 200;
constexpr double MeasuredPointSize = 0.3;

void SetNumber(API_ElementMemo& memo, const char* name, double value)
{
    const std::int32_t index = FindMemoParamIndex(name, memo);
    if (index >= 0) memo.params[static_cast<std::size_t>(index)].value = value;
}

bool SameMainGuid(const char* placedId, const char* uniqueId) { return std::strncmp(placedId, uniqueId, MainGuidLength) == 0; }

}  // namespace

const char* MarkerPart::StationPartOf(std::int16_t symbolResource)
{
    return symbolResource == InstrumentStationSymbol ? InstrumentStation : ScanStation;
}

bool MarkerPart::Find(const char* uniqueId)
{
    API_LibPart part;
    std::snprintf(part.uniqueId, sizeof part.uniqueId, "%s", uniqueId);
    if (HostSearchLibraryPart(&part) != NoError) return false;
    index_ = part.index;
    return true;
}

GSErrCode MarkerPart::MakeObject(API_Element& element, API_ElementMemo& memo) const
{
    element = API_Element {};
    element.header.typeID = API_ObjectID;
    if (const GSErrCode error = HostGetElementDefaults(&element, &memo); error != NoError) return error;
    double a = 0.0, b = 0.0;
    if (const GSErrCode error = HostGetLibraryPartParameters(index_, &a, &b, &memo.params); error != NoError) return error;
    element.object.libraryPartIndex = index_;
    element.object.sizeA = a;
    element.object.sizeB = b;
    return NoError;
}

void MarkerPart::SetMeasuredPointLook(API_Element& marker, API_ElementMemo& memo, std::int16_t pen)
{
    marker.object.sizeA = MeasuredPointSize;
    marker.object.sizeB = MeasuredPointSize;
    SetNumber(memo, "zzyzx", MeasuredPointSize);
    for (const char* penName : {"penHotPoint", "penHotPointGER", "penHotPointFRA"}) SetNumber(memo, penName, pen);
}

std::vector<API_Guid> MarkerPart::PlacedMarkers(std::initializer_list<const char*> uniqueIds)
{
    std::vector<API_Guid> objects, markers;
    if (HostGetElementList(API_ObjectID, &objects) != NoError) return markers;
    for (const API_Guid& guid : objects)
    {
        API_Elem_Head header {};
        header.typeID = API_ObjectID;
        header.guid = guid;
        char placedId[LibPartIdBuffer] {};
        GetElementLibPartId(header, placedId, sizeof placedId);
        for (const char* uniqueId : uniqueIds)
            if (SameMainGuid(placedId, uniqueId))
            {
                markers.push_back(guid);
                break;
            }
    }
    return markers;
}

bool MarkerPart::IsMeasuredPointMarker(const API_Element& object)
{
    API_LibPart part;
    part.index = object.object.libraryPartIndex;
    if (HostGetLibraryPart(&part) != NoError) return false;
    char markerId[API_UniIDLength] {};
    std::snprintf(markerId, sizeof markerId, "%s", MeasuredPoint);
    const GSErrCode answer = HostUtilityRequest(FourCC("COMP"), part.uniqueId, markerId);
    return answer == NoError || answer == APIERR_COMPATIBLEPART;
}

void MarkerPart::GatherSelectedMeasuredPoints(TypVektor<API_Coord3D>& points, std::int32_t fewestSelected)
{
    API_SelectionInfo info;
    std::vector<API_Neig> selected;
    if (HostGetSelection(&info, &selected, false, true) != NoError) return;
    if (info.sel_nElem < fewestSelected) return;
    for (const API_Neig& neig : selected)
    {
        if (NeigToElemType(neig.neigID) != API_ObjectID) continue;
        API_Element object;
        object.header.guid = neig.guid;
        if (HostGetElement(&object) != NoError || !IsMeasuredPointMarker(object)) continue;
        points.Add({object.object.position.x, object.object.position.y,
                    GetStoryLevel(object.header.floorInd) + object.object.elevation});
    }
}
