#pragma once
#include <cstdint>

#include "GS/UniString.hpp"
#include "framework/CDialogBase.hpp"
#include "framework/CDialogResizer.hpp"
#include "framework/TypVektor.hpp"
#include "pointclouds/ACDatabaseID.hpp"
#include "pointclouds/VaroImportData.hpp"

// The orthophoto import palette: one list row per job of the chosen folder, the
// controls that set the selected rows' target view, layer and own origin, and
// the apply that places the jobs' tiles as pictures.
class VaroImportPalette : public CDialogBase
{
public:
    static constexpr std::int16_t DialogId = 32465;
    // Apply for every job.
    static constexpr std::int32_t AllJobs = -1;

    VaroImportPalette();
    ~VaroImportPalette() override = default;
    std::int16_t DialogCallback(std::int16_t message, std::int16_t dialogId, std::int16_t item, std::intptr_t data) override;

    void InitDialog();
    void StoreColumnWidths();
    void ApplyColumnWidths();
    void SetSortColumn(std::int16_t column);
    void SelectAllRows();
    void DeselectAllRows();
    void RefreshJobList();
    GS::UniString GetTargetTypeText(std::uint32_t jobIndex);
    GS::UniString GetTargetNameText(std::uint32_t jobIndex);
    GS::UniString GetLayerText(std::uint32_t jobIndex);
    void FillTargetNamePopup();
    void StoreRowSettings();
    // Row 0 only sets which target kinds the project offers.
    void UpdateTargetControls(std::int16_t row);
    void UpdateLayerControl();
    void ShowSelectedJob();

    // The folder browser and the scan behind it.
    void BrowseJobFolder();
    // Replaces the job list by the jobs found below path; rescanning the chosen
    // folder keeps the settings of the jobs found again.
    void ReadJobFolder(const GS::UniString& path);

    // Places every job that takes part, or only the job of that index.
    void Apply(std::int32_t onlyJob);
    // Asks each selected row's job for its own origin in its target view.
    void PickOriginPoints();

    CDialogResizer resizer;
    VaroImportData importData;
    TypVektor<ACDatabaseID> nameEntries;
    std::int16_t sortColumn = 3;
    bool sortDescending = false;
    bool widthsApplied = false;

    struct PlacementRun;
    // The bodies of the apply's two undoable commands; each answers 0.
    GSErrCode CreateViewsCommand(PlacementRun& run);
    GSErrCode PlacePicturesCommand(PlacementRun& run);

private:
    bool TakesPart(const PlacementRun& run, std::uint32_t jobIndex) const;
    void TakeNewViews(PlacementRun& run);
    void PlaceJob(PlacementRun& run, OrtophotoData& job);
    std::int16_t HandleClick(std::int16_t item, std::intptr_t data);
    void HandleChange(std::int16_t item);
    void ClickCheckBox(std::intptr_t data);
    void Resize(std::intptr_t data);
    void ClickHeader(std::int16_t column);
    void NoteSelectedRow();
};

// The first selected list row at the last click on the list (0 when none); -1
// while the palette is closed.
extern std::int16_t selectedImportRow;
