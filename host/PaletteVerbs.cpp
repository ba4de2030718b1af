#include "PaletteVerbs.hpp"

#include <algorithm>
#include <sstream>

#include "DG/DG.hpp"
#include "ProjectFile.hpp"

namespace SimHost {

namespace {

ScenarioVerb WithHost(std::function<bool(Scenario&, Host&, std::istringstream&)> body)
{
    return [body](Scenario& scenario, std::istringstream& args) {
        Host* host = scenario.GetHost();
        return host != nullptr ? body(scenario, *host, args) : scenario.Fail("this action needs a started host");
    };
}

bool IsRegistered(const Host& host, std::int16_t menu)
{
    return std::any_of(host.menus_.begin(), host.menus_.end(),
                       [menu](const MenuRegistration& r) { return r.menuList == menu; });
}

APIMenuCommandProc MenuHandler(const Host& host, std::int16_t menu)
{
    for (const auto& [handled, handler] : host.menuHandlers_)
        if (handled == menu) return handler;
    return nullptr;
}

// Whole values read without a fraction, as a scenario writes them.
std::string ValueText(double value)
{
    std::ostringstream text;
    text << value;
    return text.str();
}

}  // namespace

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
        DG::Dialog* shown = DG::GetDialog(dialog);
        const DG::Item* clicked = shown == nullptr ? nullptr : shown->FindItem(item);
        if (clicked == nullptr || !shown->open)
            return s.Fail("no item " + std::to_string(item) + " on an open dialog " + std::to_string(dialog));
        if (!clicked->enabled) return s.Fail("item " + std::to_string(item) + " is disabled");
        DG::ClickItem(dialog, item);
        return true;
    });
    verbs["set-item"] = WithHost([](Scenario& s, Host&, std::istringstream& args) {
        short dialog = 0, item = 0;
        double value = 0.0;
        if (!(args >> dialog >> item >> value)) return s.Fail("set-item <dialog> <item> <value>");
        DG::Dialog* shown = DG::GetDialog(dialog);
        if (shown == nullptr || !shown->open || shown->FindItem(item) == nullptr)
            return s.Fail("no item " + std::to_string(item) + " on an open dialog " + std::to_string(dialog));
        DG::ChangeItem(dialog, item, value);
        return true;
    });
    verbs["expect-item"] = WithHost([](Scenario& s, Host&, std::istringstream& args) {
        short dialog = 0, item = 0;
        std::string equals;
        if (!(args >> dialog >> item >> equals) || equals != "=")
            return s.Fail("expect-item <dialog> <item> = <value>");
        DG::Dialog* known = DG::GetDialog(dialog);
        const DG::Item* read = known == nullptr ? nullptr : known->FindItem(item);
        if (read == nullptr) return s.Fail("no item " + std::to_string(item) + " on dialog " + std::to_string(dialog));
        const std::string wanted = Scenario::Rest(args);
        const std::string actual = ValueText(read->value);
        return actual == wanted ||
               s.Fail("expected item " + std::to_string(item) + " = " + wanted + "\n    but it is " + actual);
    });
    verbs["answer-file"] = WithHost([](Scenario& s, Host& host, std::istringstream& args) {
        const std::string answer = Scenario::Rest(args);
        if (answer.empty()) return s.Fail("answer-file <path>|cancel");
        if (answer == "cancel") {
            DG::QueueFileCancel();
            return true;
        }
        DG::QueueFileAnswer(IO::Location(WorkPath(host, answer)));
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
