#include "Win/Process.hpp"

#include <mutex>

namespace Win {

namespace {
struct CommandLog {
    std::mutex mutex;
    std::vector<CommandRecord> commands;
};

CommandLog& TheLog()
{
    static CommandLog log;
    return log;
}
}  // namespace

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
