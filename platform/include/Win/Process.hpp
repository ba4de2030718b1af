#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Starting programs as Windows would: the command lines the add-on hands to
// WinExec are recorded, never run, so the host and the tests can see them.
namespace Win {

constexpr std::uint32_t SW_HIDE = 0;
// WinExec's answer for a started program; 31 and below are errors.
constexpr std::uint32_t WinExecStarted = 33;

struct CommandRecord {
    std::string commandLine;
    std::uint32_t showMode = 0;
};

std::uint32_t WinExec(const std::string& commandLine, std::uint32_t showMode);
std::vector<CommandRecord> RecordedCommands();
void ClearRecordedCommands();

}  // namespace Win
