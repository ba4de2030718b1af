#pragma once
#include <string>
#include <vector>

// survanto-host as a child process, for what only a whole process shows: how it
// ends, and what it does with fewer privileges.
struct ChildRun
{
    bool ended = false;  // false: killed after the deadline
    int status = 0;      // as waitpid gives it
    std::string out;
    std::string err;
};

// Plays the scenario text with survanto-host, its work folder `folder`/work, started
// through `prefix` (a command and its arguments) when one is given.
ChildRun RunHostProcess(const std::string& folder, const std::string& scenario, const std::vector<std::string>& prefix = {});
