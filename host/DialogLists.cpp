#include "DialogLists.hpp"

#include <iomanip>
#include <sstream>

#include "DG/DG.hpp"
#include "PaletteVerbs.hpp"
#include "ProjectFile.hpp"

namespace SimHost
{

namespace
{

constexpr short DefaultClickX = 200;

std::string IconText(const DG::Icon& icon)
{
    if (icon == DG::CheckedIcon) return "[x]";
    if (icon == DG::UncheckedIcon) return "[ ]";
    if (icon == DG::NoIcon) return "-";
    return icon.resourceId == 0 ? "" : "#" + std::to_string(icon.resourceId);
}

std::string CellText(const DG::ListCell& cell)
{
    const std::string icon = IconText(cell.icon);
    return icon.empty() ? cell.text.ToUtf8() : icon;
}

std::string RowText(const DG::Item& list, const DG::ListRow& row)
{
    std::string text = row.selected ? "*" : "";
    const std::size_t fields = std::max(list.tabFields.size(), row.cells.size());
    for (std::size_t i = 0; i < fields; ++i)
    {
        text += (i == 0 ? (row.selected ? " " : "") : " | ");
        if (i < row.cells.size()) text += CellText(row.cells[i]);
    }
    return text;
}

std::string HeaderText(const DG::Item& list)
{
    std::string text;
    for (const DG::HeaderItem& header : list.headerItems)
    {
        std::string shown = header.text.IsEmpty() ? IconText(header.icon) : header.text.ToUtf8();
        if (header.arrow != 0) shown += header.arrow == 1 ? " v" : " ^";
        text += (text.empty() ? "" : " | ") + shown;
    }
    return text;
}

std::string PopupText(const DG::Item& item)
{
    std::string text;
    const std::size_t count = std::max(item.entries.size(), item.entryIcons.size());
    for (std::size_t i = 0; i < count; ++i)
    {
        std::string entry = i < item.entries.size() ? item.entries[i].ToUtf8() : std::string();
        if (i < item.entryEnabled.size() && !item.entryEnabled[i]) entry = "(" + entry + ")";
        if (static_cast<std::size_t>(item.selected) == i + 1) entry = ">" + entry;
        text += (text.empty() ? "" : " | ") + entry;
    }
    return text;
}

const DG::Item* FindItem(short dialogId, short itemId)
{
    DG::Dialog* dialog = DG::GetDialog(dialogId);
    return dialog == nullptr ? nullptr : dialog->FindItem(itemId);
}

std::string FolderDialogs()
{
    std::string text;
    for (const DG::FolderDialogRecord& record : DG::RecordedFolderDialogs())
        text += (text.empty() ? "" : ", ") + std::string("\"") + record.title.ToUtf8() + "\" at " + record.start.ToPath();
    return text.empty() ? "none" : text;
}

ScenarioVerb OnHost(std::function<bool(Scenario&, Host&, std::istringstream&)> body)
{
    return [body](Scenario& scenario, std::istringstream& args) {
        Host* host = scenario.GetHost();
        return host != nullptr ? body(scenario, *host, args) : scenario.Fail("this action needs a started host");
    };
}

// The list the user's hand reaches: on an open dialog, shown and enabled.
bool ReachableList(Scenario& s, short dialogId, short listItem)
{
    if (const std::string why = WhyDialogIsNotOpen(dialogId); !why.empty())
        return s.Fail(why + ": list " + std::to_string(listItem) + " cannot be reached");
    const DG::Item* list = FindItem(dialogId, listItem);
    if (list == nullptr || list->type != "list")
        return s.Fail("no list " + std::to_string(listItem) + " on dialog " + std::to_string(dialogId));
    return list->visible && list->enabled ? true : s.Fail("list " + std::to_string(listItem) + " cannot be reached");
}

}  // namespace

std::optional<std::string> ListFact(const std::string& name)
{
    if (name == "folder-dialogs") return FolderDialogs();
    std::istringstream words(name);
    std::string kind, rest;
    short dialogId = 0, itemId = 0, row = 0;
    if (!(words >> kind >> dialogId >> itemId)) return std::nullopt;
    if (kind != "rows" && kind != "row" && kind != "header" && kind != "popup") return std::nullopt;
    if (kind == "row" && !(words >> row)) return std::nullopt;
    if (words >> rest) return std::nullopt;
    const DG::Item* item = FindItem(dialogId, itemId);
    if (item == nullptr) return "<no item " + std::to_string(itemId) + " on dialog " + std::to_string(dialogId) + ">";
    if (kind == "popup") return PopupText(*item);
    if (kind == "header") return HeaderText(*item);
    if (kind == "rows")
        return std::to_string(item->rows.size()) + " rows, " + std::to_string(DG::ListGetSelectedCount(dialogId, itemId)) +
               " selected";
    if (row < 1 || static_cast<std::size_t>(row) > item->rows.size()) return "<no row " + std::to_string(row) + ">";
    return RowText(*item, item->rows[static_cast<std::size_t>(row - 1)]);
}

void AddListVerbs(ScenarioVerbs& verbs)
{
    verbs["click-row"] = OnHost([](Scenario& s, Host&, std::istringstream& args) {
        short dialogId = 0, listItem = 0, row = 0, x = DefaultClickX;
        std::string word;
        bool add = false;
        if (!(args >> dialogId >> listItem >> row)) return s.Fail("click-row <dialog> <list> <row> [x] [add]");
        while (args >> word)
        {
            if (word == "add")
            {
                add = true;
                continue;
            }
            std::istringstream number(word);
            if (!(number >> x) || !number.eof()) return s.Fail("click-row <dialog> <list> <row> [x] [add]");
        }
        if (!ReachableList(s, dialogId, listItem)) return false;
        if (row < 0 || row > DG::ListGetItemCount(dialogId, listItem))
            return s.Fail("the list has no row " + std::to_string(row));
        DG::ClickListRow(dialogId, listItem, row, x, add);
        return true;
    });
    verbs["click-header"] = OnHost([](Scenario& s, Host&, std::istringstream& args) {
        short dialogId = 0, listItem = 0, header = 0;
        if (!(args >> dialogId >> listItem >> header)) return s.Fail("click-header <dialog> <list> <header item>");
        if (!ReachableList(s, dialogId, listItem)) return false;
        if (header < 1 || header > DG::ListGetHeaderItemCount(dialogId, listItem))
            return s.Fail("the list has no header item " + std::to_string(header));
        DG::ClickListHeader(dialogId, listItem, header);
        return true;
    });
    verbs["answer-folder"] = OnHost([](Scenario& s, Host& host, std::istringstream& args) {
        const std::string answer = Scenario::Rest(args);
        if (answer.empty()) return s.Fail("answer-folder <path>|cancel");
        if (answer == "cancel")
            DG::QueueFolderCancel();
        else
            DG::QueueFolderAnswer(IO::Location(WorkPath(host, answer)));
        return true;
    });
    verbs["print-list"] = OnHost([](Scenario& s, Host&, std::istringstream& args) {
        short dialogId = 0, listItem = 0;
        if (!(args >> dialogId >> listItem)) return s.Fail("print-list <dialog> <list>");
        const DG::Item* list = FindItem(dialogId, listItem);
        if (list == nullptr) return s.Fail("no list " + std::to_string(listItem) + " on dialog " + std::to_string(dialogId));
        s.Out() << "list " << dialogId << "/" << listItem << ": " << HeaderText(*list) << "\n";
        for (std::size_t i = 0; i < list->rows.size(); ++i)
            s.Out() << std::setw(4) << i + 1 << "  " << RowText(*list, list->rows[i]) << "  (" << list->rows[i].userData << ")\n";
        return true;
    });
    verbs["resize-dialog"] = OnHost([](Scenario& s, Host&, std::istringstream& args) {
        short dialogId = 0, width = 0, height = 0;
        if (!(args >> dialogId >> width >> height) || width <= 0 || height <= 0)
            return s.Fail("resize-dialog <dialog> <width> <height>");
        if (!DG::IsOpen(dialogId)) return s.Fail("dialog " + std::to_string(dialogId) + " is not open");
        // The user can drag only the edges the palette's grow type offers; the
        // host sends the grow phases while dragging, then the size change.
        const short growType = DG::GetDialogGrowType(dialogId);
        if (growType == DG::NoGrow) return true;
        const DG::Size before = DG::GetClientSize(dialogId);
        if ((growType & DG::HGrow) == 0) width = before.width;
        if ((growType & DG::VGrow) == 0) height = before.height;
        DG::GrowByUser(dialogId, width, height);
        DG::ResizeByUser(dialogId, width, height);
        return true;
    });
}

}  // namespace SimHost
