#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace SimHost {

// The host's progress window of a long command, and the user's cancel: from the
// cancelAt-th cancel query on (counted from 1), the user has cancelled.
struct ProgressWindow {
    bool open = false;
    std::string title;
    std::int32_t phases = 0;
    std::string phase;
    std::int32_t maxValue = 0;
    std::int32_t value = 0;
    int cancelQueries = 0;
    int cancelAt = 0;
    std::vector<std::string> log;  // what the add-on showed, one entry per request
};

}  // namespace SimHost
