#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <vector>

#include "API/AddOnInterface.hpp"
#include "frame/Survanto.hpp"
#include "framework/FloorPlanDatabaseScope.hpp"
#include "framework/HostApiHelpers.hpp"
#include "framework/ScopedElementMemo.hpp"
#include "measuring/MainPaletteItems.hpp"
#include "measuring/MarkerPart.hpp"
#include "measuring/MeasuringState.hpp"
#include "persistence/ProjectUser.hpp"
#include "persistence/StationIdCounter.hpp"

// Every measured point leaves a small marker object in the project, and every
// station one station marker, of which only the current station's is active.

namespace
{

using namespace MainPaletteItems;

constexpr std::int16_t InstrumentStationMode = 1;
constexpr std::int16_t PointCloudStationMode = 2;
constexpr std::int32_t FreeAreaLayerSlot = 12;
constexpr std::size_t OtherToolsKind = 10;
// A station point this close to a marker in x, y and top height is that marker's.
constexpr double StationSnapTolerance = 0.01;

// Tools whose measured points get a marker; 0 is no tool at all.
bool TakesMarker(std::int32_t tool)
{
    constexpr std::int32_t Tools[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 13, 18, 19, 20, 21, 23, 24, 43, 45};
    return std::find(std::begin(Tools), std::end(Tools), tool) != std::end(Tools);
}

// The element kind of the settings dialog whose layer and pen a tool's markers take.
std::size_t MarkerKind(std::int32_t tool)
{
    switch (tool)
    {
        case API_WallID: return 1;
        case API_ColumnID: return 2;
        case API_BeamID: return 3;
        case API_SlabID: return 4;
        case API_RoofID: return 5;
        case API_MorphID: return 6;
        case API_WindowID:
        case API_DoorID: return 7;
        case API_LineID: return 8;
        case API_HatchID: return 9;
        default: return OtherToolsKind;
    }
}

// The layer the check looks at is the one the marker is placed on: the mesh
// tool's markers go on the free-area layer, every other tool's on its kind's.
std::int32_t MarkerLayerSlot(std::int32_t tool)
{
    return tool == API_MeshID ? FreeAreaLayerSlot : static_cast<std::int32_t>(MarkerKind(tool));
}

API_AddParType* Parameter(API_ElementMemo& memo, const char* name)
{
    const std::int32_t index = FindMemoParamIndex(name, memo);
    return index < 0 ? nullptr : &memo.params[static_cast<std::size_t>(index)];
}

void SetNumber(API_ElementMemo& memo, const char* name, double value)
{
    if (API_AddParType* parameter = Parameter(memo, name)) parameter->value = value;
}

void SetText(API_ElementMemo& memo, const char* name, const GS::UniString& text)
{
    if (API_AddParType* parameter = Parameter(memo, name)) parameter->text = text;
}

double NumberOr(API_ElementMemo& memo, const char* name, double fallback)
{
    const API_AddParType* parameter = Parameter(memo, name);
    return parameter == nullptr ? fallback : parameter->value;
}

// The text before the first blank: a teamwork station id carries its user's name behind one.
GS::UniString UpToFirstBlank(const GS::UniString& id)
{
    const std::u16string& units = id.Units();
    return GS::UniString(units.substr(0, units.find(u' ')));
}

API_Elem_Head ObjectHeader(const API_Guid& guid)
{
    API_Elem_Head header {};
    header.typeID = API_ObjectID;
    header.guid = guid;
    return header;
}

// A placed marker with its parameters; false when the host cannot give both.
bool LoadMarker(const API_Guid& guid, API_Element& marker, API_ElementMemo& memo, GSErrCode& result)
{
    marker = API_Element {};
    marker.header = ObjectHeader(guid);
    result = HostGetElement(&marker);
    if (result != NoError) return false;
    result = HostGetElementMemo(&guid, &memo, APIMemoMask_AddPars);
    return result == NoError;
}

// A marker on a locked layer or locked itself is unlocked for one more try.
GSErrCode ChangeParameters(const API_Guid& guid, API_ElementMemo& memo)
{
    const GSErrCode result = HostChangeElementMemo(&guid, APIMemoMask_AddPars, &memo);
    if (result != APIERR_PAGELOCKED) return result;
    return ForceChangeElementMemo(guid, &memo, APIMemoMask_AddPars) ? NoError : result;
}

// The level of a marker's top: its station point.
double MarkerTop(const API_Element& marker, API_ElementMemo& memo)
{
    return marker.object.elevation + NumberOr(memo, "zzyzx", 0.0) + GetStoryLevel(marker.header.floorInd);
}

}  // namespace

void Survanto::SelectMarkerLayerAndPen()
{
    const std::size_t kind = MarkerKind(currentTool);
    measuredPointLayer = perTypeLayers[kind];
    measuredPointPen = perTypePens[kind];
}

void Survanto::PlaceMeasuredPointMarker()
{
    if (!TakesMarker(currentTool) && measuringMode != PickPointsItem) return;
    SelectMarkerLayerAndPen();
    std::int32_t slot = MarkerLayerSlot(currentTool);
    if (!CheckToolLayer(nullptr, nullptr, &slot))
    {
        pointStep = 0;
        return;
    }
    // The check may have put the layer the user chose into the slot.
    SelectMarkerLayerAndPen();
    const FloorPlanDatabaseScope floorPlan;
    MarkerPart part;
    if (!part.Find(MarkerPart::MeasuredPoint)) return;

    std::int16_t layer = measuredPointLayer;
    std::int16_t pen = measuredPointPen;
    if (currentTool == API_MeshID)
    {
        layer = freeAreaLayer;
        pen = freeAreaPen;
    }
    if (measuringMode == PickPointsItem)
    {
        layer = measuredPointLayer;
        pen = pickedPointPen;
    }
    RunCreationCommand([this, &part, layer, pen] {
        API_Element marker;
        ScopedElementMemo memo;
        if (part.MakeObject(marker, *memo) != NoError) return;
        marker.header.layer = layer;
        marker.object.pen = pen;
        marker.object.position = {measuringState.measuredX, measuringState.measuredY};
        marker.object.elevation = measuringState.measuredZ - GetStoryLevel(marker.header.floorInd);
        marker.object.angle = 0.0;
        MarkerPart::SetMeasuredPointLook(marker, *memo, pen);
        if (measuringState.stationMode != PointCloudStationMode) SetText(*memo, "strMeasuredfromStdID", activeStationId);
        SetNumber(*memo, "idvisible", markerIdsShown ? 1.0 : 0.0);
        const GSErrCode created = HostCreateElement(&marker, &*memo);
        memo.Dispose();
        if (created != NoError) return;
        FitElementToStorey(marker);
        HostAttachElementObserver(&marker.header, 0);
        lastMeasuredPointMarker = marker.header.guid;
    });
}

void Survanto::PickMeasuredPoints()
{
    for (;;)
    {
        API_GetPointType input {};
        if (HostInterfaceRequest(FourCC("IPOI"), &input, nullptr) != NoError) return;
        measuringState.measuredX = input.pos.x;
        measuringState.measuredY = input.pos.y;
        measuringState.measuredZ = input.pos.z;
        PlaceMeasuredPointMarker();
    }
}

void Survanto::PlaceStationMarker(double x, double y, double z)
{
    DeactivateStationMarkers(MarkerPart::InstrumentStationSymbol);
    DeactivateStationMarkers(MarkerPart::ScanStationSymbol);
    if (measuringState.stationMode == PointCloudStationMode) return;
    const API_Coord offset = GetLocationOffset();
    const bool teamwork = ProjectUser::InTeamworkProject();
    MarkerPart part;
    const bool instrument = measuringState.stationMode == InstrumentStationMode;
    if (!part.Find(instrument ? MarkerPart::InstrumentStation : MarkerPart::ScanStation)) return;

    RunCreationCommand([&] {
        API_Element marker;
        ScopedElementMemo memo;
        if (part.MakeObject(marker, *memo) != NoError) return;
        const double sizeA = marker.object.sizeA;
        const double sizeB = marker.object.sizeB;
        // The replaced marker hands on its parameters, its station id among them.
        API_Element replaced;
        ScopedElementMemo replacedMemo;
        GSErrCode result = NoError;
        const bool replacing =
            stationMarkerToReplace != APINULLGuid && LoadMarker(stationMarkerToReplace, replaced, *replacedMemo, result);
        if (replacing)
        {
            const std::int32_t partIndex = marker.object.libraryPartIndex;
            marker = replaced;
            // The memo changes owner: given back once, not twice.
            memo.Empty();
            *memo = replacedMemo.Release();
            marker.object.libraryPartIndex = partIndex;
        }
        if (!replacing && Parameter(*memo, "strStandortID") != nullptr)
        {
            StationIdCounter counter;
            counter.currentId = UpToFirstBlank(activeStationId);
            activeStationId = counter.Step(2);
            if (teamwork)
            {
                activeStationId += " ";
                activeStationId += userData.GetCurrentUserData(measuringState, *this).userName;
            }
            SetText(*memo, "strStandortID", activeStationId);
        }
        SetNumber(*memo, "bIsActual", 1.0);
        SetNumber(*memo, "penStandort", stationPen);
        marker.object.position = {x - offset.x, y - offset.y};
        marker.object.elevation = z - NumberOr(*memo, "zzyzx", 0.0) - GetStoryLevel(marker.header.floorInd);
        marker.object.angle = 0.0;
        marker.header.layer = stationLayer;
        marker.object.sizeA = sizeA;
        marker.object.sizeB = sizeB;
        // The old marker goes only once the new one stands: a refused creation keeps it.
        const GSErrCode created = HostCreateElement(&marker, &*memo);
        memo.Dispose();
        if (created != NoError) return;
        if (replacing) ForceDeleteElement(replaced.header);
        FitElementToStorey(marker);
        stationReferenceElement = marker.header.guid;
        HostAttachElementObserver(&marker.header, 0);
    });
    stationMarkerToReplace = APINULLGuid;
}

std::int32_t Survanto::UpdateStationMarkers(double* x, double* y, double* z, API_Guid* activated)
{
    if (activated != nullptr) *activated = APINULLGuid;
    const API_Coord offset = GetLocationOffset();
    DeactivateStationMarkers(MarkerPart::InstrumentStationSymbol);
    DeactivateStationMarkers(MarkerPart::ScanStationSymbol);
    const char* const currentPart = MarkerPart::StationPartOf(measuringState.stationSymbolResource);
    MarkerPart part;
    if (!part.Find(currentPart)) return NoError;
    const std::vector<API_Guid> current = MarkerPart::PlacedMarkers({currentPart});
    if (current.empty()) return NoError;
    const std::vector<API_Guid> both = MarkerPart::PlacedMarkers({MarkerPart::InstrumentStation, MarkerPart::ScanStation});

    GSErrCode last = NoError;
    RunCreationCommand([&] {
        for (const API_Guid& guid : current)
        {
            API_Element marker;
            ScopedElementMemo memo;
            if (!LoadMarker(guid, marker, *memo, last)) continue;
            const double top = MarkerTop(marker, *memo);
            if (std::fabs(marker.object.position.x - (*x - offset.x)) >= StationSnapTolerance ||
                std::fabs(marker.object.position.y - (*y - offset.y)) >= StationSnapTolerance ||
                std::fabs(top - *z) >= StationSnapTolerance)
                continue;
            bool found = false;
            API_AddParType* active = Parameter(*memo, "bIsActual");
            if (active != nullptr && active->value == 0.0)
            {
                active->value = 1.0;
                last = ChangeParameters(guid, *memo);
                if (last == NoError)
                {
                    found = true;
                    if (activated != nullptr) *activated = guid;
                    std::vector<API_Elem_Head> headers;
                    for (const API_Guid& other : both) headers.push_back(ObjectHeader(other));
                    last = HostApplyElementTool(headers.data(), static_cast<std::int32_t>(headers.size()), APITool_ResetOrder);
                    last = HostApplyElementTool(&marker.header, 1, APITool_BringToFront);
                }
            }
            *x = marker.object.position.x + offset.x;
            *y = marker.object.position.y + offset.y;
            *z = top;
            if (found) break;
        }
    });
    return last;
}

void Survanto::DeactivateStationMarkers(std::int16_t variant)
{
    const char* const uniqueId = MarkerPart::StationPartOf(variant);
    MarkerPart part;
    if (!part.Find(uniqueId)) return;
    const std::vector<API_Guid> markers = MarkerPart::PlacedMarkers({uniqueId});
    if (markers.empty()) return;
    RunCreationCommand([&markers] {
        for (const API_Guid& guid : markers)
        {
            API_Element marker;
            ScopedElementMemo memo;
            GSErrCode result = NoError;
            if (!LoadMarker(guid, marker, *memo, result)) continue;
            API_AddParType* active = Parameter(*memo, "bIsActual");
            if (active != nullptr && active->value == 1.0)
            {
                active->value = 0.0;
                ChangeParameters(guid, *memo);
            }
        }
    });
}

void Survanto::ApplyMarkerIdVisibility()
{
    MarkerPart part;
    if (!part.Find(MarkerPart::MeasuredPoint)) return;
    const std::vector<API_Guid> markers = MarkerPart::PlacedMarkers({MarkerPart::MeasuredPoint});
    if (markers.empty()) return;
    const double shown = markerIdsShown ? 1.0 : 0.0;
    RunCreationCommand([&markers, shown] {
        for (const API_Guid& guid : markers)
        {
            API_Element marker;
            ScopedElementMemo memo;
            GSErrCode result = NoError;
            if (!LoadMarker(guid, marker, *memo, result)) continue;
            const API_AddParType* stationPoint = Parameter(*memo, "bIsStandort");
            API_AddParType* idVisible = Parameter(*memo, "idvisible");
            if (stationPoint != nullptr && stationPoint->value == 0.0 && idVisible != nullptr)
            {
                idVisible->value = shown;
                ChangeParameters(guid, *memo);
            }
        }
    });
}
