#include "ChildHost.hpp"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

extern char** environ;

namespace fs = std::filesystem;

namespace {

constexpr auto Deadline = std::chrono::seconds(60);

std::string ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
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
    if (spawned != 0) {
        run.err = "cannot start " + words.front();
        return run;
    }
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
