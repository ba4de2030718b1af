#include "ChildHost.hpp"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <sstream>
#include <thread>

extern char** environ;

namespace fs = std::filesystem;

namespace
{

constexpr auto Deadline = std::chrono::seconds(60);

std::string ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Waits for the child's end; a watchdog kills it when the deadline passes first,
// which only guards against a hang. False when it was killed.
bool AwaitEnd(pid_t pid, int& status)
{
    std::mutex mutex;
    std::condition_variable changed;
    bool ended = false;
    bool killed = false;
    std::thread watchdog([&] {
        std::unique_lock<std::mutex> lock(mutex);
        if (changed.wait_for(lock, Deadline, [&] { return ended; })) return;
        // Not reaped yet, so the id still names the child.
        ::kill(pid, SIGKILL);
        killed = true;
    });
    siginfo_t info {};
    int waited = 0;
    do waited = ::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOWAIT);
    while (waited != 0 && errno == EINTR);
    {
        const std::lock_guard<std::mutex> lock(mutex);
        ended = true;
    }
    changed.notify_all();
    watchdog.join();
    ::waitpid(pid, &status, 0);
    return !killed;
}

}  // namespace

ChildRun RunHostProcess(const std::string& folder, const std::string& scenario, const std::vector<std::string>& prefix)
{
    const fs::path base(folder);
    const std::string scn = (base / "child.scn").string();
    std::ofstream(scn, std::ios::binary) << scenario;
    const std::string out = (base / "child-out.txt").string(), err = (base / "child-err.txt").string();
    std::vector<std::string> words = prefix;
    for (const std::string& word : {std::string(SURVANTO_HOST_PATH), std::string("--work"), (base / "work").string(), scn})
        words.push_back(word);
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = 0;
    ChildRun run;
    const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
    {
        run.err = "cannot start " + words.front();
        return run;
    }
    run.ended = AwaitEnd(pid, run.status);
    run.out = ReadFile(out);
    run.err = ReadFile(err);
    if (!run.ended) run.err += "\nkilled: still running after " + std::to_string(Deadline.count()) + " s\n";
    return run;
}
