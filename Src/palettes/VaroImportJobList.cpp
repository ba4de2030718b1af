#include <algorithm>
#include <cstdio>
#include <vector>

#include "API/AddOnInterface.hpp"
#include "DG/DG.hpp"
#include "RS/ResourceModule.hpp"
#include "frame/Survanto.hpp"
#include "palettes/VaroImportPalette.hpp"
#include "palettes/VaroImportPaletteItems.hpp"

// The job list: one row per job in the chosen order, and the texts of a row.

using namespace VaroImportItems;

namespace
{

constexpr std::int16_t DefaultLayer = 1;

// Whether two neighbours with these keys are to be swapped.
bool OutOfOrder(const GS::UniString& a, const GS::UniString& b, bool descending) { return descending ? a < b : b < a; }

// Bubble sort that ends each pass at its last swap; rows with equal keys keep
// their order.
void SortByKeys(std::vector<std::uint32_t>& order, const std::vector<GS::UniString>& keys, bool descending)
{
    std::size_t k = order.empty() ? 0 : order.size() - 1;
    while (k > 0)
    {
        std::size_t lastSwap = 0;
        for (std::size_t i = 0; i < k; ++i)
        {
            if (OutOfOrder(keys[order[i]], keys[order[i + 1]], descending))
            {
                std::swap(order[i], order[i + 1]);
                lastSwap = i + 1;
            }
        }
        k = lastSwap;
    }
}

}  // namespace

GS::UniString VaroImportPalette::GetTargetTypeText(std::uint32_t jobIndex)
{
    const std::int16_t entry = TargetEntryOf(importData.jobs[jobIndex].target);
    return entry == 0 ? GS::UniString() : DG::PopupGetItemText(GetDialogId(), TargetTypePopup, entry);
}

GS::UniString VaroImportPalette::GetTargetNameText(std::uint32_t jobIndex)
{
    const ACDatabaseID& target = importData.jobs[jobIndex].target;
    if (target.databaseType == ACDatabaseID::FloorPlan)
    {
        API_StoryInfo storeys;
        if (HostEnvironmentRequest(FourCC("GSTO"), &storeys, nullptr) != NoError) return {};
        if (target.storey < storeys.firstStory || target.storey > storeys.lastStory) return {};
        for (const API_StoryType& storey : storeys.data)
            if (storey.index == target.storey) return StoreyText(storey.index, storey.uName);
        return {};
    }
    if (target.databaseGuid == APINULLGuid) return target.name;
    API_DatabaseInfo database {};
    database.typeID = target.databaseType;
    database.databaseUnId = target.databaseGuid;
    return HostDatabaseRequest(FourCC("GDBI"), &database, nullptr) == NoError ? database.name : GS::UniString();
}

// A layer without a name, and the default layer, show the host's default layer,
// which the job then takes.
GS::UniString VaroImportPalette::GetLayerText(std::uint32_t jobIndex)
{
    OrtophotoData& job = importData.jobs[jobIndex];
    if (job.layerFromJobName) return LayerNameOfJob(job.jobName);
    GS::UniString name;
    API_Attribute layer {};
    layer.header.typeID = API_LayerID;
    layer.header.index = job.layerIndex;
    layer.header.uniStringNamePtr = &name;
    if (HostGetAttribute(&layer) != NoError) name.Clear();
    if (!name.IsEmpty() && job.layerIndex != DefaultLayer) return name;
    job.layerIndex = DefaultLayer;
    return RS::GetIndString(AlertTexts, DefaultLayerText, CurrentResourceModule());
}

void VaroImportPalette::RefreshJobList()
{
    const std::int16_t dialogId = GetDialogId();
    importData.ValidateTargets();
    std::vector<std::int64_t> selectedJobs;
    for (short row = DG::ListGetSelected(dialogId, JobList, 0); row != 0; row = DG::ListGetSelected(dialogId, JobList, row))
        selectedJobs.push_back(DG::ListGetItemUserData(dialogId, JobList, row));
    DG::ListDeselectItem(dialogId, JobList, DG::AllItems);

    const std::uint32_t count = importData.jobs.GetSize();
    std::vector<std::uint32_t> order(count);
    std::vector<GS::UniString> keys(count);
    for (std::uint32_t i = 0; i < count; ++i)
    {
        order[i] = i;
        switch (sortColumn)
        {
            case JobColumn: keys[i] = importData.jobs[i].jobName; break;
            case TargetTypeColumn: keys[i] = GetTargetTypeText(i); break;
            case TargetNameColumn: keys[i] = GetTargetNameText(i); break;
            case LayerColumn: keys[i] = GetLayerText(i); break;
            default: break;
        }
    }
    SortByKeys(order, keys, sortDescending);

    short row = 0;
    for (const std::uint32_t job : order)
    {
        ++row;
        if (DG::ListGetItemCount(dialogId, JobList) < row) DG::ListInsertItem(dialogId, JobList, row);
        const OrtophotoData& data = importData.jobs[job];
        DG::ListSetTabItemText(dialogId, JobList, row, JobColumn, data.jobName);
        DG::ListSetItemUserData(dialogId, JobList, row, job);
        DG::ListSetTabItemText(dialogId, JobList, row, TargetTypeColumn, GetTargetTypeText(job));
        DG::ListSetTabItemText(dialogId, JobList, row, TargetNameColumn, GetTargetNameText(job));
        DG::ListSetTabItemIcon(dialogId, JobList, row, ExecuteColumn, data.execute ? DG::CheckedIcon : DG::UncheckedIcon);
        DG::ListSetTabItemIcon(dialogId, JobList, row, OriginColumn, data.hasOrigin ? OwnIcon(OriginIcon) : DG::NoIcon);
        DG::ListSetTabItemIcon(dialogId, JobList, row, LayerIconColumn, data.layerFromJobName ? OwnIcon(LayerIcon) : DG::NoIcon);
        DG::ListSetTabItemText(dialogId, JobList, row, LayerColumn, GetLayerText(job));
    }
    while (DG::ListGetItemCount(dialogId, JobList) > row)
        DG::ListDeleteItem(dialogId, JobList, DG::ListGetItemCount(dialogId, JobList));

    if (selectedJobs.empty()) return;
    short first = -1;
    for (short each = 1; each <= row; ++each)
    {
        const std::int64_t job = DG::ListGetItemUserData(dialogId, JobList, each);
        if (std::find(selectedJobs.begin(), selectedJobs.end(), job) == selectedJobs.end()) continue;
        DG::ListSelectItem(dialogId, JobList, each);
        if (first == -1) first = each;
    }
    UpdateTargetControls(first);
}
