#include <vector>

#include "API/AddOnInterface.hpp"
#include "frame/Survanto.hpp"
#include "framework/HostApiHelpers.hpp"
#include "framework/ScopedElementMemo.hpp"
#include "framework/Vektor2D.hpp"
#include "measuring/MainPaletteItems.hpp"
#include "measuring/MarkerPart.hpp"
#include "measuring/MeasuringState.hpp"

// Where the instrument stands: its alignment, its marker in the project, a
// station taken from a measured point, and the reset when a project closes.

namespace
{

using namespace MainPaletteItems;

constexpr std::int16_t InstrumentStationMode = 1;

// The first station marker of the part that carries the station id, in the host's list order.
API_Guid MarkerOfStation(const char* uniqueId, const GS::UniString& stationId)
{
    for (const API_Guid& guid : MarkerPart::PlacedMarkers({uniqueId}))
    {
        ScopedElementMemo memo;
        if (HostGetElementMemo(&guid, &*memo, APIMemoMask_AddPars) != NoError) continue;
        const std::int32_t index = FindMemoParamIndex("strStandortID", *memo);
        const bool same = index >= 0 && memo->params[static_cast<std::size_t>(index)].text == stationId;
        memo.Dispose();
        if (same) return guid;
    }
    return APINULLGuid;
}

}  // namespace

// Two points at one place give no direction: the second point is measured again.
void Survanto::AlignInstrument()
{
    if (actionPoints.GetSize() < 2) return;
    const API_Coord3D reference = actionPoints[0];
    const API_Coord3D direction = actionPoints[1];
    const Vektor2D d(direction.x - reference.x, direction.y - reference.y);
    if (d.GetLength() < Vektor2D::LengthTolerance)
    {
        actionPoints.Clear();
        actionPoints.Add(reference);
        pointStep = 1;
        return;
    }
    measuringState.stationAngle = -d.GetAngle();
    pointStep = 0;
    measuringMode = 0;
    SetMainPaletteItemValue(AlignInstrumentItem, 0.0);
    measuringState.alignmentPending = 0;
    ReplaceStationMarker();
}

void Survanto::EnsureStationMarker()
{
    if (stationReferenceElement == APINULLGuid)
        PlaceStationMarker(measuringState.stationX, measuringState.stationY, measuringState.stationZ);
}

void Survanto::ReplaceStationMarker()
{
    if (activeStationId != "0")
    {
        const char* const uniqueId = MarkerPart::StationPartOf(measuringState.stationSymbolResource);
        MarkerPart part;
        if (part.Find(uniqueId)) stationMarkerToReplace = MarkerOfStation(uniqueId, activeStationId);
    }
    PlaceStationMarker(measuringState.stationX, measuringState.stationY, measuringState.stationZ);
    stationMarkerToReplace = APINULLGuid;
    SaveModuleData();
}

void Survanto::SetStationFromMeasuredPoint()
{
    if (measuringState.stationMode == InstrumentStationMode) return;
    const API_Coord offset = GetLocationOffset();
    measuringState.stationX = measuringState.measuredX + offset.x;
    measuringState.stationY = measuringState.measuredY + offset.y;
    measuringState.stationZ = measuringState.measuredZ;
    // A marker already standing at the point becomes the station's; only without one is a marker placed.
    API_Guid found = APINULLGuid;
    UpdateStationMarkers(&measuringState.stationX, &measuringState.stationY, &measuringState.stationZ, &found);
    if (found == APINULLGuid)
        PlaceStationMarker(measuringState.stationX, measuringState.stationY, measuringState.stationZ);
    else
        stationReferenceElement = found;
    pointStep = 1;
}

void Survanto::ResetStationState()
{
    measuringState.measuredX = measuringState.measuredY = measuringState.measuredZ = 0.0;
    measuringState.stationX = measuringState.stationY = measuringState.stationZ = 0.0;
    measuringState.stationAngle = 0.0;
    measuringState.reservedValue1 = measuringState.reservedValue2 = 0.0;
    measuringState.reservedValue3 = measuringState.reservedValue4 = 0.0;
    measuringState.referenceHeight = 0.0;
    measuringState.rawMeasuredZ = 0.0;
    measuringState.alignmentPending = 1;
    measuringState.referenceHeightPending = 1;
    stationId = "0";
    activeStationId = "0";
    stationReferenceElement = APINULLGuid;
    measuringState.stationMode = InstrumentStationMode;
    measuringState.stationSymbolResource = MarkerPart::InstrumentStationSymbol;
    firstStation.Reset();
    secondStation.Reset();
}
