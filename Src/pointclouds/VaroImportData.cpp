#include "pointclouds/VaroImportData.hpp"

#include "API/AddOnInterface.hpp"
#include "API/Database.hpp"
#include "framework/CDataRecorder.hpp"
#include "persistence/StreamReader.hpp"
#include "pointclouds/CurrentStorey.hpp"

// Stream, version 4: int16 version, folder, int32 job count, then per job:
// execute, layerFromJobName (from version 2), layerIndex (from version 2),
// hasOrigin, origin, int16 target type, storey, target GUID, target name (from
// version 3), job name, int32 tile count with per tile the image path and the
// corners left bottom, left upper, right bottom, right upper, then int32 count of
// placed picture GUIDs and the GUIDs.

namespace
{

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
    std::int64_t bytes =
        BoolBytes + BoolBytes + CoordBytes + ShortBytes + ShortBytes + GuidBytes + EmptyStringBytes + LongBytes + LongBytes;
    if (HasLayerFields(version)) bytes += BoolBytes + ShortBytes;
    if (HasTargetName(version)) bytes += EmptyStringBytes;
    return bytes;
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

bool ReadCoord3D(StreamReader& reader, API_Coord3D& coord)
{
    return reader.Read(coord.x) && reader.Read(coord.y) && reader.Read(coord.z);
}

bool ReadTile(StreamReader& reader, OrtophotoDataPart& tile)
{
    return reader.Read(tile.imagePath) && ReadCoord3D(reader, tile.leftBottom) && ReadCoord3D(reader, tile.leftUpper) &&
           ReadCoord3D(reader, tile.rightBottom) && ReadCoord3D(reader, tile.rightUpper);
}

// Reads until the first damage; `named` tells whether the job got as far as its
// name, which makes a job cut short behind it worth keeping with what was read.
void ReadJob(StreamReader& reader, std::int16_t version, OrtophotoData& job, bool& named)
{
    reader.Read(job.execute);
    if (HasLayerFields(version))
    {
        reader.Read(job.layerFromJobName);
        reader.Read(job.layerIndex);
    }
    reader.Read(job.hasOrigin);
    ReadCoord3D(reader, job.origin);
    auto databaseType = static_cast<std::int16_t>(job.target.databaseType);
    if (reader.Read(databaseType)) job.target.databaseType = databaseType;
    reader.Read(job.target.storey);
    reader.Read(job.target.databaseGuid);
    if (HasTargetName(version)) reader.Read(job.target.name);
    named = reader.Read(job.jobName);
    std::int32_t tileCount = 0;
    reader.ReadCount(tileCount, TileBytes);
    for (std::int32_t i = 0; i < tileCount && reader.IsWhole(); ++i)
    {
        OrtophotoDataPart tile;
        if (ReadTile(reader, tile) && !job.tiles.Add(tile)) reader.Stop();
    }
    std::int32_t pictureCount = 0;
    reader.ReadCount(pictureCount, GuidBytes);
    for (std::int32_t i = 0; i < pictureCount && reader.IsWhole(); ++i)
    {
        API_Guid guid = APINULLGuid;
        if (reader.Read(guid) && !job.placedPictures.Add(guid)) reader.Stop();
    }
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

// A damaged version or folder leaves everything as it was; behind them the
// list holds the jobs read, a job cut short with what was read of it.
bool VaroImportData::Read(CDataRecorder& recorder)
{
    StreamReader reader(recorder);
    std::int16_t version = StreamVersion;
    GS::UniString folder;
    if (!reader.Read(version) || !reader.Read(folder)) return false;
    jobFolder = folder;
    jobs.Clear();
    std::int32_t jobCount = 0;
    reader.ReadCount(jobCount, SmallestJobBytes(version));
    for (std::int32_t i = 0; i < jobCount && reader.IsWhole(); ++i)
    {
        OrtophotoData job;
        bool named = false;
        ReadJob(reader, version, job, named);
        if (named && !jobs.Add(job)) reader.Stop();
    }
    return reader.IsWhole();
}

void VaroImportData::ValidateTargets()
{
    const std::int16_t currentStorey = CurrentStoreyIndex();
    for (OrtophotoData& job : jobs)
    {
        ACDatabaseID& target = job.target;
        if (target.databaseGuid == APINULLGuid || DatabaseExists(target)) continue;
        target.databaseType = ACDatabaseID::FloorPlan;
        target.databaseGuid = APINULLGuid;
        target.storey = currentStorey;
    }
}
