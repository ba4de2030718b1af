#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Starting programs as Windows would: the command lines the add-on hands to
// WinExec are recorded, never run, so the host and the tests can see them;
// CreateProcess starts the program for real.
namespace Win
{

constexpr std::uint32_t SW_HIDE = 0;
// WinExec's answer for a started program; 31 and below are errors.
constexpr std::uint32_t WinExecStarted = 33;

struct CommandRecord
{
    std::string commandLine;
    std::uint32_t showMode = 0;
};

std::uint32_t WinExec(const std::string& commandLine, std::uint32_t showMode);
std::vector<CommandRecord> RecordedCommands();
void ClearRecordedCommands();

// Starts the program through posix_spawn with the command line's blank-separated
// words as its arguments and this process's environment, the message folder
// added, so that its window messages reach this desktop. Not waited for; the
// process id, or 0 when the program could not start.
int CreateProcess(const std::string& applicationName, const std::string& commandLine);

// The executable name of every living process (its base name; "Unknown" where it
// cannot be read); false when the process list cannot be read.
bool RunningProcessNames(std::vector<std::string>& names);

}  // namespace Win
