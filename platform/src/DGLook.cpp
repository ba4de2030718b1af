#include "DGModel.hpp"

// How items look: icons, push-menu entries, tooltips and fonts.
namespace DG {

namespace {

using Model::LookupItem;

bool HasEntry(const Item& item, short entry)
{
    return entry >= 1 && static_cast<std::size_t>(entry) <= item.entryIcons.size();
}

}  // namespace

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
    const Item* it = LookupItem(dialogId, item);
    return it == nullptr ? 0 : static_cast<short>(it->entryIcons.size());
}

void PopupSetItemCount(short dialogId, short item, short count)
{
    Item* it = LookupItem(dialogId, item);
    if (it == nullptr) return;
    it->entryIcons.resize(count < 0 ? 0U : static_cast<std::size_t>(count), 0);
    if (it->entries.size() > it->entryIcons.size()) it->entries.resize(it->entryIcons.size());
    if (it->entryIcons.empty())
        it->selected = 0;
    else if (!HasEntry(*it, it->selected))
        it->selected = it->selected < 1 ? short(1) : count;
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
    const Item* it = LookupItem(dialogId, item);
    return it == nullptr || !HasEntry(*it, entry) ? 0 : it->entryIcons[static_cast<std::size_t>(entry - 1)];
}

void PopupSetItemIcon(short dialogId, short item, short entry, short icon)
{
    Item* it = LookupItem(dialogId, item);
    if (it != nullptr && HasEntry(*it, entry)) it->entryIcons[static_cast<std::size_t>(entry - 1)] = icon;
}

short PopupGetSelected(short dialogId, short item)
{
    const Item* it = LookupItem(dialogId, item);
    return it == nullptr ? 0 : it->selected;
}

void PopupSelectItem(short dialogId, short item, short entry)
{
    Item* it = LookupItem(dialogId, item);
    if (it != nullptr && HasEntry(*it, entry)) it->selected = entry;
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

}  // namespace DG
