#include <limits>
#include <optional>
#include <vector>

#include "API/AddOnInterface.hpp"
#include "GS/BM.hpp"
#include "Win/WinStandIns.hpp"
#include "frame/AddOnGlobals.hpp"
#include "frame/Survanto.hpp"
#include "framework/CDataStore.hpp"
#include "measuring/MeasuringState.hpp"
#include "persistence/ProjectData.hpp"
#include "persistence/ProjectStream.hpp"
#include "persistence/StreamReader.hpp"
#include "persistence/StreamWriter.hpp"

namespace
{

constexpr char StoreName[] = "Survanto";
constexpr std::int32_t StoreBufferSize = 40000;
constexpr std::int32_t PreferencesKey = FourCC("GLOB");
constexpr std::int32_t ModuleDataKey = FourCC("MAIN");
constexpr char ReportModuleName[] = "REPORT";

// Stream versions that brought preferences; older preferences were written in
// the project-data form.
constexpr std::int32_t PreferencesFormVersion = 17;
constexpr std::int32_t WindowStateVersion = 18;
constexpr std::int32_t WindowTrackingVersion = 19;
constexpr std::int32_t LanguageVersion = 23;

constexpr std::int32_t FirstMergingMode = 11;
constexpr std::int32_t LastMergingMode = 12;

bool IsLanguage(std::int32_t value) { return value >= 0 && value <= 2; }

bool SaveObject(IFileIO& object, const char* moduleName)
{
    CDataStore store(StoreName, StoreBufferSize);
    store.Register(&object, ModuleDataKey, false);
    return store.Save(GS::UniString(moduleName));
}

// `damaged` receives the stored block when it could not be read whole.
bool LoadObject(IFileIO& object, const char* moduleName, std::vector<char>& damaged)
{
    CDataStore store(StoreName, StoreBufferSize);
    store.Register(&object, ModuleDataKey, false);
    const bool loaded = store.Load(GS::UniString(moduleName));
    damaged = store.DamagedBlock();
    return loaded;
}

// The main object's parts from the one where the reading stopped; a block read
// whole but longer than its record holds bytes no part takes.
std::vector<StoredPart> UnreadProjectParts(std::optional<StoredPart> stoppedAt)
{
    if (!stoppedAt) return {StoredPart::Trailing};
    std::vector<StoredPart> parts;
    for (auto part = static_cast<std::int16_t>(*stoppedAt); part <= static_cast<std::int16_t>(StoredPart::OrthophotoJobs); ++part)
        parts.push_back(static_cast<StoredPart>(part));
    return parts;
}

enum class BlockRead
{
    Absent,
    Whole,
    Damaged
};

// A merge block in the store's record layout. An absent or empty block reads
// nothing; one without a whole record of the object counts as damaged.
BlockRead ReadBlock(IFileIO& object, const API_ModulData* block)
{
    if (block == nullptr || block->dataHdl == nullptr) return BlockRead::Absent;
    const GSSize size = BMGetHandleSize(block->dataHdl);
    if (size == 0) return BlockRead::Absent;
    if (size > std::numeric_limits<std::int32_t>::max()) return BlockRead::Damaged;
    CDataStore store(StoreName, StoreBufferSize);
    store.Register(&object, ModuleDataKey, true);
    CDataRecorder& recorder = store.GetRecorder();
    recorder.SetMode(CDataRecorder::ModeMemory);
    recorder.SetMemory(*block->dataHdl, static_cast<std::int32_t>(size));
    const bool whole = store.ReadObjects();
    recorder.SetMemory(nullptr, 0);
    return whole ? BlockRead::Whole : BlockRead::Damaged;
}

// Sized by a counting pass, then written into a new handle that becomes the
// block's data; nothing changes unless the object wrote itself whole.
void WriteBlock(IFileIO& object, API_ModulData* block)
{
    if (block == nullptr) return;
    CDataStore store(StoreName, StoreBufferSize);
    store.Register(&object, ModuleDataKey, false);
    CDataRecorder& recorder = store.GetRecorder();
    recorder.SetMode(CDataRecorder::ModeCount);
    recorder.SetMemory(nullptr, 0);
    if (!store.WriteObjects()) return;
    const std::int32_t size = recorder.GetSize();
    GSHandle handle = BMAllocateHandle(size, ALLCLEAR);
    if (handle == nullptr) return;
    recorder.SetMode(CDataRecorder::ModeMemory);
    recorder.SetMemory(*handle, size);
    const bool filled = store.WriteObjects() && recorder.GetPosition() == size;
    recorder.SetMemory(nullptr, 0);
    if (!filled)
    {
        BMKillHandle(&handle);
        return;
    }
    BMKillHandle(&block->dataHdl);
    block->dataHdl = handle;
}

// The incoming users' records with the current user's own record; the main
// object takes the merged list. A damaged incoming block merges nothing.
void MergeProjectData(Survanto& main, const API_ModulData* toMerge, API_ModulData* destination)
{
    ProjectData merged;
    if (ReadBlock(merged, toMerge) == BlockRead::Damaged) return;
    const QuintairDataUserData& own = main.userData.GetCurrentUserData(measuringState, main);
    merged.userData.GetCurrentUserData(measuringState, main) = own;
    main.userData = merged.userData;
    WriteBlock(merged, destination);
}

void MergeReport(Survanto& main, const API_ModulData* toMerge, API_ModulData* destination)
{
    ReportData merged;
    if (ReadBlock(merged, toMerge) == BlockRead::Damaged) return;
    const ReportUserData& own = main.report.GetCurrentUserData();
    merged.GetCurrentUserData() = own;
    main.report = merged;
    WriteBlock(merged, destination);
}

}  // namespace

bool Survanto::Write(CDataRecorder& recorder)
{
    StreamWriter writer(recorder);
    if (recorder.GetPurpose() == CDataStore::PreferencesPurpose)
    {
        WritePreferences(writer);
    }
    else
    {
        RefreshCurrentUserData();
        ProjectStreamOverMembers().Write(writer);
    }
    return writer.IsWhole();
}

bool Survanto::Read(CDataRecorder& recorder)
{
    StreamReader reader(recorder);
    if (!reader.Read(streamVersion))
    {
        projectReadStoppedAt = StoredPart::UserData;
        return false;
    }
    if (recorder.GetPurpose() == CDataStore::PreferencesPurpose && streamVersion >= PreferencesFormVersion)
        ReadPreferences(reader);
    else
        ReadProjectData(reader);
    return reader.IsWhole();
}

void Survanto::WritePreferences(StreamWriter& writer)
{
    writer.Write(ProjectStream::CurrentVersion);
    writer.Write(exchangeFile);
    writer.WriteRecord([this](CDataRecorder& r) { return WriteState(r); });
    writer.Write(windowTracking);
    writer.Write(windowRaising);
    writer.Write(trackingDelay);
    writer.Write(static_cast<std::int16_t>(language));
}

void Survanto::ReadPreferences(StreamReader& reader)
{
    reader.Read(exchangeFile);
    if (streamVersion >= WindowStateVersion) reader.ReadRecord([this](CDataRecorder& r) { return ReadState(r); });
    if (streamVersion >= WindowTrackingVersion)
    {
        reader.Read(windowTracking);
        reader.Read(windowRaising);
        reader.Read(trackingDelay);
    }
    std::int16_t storedLanguage = 0;
    if (streamVersion >= LanguageVersion && reader.Read(storedLanguage) && IsLanguage(storedLanguage) &&
        storedLanguage != language)
        SetLanguage(storedLanguage);
}

void Survanto::RefreshCurrentUserData()
{
    QuintairDataUserData& current = userData.GetCurrentUserData(measuringState, *this);
    StationReference& liveStation = firstStation.inUse ? firstStation : secondStation;
    liveStation.Capture(measuringState, stationReferenceElement);
    current.CaptureFrom(measuringState, *this);
}

// Reading a stream only fills fields; the live state takes the current user's
// record, or an old stream's values, as far as they were read, so that the next
// save writes back what was read.
void Survanto::ReadProjectData(StreamReader& reader)
{
    ProjectStream stream = ProjectStreamOverMembers();
    // An old stream's values replace only what it holds.
    QuintairDataUserData oldValues;
    if (streamVersion < ProjectStream::UserListVersion) oldValues.CaptureFrom(measuringState, *this);
    const bool listRead = stream.ReadUsers(reader, streamVersion, oldValues);
    if (streamVersion < ProjectStream::UserListVersion)
        oldValues.ApplyTo(measuringState, *this);
    else if (listRead)
        userData.GetCurrentUserData(measuringState, *this).ApplyTo(measuringState, *this);
    stream.ReadRest(reader, streamVersion);
    projectReadStoppedAt = stream.FirstUnreadPart();
}

ProjectStream Survanto::ProjectStreamOverMembers()
{
    return ProjectStream({elementCreated, userData, sectionPalette, firstStation, secondStation, markerIdsShown,
                          manualCalibration, sounds, importPalette.importData, importColumnWidths, language});
}

bool Survanto::SavePreferences()
{
    CDataStore store(StoreName, StoreBufferSize);
    store.Register(this, PreferencesKey, false);
    return store.SaveToPreferences(ProjectStream::CurrentVersion);
}

bool Survanto::LoadPreferences()
{
    CDataStore store(StoreName, StoreBufferSize);
    store.Register(this, PreferencesKey, false);
    const bool loaded = store.LoadFromPreferences();
    Win::SystemParametersInfo(Win::SPI_SETACTIVEWINDOWTRACKING, windowTracking ? 1 : 0);
    Win::SystemParametersInfo(Win::SPI_SETACTIVEWNDTRKZORDER, windowRaising ? 1 : 0);
    Win::SystemParametersInfo(Win::SPI_SETACTIVEWNDTRKTIMEOUT, static_cast<std::uint32_t>(trackingDelay));
    if (loaded) ReopenMainPaletteAsSaved();
    return loaded;
}

// The palette opens again where and as it was when the preferences were saved.
void Survanto::ReopenMainPaletteAsSaved()
{
    SetResourceModules(CurrentResourceModule(), resourceModules[0]);
    RestoreOpenState(MainPaletteFlags);
}

bool Survanto::SaveModuleData() { return SaveObject(*this, ""); }

bool Survanto::LoadModuleData()
{
    // Until a record of this object is read, nothing of it was.
    projectReadStoppedAt = StoredPart::UserData;
    std::vector<char> damaged;
    const bool loaded = LoadObject(*this, "", damaged);
    if (!damaged.empty()) damagedData.Add("", std::move(damaged), UnreadProjectParts(projectReadStoppedAt));
    ReadConfigFile();
    RestartPointCabWatcher();
    return loaded;
}

bool Survanto::SaveReportData() { return SaveObject(report, ReportModuleName); }

bool Survanto::LoadReportData()
{
    std::vector<char> damaged;
    const bool loaded = LoadObject(report, ReportModuleName, damaged);
    if (!damaged.empty()) damagedData.Add(ReportModuleName, std::move(damaged), {StoredPart::Report});
    return loaded;
}

void Survanto::TellDamagedData() { damagedData.Tell(); }

std::int32_t Survanto::MergeModuleData(std::int32_t mode, const GS::UniString& moduleName, const API_ModulData*,
                                       const API_ModulData* toMerge, API_ModulData* destination)
{
    if (mode < FirstMergingMode || mode > LastMergingMode) return 0;
    if (moduleName == ReportModuleName)
        MergeReport(*this, toMerge, destination);
    else
        MergeProjectData(*this, toMerge, destination);
    return 0;
}
