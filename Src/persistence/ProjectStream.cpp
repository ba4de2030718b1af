#include "persistence/ProjectStream.hpp"

#include "persistence/QuintairData.hpp"
#include "persistence/StationReference.hpp"
#include "persistence/StreamReader.hpp"
#include "persistence/StreamWriter.hpp"
#include "pointclouds/VaroImportData.hpp"
#include "profiles/SectionPalette.hpp"

namespace
{

// Stream versions that brought fields.
constexpr std::int32_t OldMeasuredValuesVersion = 3;
constexpr std::int32_t OldDroppedValueVersion = 5;
constexpr std::int32_t OldReferenceHeightVersion = 5;
constexpr std::int32_t OldMarkerVersion = 6;
constexpr std::int32_t OldStationPointVersion = 7;
constexpr std::int32_t ProfilesVersion = 9;
constexpr std::int32_t StationSwitchesVersion = 9;
constexpr std::int32_t MarkerIdsVersion = 12;
constexpr std::int32_t StationDetailsVersion = 13;
constexpr std::int32_t ReservedVersion = 14;
constexpr std::int32_t ManualCalibrationVersion = 15;
constexpr std::int32_t SoundsVersion = 16;
constexpr std::int32_t ImportDataVersion = 20;
constexpr std::int32_t ColumnWidthsVersion = 22;

}  // namespace

void ProjectStream::Write(StreamWriter& writer)
{
    writer.Write(CurrentVersion);
    writer.Write(fields_.elementCreated);
    writer.WriteRecord([this](CDataRecorder& r) { return fields_.userData.Write(r); });
    writer.WriteRecord([this](CDataRecorder& r) { return fields_.sectionPalette.WriteProfiles(r); });
    WriteStation(writer, fields_.firstStation);
    WriteStation(writer, fields_.secondStation);
    writer.Write(fields_.markerIdsShown);
    writer.Write(std::int16_t {0});
    writer.Write(fields_.manualCalibration);
    writer.Write(fields_.sounds);
    writer.WriteRecord([this](CDataRecorder& r) { return fields_.importData.Write(r); });
    for (const std::int16_t width : fields_.importColumnWidths) writer.Write(width);
    writer.Write(static_cast<std::int16_t>(fields_.language));
}

bool ProjectStream::ReadUsers(StreamReader& reader, std::int32_t version, QuintairDataUserData& oldValues)
{
    bool listRead = false;
    reader.Read(fields_.elementCreated);
    if (version < UserListVersion)
        ReadOldValues(reader, version, oldValues);
    else
        reader.ReadRecord([&](CDataRecorder& r) { return fields_.userData.Read(r, version, listRead); });
    NoteStop(reader, StoredPart::UserData);
    return listRead;
}

void ProjectStream::ReadRest(StreamReader& reader, std::int32_t version)
{
    if (version >= ProfilesVersion)
        reader.ReadRecord([&](CDataRecorder& r) { return fields_.sectionPalette.ReadProfiles(r, version); });
    NoteStop(reader, StoredPart::Profiles);
    if (version >= StationSwitchesVersion)
    {
        ReadStation(reader, version, fields_.firstStation);
        ReadStation(reader, version, fields_.secondStation);
    }
    if (version >= MarkerIdsVersion) reader.Read(fields_.markerIdsShown);
    if (version >= ReservedVersion)
    {
        std::int16_t reserved = 0;
        reader.Read(reserved);
    }
    if (version >= ManualCalibrationVersion) reader.Read(fields_.manualCalibration);
    if (version >= SoundsVersion) reader.Read(fields_.sounds);
    NoteStop(reader, StoredPart::Stations);
    if (version >= ImportDataVersion) reader.ReadRecord([this](CDataRecorder& r) { return fields_.importData.Read(r); });
    if (version >= ColumnWidthsVersion)
    {
        for (std::int16_t& width : fields_.importColumnWidths) reader.Read(width);
        std::int16_t storedLanguage = 0;
        reader.Read(storedLanguage);
    }
    NoteStop(reader, StoredPart::OrthophotoJobs);
}

void ProjectStream::NoteStop(const StreamReader& reader, StoredPart part)
{
    if (!reader.IsWhole() && !firstUnread_) firstUnread_ = part;
}

// The stream keeps a station's switches, angle, marker and in-use flag here;
// its position travels in the per-user records.
void ProjectStream::WriteStation(StreamWriter& writer, const StationReference& station)
{
    writer.Write(station.alignmentPending);
    writer.Write(station.referenceHeightPending);
    writer.Write(station.angle);
    writer.Write(station.referenceElement);
    writer.Write(station.inUse);
}

void ProjectStream::ReadStation(StreamReader& reader, std::int32_t version, StationReference& station)
{
    reader.Read(station.alignmentPending);
    reader.Read(station.referenceHeightPending);
    if (version < StationDetailsVersion) return;
    reader.Read(station.angle);
    reader.Read(station.referenceElement);
    reader.Read(station.inUse);
}

void ProjectStream::ReadOldValues(StreamReader& reader, std::int32_t version, QuintairDataUserData& values)
{
    if (version >= OldMeasuredValuesVersion)
    {
        for (double* value : {&values.measuredX, &values.measuredY, &values.measuredZ, &values.stationX, &values.stationY,
                              &values.stationZ, &values.stationAngle, &values.reservedValue1, &values.reservedValue2,
                              &values.reservedValue3, &values.reservedValue4})
            reader.Read(*value);
    }
    if (version == OldDroppedValueVersion)
    {
        std::int32_t dropped = 0;
        reader.Read(dropped);
    }
    if (version >= OldMarkerVersion)
    {
        reader.Read(values.stationId);
        reader.Read(values.activeStationId);
        for (std::int16_t* value : {&values.measuredPointLayer, &values.stationLayer, &values.freeAreaLayer,
                                    &values.measuredPointPen, &values.stationPen, &values.freeAreaPen})
            reader.Read(*value);
        // One layer and pen served every kind of element then.
        if (reader.IsWhole())
        {
            values.perTypeLayers.fill(values.measuredPointLayer);
            values.perTypePens.fill(values.measuredPointPen);
        }
    }
    if (version >= OldStationPointVersion)
    {
        reader.Read(values.stationPointPen);
        reader.Read(values.stationPointLayer);
    }
    if (version >= OldReferenceHeightVersion) reader.Read(values.referenceHeight);
}
