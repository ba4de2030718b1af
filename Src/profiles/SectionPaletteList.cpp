#include "DG/DG.hpp"
#include "frame/AddOnGlobals.hpp"
#include "frame/Survanto.hpp"
#include "profiles/ProfileSorting.hpp"
#include "profiles/SectionPalette.hpp"

namespace
{

constexpr std::int16_t ProfileListItem = 3;
constexpr std::int16_t PreviewItem = 5;

}  // namespace

std::int16_t SectionPalette::ValidCurrentProfile()
{
    // A project load may have replaced the list while the palette kept its index.
    if (currentProfile < 1 || static_cast<std::uint32_t>(currentProfile) > profileNames.GetSize()) currentProfile = 0;
    return currentProfile;
}

void SectionPalette::SortProfiles() { SortNamesWithDrawings(profileNames, profileImages, currentProfile); }

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
    DG::InvalidateItem(dialog, PreviewItem);
}

bool SectionPalette::NameNewProfile(const VectorImage& image)
{
    nameDialog.nameMode = SectionNamePalette::NewProfile;
    nameDialog.SetResourceModules(CurrentResourceModule());
    if (nameDialog.OpenModal() != DG::Accept) return false;
    if (!profileNames.Add(nameDialog.name)) return false;
    if (!profileImages.Add(image))
    {
        profileNames.Delete(profileNames.GetSize() - 1);
        return false;
    }
    currentProfile = static_cast<std::int16_t>(profileNames.GetSize());
    StoreWithProject();
    return true;
}

// The profiles live in the main object's project data: every change to the list
// is written there at once, as a station is, or saving the project would lose it.
void SectionPalette::StoreWithProject()
{
    Survanto* survanto = theSurvanto.load();
    if (survanto != nullptr && &survanto->sectionPalette == this) survanto->SaveModuleData();
}
