#include "curves/Curve3DPalette.hpp"

#include "DG/DG.hpp"
#include "RS/ResourceModule.hpp"
#include "curves/CurvePaletteRules.hpp"
#include "curves/CurvePlanes.hpp"
#include "frame/AddOnGlobals.hpp"
#include "frame/PaletteGuids.hpp"
#include "frame/Survanto.hpp"
#include "frame/UInterface.hpp"
#include "measuring/MainPaletteItems.hpp"

// The palette's dialog side: its messages, the set-up for the current tool, and
// the refresh of items and prompt from the rules of CurvePaletteRules.

namespace
{

constexpr std::int16_t LastItem = 19;
constexpr std::int32_t CloseOtherCurvePaletteText = 113;
constexpr std::int16_t CloseBox = -1;

// Choosing a method puts the tooltips of its meaning on the step buttons (help
// index 1 the planes, 2 the segments, 3 the spline and the three-point arc).
struct MethodHelp
{
    std::int16_t method;
    std::int16_t item;
    std::int16_t index;
};

constexpr MethodHelp MethodHelps[] = {
    {Curve3DPalette::EndPointMethodItem, Curve3DPalette::FirstStepItem, 2},
    {Curve3DPalette::EndPointMethodItem, Curve3DPalette::SecondStepItem, 2},
    {Curve3DPalette::EndPointMethodItem, Curve3DPalette::ThirdStepItem, 2},
    {Curve3DPalette::TwoPointMethodItem, Curve3DPalette::FirstStepItem, 2},
    {Curve3DPalette::TwoPointMethodItem, Curve3DPalette::SecondStepItem, 3},
    {Curve3DPalette::SplineMethodItem, Curve3DPalette::FirstStepItem, 3},
    {Curve3DPalette::PlaneMethodItem, Curve3DPalette::FirstStepItem, 1},
    {Curve3DPalette::PlaneMethodItem, Curve3DPalette::SecondStepItem, 1},
    {Curve3DPalette::PlaneMethodItem, Curve3DPalette::ThirdStepItem, 1},
    {Curve3DPalette::CeilingMethodItem, Curve3DPalette::CeilingMethodItem, 1},
};

bool IsPlanTool(std::int32_t tool)
{
    return tool == API_WallID || tool == API_PolyLineID || tool == API_HatchID || tool == API_SlabID;
}

bool ItemIsOn(std::int16_t item) { return DG::GetItemValue(Curve3DPalette::DialogId, item) != 0.0; }

bool HasValueByRule(std::int16_t item)
{
    return item == Curve3DPalette::OpenItem || item == Curve3DPalette::ClosedItem ||
           (item >= Curve3DPalette::EndPointMethodItem && item <= Curve3DPalette::PlaneMethodItem) ||
           (item >= Curve3DPalette::FirstStepItem && item <= Curve3DPalette::FourthStepItem) ||
           item == Curve3DPalette::CeilingMethodItem;
}

}  // namespace

Curve3DPalette::Curve3DPalette()
{
    SetDialogId(DialogId);
    SetPaletteGuid(curve3DPaletteGuid);
}

bool Curve3DPalette::IsOpen() const { return GetOpenMode() != Closed; }

bool Curve3DPalette::TellWhenOpen(const Curve3DPalette& other)
{
    if (!other.IsOpen()) return false;
    ShowAlert(AlertWarning, AlertStringListId, AlertWarningTitle, CloseOtherCurvePaletteText, NoAlertText, AlertOkButton,
              NoAlertText, NoAlertText, CurrentResourceModule(), AlertStringType);
    return true;
}

std::int16_t Curve3DPalette::DialogCallback(std::int16_t message, std::int16_t dialogId, std::int16_t item, std::intptr_t)
{
    if (message == DG::MsgInit)
    {
        SetUpForTool();
        return 0;
    }
    if (dialogId != DialogId) return 0;
    switch (message)
    {
        case DG::MsgClose:
            // The main palette's option button that shows this palette goes off.
            if (Survanto* survanto = theSurvanto.load()) survanto->SyncCurvePaletteButton(true);
            return 0;
        case DG::MsgResize:
            if (!DG::IsPaletteDocked(GetPaletteGuid())) resizer.Resize(false);
            return 0;
        case DG::MsgChange: ChangeItem(item); return 0;
        case DG::MsgClick: break;
        default: return 0;
    }
    std::int16_t result = 0;
    switch (item)
    {
        case CreateItem:
            FinishAndCreate();
            result = CreateItem;
            break;
        case CancelItem:
            curveMode = 0;
            curveStep = 0;
            result = CancelItem;
            break;
        case CloseBox: result = CloseBox; break;
        default: break;
    }
    if (Survanto* survanto = theSurvanto.load()) survanto->UpdateMainPalette();
    return result;
}

// Choosing a method starts it afresh; choosing a step changes the next segment's
// kind. Either drops a half-measured segment or plane, and keeps the vertices.
void Curve3DPalette::ChangeItem(std::int16_t item)
{
    switch (item)
    {
        case Dimension2DItem:
        case Dimension3DItem: SetUpForTool(); break;
        case OpenItem:
        case ClosedItem: polygonClosure = item; break;
        case EndPointMethodItem:
        case TwoPointMethodItem:
        case SplineMethodItem:
            curveMode = item;
            curveStep = FirstStepItem;
            ClearCurve();
            break;
        case PlaneMethodItem:
            curveMode = item;
            curveStep = 0;
            ClearCurve();
            break;
        case CeilingMethodItem:
            curveMode = item;
            curveStep = 0;
            break;
        case FirstStepItem:
        case SecondStepItem:
        case FourthStepItem: curveStep = item; break;
        case ThirdStepItem:
            curveStep = item;
            if (curveMode == EndPointMethodItem) arcPointCount = 1;
            break;
        default: break;
    }
    for (const MethodHelp& help : MethodHelps)
        if (help.method == item) DG::SetItemHelpIndex(DialogId, help.item, help.index);
    // Emptied before the refresh, so that the prompt asks for the first point again.
    planePoints.Clear();
    segmentPoints.Clear();
    UpdateItems();
}

void Curve3DPalette::FinishAndCreate()
{
    const bool closed = polygonClosure == ClosedItem;
    if (curveMode == EndPointMethodItem && closed) CloseEndPointPolygon();
    if (curveMode == TwoPointMethodItem && closed) CloseTwoPointSegmentPolygon();
    if (curveMode == SplineMethodItem) RebuildSplineCurve();
    CreateElements();
}

// Walls, polylines, fills and slabs lie in the horizontal plane through the
// project origin; a morph rail is 3D or lies in a plane measured first, and a
// profile lies in a plane measured first.
void Curve3DPalette::SetUpForTool()
{
    // The profile's palette is opened by the profile palette, not by a tool change:
    // its first set-up must know the tool as well.
    if (const Survanto* survanto = theSurvanto.load()) toolType = survanto->currentTool;
    curveMode = 0;
    ClearCurve();
    plane = Curves::HorizontalPlane(defaultPlaneOrigin);
    if (IsPlanTool(toolType))
    {
        curveDimension = Dimension2DItem;
        DG::SetItemValue(DialogId, Dimension2DItem, 1.0);
        planeDefined = true;
    }
    else if (toolType == API_MorphID)
    {
        curveDimension = ItemIsOn(Dimension2DItem) ? Dimension2DItem : ItemIsOn(Dimension3DItem) ? Dimension3DItem : 0;
        if (sectionMode)
        {
            curveDimension = Dimension2DItem;
            DG::SetItemValue(DialogId, Dimension2DItem, 1.0);
            curveMode = PlaneMethodItem;
            if (curveStep != 0) DG::SetItemValue(DialogId, curveStep, 1.0);
        }
        planeDefined = false;
    }
    // "Erstellen" and "Abbrechen" keep to the palette's bottom edge.
    resizer.ClearItems();
    resizer.Attach(DialogId);
    resizer.AddItem(DialogId, CreateItem, 0.0, 1.0, 0.0, 0.0);
    resizer.AddItem(DialogId, CancelItem, 0.0, 1.0, 0.0, 0.0);
    UpdateItems();
    ShowPrompt();
}

CurvePaletteState Curve3DPalette::CurrentState() const
{
    const Survanto* survanto = theSurvanto.load();
    CurvePaletteState state;
    state.tool = toolType;
    state.mainPaletteOpen = DG::IsOpen(Survanto::MainPaletteDialogId);
    using MainPaletteItems::FirstOptionItem;
    using MainPaletteItems::SecondOptionItem;
    state.mainFirstOption = survanto != nullptr && survanto->MainPaletteItemValue(FirstOptionItem) != 0.0;
    state.mainSecondOption = survanto != nullptr && survanto->MainPaletteItemValue(SecondOptionItem) != 0.0;
    state.sectionMode = sectionMode;
    state.curveDimension = curveDimension;
    state.polygonClosure = polygonClosure;
    state.planeDefined = planeDefined;
    state.curveMode = curveMode;
    state.curveStep = curveStep;
    state.vertexCount = curve.points.GetSize();
    state.arcPointCount = arcPointCount;
    state.planePointCount = planePoints.GetSize();
    state.segmentPointCount = segmentPoints.GetSize();
    return state;
}

void Curve3DPalette::UpdateItems()
{
    if (!IsOpen()) return;
    if (const Survanto* survanto = theSurvanto.load()) toolType = survanto->currentTool;
    const CurvePaletteView view = DescribeCurvePalette(CurrentState());
    polygonClosure = view.polygonClosure;
    for (std::int16_t item = 1; item <= LastItem; ++item)
    {
        const auto index = static_cast<std::size_t>(item);
        if (DG::IsItemVisible(DialogId, item) != view.shown[index]) DG::ShowItem(DialogId, item, view.shown[index]);
        DG::EnableItem(DialogId, item, view.enabled[index]);
        if (view.icons[index] != 0) SetDialogItemIcon(DialogId, item, view.icons[index]);
    }
    for (std::int16_t item = 1; item <= LastItem; ++item)
        if (HasValueByRule(item)) DG::SetItemValue(DialogId, item, view.pressed[static_cast<std::size_t>(item)] ? 1.0 : 0.0);
    ShowPrompt();
}

void Curve3DPalette::ShowPrompt()
{
    const std::int16_t index = DescribeCurvePalette(CurrentState()).promptIndex;
    DG::SetItemText(DialogId, PromptItem, RS::GetIndString(PromptListId, index, CurrentResourceModule()));
}

void Curve3DPalette::ClearCurve()
{
    curve.arcs.Clear();
    curve.points.Clear();
    curve.tangents.Clear();
    splinePoints.Clear();
    shownPolylines.Clear();
    ceilingPoints.Clear();
}
