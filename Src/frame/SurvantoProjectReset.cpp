#include "API/AddOnInterface.hpp"
#include "DG/DG.hpp"
#include "RS/ResourceModule.hpp"
#include "frame/Survanto.hpp"
#include "frame/UInterface.hpp"
#include "framework/HostApiHelpers.hpp"
#include "measuring/MainPaletteItems.hpp"
#include "measuring/MarkerPart.hpp"
#include "measuring/MeasuringState.hpp"
#include "persistence/ProjectUser.hpp"

// The main palette and the measuring state start afresh for the current project,
// which then brings back its own data.

namespace
{

constexpr std::int16_t InstrumentStationMode = 1;
constexpr std::int16_t PointCloudStationMode = 2;
constexpr std::int16_t InstrumentStationPen = 89;
constexpr std::int16_t ScanStationPen = 15;

using namespace MainPaletteItems;

constexpr std::int16_t PromptStringList = 32560;
constexpr std::int16_t ReservationNotice = 88;

// A shared project reserves stations per user: the surveyor is reminded of it.
void ShowReservationNotice()
{
    DG::AlertRecord alert;
    alert.type = AlertInformation;
    alert.text1 = RS::GetIndString(PromptStringList, ReservationNotice, CurrentResourceModule());
    alert.button2 = RS::GetIndString(AlertStringListId, AlertOkButton, CurrentResourceModule());
    DG::Alert(alert);
}

}  // namespace

void Survanto::ResetMeasuringSession()
{
    measuringState.stationMode = PointCloudStationMode;
    const API_ToolBoxItem tool = CurrentToolboxItem();
    OnToolChanged(tool.typeID, tool.variationID);
    refreshItems = true;

    SetMainPaletteItemValue(AlignInstrumentItem, 0.0);
    SetMainPaletteItemValue(ReferenceHeightIconItem, 0.0);
    for (const std::int16_t item : {OpeningSideItem, RevealKindItem, MeshKindItem, AnchorItem, MorphKindItem})
        SetMainPaletteItemValue(item, 1.0);
    DG::DisableItem(MainPaletteDialogId, FifthOptionItem);
    DG::HideItem(MainPaletteDialogId, Shot2DItem);
    SetMainPaletteItemValue(ReferenceHeightItem, measuringState.referenceHeight);
    resizer.Attach(MainPaletteDialogId);

    markerIdsShown = true;
    manualCalibration = false;
    sounds = true;
    ApplyMarkerIdVisibility();
    SetMainPaletteItemValue(PhotoPreviewItem, 0.0);
    photoFolderDialog.picturePreview = MainPaletteItemValue(PhotoPreviewItem) != 0.0;

    measuringMode = 0;
    profileList.Clear();
    railReady = false;
    profileChosen = false;
    activeStationId = "0";
    instrumentBumped = false;

    LoadModuleData();
    LoadReportData();
    TellDamagedData();
    // The project's own switch decides whether its markers show their ids.
    ApplyMarkerIdVisibility();
    if (ProjectUser::InTeamworkProject()) ShowReservationNotice();

    if (measuringState.stationMode == InstrumentStationMode)
    {
        measuringState.stationSymbolResource = MarkerPart::InstrumentStationSymbol;
        firstStation.Apply(measuringState, stationReferenceElement);
        firstStation.inUse = true;
        stationPen = InstrumentStationPen;
    }
    else
    {
        measuringState.stationSymbolResource = MarkerPart::ScanStationSymbol;
        secondStation.Apply(measuringState, stationReferenceElement);
        secondStation.inUse = true;
        stationPen = ScanStationPen;
    }
    if (UpdateStationMarkers(&measuringState.stationX, &measuringState.stationY, &measuringState.stationZ) == NoError)
        UpdateMainPalette();

    const QuintairDataUserData* snapshot = userData.FindUser(ProjectUser::Current().guid);
    SetMainPaletteItemValue(AutomaticPicturesItem, snapshot != nullptr && snapshot->automaticPictures ? 1.0 : 0.0);
    SetGdlExtensionLanguage(language);
    ShowMeasuringPrompt();
}
