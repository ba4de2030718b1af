#include "palettes/PhotoLocationDlg.hpp"

#include <algorithm>
#include <utility>
#include <vector>

#include "API/AddOnInterface.hpp"
#include "DG/DG.hpp"
#include "RS/ResourceModule.hpp"
#include "TI/Time.hpp"
#include "frame/AddOnGlobals.hpp"
#include "frame/PaletteGuids.hpp"
#include "frame/Survanto.hpp"
#include "frame/UInterface.hpp"
#include "framework/CDataRecorder.hpp"
#include "framework/HostApiHelpers.hpp"
#include "framework/ScopedElementMemo.hpp"
#include "photos/PhotoFiles.hpp"
#include "photos/PhotoImages.hpp"
#include "photos/PhotoLibraryPart.hpp"

namespace
{

constexpr std::int16_t PhotoListItem = 1;
constexpr std::int16_t FolderTextItem = 3;
constexpr std::int16_t ChooseFolderButton = 4;
constexpr std::int16_t RefillButton = 5;
constexpr std::int16_t ThumbnailSwitch = 6;
constexpr std::int16_t TurnLeftButton = 7;
constexpr std::int16_t TurnRightButton = 8;

constexpr std::int32_t RecordVersion = 2;
constexpr std::int16_t FolderBrowserTitle = 75;
constexpr std::int16_t ProgressTitle = 108;
constexpr std::int16_t ProgressPhase = 109;
constexpr std::int32_t PreviewPaletteFlags = 211;

constexpr DG::RGBColor16 PlacedColor {43433, 43433, 43433};
constexpr DG::RGBColor16 NotPlacedColor {0, 0, 0};

struct ViewLook
{
    short imageWidth, imageHeight, itemWidth, itemHeight, mode;
};
constexpr ViewLook ThumbnailLook {64, 64, 100, 100, 0};
constexpr ViewLook RowLook {28, 30, 300, 30, 1};

// Every photo object's name, and its GUID; nothing without the photo library part.
std::vector<std::pair<API_Guid, GS::UniString>> PlacedPhotoNames()
{
    std::vector<std::pair<API_Guid, GS::UniString>> placed;
    if (FindPhotoLibraryPart(PlacedPhotoPartId) == 0) return placed;
    std::vector<API_Guid> objects;
    if (HostGetElementList(API_ObjectID, &objects) != NoError) return placed;
    for (const API_Guid& guid : objects)
    {
        API_Element element;
        element.header.guid = guid;
        if (HostGetElement(&element) != NoError) continue;
        ScopedElementMemo memo;
        if (HostGetElementMemo(&guid, &*memo, 0x07FFFFFFBFFFFFFFull) != NoError) continue;
        const std::int32_t index = FindMemoParamIndex("photoName", *memo);
        if (index >= 0) placed.emplace_back(guid, (*memo).params[static_cast<std::size_t>(index)].text);
    }
    return placed;
}

}  // namespace

PhotoLocationDlg::PhotoLocationDlg()
{
    SetDialogId(32495);
    SetPaletteGuid(photoLocationDlgGuid);
    thumbnailLoader.SetWake([module = OwnModuleId()] { HostPostAddOnCommand(&module, FourCC("PHTN"), 1, true); });
}

PhotoLocationDlg::~PhotoLocationDlg() { thumbnailLoader.StopAndWait(); }

bool PhotoLocationDlg::Write(CDataRecorder& recorder)
{
    recorder.WriteLong(RecordVersion);
    recorder.WriteUniString(photoFolder.ToUniString());
    recorder.WriteBool(largeThumbnails);
    return true;
}

bool PhotoLocationDlg::Read(CDataRecorder& recorder)
{
    std::int32_t version = 0;
    GS::UniString path;
    recorder.ReadLong(version);
    if (recorder.ReadUniString(path)) photoFolder = IO::Location(path);
    if (version > 1) recorder.ReadBool(largeThumbnails);
    return true;
}

// The list, the refill, the switch and the turns stay usable when the host
// disables the palettes.
void PhotoLocationDlg::EnableItems()
{
    for (const std::int16_t item : {std::int16_t(2), FolderTextItem, ChooseFolderButton}) DG::EnableItem(GetDialogId(), item);
}

void PhotoLocationDlg::DisableItems()
{
    for (const std::int16_t item : {std::int16_t(2), FolderTextItem, ChooseFolderButton}) DG::DisableItem(GetDialogId(), item);
}

std::int16_t PhotoLocationDlg::DialogCallback(std::int16_t message, std::int16_t dialogId, std::int16_t item, std::intptr_t)
{
    if (message == DG::MsgInit)
    {
        InitPalette();
        return 0;
    }
    if (dialogId != GetDialogId()) return 0;
    Survanto* survanto = theSurvanto.load();
    switch (message)
    {
        case DG::MsgClose:
            thumbnailLoader.RequestStop();
            if (survanto != nullptr) survanto->SyncPhotoFolderButton(true);
            break;
        case DG::MsgClick:
            if (item == DG::CloseBox) return DG::CloseBox;
            if (item == ChooseFolderButton)
            {
                ChooseFolder();
                if (survanto != nullptr) survanto->SaveModuleData();
            }
            if (item == RefillButton) FillPhotoList();
            if (item == TurnLeftButton) TurnSelectedPhoto(1);
            if (item == TurnRightButton) TurnSelectedPhoto(3);
            break;
        case DG::MsgDoubleClick:
            if (item == PhotoListItem)
            {
                const std::int32_t photo = PhotoOfEntry(DG::ListViewGetSelected(GetDialogId(), PhotoListItem));
                if (photo >= 0) SelectPlacedPhotos(PhotoNameOf(photoList[static_cast<std::uint32_t>(photo)]));
            }
            break;
        case DG::MsgChange:
            if (item == PhotoListItem)
            {
                photoPalette.photoLocation = IO::Location();
                const std::int32_t photo = PhotoOfEntry(DG::ListViewGetSelected(GetDialogId(), PhotoListItem));
                if (photo >= 0)
                {
                    photoPalette.photoLocation = photoList[static_cast<std::uint32_t>(photo)];
                    photoPalette.quarterTurns = quarterTurns[static_cast<std::uint32_t>(photo)];
                }
                ShowPreview();
            }
            if (item == ThumbnailSwitch)
            {
                ApplyViewMode();
                FillPhotoList();
                if (survanto != nullptr) survanto->SaveModuleData();
            }
            break;
        case DG::MsgResize: resizer.Resize(false); break;
        default: break;
    }
    return 0;
}

void PhotoLocationDlg::InitPalette()
{
    quarterTurns.Clear();
    struct Rule
    {
        std::int16_t item;
        double xMove, yMove, widthGrow, heightGrow;
    };
    static constexpr Rule rules[] {{3, 0, 0, 1, 0}, {4, 1, 0, 0, 0}, {5, 1, 0, 0, 0}, {1, 0, 0, 1, 1},
                                   {6, 0, 1, 0, 0}, {7, 1, 1, 0, 0}, {8, 1, 1, 0, 0}};
    resizer.ClearItems();
    resizer.Attach(GetDialogId());
    for (const Rule& rule : rules)
        resizer.AddItem(GetDialogId(), rule.item, rule.xMove, rule.yMove, rule.widthGrow, rule.heightGrow);
    DG::SetItemValue(GetDialogId(), ThumbnailSwitch, largeThumbnails ? 1.0 : 0.0);
    DG::EnableMessage(GetDialogId(), DG::AllItems, DG::MsgUserUpdate);
    ApplyViewMode();
    Refresh();
    MarkPlacedPhotos();
}

void PhotoLocationDlg::ApplyViewMode()
{
    largeThumbnails = DG::GetItemValue(GetDialogId(), ThumbnailSwitch) != 0.0;
    const ViewLook& look = largeThumbnails ? ThumbnailLook : RowLook;
    DG::ListViewSetImageSize(GetDialogId(), PhotoListItem, look.imageWidth, look.imageHeight);
    DG::ListViewSetItemSize(GetDialogId(), PhotoListItem, look.itemWidth, look.itemHeight);
    DG::ListViewSetViewMode(GetDialogId(), PhotoListItem, look.mode);
}

void PhotoLocationDlg::Refresh()
{
    FillPhotoList();
    ShowFolderPath();
    ShowPreview();
}

void PhotoLocationDlg::FillPhotoList()
{
    thumbnailLoader.StopAndWait();
    ++fillNumber_;
    photoList = ListImageFiles(photoFolder);
    const std::int16_t dialog = GetDialogId();
    DG::ListViewDisableDraw(dialog, PhotoListItem);
    DG::ListViewDeleteItem(dialog, PhotoListItem, DG::AllItems);

    const GSResModule texts = CurrentResourceModule();
    GS::UniString title = RS::GetIndString(AlertStringListId, ProgressTitle, texts);
    std::int16_t phases = 1;
    HostInterfaceRequest(FourCC("IPWD"), &title, &phases);
    while (quarterTurns.GetSize() < photoList.GetSize()) quarterTurns.Add(0);
    GS::UniString phase = RS::GetIndString(AlertStringListId, ProgressPhase, texts);
    std::int32_t maximum = static_cast<std::int32_t>(photoList.GetSize());
    HostInterfaceRequest(FourCC("SPRP"), &phase, &maximum);

    for (std::uint32_t i = 0; i < photoList.GetSize(); ++i)
    {
        std::int32_t value = static_cast<std::int32_t>(i) + 1;
        HostInterfaceRequest(FourCC("SPRV"), &value, nullptr);
        const GS::UniString name = PhotoNameOf(photoList[i]);
        const std::int16_t count = DG::ListViewGetItemCount(dialog, PhotoListItem);
        std::int16_t position = static_cast<std::int16_t>(count + 1);
        for (std::int16_t j = 1; j <= count; ++j)
        {
            if (DG::ListViewGetItemText(dialog, PhotoListItem, j).ToLowerCase().Units() > name.ToLowerCase().Units())
            {
                position = j;
                break;
            }
        }
        DG::ListViewInsertItem(dialog, PhotoListItem, position);
        DG::ListViewSetItemUserData(dialog, PhotoListItem, position, static_cast<std::int64_t>(i));
        DG::ListViewSetItemText(dialog, PhotoListItem, position, name);
    }

    HostInterfaceRequest(FourCC("CPWD"), nullptr, nullptr);
    DG::ListViewEnableDraw(dialog, PhotoListItem);
    DG::InvalidateItem(dialog, PhotoListItem);
    if (largeThumbnails) StartThumbnailLoader();
}

void PhotoLocationDlg::StartThumbnailLoader()
{
    const std::int16_t dialog = GetDialogId();
    PhotoWorkList work;
    const DG::Size size = DG::ListViewGetImageSize(dialog, PhotoListItem);
    work.width = size.width;
    work.height = size.height;
    const std::int16_t count = DG::ListViewGetItemCount(dialog, PhotoListItem);
    for (std::int16_t entry = 1; entry <= count; ++entry)
    {
        const std::int32_t photo = PhotoOfEntry(entry);
        if (photo < 0) continue;
        work.photos.push_back(
            {entry, photoList[static_cast<std::uint32_t>(photo)], quarterTurns[static_cast<std::uint32_t>(photo)]});
    }
    thumbnailLoader.Start(std::move(work), fillNumber_);
}

void PhotoLocationDlg::TakeFinishedThumbnails()
{
    for (FinishedThumbnail& thumbnail : thumbnailLoader.TakeFinished())
    {
        if (GetOpenMode() == Closed || thumbnail.fill != fillNumber_) continue;
        DG::ListViewSetItemImage(GetDialogId(), PhotoListItem, thumbnail.entry, thumbnail.image);
    }
}

void PhotoLocationDlg::ShowFolderPath() { DG::SetItemText(GetDialogId(), FolderTextItem, photoFolder.ToUniString()); }

void PhotoLocationDlg::ShowPreview()
{
    if (photoPalette.GetOpenMode() == Closed)
    {
        const Survanto* survanto = theSurvanto.load();
        photoPalette.SetResourceModules(CurrentResourceModule(), survanto != nullptr ? survanto->resourceModules[0] : 0);
        photoPalette.OpenPalette(PreviewPaletteFlags);
    }
    photoPalette.LoadPhoto();
}

void PhotoLocationDlg::ChooseFolder()
{
    IO::Location folder = photoFolder;
    if (DGBrowseForFolder(&folder, RS::GetIndString(AlertStringListId, FolderBrowserTitle, CurrentResourceModule())))
    {
        photoFolder = folder;
        quarterTurns.Clear();
    }
    Refresh();
}

void PhotoLocationDlg::RefreshThumbnail(std::int32_t item, std::int32_t turns, bool force)
{
    if (!largeThumbnails) return;
    const double now = TIGetTime();
    if (lastThumbnailTime_ && now - *lastThumbnailTime_ < 1) return;
    const std::int16_t dialog = GetDialogId();
    const std::int16_t count = DG::ListViewGetItemCount(dialog, PhotoListItem);
    const std::int16_t first = item == -1 ? 1 : static_cast<std::int16_t>(item);
    const std::int16_t last = item == -1 ? count : static_cast<std::int16_t>(item);
    std::int16_t chosen = 0;
    for (std::int16_t entry = first; entry <= last && entry >= 1 && entry <= count; ++entry)
    {
        if (turns != 0 || force || DG::ListViewGetItemImage(dialog, PhotoListItem, entry).IsEmpty())
        {
            chosen = entry;
            break;
        }
    }
    const std::int32_t photo = PhotoOfEntry(chosen);
    if (photo < 0) return;
    lastThumbnailTime_ = now;
    const DG::Size size = DG::ListViewGetImageSize(dialog, PhotoListItem);
    const auto thumbnail = MakeThumbnail(photoList[static_cast<std::uint32_t>(photo)], size.width, size.height,
                                         quarterTurns[static_cast<std::uint32_t>(photo)]);
    if (!thumbnail.IsEmpty()) DG::ListViewSetItemImage(dialog, PhotoListItem, chosen, thumbnail);
}

void PhotoLocationDlg::MarkPhoto(const GS::UniString& name, bool placed)
{
    if (GetOpenMode() == Closed) return;
    const std::int16_t dialog = GetDialogId();
    const std::int16_t count = DG::ListViewGetItemCount(dialog, PhotoListItem);
    for (std::int16_t entry = 1; entry <= count; ++entry)
    {
        const std::int32_t photo = PhotoOfEntry(entry);
        if (photo >= 0 && PhotoNameOf(photoList[static_cast<std::uint32_t>(photo)]) == name)
            DG::ListViewSetItemColor(dialog, PhotoListItem, entry, placed ? PlacedColor : NotPlacedColor);
    }
}

void PhotoLocationDlg::MarkPlacedPhotos()
{
    for (const auto& placed : PlacedPhotoNames()) MarkPhoto(placed.second, true);
}

void PhotoLocationDlg::SelectPlacedPhotos(const GS::UniString& name)
{
    TypVektor<API_Guid> objects;
    for (const auto& placed : PlacedPhotoNames())
        if (placed.second == name) objects.Add(placed.first);
    SelectAndZoomObjects(objects, true);
}

void PhotoLocationDlg::TurnSelectedPhoto(std::int32_t turns)
{
    const std::int16_t entry = DG::ListViewGetSelected(GetDialogId(), PhotoListItem);
    const std::int32_t photo = PhotoOfEntry(entry);
    if (photo < 0) return;
    std::int32_t& photoTurns = quarterTurns[static_cast<std::uint32_t>(photo)];
    photoTurns += turns;
    RefreshThumbnail(entry, photoTurns, true);
    photoPalette.quarterTurns = photoTurns;
    ShowPreview();
}

std::int32_t PhotoLocationDlg::PhotoOfEntry(std::int16_t entry) const
{
    if (entry < 1 || entry > DG::ListViewGetItemCount(GetDialogId(), PhotoListItem)) return -1;
    const std::int64_t photo = DG::ListViewGetItemUserData(GetDialogId(), PhotoListItem, entry);
    if (photo < 0 || photo >= static_cast<std::int64_t>(photoList.GetSize()) ||
        photo >= static_cast<std::int64_t>(quarterTurns.GetSize()))
        return -1;
    return static_cast<std::int32_t>(photo);
}
