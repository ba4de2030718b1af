// A host that drops the add-on without FreeData, played by survanto-host in a
// child process: the process must end, and the add-on's unload hook says why.
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <random>

#include "ChildHost.hpp"

namespace fs = std::filesystem;

namespace
{

struct Ending
{
    const char* name;
    const char* scenario;
};

// After start the watcher waits for its first change; after a change it has posted and waits again.
const Ending Endings[] = {
    {"UnloadAfterStart", "start\nunload\n"},
    {"UnloadAfterAChange", "start\nnew-project\nannotation {ab-1} 2 3 4 0 0 0 0 0\nwait-newp\nunload\n"},
    {"ExitAfterStart", "start\nexit\n"},
    {"ExitAfterAChange", "start\nnew-project\nannotation {ab-3} 2 3 4 0 0 0 0 0\nwait-newp\nexit\n"},
};

class AbnormalTermination : public ::testing::TestWithParam<Ending>
{
protected:
    AbnormalTermination() : folder_(fs::temp_directory_path() / ("survanto-ending-" + std::to_string(std::random_device {}())))
    {
        fs::create_directories(folder_);
    }
    ~AbnormalTermination() override
    {
        std::error_code ec;
        fs::remove_all(folder_, ec);
    }
    fs::path folder_;
};

TEST_P(AbnormalTermination, TheProcessEndsAndTheUnloadHookSaysSo)
{
    // The host never freed the main object: it stays behind by design, not as a fault of the add-on.
    ::setenv("ASAN_OPTIONS", "detect_leaks=0", 1);
    const ChildRun run = RunHostProcess(folder_.string(), GetParam().scenario);
    ASSERT_TRUE(run.ended) << "still running after the deadline\n" << run.out << run.err;
    ASSERT_TRUE(WIFEXITED(run.status)) << run.out << run.err;
    EXPECT_EQ(WEXITSTATUS(run.status), 0) << run.out << run.err;
    const std::string words =
        "Abnormal add-on termination (\"" + (folder_ / "work" / "Add-Ons" / "Survanto.apx").string() + "\")";
    EXPECT_NE(run.err.find(words), std::string::npos) << run.err;
}

INSTANTIATE_TEST_SUITE_P(Endings, AbnormalTermination, ::testing::ValuesIn(Endings),
                         [](const ::testing::TestParamInfo<Ending>& info) { return std::string(info.param.name); });

}  // namespace
