#include <algorithm>
#include <filesystem>

#include "DG/DG.hpp"
#include "PointCabFixture.hpp"
#include "RS/ResourceModule.hpp"
#include "Waiting.hpp"

namespace
{

std::size_t ThreadCount()
{
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& task : std::filesystem::directory_iterator("/proc/self/task")) ++count;
    return count;
}

bool Posted(SimHost::Host& host, const std::string& command)
{
    return std::find(host.postedLog_.begin(), host.postedLog_.end(), command) != host.postedLog_.end();
}

using PointCabWatcher = PointCabTest;

TEST_F(PointCabWatcher, NoticesAWriteAndPostsNewPoints)
{
    host().RunPendingCommands();
    WriteExchange(Document(Annotation(Point(FreshId(), "1 2 3 0"))));
    ASSERT_TRUE(host().WaitForPostedCommand(HangGuardMs));
    host().RunPendingCommands();
    EXPECT_TRUE(Posted(host(), "NEWP"));
    EXPECT_EQ(Count(ReadExchange(), "<Annotation"), 0u) << "the posted command ran the import";
}

TEST_F(PointCabWatcher, NoticesAWriteInASubfolder)
{
    const std::string sub = folder_.path() + "/AppData/Jobs";
    std::filesystem::create_directories(sub);
    survanto().RestartPointCabWatcher();
    host().RunPendingCommands();
    host().postedLog_.clear();
    std::ofstream(sub + "/scan.txt") << "x";
    ASSERT_TRUE(host().WaitForPostedCommand(HangGuardMs));
    host().RunPendingCommands();
    EXPECT_TRUE(Posted(host(), "NEWP"));
}

TEST_F(PointCabWatcher, AFolderThatCannotBeWatchedBringsTheAlert)
{
    const GSResModule module = CurrentResourceModule();
    for (const std::string& path : {std::string("relativ/vezadovi4vuz.lse"), folder_.path() + "/fehlt/vezadovi4vuz.lse"})
    {
        DG::ClearRecordedAlerts();
        host().RunPendingCommands();
        survanto().exchangeFile = path;
        survanto().RestartPointCabWatcher();
        ASSERT_TRUE(host().WaitForPostedCommand(HangGuardMs)) << path;
        host().RunPendingCommands();
        EXPECT_TRUE(Posted(host(), "ALRT")) << path;
        ASSERT_EQ(DG::RecordedAlerts().size(), 1u) << path;
        const DG::AlertRecord& alert = DG::RecordedAlerts().back();
        std::string expected = RS::GetIndString(32550, 81, module).ToUtf8();
        const std::size_t marker = expected.find("[FILEPATH]");
        if (marker != std::string::npos) expected.replace(marker, 10, path);
        EXPECT_EQ(alert.text1.ToUtf8(), expected);
        EXPECT_EQ(alert.title, RS::GetIndString(32550, 3, module));
        EXPECT_EQ(alert.text2, RS::GetIndString(32550, 82, module));
    }
}

TEST(PointCabWatcherLife, OneWatcherAtATimeAndNoneLeftAfterQuitting)
{
    const std::size_t before = ThreadCount();
    TempFolder folder;
    SimHost::Host::Options options;
    options.workFolder = folder.path();
    InProcessHost host(options);
    Survanto& survanto = *theSurvanto.load();
    ASSERT_NE(survanto.pointCabWatcherNumber, 0);
    const std::size_t running = ThreadCount();
    for (int i = 0; i < 3; ++i) survanto.RestartPointCabWatcher();
    EXPECT_EQ(ThreadCount(), running) << "each restart joins the watcher it replaces";
    host->Quit();
    EXPECT_EQ(survanto.pointCabWatcherNumber, 0);
    EXPECT_LE(ThreadCount(), before) << "quitting while the watcher waits ends and joins it";
}

}  // namespace
