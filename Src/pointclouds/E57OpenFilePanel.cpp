#include "pointclouds/E57OpenFilePanel.hpp"

#include <cstdio>

#include "API/AddOnInterface.hpp"
#include "DG/DG.hpp"
#include "RS/ResourceModule.hpp"
#include "frame/Survanto.hpp"
#include "pointclouds/ImportLibraries.hpp"

namespace
{

enum PanelItem : short
{
    FolderText = 2,
    LibraryMenu = 3,
    BrowseButton = 4,
    NameEdit = 6,
    AtProjectOrigin = 8,
    ByHand = 9,
    StoreyPopUp = 11,
    LockCheck = 12,
    FirstSeparator = 13,
    ThinOutCheck = 14,
    ByDistanceCheck = 15,
    Distance75 = 17,
    Distance50 = 19,
    Distance25 = 21,
    LastSeparator = 22,
};

constexpr std::int16_t AlertStrings = 32550;
constexpr std::int16_t ProjectFolderText = 95;
constexpr std::int64_t ProjectFolderEntry = -1;
constexpr double DistanceStep = 0.1;

constexpr short Id = E57OpenFilePanel::PanelId;

GS::UniString StoreyEntry(const API_StoryType& storey, bool numberedFromOne)
{
    const int number = numberedFromOne && storey.index >= 0 ? storey.index + 1 : storey.index;
    char text[16];
    std::snprintf(text, sizeof text, "%d", number);
    return GS::UniString(text) + GS::UniString(" ") + storey.uName;
}

GS::UniString WithoutExtension(const IO::Location& file)
{
    const std::string name = file.GetLastLocalName();
    const auto dot = name.find_last_of('.');
    return GS::UniString(dot == std::string::npos || dot == 0 ? name : name.substr(0, dot));
}

}  // namespace

E57OpenFilePanel::E57OpenFilePanel(DG::FileDialog& dialog, short resourceId)
    : DG::SystemDialogPanel(dialog, CurrentResourceModule(), resourceId)
{
    Attach(static_cast<DG::PanelObserver&>(*this));
    Attach(static_cast<DG::TextEditBaseObserver&>(*this));
    Attach(static_cast<DG::ButtonItemObserver&>(*this));
    Attach(static_cast<DG::PopUpObserver&>(*this));
    Attach(static_cast<DG::CheckItemObserver&>(*this));
    Attach(static_cast<DG::RadioItemObserver&>(*this));
    Attach(static_cast<DG::UserControlObserver&>(*this));
    Attach(static_cast<DG::RealEditObserver&>(*this));
    dialog.Attach(static_cast<DG::FileDialogObserver&>(*this));
}

E57OpenFilePanel::~E57OpenFilePanel() { GetDialog().Detach(static_cast<DG::FileDialogObserver&>(*this)); }

void E57OpenFilePanel::OnPanelOpened()
{
    ShowTargetFolder();
    FillStoreys();
    DG::SetItemValue(Id, LockCheck, lockElements ? 1.0 : 0.0);
    FillLibraryMenu();
    DG::SetItemValue(Id, Distance75, distance75);
    DG::SetItemValue(Id, Distance50, distance50);
    DG::SetItemValue(Id, Distance25, distance25);
    ApplyDistanceLimits();
    DG::SetItemValue(Id, ThinOutCheck, thinOut ? 1.0 : 0.0);
    DG::SetItemValue(Id, ByDistanceCheck, thinByDistance ? 1.0 : 0.0);
}

void E57OpenFilePanel::ClearEntries(short item)
{
    DG::PopupDeleteItem(Id, item, DG::AllItems);
    DG::SetItemValue(Id, item, 0.0);
}

void E57OpenFilePanel::AppendEntry(short item, const GS::UniString& text, std::int64_t data)
{
    DG::PopupAppendItem(Id, item, text);
    DG::PopupSetItemData(Id, item, DG::PopupGetItemCount(Id, item), data);
}

// Each storey's entry carries its index; none is chosen.
void E57OpenFilePanel::FillStoreys()
{
    API_StoryInfo storeys;
    const bool read = HostEnvironmentRequest(FourCC("GSTO"), &storeys, nullptr) == NoError;
    ClearEntries(StoreyPopUp);
    if (!read) return;
    for (const API_StoryType& storey : storeys.data)
        if (storey.index >= storeys.firstStory && storey.index <= storeys.lastStory)
            AppendEntry(StoreyPopUp, StoreyEntry(storey, storeys.skipNullFloor), storey.index);
}

// The usable libraries by their index in the list, then the project's own folder.
void E57OpenFilePanel::FillLibraryMenu()
{
    ClearEntries(LibraryMenu);
    const std::optional<IO::Location> projectFolder = ImportLibraries::ProjectPointCloudFolder();
    const ImportLibraries libraries = ImportLibraries::Read();
    for (std::size_t i = 0; i < libraries.list.size(); ++i)
    {
        if (!libraries.IsUsable(i) || (projectFolder && libraries.list[i].location == *projectFolder)) continue;
        AppendEntry(LibraryMenu, libraries.list[i].name, static_cast<std::int64_t>(i));
    }
    if (projectFolder)
        AppendEntry(LibraryMenu, RS::GetIndString(AlertStrings, ProjectFolderText, CurrentResourceModule()), ProjectFolderEntry);
}

void E57OpenFilePanel::OnPanelResized(short dx, short)
{
    DG::BeginMoveGrowItems(Id);
    DG::MoveGrowItem(Id, FolderText, 0, 0, dx, 0);
    DG::MoveGrowItem(Id, BrowseButton, dx, 0, 0, 0);
    DG::MoveGrowItem(Id, LibraryMenu, dx, 0, 0, 0);
    DG::MoveGrowItem(Id, FirstSeparator, 0, 0, dx, 0);
    DG::MoveGrowItem(Id, LastSeparator, 0, 0, dx, 0);
    DG::EndMoveGrowItems(Id);
}

void E57OpenFilePanel::OnFileSelectionChanged(const DG::FileDialog& dialog) { UpdateNameFromSelection(dialog); }

void E57OpenFilePanel::UpdateNameFromSelection(const DG::FileDialog& dialog)
{
    partName = dialog.GetSelectionCount() > 0 ? WithoutExtension(dialog.GetSelectedFile(0)) : GS::UniString();
    DG::SetItemText(Id, NameEdit, partName);
    DG::EnableItem(Id, NameEdit, dialog.GetSelectionCount() == 1);
}

void E57OpenFilePanel::OnButtonClicked(short item)
{
    if (item == BrowseButton) BrowseTargetFolder();
}

void E57OpenFilePanel::BrowseTargetFolder()
{
    IO::Location folder = targetFolder;
    if (!DGBrowseForFolder(&folder, GS::UniString())) return;
    targetFolder = folder;
    ShowTargetFolder();
}

void E57OpenFilePanel::ShowTargetFolder() { DG::SetItemText(Id, FolderText, targetFolder.ToUniString()); }

void E57OpenFilePanel::OnPopUpChanged(short item)
{
    if (item == StoreyPopUp)
        storeyIndex = static_cast<std::int16_t>(
            DG::PopupGetItemData(Id, StoreyPopUp, static_cast<short>(DG::GetItemValue(Id, StoreyPopUp))));
}

void E57OpenFilePanel::OnTextEditChanged(short item)
{
    if (item == NameEdit) partName = DG::GetItemText(Id, NameEdit);
}

void E57OpenFilePanel::OnRadioItemChanged(short item)
{
    if (item == AtProjectOrigin) originAtProjectOrigin = true;
    if (item == ByHand) originAtProjectOrigin = false;
}

void E57OpenFilePanel::OnCheckItemChanged(short item)
{
    const bool checked = DG::GetItemValue(Id, item) != 0.0;
    if (item == LockCheck) lockElements = checked;
    if (item == ThinOutCheck) thinOut = checked;
    if (item == ByDistanceCheck) thinByDistance = checked;
    UpdateItemStatus();
}

void E57OpenFilePanel::UpdateItemStatus()
{
    DG::EnableItem(Id, ByDistanceCheck, thinOut);
    for (const short distance : {Distance75, Distance50, Distance25}) DG::EnableItem(Id, distance, thinOut && thinByDistance);
}

// A negative entry is the project's own folder; any other names a library by its index.
void E57OpenFilePanel::OnUserControlChanged(short item)
{
    if (item != LibraryMenu) return;
    const std::int64_t data = DG::PopupGetItemData(Id, LibraryMenu, static_cast<short>(DG::GetItemValue(Id, LibraryMenu)));
    if (data < 0)
    {
        if (const std::optional<IO::Location> projectFolder = ImportLibraries::ProjectPointCloudFolder())
            targetFolder = *projectFolder;
    }
    else
    {
        const ImportLibraries libraries = ImportLibraries::Read();
        if (static_cast<std::size_t>(data) < libraries.list.size())
            targetFolder = libraries.list[static_cast<std::size_t>(data)].location;
    }
    ShowTargetFolder();
}

void E57OpenFilePanel::OnRealEditChanged(short) { ApplyDistanceLimits(); }

void E57OpenFilePanel::ApplyDistanceLimits()
{
    DG::SetItemMinDouble(Id, Distance50, DG::GetItemValue(Id, Distance75) + DistanceStep);
    DG::SetItemMinDouble(Id, Distance25, DG::GetItemValue(Id, Distance50) + DistanceStep);
    distance75 = DG::GetItemValue(Id, Distance75);
    distance50 = DG::GetItemValue(Id, Distance50);
    distance25 = DG::GetItemValue(Id, Distance25);
}
