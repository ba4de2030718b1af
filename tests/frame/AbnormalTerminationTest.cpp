// A host that drops the add-on without FreeData, played by survanto-host in a
// child process: the process must end, and the add-on's unload hook says why.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <thread>

extern char** environ;

namespace fs = std::filesystem;

namespace {

constexpr auto Deadline = std::chrono::seconds(60);

struct Ending {
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

std::string ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

struct ChildRun {
    bool ended = false;
    int status = 0;
    std::string out;
    std::string err;
};

// Runs survanto-host on the scenario; kills it when it outlives the deadline.
ChildRun RunHost(const fs::path& folder, const std::string& scenario)
{
    const fs::path scn = folder / "ending.scn";
    std::ofstream(scn) << scenario;
    const std::string out = (folder / "out.txt").string(), err = (folder / "err.txt").string();
    const std::string work = (folder / "work").string();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::string host = SURVANTO_HOST_PATH, workFlag = "--work", scnPath = scn.string();
    char* argv[] = {host.data(), workFlag.data(), const_cast<char*>(work.c_str()), scnPath.data(), nullptr};
    pid_t pid = 0;
    ChildRun run;
    const int spawned = posix_spawn(&pid, host.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return run;
    const auto until = std::chrono::steady_clock::now() + Deadline;
    while (!run.ended && std::chrono::steady_clock::now() < until) {
        run.ended = ::waitpid(pid, &run.status, WNOHANG) == pid;
        if (!run.ended) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (!run.ended) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, &run.status, 0);
    }
    run.out = ReadFile(out);
    run.err = ReadFile(err);
    return run;
}

class AbnormalTermination : public ::testing::TestWithParam<Ending> {
protected:
    AbnormalTermination()
        : folder_(fs::temp_directory_path() / ("survanto-ending-" + std::to_string(std::random_device {}())))
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
    const ChildRun run = RunHost(folder_, GetParam().scenario);
    ASSERT_TRUE(run.ended) << "still running after the deadline\n" << run.out << run.err;
    ASSERT_TRUE(WIFEXITED(run.status)) << run.out << run.err;
    EXPECT_EQ(WEXITSTATUS(run.status), 0) << run.out << run.err;
    const std::string words = "Abnormal add-on termination (\"" + (folder_ / "work" / "Add-Ons" / "Survanto.apx").string() + "\")";
    EXPECT_NE(run.err.find(words), std::string::npos) << run.err;
}

INSTANTIATE_TEST_SUITE_P(Endings, AbnormalTermination, ::testing::ValuesIn(Endings),
                         [](const ::testing::TestParamInfo<Ending>& info) { return std::string(info.param.name); });

}  // namespace
