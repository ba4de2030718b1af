#include <cstdio>
#include <vector>

#include "API/AddOnInterface.hpp"
#include "HostApiHelpers.hpp"
#include "frame/Survanto.hpp"
#include "measuring/MeasuringState.hpp"

// A morph from measured points: those handed over, or the positions of the
// measured-point markers the user selected.

namespace {

using Point = MorphMeshBuilder::Point;

constexpr const char* MeasuredPointMarkerId =
    "{2B4469A5-2D30-426D-B5E1-C290A9528079}-{FE5C8B03-8CAB-48E2-92B7-DBE442FC35BB}";
constexpr std::int32_t FewestSelectedElements = 3;
constexpr std::int16_t MorphFromMarkersItem = 62;
constexpr std::int16_t ThicknessItem = 74;
constexpr std::int16_t SidePlanesItem = 75;
constexpr std::int16_t MorphTypeItem = 76;
constexpr std::int16_t CollectPointsItem = 77;

MorphSettings ReadMorphSettings(const Survanto& survanto)
{
    MorphSettings settings;
    settings.thickness = survanto.MainPaletteItemValue(ThicknessItem);
    settings.sidePlanes = survanto.MainPaletteItemValue(SidePlanesItem) == 1.0;
    settings.morphType = static_cast<std::int32_t>(survanto.MainPaletteItemValue(MorphTypeItem));
    API_Coord offset {};
    if (HostDatabaseRequest(FourCC("GOFS"), &offset, nullptr) != NoError) offset = API_Coord {};
    settings.station = {measuringState.stationX - offset.x, measuringState.stationY - offset.y, measuringState.stationZ};
    return settings;
}

// The marker part itself or a part the host finds compatible with it.
bool IsMeasuredPointMarker(const API_Element& object)
{
    API_LibPart part;
    part.index = object.object.libraryPartIndex;
    if (HostGetLibraryPart(&part) != NoError) return false;
    char markerId[API_UniIDLength] {};
    std::snprintf(markerId, sizeof markerId, "%s", MeasuredPointMarkerId);
    const GSErrCode answer = HostUtilityRequest(FourCC("COMP"), part.uniqueId, markerId);
    return answer == NoError || answer == APIERR_COMPATIBLEPART;
}

// A marker's point is its position, at its storey's level plus its elevation.
void GatherSelectedMarkers(TypVektor<Point>& points)
{
    API_SelectionInfo info;
    std::vector<API_Neig> selected;
    if (HostGetSelection(&info, &selected, false, true) != NoError) return;
    if (info.sel_nElem < FewestSelectedElements) return;
    for (const API_Neig& neig : selected) {
        if (NeigToElemType(neig.neigID) != API_ObjectID) continue;
        API_Element object;
        object.header.guid = neig.guid;
        if (HostGetElement(&object) != NoError || !IsMeasuredPointMarker(object)) continue;
        points.Add({object.object.position.x, object.object.position.y,
                    GetStoryLevel(object.header.floorInd) + object.object.elevation});
    }
}

}  // namespace

void Survanto::CreateMorphFromPoints(const TypVektor<API_Coord3D>* given)
{
    TypVektor<Point> points;
    if (given != nullptr) {
        for (const API_Coord3D& p : *given) points.Add({p.x, p.y, p.z});
    } else {
        GatherSelectedMarkers(points);
    }
    meshBuilder.Build(points, ReadMorphSettings(*this), actionPoints);
    meshBuilder.CreateMorph(*this);
    for (const std::int16_t item : {MorphFromMarkersItem, SidePlanesItem, CollectPointsItem}) SetMainPaletteItemValue(item, 0.0);
}
