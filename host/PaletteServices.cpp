// The palette registration and what scenarios can read of the add-on's dialogs.
#include <algorithm>
#include <sstream>

#include "DG/DG.hpp"
#include "DialogLists.hpp"
#include "Host.hpp"
#include "NumberText.hpp"
#include "PhotoVerbs.hpp"
#include "ServiceTable.hpp"

namespace SimHost
{

namespace
{

// A palette registered again replaces its earlier registration.
GSErrCode RegisterPalette(HostToken token, std::int16_t dialogId, APIPaletteControlProc callback, std::int32_t flags,
                          const GS::Guid& guid)
{
    Host& host = Host::From(token);
    if (callback == nullptr) return APIERR_BADPARS;
    host.Log("HostRegisterPalette " + std::to_string(dialogId) + " " + std::to_string(flags));
    auto& palettes = host.palettes_;
    palettes.erase(std::remove_if(palettes.begin(), palettes.end(),
                                  [dialogId](const PaletteRegistration& p) { return p.dialogId == dialogId; }),
                   palettes.end());
    palettes.push_back({dialogId, callback, flags, guid});
    return NoError;
}

GSErrCode UnregisterPalette(HostToken token, std::int16_t dialogId)
{
    Host& host = Host::From(token);
    host.Log("HostUnregisterPalette " + std::to_string(dialogId));
    auto& palettes = host.palettes_;
    const auto known = std::find_if(palettes.begin(), palettes.end(),
                                    [dialogId](const PaletteRegistration& p) { return p.dialogId == dialogId; });
    if (known == palettes.end()) return APIERR_BADID;
    palettes.erase(known);
    return NoError;
}

std::string EntryIcons(const DG::Item& item)
{
    std::string icons;
    for (const short icon : item.entryIcons) icons += (icons.empty() ? "" : " ") + std::to_string(icon);
    return icons;
}

std::optional<std::string> ItemField(const DG::Dialog& dialog, const DG::Item& item, const std::string& field)
{
    const short id = dialog.resourceId;
    if (field == "value") return NumberText(item.value, 6, NearZero::AsIs);
    if (field == "text") return item.text.ToUtf8();
    if (field == "enabled") return std::string(item.enabled ? "yes" : "no");
    if (field == "visible") return std::string(item.visible ? "yes" : "no");
    if (field == "icon") return std::to_string(item.icon);
    if (field == "tooltip") return DG::GetItemTooltip(id, item.id).ToUtf8();
    if (field == "help") return std::to_string(item.helpIndex);
    if (field == "entry") return std::to_string(item.selected);
    if (field == "entries") return EntryIcons(item);
    if (field == "font") return std::to_string(item.font);
    if (field == "bounds")
        return NumberText(item.minValue, 6, NearZero::AsIs) + " " + NumberText(item.maxValue, 6, NearZero::AsIs);
    if (field == "rect")
        return std::to_string(item.left) + "," + std::to_string(item.top) + " " + std::to_string(item.width) + "x" +
               std::to_string(item.height);
    return std::nullopt;
}

std::string DialogPlace(const DG::Dialog& dialog)
{
    std::string state = dialog.open ? "open" : "closed";
    if (dialog.hidden) state += " hidden";
    if (dialog.docked) state += " docked";
    return state + " at " + std::to_string(dialog.position.x) + "," + std::to_string(dialog.position.y) + " size " +
           std::to_string(dialog.size.width) + "x" + std::to_string(dialog.size.height);
}

}  // namespace

void FillPaletteServices(HostServiceTable& table)
{
    SIMHOST_SET_SERVICE(table, HostRegisterPalette, RegisterPalette);
    SIMHOST_SET_SERVICE(table, HostUnregisterPalette, UnregisterPalette);
}

void AddPaletteFacts(const Host& host, Facts& facts)
{
    std::string palettes;
    for (const PaletteRegistration& p : host.palettes_)
        palettes += (palettes.empty() ? "" : " ") + std::to_string(p.dialogId) + "/" + std::to_string(p.flags) + "/" +
                    p.guid.ToText(true);
    facts["palettes"] = palettes;
}

// "item <dialog> <item> <field>" (value, text, enabled, visible, icon, tooltip,
// help, entry, entries, font, bounds, rect as "left,top widthxheight") and
// "dialog <id>" (open or closed, place and size).
std::optional<std::string> DialogFact(const std::string& name)
{
    if (std::optional<std::string> fact = ListFact(name)) return fact;
    if (std::optional<std::string> fact = ListViewFact(name)) return fact;
    std::istringstream words(name);
    std::string kind, field, rest;
    short dialogId = 0, itemId = 0;
    if (!(words >> kind >> dialogId) || (kind != "item" && kind != "dialog")) return std::nullopt;
    if (kind == "item" && !(words >> itemId >> field)) return std::nullopt;
    if (words >> rest) return std::nullopt;
    DG::Dialog* dialog = DG::GetDialog(dialogId);
    if (dialog == nullptr) return "<no dialog " + std::to_string(dialogId) + ">";
    if (kind == "dialog") return DialogPlace(*dialog);
    const DG::Item* item = dialog->FindItem(itemId);
    if (item == nullptr) return "<no item " + std::to_string(itemId) + " on dialog " + std::to_string(dialogId) + ">";
    return ItemField(*dialog, *item, field);
}

}  // namespace SimHost
