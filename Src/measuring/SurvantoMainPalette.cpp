#include <algorithm>
#include <array>
#include <initializer_list>

#include "API/AddOnInterface.hpp"
#include "DG/DG.hpp"
#include "frame/Survanto.hpp"

// The main palette's callback: a mode button chooses what the next measured
// points mean; the option buttons 14 to 18 do so per tool and are remembered
// for the tool.

namespace {

constexpr std::array<std::int16_t, 26> MeasuringModeButtons {1,  40, 3,  4,  5,  6,  7,  14, 15, 16, 17, 18, 23,
                                                             24, 22, 41, 44, 45, 46, 47, 53, 56, 71, 72, 61, 62};

enum PaletteItem : std::int16_t {
    FirstOptionItem = 14,
    SecondOptionItem = 15,
    LastOptionItem = 18,
    FinishOpenPolygonItem = 19,
    FinishClosedPolygonItem = 20,
    ReferenceHeightItem = 32,
    ReferenceHeightModeItem = 40,
    RadiatorNicheItem = 53,
    WindowSillItem = 56,
    MorphPointsItem = 61,
    MorphFromMarkersItem = 62,
    MorphKindItem = 76,
    ConnectItem = 78,
};

constexpr std::int32_t MorphFromSelectedMarkers = 1;

bool Listed(std::int32_t value, std::initializer_list<std::int32_t> values)
{
    return std::find(values.begin(), values.end(), value) != values.end();
}

bool IsOn(const Survanto& survanto, std::int16_t item) { return survanto.MainPaletteItemValue(item) == 1.0; }

bool IsOptionItem(std::int16_t item) { return item >= FirstOptionItem && item <= LastOptionItem; }

// Combinations where an option button opens a sub-palette or runs a command of
// its tool instead of choosing the tool's option.
bool IsToolCommand(std::int16_t item, std::int32_t tool)
{
    switch (item) {
        case 14: return Listed(tool, {API_MorphID, API_PolyLineID});
        case 15: return Listed(tool, {API_MorphID, API_HatchID, API_SlabID, API_MeshID});
        case 16: return Listed(tool, {API_MorphID, API_MeshID});
        case 17: return tool == API_BeamID;
        default: return false;
    }
}

void StartMode(Survanto& survanto, std::int16_t item)
{
    survanto.measuringMode = item;
    survanto.pointStep = 1;
}

// The polygon buttons serve tools that collect a polygon; connecting serves the
// morph's point measuring.
void UpdatePolygonButtons(Survanto& survanto)
{
    const std::int32_t tool = survanto.currentTool;
    const bool finishable =
        (Listed(tool, {API_WallID, API_BeamID}) && IsOn(survanto, SecondOptionItem)) ||
        (Listed(tool, {API_MeshID, API_SlabID, API_HatchID, API_SplineID}) && IsOn(survanto, FirstOptionItem));
    const short palette = Survanto::MainPaletteDialogId;
    if (DG::IsItemEnabled(palette, FinishClosedPolygonItem) != finishable) {
        DG::EnableItem(palette, FinishClosedPolygonItem, finishable);
        DG::EnableItem(palette, FinishOpenPolygonItem, finishable);
    }
    const bool connectable = tool == API_MorphID && IsOn(survanto, MorphPointsItem);
    if (DG::IsItemEnabled(palette, ConnectItem) != connectable) DG::EnableItem(palette, ConnectItem, connectable);
}

// A polygon being finished keeps its points; any other change of mode drops them.
void ModeButtonChanged(Survanto& survanto, std::int16_t item)
{
    if (IsOn(survanto, item)) {
        survanto.SelectMeasuringModeButton(item);
    } else {
        survanto.measuringMode = 0;
        survanto.pointStep = 0;
    }
    UpdatePolygonButtons(survanto);
    survanto.ShowMeasuringPrompt();
    if (!IsOn(survanto, FinishOpenPolygonItem) && !IsOn(survanto, FinishClosedPolygonItem)) {
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
    survanto.toolOptions[static_cast<std::size_t>(option)] =
        static_cast<std::int16_t>(survanto.MainPaletteItemValue(item));
    const std::int32_t tool = survanto.currentTool;
    if (tool >= 0 && static_cast<std::size_t>(tool) < survanto.savedToolOptions.size())
        survanto.savedToolOptions[static_cast<std::size_t>(tool)] = on ? static_cast<std::int16_t>(option + 1) : 0;
    if (on)
        StartMode(survanto, item);
    else
        survanto.pointStep = 0;
    survanto.ShowMeasuringPrompt();
}

// With the morph, polyline, fill and slab tools the first or second option button
// starts the points of the tool's sub-palette rather than choosing an option.
void StartSubPaletteMode(Survanto& survanto, std::int16_t item)
{
    const std::int32_t tool = survanto.currentTool;
    if (item == FirstOptionItem && tool == API_MorphID) {
        survanto.SetMainPaletteItemValue(item, 0.0);
        StartMode(survanto, item);
    } else if (item == FirstOptionItem && tool == API_PolyLineID) {
        StartMode(survanto, item);
    } else if (item == SecondOptionItem && Listed(tool, {API_MorphID, API_HatchID, API_SlabID})) {
        StartMode(survanto, item);
        survanto.ShowMeasuringPrompt();
    }
}

void ModeButtonAction(Survanto& survanto, std::int16_t item)
{
    if (Listed(item, {1, 3, 4, 5, 6, 7, 22, 23, 24, 41, 44, 45, 46, 47, 61, 71, 72, 75, 77})) {
        StartMode(survanto, item);
        survanto.ShowMeasuringPrompt();
        return;
    }
    switch (item) {
        case ReferenceHeightModeItem:
            DG::EnableItem(Survanto::MainPaletteDialogId, ReferenceHeightItem);
            StartMode(survanto, item);
            survanto.ShowMeasuringPrompt();
            break;
        case MorphFromMarkersItem:
            StartMode(survanto, item);
            survanto.ShowMeasuringPrompt();
            if (static_cast<std::int32_t>(survanto.MainPaletteItemValue(MorphKindItem)) == MorphFromSelectedMarkers) {
                survanto.CreateMorphFromPoints(nullptr);
                survanto.pointStep = 0;
            }
            break;
        case RadiatorNicheItem:
        case WindowSillItem:
            survanto.UpdateMainPalette();
            StartMode(survanto, item);
            survanto.SetMainPaletteItemValue(item, 1.0);
            break;
        default:
            if (!IsOptionItem(item)) break;
            if (IsToolCommand(item, survanto.currentTool))
                StartSubPaletteMode(survanto, item);
            else
                ChooseToolOption(survanto, item);
            break;
    }
}

}  // namespace

bool Survanto::IsMeasuringModeButton(std::int16_t item)
{
    return std::find(MeasuringModeButtons.begin(), MeasuringModeButtons.end(), item) != MeasuringModeButtons.end();
}

void Survanto::SelectMeasuringModeButton(std::int16_t item)
{
    if (IsMeasuringModeButton(item))
        for (const std::int16_t button : MeasuringModeButtons)
            SetMainPaletteItemValue(button, button == item ? 1.0 : 0.0);
    ShowMeasuringPrompt();
}

// Nothing is handled while a long operation of the add-on runs.
std::int16_t Survanto::DialogCallback(std::int16_t message, std::int16_t dialogId, std::int16_t item, std::intptr_t)
{
    if (busy) return 0;
    if (dialogId != GetDialogId() && message != DG::MsgInit) return 0;
    if (message == DG::MsgChange) {
        if (IsMeasuringModeButton(item)) ModeButtonChanged(*this, item);
        ModeButtonAction(*this, item);
        UpdateMainPalette();
    }
    return 0;
}
