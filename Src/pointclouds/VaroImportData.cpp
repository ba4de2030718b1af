#include "pointclouds/VaroImportData.hpp"

#include "API/AddOnInterface.hpp"
#include "API/Database.hpp"
#include "CDataRecorder.hpp"
#include "pointclouds/CurrentStorey.hpp"

// Stream, version 4: int16 version, folder, int32 job count, then per job:
// execute, layerFromJobName (from version 2), layerIndex (from version 2),
// hasOrigin, origin, int16 target type, storey, target GUID, target name (from
// version 3), job name, int32 tile count with per tile the image path and the
// corners left bottom, left upper, right bottom, right upper, then int32 count of
// placed picture GUIDs and the GUIDs.

namespace {

constexpr std::int64_t BoolBytes = 1;
constexpr std::int64_t ShortBytes = 2;
constexpr std::int64_t LongBytes = 4;
constexpr std::int64_t CoordBytes = 24;
constexpr std::int64_t GuidBytes = 16;
constexpr std::int64_t EmptyStringBytes = LongBytes;
constexpr std::int64_t TileBytes = EmptyStringBytes + 4 * CoordBytes;

bool HasLayerFields(std::int16_t version) { return version > 1; }
bool HasTargetName(std::int16_t version) { return version > 2; }

// The fewest bytes a job of this version takes: its lists empty, its texts too.
std::int64_t SmallestJobBytes(std::int16_t version)
{
    std::int64_t bytes = BoolBytes + BoolBytes + CoordBytes + ShortBytes + ShortBytes + GuidBytes + EmptyStringBytes + LongBytes + LongBytes;
    if (HasLayerFields(version)) bytes += BoolBytes + ShortBytes;
    if (HasTargetName(version)) bytes += EmptyStringBytes;
    return bytes;
}

// A count the rest of the stream can hold, each entry taking at least entryBytes.
bool ReadCount(CDataRecorder& recorder, std::int64_t entryBytes, std::int32_t& count)
{
    count = 0;
    if (!recorder.ReadLong(count)) return true;
    return count >= 0 && count <= recorder.GetBytesLeft() / entryBytes;
}

void WriteTile(CDataRecorder& recorder, const OrtophotoDataPart& tile)
{
    recorder.WriteUniString(tile.imagePath);
    recorder.WriteCoord3D(tile.leftBottom);
    recorder.WriteCoord3D(tile.leftUpper);
    recorder.WriteCoord3D(tile.rightBottom);
    recorder.WriteCoord3D(tile.rightUpper);
}

void WriteJob(CDataRecorder& recorder, const OrtophotoData& job)
{
    recorder.WriteBool(job.execute);
    recorder.WriteBool(job.layerFromJobName);
    recorder.WriteShort(job.layerIndex);
    recorder.WriteBool(job.hasOrigin);
    recorder.WriteCoord3D(job.origin);
    recorder.WriteShort(static_cast<std::int16_t>(job.target.databaseType));
    recorder.WriteShort(job.target.storey);
    recorder.WriteGuid(job.target.databaseGuid);
    recorder.WriteUniString(job.target.name);
    recorder.WriteUniString(job.jobName);
    recorder.WriteLong(static_cast<std::int32_t>(job.tiles.GetSize()));
    for (const OrtophotoDataPart& tile : job.tiles) WriteTile(recorder, tile);
    recorder.WriteLong(static_cast<std::int32_t>(job.placedPictures.GetSize()));
    for (const API_Guid& guid : job.placedPictures) recorder.WriteGuid(guid);
}

void ReadTile(CDataRecorder& recorder, OrtophotoDataPart& tile)
{
    recorder.ReadUniString(tile.imagePath);
    recorder.ReadCoord3D(tile.leftBottom);
    recorder.ReadCoord3D(tile.leftUpper);
    recorder.ReadCoord3D(tile.rightBottom);
    recorder.ReadCoord3D(tile.rightUpper);
}

// False when a count of the job is damaged; the job then holds what was read.
bool ReadJob(CDataRecorder& recorder, std::int16_t version, OrtophotoData& job)
{
    recorder.ReadBool(job.execute);
    if (HasLayerFields(version)) {
        recorder.ReadBool(job.layerFromJobName);
        recorder.ReadShort(job.layerIndex);
    }
    recorder.ReadBool(job.hasOrigin);
    recorder.ReadCoord3D(job.origin);
    auto databaseType = static_cast<std::int16_t>(job.target.databaseType);
    recorder.ReadShort(databaseType);
    job.target.databaseType = databaseType;
    recorder.ReadShort(job.target.storey);
    recorder.ReadGuid(job.target.databaseGuid);
    if (HasTargetName(version)) recorder.ReadUniString(job.target.name);
    recorder.ReadUniString(job.jobName);
    std::int32_t tileCount = 0;
    if (!ReadCount(recorder, TileBytes, tileCount)) return false;
    for (std::int32_t i = 0; i < tileCount; ++i) {
        OrtophotoDataPart tile;
        ReadTile(recorder, tile);
        job.tiles.Add(tile);
    }
    std::int32_t pictureCount = 0;
    if (!ReadCount(recorder, GuidBytes, pictureCount)) return false;
    for (std::int32_t i = 0; i < pictureCount; ++i) {
        API_Guid guid = APINULLGuid;
        recorder.ReadGuid(guid);
        job.placedPictures.Add(guid);
    }
    return true;
}

bool DatabaseExists(const ACDatabaseID& target)
{
    API_DatabaseInfo info {};
    info.typeID = target.databaseType;
    info.databaseUnId = target.databaseGuid;
    return HostDatabaseRequest(FourCC("GDBI"), &info, nullptr) == NoError;
}

}  // namespace

bool VaroImportData::Write(CDataRecorder& recorder)
{
    recorder.WriteShort(StreamVersion);
    recorder.WriteUniString(jobFolder);
    recorder.WriteLong(static_cast<std::int32_t>(jobs.GetSize()));
    for (const OrtophotoData& job : jobs) WriteJob(recorder, job);
    return true;
}

bool VaroImportData::Read(CDataRecorder& recorder)
{
    std::int16_t version = StreamVersion;
    recorder.ReadShort(version);
    jobFolder.Clear();
    recorder.ReadUniString(jobFolder);
    jobs.Clear();
    std::int32_t jobCount = 0;
    if (!ReadCount(recorder, SmallestJobBytes(version), jobCount)) return false;
    for (std::int32_t i = 0; i < jobCount; ++i) {
        OrtophotoData job;
        const bool whole = ReadJob(recorder, version, job);
        jobs.Add(job);
        if (!whole) return false;
    }
    return true;
}

void VaroImportData::ValidateTargets()
{
    const std::int16_t currentStorey = CurrentStoreyIndex();
    for (OrtophotoData& job : jobs) {
        ACDatabaseID& target = job.target;
        if (target.databaseGuid == APINULLGuid || DatabaseExists(target)) continue;
        target.databaseType = ACDatabaseID::FloorPlan;
        target.databaseGuid = APINULLGuid;
        target.storey = currentStorey;
    }
}
