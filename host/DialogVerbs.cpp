#include "DialogVerbs.hpp"

#include <functional>
#include <sstream>

#include "DG/DG.hpp"
#include "DG/FileDialog.hpp"
#include "PaletteVerbs.hpp"
#include "ProjectFile.hpp"

namespace SimHost
{

namespace
{

struct TreeLine
{
    int depth = 0;
    std::int32_t item = DG::TreeItemNone;
};

std::vector<TreeLine> TreeLines(short dialog, short item)
{
    std::vector<TreeLine> lines;
    std::function<void(std::int32_t, int)> walk = [&](std::int32_t parent, int depth) {
        for (std::int32_t child = DG::TreeViewGetItem(dialog, item, parent, DG::TreeFirstChild); child != DG::TreeItemNone;
             child = DG::TreeViewGetItem(dialog, item, child, DG::TreeNextSibling))
        {
            lines.push_back({depth, child});
            walk(child, depth + 1);
        }
    };
    walk(DG::TreeItemRoot, 0);
    return lines;
}

std::string LineText(short dialog, short item, const TreeLine& line)
{
    std::string text = DG::TreeViewGetItemText(dialog, item, line.item).ToUtf8();
    if (DG::TreeViewIsItemExpanded(dialog, item, line.item)) text = "+" + text;
    if (const short style = DG::TreeViewGetItemStyle(dialog, item, line.item)) text += " (style " + std::to_string(style) + ")";
    if (DG::TreeViewGetSelectedItem(dialog, item) == line.item) text += " *";
    return text;
}

std::int32_t TreeItemWithText(short dialog, short item, const std::string& text)
{
    for (const TreeLine& line : TreeLines(dialog, item))
        if (DG::TreeViewGetItemText(dialog, item, line.item).ToUtf8() == text) return line.item;
    return DG::TreeItemNone;
}

ScenarioVerb WithHost(std::function<bool(Scenario&, Host&, std::istringstream&)> body)
{
    return [body](Scenario& scenario, std::istringstream& args) {
        Host* host = scenario.GetHost();
        return host != nullptr ? body(scenario, *host, args) : scenario.Fail("this action needs a started host");
    };
}

ScenarioVerb PanelAction(DG::PanelAction::Kind kind)
{
    return [kind](Scenario& s, std::istringstream& args) {
        DG::PanelAction action;
        action.kind = kind;
        bool read = true;
        if (kind == DG::PanelAction::Resize)
        {
            read = static_cast<bool>(args >> action.dx) && Scenario::OptionalNumber(args, action.dy);
        }
        else
        {
            read = static_cast<bool>(args >> action.item);
            if (kind == DG::PanelAction::Value) read = read && static_cast<bool>(args >> action.value);
            if (kind == DG::PanelAction::Text) action.text = GS::UniString(Scenario::Rest(args));
        }
        if (!read)
            return s.Fail("panel-value <item> <value> | panel-text <item> <text> | panel-click <item> | panel-resize <dx> [dy]");
        return DG::AddPanelAction(action) || s.Fail("no file dialog answer is queued");
    };
}

ScenarioVerb TreeExpansion(bool expand)
{
    return WithHost([expand](Scenario& s, Host&, std::istringstream& args) {
        short dialog = 0, item = 0;
        if (!(args >> dialog >> item)) return s.Fail("tree-expand <dialog> <item> <text>");
        const std::string text = Scenario::Rest(args);
        const std::int32_t found = TreeItemWithText(dialog, item, text);
        if (found == DG::TreeItemNone) return s.Fail("no tree item \"" + text + "\"");
        DG::TreeViewExpandItem(dialog, item, found, expand);
        return true;
    });
}

std::string Shown(const Host& host, const IO::Location& location)
{
    const std::string& path = location.ToPath();
    const std::string& work = host.WorkFolder();
    return path.compare(0, work.size() + 1, work + "/") == 0 ? path.substr(work.size() + 1) : path;
}

}  // namespace

void AddDialogVerbs(ScenarioVerbs& verbs)
{
    verbs["answer-open"] = WithHost([](Scenario& s, Host& host, std::istringstream& args) {
        std::vector<IO::Location> files;
        for (std::string file; args >> file;)
        {
            if (file == "cancel" && files.empty())
            {
                DG::QueueOpenAnswer(false, {});
                return true;
            }
            files.emplace_back(WorkPath(host, file));
        }
        if (files.empty()) return s.Fail("answer-open <file>... | cancel");
        DG::QueueOpenAnswer(true, files);
        return true;
    });
    verbs["panel-value"] = PanelAction(DG::PanelAction::Value);
    verbs["panel-text"] = PanelAction(DG::PanelAction::Text);
    verbs["panel-click"] = PanelAction(DG::PanelAction::Click);
    verbs["panel-resize"] = PanelAction(DG::PanelAction::Resize);
    verbs["answer-alert"] = WithHost([](Scenario& s, Host&, std::istringstream& args) {
        short button = 0;
        if (!(args >> button) || button < 1 || button > 3) return s.Fail("answer-alert <button 1 to 3>");
        DG::QueueAlertAnswer(button);
        return true;
    });
    verbs["tree-select"] = WithHost([](Scenario& s, Host&, std::istringstream& args) {
        short dialog = 0, item = 0;
        if (!(args >> dialog >> item)) return s.Fail("tree-select <dialog> <item> <text>");
        const std::string text = Scenario::Rest(args);
        const std::int32_t found = TreeItemWithText(dialog, item, text);
        if (found == DG::TreeItemNone) return s.Fail("no tree item \"" + text + "\"");
        DG::TreeViewSelectItem(dialog, item, found);
        return true;
    });
    verbs["tree-expand"] = TreeExpansion(true);
    verbs["tree-collapse"] = TreeExpansion(false);
    verbs["double-click"] = WithHost([](Scenario& s, Host&, std::istringstream& args) {
        short dialog = 0, item = 0;
        if (!(args >> dialog >> item)) return s.Fail("double-click <dialog> <item>");
        if (const std::string why = WhyDialogIsNotOpen(dialog); !why.empty()) return s.Fail(why);
        DG::SendDialogMessage(dialog, DG::MsgDoubleClick, item, 0);
        return true;
    });
    verbs["print-tree"] = WithHost([](Scenario& s, Host&, std::istringstream& args) {
        short dialog = 0, item = 0;
        if (!(args >> dialog >> item)) return s.Fail("print-tree <dialog> <item>");
        for (const TreeLine& line : TreeLines(dialog, item))
            s.Out() << std::string(static_cast<std::size_t>(2 * line.depth), ' ') << LineText(dialog, item, line) << "\n";
        return true;
    });
}

void AddDialogFacts(const Host& host, Facts& facts)
{
    const auto& dialogs = DG::RecordedOpenDialogs();
    std::string text = "none";
    if (!dialogs.empty())
    {
        const DG::FileDialogShown& last = dialogs.back();
        text = "\"" + last.title.ToUtf8() + "\" type " + std::to_string(last.type) + (last.preview ? " preview" : "") +
               " panel " + std::to_string(last.panel) + " filters";
        for (const GS::UniString& filter : last.filters) text += " [" + filter.ToUtf8() + "]";
        text += " selected " + std::to_string(last.selectedFilter) + (last.accepted ? " ok" : " cancelled");
        for (const IO::Location& file : last.selection) text += " " + Shown(host, file);
        for (const std::string& refused : last.refused) text += "; refused " + refused;
    }
    facts["file-dialog"] = text;
    facts["file-dialogs"] = std::to_string(dialogs.size());
}

std::optional<std::string> TreeFact(const std::string& name)
{
    std::istringstream words(name);
    std::string kind, rest;
    short dialog = 0, item = 0;
    if (!(words >> kind >> dialog >> item) || kind != "tree" || (words >> rest)) return std::nullopt;
    std::string text;
    for (const TreeLine& line : TreeLines(dialog, item))
        text +=
            (text.empty() ? "" : " | ") + std::string(static_cast<std::size_t>(line.depth), '.') + LineText(dialog, item, line);
    return text.empty() ? "empty" : text;
}

}  // namespace SimHost
