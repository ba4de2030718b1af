#include "frame/UInterface.hpp"

#include <algorithm>
#include <limits>

#include "DG/DG.hpp"
#include "RS/ResourceModule.hpp"

namespace
{

bool FitsStringListNumber(std::int32_t value) { return value >= 1 && value <= std::numeric_limits<std::int16_t>::max(); }

// Resource numbers are 16-bit; anything else names no entry and gives an empty
// text instead of wrapping onto another entry.
GS::UniString FetchAlertText(std::int32_t stringListId, std::int32_t index, GSResModule module)
{
    if (!FitsStringListNumber(stringListId) || !FitsStringListNumber(index)) return {};
    return RS::GetIndString(static_cast<std::int16_t>(stringListId), static_cast<std::int16_t>(index), module);
}

}  // namespace

std::int16_t ShowAlert(std::int16_t alertType, std::int32_t stringListId, std::int32_t titleIndex, std::int32_t largeTextIndex,
                       std::int32_t smallTextIndex, std::int32_t button1Index, std::int32_t button2Index,
                       std::int32_t button3Index, GSResModule module, std::int32_t /*stringType: every list read here is text*/)
{
    DG::AlertRecord alert;
    alert.type = alertType;
    alert.title = FetchAlertText(stringListId, titleIndex, module);
    alert.text1 = FetchAlertText(stringListId, largeTextIndex, module);
    alert.text2 = FetchAlertText(stringListId, smallTextIndex, module);
    alert.button1 = FetchAlertText(stringListId, button1Index, module);
    alert.button2 = FetchAlertText(stringListId, button2Index, module);
    alert.button3 = FetchAlertText(stringListId, button3Index, module);
    return DG::Alert(alert);
}

std::int16_t FitTabFieldItems(std::int16_t dialogId, std::int16_t listItem, std::int16_t margin)
{
    const short rowHeight = DG::ListGetRowHeight(dialogId, listItem);
    const short listWidth = DG::GetItemWidth(dialogId, listItem);
    const short count = DG::ListGetTabFieldCount(dialogId, listItem);
    for (short field = 1; field <= count; ++field)
    {
        const DG::TabField tab = DG::ListGetTabField(dialogId, listItem, field);
        if (tab.item == 0) continue;
        // A column reaching past the list's right edge is cut at it.
        const short end = listWidth > tab.begin && listWidth < tab.end ? listWidth : tab.end;
        const int width = std::max(0, end - tab.begin - margin);
        const int height = std::max(0, rowHeight - margin);
        DG::SetItemSize(dialogId, tab.item, static_cast<short>(width), static_cast<short>(height));
    }
    return count;
}

std::int16_t ClearTabFieldItems(std::int16_t dialogId, std::int16_t listItem)
{
    const short count = DG::ListGetTabFieldCount(dialogId, listItem);
    for (short field = 1; field <= count; ++field)
    {
        DG::TabField tab = DG::ListGetTabField(dialogId, listItem, field);
        tab.item = 0;
        DG::ListSetTabField(dialogId, listItem, field, tab);
    }
    return count;
}

// The last column ends at the list's right edge; a column squeezed below its
// header's minimum keeps that minimum and pushes its left neighbours along.
void FitTabFieldsToList(std::int16_t dialogId, std::int16_t listItem)
{
    short rightEdge = DG::GetItemWidth(dialogId, listItem);
    for (short field = DG::ListGetTabFieldCount(dialogId, listItem); field >= 1; --field)
    {
        DG::TabField tab = DG::ListGetTabField(dialogId, listItem, field);
        tab.end = rightEdge;
        if (tab.end - tab.begin < tab.headerMinSize) tab.begin = static_cast<short>(tab.end - tab.headerMinSize);
        DG::ListSetTabField(dialogId, listItem, field, tab);
        rightEdge = tab.begin;
    }
}
