#pragma once
#include <cstdint>
#include <string>

class Survanto;

// Results of IsProcessRunning besides 1 (runs) and 0 (does not).
constexpr std::int32_t ProcessListUnreadable = 605;
constexpr std::int32_t SystemVersionUnreadable = 606;
constexpr std::int32_t ProcessNameInvalid = 632;

// Whether a process with this executable name runs, names compared without case.
std::int32_t IsProcessRunning(const Survanto& survanto, const std::string& executableName);
