// List views: entries with a text, user data, a picture and a text colour, the
// pictures' and entries' size, the view mode, and their picture as the user sees it.
#include <algorithm>

#include "DG/DG.hpp"
#include "DGModel.hpp"

namespace DG
{

using Model::LookupItem;

namespace
{

// The entries' data kept as long as their texts.
Item* ListView(short dialogId, short listItem)
{
    Item* item = LookupItem(dialogId, listItem);
    if (item != nullptr) item->viewEntries.resize(item->entries.size());
    return item;
}

bool HasEntry(const Item& item, short entry) { return entry >= 1 && static_cast<std::size_t>(entry) <= item.entries.size(); }
std::size_t At(short entry) { return static_cast<std::size_t>(entry - 1); }

ListViewEntry* EntryOf(short dialogId, short listItem, short entry)
{
    Item* item = ListView(dialogId, listItem);
    return item != nullptr && HasEntry(*item, entry) ? &item->viewEntries[At(entry)] : nullptr;
}

void KeepSelectionValid(Item& item)
{
    if (item.value > static_cast<double>(item.entries.size())) item.value = 0;
}

}  // namespace

short ListViewGetItemCount(short dialogId, short listItem)
{
    const Item* item = LookupItem(dialogId, listItem);
    return item == nullptr ? 0 : static_cast<short>(item->entries.size());
}

void ListViewDeleteAll(short dialogId, short listItem) { ListViewDeleteItem(dialogId, listItem, AllItems); }

void ListViewInsertBottom(short dialogId, short listItem, const GS::UniString& text)
{
    const short entry = static_cast<short>(ListViewGetItemCount(dialogId, listItem) + 1);
    ListViewInsertItem(dialogId, listItem, entry);
    ListViewSetItemText(dialogId, listItem, entry, text);
}

GS::UniString ListViewGetItemText(short dialogId, short listItem, short entry)
{
    const Item* item = LookupItem(dialogId, listItem);
    if (item == nullptr || !HasEntry(*item, entry)) return {};
    return item->entries[At(entry)];
}

short ListViewGetSelected(short dialogId, short listItem)
{
    const Item* item = LookupItem(dialogId, listItem);
    if (item == nullptr) return 0;
    const auto selected = static_cast<short>(item->value);
    return HasEntry(*item, selected) ? selected : 0;
}

void ListViewSelectItem(short dialogId, short listItem, short entry)
{
    if (Item* item = LookupItem(dialogId, listItem)) item->value = HasEntry(*item, entry) ? entry : 0;
}

void ListViewInsertItem(short dialogId, short listItem, short entry)
{
    Item* item = ListView(dialogId, listItem);
    if (item == nullptr) return;
    const std::size_t at = HasEntry(*item, entry) ? At(entry) : item->entries.size();
    item->entries.insert(item->entries.begin() + static_cast<std::ptrdiff_t>(at), GS::UniString());
    item->viewEntries.insert(item->viewEntries.begin() + static_cast<std::ptrdiff_t>(at), ListViewEntry {});
    const auto selected = static_cast<short>(item->value);
    if (HasEntry(*item, selected) && static_cast<std::size_t>(selected) > at) item->value = selected + 1;
}

void ListViewDeleteItem(short dialogId, short listItem, short entry)
{
    Item* item = ListView(dialogId, listItem);
    if (item == nullptr) return;
    if (entry == AllItems)
    {
        item->entries.clear();
        item->viewEntries.clear();
        item->value = 0;
        return;
    }
    if (!HasEntry(*item, entry)) return;
    item->entries.erase(item->entries.begin() + static_cast<std::ptrdiff_t>(At(entry)));
    item->viewEntries.erase(item->viewEntries.begin() + static_cast<std::ptrdiff_t>(At(entry)));
    const auto selected = static_cast<short>(item->value);
    if (selected == entry) item->value = 0;
    if (selected > entry) item->value = selected - 1;
    KeepSelectionValid(*item);
}

void ListViewSetItemText(short dialogId, short listItem, short entry, const GS::UniString& text)
{
    Item* item = ListView(dialogId, listItem);
    if (item != nullptr && HasEntry(*item, entry)) item->entries[At(entry)] = text;
}

std::int64_t ListViewGetItemUserData(short dialogId, short listItem, short entry)
{
    const ListViewEntry* found = EntryOf(dialogId, listItem, entry);
    return found == nullptr ? 0 : found->userData;
}

void ListViewSetItemUserData(short dialogId, short listItem, short entry, std::int64_t userData)
{
    if (ListViewEntry* found = EntryOf(dialogId, listItem, entry)) found->userData = userData;
}

NativeIcon ListViewGetItemImage(short dialogId, short listItem, short entry)
{
    const ListViewEntry* found = EntryOf(dialogId, listItem, entry);
    return found == nullptr ? NativeIcon() : found->image;
}

void ListViewSetItemImage(short dialogId, short listItem, short entry, const NativeIcon& image)
{
    if (ListViewEntry* found = EntryOf(dialogId, listItem, entry)) found->image = image;
}

RGBColor16 ListViewGetItemColor(short dialogId, short listItem, short entry)
{
    const ListViewEntry* found = EntryOf(dialogId, listItem, entry);
    return found == nullptr ? RGBColor16 {} : found->color;
}

void ListViewSetItemColor(short dialogId, short listItem, short entry, const RGBColor16& color)
{
    if (ListViewEntry* found = EntryOf(dialogId, listItem, entry)) found->color = color;
}

Size ListViewGetImageSize(short dialogId, short listItem)
{
    const Item* item = LookupItem(dialogId, listItem);
    return item == nullptr ? Size {} : item->imageSize;
}

void ListViewSetImageSize(short dialogId, short listItem, short width, short height)
{
    if (Item* item = LookupItem(dialogId, listItem)) item->imageSize = {width, height};
}

Size ListViewGetItemSize(short dialogId, short listItem)
{
    const Item* item = LookupItem(dialogId, listItem);
    return item == nullptr ? Size {} : item->entrySize;
}

void ListViewSetItemSize(short dialogId, short listItem, short width, short height)
{
    if (Item* item = LookupItem(dialogId, listItem)) item->entrySize = {width, height};
}

short ListViewGetViewMode(short dialogId, short listItem)
{
    const Item* item = LookupItem(dialogId, listItem);
    return item == nullptr ? 0 : item->viewMode;
}

void ListViewSetViewMode(short dialogId, short listItem, short mode)
{
    if (Item* item = LookupItem(dialogId, listItem)) item->viewMode = mode;
}

void ListViewDisableDraw(short dialogId, short listItem)
{
    if (Item* item = LookupItem(dialogId, listItem)) ++item->drawHeld;
}

void ListViewEnableDraw(short dialogId, short listItem)
{
    Item* item = LookupItem(dialogId, listItem);
    if (item != nullptr && item->drawHeld > 0) --item->drawHeld;
}

bool ListViewIsDrawEnabled(short dialogId, short listItem)
{
    const Item* item = LookupItem(dialogId, listItem);
    return item != nullptr && item->drawHeld == 0;
}

namespace
{

std::uint8_t Channel8(std::uint16_t channel) { return static_cast<std::uint8_t>(channel >> 8); }

void Fill(NewDisplay::NativeImage& image, int left, int top, int width, int height, const Gfx::Color& color)
{
    for (int y = top; y < top + height; ++y)
        for (int x = left; x < left + width; ++x) image.BlendPixel(x, y, color);
}

void Frame(NewDisplay::NativeImage& image, int left, int top, int width, int height, const Gfx::Color& color)
{
    Fill(image, left, top, width, 1, color);
    Fill(image, left, top + height - 1, width, 1, color);
    Fill(image, left, top, 1, height, color);
    Fill(image, left + width - 1, top, 1, height, color);
}

}  // namespace

NewDisplay::NativeImage ListViewPicture(short dialogId, short listItem)
{
    Item* item = ListView(dialogId, listItem);
    if (item == nullptr) return NewDisplay::NativeImage(0, 0);
    const int cellWidth = std::max<int>(item->entrySize.width, 1);
    const int cellHeight = std::max<int>(item->entrySize.height, 1);
    const int columns = item->viewMode == 0 ? std::max(1, item->width / cellWidth) : 1;
    const int count = static_cast<int>(item->entries.size());
    const int rows = std::max(1, (count + columns - 1) / columns);
    NewDisplay::NativeImage picture(static_cast<std::uint32_t>(cellWidth * columns),
                                    static_cast<std::uint32_t>(cellHeight * rows));
    Fill(picture, 0, 0, cellWidth * columns, cellHeight * rows, {255, 255, 255, 255});
    const int imageWidth = item->imageSize.width;
    const int imageHeight = item->imageSize.height;
    for (int i = 0; i < count; ++i)
    {
        const int left = (i % columns) * cellWidth;
        const int top = (i / columns) * cellHeight;
        const ListViewEntry& entry = item->viewEntries[static_cast<std::size_t>(i)];
        const int imageLeft = item->viewMode == 0 ? left + (cellWidth - imageWidth) / 2 : left + 1;
        const int imageTop = item->viewMode == 0 ? top + 2 : top + (cellHeight - imageHeight) / 2;
        if (!entry.image.IsEmpty())
        {
            const NewDisplay::NativeImage& image = entry.image.GetPicture();
            for (std::uint32_t y = 0; y < image.GetHeight(); ++y)
                for (std::uint32_t x = 0; x < image.GetWidth(); ++x)
                    picture.BlendPixel(imageLeft + static_cast<int>(x), imageTop + static_cast<int>(y),
                                       image.GetPixel(static_cast<std::int32_t>(x), static_cast<std::int32_t>(y)));
        }
        // The name as a bar of its length in its colour.
        const Gfx::Color ink(Channel8(entry.color.red), Channel8(entry.color.green), Channel8(entry.color.blue));
        const int textLength =
            std::min(static_cast<int>(item->entries[static_cast<std::size_t>(i)].ToUtf8().size()) * 5, cellWidth - 4);
        if (item->viewMode == 0)
            Fill(picture, left + (cellWidth - textLength) / 2, top + imageHeight + 6, textLength, 6, ink);
        else
            Fill(picture, imageLeft + imageWidth + 4, top + cellHeight / 2 - 3, std::min(textLength, cellWidth - imageWidth - 8),
                 6, ink);
        if (static_cast<short>(item->value) == i + 1) Frame(picture, left, top, cellWidth, cellHeight, {0, 90, 200, 255});
    }
    return picture;
}

}  // namespace DG
