#include <algorithm>
#include <array>
#include <initializer_list>

#include "API/AddOnInterface.hpp"
#include "DG/DG.hpp"
#include "exchange/PointCabImport.hpp"
#include "frame/Survanto.hpp"
#include "framework/HostApiHelpers.hpp"
#include "measuring/MainPaletteItems.hpp"
#include "measuring/MeasuringState.hpp"
#include "measuring/PaletteToolViews.hpp"

// The main palette's callback: a mode button chooses what the next measured
// points mean; the option buttons 14 to 18 do so per tool and are remembered
// for the tool; the other items finish polygons, open the sub-palettes and run
// the palette's commands.

namespace
{

using namespace MainPaletteItems;

constexpr std::array<std::int16_t, 26> MeasuringModeButtons {
    AlignInstrumentItem, ReferenceHeightModeItem, TopElevationItem,  BottomElevationItem,    DistanceModeItem, AngleModeItem,
    AbsoluteZModeItem,   FirstOptionItem,         SecondOptionItem,  ThirdOptionItem,        FourthOptionItem, FifthOptionItem,
    WallThicknessItem,   TrapezoidWallItem,       RevealItem,        FreeAreaHeightModeItem, WidthModeItem,    DepthModeItem,
    RotationModeItem,    PolygonWallItem,         RadiatorNicheItem, WindowSillItem,         BeamWidthItem,    BeamHeightItem,
    MorphPointsItem,     MorphFromMarkersItem};

// Nothing in the add-on sends it; whenever it arrives the exchange file is checked.
constexpr std::int16_t PollExchangeFileMessage = 0x3FFF;
constexpr std::int32_t MorphFromSelectedMarkers = 1;
constexpr std::int32_t PhotoSubtype = FourCC("SVPH");
constexpr std::int32_t CurvePaletteFlags = 407;
constexpr std::int32_t ImportPaletteFlags = 243;
constexpr std::int32_t PhotoPaletteFlags = 211;
constexpr std::int16_t LabelFont = 8;
constexpr std::int16_t LabelItems[] = {RevealDepthLabelItem,      RevealWidthLabelItem, SpatialLabelItem,    PlanLabelItem,
                                       HeightDifferenceLabelItem, SillDepthLabelItem,   SillHeightLabelItem, MorphDepthLabelItem};
// "Zurücksetzen" clears the value fields in this order.
constexpr std::int16_t ValueItems[] = {
    RevealDepthItem,       RevealWidthItem,  ReferenceHeightItem,  AbsoluteZModeItem, SpatialDistanceItem, AngleItem,
    AbsoluteZItem,         PlanDistanceItem, HeightDifferenceItem, RevealDepthItem,   RevealWidthItem,     SecondRevealDepthItem,
    SecondRevealWidthItem, NicheDepthItem,   NicheHeightItem,      SillDepthItem,     SillThicknessItem};

bool Listed(std::int32_t value, std::initializer_list<std::int32_t> values)
{
    return std::find(values.begin(), values.end(), value) != values.end();
}

bool IsOn(const Survanto& survanto, std::int16_t item) { return survanto.MainPaletteItemValue(item) == 1.0; }

void SwitchOff(Survanto& survanto, std::int16_t item) { survanto.SetMainPaletteItemValue(item, 0.0); }

bool IsPhotoToolboxItem() { return CurrentToolboxItem().variationID == PhotoSubtype; }

void StartMode(Survanto& survanto, std::int16_t item)
{
    survanto.measuringMode = item;
    survanto.pointStep = 1;
}

// A sub-palette shows the current language's texts and the add-on's own icons.
void OpenSubPalette(Survanto& survanto, CDialogBase& palette, std::int32_t flags)
{
    if (palette.GetOpenMode() != CDialogBase::Closed) return;
    palette.SetResourceModules(CurrentResourceModule(), survanto.resourceModules[0]);
    palette.OpenPalette(flags);
}

// Returns whether the palette was opened.
bool ToggleSubPalette(Survanto& survanto, CDialogBase& palette, std::int32_t flags)
{
    if (palette.GetOpenMode() != CDialogBase::Closed)
    {
        palette.Close();
        return false;
    }
    OpenSubPalette(survanto, palette, flags);
    return true;
}

// Returns whether the palette is open; while the profile's curve palette is,
// the user is told to close that one first.
bool OpenCurvePalette(Survanto& survanto)
{
    if (survanto.curvePalette.GetOpenMode() != CDialogBase::Closed) return true;
    if (Curve3DPalette::TellWhenOpen(survanto.sectionPalette.curvePalette)) return false;
    OpenSubPalette(survanto, survanto.curvePalette, CurvePaletteFlags);
    survanto.SyncCurvePaletteButton(false);
    return true;
}

// The option's points go to the curve palette: without it, no mode runs.
void StartCurvePaletteMode(Survanto& survanto, std::int16_t item)
{
    StartMode(survanto, item);
    if (OpenCurvePalette(survanto)) return;
    SwitchOff(survanto, item);
    survanto.measuringMode = 0;
    survanto.pointStep = 0;
}

// The polygon buttons serve tools that collect a polygon; connecting serves the
// morph's point measuring.
void UpdatePolygonButtons(Survanto& survanto)
{
    const std::int32_t tool = survanto.currentTool;
    const bool finishable = CollectsPolygon(tool, IsOn(survanto, FirstOptionItem), IsOn(survanto, SecondOptionItem));
    const short palette = Survanto::MainPaletteDialogId;
    if (DG::IsItemEnabled(palette, FinishClosedPolygonItem) != finishable)
    {
        DG::EnableItem(palette, FinishClosedPolygonItem, finishable);
        DG::EnableItem(palette, FinishOpenPolygonItem, finishable);
    }
    const bool connectable = ConnectsPoints(tool, IsOn(survanto, MorphPointsItem));
    if (DG::IsItemEnabled(palette, ConnectItem) != connectable) DG::EnableItem(palette, ConnectItem, connectable);
}

// A polygon being finished keeps its points; any other change of mode drops them.
void ModeButtonChanged(Survanto& survanto, std::int16_t item)
{
    if (IsOn(survanto, item))
    {
        survanto.SelectMeasuringModeButton(item);
    }
    else
    {
        survanto.measuringMode = 0;
        survanto.pointStep = 0;
    }
    UpdatePolygonButtons(survanto);
    survanto.ShowMeasuringPrompt();
    if (!IsOn(survanto, FinishOpenPolygonItem) && !IsOn(survanto, FinishClosedPolygonItem))
    {
        survanto.actionPoints.Clear();
        survanto.UpdateMainPalette();
    }
}

// The option takes over the running mode and is remembered for the current tool,
// so that the tool change can choose it again.
void ChooseToolOption(Survanto& survanto, std::int16_t item)
{
    const auto option = static_cast<std::int16_t>(item - FirstOptionItem);
    const bool on = IsOn(survanto, item);
    survanto.toolOptions[static_cast<std::size_t>(option)] = static_cast<std::int16_t>(survanto.MainPaletteItemValue(item));
    const std::int32_t tool = survanto.currentTool;
    if (tool >= 0 && static_cast<std::size_t>(tool) < survanto.savedToolOptions.size())
        survanto.savedToolOptions[static_cast<std::size_t>(tool)] = on ? static_cast<std::int16_t>(option + 1) : 0;
    if (on)
        StartMode(survanto, item);
    else
        survanto.pointStep = 0;
    if (item <= ThirdOptionItem) survanto.UpdateAnchorPopup();
    survanto.ShowMeasuringPrompt();
}

// ---- Each item's own action on a change ------------------------------------

void StartModeAndPrompt(Survanto& survanto, std::int16_t item)
{
    StartMode(survanto, item);
    survanto.ShowMeasuringPrompt();
}

void MeasureReferenceHeight(Survanto& survanto, std::int16_t item)
{
    DG::EnableItem(Survanto::MainPaletteDialogId, ReferenceHeightItem);
    StartModeAndPrompt(survanto, item);
}

void PickPoints(Survanto& survanto, std::int16_t item)
{
    survanto.measuringMode = item;
    survanto.PickMeasuredPoints();
    survanto.pointStep = 1;
    survanto.ShowMeasuringPrompt();
}

void MorphFromMarkers(Survanto& survanto, std::int16_t item)
{
    StartModeAndPrompt(survanto, item);
    if (survanto.MainPaletteEntry(MorphKindItem) == MorphFromSelectedMarkers)
    {
        survanto.CreateMorphFromPoints(nullptr);
        survanto.pointStep = 0;
    }
}

// With the morph and polyline tools the first option measures in a sub-palette.
void FirstOption(Survanto& survanto, std::int16_t item)
{
    if (survanto.currentTool == API_MorphID)
    {
        SwitchOff(survanto, item);
        StartMode(survanto, item);
        OpenSubPalette(survanto, survanto.sectionPalette, CurvePaletteFlags);
    }
    else if (survanto.currentTool == API_PolyLineID)
    {
        StartCurvePaletteMode(survanto, item);
    }
    else
    {
        ChooseToolOption(survanto, item);
    }
}

void SecondOption(Survanto& survanto, std::int16_t item)
{
    if (Listed(survanto.currentTool, {API_MorphID, API_HatchID, API_SlabID}))
    {
        StartCurvePaletteMode(survanto, item);
        survanto.ShowMeasuringPrompt();
    }
    else if (survanto.currentTool == API_MeshID)
    {
        survanto.CreateMeshFromActivatedPoints(false);
        SwitchOff(survanto, item);
        survanto.ShowMeasuringPrompt();
    }
    else
    {
        ChooseToolOption(survanto, item);
    }
}

void ThirdOption(Survanto& survanto, std::int16_t item)
{
    if (survanto.currentTool == API_MorphID)
    {
        survanto.BuildMorphProfile();
        survanto.BuildMorphRail();
        survanto.CreateMorphAlongRail();
        SwitchOff(survanto, item);
        ChooseToolOption(survanto, item);
    }
    else if (survanto.currentTool == API_MeshID)
    {
        survanto.CreateMeshFromActivatedPoints(true);
        SwitchOff(survanto, item);
        survanto.ShowMeasuringPrompt();
    }
    else
    {
        ChooseToolOption(survanto, item);
    }
}

void FourthOption(Survanto& survanto, std::int16_t item)
{
    if (survanto.currentTool == API_BeamID)
    {
        survanto.FitBeamsBetweenTwoLines();
        SwitchOff(survanto, item);
        survanto.ShowMeasuringPrompt();
    }
    else
    {
        ChooseToolOption(survanto, item);
    }
}

// The next measured point starts a new polygon.
void FinishCollectedPolygon(Survanto& survanto, bool closed)
{
    survanto.polygonFinish = closed;
    survanto.FinishPolygon();
    survanto.pointStep = 1;
    survanto.ShowMeasuringPrompt();
}

void FinishOpenPolygon(Survanto& survanto, std::int16_t) { FinishCollectedPolygon(survanto, false); }
void FinishClosedPolygon(Survanto& survanto, std::int16_t) { FinishCollectedPolygon(survanto, true); }

// A push menu stays pressed once its entry was chosen.
void ChooseEntry(Survanto& survanto, std::int16_t item)
{
    survanto.UpdateMainPalette();
    survanto.SetMainPaletteItemValue(item, 1.0);
}

void PressMenu(Survanto& survanto, std::int16_t item) { survanto.SetMainPaletteItemValue(item, 1.0); }

void StartOpeningDetail(Survanto& survanto, std::int16_t item)
{
    survanto.UpdateMainPalette();
    StartMode(survanto, item);
    survanto.SetMainPaletteItemValue(item, 1.0);
}

void PhotoFolder(Survanto& survanto, std::int16_t)
{
    if (survanto.currentTool != API_ObjectID) return;
    if (IsPhotoToolboxItem()) ToggleSubPalette(survanto, survanto.photoFolderDialog, PhotoPaletteFlags);
    survanto.SyncPhotoFolderButton(false);
    survanto.SyncPhotoPreviewButton(false);
}

// The switch belongs to the current user and travels with the project.
void AutomaticPictures(Survanto& survanto, std::int16_t item)
{
    if (survanto.currentTool != API_ObjectID || !IsPhotoToolboxItem()) return;
    survanto.userData.GetCurrentUserData(measuringState, survanto).automaticPictures = survanto.MainPaletteItemValue(item) != 0.0;
}

void PhotoPreview(Survanto& survanto, std::int16_t)
{
    if (survanto.currentTool != API_ObjectID) return;
    if (IsPhotoToolboxItem())
    {
        PhotoPalette& preview = survanto.photoFolderDialog.photoPalette;
        if (ToggleSubPalette(survanto, preview, PhotoPaletteFlags)) preview.LoadPhoto();
    }
    survanto.SyncPhotoPreviewButton(false);
}

void RunPointListImport(Survanto& survanto, std::int16_t item)
{
    survanto.ImportPointList();
    SwitchOff(survanto, item);
}

void RunPointListExport(Survanto& survanto, std::int16_t item)
{
    survanto.ExportPointList();
    SwitchOff(survanto, item);
}

void OrthophotoImport(Survanto& survanto, std::int16_t)
{
    ToggleSubPalette(survanto, survanto.importPalette, ImportPaletteFlags);
    survanto.SyncImportPaletteButton(false);
}

void RunSettings(Survanto& survanto, std::int16_t item)
{
    survanto.RunSettingsDialog();
    SwitchOff(survanto, item);
}

void RunE57Import(Survanto& survanto, std::int16_t item)
{
    survanto.ImportE57File();
    SwitchOff(survanto, item);
}

using ItemAction = void (*)(Survanto& survanto, std::int16_t item);

struct OwnAction
{
    std::int16_t item;
    ItemAction action;
};

const OwnAction OwnActions[] = {
    {AlignInstrumentItem, StartModeAndPrompt},
    {TopElevationItem, StartModeAndPrompt},
    {BottomElevationItem, StartModeAndPrompt},
    {DistanceModeItem, StartModeAndPrompt},
    {AngleModeItem, StartModeAndPrompt},
    {AbsoluteZModeItem, StartModeAndPrompt},
    {RevealItem, StartModeAndPrompt},
    {WallThicknessItem, StartModeAndPrompt},
    {TrapezoidWallItem, StartModeAndPrompt},
    {FreeAreaHeightModeItem, StartModeAndPrompt},
    {WidthModeItem, StartModeAndPrompt},
    {DepthModeItem, StartModeAndPrompt},
    {RotationModeItem, StartModeAndPrompt},
    {PolygonWallItem, StartModeAndPrompt},
    {MorphPointsItem, StartModeAndPrompt},
    {BeamWidthItem, StartModeAndPrompt},
    {BeamHeightItem, StartModeAndPrompt},
    {MorphSidePlanesItem, StartModeAndPrompt},
    {CollectMorphPointsItem, StartModeAndPrompt},
    {ReferenceHeightModeItem, MeasureReferenceHeight},
    {PickPointsItem, PickPoints},
    {MorphFromMarkersItem, MorphFromMarkers},
    {FirstOptionItem, FirstOption},
    {SecondOptionItem, SecondOption},
    {ThirdOptionItem, ThirdOption},
    {FourthOptionItem, FourthOption},
    {FifthOptionItem, ChooseToolOption},
    {FinishOpenPolygonItem, FinishOpenPolygon},
    {FinishClosedPolygonItem, FinishClosedPolygon},
    {ConnectItem, FinishClosedPolygon},
    {OpeningSideItem, ChooseEntry},
    {RevealKindItem, ChooseEntry},
    {MeshKindItem, ChooseEntry},
    {AnchorItem, ChooseEntry},
    {RadiatorNicheItem, StartOpeningDetail},
    {WindowSillItem, StartOpeningDetail},
    {MorphKindItem, PressMenu},
    {PhotoFolderItem, PhotoFolder},
    {PhotoPreviewItem, PhotoPreview},
    {AutomaticPicturesItem, AutomaticPictures},
    {ImportPointListItem, RunPointListImport},
    {ExportPointListItem, RunPointListExport},
    {OrthophotoImportItem, OrthophotoImport},
    {E57ImportItem, RunE57Import},
    {SettingsItem, RunSettings},
};

void RunOwnAction(Survanto& survanto, std::int16_t item)
{
    for (const OwnAction& own : OwnActions)
        if (own.item == item)
        {
            own.action(survanto, item);
            return;
        }
}

// ---- Messages ---------------------------------------------------------------

// Opening resets the measuring session and remembers that the palette is open.
void PaletteOpened(Survanto& survanto, std::int16_t dialogId)
{
    survanto.ResetMeasuringSession();
    survanto.SetPaletteItemFonts();
    survanto.CaptureWindowState(dialogId, true, false);
    survanto.SavePreferences();
}

// The close box: the palette will not reopen at the next start.
std::int16_t PaletteClicked(Survanto& survanto, std::int16_t dialogId, std::int16_t item)
{
    switch (item)
    {
        case DG::CloseBox:
            survanto.CaptureWindowState(dialogId, false, false);
            survanto.SavePreferences();
            return -1;
        case ResetValuesItem:
            for (const std::int16_t valueItem : ValueItems) survanto.SetMainPaletteItemValue(valueItem, 0.0);
            break;
        case Shot3DItem: survanto.ShootPickedPoints(true); break;
        case Shot2DItem: survanto.ShootPickedPoints(false); break;
        default: break;
    }
    return 0;
}

void PaletteItemChanged(Survanto& survanto, std::int16_t item)
{
    if (Survanto::IsMeasuringModeButton(item)) ModeButtonChanged(survanto, item);
    RunOwnAction(survanto, item);
    survanto.UpdateMainPalette();
}

}  // namespace

bool Survanto::IsMeasuringModeButton(std::int16_t item)
{
    return std::find(MeasuringModeButtons.begin(), MeasuringModeButtons.end(), item) != MeasuringModeButtons.end();
}

void Survanto::SelectMeasuringModeButton(std::int16_t item)
{
    if (IsMeasuringModeButton(item))
        for (const std::int16_t button : MeasuringModeButtons) SetMainPaletteItemValue(button, button == item ? 1.0 : 0.0);
    ShowMeasuringPrompt();
}

void Survanto::SetPaletteItemFonts()
{
    if (GetOpenMode() == Closed) return;
    for (const std::int16_t item : LabelItems) DG::SetItemFont(GetDialogId(), item, LabelFont);
}

// Nothing is handled while a long operation of the add-on runs.
std::int16_t Survanto::DialogCallback(std::int16_t message, std::int16_t dialogId, std::int16_t item, std::intptr_t)
{
    if (busy) return 0;
    if (message == PollExchangeFileMessage) PollPointCabFile();
    if (message == DG::MsgChange && IsMeasuringModeButton(item)) EnsureStationMarker();
    if (dialogId != GetDialogId() && message != DG::MsgInit) return 0;
    switch (message)
    {
        case DG::MsgInit: PaletteOpened(*this, dialogId); break;
        case DG::MsgClose:
            CaptureWindowState(dialogId, false, true);
            SavePreferences();
            break;
        case DG::MsgResize: resizer.Resize(false); break;
        case DG::MsgClick: return PaletteClicked(*this, dialogId, item);
        case DG::MsgChange: PaletteItemChanged(*this, item); break;
        default: break;
    }
    return 0;
}
