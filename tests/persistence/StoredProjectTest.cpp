#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "DG/DG.hpp"
#include "InProcessHost.hpp"
#include "ModuleDataServices.hpp"
#include "ProjectFile.hpp"
#include "StoredBlock.hpp"
#include "Win/WinStandIns.hpp"
#include "frame/AddOnGlobals.hpp"
#include "frame/Survanto.hpp"
#include "measuring/MeasuringState.hpp"
#include "persistence/ProjectData.hpp"

namespace
{

using Bytes = std::vector<std::uint8_t>;

constexpr char MarkerGuid[] = "{00112233-4455-6677-8899-AABBCCDDEEFF}";

GS::Guid GuidOfUser(std::int16_t id) { return APIGuid2GSGuid(SimHost::Teamwork::GuidOfUser(id)); }

// A merge block as the host hands it over, freed with the object; no bytes, no handle.
class MergeBlock
{
public:
    explicit MergeBlock(const Bytes& bytes = {})
    {
        if (bytes.empty()) return;
        block.dataHdl = BMAllocateHandle(static_cast<GSSize>(bytes.size()), ALLCLEAR);
        std::memcpy(*block.dataHdl, bytes.data(), bytes.size());
    }
    MergeBlock(const MergeBlock&) = delete;
    MergeBlock& operator=(const MergeBlock&) = delete;
    ~MergeBlock() { BMKillHandle(&block.dataHdl); }

    API_ModulData block;
};

// Every host plays a process of its own: the process-wide measuring state
// starts anew with it.
class StoredProject : public ::testing::Test
{
protected:
    void SetUp() override
    {
        before_ = measuringState;
        DG::ForgetAllDialogs();
    }
    void TearDown() override
    {
        host_.reset();
        measuringState = before_;
        DG::ForgetAllDialogs();
    }

    void StartHost(const std::string& workFolder)
    {
        host_.reset();
        measuringState = MeasuringState {};
        SimHost::Host::Options options;
        options.workFolder = workFolder;
        host_ = std::make_unique<InProcessHost>(options);
    }
    void StopHost() { host_.reset(); }
    SimHost::Host& Host() { return host_->host(); }
    Survanto& Main() { return *theSurvanto.load(); }
    SimHost::ProjectModel& Model() { return Host().model_; }

    // A user saves a station and a report line in a new project of their own.
    void SaveAsUser(std::int16_t id, const char* name, double stationX, const char* stationId)
    {
        Host().NewProject();
        if (id != 0) Host().project_.teamwork.SetCurrentUser(id, name);
        measuringState.stationX = stationX;
        Main().stationId = stationId;
        Main().report.GetCurrentUserData().lines.Add(std::string(name) + " " + stationId);
        ASSERT_TRUE(Main().SaveModuleData());
        ASSERT_TRUE(Main().SaveReportData());
    }

    std::string SaveProject(const std::string& path)
    {
        std::string error;
        EXPECT_TRUE(SimHost::SaveProjectFile(Model(), path, error)) << error;
        return path;
    }

    SimHost::ProjectModel ReadProject(const std::string& path)
    {
        SimHost::ProjectModel model;
        std::string error;
        EXPECT_TRUE(SimHost::ReadProjectFile(path, model, error)) << error;
        return model;
    }

private:
    std::unique_ptr<InProcessHost> host_;
    MeasuringState before_;
};

TEST_F(StoredProject, ModuleDataSurviveTheProjectFileAndANewHost)
{
    TempFolder first, second;
    StartHost(first.path());
    Host().NewProject();
    measuringState.stationX = 3.0;
    measuringState.referenceHeight = 2.5;
    Main().elementCreated = true;
    Main().stationId = Main().activeStationId = "12";
    Main().firstStation.inUse = true;
    Main().stationReferenceElement = APIGuidFromString(MarkerGuid);
    Main().report.GetCurrentUserData().lines.Add("Station 12");
    ASSERT_TRUE(Main().SaveModuleData());
    ASSERT_TRUE(Main().SaveReportData());
    const std::string file = SaveProject(first.path() + "/site.json");

    StartHost(second.path());
    Host().OpenProject("site.json", ReadProject(file));
    const std::int32_t watcher = Main().pointCabWatcherNumber;
    ASSERT_TRUE(Main().LoadModuleData());
    ASSERT_TRUE(Main().LoadReportData());

    EXPECT_TRUE(Main().elementCreated);
    EXPECT_EQ(Main().stationId.ToUtf8(), "12");
    EXPECT_EQ(Main().activeStationId.ToUtf8(), "12");
    EXPECT_TRUE(Main().firstStation.inUse);
    EXPECT_EQ(Main().firstStation.position.x, 3.0);
    EXPECT_EQ(Main().stationReferenceElement, APIGuidFromString(MarkerGuid));
    EXPECT_EQ(measuringState.stationX, 3.0);
    EXPECT_EQ(measuringState.referenceHeight, 2.5);
    EXPECT_EQ(Main().userData.GetSize(), 1u);
    ASSERT_EQ(Main().report.GetCurrentUserData().lines.GetSize(), 1u);
    EXPECT_EQ(Main().report.GetCurrentUserData().lines[0].ToUtf8(), "Station 12");
    // The project's exchange path takes effect through a new watcher.
    EXPECT_NE(Main().pointCabWatcherNumber, 0);
    EXPECT_NE(Main().pointCabWatcherNumber, watcher);
}

TEST_F(StoredProject, PreferencesSavedWithTrackingOnReachWindowsAtTheNextStart)
{
    TempFolder work;
    StartHost(work.path());
    Main().windowTracking = true;
    Main().windowRaising = true;
    Main().trackingDelay = 400;
    ASSERT_TRUE(Main().SavePreferences());
    StopHost();

    Win::ClearRecords();
    StartHost(work.path());
    EXPECT_EQ(Host().Fact("system-parameters"), "0x1001=1 0x100D=1 0x2003=400");
    EXPECT_EQ(Host().Fact("preferences-version"), "24");
    EXPECT_TRUE(Main().windowTracking);
}

// The main palette comes back at start-up as the user left it, and a palette
// closed by the user stays closed.
TEST_F(StoredProject, TheMainPaletteReopensAtTheNextStartAsItWasLeft)
{
    TempFolder work;
    StartHost(work.path());
    Main().ToggleMainPalette();
    ASSERT_TRUE(DG::IsOpen(Survanto::MainPaletteDialogId));
    StopHost();
    DG::ForgetAllDialogs();

    StartHost(work.path());
    EXPECT_TRUE(DG::IsOpen(Survanto::MainPaletteDialogId));
    EXPECT_EQ(DG::CloseByUser(Survanto::MainPaletteDialogId), -1);
    StopHost();
    DG::ForgetAllDialogs();

    StartHost(work.path());
    EXPECT_FALSE(DG::IsOpen(Survanto::MainPaletteDialogId));
}

// Anna saved her station in her copy of the project; Bert merges it into his.
// Each keeps their own record and report lines, and Bert's live station stays.
TEST_F(StoredProject, TeamworkMergeKeepsEachUsersRecordAndReportLines)
{
    TempFolder annaFolder, bertFolder;
    StartHost(annaFolder.path());
    SaveAsUser(1, "anna", 1.0, "A1");
    const std::string annaFile = SaveProject(annaFolder.path() + "/anna.json");

    StartHost(bertFolder.path());
    SaveAsUser(2, "bert", 2.0, "B1");
    measuringState.stationMode = 1;
    const SimHost::ProjectModel incoming = ReadProject(annaFile);
    const std::int32_t watcher = Main().pointCabWatcherNumber;
    const GSResModule languageModule = CurrentResourceModule();
    GSErrCode result = -1;
    ASSERT_TRUE(SimHost::MergeModuleData(Host(), 11, "", incoming, result));
    EXPECT_EQ(result, NoError);
    ASSERT_TRUE(SimHost::MergeModuleData(Host(), 11, "REPORT", incoming, result));
    EXPECT_EQ(result, NoError);

    ProjectData merged;
    ASSERT_TRUE(ReadStoredBlock(Model().moduleData[""].bytes, merged));
    ASSERT_EQ(merged.userData.GetSize(), 2u);
    const QuintairDataUserData* anna = merged.userData.FindUser(GuidOfUser(1));
    const QuintairDataUserData* bert = merged.userData.FindUser(GuidOfUser(2));
    ASSERT_TRUE(anna != nullptr && bert != nullptr);
    EXPECT_EQ(anna->stationId.ToUtf8(), "A1");
    EXPECT_EQ(anna->stationX, 1.0);
    EXPECT_EQ(bert->stationId.ToUtf8(), "B1");
    EXPECT_EQ(bert->stationX, 2.0);
    EXPECT_EQ(Main().userData.GetSize(), 2u);

    ReportData report;
    ASSERT_TRUE(ReadStoredBlock(Model().moduleData["REPORT"].bytes, report));
    ASSERT_EQ(report.records.GetSize(), 2u);
    EXPECT_EQ(report.records[0].lines[0].ToUtf8(), "anna A1");
    EXPECT_EQ(report.records[1].lines[0].ToUtf8(), "bert B1");
    EXPECT_EQ(Main().report.records.GetSize(), 2u);

    // Merging touched nothing live: no station reverted, no second watcher, no
    // station mode or language module reset.
    EXPECT_EQ(measuringState.stationX, 2.0);
    EXPECT_EQ(measuringState.stationMode, 1);
    EXPECT_EQ(Main().stationId.ToUtf8(), "B1");
    EXPECT_EQ(Main().pointCabWatcherNumber, watcher);
    EXPECT_EQ(CurrentResourceModule(), languageModule);
}

// Only the merging modes write a destination, and only from a whole incoming block.
TEST_F(StoredProject, MergeWritesOnlyInItsModesAndFromWholeBlocks)
{
    TempFolder work;
    StartHost(work.path());
    SaveAsUser(1, "anna", 1.0, "A1");
    const Bytes stored = Model().moduleData[""].bytes;
    const Bytes cut(stored.begin(), stored.begin() + static_cast<std::ptrdiff_t>(stored.size() / 2));
    const struct
    {
        std::int32_t mode;
        const char* module;
        Bytes incoming;
        bool written;
    } cases[] = {
        {10, "", stored, false}, {13, "REPORT", stored, false}, {0, "", stored, false}, {11, "", stored, true},
        {12, "", stored, true},  {11, "", cut, false},          {11, "", {}, true},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE("mode " + std::to_string(c.mode) + " \"" + c.module + "\", " + std::to_string(c.incoming.size()) + " bytes");
        MergeBlock base(stored);
        MergeBlock incoming(c.incoming);
        MergeBlock destination;
        EXPECT_EQ(Main().MergeModuleData(c.mode, c.module, &base.block, &incoming.block, &destination.block), 0);
        EXPECT_EQ(destination.block.dataHdl != nullptr, c.written);
        EXPECT_EQ(Main().userData.GetSize(), 1u);
    }
}

}  // namespace
