#include <algorithm>

#include "DGModel.hpp"

// How items look: icons, push-menu entries, tooltips and fonts.
namespace DG
{

namespace
{

using Model::LookupItem;

bool HasEntry(const Item& item, short entry) { return entry >= 1 && static_cast<std::size_t>(entry) <= item.entryIcons.size(); }

std::size_t At(short entry) { return static_cast<std::size_t>(entry - 1); }

// The pop-up's entries evened out, or null for an unknown item.
Item* PopupOf(short dialogId, short item)
{
    Item* it = LookupItem(dialogId, item);
    if (it != nullptr) Model::EvenOutEntries(*it);
    return it;
}

void KeepSelectionWithin(Item& item)
{
    const auto count = static_cast<short>(item.entryIcons.size());
    if (count == 0)
        item.selected = 0;
    else if (!HasEntry(item, item.selected))
        item.selected = item.selected < 1 ? short(1) : count;
}

}  // namespace

namespace Model
{

void EvenOutEntries(Item& item)
{
    const std::size_t count = std::max(item.entries.size(), item.entryIcons.size());
    item.entries.resize(count);
    item.entryIcons.resize(count, 0);
    item.entryEnabled.resize(count, true);
    item.entryData.resize(count, 0);
}

}  // namespace Model

short GetItemIcon(short dialogId, short item)
{
    const Item* it = LookupItem(dialogId, item);
    return it == nullptr ? 0 : it->icon;
}

void SetItemIcon(short dialogId, short item, short icon)
{
    if (Item* it = LookupItem(dialogId, item)) it->icon = icon;
}

short PopupGetItemCount(short dialogId, short item)
{
    const Item* it = PopupOf(dialogId, item);
    return it == nullptr ? 0 : static_cast<short>(it->entryIcons.size());
}

void PopupSetItemCount(short dialogId, short item, short count)
{
    Item* it = PopupOf(dialogId, item);
    if (it == nullptr) return;
    const std::size_t size = count < 0 ? 0U : static_cast<std::size_t>(count);
    it->entries.resize(size);
    it->entryIcons.resize(size, 0);
    it->entryEnabled.resize(size, true);
    it->entryData.resize(size, 0);
    KeepSelectionWithin(*it);
}

void PopupAppendItem(short dialogId, short item, const GS::UniString& text)
{
    Item* it = LookupItem(dialogId, item);
    if (it == nullptr) return;
    it->entries.resize(it->entryIcons.size());
    it->entries.push_back(text);
    it->entryIcons.push_back(0);
}

GS::UniString PopupGetItemText(short dialogId, short item, short entry)
{
    const Item* it = LookupItem(dialogId, item);
    if (it == nullptr || !HasEntry(*it, entry) || static_cast<std::size_t>(entry) > it->entries.size()) return {};
    return it->entries[static_cast<std::size_t>(entry - 1)];
}

short PopupGetItemIcon(short dialogId, short item, short entry)
{
    const Item* it = PopupOf(dialogId, item);
    return it == nullptr || !HasEntry(*it, entry) ? 0 : it->entryIcons[At(entry)];
}

void PopupSetItemIcon(short dialogId, short item, short entry, short icon)
{
    Item* it = PopupOf(dialogId, item);
    if (it != nullptr && HasEntry(*it, entry)) it->entryIcons[At(entry)] = icon;
}

short PopupGetSelected(short dialogId, short item)
{
    const Item* it = LookupItem(dialogId, item);
    return it == nullptr ? 0 : it->selected;
}

void PopupSelectItem(short dialogId, short item, short entry)
{
    Item* it = PopupOf(dialogId, item);
    if (it != nullptr && HasEntry(*it, entry)) it->selected = entry;
}

void PopupInsertItem(short dialogId, short item, short entry)
{
    Item* it = PopupOf(dialogId, item);
    if (it == nullptr) return;
    const std::size_t at = HasEntry(*it, entry) ? At(entry) : it->entries.size();
    it->entries.insert(it->entries.begin() + static_cast<std::ptrdiff_t>(at), GS::UniString());
    it->entryIcons.insert(it->entryIcons.begin() + static_cast<std::ptrdiff_t>(at), short(0));
    it->entryEnabled.insert(it->entryEnabled.begin() + static_cast<std::ptrdiff_t>(at), true);
    it->entryData.insert(it->entryData.begin() + static_cast<std::ptrdiff_t>(at), 0);
    if (it->selected > static_cast<short>(at)) ++it->selected;
    KeepSelectionWithin(*it);
}

void PopupDeleteItem(short dialogId, short item, short entry)
{
    Item* it = PopupOf(dialogId, item);
    if (it == nullptr) return;
    if (entry == AllItems)
    {
        it->entries.clear();
        it->entryIcons.clear();
        it->entryEnabled.clear();
        it->entryData.clear();
    }
    else if (HasEntry(*it, entry))
    {
        it->entries.erase(it->entries.begin() + static_cast<std::ptrdiff_t>(At(entry)));
        it->entryIcons.erase(it->entryIcons.begin() + static_cast<std::ptrdiff_t>(At(entry)));
        it->entryEnabled.erase(it->entryEnabled.begin() + static_cast<std::ptrdiff_t>(At(entry)));
        it->entryData.erase(it->entryData.begin() + static_cast<std::ptrdiff_t>(At(entry)));
        if (it->selected > entry) --it->selected;
    }
    KeepSelectionWithin(*it);
}

void PopupSetItemText(short dialogId, short item, short entry, const GS::UniString& text)
{
    Item* it = PopupOf(dialogId, item);
    if (it != nullptr && HasEntry(*it, entry)) it->entries[At(entry)] = text;
}

void PopupEnableItem(short dialogId, short item, short entry, bool enable)
{
    Item* it = PopupOf(dialogId, item);
    if (it != nullptr && HasEntry(*it, entry)) it->entryEnabled[At(entry)] = enable;
}

bool PopupIsItemEnabled(short dialogId, short item, short entry)
{
    const Item* it = PopupOf(dialogId, item);
    return it != nullptr && HasEntry(*it, entry) && it->entryEnabled[At(entry)];
}

short GetItemHelpIndex(short dialogId, short item)
{
    const Item* it = LookupItem(dialogId, item);
    return it == nullptr ? 0 : it->helpIndex;
}

void SetItemHelpIndex(short dialogId, short item, short index)
{
    if (Item* it = LookupItem(dialogId, item)) it->helpIndex = index;
}

GS::UniString GetItemTooltip(short dialogId, short item)
{
    const Item* it = LookupItem(dialogId, item);
    if (it == nullptr || it->helpIndex < 1 || static_cast<std::size_t>(it->helpIndex) > it->tooltips.size()) return {};
    return it->tooltips[static_cast<std::size_t>(it->helpIndex - 1)].text;
}

short GetItemFont(short dialogId, short item)
{
    const Item* it = LookupItem(dialogId, item);
    return it == nullptr ? 0 : it->font;
}

void SetItemFont(short dialogId, short item, short font)
{
    if (Item* it = LookupItem(dialogId, item)) it->font = font;
}

void PopupSetItemData(short dialogId, short item, short entry, std::int64_t data)
{
    Item* it = PopupOf(dialogId, item);
    if (it != nullptr && HasEntry(*it, entry)) it->entryData[At(entry)] = data;
}

std::int64_t PopupGetItemData(short dialogId, short item, short entry)
{
    const Item* it = PopupOf(dialogId, item);
    return it != nullptr && HasEntry(*it, entry) ? it->entryData[At(entry)] : 0;
}

void SetItemMinDouble(short dialogId, short item, double minimum)
{
    if (Item* it = Model::LookupItem(dialogId, item)) it->minValue = minimum;
}

double GetItemMinDouble(short dialogId, short item)
{
    const Item* it = Model::LookupItem(dialogId, item);
    return it == nullptr ? 0.0 : it->minValue;
}

}  // namespace DG
