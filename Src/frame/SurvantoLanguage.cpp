#include <cstdint>
#include <string>

#include "API/AddOnInterface.hpp"
#include "RS/ResourceModule.hpp"
#include "frame/Survanto.hpp"
#include "frame/UInterface.hpp"
#include "framework/SystemUtilities.hpp"
#include "measuring/MeasuringState.hpp"

namespace
{

constexpr std::int16_t MenuTextList = 32530;
constexpr std::int16_t DebugPaletteMenu = 32501;
constexpr std::size_t MenuTextBuffer = 200;
constexpr const char* GdlExtensionName = "Survanto.gdx";

struct MenuText
{
    std::int16_t menu;
    std::int16_t entry;
};

// In this order; the debug palette's only in debug mode, where it is registered.
constexpr MenuText MenuTexts[] = {{32500, 1}, {32503, 3}, {32505, 5}, {32508, 6}, {32509, 7}, {32506, 8}, {DebugPaletteMenu, 2}};

// Cut to the buffer the texts are read into, whole characters only.
std::string FittedMenuText(const GS::UniString& text)
{
    std::string utf8 = text.ToUtf8();
    if (utf8.size() < MenuTextBuffer) return utf8;
    utf8.resize(MenuTextBuffer - 1);
    while (!utf8.empty() && (static_cast<unsigned char>(utf8.back()) & 0xC0) == 0x80) utf8.pop_back();
    if (!utf8.empty() && (static_cast<unsigned char>(utf8.back()) & 0x80) != 0) utf8.pop_back();
    return utf8;
}

}  // namespace

GSErrCode SetMenuItemText(std::int16_t menu, std::int32_t item, const std::string& text)
{
    API_MenuItemRef reference;
    reference.menuResID = menu;
    reference.itemIndex = item;
    return HostInterfaceRequest(FourCC("SMIT"), &reference, const_cast<char*>(text.c_str()));
}

// A language that does not exist changes nothing: it would be stored and written back.
void Survanto::SetLanguage(std::int32_t newLanguage)
{
    if (newLanguage < 0 || newLanguage > 2) return;
    language = newLanguage;
    ApplyLanguageResources();
    SetGdlExtensionLanguage(language);
    for (const MenuText& menuText : MenuTexts)
    {
        if (menuText.menu == DebugPaletteMenu && measuringState.debugMode == 0) continue;
        const GS::UniString text = RS::GetIndString(MenuTextList, menuText.entry, CurrentResourceModule());
        SetMenuItemText(menuText.menu, 1, FittedMenuText(text));
    }
}

void Survanto::SetGdlExtensionLanguage(std::int32_t newLanguage)
{
    IO::Location extension = HostGetOwnLocation();
    extension.SetLastLocalName(GdlExtensionName);
    const DynamicLibrary library = LoadDynamicLibrary(extension.ToPath().c_str());
    if (library == nullptr) return;
    using SetLanguageCodeFn = void (*)(std::uint16_t);
    if (const LibraryFunction function = GetLibraryFunction(library, "SetLanguageCode"))
        reinterpret_cast<SetLanguageCodeFn>(function)(static_cast<std::uint16_t>(newLanguage + 1));
    FreeDynamicLibrary(library);
}
