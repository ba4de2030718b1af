#include "PaletteVerbs.hpp"

#include <algorithm>
#include <iomanip>
#include <sstream>

#include "DG/DG.hpp"
#include "NumberText.hpp"
#include "ProjectFile.hpp"

namespace SimHost
{

namespace
{

ScenarioVerb WithHost(std::function<bool(Scenario&, Host&, std::istringstream&)> body)
{
    return [body](Scenario& scenario, std::istringstream& args) {
        Host* host = scenario.GetHost();
        return host != nullptr ? body(scenario, *host, args) : scenario.Fail("this action needs a started host");
    };
}

bool IsRegistered(const Host& host, std::int16_t menu)
{
    return std::any_of(host.menus_.begin(), host.menus_.end(), [menu](const MenuRegistration& r) { return r.menuList == menu; });
}

APIMenuCommandProc MenuHandler(const Host& host, std::int16_t menu)
{
    for (const auto& [handled, handler] : host.menuHandlers_)
        if (handled == menu) return handler;
    return nullptr;
}

// The item a user's hand can reach: on an open dialog, shown and enabled.
const DG::Item* ReachableItem(Scenario& s, short dialog, short item)
{
    if (const std::string why = WhyDialogIsNotOpen(dialog); !why.empty())
    {
        s.Fail(why + ": item " + std::to_string(item) + " cannot be reached");
        return nullptr;
    }
    const DG::Item* found = DG::GetDialog(dialog)->FindItem(item);
    if (found == nullptr)
    {
        s.Fail("no item " + std::to_string(item) + " on dialog " + std::to_string(dialog));
        return nullptr;
    }
    if (!found->visible)
    {
        s.Fail("item " + std::to_string(item) + " is hidden");
        return nullptr;
    }
    if (!found->enabled)
    {
        s.Fail("item " + std::to_string(item) + " is disabled");
        return nullptr;
    }
    return found;
}

const PaletteRegistration* FindPalette(const Host& host, short dialog)
{
    for (const PaletteRegistration& p : host.palettes_)
        if (p.dialogId == dialog) return &p;
    return nullptr;
}

std::int32_t ControlCode(const std::string& word)
{
    const char* const words[] = {"close", "hide", "show", "disable", "enable"};
    for (std::int32_t code = 1; code <= 5; ++code)
        if (word == words[code - 1]) return code;
    return 0;
}

std::string Quoted(const GS::UniString& text) { return "\"" + text.ToUtf8() + "\""; }

std::string ItemState(const DG::Item& item)
{
    std::string state = item.enabled ? "on" : "off";
    if (!item.visible) state += ",hidden";
    return state;
}

// One line per item: id, type, value (a push menu's entry and icons behind it),
// state, icon, help index, tooltip and text.
void PrintDialog(std::ostream& out, DG::Dialog& dialog)
{
    out << "dialog " << dialog.resourceId << " " << dialog.kind << " " << Quoted(dialog.title) << ": "
        << (dialog.open ? "open" : "closed") << (dialog.hidden ? ", hidden" : "") << (dialog.docked ? ", docked" : "") << ", at "
        << dialog.position.x << "," << dialog.position.y << ", size " << dialog.size.width << "x" << dialog.size.height << "\n";
    out << "item  type      value          state       icon   help  tooltip / text\n";
    for (const DG::Item& item : dialog.items)
    {
        std::string value = NumberText(item.value, 6, NearZero::AsIs);
        if (item.type == "pushmenu")
        {
            value += " [" + std::to_string(item.selected) + ":";
            for (const short icon : item.entryIcons) value += " " + std::to_string(icon);
            value += "]";
        }
        std::ostringstream line;
        line << std::left << std::setw(6) << item.id << std::setw(10) << item.type << std::setw(15) << value << std::setw(12)
             << ItemState(item) << std::setw(7) << (item.icon != 0 ? std::to_string(item.icon) : "-") << std::setw(6)
             << item.helpIndex << Quoted(DG::GetItemTooltip(dialog.resourceId, item.id)) << " / " << Quoted(item.text);
        out << line.str() << "\n";
    }
}

}  // namespace

std::string WhyDialogIsNotOpen(short dialog)
{
    if (DG::IsOpen(dialog)) return {};
    const DG::Dialog* known = DG::GetDialog(dialog);
    if (known == nullptr) return "there is no dialog " + std::to_string(dialog);
    return (known->kind == "palette" ? "palette " : "dialog ") + std::to_string(dialog) + " is closed";
}

void AddPaletteVerbs(ScenarioVerbs& verbs)
{
    verbs["menu"] = WithHost([](Scenario& s, Host& host, std::istringstream& args) {
        API_MenuParams params;
        params.itemIndex = 1;
        if (!(args >> params.menuResID)) return s.Fail("menu <menu id> [item]");
        if (!Scenario::OptionalNumber(args, params.itemIndex)) return s.Fail("menu <menu id> [item]");
        if (!IsRegistered(host, params.menuResID))
            return s.Fail("the add-on registered no menu " + std::to_string(params.menuResID));
        const APIMenuCommandProc handler = MenuHandler(host, params.menuResID);
        if (handler == nullptr) return s.Fail("no handler for menu " + std::to_string(params.menuResID));
        host.Log("menu " + std::to_string(params.menuResID) + " " + std::to_string(params.itemIndex));
        handler(&params);
        return true;
    });
    verbs["click"] = WithHost([](Scenario& s, Host&, std::istringstream& args) {
        short dialog = 0, item = 0;
        if (!(args >> dialog >> item)) return s.Fail("click <dialog> <item>");
        if (ReachableItem(s, dialog, item) == nullptr) return false;
        DG::ClickItem(dialog, item);
        return true;
    });
    verbs["set-item"] = WithHost([](Scenario& s, Host&, std::istringstream& args) {
        short dialog = 0, item = 0;
        double value = 0.0;
        if (!(args >> dialog >> item >> value)) return s.Fail("set-item <dialog> <item> <value>");
        const DG::Item* changed = ReachableItem(s, dialog, item);
        if (changed == nullptr) return false;
        const bool choosesEntry = changed->type == "pushmenu" || changed->type == "popup";
        if (choosesEntry && (value < 1.0 || value > static_cast<double>(DG::PopupGetItemCount(dialog, item)) ||
                             value != static_cast<double>(static_cast<int>(value))))
            return s.Fail("item " + std::to_string(item) + " has no entry " + NumberText(value, 6, NearZero::AsIs));
        if (choosesEntry && !DG::PopupIsItemEnabled(dialog, item, static_cast<short>(value)))
            return s.Fail("entry " + NumberText(value, 6, NearZero::AsIs) + " of item " + std::to_string(item) + " is disabled");
        if (changed->type == "pen" &&
            (value < changed->minValue || value > changed->maxValue || value != static_cast<double>(static_cast<int>(value))))
            return s.Fail("the pen chooser " + std::to_string(item) + " offers no pen " + NumberText(value, 6, NearZero::AsIs));
        DG::ChangeItem(dialog, item, value);
        return true;
    });
    verbs["drag-slider"] = WithHost([](Scenario& s, Host&, std::istringstream& args) {
        short dialog = 0, item = 0;
        double value = 0.0;
        if (!(args >> dialog >> item >> value)) return s.Fail("drag-slider <dialog> <slider> <value>");
        const DG::Item* slider = ReachableItem(s, dialog, item);
        if (slider == nullptr) return false;
        if (slider->type != "slider") return s.Fail("item " + std::to_string(item) + " is no slider");
        if (value < slider->minValue || value > slider->maxValue)
            return s.Fail(NumberText(value, 6, NearZero::AsIs) + " lies beyond the bounds of slider " + std::to_string(item));
        DG::DragSlider(dialog, item, value);
        return true;
    });
    verbs["close-dialog"] = WithHost([](Scenario& s, Host&, std::istringstream& args) {
        short dialog = 0;
        if (!(args >> dialog)) return s.Fail("close-dialog <dialog>");
        if (const std::string why = WhyDialogIsNotOpen(dialog); !why.empty()) return s.Fail(why);
        DG::CloseByUser(dialog);
        return true;
    });
    verbs["move-dialog"] = WithHost([](Scenario& s, Host&, std::istringstream& args) {
        short dialog = 0, x = 0, y = 0;
        if (!(args >> dialog >> x >> y)) return s.Fail("move-dialog <dialog> <x> <y>");
        if (const std::string why = WhyDialogIsNotOpen(dialog); !why.empty()) return s.Fail(why);
        DG::SetClientPosition(dialog, x, y);
        return true;
    });
    verbs["palette-control"] = WithHost([](Scenario& s, Host& host, std::istringstream& args) {
        short dialog = 0;
        std::string word;
        if (!(args >> dialog >> word) || ControlCode(word) == 0)
            return s.Fail("palette-control <dialog> close|hide|show|disable|enable");
        const PaletteRegistration* palette = FindPalette(host, dialog);
        if (palette == nullptr) return s.Fail("no palette " + std::to_string(dialog) + " is registered");
        host.Log("palette-control " + std::to_string(dialog) + " " + word);
        palette->callback(dialog, ControlCode(word), 0);
        return true;
    });
    verbs["print-dialog"] = WithHost([](Scenario& s, Host&, std::istringstream& args) {
        short dialog = 0;
        if (!(args >> dialog)) return s.Fail("print-dialog <dialog>");
        DG::Dialog* shown = DG::GetDialog(dialog);
        if (shown == nullptr) return s.Fail("no dialog " + std::to_string(dialog));
        PrintDialog(s.Out(), *shown);
        return true;
    });
    verbs["expect-item"] = WithHost([](Scenario& s, Host&, std::istringstream& args) {
        short dialog = 0, item = 0;
        std::string equals;
        if (!(args >> dialog >> item >> equals) || equals != "=") return s.Fail("expect-item <dialog> <item> = <value>");
        DG::Dialog* known = DG::GetDialog(dialog);
        const DG::Item* read = known == nullptr ? nullptr : known->FindItem(item);
        if (read == nullptr) return s.Fail("no item " + std::to_string(item) + " on dialog " + std::to_string(dialog));
        const std::string wanted = Scenario::Rest(args);
        const std::string actual = NumberText(read->value, 6, NearZero::AsIs);
        return actual == wanted || s.Fail("expected item " + std::to_string(item) + " = " + wanted + "\n    but it is " + actual);
    });
    verbs["answer-file"] = WithHost([](Scenario& s, Host& host, std::istringstream& args) {
        const std::string answer = Scenario::Rest(args);
        if (answer.empty()) return s.Fail("answer-file <path>|cancel");
        if (answer == "cancel")
        {
            DG::QueueFileCancel();
            return true;
        }
        DG::QueueFileAnswer(IO::Location(WorkPath(host, answer)));
        return true;
    });
    verbs["answer-alert"] = WithHost([](Scenario& s, Host&, std::istringstream& args) {
        short button = 0;
        if (!(args >> button) || button < 1 || button > 3 || !Scenario::Rest(args).empty())
            return s.Fail("answer-alert <button 1..3>");
        DG::QueueAlertAnswer(button);
        return true;
    });
    verbs["expect-dialog"] = WithHost([](Scenario& s, Host&, std::istringstream& args) {
        short dialog = 0;
        std::string equals, wanted;
        if (!(args >> dialog >> equals >> wanted) || equals != "=" || (wanted != "open" && wanted != "closed"))
            return s.Fail("expect-dialog <dialog> = open|closed");
        const std::string actual = DG::IsOpen(dialog) ? "open" : "closed";
        return actual == wanted ||
               s.Fail("expected dialog " + std::to_string(dialog) + " " + wanted + "\n    but it is " + actual);
    });
}

}  // namespace SimHost
