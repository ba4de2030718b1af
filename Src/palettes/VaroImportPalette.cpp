#include "palettes/VaroImportPalette.hpp"

#include <algorithm>
#include <array>
#include <cstdio>

#include "API/AddOnInterface.hpp"
#include "DG/DG.hpp"
#include "IO/Folder.hpp"
#include "RS/ResourceModule.hpp"
#include "frame/AddOnGlobals.hpp"
#include "frame/PaletteGuids.hpp"
#include "frame/Survanto.hpp"
#include "frame/UInterface.hpp"
#include "palettes/VaroImportPaletteItems.hpp"
#include "pointclouds/JobFolderScan.hpp"

// The palette's frame: its messages, the list's columns and header, resizing,
// the check boxes of the first column and the job folder.

using namespace VaroImportItems;

std::int16_t selectedImportRow = -1;

namespace
{

constexpr std::array<std::int16_t, ColumnCount> DefaultWidths {50, 32, 100, 100, 100, 32, 40};
constexpr std::int16_t NarrowestLastColumn = 60;
constexpr short ExecuteJustification = 0x100;
constexpr short Truncation = 0x1000;
constexpr short SortArrowAscending = 2;
constexpr short SortArrowDescending = 1;
constexpr std::int32_t LayerChooserKind = 18;

struct ColumnHeader
{
    std::int16_t flags;
    bool on;
    std::int16_t minWidth;
    std::int16_t text;  // entry of the header texts, 0 for an icon column
    std::int16_t icon;
};

constexpr ColumnHeader Headers[ColumnCount] = {
    {0x1100, true, 50, 12, 0},  {0x1100, false, 32, 0, OriginIcon}, {0x1000, true, 100, 9, 0},  {0x1000, true, 100, 10, 0},
    {0x1000, true, 100, 11, 0}, {0x1000, false, 32, 0, LayerIcon},  {0x1000, true, 100, 15, 0},
};

Survanto* MainObject() { return theSurvanto.load(); }

bool IsSortable(std::int16_t column)
{
    return column == JobColumn || column == TargetTypeColumn || column == TargetNameColumn || column == LayerColumn;
}

// Each job found again takes over the settings of its first namesake of the
// earlier list, but not the pictures placed for it.
void CarryOverJobs(const VaroImportData& earlier, VaroImportData& found)
{
    for (OrtophotoData& job : found.jobs)
    {
        for (const OrtophotoData& known : earlier.jobs)
        {
            if (known.jobName != job.jobName) continue;
            job = known;
            break;
        }
    }
}

void PlaceOnTabField(std::int16_t dialogId, std::int16_t field, std::int16_t item)
{
    DG::TabField tab = DG::ListGetTabField(dialogId, JobList, field);
    tab.item = item;
    DG::ListSetTabField(dialogId, JobList, field, tab);
}

}  // namespace

namespace VaroImportItems
{

DG::Icon OwnIcon(std::int16_t icon) { return {static_cast<short>(HostGetOwnResourceModule()), icon}; }

std::int16_t TargetEntryOf(const ACDatabaseID& target)
{
    const bool toBeMade = target.databaseGuid == APINULLGuid;
    switch (target.databaseType)
    {
        case ACDatabaseID::FloorPlan: return StoreyEntry;
        case ACDatabaseID::Section: return toBeMade ? NewSectionEntry : SectionEntry;
        case ACDatabaseID::Elevation: return toBeMade ? NewElevationEntry : ElevationEntry;
        case ACDatabaseID::InteriorElevation: return InteriorElevationEntry;
        case ACDatabaseID::Layout: return LayoutEntry;
        case ACDatabaseID::Worksheet: return toBeMade ? NewWorksheetEntry : WorksheetEntry;
        default: return 0;
    }
}

GS::UniString LayerNameOfJob(const GS::UniString& jobName)
{
    std::u16string units = jobName.Units();
    std::replace(units.begin(), units.end(), u'.', u'_');
    return GS::UniString(units);
}

GS::UniString StoreyText(std::int16_t index, const GS::UniString& name)
{
    char number[16];
    std::snprintf(number, sizeof number, "%d. ", index);
    return GS::UniString(number) + name;
}

}  // namespace VaroImportItems

VaroImportPalette::VaroImportPalette()
{
    SetDialogId(DialogId);
    SetPaletteGuid(varoImportPaletteGuid);
}

std::int16_t VaroImportPalette::DialogCallback(std::int16_t message, std::int16_t dialogId, std::int16_t item, std::intptr_t data)
{
    if (message == DG::MsgClick || message == DG::MsgChange) HostInterfaceRequest(FourCC("INCA"), nullptr, nullptr);
    if (dialogId != GetDialogId() && message != DG::MsgInit) return 0;
    Survanto* survanto = MainObject();
    std::int16_t result = 0;
    switch (message)
    {
        case DG::MsgInit:
            if (survanto != nullptr)
            {
                survanto->LoadModuleData();
                survanto->TellDamagedData();
            }
            InitDialog();
            break;
        case DG::MsgClose:
            widthsApplied = false;
            if (survanto != nullptr) survanto->SyncImportPaletteButton(true);
            selectedImportRow = -1;
            break;
        case DG::MsgClick: result = HandleClick(item, data); break;
        case DG::MsgChange: HandleChange(item); break;
        case DG::MsgGrow: Resize(data); break;
        case DG::MsgListHeaderClick:
            ClickHeader(item == JobList && data != 0 ? reinterpret_cast<const DG::ListHeaderClickData*>(data)->headerItem : -1);
            break;
        case DG::MsgListHeaderResize:
            if (item == JobList) FitTabFieldItems(GetDialogId(), JobList, ItemMargin);
            break;
        case DG::MsgListHeaderButtonClick: ClickHeader(-1); break;
        default: break;
    }
    if ((message == DG::MsgClick || message == DG::MsgChange) && survanto != nullptr) survanto->SaveModuleData();
    return result;
}

std::int16_t VaroImportPalette::HandleClick(std::int16_t item, std::intptr_t data)
{
    switch (item)
    {
        case CloseButton: StoreColumnWidths(); return CloseButton;
        case DG::CloseBox: StoreColumnWidths(); return DG::CloseBox;
        case ApplyButton:
            Apply(AllJobs);
            RefreshJobList();
            ShowSelectedJob();
            break;
        case FolderButton: BrowseJobFolder(); break;
        case JobList:
            if (data != 0)
            {
                ClickCheckBox(data);
                NoteSelectedRow();
            }
            break;
        case SelectAllButton: SelectAllRows(); break;
        case DeselectAllButton: DeselectAllRows(); break;
        default: break;
    }
    return 0;
}

void VaroImportPalette::HandleChange(std::int16_t item)
{
    const std::int16_t dialogId = GetDialogId();
    switch (item)
    {
        case FolderButton: BrowseJobFolder(); break;
        case TargetTypePopup:
            FillTargetNamePopup();
            StoreRowSettings();
            RefreshJobList();
            UpdateTargetControls(selectedImportRow);
            FitTabFieldItems(dialogId, JobList, ItemMargin);
            break;
        case TargetNamePopup:
        case LayerControl:
        case NewViewName:
            StoreRowSettings();
            RefreshJobList();
            break;
        case LayerFromJobToggle:
            StoreRowSettings();
            RefreshJobList();
            UpdateLayerControl();
            break;
        case OriginToggle:
            StoreRowSettings();
            PickOriginPoints();
            RefreshJobList();
            break;
        case JobList:
            UpdateTargetControls(selectedImportRow);
            FitTabFieldItems(dialogId, JobList, ItemMargin);
            break;
        default: break;
    }
}

void VaroImportPalette::NoteSelectedRow() { selectedImportRow = DG::ListGetSelected(GetDialogId(), JobList, 0); }

// A click left of the first column's end ticks or unticks the clicked row's box
// and gives every selected row's job that state. Only a row of the list counts.
void VaroImportPalette::ClickCheckBox(std::intptr_t data)
{
    const std::int16_t dialogId = GetDialogId();
    const auto& click = *reinterpret_cast<const DG::ListClickData*>(data);
    if (click.x >= DG::ListGetTabField(dialogId, JobList, ExecuteColumn).end) return;
    if (click.row < 1 || click.row > DG::ListGetItemCount(dialogId, JobList)) return;
    const bool ticked =
        DG::ListGetTabItemIcon(dialogId, JobList, click.row, ExecuteColumn).resourceId == DG::CheckedIcon.resourceId;
    const bool execute = !ticked;
    DG::ListSetTabItemIcon(dialogId, JobList, click.row, ExecuteColumn, execute ? DG::CheckedIcon : DG::UncheckedIcon);
    for (short row = DG::ListGetSelected(dialogId, JobList, 0); row != 0; row = DG::ListGetSelected(dialogId, JobList, row))
    {
        const auto job = static_cast<std::uint32_t>(DG::ListGetItemUserData(dialogId, JobList, row));
        if (job < importData.jobs.GetSize()) importData.jobs[job].execute = execute;
    }
    RefreshJobList();
}

void VaroImportPalette::InitDialog()
{
    const std::int16_t dialogId = GetDialogId();
    resizer.Attach(dialogId);
    resizer.ClearItems();
    resizer.AddItem(dialogId, CloseButton, 1, 1, 0, 0);
    resizer.AddItem(dialogId, ApplyButton, 1, 1, 0, 0);
    resizer.AddItem(dialogId, SelectAllButton, 0, 1, 0, 0);
    resizer.AddItem(dialogId, DeselectAllButton, 0, 1, 0, 0);
    resizer.AddItem(dialogId, JobList, 0, 0, 1, 1);
    for (const std::int16_t item :
         {TargetTypePopup, OriginToggle, TargetNamePopup, NewViewName, LayerControl, LayerFromJobToggle})
        DG::HideItem(dialogId, item);

    // A fresh header, as the dialog's resource gives it.
    DG::ListSetHeaderItemCount(dialogId, JobList, 0);
    DG::ListSetHeaderItemCount(dialogId, JobList, ColumnCount);
    DG::ListSetTabFieldCount(dialogId, JobList, ColumnCount);
    DG::ListSetHeaderFlags(dialogId, JobList, true, true, false);

    if (Survanto* survanto = MainObject())
    {
        auto& widths = survanto->importColumnWidths;
        if (widths[0] != DefaultWidths[0] || widths[1] != DefaultWidths[1] || widths[5] != DefaultWidths[5])
        {
            std::int16_t rest = DG::GetItemWidth(dialogId, JobList);
            for (int i = 0; i < ColumnCount - 1; ++i)
            {
                widths[static_cast<std::size_t>(i)] = DefaultWidths[static_cast<std::size_t>(i)];
                rest = static_cast<std::int16_t>(rest - DefaultWidths[static_cast<std::size_t>(i)]);
            }
            widths[ColumnCount - 1] = rest;
        }
    }
    ApplyColumnWidths();

    const GSResModule texts = CurrentResourceModule();
    for (std::int16_t column = 1; column <= ColumnCount; ++column)
    {
        const ColumnHeader& header = Headers[column - 1];
        DG::ListSetHeaderItemFlags(dialogId, JobList, column, header.flags, header.on);
        DG::ListSetHeaderItemMinSize(dialogId, JobList, column, header.minWidth);
        if (header.text != 0)
            DG::ListSetHeaderItemText(dialogId, JobList, column, RS::GetIndString(HeaderTexts, header.text, texts));
        else
            DG::ListSetHeaderItemIcon(dialogId, JobList, column, OwnIcon(header.icon));
    }
    PlaceOnTabField(dialogId, OriginColumn, OriginToggle);
    PlaceOnTabField(dialogId, TargetTypeColumn, TargetTypePopup);
    PlaceOnTabField(dialogId, TargetNameColumn, TargetNamePopup);
    PlaceOnTabField(dialogId, LayerIconColumn, LayerFromJobToggle);
    PlaceOnTabField(dialogId, LayerColumn, LayerControl);
    DG::ListSetRowHeight(dialogId, JobList, static_cast<short>(DG::GetItemHeight(dialogId, TargetTypePopup) + 2));
    DG::ListSetHeaderItemArrowType(dialogId, JobList, JobColumn, SortArrowAscending);

    API_UCCallbackType layerChooser {LayerChooserKind, dialogId, LayerControl};
    HostInterfaceRequest(FourCC("SUCC"), &layerChooser, nullptr);

    FillTargetNamePopup();
    RefreshJobList();
    DG::SetItemText(dialogId, FolderText, importData.jobFolder);
}

void VaroImportPalette::StoreColumnWidths()
{
    Survanto* survanto = MainObject();
    if (survanto == nullptr) return;
    for (std::int16_t field = 1; field <= ColumnCount; ++field)
    {
        const DG::TabField tab = DG::ListGetTabField(GetDialogId(), JobList, field);
        survanto->importColumnWidths[static_cast<std::size_t>(field - 1)] = static_cast<std::int16_t>(tab.end - tab.begin);
    }
}

void VaroImportPalette::ApplyColumnWidths()
{
    const std::int16_t dialogId = GetDialogId();
    Survanto* survanto = MainObject();
    std::array<std::int16_t, ColumnCount> widths = survanto != nullptr ? survanto->importColumnWidths : DefaultWidths;
    const int listWidth = DG::GetItemWidth(dialogId, JobList);
    int sum = 0, firstSix = 0;
    for (int i = 0; i < ColumnCount; ++i) sum += widths[static_cast<std::size_t>(i)];
    for (int i = 0; i < ColumnCount - 1; ++i) firstSix += widths[static_cast<std::size_t>(i)];
    if (listWidth < sum && listWidth - firstSix < NarrowestLastColumn)
    {
        firstSix = 0;
        for (int i = 0; i < ColumnCount - 1; ++i)
            firstSix += widths[static_cast<std::size_t>(i)] = DefaultWidths[static_cast<std::size_t>(i)];
    }
    widths[ColumnCount - 1] = static_cast<std::int16_t>(listWidth - firstSix);
    if (survanto != nullptr) survanto->importColumnWidths = widths;

    short begin = 0;
    for (std::int16_t field = 1; field <= ColumnCount; ++field)
    {
        DG::TabField tab = DG::ListGetTabField(dialogId, JobList, field);
        tab.begin = begin;
        tab.end = static_cast<short>(begin + widths[static_cast<std::size_t>(field - 1)]);
        tab.justification = field == ExecuteColumn ? ExecuteJustification : short(0);
        tab.truncation = Truncation;
        tab.separator = field != LayerIconColumn;
        tab.enabled = true;
        DG::ListSetTabField(dialogId, JobList, field, tab);
        begin = tab.end;
    }
}

// Phase 1 of the grow message moves the items; while the user drags the edge
// the columns follow the list's right edge, and when the drag ends the stored
// widths are laid out once after each opening.
void VaroImportPalette::Resize(std::intptr_t data)
{
    if (data == 0) return;
    const auto& grow = *reinterpret_cast<const DG::GrowData*>(data);
    if (grow.phase != 1) return;
    const std::int16_t dialogId = GetDialogId();
    const bool dragging = grow.edgeFlag != 0;
    DG::BeginMoveGrowItems(dialogId);
    resizer.Resize(true);
    if (dragging)
    {
        FitTabFieldsToList(dialogId, JobList);
        FitTabFieldItems(dialogId, JobList, ItemMargin);
    }
    DG::EndMoveGrowItems(dialogId);
    if (!widthsApplied && !dragging)
    {
        ApplyColumnWidths();
        widthsApplied = true;
    }
    if (!dragging)
    {
        FitTabFieldsToList(dialogId, JobList);
        FitTabFieldItems(dialogId, JobList, ItemMargin);
    }
    StoreColumnWidths();
}

void VaroImportPalette::ClickHeader(std::int16_t column)
{
    const std::int16_t dialogId = GetDialogId();
    const short arrow = column >= 1 ? DG::ListGetHeaderItemArrowType(dialogId, JobList, column) : short(0);
    if (arrow == 0 && IsSortable(column))
    {
        for (std::int16_t each = 1; each <= ColumnCount; ++each) DG::ListSetHeaderItemArrowType(dialogId, JobList, each, 0);
        DG::ListSetHeaderItemArrowType(dialogId, JobList, column, SortArrowAscending);
        sortDescending = false;
    }
    if (arrow == SortArrowDescending)
    {
        DG::ListSetHeaderItemArrowType(dialogId, JobList, column, SortArrowAscending);
        sortDescending = false;
    }
    else if (arrow == SortArrowAscending)
    {
        DG::ListSetHeaderItemArrowType(dialogId, JobList, column, SortArrowDescending);
        sortDescending = true;
    }
    SetSortColumn(column);
}

void VaroImportPalette::SetSortColumn(std::int16_t column)
{
    if (!IsSortable(column)) return;
    sortColumn = column;
    RefreshJobList();
}

void VaroImportPalette::SelectAllRows() { DG::ListSelectItem(GetDialogId(), JobList, DG::AllItems); }

void VaroImportPalette::DeselectAllRows() { DG::ListDeselectItem(GetDialogId(), JobList, DG::AllItems); }

void VaroImportPalette::BrowseJobFolder()
{
    const std::int16_t dialogId = GetDialogId();
    IO::Location folder(importData.jobFolder);
    const GS::UniString title = RS::GetIndString(HeaderTexts, FolderBrowserTitle, CurrentResourceModule());
    if (!DGBrowseForFolder(&folder, title)) return;
    const GS::UniString path = folder.ToUniString();
    ReadJobFolder(path);
    importData.jobFolder = path;
    DG::SetItemText(dialogId, FolderText, path);
    RefreshJobList();
}

void VaroImportPalette::ReadJobFolder(const GS::UniString& path)
{
    VaroImportData found;
    found.jobFolder = path;
    if (!path.IsEmpty())
    {
        JobFolderScan scan {0, found};
        IO::Folder(IO::Location(path)).Enumerate(ScanJobFolderEntry, &scan);
    }
    if (path == importData.jobFolder) CarryOverJobs(importData, found);
    importData = found;
}
