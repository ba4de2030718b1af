#include <algorithm>
#include <initializer_list>

#include "API/AddOnInterface.hpp"
#include "DG/DG.hpp"
#include "frame/Survanto.hpp"
#include "measuring/MainPaletteItems.hpp"
#include "measuring/MeasuringState.hpp"

namespace
{

using namespace MainPaletteItems;

constexpr std::int16_t OptionCount = 5;
constexpr std::int32_t WindowVariationWithoutOptions = FourCC("WAEN");
constexpr std::int32_t PhotoSubtype = FourCC("SVPH");

bool Listed(std::int32_t tool, std::initializer_list<std::int32_t> tools)
{
    return std::find(tools.begin(), tools.end(), tool) != tools.end();
}

// Which of the option items the tool knows.
bool OptionEnabled(std::int16_t item, std::int32_t tool, std::int32_t variation)
{
    switch (item)
    {
        case FirstOptionItem:
            if (tool == API_WindowID && variation == WindowVariationWithoutOptions) return false;
            return Listed(tool, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 13, 18, 19, 20, 21, 23, 24, 43, 45});
        case SecondOptionItem:
            if (tool == API_ObjectID && variation == PhotoSubtype) return false;
            return Listed(tool, {1, 2, 3, 4, 5, 6, 7, 8, 10, 18, 21, 43, 45});
        case ThirdOptionItem: return Listed(tool, {1, 2, 3, 10, 43, 45});
        case FourthOptionItem: return Listed(tool, {1, 2, 3, 43});
        case FifthOptionItem: return Listed(tool, {1, 2, 43});
        default: return false;
    }
}

}  // namespace

// Element types outside the table have no remembered option.
std::int16_t Survanto::SavedToolOptionOf(std::int32_t elementType) const
{
    if (elementType < 0 || static_cast<std::size_t>(elementType) >= savedToolOptions.size()) return 0;
    return savedToolOptions[static_cast<std::size_t>(elementType)];
}

void Survanto::OnToolChanged(std::int32_t elementType, std::int32_t variation)
{
    if (busy || (instrumentBumped && measuringState.stationMode == 1)) return;
    currentTool = elementType;

    DG::GetDialog(MainPaletteDialogId, resourceModules[0]);
    for (std::int16_t item = FirstOptionItem; item < FirstOptionItem + OptionCount; ++item)
        DG::EnableItem(MainPaletteDialogId, item, OptionEnabled(item, currentTool, variation));

    // Switching the remembered option on as the user would restarts its mode.
    const std::int16_t remembered = SavedToolOptionOf(currentTool);
    for (std::int16_t option = 1; option <= OptionCount; ++option)
    {
        const auto item = static_cast<std::int16_t>(FirstOptionItem - 1 + option);
        if (remembered == option)
        {
            SetMainPaletteItemValue(item, 1.0);
            DialogCallback(DG::MsgChange, MainPaletteDialogId, item, 1);
        }
        else
        {
            SetMainPaletteItemValue(item, 0.0);
        }
    }

    curvePalette.toolType = currentTool;
    curvePalette.SetUpForTool();
    UpdateMainPalette();
    ShowMeasuringPrompt();
}
