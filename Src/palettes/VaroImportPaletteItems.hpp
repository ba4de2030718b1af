#pragma once
#include <cstdint>

#include "DG/DG.hpp"
#include "GS/UniString.hpp"
#include "pointclouds/ACDatabaseID.hpp"

// The import palette's items, list columns and texts, shared by its files.
namespace VaroImportItems
{

enum Item : std::int16_t
{
    CloseButton = 1,
    ApplyButton = 2,
    FolderText = 4,
    FolderButton = 5,
    TargetTypePopup = 6,
    TargetNamePopup = 7,
    LayerFromJobToggle = 8,
    LayerControl = 9,
    OriginToggle = 10,
    NewViewName = 11,
    JobList = 12,
    SelectAllButton = 13,
    DeselectAllButton = 14,
};

enum Column : std::int16_t
{
    ExecuteColumn = 1,
    OriginColumn = 2,
    JobColumn = 3,
    TargetTypeColumn = 4,
    TargetNameColumn = 5,
    LayerIconColumn = 6,
    LayerColumn = 7,
    ColumnCount = 7,
};

// Entries of the target-type pop-up.
enum TargetEntry : std::int16_t
{
    StoreyEntry = 1,
    SectionEntry = 2,
    ElevationEntry = 3,
    InteriorElevationEntry = 4,
    LayoutEntry = 5,
    WorksheetEntry = 6,
    NewSectionEntry = 8,
    NewElevationEntry = 9,
    NewWorksheetEntry = 10,
};

constexpr std::int16_t HeaderTexts = 32580;
constexpr std::int16_t FolderBrowserTitle = 8;
constexpr std::int16_t AlertTexts = 32550;
constexpr std::int16_t DefaultLayerText = 84;
constexpr std::int16_t RefreshPhaseText = 83;
constexpr std::int16_t OriginIcon = 32655;
constexpr std::int16_t LayerIcon = 32656;
constexpr std::int16_t ItemMargin = 2;

// The own module's icon; the module number fits a dialog icon's.
DG::Icon OwnIcon(std::int16_t icon);

// The entry of the target-type pop-up that shows the target; 0 for none.
std::int16_t TargetEntryOf(const ACDatabaseID& target);

// The name of the layer a job's pictures go on when it is named after the job:
// every "." turned into "_".
GS::UniString LayerNameOfJob(const GS::UniString& jobName);

// "<index>. <name>" of a storey.
GS::UniString StoreyText(std::int16_t index, const GS::UniString& name);

}  // namespace VaroImportItems
