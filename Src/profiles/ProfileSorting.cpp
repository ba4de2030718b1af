#include "profiles/ProfileSorting.hpp"

#include <algorithm>
#include <utility>

void SortNamesWithDrawings(TypVektor<GS::UniString>& names, TypVektor<VectorImage>& drawings, std::int16_t& selected)
{
    const std::uint32_t count = std::min(names.GetSize(), drawings.GetSize());
    for (std::uint32_t i = 0; i < count; ++i)
    {
        std::uint32_t smallest = i;
        for (std::uint32_t j = i + 1; j < count; ++j)
            if (names[j] < names[smallest]) smallest = j;
        if (smallest == i) continue;
        std::swap(names[i], names[smallest]);
        std::swap(drawings[i], drawings[smallest]);
        const auto current = static_cast<std::uint32_t>(selected);
        if (current == smallest + 1)
            selected = static_cast<std::int16_t>(i + 1);
        else if (current == i + 1)
            selected = static_cast<std::int16_t>(smallest + 1);
    }
}
