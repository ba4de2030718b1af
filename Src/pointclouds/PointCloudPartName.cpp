#include "pointclouds/PointCloudPartName.hpp"

#include <string_view>

namespace
{

// Control characters, folder separators, quotes, and what Windows refuses in a file name.
bool IsReplaced(char16_t unit)
{
    return unit < 0x20 || unit == 0x7F || std::u16string_view(u"/\\\"':*?<>|").find(unit) != std::u16string_view::npos;
}

std::u16string Safe(const std::u16string& name)
{
    std::u16string safe;
    for (std::size_t i = 0; i < name.size(); ++i)
    {
        if (name[i] == u'.' && i + 1 < name.size() && name[i + 1] == u'.')
        {
            while (i + 1 < name.size() && name[i + 1] == u'.') ++i;
            safe += u'_';
        }
        else
        {
            safe += IsReplaced(name[i]) ? u'_' : name[i];
        }
    }
    return safe;
}

}  // namespace

GS::UniString PointCloudPartName(const GS::UniString& wanted, const GS::UniString& fallback)
{
    const std::u16string name = Safe(wanted.Units());
    if (!name.empty()) return GS::UniString(name);
    const std::u16string other = Safe(fallback.Units());
    return GS::UniString(other.empty() ? u"_" : other);
}
