#include "GS/CharCode.hpp"

#include "GS/UniString.hpp"

namespace GS
{

namespace
{

// 0x80-0x9F; the five unassigned bytes keep their Latin-1 control characters.
constexpr char16_t Windows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char16_t Windows1252ToUnit(unsigned char byte)
{
    return byte >= 0x80 && byte < 0xA0 ? Windows1252High[byte - 0x80] : static_cast<char16_t>(byte);
}

char UnitToWindows1252(char16_t unit)
{
    if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF)) return static_cast<char>(unit);
    for (int i = 0; i < 32; ++i)
        if (Windows1252High[i] == unit) return static_cast<char>(0x80 + i);
    return '?';
}

}  // namespace

std::u16string CharCodeToUtf16(const std::string& bytes, GSCharCode code)
{
    if (code == CC_UTF8) return Utf8ToUtf16(bytes);
    std::u16string units;
    units.reserve(bytes.size());
    for (const char c : bytes) units += Windows1252ToUnit(static_cast<unsigned char>(c));
    return units;
}

std::string Utf16ToCharCode(const std::u16string& units, GSCharCode code)
{
    if (code == CC_UTF8) return Utf16ToUtf8(units);
    std::string bytes;
    bytes.reserve(units.size());
    for (std::size_t i = 0; i < units.size(); ++i)
    {
        const char16_t unit = units[i];
        const bool pair =
            unit >= 0xD800 && unit < 0xDC00 && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] < 0xE000;
        if (pair) ++i;
        bytes += pair ? '?' : UnitToWindows1252(unit);
    }
    return bytes;
}

}  // namespace GS
