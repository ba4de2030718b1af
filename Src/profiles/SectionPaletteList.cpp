#include <algorithm>
#include <utility>

#include "DG/DG.hpp"
#include "frame/Survanto.hpp"
#include "profiles/SectionPalette.hpp"

namespace {

constexpr std::int16_t ProfileListItem = 3;

}  // namespace

std::int16_t SectionPalette::ValidCurrentProfile()
{
    // A project load may have replaced the list while the palette kept its index.
    if (currentProfile < 1 || static_cast<std::uint32_t>(currentProfile) > profileNames.GetSize()) currentProfile = 0;
    return currentProfile;
}

void SectionPalette::SortProfiles()
{
    const std::uint32_t count = std::min(profileNames.GetSize(), profileImages.GetSize());
    for (std::uint32_t i = 0; i < count; ++i) {
        std::uint32_t smallest = i;
        for (std::uint32_t j = i + 1; j < count; ++j)
            if (profileNames[j] < profileNames[smallest]) smallest = j;
        if (smallest == i) continue;
        std::swap(profileNames[i], profileNames[smallest]);
        std::swap(profileImages[i], profileImages[smallest]);
        const auto current = static_cast<std::uint32_t>(currentProfile);
        if (current == smallest + 1)
            currentProfile = static_cast<std::int16_t>(i + 1);
        else if (current == i + 1)
            currentProfile = static_cast<std::int16_t>(smallest + 1);
    }
}

void SectionPalette::FillProfileList()
{
    const std::int16_t dialog = GetDialogId();
    DG::ListViewDeleteAll(dialog, ProfileListItem);
    for (const GS::UniString& name : profileNames) DG::ListViewInsertBottom(dialog, ProfileListItem, name);
}

void SectionPalette::RefreshList()
{
    const std::int16_t dialog = GetDialogId();
    DG::EnableItem(dialog, DG::AllItems);
    ValidCurrentProfile();
    SortProfiles();
    FillProfileList();
    DG::ListViewSelectItem(dialog, ProfileListItem, currentProfile);
}

bool SectionPalette::NameNewProfile(const VectorImage& image)
{
    nameDialog.nameMode = SectionNamePalette::NewProfile;
    nameDialog.SetResourceModules(CurrentResourceModule());
    if (nameDialog.OpenModal() != DG::Accept) return false;
    if (!profileNames.Add(nameDialog.name)) return false;
    if (!profileImages.Add(image)) {
        profileNames.Delete(profileNames.GetSize() - 1);
        return false;
    }
    currentProfile = static_cast<std::int16_t>(profileNames.GetSize());
    return true;
}
