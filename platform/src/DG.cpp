#include "DG/DG.hpp"

#include <algorithm>
#include <climits>
#include <cmath>
#include <iomanip>
#include <locale>
#include <sstream>

#include "DGModel.hpp"

namespace DG
{

namespace Model
{

State& The()
{
    static State state;
    return state;
}

Dialog* Lookup(short dialogId)
{
    auto& dialogs = The().dialogs;
    const auto it = dialogs.find(dialogId);
    return it == dialogs.end() ? nullptr : it->second.get();
}

Item* LookupItem(short dialogId, short itemId)
{
    Dialog* dialog = Lookup(dialogId);
    return dialog == nullptr ? nullptr : dialog->FindItem(itemId);
}

short Send(Dialog& dialog, short message, short item, std::intptr_t data)
{
    const DialogCallback callback = dialog.callback;
    return callback ? callback(message, dialog.resourceId, item, data) : 0;
}

}  // namespace Model

namespace
{

using Model::Lookup;
using Model::LookupItem;
using Model::Send;

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

short ShortOr(const std::string& text, short fallback)
{
    const double number = NumberOr(text, fallback);
    return number >= SHRT_MIN && number <= SHRT_MAX ? static_cast<short>(number) : fallback;
}

std::vector<std::string> Split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    std::istringstream in(text);
    std::string part;
    while (std::getline(in, part, separator)) parts.push_back(part);
    return parts;
}

// "x,y" or "x,y,w,h": the numbers that read, zeros for the rest.
std::vector<short> Shorts(const std::string& text, std::size_t count)
{
    std::vector<short> numbers(count, 0);
    const std::vector<std::string> parts = Split(text, ',');
    for (std::size_t i = 0; i < count && i < parts.size(); ++i) numbers[i] = ShortOr(parts[i], 0);
    return numbers;
}

void ApplyDialogOption(Dialog& dialog, const std::string& key, const std::string& value)
{
    if (key == "size")
    {
        const std::vector<short> size = Shorts(value, 2);
        dialog.size = {size[0], size[1]};
    }
    if (key == "at")
    {
        const std::vector<short> at = Shorts(value, 2);
        dialog.position = {at[0], at[1]};
    }
    if (key == "grow") dialog.growType = value == "none" ? NoGrow : value == "h" ? HGrow : value == "v" ? VGrow : HVGrow;
}

void ApplyItemOption(Item& item, const std::string& key, const std::string& value)
{
    if (key == "value") item.value = NumberOr(value, item.value);
    if (key == "group") item.group = ShortOr(value, item.group);
    if (key == "entries")
    {
        for (const std::string& entry : Split(value, '|')) item.entries.emplace_back(entry);
        Model::EvenOutEntries(item);
        item.selected = item.entries.empty() ? 0 : 1;
    }
    if (key == "icon") item.icon = ShortOr(value, 0);
    if (key == "min") item.minValue = NumberOr(value, item.minValue);
    if (key == "max") item.maxValue = NumberOr(value, item.maxValue);
    if (key == "icons")
    {
        for (const std::string& icon : Split(value, '|')) item.entryIcons.push_back(ShortOr(icon, 0));
        item.selected = item.entryIcons.empty() ? 0 : 1;
    }
    if (key == "rect")
    {
        const std::vector<short> rect = Shorts(value, 4);
        item.left = rect[0];
        item.top = rect[1];
        item.width = rect[2];
        item.height = rect[3];
    }
}

// key=value, or key="value with blanks".
template <typename Apply>
void ReadOptions(std::istringstream& in, Apply apply)
{
    std::string option;
    while (in >> option)
    {
        const auto eq = option.find('=');
        if (eq == std::string::npos) continue;
        std::string value = option.substr(eq + 1);
        if (!value.empty() && value.front() == '"')
        {
            value.erase(0, 1);
            const auto close = value.find('"');
            if (close != std::string::npos)
            {
                value.erase(close);
            }
            else
            {
                std::string rest;
                std::getline(in, rest, '"');
                value += rest;
            }
        }
        apply(option.substr(0, eq), value);
    }
}

// "DIALOG <id> <kind> "<title>" [size=w,h] [at=x,y] [grow=none|h|v|hv]" then lines
// "item <id> <type> ["<text>"] [value=<v>] [group=<g>] [entries="a|b c"] [icon=<i>] [icons=a|b] [rect=x,y,w,h]
// [min=<v>] [max=<v>]".
std::unique_ptr<Dialog> BuildDialog(const std::string& description)
{
    auto dialog = std::make_unique<Dialog>();
    std::istringstream lines(description);
    std::string line;
    while (std::getline(lines, line))
    {
        std::istringstream in(line);
        std::string keyword;
        in >> keyword;
        if (keyword == "DIALOG")
        {
            in >> dialog->resourceId >> dialog->kind;
            dialog->title = GS::UniString(ReadQuoted(in));
            ReadOptions(in,
                        [&dialog](const std::string& key, const std::string& value) { ApplyDialogOption(*dialog, key, value); });
        }
        else if (keyword == "item")
        {
            Item item;
            in >> item.id >> item.type;
            item.text = GS::UniString(ReadQuoted(in));
            ReadOptions(in, [&item](const std::string& key, const std::string& value) { ApplyItemOption(item, key, value); });
            dialog->items.push_back(item);
        }
    }
    return dialog;
}

// "TOOLTIPS <id> "<name>"" then lines "<item> "<tooltip>" "<item name>"": each
// line adds one tooltip to its item, in the resource's order.
void ReadTooltips(Dialog& dialog, const std::string& description)
{
    std::istringstream lines(description);
    std::string line;
    std::getline(lines, line);
    std::istringstream head(line);
    std::string keyword;
    short id = 0;
    head >> keyword >> id;
    dialog.tooltipName = ReadQuoted(head);
    for (Item& item : dialog.items) item.tooltips.clear();
    while (std::getline(lines, line))
    {
        std::istringstream in(line);
        short itemId = 0;
        if (!(in >> itemId)) continue;
        Tooltip tooltip;
        tooltip.text = GS::UniString(ReadQuoted(in));
        tooltip.name = ReadQuoted(in);
        if (Item* item = dialog.FindItem(itemId)) item->tooltips.push_back(tooltip);
    }
}

// Checking a radio button clears the others of its group.
void ApplyValue(Dialog& dialog, Item& item, double value)
{
    item.value = value;
    if (item.type == "radio" && value != 0.0)
        for (auto& other : dialog.items)
            if (&other != &item && other.type == "radio" && other.group == item.group) other.value = 0.0;
}

std::unique_ptr<Dialog> BuildFromModule(short dialogId, RS::ResModule module)
{
    std::vector<std::uint8_t> data;
    if (!RS::GetResourceData(RS::DialogType, dialogId, module, data)) return nullptr;
    auto dialog = BuildDialog(std::string(data.begin(), data.end()));
    dialog->resourceId = dialogId;
    dialog->textModule = module;
    if (RS::GetResourceData(RS::TooltipType, dialogId, module, data))
        ReadTooltips(*dialog, std::string(data.begin(), data.end()));
    return dialog;
}

// Takes the title, the item texts and the tooltips of another module's version of the dialog.
Dialog* ShowTextsOf(Dialog* dialog, RS::ResModule module)
{
    if (dialog == nullptr || module == 0 || dialog->textModule == module) return dialog;
    const std::unique_ptr<Dialog> other = BuildFromModule(dialog->resourceId, module);
    if (other == nullptr) return dialog;
    dialog->title = other->title;
    if (!other->tooltipName.empty()) dialog->tooltipName = other->tooltipName;
    for (const Item& translated : other->items)
    {
        if (Item* item = dialog->FindItem(translated.id))
        {
            item->text = translated.text;
            if (translated.entries.size() == item->entries.size()) item->entries = translated.entries;
            if (!translated.tooltips.empty()) item->tooltips = translated.tooltips;
        }
    }
    dialog->textModule = module;
    return dialog;
}

void ChooseEntry(Item& item, double entry)
{
    Model::EvenOutEntries(item);
    if (entry < 1.0 || entry > static_cast<double>(item.entryIcons.size())) return;
    const auto chosen = static_cast<short>(entry);
    if (item.entryEnabled[static_cast<std::size_t>(chosen - 1)]) item.selected = chosen;
}

// A list shows rows only while its dialog is open; each opening starts empty.
void ClearListRows(Dialog& dialog)
{
    for (Item& item : dialog.items) item.rows.clear();
}

bool ChoosesEntry(const Item& item) { return item.type == "pushmenu" || item.type == "popup"; }

}  // namespace

Item* Dialog::FindItem(short itemId)
{
    for (auto& item : items)
        if (item.id == itemId) return &item;
    return nullptr;
}

Dialog* GetDialog(short dialogId, RS::ResModule module)
{
    if (Dialog* known = Lookup(dialogId)) return known;
    auto dialog = BuildFromModule(dialogId, module);
    if (dialog == nullptr) return nullptr;
    Dialog* raw = dialog.get();
    Model::The().dialogs.emplace(dialogId, std::move(dialog));
    return raw;
}

void ForgetAllDialogs()
{
    auto& model = Model::The();
    model.dialogs.clear();
    model.alerts.clear();
    model.alertAnswers.clear();
    model.fileAnswers.clear();
    model.fileDialogs.clear();
    model.folderAnswers.clear();
    model.folderDialogs.clear();
    model.answerer = nullptr;
    Model::ForgetTreeViews();
    Model::ForgetFileDialogs();
}

bool IsOpen(short dialogId)
{
    const Dialog* dialog = Lookup(dialogId);
    return dialog != nullptr && dialog->open;
}

short OpenPalette(RS::ResModule module, short resourceId, DialogCallback callback, const GS::Guid& guid)
{
    Dialog* dialog = ShowTextsOf(GetDialog(resourceId, module), module);
    if (dialog == nullptr) return 0;
    dialog->callback = std::move(callback);
    dialog->guid = guid;
    if (!dialog->open)
    {
        ClearListRows(*dialog);
        dialog->enabledMessages.clear();
        dialog->open = true;
        dialog->hidden = false;
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
    if (item == AllItems)
    {
        if (Dialog* dialog = Lookup(dialogId))
            for (Item& each : dialog->items) each.enabled = enable;
        return;
    }
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
    if (Item* it = LookupItem(dialogId, item))
    {
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

// An item placed on a tab field shows in the list; one taken off it is hidden.
void ListSetTabField(short dialogId, short listItem, short field, const TabField& tabField)
{
    Item* it = LookupItem(dialogId, listItem);
    if (it == nullptr || field < 1 || static_cast<std::size_t>(field) > it->tabFields.size()) return;
    TabField& kept = it->tabFields[static_cast<std::size_t>(field - 1)];
    const short before = kept.item;
    kept = tabField;
    if (before == tabField.item) return;
    if (before != 0) HideItem(dialogId, before);
    if (tabField.item != 0) ShowItem(dialogId, tabField.item);
}

short ClickItem(short dialogId, short item)
{
    Dialog* dialog = Lookup(dialogId);
    Item* it = dialog == nullptr ? nullptr : dialog->FindItem(item);
    if (it == nullptr) return 0;
    // Check and radio buttons report a click as a change of their value.
    if (it->type == "check")
    {
        ApplyValue(*dialog, *it, it->value != 0.0 ? 0.0 : 1.0);
        return Send(*dialog, MsgChange, item);
    }
    if (it->type == "radio")
    {
        ApplyValue(*dialog, *it, 1.0);
        return Send(*dialog, MsgChange, item);
    }
    if (ChoosesEntry(*it)) return Send(*dialog, MsgChange, item);
    const bool palette = dialog->kind == "palette";
    const short result = Send(*dialog, MsgClick, item);
    // A palette's own button closes it as the close box does: by an answer other than 0.
    if (result != 0 && palette && IsOpen(dialogId)) ClosePalette(dialogId);
    if (result != 0 && dialog->kind == "modal" && dialog->open) dialog->closingItem = result;
    return result;
}

short ChangeItem(short dialogId, short item, double value)
{
    Dialog* dialog = Lookup(dialogId);
    Item* it = dialog == nullptr ? nullptr : dialog->FindItem(item);
    if (it == nullptr) return 0;
    if (ChoosesEntry(*it))
        ChooseEntry(*it, value);
    else
        ApplyValue(*dialog, *it, value);
    return Send(*dialog, MsgChange, item);
}

short DragSlider(short dialogId, short item, double value)
{
    Dialog* dialog = Lookup(dialogId);
    Item* it = dialog == nullptr ? nullptr : dialog->FindItem(item);
    if (it == nullptr || it->type != "slider") return 0;
    ApplyValue(*dialog, *it, std::clamp(value, it->minValue, it->maxValue));
    Send(*dialog, MsgTrack, item);
    return Send(*dialog, MsgChange, item);
}

void SetModalAnswerer(ModalAnswerer answerer) { Model::The().answerer = std::move(answerer); }

short RunModal(RS::ResModule module, short resourceId, DialogCallback callback)
{
    Dialog* dialog = ShowTextsOf(GetDialog(resourceId, module), module);
    if (dialog == nullptr) return 0;
    // Nothing an earlier run left (values, places, the client size) carries over.
    if (const std::unique_ptr<Dialog> fresh = BuildFromModule(resourceId, dialog->textModule))
    {
        dialog->items = fresh->items;
        dialog->size = fresh->size;
    }
    dialog->callback = std::move(callback);
    ClearListRows(*dialog);
    dialog->enabledMessages.clear();
    dialog->open = true;
    dialog->abortRequested = false;
    dialog->closingItem = 0;
    Send(*dialog, MsgInit, 0);
    const ModalAnswerer answerer = Model::The().answerer;
    short closing = Cancel;
    if (!dialog->abortRequested && answerer) closing = answerer(*dialog);
    if (dialog->closingItem != 0)
        closing = dialog->closingItem;
    else
        Send(*dialog, MsgClick, closing);
    Send(*dialog, MsgClose, closing);
    dialog->open = false;
    dialog->callback = nullptr;
    return closing;
}

void AbortModal(short dialogId)
{
    if (Dialog* dialog = Lookup(dialogId)) dialog->abortRequested = true;
}

short Alert(const AlertRecord& alert)
{
    auto& model = Model::The();
    AlertRecord record = alert;
    if (!model.alertAnswers.empty())
    {
        record.answer = model.alertAnswers.front();
        model.alertAnswers.pop_front();
    }
    model.alerts.push_back(record);
    return record.answer;
}

void QueueAlertAnswer(short button) { Model::The().alertAnswers.push_back(button); }
const std::vector<AlertRecord>& RecordedAlerts() { return Model::The().alerts; }
void ClearRecordedAlerts() { Model::The().alerts.clear(); }

void QueueFileAnswer(const IO::Location& location) { Model::The().fileAnswers.push_back({true, location}); }
void QueueFileCancel() { Model::The().fileAnswers.push_back({}); }
const std::vector<FileDialogRecord>& RecordedFileDialogs() { return Model::The().fileDialogs; }

void QueueFolderAnswer(const IO::Location& location) { Model::The().folderAnswers.push_back({true, location}); }
void QueueFolderCancel() { Model::The().folderAnswers.push_back({}); }
const std::vector<FolderDialogRecord>& RecordedFolderDialogs() { return Model::The().folderDialogs; }

}  // namespace DG

bool DGGetSaveFile(IO::Location* location, short popupItemCount, const DGTypePopupItem* popupItems, short* selectedType,
                   const IO::Location*, const GS::UniString& title)
{
    auto& model = DG::Model::The();
    DG::FileDialogRecord record;
    record.title = title;
    if (popupItems != nullptr && popupItemCount > 0) record.types.assign(popupItems, popupItems + popupItemCount);
    record.selectedType = selectedType == nullptr ? 0 : *selectedType;
    if (!model.fileAnswers.empty())
    {
        record.answer = model.fileAnswers.front();
        model.fileAnswers.pop_front();
    }
    model.fileDialogs.push_back(record);
    if (!record.answer.accept || location == nullptr) return false;
    *location = record.answer.location;
    return true;
}

bool DGBrowseForFolder(IO::Location* folder, const GS::UniString& title)
{
    auto& model = DG::Model::The();
    DG::FolderDialogRecord record;
    record.title = title;
    if (folder != nullptr) record.start = *folder;
    if (!model.folderAnswers.empty())
    {
        record.answer = model.folderAnswers.front();
        model.folderAnswers.pop_front();
    }
    model.folderDialogs.push_back(record);
    if (!record.answer.accept || folder == nullptr) return false;
    *folder = record.answer.location;
    return true;
}

GS::UniString DGDoubleToStringUnit(const double* value, std::int16_t valueKind, const DGUnitData* unitData)
{
    constexpr std::int32_t MostDecimals = 10;
    if (value == nullptr || unitData == nullptr || !std::isfinite(*value)) return {};
    if (valueKind != DG_ET_LENGTH || unitData->lengthUnit != DG_UNIT_METER) return {};
    const int decimals = static_cast<int>(std::clamp(unitData->lengthDecimals, 0, MostDecimals));
    std::ostringstream text;
    text.imbue(std::locale::classic());
    text << std::fixed << std::setprecision(decimals) << *value;
    return GS::UniString(text.str());
}
