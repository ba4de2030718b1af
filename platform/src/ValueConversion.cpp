#include "GS/ValueConversion.hpp"

#include <charconv>
#include <cmath>
#include <cstring>

namespace GS
{

bool strtovalue(const char* text, double& value, bool trim)
{
    value = 0.0;
    if (text == nullptr) return false;
    if (trim)
        while (*text == ' ' || *text == '\t') ++text;
    const bool negative = *text == '-';
    if (*text == '+' || negative) ++text;
    if (*text == '+' || *text == '-') return false;
    double read = 0.0;
    const auto [end, error] = std::from_chars(text, text + std::strlen(text), read, std::chars_format::general);
    if (error != std::errc() || end == text || !std::isfinite(read)) return false;
    value = negative ? -read : read;
    return true;
}

}  // namespace GS
