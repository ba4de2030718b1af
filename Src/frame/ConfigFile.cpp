#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>

#include "API/AddOnInterface.hpp"
#include "frame/AddOnGlobals.hpp"
#include "measuring/MeasuringState.hpp"

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

// The file's text with every line break as LF and without a UTF-8 byte-order mark;
// none when the file cannot be read or is empty, which counts as not loaded.
std::optional<std::string> ReadConfigText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream content;
    content << in.rdbuf();
    std::string text = content.str();
    if (text.empty()) return std::nullopt;
    if (text.rfind("\xEF\xBB\xBF", 0) == 0) text.erase(0, 3);
    std::replace(text.begin(), text.end(), '\r', '\n');
    return text;
}

}  // namespace

void ReadConfigFile()
{
    IO::Location location = HostGetOwnLocation();
    location.SetLastLocalName("Survanto.cfg");
    const std::optional<std::string> content = ReadConfigText(location.ToPath());
    if (!content) return;

    double value = 0.0;
    if (FindNumber(*content, "RelocationAngleDiffMax", value)) measuringState.relocationAngleDiffMax = value;
    measuringState.debugMode = 0;
    if (FindNumber(*content, "DebugMode", value) && value == 1.0) measuringState.debugMode = 1;
}
