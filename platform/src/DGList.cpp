#include "DGModel.hpp"

// List boxes: rows with a text and an icon per tab field, user data and the
// selection; header items; and the user's clicks on them.
namespace DG
{

namespace
{

using Model::Lookup;
using Model::LookupItem;

std::size_t At(short number) { return static_cast<std::size_t>(number - 1); }

ListRow* RowOf(short dialogId, short listItem, short row)
{
    Item* it = LookupItem(dialogId, listItem);
    if (it == nullptr || row < 1 || At(row) >= it->rows.size()) return nullptr;
    return &it->rows[At(row)];
}

// The cell, made when the row has none there yet.
ListCell* CellOf(short dialogId, short listItem, short row, short field)
{
    ListRow* found = RowOf(dialogId, listItem, row);
    if (found == nullptr || field < 1) return nullptr;
    if (found->cells.size() < At(field) + 1) found->cells.resize(At(field) + 1);
    return &found->cells[At(field)];
}

HeaderItem* HeaderOf(short dialogId, short listItem, short headerItem)
{
    Item* it = LookupItem(dialogId, listItem);
    if (it == nullptr || headerItem < 1 || At(headerItem) >= it->headerItems.size()) return nullptr;
    return &it->headerItems[At(headerItem)];
}

void SelectRows(short dialogId, short listItem, short row, bool select)
{
    Item* it = LookupItem(dialogId, listItem);
    if (it == nullptr) return;
    if (row == AllItems)
    {
        for (ListRow& each : it->rows) each.selected = select;
    }
    else if (ListRow* found = RowOf(dialogId, listItem, row))
    {
        found->selected = select;
    }
}

}  // namespace

short ListGetItemCount(short dialogId, short listItem)
{
    const Item* it = LookupItem(dialogId, listItem);
    return it == nullptr ? 0 : static_cast<short>(it->rows.size());
}

void ListInsertItem(short dialogId, short listItem, short row)
{
    Item* it = LookupItem(dialogId, listItem);
    if (it == nullptr) return;
    const std::size_t at = row >= 1 && At(row) < it->rows.size() ? At(row) : it->rows.size();
    it->rows.insert(it->rows.begin() + static_cast<std::ptrdiff_t>(at), ListRow {});
}

void ListDeleteItem(short dialogId, short listItem, short row)
{
    Item* it = LookupItem(dialogId, listItem);
    if (it == nullptr) return;
    if (row == AllItems)
        it->rows.clear();
    else if (row >= 1 && At(row) < it->rows.size())
        it->rows.erase(it->rows.begin() + static_cast<std::ptrdiff_t>(At(row)));
}

void ListSetTabItemText(short dialogId, short listItem, short row, short field, const GS::UniString& text)
{
    if (ListCell* cell = CellOf(dialogId, listItem, row, field)) cell->text = text;
}

Icon ListGetTabItemIcon(short dialogId, short listItem, short row, short field)
{
    const ListRow* found = RowOf(dialogId, listItem, row);
    if (found == nullptr || field < 1 || At(field) >= found->cells.size()) return {};
    return found->cells[At(field)].icon;
}

void ListSetTabItemIcon(short dialogId, short listItem, short row, short field, const Icon& icon)
{
    if (ListCell* cell = CellOf(dialogId, listItem, row, field)) cell->icon = icon;
}

std::int64_t ListGetItemUserData(short dialogId, short listItem, short row)
{
    const ListRow* found = RowOf(dialogId, listItem, row);
    return found == nullptr ? 0 : found->userData;
}

void ListSetItemUserData(short dialogId, short listItem, short row, std::int64_t userData)
{
    if (ListRow* found = RowOf(dialogId, listItem, row)) found->userData = userData;
}

void ListSelectItem(short dialogId, short listItem, short row) { SelectRows(dialogId, listItem, row, true); }
void ListDeselectItem(short dialogId, short listItem, short row) { SelectRows(dialogId, listItem, row, false); }

short ListGetSelected(short dialogId, short listItem, short after)
{
    const Item* it = LookupItem(dialogId, listItem);
    if (it == nullptr) return 0;
    for (std::size_t i = after < 0 ? 0U : static_cast<std::size_t>(after); i < it->rows.size(); ++i)
        if (it->rows[i].selected) return static_cast<short>(i + 1);
    return 0;
}

short ListGetSelectedCount(short dialogId, short listItem)
{
    const Item* it = LookupItem(dialogId, listItem);
    if (it == nullptr) return 0;
    short count = 0;
    for (const ListRow& row : it->rows) count = static_cast<short>(count + (row.selected ? 1 : 0));
    return count;
}

void ListSetHeaderFlags(short dialogId, short listItem, bool first, bool second, bool third)
{
    Item* it = LookupItem(dialogId, listItem);
    if (it == nullptr) return;
    it->headerSwitches[0] = first;
    it->headerSwitches[1] = second;
    it->headerSwitches[2] = third;
}

short ListGetHeaderItemCount(short dialogId, short listItem)
{
    const Item* it = LookupItem(dialogId, listItem);
    return it == nullptr ? 0 : static_cast<short>(it->headerItems.size());
}

void ListSetHeaderItemCount(short dialogId, short listItem, short count)
{
    if (Item* it = LookupItem(dialogId, listItem)) it->headerItems.resize(count < 0 ? 0U : static_cast<std::size_t>(count));
}

void ListSetHeaderItemFlags(short dialogId, short listItem, short headerItem, short flags, bool on)
{
    if (HeaderItem* header = HeaderOf(dialogId, listItem, headerItem))
    {
        header->flags = flags;
        header->on = on;
    }
}

void ListSetHeaderItemText(short dialogId, short listItem, short headerItem, const GS::UniString& text)
{
    if (HeaderItem* header = HeaderOf(dialogId, listItem, headerItem)) header->text = text;
}

void ListSetHeaderItemIcon(short dialogId, short listItem, short headerItem, const Icon& icon)
{
    if (HeaderItem* header = HeaderOf(dialogId, listItem, headerItem)) header->icon = icon;
}

void ListSetHeaderItemMinSize(short dialogId, short listItem, short headerItem, short minSize)
{
    TabField field = ListGetTabField(dialogId, listItem, headerItem);
    field.headerMinSize = minSize;
    ListSetTabField(dialogId, listItem, headerItem, field);
}

short ListGetHeaderItemArrowType(short dialogId, short listItem, short headerItem)
{
    const HeaderItem* header = HeaderOf(dialogId, listItem, headerItem);
    return header == nullptr ? 0 : header->arrow;
}

void ListSetHeaderItemArrowType(short dialogId, short listItem, short headerItem, short arrow)
{
    if (HeaderItem* header = HeaderOf(dialogId, listItem, headerItem)) header->arrow = arrow;
}

short ClickListRow(short dialogId, short listItem, short row, short x, bool add)
{
    Dialog* dialog = Lookup(dialogId);
    if (dialog == nullptr || dialog->FindItem(listItem) == nullptr) return 0;
    if (!add) ListDeselectItem(dialogId, listItem, AllItems);
    if (row != AllItems) ListSelectItem(dialogId, listItem, row);
    ListClickData click {row, x};
    const short result = Model::Send(*dialog, MsgClick, listItem, reinterpret_cast<std::intptr_t>(&click));
    if (!dialog->open) return result;
    Model::Send(*dialog, MsgChange, listItem);
    return result;
}

short ClickListHeader(short dialogId, short listItem, short headerItem)
{
    Dialog* dialog = Lookup(dialogId);
    if (dialog == nullptr || dialog->FindItem(listItem) == nullptr) return 0;
    ListHeaderClickData click {listItem, headerItem};
    return Model::Send(*dialog, MsgListHeaderClick, listItem, reinterpret_cast<std::intptr_t>(&click));
}

}  // namespace DG
