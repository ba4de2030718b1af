#include <vector>

#include "API/AddOnInterface.hpp"
#include "DG/DG.hpp"
#include "frame/UInterface.hpp"
#include "palettes/VaroImportPalette.hpp"
#include "palettes/VaroImportPaletteItems.hpp"

// The controls the list places on its columns for the selected rows: the target
// type and view, the own origin and the layer, and what they write into the
// selected rows' jobs.

using namespace VaroImportItems;

namespace
{

struct ExistingKind
{
    std::int16_t entry;
    std::int32_t databaseType;
    std::int32_t listRequest;
};

constexpr ExistingKind ExistingKinds[] = {
    {SectionEntry, ACDatabaseID::Section, FourCC("GSDI")},
    {ElevationEntry, ACDatabaseID::Elevation, FourCC("GEDI")},
    {InteriorElevationEntry, ACDatabaseID::InteriorElevation, FourCC("GIED")},
    {LayoutEntry, ACDatabaseID::Layout, FourCC("GLDI")},
    {WorksheetEntry, ACDatabaseID::Worksheet, FourCC("GWDI")},
};

std::vector<API_Guid> ViewsOfKind(const ExistingKind& kind)
{
    std::vector<API_Guid> views;
    if (HostDatabaseRequest(kind.listRequest, &views, nullptr) != NoError) views.clear();
    return views;
}

GS::UniString ViewName(std::int32_t databaseType, const API_Guid& guid)
{
    API_DatabaseInfo database {};
    database.typeID = databaseType;
    database.databaseUnId = guid;
    return HostDatabaseRequest(FourCC("GDBI"), &database, nullptr) == NoError ? database.name : GS::UniString();
}

std::int32_t NewViewType(std::int16_t entry)
{
    switch (entry)
    {
        case NewSectionEntry: return ACDatabaseID::Section;
        case NewElevationEntry: return ACDatabaseID::Elevation;
        case NewWorksheetEntry: return ACDatabaseID::Worksheet;
        default: return 0;
    }
}

void PlaceOnTabField(std::int16_t dialogId, std::int16_t field, std::int16_t item)
{
    DG::TabField tab = DG::ListGetTabField(dialogId, JobList, field);
    tab.item = item;
    DG::ListSetTabField(dialogId, JobList, field, tab);
}

std::vector<std::uint32_t> SelectedJobs(std::int16_t dialogId, std::uint32_t jobCount)
{
    std::vector<std::uint32_t> jobs;
    for (short row = DG::ListGetSelected(dialogId, JobList, 0); row != 0; row = DG::ListGetSelected(dialogId, JobList, row))
    {
        const auto job = static_cast<std::uint32_t>(DG::ListGetItemUserData(dialogId, JobList, row));
        if (job < jobCount) jobs.push_back(job);
    }
    return jobs;
}

// The job of the first selected row, or null.
OrtophotoData* FirstSelectedJob(std::int16_t dialogId, VaroImportData& data)
{
    const std::vector<std::uint32_t> jobs = SelectedJobs(dialogId, data.jobs.GetSize());
    return jobs.empty() ? nullptr : &data.jobs[jobs.front()];
}

}  // namespace

void VaroImportPalette::FillTargetNamePopup()
{
    const std::int16_t dialogId = GetDialogId();
    nameEntries.Clear();
    DG::PopupDeleteItem(dialogId, TargetNamePopup, DG::AllItems);
    const auto append = [&](const GS::UniString& text, const ACDatabaseID& view) {
        DG::PopupInsertItem(dialogId, TargetNamePopup, static_cast<short>(nameEntries.GetSize() + 1));
        DG::PopupSetItemText(dialogId, TargetNamePopup, static_cast<short>(nameEntries.GetSize() + 1), text);
        nameEntries.Add(view);
    };
    const std::int16_t entry = DG::PopupGetSelected(dialogId, TargetTypePopup);
    if (entry == StoreyEntry)
    {
        API_StoryInfo storeys;
        if (HostEnvironmentRequest(FourCC("GSTO"), &storeys, nullptr) != NoError) return;
        for (auto storey = storeys.data.rbegin(); storey != storeys.data.rend(); ++storey)
            append(StoreyText(storey->index, storey->uName),
                   ACDatabaseID {ACDatabaseID::FloorPlan, APINULLGuid, storey->index, {}});
        return;
    }
    for (const ExistingKind& kind : ExistingKinds)
    {
        if (kind.entry != entry) continue;
        for (const API_Guid& guid : ViewsOfKind(kind))
            append(ViewName(kind.databaseType, guid), ACDatabaseID {kind.databaseType, guid, 0, {}});
        PlaceOnTabField(dialogId, TargetNameColumn, TargetNamePopup);
        return;
    }
    if (NewViewType(entry) != 0)
    {
        PlaceOnTabField(dialogId, TargetNameColumn, 0);
        PlaceOnTabField(dialogId, TargetNameColumn, NewViewName);
    }
}

// A view still to be made is always named after its job; the text of item 11
// is not read. A name entry counts only when it is one of nameEntries.
void VaroImportPalette::StoreRowSettings()
{
    const std::int16_t dialogId = GetDialogId();
    const std::int16_t typeEntry = DG::PopupGetSelected(dialogId, TargetTypePopup);
    const std::int16_t nameEntry = DG::PopupGetSelected(dialogId, TargetNamePopup);
    const bool layerFromJobName = DG::GetItemValue(dialogId, LayerFromJobToggle) != 0.0;
    const auto layer = static_cast<std::int16_t>(DG::GetItemValLong(dialogId, LayerControl));
    for (const std::uint32_t index : SelectedJobs(dialogId, importData.jobs.GetSize()))
    {
        OrtophotoData& job = importData.jobs[index];
        if (NewViewType(typeEntry) != 0)
        {
            job.target.name = job.jobName;
            job.target.databaseType = NewViewType(typeEntry);
            job.target.databaseGuid = APINULLGuid;
        }
        else if (nameEntry >= 1 && static_cast<std::uint32_t>(nameEntry) <= nameEntries.GetSize())
        {
            job.target = nameEntries[static_cast<std::uint32_t>(nameEntry - 1)];
        }
        job.layerFromJobName = layerFromJobName;
        if (!layerFromJobName) job.layerIndex = layer;
    }
}

void VaroImportPalette::UpdateTargetControls(std::int16_t row)
{
    const std::int16_t dialogId = GetDialogId();
    for (const ExistingKind& kind : ExistingKinds)
        DG::PopupEnableItem(dialogId, TargetTypePopup, kind.entry, !ViewsOfKind(kind).empty());
    if (row == 0) return;

    bool notVertical = false;
    for (const std::uint32_t job : SelectedJobs(dialogId, importData.jobs.GetSize()))
        notVertical = notVertical || !importData.jobs[job].IsVertical();
    FitTabFieldItems(dialogId, JobList, ItemMargin);
    const OrtophotoData* first = FirstSelectedJob(dialogId, importData);
    if (first == nullptr)
    {
        ClearTabFieldItems(dialogId, JobList);
        return;
    }
    const ACDatabaseID& target = first->target;
    if (target.databaseGuid != APINULLGuid || target.databaseType == ACDatabaseID::FloorPlan)
    {
        DG::HideItem(dialogId, NewViewName);
        PlaceOnTabField(dialogId, TargetNameColumn, TargetNamePopup);
    }
    else
    {
        DG::HideItem(dialogId, TargetNamePopup);
        PlaceOnTabField(dialogId, TargetNameColumn, NewViewName);
    }
    PlaceOnTabField(dialogId, TargetTypeColumn, TargetTypePopup);
    PlaceOnTabField(dialogId, OriginColumn, OriginToggle);
    PlaceOnTabField(dialogId, LayerIconColumn, LayerFromJobToggle);
    DG::PopupEnableItem(dialogId, TargetTypePopup, NewSectionEntry, !notVertical);
    DG::PopupEnableItem(dialogId, TargetTypePopup, NewElevationEntry, !notVertical);
    PlaceOnTabField(dialogId, LayerColumn, first->layerFromJobName ? std::int16_t(0) : std::int16_t(LayerControl));
    ShowSelectedJob();
}

void VaroImportPalette::UpdateLayerControl()
{
    const std::int16_t dialogId = GetDialogId();
    const OrtophotoData* first = FirstSelectedJob(dialogId, importData);
    const bool ownLayer = first != nullptr && !first->layerFromJobName;
    PlaceOnTabField(dialogId, LayerColumn, ownLayer ? std::int16_t(LayerControl) : std::int16_t(0));
}

void VaroImportPalette::ShowSelectedJob()
{
    const std::int16_t dialogId = GetDialogId();
    const OrtophotoData* job = FirstSelectedJob(dialogId, importData);
    if (job == nullptr) return;
    const ACDatabaseID target = job->target;
    const std::int16_t entry = TargetEntryOf(target);
    DG::SetItemText(dialogId, NewViewName, target.name.IsEmpty() ? job->jobName : target.name);
    DG::PopupSelectItem(dialogId, TargetTypePopup, entry == 0 ? std::int16_t(StoreyEntry) : entry);
    FillTargetNamePopup();
    DG::SetItemValue(dialogId, OriginToggle, job->hasOrigin ? 1.0 : 0.0);
    DG::SetItemValue(dialogId, LayerFromJobToggle, job->layerFromJobName ? 1.0 : 0.0);
    DG::SetItemValue(dialogId, LayerControl, job->layerIndex);
    for (std::uint32_t i = 0; i < nameEntries.GetSize(); ++i)
    {
        if (nameEntries[i].databaseGuid != target.databaseGuid || nameEntries[i].storey != target.storey) continue;
        DG::PopupSelectItem(dialogId, TargetNamePopup, static_cast<short>(i + 1));
        break;
    }
}
