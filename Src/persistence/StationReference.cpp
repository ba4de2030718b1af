#include "persistence/StationReference.hpp"

#include "framework/CDataRecorder.hpp"
#include "measuring/MeasuringState.hpp"
#include "persistence/StreamReader.hpp"
#include "persistence/StreamWriter.hpp"

void StationReference::Reset()
{
    const bool keptInUse = inUse;
    *this = StationReference {};
    inUse = keptInUse;
}

void StationReference::Apply(MeasuringState& state, API_Guid& stationReferenceElement) const
{
    stationReferenceElement = referenceElement;
    state.stationX = position.x;
    state.stationY = position.y;
    state.stationZ = position.z;
    state.stationAngle = angle;
    state.referenceHeightPending = referenceHeightPending;
    state.alignmentPending = alignmentPending;
}

void StationReference::Capture(const MeasuringState& state, const API_Guid& stationReferenceElement)
{
    referenceElement = stationReferenceElement;
    position = {state.stationX, state.stationY, state.stationZ};
    angle = state.stationAngle;
    referenceHeightPending = state.referenceHeightPending;
    alignmentPending = state.alignmentPending;
}

bool StationReference::Write(CDataRecorder& recorder) const
{
    StreamWriter writer(recorder);
    writer.Write(referenceElement);
    writer.Write(position.x);
    writer.Write(position.y);
    writer.Write(position.z);
    writer.Write(angle);
    writer.Write(inUse);
    return writer.IsWhole();
}

bool StationReference::Read(CDataRecorder& recorder)
{
    StreamReader reader(recorder);
    reader.Read(referenceElement);
    reader.Read(position.x);
    reader.Read(position.y);
    reader.Read(position.z);
    reader.Read(angle);
    reader.Read(inUse);
    return reader.IsWhole();
}
