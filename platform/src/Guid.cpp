#include "GS/Guid.hpp"

#include <cstdio>
#include <random>

namespace GS
{

namespace
{
int HexValue(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}
}  // namespace

Guid::Guid(const char* text) { FromText(text == nullptr ? "" : text); }

bool Guid::FromText(const std::string& input)
{
    parts_ = Parts {};
    std::string text = input;
    if (text.size() == 38 && text.front() == '{' && text.back() == '}') text = text.substr(1, 36);
    if (text.size() != 36) return false;
    // Dashes stand exactly at 8, 13, 18 and 23; every other character is a hex digit.
    std::uint8_t bytes[16] {};
    int n = 0;
    for (std::size_t i = 0; i < text.size(); ++i)
    {
        const bool dashPlace = i == 8 || i == 13 || i == 18 || i == 23;
        if (dashPlace != (text[i] == '-')) return false;
        if (dashPlace) continue;
        const int hi = HexValue(text[i]);
        const int lo = i + 1 < text.size() ? HexValue(text[i + 1]) : -1;
        if (hi < 0 || lo < 0) return false;
        bytes[n++] = static_cast<std::uint8_t>(hi * 16 + lo);
        ++i;
    }
    Parts p;
    p.data1 = (std::uint32_t(bytes[0]) << 24) | (std::uint32_t(bytes[1]) << 16) | (std::uint32_t(bytes[2]) << 8) | bytes[3];
    p.data2 = static_cast<std::uint16_t>((bytes[4] << 8) | bytes[5]);
    p.data3 = static_cast<std::uint16_t>((bytes[6] << 8) | bytes[7]);
    for (int i = 0; i < 8; ++i) p.data4[i] = bytes[8 + i];
    parts_ = p;
    return true;
}

std::string Guid::ToText(bool withBraces) const
{
    char buf[40];
    std::snprintf(buf, sizeof buf, "%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X", parts_.data1, parts_.data2, parts_.data3,
                  parts_.data4[0], parts_.data4[1], parts_.data4[2], parts_.data4[3], parts_.data4[4], parts_.data4[5],
                  parts_.data4[6], parts_.data4[7]);
    return withBraces ? "{" + std::string(buf) + "}" : std::string(buf);
}

Guid Guid::Generate()
{
    static thread_local std::mt19937_64 engine {std::random_device {}()};
    Parts p;
    const std::uint64_t a = engine();
    const std::uint64_t b = engine();
    p.data1 = static_cast<std::uint32_t>(a);
    p.data2 = static_cast<std::uint16_t>(a >> 32);
    p.data3 = static_cast<std::uint16_t>(((a >> 48) & 0x0FFF) | 0x4000);
    for (int i = 0; i < 8; ++i) p.data4[i] = static_cast<std::uint8_t>(b >> (8 * i));
    p.data4[0] = static_cast<std::uint8_t>((p.data4[0] & 0x3F) | 0x80);
    return Guid(p);
}

}  // namespace GS
