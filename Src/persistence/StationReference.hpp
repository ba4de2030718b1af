#pragma once
#include <cstdint>

#include "API/Types.hpp"

class CDataRecorder;
struct MeasuringState;

// One instrument station as it was set up: its marker object, position and
// angle, and whether the instrument may still be aligned and the reference
// height still measured. It moves a station between the live measuring state
// and its stored form.
class StationReference
{
public:
    // The stream: GUID, x, y, z, angle, in use. The two switches are not stored.
    static constexpr std::int32_t StreamBytes = 49;

    // The constructor values again; the in-use flag keeps its value.
    void Reset();
    // Makes the record the live station: the station reference element of the
    // main object and the measuring state's station, angle and switches. The
    // in-use flag is not touched.
    void Apply(MeasuringState& state, API_Guid& stationReferenceElement) const;
    // The reverse of Apply.
    void Capture(const MeasuringState& state, const API_Guid& stationReferenceElement);

    bool Write(CDataRecorder& recorder) const;
    // False when the stream ended or was damaged; the fields behind that keep their values.
    bool Read(CDataRecorder& recorder);

    bool inUse = false;
    API_Guid referenceElement {};
    API_Coord3D position {};
    std::int16_t referenceHeightPending = 1;
    double angle = 0.0;
    std::int16_t alignmentPending = 1;
};
