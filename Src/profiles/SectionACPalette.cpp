#include "profiles/SectionACPalette.hpp"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

#include "API/AddOnInterface.hpp"
#include "profiles/ProfileDefinitions.hpp"
#include "profiles/ProfilePreview.hpp"
#include "profiles/ProfileSorting.hpp"

namespace
{

constexpr std::int16_t OkButton = 1;
constexpr std::int16_t CancelButton = 2;
constexpr std::int16_t AvailableList = 4;
constexpr std::int16_t AvailablePreview = 6;
constexpr std::int16_t AddButton = 7;
constexpr std::int16_t RemoveButton = 8;
constexpr std::int16_t ChosenList = 10;
constexpr std::int16_t ChosenPreview = 12;

}  // namespace

SectionACPalette::SectionACPalette() { SetDialogId(32428); }

SectionACPalette::~SectionACPalette() = default;

std::int16_t SectionACPalette::DialogCallback(std::int16_t message, std::int16_t dialogId, std::int16_t item, std::intptr_t data)
{
    if (message == DG::MsgInit)
    {
        InitDialog();
        return 0;
    }
    if (dialogId != GetDialogId()) return 0;
    const auto* update = reinterpret_cast<const DG::UserUpdateData*>(data);
    if (message == DG::MsgUserUpdate && item == AvailablePreview && availableSelection != 0) DrawAvailablePreview(update);
    if (message == DG::MsgUserUpdate && item == ChosenPreview && chosenSelection != 0) DrawChosenPreview(update);
    if (message == DG::MsgChange && item == AvailableList)
    {
        availableSelection = DG::ListViewGetSelected(GetDialogId(), AvailableList);
        DG::InvalidateItem(GetDialogId(), AvailablePreview);
    }
    if (message == DG::MsgChange && item == ChosenList)
    {
        chosenSelection = DG::ListViewGetSelected(GetDialogId(), ChosenList);
        DG::InvalidateItem(GetDialogId(), ChosenPreview);
    }
    if (message != DG::MsgClick) return 0;
    switch (item)
    {
        case OkButton:
        case CancelButton:
        case DG::CloseBox: return item;
        case AddButton: AddChosen(); break;
        case RemoveButton: RemoveChosen(); break;
        default: break;
    }
    return 0;
}

void SectionACPalette::InitDialog()
{
    DG::EnableMessage(GetDialogId(), DG::AllItems, DG::MsgUserUpdate);
    resizer.ClearItems();
    resizer.Attach(GetDialogId());
    LoadProfileAttributes();
    SortLists();
    FillLists();
    DG::ListViewSelectItem(GetDialogId(), AvailableList, availableSelection);
    DG::InvalidateItem(GetDialogId(), AvailablePreview);
    RefreshLists();
}

// A profile whose drawing cannot be read is not listed, so that names and
// drawings stay paired.
void SectionACPalette::LoadProfileAttributes()
{
    std::int32_t count = 0;
    if (HostGetAttributeCount(API_ProfileID, &count) != NoError) return;
    const auto last = static_cast<std::int16_t>(std::clamp<std::int32_t>(count, 0, INT16_MAX));
    for (std::int16_t index = 1; index <= last; ++index)
    {
        API_Attribute attribute {};
        attribute.header.typeID = API_ProfileID;
        attribute.header.index = index;
        if (HostGetAttribute(&attribute) != NoError) continue;
        // The host's default character code is UTF-8.
        const GS::UniString name(std::string(attribute.header.name, strnlen(attribute.header.name, API_AttrNameLen)));
        if (availableNames.Contains(name)) continue;
        const ProfileDefinitions definitions(index);
        if (definitions.Drawing() == nullptr) continue;
        VectorImage drawing = definitions.Drawing()->GetVectorImage();
        drawing.DeleteItemsOfType(SyLine);
        if (!availableImages.Add(drawing)) continue;
        if (!availableNames.Add(name)) availableImages.Delete(availableImages.GetSize() - 1);
    }
}

void SectionACPalette::SortLists()
{
    SortNamesWithDrawings(availableNames, availableImages, availableSelection);
    SortNamesWithDrawings(chosenNames, chosenImages, chosenSelection);
}

void SectionACPalette::FillLists()
{
    const std::int16_t dialog = GetDialogId();
    DG::ListViewDeleteAll(dialog, AvailableList);
    for (const GS::UniString& name : availableNames) DG::ListViewInsertBottom(dialog, AvailableList, name);
    DG::ListViewDeleteAll(dialog, ChosenList);
    for (const GS::UniString& name : chosenNames) DG::ListViewInsertBottom(dialog, ChosenList, name);
}

void SectionACPalette::RefreshLists()
{
    SortLists();
    FillLists();
    DG::InvalidateItem(GetDialogId(), ChosenPreview);
}

// A drawing already chosen under another name is not chosen again.
void SectionACPalette::AddChosen()
{
    const std::int16_t selected = availableSelection;
    if (selected < 1 || static_cast<std::uint32_t>(selected) > std::min(availableNames.GetSize(), availableImages.GetSize()))
        return;
    const auto index = static_cast<std::uint32_t>(selected - 1);
    if (chosenImages.AddUnique(availableImages[index]) && !chosenNames.AddUnique(availableNames[index]))
        chosenImages.Delete(chosenImages.GetSize() - 1);
    RefreshLists();
    ShowSelections();
}

void SectionACPalette::RemoveChosen()
{
    chosenSelection = DG::ListViewGetSelected(GetDialogId(), ChosenList);
    if (chosenSelection < 1 || static_cast<std::uint32_t>(chosenSelection) > chosenNames.GetSize()) return;
    const auto index = static_cast<std::uint32_t>(chosenSelection - 1);
    chosenNames.Delete(index);
    if (index < chosenImages.GetSize()) chosenImages.Delete(index);
    --chosenSelection;
    RefreshLists();
    ShowSelections();
}

void SectionACPalette::ShowSelections()
{
    DG::ListViewSelectItem(GetDialogId(), AvailableList, availableSelection);
    DG::ListViewSelectItem(GetDialogId(), ChosenList, chosenSelection);
    DG::InvalidateItem(GetDialogId(), ChosenPreview);
}

void SectionACPalette::DrawAvailablePreview(const DG::UserUpdateData* data)
{
    DrawEntry(availableImages, availableSelection, AvailableList, data);
}

void SectionACPalette::DrawChosenPreview(const DG::UserUpdateData* data)
{
    DrawEntry(chosenImages, chosenSelection, ChosenList, data);
}

void SectionACPalette::DrawEntry(const TypVektor<VectorImage>& images, std::int16_t selection, std::int16_t listItem,
                                 const DG::UserUpdateData* data)
{
    if (selection < 1 || static_cast<std::uint32_t>(selection) > images.GetSize() ||
        DG::ListViewGetItemCount(GetDialogId(), listItem) == 0)
        return;
    DrawProfilePreview(images[static_cast<std::uint32_t>(selection - 1)], data);
}
