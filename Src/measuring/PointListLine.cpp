#include "measuring/PointListLine.hpp"

#include <array>
#include <charconv>

#include "HostApiHelpers.hpp"

namespace {

bool IsSeparator(char c) { return c == ' ' || c == '\t'; }

// The next part of the line from `cursor` on, empty at the line's end.
std::string NextPart(const char*& cursor)
{
    while (IsSeparator(*cursor)) ++cursor;
    const char* start = cursor;
    while (*cursor != '\0' && !IsSeparator(*cursor)) ++cursor;
    return std::string(start, cursor);
}

void AppendFixed(std::string& text, double value)
{
    std::array<char, 64> digits {};
    const auto result = std::to_chars(digits.data(), digits.data() + digits.size(), value, std::chars_format::fixed, 4);
    text.append(digits.data(), result.ptr);
}

}  // namespace

bool PointListLine::Read(const char* line, API_Coord3D& point)
{
    if (line == nullptr) return false;
    std::array<double, 3> values {};
    for (double& value : values) {
        const std::string part = NextPart(line);
        if (part.empty() || ParseDouble(part.c_str(), &value) == 0) return false;
    }
    point = {values[0], values[1], values[2]};
    return true;
}

std::string PointListLine::Format(const API_Coord3D& point)
{
    std::string text;
    AppendFixed(text, point.x);
    text += ' ';
    AppendFixed(text, point.y);
    text += ' ';
    AppendFixed(text, point.z);
    text += "\r\n";
    return text;
}
