#include "Win/Process.hpp"

#include <dirent.h>
#include <spawn.h>
#include <unistd.h>

#include <cctype>
#include <cstring>
#include <fstream>
#include <mutex>
#include <sstream>

#include "Win/WindowMessages.hpp"

extern char** environ;

namespace Win
{

namespace
{
struct CommandLog
{
    std::mutex mutex;
    std::vector<CommandRecord> commands;
};

CommandLog& TheLog()
{
    static CommandLog log;
    return log;
}
std::vector<std::string> Words(const std::string& text)
{
    std::vector<std::string> words;
    std::istringstream in(text);
    std::string word;
    while (in >> word) words.push_back(word);
    return words;
}

// This process's environment with the message folder in place of any other.
std::vector<std::string> ChildEnvironment()
{
    const std::string prefix = std::string(MessageFolderVariable) + "=";
    std::vector<std::string> environment;
    for (char** entry = environ; entry != nullptr && *entry != nullptr; ++entry)
        if (std::strncmp(*entry, prefix.c_str(), prefix.size()) != 0) environment.emplace_back(*entry);
    environment.push_back(prefix + MessageFolder());
    return environment;
}

std::vector<char*> Pointers(std::vector<std::string>& texts)
{
    std::vector<char*> pointers;
    for (std::string& text : texts) pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

bool IsProcessId(const char* name)
{
    if (*name == '\0') return false;
    for (; *name != '\0'; ++name)
        if (!std::isdigit(static_cast<unsigned char>(*name))) return false;
    return true;
}

// A process that ended but was not waited for yet runs no more.
bool HasEnded(const std::string& processFolder)
{
    std::ifstream stat(processFolder + "/stat");
    std::string line;
    if (!std::getline(stat, line)) return true;
    const std::size_t close = line.rfind(')');
    return close == std::string::npos || close + 2 >= line.size() || line[close + 2] == 'Z' || line[close + 2] == 'X';
}

std::string ExecutableName(const std::string& processFolder)
{
    char target[4096];
    const ssize_t length = readlink((processFolder + "/exe").c_str(), target, sizeof target - 1);
    if (length <= 0) return "Unknown";
    const std::string path(target, static_cast<std::size_t>(length));
    return path.substr(path.rfind('/') + 1);
}

}  // namespace

int CreateProcess(const std::string& applicationName, const std::string& commandLine)
{
    std::vector<std::string> arguments = Words(commandLine);
    arguments.insert(arguments.begin(), applicationName);
    std::vector<std::string> environment = ChildEnvironment();
    std::vector<char*> argv = Pointers(arguments);
    std::vector<char*> envp = Pointers(environment);
    pid_t process = 0;
    if (posix_spawn(&process, applicationName.c_str(), nullptr, nullptr, argv.data(), envp.data()) != 0) return 0;
    return process;
}

bool RunningProcessNames(std::vector<std::string>& names)
{
    names.clear();
    DIR* proc = opendir("/proc");
    if (proc == nullptr) return false;
    while (const dirent* entry = readdir(proc))
    {
        if (!IsProcessId(entry->d_name)) continue;
        const std::string folder = std::string("/proc/") + entry->d_name;
        if (!HasEnded(folder)) names.push_back(ExecutableName(folder));
    }
    closedir(proc);
    return true;
}

std::uint32_t WinExec(const std::string& commandLine, std::uint32_t showMode)
{
    auto& log = TheLog();
    std::lock_guard<std::mutex> lock(log.mutex);
    log.commands.push_back({commandLine, showMode});
    return WinExecStarted;
}

std::vector<CommandRecord> RecordedCommands()
{
    auto& log = TheLog();
    std::lock_guard<std::mutex> lock(log.mutex);
    return log.commands;
}

void ClearRecordedCommands()
{
    auto& log = TheLog();
    std::lock_guard<std::mutex> lock(log.mutex);
    log.commands.clear();
}

}  // namespace Win
