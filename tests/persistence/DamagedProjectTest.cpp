#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>

#include "ChildHost.hpp"
#include "DG/DG.hpp"
#include "FileBytes.hpp"
#include "InProcessHost.hpp"
#include "ProjectFile.hpp"
#include "StoredBlock.hpp"
#include "frame/AddOnGlobals.hpp"
#include "frame/Survanto.hpp"
#include "measuring/MeasuringState.hpp"
#include "persistence/DamagedData.hpp"
#include "persistence/ProjectData.hpp"

namespace
{

using Bytes = std::vector<std::uint8_t>;

constexpr char MainBlock[] = "";
constexpr char ReportBlock[] = "REPORT";

// The alert's texts as the German resources give them.
constexpr char AlertStart[] = "[Survanto - Fehler!: Survanto konnte seine Daten in diesem Projekt nicht vollständig lesen. "
                              "Nicht gelesen: ";
constexpr char KeptIn[] = ". | Die gespeicherten Daten bleiben unverändert erhalten in: ";
constexpr char EveryMainPart[] = "Messdaten der Benutzer, Querschnittsprofile, Standorte und Einstellungen, Orthofoto-Aufträge";

Bytes Utf16(const std::u16string& text)
{
    Bytes bytes;
    for (const char16_t unit : text)
    {
        bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
    }
    return bytes;
}

// Where a text's UTF-16 units begin in a block.
std::size_t Find(const Bytes& block, const std::u16string& text)
{
    const Bytes units = Utf16(text);
    const auto at = std::search(block.begin(), block.end(), units.begin(), units.end());
    EXPECT_NE(at, block.end()) << "the block holds no such text";
    return static_cast<std::size_t>(at - block.begin());
}

SectionPalette::SectionDataType Square(double size)
{
    SectionPalette::SectionDataType square;
    square.coords.Add(API_Coord {0, 0});
    for (const API_Coord corner :
         {API_Coord {0, 0}, API_Coord {size, 0}, API_Coord {size, size}, API_Coord {0, size}, API_Coord {0, 0}})
        square.coords.Add(corner);
    square.ends.Add(0);
    square.ends.Add(5);
    square.coordCount = 5;
    square.endCount = 1;
    square.contourPen = square.fillPen = 1;
    return square;
}

OrtophotoData Job(const char* name)
{
    OrtophotoData job;
    job.jobName = name;
    OrtophotoDataPart tile;
    tile.imagePath = std::string("/jobs/") + name + "_info/tile-1.png";
    tile.rightUpper = API_Coord3D {2, 2, 0};
    job.tiles.Add(tile);
    return job;
}

// A surveyor's small project: an element made, a station at x 7 and a reference
// height 2.5, two profiles, two orthophoto jobs and three report lines.
class DamagedProject : public ::testing::Test
{
protected:
    void SetUp() override
    {
        before_ = measuringState;
        DG::ForgetAllDialogs();
        SimHost::Host::Options options;
        options.workFolder = build_.path();
        host_ = std::make_unique<InProcessHost>(options);
        host_->host().NewProject();
        Survanto& main = *theSurvanto.load();
        main.elementCreated = true;
        measuringState.stationX = 7.0;
        measuringState.stationY = 3.0;
        measuringState.referenceHeight = 2.5;
        AddProfile(main.sectionPalette, "Profil-A", 0.2);
        AddProfile(main.sectionPalette, "Profil-B", 0.4);
        main.importPalette.importData.jobFolder = "/jobs";
        main.importPalette.importData.jobs.Add(Job("Boden"));
        main.importPalette.importData.jobs.Add(Job("Fassade"));
        for (const char* line : {"one", "two", "three"}) main.report.GetCurrentUserData().lines.Add(line);
        ASSERT_TRUE(main.SaveModuleData());
        ASSERT_TRUE(main.SaveReportData());
        saved_ = host_->host().model_;
    }
    void TearDown() override
    {
        host_.reset();
        measuringState = before_;
        DG::ForgetAllDialogs();
    }

    static void AddProfile(SectionPalette& palette, const char* name, double size)
    {
        palette.currentPolygons.Clear();
        palette.currentPolygons.Add(Square(size));
        VectorImage image;
        palette.PolygonsToImage(image);
        palette.currentPolygons.Clear();
        palette.profileNames.Add(name);
        palette.profileImages.Add(image);
    }

    Bytes Saved(const char* block) { return saved_.moduleData[GS::UniString(block)].bytes; }

    // The saved project with one block replaced, as a file in `folder`'s work folder.
    std::string WriteDamaged(const std::string& folder, const char* block, const Bytes& bytes)
    {
        SimHost::ProjectModel damaged = saved_;
        damaged.moduleData[GS::UniString(block)].bytes = bytes;
        std::filesystem::create_directories(folder + "/work");
        const std::string path = folder + "/work/damaged.json";
        std::string error;
        EXPECT_TRUE(SimHost::SaveProjectFile(damaged, path, error)) << error;
        return path;
    }

    SimHost::ProjectModel ReadProject(const std::string& path)
    {
        SimHost::ProjectModel model;
        std::string error;
        EXPECT_TRUE(SimHost::ReadProjectFile(path, model, error)) << error;
        return model;
    }

    TempFolder build_;
    std::unique_ptr<InProcessHost> host_;
    SimHost::ProjectModel saved_;

private:
    MeasuringState before_;
};

std::string AlertsPrinted(const ChildRun& run)
{
    const std::string key = "alerts: ";
    const std::size_t at = run.out.rfind(key);
    if (at == std::string::npos) return "none printed";
    const std::size_t end = run.out.find('\n', at);
    return run.out.substr(at + key.size(), end == std::string::npos ? std::string::npos : end - at - key.size());
}

// A surveyor opens the damaged project, opens the import palette, ticks every
// job (which saves the add-on's data), gets a program message from the
// instrument (which saves the report) and saves the project. The instrument's
// prompt file is laid in the work folder beforehand, so the host keeps it.
constexpr char OpenChangeAndSave[] = R"(config # Survanto configuration
config DebugMode 1
keep-work-state
start
open-project damaged.json
run
menu 32500
click 32450 81
click 32465 13
instrument-event 39 0
run
save-project after.json
print alerts
)";

constexpr char Reopen[] = R"(start
open-project after.json
run
print alerts
)";

// Damaged project data: the surveyor is told once what could not be read and
// where the stored bytes are kept; the next save keeps what was read, the sound
// block stays, and a new host process opens the saved project without a word.
TEST_F(DamagedProject, IsToldOnceKeptBesideAndWhatWasReadSurvivesTheNextSave)
{
    const Bytes main = Saved(MainBlock), report = Saved(ReportBlock);
    // The store's header (24 bytes), platform byte and key; then the version and the element flag.
    constexpr std::size_t UserCountAt = 24 + 1 + 4 + 4 + 1;
    Bytes hugeCount = main;
    for (std::size_t i = 0; i < 4; ++i) hugeCount[UserCountAt + i] = i == 3 ? 0x7F : 0xFF;
    const Bytes insideProfiles(main.begin(), main.begin() + Find(main, u"Profil-B") + 20);
    const Bytes insideLastUserField(main.begin(), main.begin() + Find(main, u"C:\\temp\\vezadovi4vuz.lse") + 2);
    const Bytes insideReportLine(report.begin(), report.begin() + Find(report, u"three") + 2);

    const struct
    {
        const char* name;
        const char* block;
        Bytes bytes;
        std::string unread;
        std::function<void(const ProjectData&, const ReportData&)> check;
    } cases[] = {
        {"a user count of 2^31-1", MainBlock, hugeCount, EveryMainPart,
         [](const ProjectData& data, const ReportData&) { EXPECT_TRUE(data.elementCreated); }},
        {"a cut inside the second profile", MainBlock, insideProfiles,
         "Querschnittsprofile, Standorte und Einstellungen, Orthofoto-Aufträge",
         [](const ProjectData& data, const ReportData&) {
             ASSERT_EQ(data.sectionPalette.profileNames.GetSize(), 1u);
             EXPECT_EQ(data.sectionPalette.profileNames[0].ToUtf8(), "Profil-A");
         }},
        {"a cut two bytes into the user record's last field", MainBlock, insideLastUserField, EveryMainPart,
         [](const ProjectData&, const ReportData&) {}},
        {"a report record cut inside its third line", ReportBlock, insideReportLine, "Protokoll",
         [](const ProjectData& data, const ReportData& log) {
             EXPECT_EQ(data.sectionPalette.profileNames.GetSize(), 2u);
             ASSERT_EQ(data.importData.jobs.GetSize(), 2u);
             EXPECT_EQ(data.importData.jobs[1].jobName.ToUtf8(), "Fassade");
             ASSERT_EQ(log.records.GetSize(), 1u);
             const auto& lines = log.records[0].lines;
             ASSERT_EQ(lines.GetSize(), 3u);
             EXPECT_EQ(lines[0].ToUtf8(), "one");
             EXPECT_EQ(lines[1].ToUtf8(), "two");
         }},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        TempFolder folder;
        const std::string damaged = WriteDamaged(folder.path(), c.block, c.bytes);
        const std::string keptIn = damaged + ".Survanto" + (std::string(c.block).empty() ? "" : "-REPORT") + ".bak";

        std::filesystem::create_directories(folder.path() + "/work/AppData");
        std::ofstream(folder.path() + "/work/AppData/quintairprompt.tmp") << "Neigung erreicht\r\n";
        const ChildRun first = RunHostProcess(folder.path(), OpenChangeAndSave);
        ASSERT_TRUE(first.ended && WIFEXITED(first.status) && WEXITSTATUS(first.status) == 0) << first.out << first.err;
        EXPECT_EQ(AlertsPrinted(first), AlertStart + c.unread + KeptIn + keptIn + "]");
        EXPECT_EQ(FileBytes(keptIn), c.bytes) << "the stored block is kept byte for byte";

        const ChildRun second = RunHostProcess(folder.path(), Reopen);
        ASSERT_TRUE(second.ended && WIFEXITED(second.status) && WEXITSTATUS(second.status) == 0) << second.out << second.err;
        EXPECT_EQ(AlertsPrinted(second), "");

        SimHost::ProjectModel after = ReadProject(folder.path() + "/work/after.json");
        ProjectData data;
        ReportData log;
        ASSERT_TRUE(ReadStoredBlock(after.moduleData[GS::UniString(MainBlock)].bytes, data));
        ASSERT_TRUE(ReadStoredBlock(after.moduleData[GS::UniString(ReportBlock)].bytes, log));
        // What was read before any of the damages: the surveyor's station and reference height.
        const QuintairDataUserData* surveyor = data.userData.FindUser(GS::Guid());
        ASSERT_NE(surveyor, nullptr);
        if (c.bytes != hugeCount)
        {
            EXPECT_EQ(surveyor->stationX, 7.0);
            EXPECT_EQ(surveyor->stationY, 3.0);
            EXPECT_EQ(surveyor->referenceHeight, 2.5);
        }
        // The report's block was sound unless it was the one damaged.
        if (std::string(c.block).empty())
        {
            ASSERT_EQ(log.records.GetSize(), 1u);
            ASSERT_GE(log.records[0].lines.GetSize(), 3u);
            EXPECT_EQ(log.records[0].lines[2].ToUtf8(), "three");
        }
        c.check(data, log);
    }
}

// The stored bytes go beside the project under a name of their own: a file that
// already holds them is used again, anything else under a name (other bytes, a
// FIFO, a link) is left alone and the next number taken; where no file can be
// made, nothing is kept.
TEST(KeepingDamagedBytes, UsesTheFirstNameThatHoldsThemOrIsFree)
{
    const std::vector<char> bytes {'\x11', '0', 'S', '\0', 'x'};
    const auto write = [](const std::string& path, const std::vector<char>& content) {
        std::ofstream(path, std::ios::binary).write(content.data(), static_cast<std::streamsize>(content.size()));
    };
    const struct
    {
        const char* name;
        std::function<void(const std::string& project)> prepare;
        const char* kept;  // behind the project's path; null: nothing kept
    } cases[] = {
        {"no file yet", [](const std::string&) {}, ".Survanto.bak"},
        {"the same bytes kept before", [&](const std::string& p) { write(p + ".Survanto.bak", bytes); }, ".Survanto.bak"},
        {"other bytes under the first name", [&](const std::string& p) { write(p + ".Survanto.bak", {'o'}); }, ".Survanto-2.bak"},
        {"a FIFO under the first name", [](const std::string& p) { ::mkfifo((p + ".Survanto.bak").c_str(), 0600); },
         ".Survanto-2.bak"},
        {"a link under the first two names",
         [&](const std::string& p) {
             write(p + ".elsewhere", bytes);
             std::filesystem::create_symlink(p + ".elsewhere", p + ".Survanto.bak");
             std::filesystem::create_symlink(p + ".missing", p + ".Survanto-2.bak");
         },
         ".Survanto-3.bak"},
        {"a project folder that is a file",
         [&](const std::string& p) {
             const std::filesystem::path site = std::filesystem::path(p).parent_path();
             std::filesystem::remove(site);
             write(site.string(), bytes);
         },
         nullptr},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        TempFolder folder;
        const std::string project = folder.path() + "/site/site.json";
        std::filesystem::create_directories(folder.path() + "/site");
        c.prepare(project);
        const std::string kept = DamagedData::KeepBeside(project, "", bytes);
        if (c.kept == nullptr)
        {
            EXPECT_EQ(kept, "");
            continue;
        }
        EXPECT_EQ(kept, project + c.kept);
        const Bytes held = FileBytes(kept);
        EXPECT_EQ(std::vector<char>(held.begin(), held.end()), bytes);
    }
}

}  // namespace
