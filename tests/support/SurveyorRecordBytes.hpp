#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "API/Types.hpp"
#include "StreamBytes.hpp"

// A surveyor's per-user record as its stream holds it, written out by hand.

constexpr char16_t NullGuidText[] = u"00000000-0000-0000-0000-000000000000";
constexpr char NullGuid[] = "{00000000-0000-0000-0000-000000000000}";

// One station reference: its record, and the pending switches the project stream keeps.
struct StationValues
{
    const char* referenceElement;
    API_Coord3D position;
    double angle;
    bool inUse;
    std::int16_t alignment;
    std::int16_t referenceHeight;
};

// One surveyor's values, as they are live and as a per-user record holds them.
struct SurveyorValues
{
    std::array<double, 11> measured;  // point, station, angle, four reserved values
    std::u16string stationId;
    std::u16string activeStationId;
    std::array<std::int16_t, 4> layers;  // measured point, station, free area, station point
    std::array<std::int16_t, 4> pens;
    double referenceHeight;
    std::int16_t alignment;
    std::int16_t referenceHeightSwitch;
    std::int16_t stationMode;
    const char* referenceElement;
    StationValues first;
    StationValues second;
    std::int16_t kindLayer;  // entries 1 to 10; entry 0 holds 0
    std::int16_t kindPen;
    std::string photoFolder;
    bool thumbnails;
};

inline StreamBytes StationRecordBytes(const StationValues& s)
{
    StreamBytes b;
    return b.Guid(s.referenceElement).F64(s.position.x).F64(s.position.y).F64(s.position.z).F64(s.angle).Bool(s.inUse);
}

// A per-user record's stream of the given version, field by field.
inline StreamBytes SnapshotBytes(const SurveyorValues& v, std::int32_t version)
{
    StreamBytes b;
    for (const double value : v.measured) b.F64(value);
    b.I32(0).Text(v.stationId).Text(v.activeStationId);
    for (const std::int16_t value :
         {v.layers[0], v.layers[1], v.layers[2], v.pens[0], v.pens[1], v.pens[2], v.pens[3], v.layers[3]})
        b.I16(value);
    b.F64(v.referenceHeight).Text(NullGuidText).Text(u"").I16(0).I16(v.alignment).I16(v.referenceHeightSwitch);
    if (version >= 10)
    {
        b.I16(v.stationMode).Guid(v.referenceElement);
        b.Append(StationRecordBytes(v.first)).Append(StationRecordBytes(v.second));
    }
    if (version >= 11)
    {
        b.I16(0).I16(0);
        for (int kind = 1; kind < 11; ++kind) b.I16(v.kindPen).I16(v.kindLayer);
    }
    const std::u16string folder(v.photoFolder.begin(), v.photoFolder.end());
    b.Bool(false).Text(folder).Bool(v.thumbnails).Text(u"C:\\temp\\vezadovi4vuz.lse");
    return b;
}
