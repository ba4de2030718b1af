#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "InProcessHost.hpp"
#include "JobTestSupport.hpp"
#include "ProjectModel.hpp"
#include "palettes/VaroImportPalette.hpp"
#include "pointclouds/JobFolderScan.hpp"

namespace
{

const API_Guid SectionGuid = APIGuidFromString("{A0A0A0A0-0000-0000-0000-00000000000A}");

// The folder tree of the scan's rules below a temporary folder F.
class JobFolderScanTest : public ::testing::Test
{
protected:
    InProcessHost host;
    TempFolder folder;
    VaroImportPalette palette;

    void SetUp() override
    {
        host->model_.content.storeyLevels = {{0, 0.0}, {1, 3.0}, {2, 6.0}};
        host->model_.currentStorey = 2;
        for (const char* job : {"A_info", "site/B_info", "site/north/C_info", "site/north/east/D_info", "X_results/E_info",
                                "Y_results_info", "A_info_2"})
            std::filesystem::create_directories(Path(job));
        WriteTiles("A_info/A-coord.txt", 1);
        WriteTiles("A_info_2/A_2-coord.txt", 2);
        std::ofstream(Path("Z_info")) << "a file, not a job";
    }

    std::string Path(const std::string& below) const { return folder.path() + "/" + below; }
    GS::UniString Root() const { return GS::UniString(folder.path()); }

    void WriteTiles(const std::string& file, int count)
    {
        std::ofstream out(Path(file));
        for (int i = 0; i < count; ++i)
            out << "Tile Name = tiles/t" << i << ".jpg\nLeft Bottom x = " << i << "; y = 0; z = 0\nRight Bottom x = " << i + 1
                << "; y = 0; z = 0\n";
    }

    std::vector<std::string> JobNames() const
    {
        std::vector<std::string> names;
        for (const OrtophotoData& job : palette.importData.jobs) names.push_back(job.jobName.ToUtf8());
        return names;
    }

    const OrtophotoData& Job(const char* name) const
    {
        for (const OrtophotoData& job : palette.importData.jobs)
            if (job.jobName == GS::UniString(name)) return job;
        throw std::runtime_error(name);
    }
};

TEST_F(JobFolderScanTest, FindsJobsDownToThreeLevelsPassingOverResults)
{
    palette.ReadJobFolder(Root());
    EXPECT_EQ(palette.importData.jobFolder, Root());
    EXPECT_EQ(JobNames(), (std::vector<std::string> {"A", "A_2", "Y_results", "B", "C"}));

    const OrtophotoData& a = Job("A");
    ASSERT_EQ(a.tiles.GetSize(), 1u);
    EXPECT_EQ(a.tiles[0].imagePath.ToUtf8(), Path("tiles/t0.jpg"));
    EXPECT_EQ(Job("A_2").tiles.GetSize(), 2u);
    EXPECT_EQ(Job("B").tiles.GetSize(), 0u);
    for (const OrtophotoData& job : palette.importData.jobs)
    {
        EXPECT_FALSE(job.execute);
        EXPECT_FALSE(job.hasOrigin);
        EXPECT_TRUE(job.layerFromJobName);
        EXPECT_EQ(job.target.databaseType, ACDatabaseID::FloorPlan);
        EXPECT_EQ(job.target.databaseGuid, APINULLGuid);
        EXPECT_EQ(job.target.storey, 2);
    }
}

// Settings and tiles of jobs found again are kept, their placed pictures are not,
// so the next apply leaves the pictures placed before alone.
TEST_F(JobFolderScanTest, RescanOfTheSameFolderKeepsSettingsOfKnownJobs)
{
    palette.ReadJobFolder(Root());
    OrtophotoData& a = palette.importData.jobs[0];
    a.execute = true;
    a.target = {ACDatabaseID::Section, SectionGuid, 0, GS::UniString("Schnitt")};
    a.placedPictures.Add(SectionGuid);
    WriteTiles("A_info/A-coord.txt", 3);
    std::filesystem::create_directories(Path("N_info"));
    host->model_.currentStorey = 1;

    palette.ReadJobFolder(Root());
    EXPECT_EQ(JobNames(), (std::vector<std::string> {"A", "A_2", "N", "Y_results", "B", "C"}));
    const OrtophotoData& again = Job("A");
    EXPECT_TRUE(again.execute);
    EXPECT_EQ(again.target.databaseType, ACDatabaseID::Section);
    EXPECT_EQ(again.target.databaseGuid, SectionGuid);
    EXPECT_EQ(again.target.name, GS::UniString("Schnitt"));
    EXPECT_EQ(again.tiles.GetSize(), 1u);
    EXPECT_EQ(again.placedPictures.GetSize(), 0u);
    EXPECT_EQ(Job("B").target.storey, 2);
    EXPECT_EQ(Job("N").target.storey, 1);
}

TEST_F(JobFolderScanTest, AnotherFolderGivesEveryJobTheDefaults)
{
    palette.ReadJobFolder(Root());
    palette.importData.jobs[0].execute = true;
    palette.ReadJobFolder(GS::UniString(Path("site")));
    EXPECT_EQ(JobNames(), (std::vector<std::string> {"B", "C", "D"}));
    palette.ReadJobFolder(GS::UniString(Path("A_info/..")));
    EXPECT_FALSE(Job("A").execute);
}

TEST_F(JobFolderScanTest, MissingOrEmptyFolderGivesNoJobs)
{
    palette.ReadJobFolder(Root());
    palette.ReadJobFolder(GS::UniString(Path("gone")));
    EXPECT_EQ(palette.importData.jobFolder, GS::UniString(Path("gone")));
    EXPECT_TRUE(palette.importData.jobs.IsEmpty());
    palette.ReadJobFolder(GS::UniString());
    EXPECT_TRUE(palette.importData.jobs.IsEmpty());
}

// Links to folders are passed over: one back to the chosen folder would list
// its jobs again, one to the root would walk the whole file system, one to a
// job folder elsewhere is not a job of this folder.
TEST_F(JobFolderScanTest, LinksToFoldersAreNotWalked)
{
    TempFolder elsewhere;
    std::filesystem::create_directories(elsewhere.path() + "/L_info");
    std::filesystem::create_directory_symlink(folder.path(), Path("site/back"));
    std::filesystem::create_directory_symlink("/", Path("root"));
    std::filesystem::create_directory_symlink(elsewhere.path() + "/L_info", Path("L_info"));
    palette.ReadJobFolder(Root());
    EXPECT_EQ(JobNames(), (std::vector<std::string> {"A", "A_2", "Y_results", "B", "C"}));
}

// The entries are listed first and visited after; what changes in between is
// taken as it is then found.
struct ChangingScan
{
    JobFolderScan scan;
    std::function<void(const std::string&)> beforeEntry;
};

bool VisitAfterChange(const IO::Folder& parent, const IO::Name& entryName, bool isFolder, void* userData)
{
    auto& changing = *static_cast<ChangingScan*>(userData);
    changing.beforeEntry(entryName.ToString());
    return ScanJobFolderEntry(parent, entryName, isFolder, &changing.scan);
}

TEST_F(JobFolderScanTest, AFolderChangingWhileItIsScannedIsTakenAsItIsFound)
{
    namespace fs = std::filesystem;
    VaroImportData list;
    ChangingScan changing {{0, list}, [this](const std::string& entry) {
                               if (entry == "A_info") fs::remove(Path("A_info/A-coord.txt"));
                               if (entry == "A_info_2")
                               {
                                   fs::remove(Path("A_info_2/A_2-coord.txt"));
                                   fs::create_directory(Path("A_info_2/A_2-coord.txt"));
                               }
                               if (entry == "site") fs::remove_all(Path("site"));
                               if (entry == "Y_results_info") fs::rename(Path("Y_results_info"), Path("moved"));
                           }};
    EXPECT_EQ(IO::Folder(IO::Location(folder.path())).Enumerate(VisitAfterChange, &changing), 0);
    std::vector<std::string> names;
    for (const OrtophotoData& job : list.jobs)
    {
        names.push_back(job.jobName.ToUtf8());
        EXPECT_EQ(job.tiles.GetSize(), 0u) << job.jobName.ToUtf8();
    }
    EXPECT_EQ(names, (std::vector<std::string> {"A", "A_2", "Y_results"}));
}

// A view the host does not know counts as deleted.
TEST(ValidateTargets, VanishedViewsBecomeTheCurrentFloorPlan)
{
    InProcessHost host;
    host->model_.content.storeyLevels = {{0, 0.0}, {1, 3.0}};
    host->model_.currentStorey = 1;
    VaroImportData data;
    const ACDatabaseID targets[] = {{ACDatabaseID::Section, SectionGuid, 0, GS::UniString("Schnitt")},
                                    {ACDatabaseID::FloorPlan, APINULLGuid, 3, GS::UniString()},
                                    {ACDatabaseID::Elevation, APINULLGuid, 0, GS::UniString("Neu")}};
    for (const ACDatabaseID& target : targets)
    {
        OrtophotoData job;
        job.target = target;
        data.jobs.Add(job);
    }
    data.ValidateTargets();
    const ACDatabaseID& reset = data.jobs[0].target;
    EXPECT_EQ(reset.databaseType, ACDatabaseID::FloorPlan);
    EXPECT_EQ(reset.databaseGuid, APINULLGuid);
    EXPECT_EQ(reset.storey, 1);
    EXPECT_EQ(reset.name, GS::UniString("Schnitt"));
    EXPECT_EQ(data.jobs[1].target.storey, 3);
    EXPECT_EQ(data.jobs[2].target.databaseType, ACDatabaseID::Elevation);
    EXPECT_EQ(data.jobs[2].target.name, GS::UniString("Neu"));
}

}  // namespace
