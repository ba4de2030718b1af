#pragma once
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "API/AddOnInterface.hpp"
#include "framework/TypVektor.hpp"

// A marker library part of the add-on's object library, found among the loaded
// libraries by its unique id, and the objects placed from it. A placed object
// counts as a marker of a part when its own part has the same main GUID: any
// revision of the part matches.
class MarkerPart
{
public:
    static constexpr const char* MeasuredPoint = "{2B4469A5-2D30-426D-B5E1-C290A9528079}-{FE5C8B03-8CAB-48E2-92B7-DBE442FC35BB}";
    static constexpr const char* InstrumentStation =
        "{DC8764CE-AE59-4E76-A3A3-B41A0616EE75}-{BA12C4D0-B53B-4AE3-898F-FCFB15B1839A}";
    static constexpr const char* ScanStation = "{1D3CF370-3BA8-41B9-8F19-4801D90E50B1}-{02D35174-247D-4DF7-8B73-C77C7C2A57F7}";
    // The station symbol resources that choose a station part.
    static constexpr std::int16_t InstrumentStationSymbol = 32501;
    static constexpr std::int16_t ScanStationSymbol = 32502;

    // The station part of a symbol resource: 32501 the instrument's, any other the scan's.
    static const char* StationPartOf(std::int16_t symbolResource);

    // False when no loaded library holds the part.
    bool Find(const char* uniqueId);

    // The object tool's defaults (on the floor plan's current storey) made into
    // this part with its own default sizes and GDL parameters.
    GSErrCode MakeObject(API_Element& element, API_ElementMemo& memo) const;

    // A measured-point marker's size and the pens of its hotspot labels, the
    // same for a measured point and one read from a point list.
    static void SetMeasuredPointLook(API_Element& marker, API_ElementMemo& memo, std::int16_t pen);

    // Whether the placed object comes from the measured-point part or a
    // compatible revision of it ("COMP").
    static bool IsMeasuredPointMarker(const API_Element& object);

    // The placed objects of any of the parts, in the host's list order.
    static std::vector<API_Guid> PlacedMarkers(std::initializer_list<const char*> uniqueIds);

    // Appends the places of the selected measured-point markers in selection
    // order: a marker's position at its storey's level plus its elevation.
    // Nothing when fewer than `fewestSelected` elements of any kind are selected.
    static void GatherSelectedMeasuredPoints(TypVektor<API_Coord3D>& points, std::int32_t fewestSelected);

private:
    std::int32_t index_ = 0;
};
