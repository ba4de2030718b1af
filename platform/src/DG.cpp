#include "DG/DG.hpp"

#include <climits>
#include <deque>
#include <map>
#include <memory>
#include <sstream>

namespace DG {

namespace {

struct TreeNode {
    std::int32_t parent = TreeItemNone;
    std::vector<std::int32_t> children;
    std::int64_t userData = 0;
};

struct TreeView {
    std::map<std::int32_t, TreeNode> nodes {{TreeItemRoot, TreeNode {}}};
    std::int32_t lastItem = TreeItemRoot;
};

std::map<std::pair<short, short>, TreeView>& TreeViews()
{
    static std::map<std::pair<short, short>, TreeView> views;
    return views;
}

struct Model {
    std::map<short, std::unique_ptr<Dialog>> dialogs;
    ModalAnswerer answerer;
    std::vector<AlertRecord> alerts;
    std::deque<short> alertAnswers;
    std::deque<FileAnswer> fileAnswers;
    std::vector<FileDialogRecord> fileDialogs;
};

Model& TheModel()
{
    static Model model;
    return model;
}

std::string ReadQuoted(std::istringstream& in)
{
    in >> std::ws;
    if (in.peek() != '"') return {};
    in.get();
    std::string text;
    std::getline(in, text, '"');
    return text;
}

// A malformed number in a resource keeps the default instead of throwing into the add-on.
double NumberOr(const std::string& text, double fallback)
{
    std::istringstream in(text);
    double value = 0.0;
    return (in >> value) && in.peek() == std::char_traits<char>::eof() ? value : fallback;
}

// "DIALOG <id> <kind> "<title>"" then lines "item <id> <type> ["<text>"] [value=<v>] [group=<g>] [entries=a|b]".
std::unique_ptr<Dialog> BuildDialog(const std::string& description)
{
    auto dialog = std::make_unique<Dialog>();
    std::istringstream lines(description);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream in(line);
        std::string keyword;
        in >> keyword;
        if (keyword == "DIALOG") {
            in >> dialog->resourceId >> dialog->kind;
            dialog->title = GS::UniString(ReadQuoted(in));
        } else if (keyword == "item") {
            Item item;
            in >> item.id >> item.type;
            item.text = GS::UniString(ReadQuoted(in));
            std::string option;
            while (in >> option) {
                const auto eq = option.find('=');
                if (eq == std::string::npos) continue;
                const std::string key = option.substr(0, eq);
                const std::string value = option.substr(eq + 1);
                if (key == "value") item.value = NumberOr(value, item.value);
                if (key == "group") {
                    const double group = NumberOr(value, item.group);
                    if (group >= SHRT_MIN && group <= SHRT_MAX) item.group = static_cast<short>(group);
                }
                if (key == "entries") {
                    std::istringstream parts(value);
                    std::string entry;
                    while (std::getline(parts, entry, '|')) item.entries.emplace_back(entry);
                }
            }
            dialog->items.push_back(item);
        }
    }
    return dialog;
}

Dialog* Lookup(short dialogId)
{
    auto& dialogs = TheModel().dialogs;
    const auto it = dialogs.find(dialogId);
    return it == dialogs.end() ? nullptr : it->second.get();
}

Item* LookupItem(short dialogId, short itemId)
{
    Dialog* dialog = Lookup(dialogId);
    return dialog == nullptr ? nullptr : dialog->FindItem(itemId);
}

// Checking a radio button clears the others of its group.
void ApplyValue(Dialog& dialog, Item& item, double value)
{
    item.value = value;
    if (item.type == "radio" && value != 0.0)
        for (auto& other : dialog.items)
            if (&other != &item && other.type == "radio" && other.group == item.group) other.value = 0.0;
}

// The callback runs from a copy: closing its own dialog inside it drops the dialog's one.
short Send(Dialog& dialog, short message, short item)
{
    const DialogCallback callback = dialog.callback;
    return callback ? callback(message, dialog.resourceId, item, 0) : 0;
}

}  // namespace

Item* Dialog::FindItem(short itemId)
{
    for (auto& item : items)
        if (item.id == itemId) return &item;
    return nullptr;
}

namespace {

std::unique_ptr<Dialog> BuildFromModule(short dialogId, RS::ResModule module)
{
    std::vector<std::uint8_t> data;
    if (!RS::GetResourceData(RS::DialogType, dialogId, module, data)) return nullptr;
    auto dialog = BuildDialog(std::string(data.begin(), data.end()));
    dialog->resourceId = dialogId;
    dialog->textModule = module;
    return dialog;
}

// Takes the title and the item texts of another module's version of the dialog.
Dialog* ShowTextsOf(Dialog* dialog, RS::ResModule module)
{
    if (dialog == nullptr || module == 0 || dialog->textModule == module) return dialog;
    const std::unique_ptr<Dialog> other = BuildFromModule(dialog->resourceId, module);
    if (other == nullptr) return dialog;
    dialog->title = other->title;
    for (const Item& translated : other->items) {
        if (Item* item = dialog->FindItem(translated.id)) {
            item->text = translated.text;
            if (translated.entries.size() == item->entries.size()) item->entries = translated.entries;
        }
    }
    dialog->textModule = module;
    return dialog;
}

}  // namespace

Dialog* GetDialog(short dialogId, RS::ResModule module)
{
    if (Dialog* known = Lookup(dialogId)) return known;
    auto dialog = BuildFromModule(dialogId, module);
    if (dialog == nullptr) return nullptr;
    Dialog* raw = dialog.get();
    TheModel().dialogs.emplace(dialogId, std::move(dialog));
    return raw;
}

void ForgetAllDialogs()
{
    auto& model = TheModel();
    model.dialogs.clear();
    model.alerts.clear();
    model.alertAnswers.clear();
    model.fileAnswers.clear();
    model.fileDialogs.clear();
    model.answerer = nullptr;
    TreeViews().clear();
}

bool IsOpen(short dialogId)
{
    const Dialog* dialog = Lookup(dialogId);
    return dialog != nullptr && dialog->open;
}

short OpenPalette(RS::ResModule module, short resourceId, DialogCallback callback)
{
    Dialog* dialog = ShowTextsOf(GetDialog(resourceId, module), module);
    if (dialog == nullptr) return 0;
    dialog->callback = std::move(callback);
    if (!dialog->open) {
        dialog->open = true;
        Send(*dialog, MsgInit, 0);
    }
    return resourceId;
}

void ClosePalette(short dialogId)
{
    Dialog* dialog = Lookup(dialogId);
    if (dialog == nullptr || !dialog->open) return;
    Send(*dialog, MsgClose, 0);
    dialog->open = false;
    dialog->callback = nullptr;
}

void ClosePaletteSilently(short dialogId)
{
    Dialog* dialog = Lookup(dialogId);
    if (dialog == nullptr) return;
    dialog->callback = nullptr;
    dialog->open = false;
}

double GetItemValue(short dialogId, short item)
{
    const Item* it = LookupItem(dialogId, item);
    return it == nullptr ? 0.0 : it->value;
}

long GetItemValLong(short dialogId, short item) { return static_cast<long>(GetItemValue(dialogId, item)); }

void SetItemValue(short dialogId, short item, double value)
{
    Dialog* dialog = Lookup(dialogId);
    Item* it = dialog == nullptr ? nullptr : dialog->FindItem(item);
    if (it != nullptr) ApplyValue(*dialog, *it, value);
}

GS::UniString GetItemText(short dialogId, short item)
{
    const Item* it = LookupItem(dialogId, item);
    return it == nullptr ? GS::UniString() : it->text;
}

void SetItemText(short dialogId, short item, const GS::UniString& text)
{
    if (Item* it = LookupItem(dialogId, item)) it->text = text;
}

void EnableItem(short dialogId, short item, bool enable)
{
    if (Item* it = LookupItem(dialogId, item)) it->enabled = enable;
}

void DisableItem(short dialogId, short item) { EnableItem(dialogId, item, false); }

bool IsItemEnabled(short dialogId, short item)
{
    const Item* it = LookupItem(dialogId, item);
    return it != nullptr && it->enabled;
}

void ShowItem(short dialogId, short item, bool show)
{
    if (Item* it = LookupItem(dialogId, item)) it->visible = show;
}

void HideItem(short dialogId, short item) { ShowItem(dialogId, item, false); }

bool IsItemVisible(short dialogId, short item)
{
    const Item* it = LookupItem(dialogId, item);
    return it != nullptr && it->visible;
}

short GetItemWidth(short dialogId, short item)
{
    const Item* it = LookupItem(dialogId, item);
    return it == nullptr ? 0 : it->width;
}

short GetItemHeight(short dialogId, short item)
{
    const Item* it = LookupItem(dialogId, item);
    return it == nullptr ? 0 : it->height;
}

void SetItemSize(short dialogId, short item, short width, short height)
{
    if (Item* it = LookupItem(dialogId, item)) {
        it->width = width;
        it->height = height;
    }
}

short ListGetRowHeight(short dialogId, short listItem)
{
    const Item* it = LookupItem(dialogId, listItem);
    return it == nullptr ? 0 : it->rowHeight;
}

void ListSetRowHeight(short dialogId, short listItem, short height)
{
    if (Item* it = LookupItem(dialogId, listItem)) it->rowHeight = height;
}

short ListGetTabFieldCount(short dialogId, short listItem)
{
    const Item* it = LookupItem(dialogId, listItem);
    return it == nullptr ? 0 : static_cast<short>(it->tabFields.size());
}

void ListSetTabFieldCount(short dialogId, short listItem, short count)
{
    if (Item* it = LookupItem(dialogId, listItem)) it->tabFields.resize(count < 0 ? 0U : static_cast<std::size_t>(count));
}

TabField ListGetTabField(short dialogId, short listItem, short field)
{
    const Item* it = LookupItem(dialogId, listItem);
    if (it == nullptr || field < 1 || static_cast<std::size_t>(field) > it->tabFields.size()) return {};
    return it->tabFields[static_cast<std::size_t>(field - 1)];
}

void ListSetTabField(short dialogId, short listItem, short field, const TabField& tabField)
{
    Item* it = LookupItem(dialogId, listItem);
    if (it == nullptr || field < 1 || static_cast<std::size_t>(field) > it->tabFields.size()) return;
    it->tabFields[static_cast<std::size_t>(field - 1)] = tabField;
}

short ClickItem(short dialogId, short item)
{
    Dialog* dialog = Lookup(dialogId);
    Item* it = dialog == nullptr ? nullptr : dialog->FindItem(item);
    if (it == nullptr) return 0;
    // Check and radio buttons report a click as a change of their value.
    if (it->type == "check") {
        ApplyValue(*dialog, *it, it->value != 0.0 ? 0.0 : 1.0);
        return Send(*dialog, MsgChange, item);
    }
    if (it->type == "radio") {
        ApplyValue(*dialog, *it, 1.0);
        return Send(*dialog, MsgChange, item);
    }
    return Send(*dialog, MsgClick, item);
}

short ChangeItem(short dialogId, short item, double value)
{
    Dialog* dialog = Lookup(dialogId);
    Item* it = dialog == nullptr ? nullptr : dialog->FindItem(item);
    if (it == nullptr) return 0;
    ApplyValue(*dialog, *it, value);
    return Send(*dialog, MsgChange, item);
}

void SetModalAnswerer(ModalAnswerer answerer) { TheModel().answerer = std::move(answerer); }

short RunModal(RS::ResModule module, short resourceId, DialogCallback callback)
{
    Dialog* dialog = ShowTextsOf(GetDialog(resourceId, module), module);
    if (dialog == nullptr) return 0;
    dialog->callback = std::move(callback);
    dialog->open = true;
    Send(*dialog, MsgInit, 0);
    const ModalAnswerer answerer = TheModel().answerer;
    const short closing = answerer ? answerer(*dialog) : short(Cancel);
    Send(*dialog, MsgClick, closing);
    Send(*dialog, MsgClose, closing);
    dialog->open = false;
    dialog->callback = nullptr;
    return closing;
}

short Alert(const AlertRecord& alert)
{
    auto& model = TheModel();
    AlertRecord record = alert;
    if (!model.alertAnswers.empty()) {
        record.answer = model.alertAnswers.front();
        model.alertAnswers.pop_front();
    }
    model.alerts.push_back(record);
    return record.answer;
}

void QueueAlertAnswer(short button) { TheModel().alertAnswers.push_back(button); }
const std::vector<AlertRecord>& RecordedAlerts() { return TheModel().alerts; }
void ClearRecordedAlerts() { TheModel().alerts.clear(); }

void QueueFileAnswer(const IO::Location& location) { TheModel().fileAnswers.push_back({true, location}); }
void QueueFileCancel() { TheModel().fileAnswers.push_back({}); }
const std::vector<FileDialogRecord>& RecordedFileDialogs() { return TheModel().fileDialogs; }

namespace {

TreeNode* FindTreeNode(short dialogId, short item, std::int32_t treeItem)
{
    auto& views = TreeViews();
    const auto view = views.find({dialogId, item});
    if (view == views.end()) return nullptr;
    const auto node = view->second.nodes.find(treeItem);
    return node == view->second.nodes.end() ? nullptr : &node->second;
}

std::int32_t NextSibling(short dialogId, short item, const TreeNode& node, std::int32_t treeItem)
{
    const TreeNode* parent = FindTreeNode(dialogId, item, node.parent);
    if (parent == nullptr) return TreeItemNone;
    const auto& siblings = parent->children;
    for (std::size_t i = 0; i + 1 < siblings.size(); ++i)
        if (siblings[i] == treeItem) return siblings[i + 1];
    return TreeItemNone;
}

}  // namespace

std::int32_t TreeViewInsertItem(short dialogId, short item, std::int32_t parent, std::int32_t position)
{
    if (position != TreeInsertFirst && position != TreeInsertLast) return TreeItemNone;
    TreeView& view = TreeViews()[{dialogId, item}];
    const auto parentNode = view.nodes.find(parent);
    if (parentNode == view.nodes.end()) return TreeItemNone;
    const std::int32_t added = ++view.lastItem;
    auto& children = parentNode->second.children;
    children.insert(position == TreeInsertFirst ? children.begin() : children.end(), added);
    view.nodes[added].parent = parent;
    return added;
}

void TreeViewDeleteAllItems(short dialogId, short item) { TreeViews().erase({dialogId, item}); }

std::int32_t TreeViewGetItem(short dialogId, short item, std::int32_t treeItem, short relation)
{
    const TreeNode* node = FindTreeNode(dialogId, item, treeItem);
    if (node == nullptr) return TreeItemNone;
    if (relation == TreeFirstChild) return node->children.empty() ? TreeItemNone : node->children.front();
    if (relation == TreeNextSibling) return NextSibling(dialogId, item, *node, treeItem);
    return TreeItemNone;
}

void TreeViewSetItemUserData(short dialogId, short item, std::int32_t treeItem, std::int64_t userData)
{
    if (TreeNode* node = FindTreeNode(dialogId, item, treeItem)) node->userData = userData;
}

std::int64_t TreeViewGetItemUserData(short dialogId, short item, std::int32_t treeItem)
{
    const TreeNode* node = FindTreeNode(dialogId, item, treeItem);
    return node == nullptr ? 0 : node->userData;
}

}  // namespace DG

bool DGGetSaveFile(IO::Location* location, short popupItemCount, const DGTypePopupItem* popupItems,
                   short* selectedType, const IO::Location*, const GS::UniString& title)
{
    auto& model = DG::TheModel();
    DG::FileDialogRecord record;
    record.title = title;
    if (popupItems != nullptr && popupItemCount > 0) record.types.assign(popupItems, popupItems + popupItemCount);
    record.selectedType = selectedType == nullptr ? 0 : *selectedType;
    if (!model.fileAnswers.empty()) {
        record.answer = model.fileAnswers.front();
        model.fileAnswers.pop_front();
    }
    model.fileDialogs.push_back(record);
    if (!record.answer.accept || location == nullptr) return false;
    *location = record.answer.location;
    return true;
}
