#include <cstdlib>
#include <fstream>
#include <sstream>

#include "API/AddOnInterface.hpp"
#include "AddOnGlobals.hpp"
#include "MeasuringState.hpp"

namespace {

// The second token of the first line whose key matches, compared without case.
bool FindNumber(const std::string& content, const GS::UniString& key, double& value)
{
    std::istringstream lines(content);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream tokens(line);
        std::string first, second;
        if (!(tokens >> first) || !GS::UniString(first).IsEqualIgnoringCase(key)) continue;
        if (!(tokens >> second)) return false;
        value = std::strtod(second.c_str(), nullptr);
        return true;
    }
    return false;
}

}  // namespace

void ReadConfigFile()
{
    IO::Location location = HostGetOwnLocation();
    location.SetLastLocalName("Survanto.cfg");
    std::ifstream in(location.ToPath());
    if (!in) return;
    std::stringstream content;
    content << in.rdbuf();

    double value = 0.0;
    if (FindNumber(content.str(), "RelocationAngleDiffMax", value)) measuringState.relocationAngleDiffMax = value;
    measuringState.debugMode = 0;
    if (FindNumber(content.str(), "DebugMode", value) && value == 1.0) measuringState.debugMode = 1;
}
