#include "measuring/PointListLine.hpp"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <locale.h>

namespace
{

bool IsSeparator(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
// A unit behind a number: ASCII letters, or any byte of a character beyond ASCII ("µm").
bool IsUnitByte(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    return (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') || byte >= 0x80;
}

// Digits from `at` on, copied to `out`; how many there were.
std::size_t TakeDigits(const std::string& part, std::size_t& at, std::string& out)
{
    const std::size_t start = at;
    while (at < part.size() && IsDigit(part[at])) out += part[at++];
    return at - start;
}

// The number's text as strtod reads it in the C locale; nothing when the part holds anything else.
bool NumberText(const std::string& part, std::string& number)
{
    std::size_t at = 0;
    if (at < part.size() && (part[at] == '+' || part[at] == '-')) number += part[at++];
    std::size_t digits = TakeDigits(part, at, number);
    if (at < part.size() && (part[at] == '.' || part[at] == ','))
    {
        number += '.';
        ++at;
        digits += TakeDigits(part, at, number);
    }
    if (digits == 0) return false;
    if (at + 1 < part.size() && (part[at] == 'e' || part[at] == 'E'))
    {
        std::size_t exponent = at + 1;
        std::string text = "e";
        if (part[exponent] == '+' || part[exponent] == '-') text += part[exponent++];
        if (TakeDigits(part, exponent, text) > 0)
        {
            number += text;
            at = exponent;
        }
    }
    while (at < part.size() && IsUnitByte(part[at])) ++at;
    return at == part.size();
}

// The C locale for every reading: the host may run with a decimal comma.
locale_t CLocale()
{
    static const locale_t c = ::newlocale(LC_NUMERIC_MASK, "C", static_cast<locale_t>(nullptr));
    return c;
}

bool ReadNumber(const std::string& part, double& value)
{
    std::string number;
    if (!NumberText(part, number)) return false;
    value = ::strtod_l(number.c_str(), nullptr, CLocale());
    return std::isfinite(value);
}

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
    for (double& value : values)
    {
        const std::string part = NextPart(line);
        if (part.empty() || !ReadNumber(part, value)) return false;
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
