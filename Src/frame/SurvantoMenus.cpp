#include "API/AddOnInterface.hpp"
#include "frame/Survanto.hpp"

// The add-on's menu commands.

namespace {

constexpr std::int16_t MainPaletteMenu = 32500;
constexpr std::int32_t MainPalettePaletteFlags = 503;
constexpr std::int16_t NavigatorMenu = 32520;
constexpr std::int32_t NavigatorPaletteFlags = 5;

}  // namespace

void Survanto::HandleMenuCommand(const API_MenuParams& params)
{
    if (params.menuResID == MainPaletteMenu && params.itemIndex == 1) ToggleMainPalette();
    if (params.menuResID == NavigatorMenu && params.itemIndex == 1) ToggleNavigatorPalette();
}

void Survanto::ToggleNavigatorPalette()
{
    if (navigatorPalette.GetOpenMode() != Closed) {
        navigatorPalette.Close();
        return;
    }
    navigatorPalette.SetResourceModules(CurrentResourceModule(), resourceModules[0]);
    navigatorPalette.OpenPalette(NavigatorPaletteFlags);
}

// The palette takes its texts from the current language and its icons from the
// add-on's own file.
void Survanto::ToggleMainPalette()
{
    if (GetOpenMode() != Closed) {
        Close();
        return;
    }
    SetResourceModules(CurrentResourceModule(), resourceModules[0]);
    OpenPalette(MainPalettePaletteFlags);
    UpdateMainPalette();
}
