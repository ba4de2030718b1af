#include "API/AddOnInterface.hpp"
#include "frame/Survanto.hpp"

// The add-on's menu commands.

namespace {

constexpr std::int16_t MainPaletteMenu = 32500;

}  // namespace

void Survanto::HandleMenuCommand(const API_MenuParams& params)
{
    if (params.menuResID == MainPaletteMenu && params.itemIndex == 1) ToggleMainPalette();
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
    OpenPalette(MainPaletteFlags);
    UpdateMainPalette();
}
