#include "profiles/SectionNamePalette.hpp"

#include "DG/DG.hpp"
#include "RS/ResourceModule.hpp"

namespace
{

constexpr std::int16_t OkButton = 1;
constexpr std::int16_t CancelButton = 2;
constexpr std::int16_t NameItem = 4;

constexpr std::int16_t NameList = 32330;
constexpr std::int16_t DefaultNameEntry = 8;

}  // namespace

SectionNamePalette::SectionNamePalette() { SetDialogId(32427); }

SectionNamePalette::~SectionNamePalette() = default;

std::int16_t SectionNamePalette::DialogCallback(std::int16_t message, std::int16_t dialogId, std::int16_t item, std::intptr_t)
{
    if (message == DG::MsgInit)
    {
        InitDialog();
        return 0;
    }
    if (dialogId != GetDialogId() || message != DG::MsgClick) return 0;
    if (item == OkButton)
    {
        name = DG::GetItemText(GetDialogId(), NameItem);
        if (name.IsEmpty()) name = defaultName;
        return OkButton;
    }
    if (item == CancelButton || item == DG::CloseBox) return item;
    return 0;
}

void SectionNamePalette::InitDialog()
{
    defaultName = RS::GetIndString(NameList, DefaultNameEntry, GetResourceModule());
    if (nameMode == NewProfile) name = defaultName;
    DG::SetItemText(GetDialogId(), NameItem, name);
}
