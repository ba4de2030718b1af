#include <algorithm>
#include <atomic>

#include "DG/DG.hpp"
#include "RS/ResourceModule.hpp"
#include "frame/AddOnGlobals.hpp"
#include "frame/Survanto.hpp"
#include "profiles/ProfilePreview.hpp"
#include "profiles/SectionPalette.hpp"

namespace
{

constexpr std::int16_t CloseButton = 1;
constexpr std::int16_t ProfileListItem = 3;
constexpr std::int16_t PreviewItem = 5;
constexpr std::int16_t NewProfilePopUp = 6;
constexpr std::int16_t RenameButton = 7;
constexpr std::int16_t DeleteButton = 8;
constexpr std::int16_t PlaceButton = 9;

constexpr std::int16_t PopUpTexts = 32551;
constexpr std::int16_t PopUpButtonText = 1;
constexpr std::int16_t FirstPopUpEntryText = 6;
constexpr std::int16_t MeasureNewProfile = 1;
constexpr std::int16_t ProfileFromFills = 2;
constexpr std::int16_t ProfileFromLibrary = 3;
constexpr std::int32_t CurvePaletteFlags = 407;

void UpdateMainPalette()
{
    if (Survanto* survanto = theSurvanto.load()) survanto->UpdateMainPalette();
}

}  // namespace

std::int16_t SectionPalette::DialogCallback(std::int16_t message, std::int16_t dialogId, std::int16_t item, std::intptr_t data)
{
    if (message == DG::MsgInit)
    {
        DG::EnableMessage(GetDialogId(), DG::AllItems, DG::MsgUserUpdate);
        AttachResizer();
        RefreshList();
        SetUpNewProfilePopUp();
        return 0;
    }
    if (dialogId != GetDialogId()) return 0;
    if (message == DG::MsgResize)
    {
        resizer.Resize(false);
        DG::InvalidateItem(GetDialogId(), PreviewItem);
        return 0;
    }
    if (message == DG::MsgUserUpdate)
    {
        if (item == PreviewItem && currentProfile != 0) DrawPreview(reinterpret_cast<const DG::UserUpdateData*>(data));
        return 0;
    }
    if (message == DG::MsgChange && item == NewProfilePopUp)
    {
        StartNewProfile(static_cast<std::int16_t>(DG::PopupGetSelected(GetDialogId(), NewProfilePopUp)));
        return 0;
    }
    if (message == DG::MsgChange && item == ProfileListItem)
    {
        currentProfile = DG::ListViewGetSelected(GetDialogId(), ProfileListItem);
        ConvertCurrentProfile();
        UpdateMainPalette();
        DG::InvalidateItem(GetDialogId(), PreviewItem);
        return 0;
    }
    if (message != DG::MsgClick) return 0;
    switch (item)
    {
        case DG::CloseBox: return DG::CloseBox;
        case CloseButton:
            ConvertCurrentProfile();
            UpdateMainPalette();
            return CloseButton;
        case RenameButton: RenameCurrentProfile(); break;
        case DeleteButton: DeleteSelectedProfile(); break;
        case PlaceButton: PlaceForEditing(); break;
        default: break;
    }
    return 0;
}

// The morph sweep reads currentPolygons: it always holds the profile the list shows.
void SectionPalette::ConvertCurrentProfile()
{
    const std::int16_t current = ValidCurrentProfile();
    if (current == 0 || static_cast<std::uint32_t>(current) > profileImages.GetSize())
        currentPolygons.Clear();
    else
        ImageToPolygons(profileImages[static_cast<std::uint32_t>(current - 1)]);
}

void SectionPalette::RenameCurrentProfile()
{
    const std::int16_t current = ValidCurrentProfile();
    if (current == 0) return;
    nameDialog.nameMode = SectionNamePalette::Rename;
    nameDialog.name = profileNames[static_cast<std::uint32_t>(current - 1)];
    nameDialog.SetResourceModules(CurrentResourceModule());
    if (nameDialog.OpenModal() != DG::Accept) return;
    profileNames[static_cast<std::uint32_t>(current - 1)] = nameDialog.name;
    StoreWithProject();
    RefreshList();
}

void SectionPalette::DeleteSelectedProfile()
{
    currentProfile = DG::ListViewGetSelected(GetDialogId(), ProfileListItem);
    const std::int16_t current = ValidCurrentProfile();
    if (current == 0) return;
    const auto index = static_cast<std::uint32_t>(current - 1);
    profileNames.Delete(index);
    if (index < profileImages.GetSize()) profileImages.Delete(index);
    currentProfile = static_cast<std::int16_t>(current - 1);
    StoreWithProject();
    RefreshList();
    ConvertCurrentProfile();
}

void SectionPalette::SetUpNewProfilePopUp()
{
    const std::int16_t dialog = GetDialogId();
    DG::SetItemText(dialog, NewProfilePopUp, RS::GetIndString(PopUpTexts, PopUpButtonText, GetResourceModule()));
    DG::PopupSetItemCount(dialog, NewProfilePopUp, 0);
    for (std::int16_t entry = FirstPopUpEntryText; entry < FirstPopUpEntryText + 3; ++entry)
        DG::PopupAppendItem(dialog, NewProfilePopUp, RS::GetIndString(PopUpTexts, entry, GetResourceModule()));
}

// The profile the list showed stays current unless a new one was added; the
// morph sweep reads the current profile's polygons afterwards.
void SectionPalette::StartNewProfile(std::int16_t entry)
{
    currentProfile = DG::ListViewGetSelected(GetDialogId(), ProfileListItem);
    if (entry == MeasureNewProfile) StartMeasuring();
    if (entry == ProfileFromFills) AddProfileFromFills();
    if (entry == ProfileFromLibrary) ImportFromLibrary();
    RefreshList();
    ConvertCurrentProfile();
}

void SectionPalette::AddProfileFromFills()
{
    if (!PolygonsFromSelectedFills()) return;
    VectorImage image;
    PolygonsToImage(image);
    NameNewProfile(image);
}

// A chosen profile whose name the list has already is left out.
void SectionPalette::ImportFromLibrary()
{
    importDialog.SetResourceModules(CurrentResourceModule());
    if (importDialog.OpenModal() != DG::Accept) return;
    const std::uint32_t count = std::min(importDialog.chosenNames.GetSize(), importDialog.chosenImages.GetSize());
    for (std::uint32_t i = 0; i < count; ++i)
    {
        if (!profileNames.AddUnique(importDialog.chosenNames[i])) continue;
        if (!profileImages.Add(importDialog.chosenImages[i])) profileNames.Delete(profileNames.GetSize() - 1);
    }
    importDialog.chosenNames.Clear();
    importDialog.chosenImages.Clear();
    StoreWithProject();
}

void SectionPalette::DrawPreview(const DG::UserUpdateData* data)
{
    const std::int16_t current = ValidCurrentProfile();
    if (current == 0 || static_cast<std::uint32_t>(current) > profileImages.GetSize() ||
        DG::ListViewGetItemCount(GetDialogId(), ProfileListItem) == 0)
        return;
    DrawProfilePreview(profileImages[static_cast<std::uint32_t>(current - 1)], data);
}

// The profile arrives when the curve palette's "Erstellen" hands its curve over.
// While the main palette's curve palette is open (a rail being measured), the
// user is told to close it first, and its curve stays.
void SectionPalette::StartMeasuring()
{
    const Survanto* survanto = theSurvanto.load();
    if (curvePalette.GetOpenMode() == CDialogBase::Closed && survanto != nullptr &&
        Curve3DPalette::TellWhenOpen(survanto->curvePalette))
        return;
    curvePalette.polygonClosure = Curve3DPalette::ClosedItem;
    curvePalette.planeDefined = false;
    curvePalette.sectionMode = true;
    if (curvePalette.GetOpenMode() != CDialogBase::Closed) return;
    curvePalette.SetResourceModules(CurrentResourceModule(), survanto == nullptr ? 0 : survanto->resourceModules[0]);
    curvePalette.OpenPalette(CurvePaletteFlags);
}

// The list and the preview share the palette's growth; the buttons keep to its edges.
void SectionPalette::AttachResizer()
{
    struct Rule
    {
        std::int16_t item;
        double xMove, yMove, widthGrow, heightGrow;
    };
    static constexpr Rule rules[] {{3, 0, 0, 0.5, 1}, {4, 0.5, 0, 0, 0}, {5, 0.5, 0, 0.5, 1}, {1, 1, 1, 0, 0},
                                   {6, 0, 1, 0, 0},   {7, 1, 1, 0, 0},   {8, 0, 1, 0, 0},     {9, 1, 1, 0, 0}};
    resizer.ClearItems();
    resizer.Attach(GetDialogId());
    for (const Rule& rule : rules)
        resizer.AddItem(GetDialogId(), rule.item, rule.xMove, rule.yMove, rule.widthGrow, rule.heightGrow);
}
