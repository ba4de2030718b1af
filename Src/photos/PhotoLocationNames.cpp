#include "photos/PhotoLocationNames.hpp"

#include <algorithm>

namespace
{

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

std::vector<std::string> Split(const std::string& path)
{
    std::vector<std::string> names;
    std::string name;
    for (const char c : path)
    {
        if (!IsSeparator(c))
        {
            name += c;
            continue;
        }
        if (!name.empty()) names.push_back(name);
        name.clear();
    }
    if (!name.empty()) names.push_back(name);
    return names;
}

}  // namespace

PhotoLocationNames NamesOfLocation(const IO::Location& location)
{
    PhotoLocationNames names;
    const std::string& path = location.ToPath();
    const std::vector<std::string> parts = Split(path);
    const bool network = path.size() > 2 && IsSeparator(path[0]) && IsSeparator(path[1]);
    const std::size_t networkCount = network ? std::min<std::size_t>(2, parts.size()) : 0;
    for (std::size_t i = 0; i < parts.size(); ++i) (i < networkCount ? names.network : names.local).emplace_back(parts[i]);
    return names;
}

IO::Location LocationOfNames(const PhotoLocationNames& names)
{
    if (names.network.empty() && names.local.empty()) return IO::Location();
    std::string path = names.network.empty() ? "" : "/";
    for (const GS::UniString& name : names.network) path += "/" + name.ToUtf8();
    for (const GS::UniString& name : names.local) path += "/" + name.ToUtf8();
    return IO::Location(path);
}

void SetNameArray(API_AddParType& parameter, const std::vector<GS::UniString>& names)
{
    const std::vector<GS::UniString> written = names.empty() ? std::vector<GS::UniString> {GS::UniString()} : names;
    std::size_t units = 0;
    for (const GS::UniString& name : written) units += name.GetLength() + 1;
    std::vector<std::uint8_t> block(units * 2, 0);
    std::size_t at = 0;
    for (const GS::UniString& name : written)
    {
        for (const char16_t unit : name.Units())
        {
            block[at++] = static_cast<std::uint8_t>(unit & 0xFF);
            block[at++] = static_cast<std::uint8_t>(unit >> 8);
        }
        at += 2;
    }
    parameter.dim1 = static_cast<std::int32_t>(written.size());
    parameter.arrayTexts = std::move(block);
}

std::vector<GS::UniString> ReadNameArray(const API_AddParType& parameter)
{
    std::vector<GS::UniString> names;
    const std::vector<std::uint8_t>& block = parameter.arrayTexts;
    const std::size_t unitCount = block.size() / 2;
    std::size_t at = 0;
    for (std::int32_t i = 0; i < parameter.dim1 && at < unitCount; ++i)
    {
        std::u16string name;
        for (; at < unitCount; ++at)
        {
            const auto unit = static_cast<char16_t>(block[2 * at] | block[2 * at + 1] << 8);
            if (unit == 0) break;
            name += unit;
        }
        ++at;
        if (!name.empty()) names.emplace_back(name);
    }
    return names;
}
