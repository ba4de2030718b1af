#include "DGModel.hpp"

// Windows of the dialog manager: messages, hiding, docking, client place and
// size, and the rectangles of items.
namespace DG
{

namespace
{

using Model::Lookup;
using Model::LookupItem;

}  // namespace

short CloseByUser(short dialogId)
{
    Dialog* dialog = Lookup(dialogId);
    if (dialog == nullptr || !dialog->open) return 0;
    const short result = Model::Send(*dialog, MsgClick, CloseBox);
    if (result != 0) ClosePalette(dialogId);
    return result;
}

short SendDialogMessage(short dialogId, short message, short item, std::intptr_t data)
{
    Dialog* dialog = Lookup(dialogId);
    return dialog == nullptr || !dialog->open ? 0 : Model::Send(*dialog, message, item, data);
}

void HidePalette(short dialogId)
{
    if (Dialog* dialog = Lookup(dialogId)) dialog->hidden = true;
}

void ShowPalette(short dialogId)
{
    if (Dialog* dialog = Lookup(dialogId)) dialog->hidden = false;
}

bool IsPaletteHidden(short dialogId)
{
    const Dialog* dialog = Lookup(dialogId);
    return dialog != nullptr && dialog->hidden;
}

void SetPaletteDocked(short dialogId, bool docked)
{
    if (Dialog* dialog = Lookup(dialogId)) dialog->docked = docked;
}

bool IsPaletteDocked(const GS::Guid& guid)
{
    if (guid.IsNull()) return false;
    for (const auto& [id, dialog] : Model::The().dialogs)
        if (dialog->guid == guid) return dialog->docked;
    return false;
}

Point GetClientPosition(short dialogId)
{
    const Dialog* dialog = Lookup(dialogId);
    return dialog == nullptr ? Point {} : dialog->position;
}

void SetClientPosition(short dialogId, short x, short y)
{
    if (Dialog* dialog = Lookup(dialogId)) dialog->position = {x, y};
}

Size GetClientSize(short dialogId)
{
    const Dialog* dialog = Lookup(dialogId);
    return dialog == nullptr ? Size {} : dialog->size;
}

void SetClientSize(short dialogId, short width, short height)
{
    if (Dialog* dialog = Lookup(dialogId)) dialog->size = {width, height};
}

short ResizeByUser(short dialogId, short width, short height)
{
    SetClientSize(dialogId, width, height);
    return SendDialogMessage(dialogId, MsgResize, 0, 0);
}

void SetDialogGrowType(short dialogId, short growType)
{
    if (Dialog* dialog = Lookup(dialogId)) dialog->growType = growType;
}

short GetDialogGrowType(short dialogId)
{
    const Dialog* dialog = Lookup(dialogId);
    return dialog == nullptr ? NoGrow : dialog->growType;
}

void GrowByUser(short dialogId, short width, short height)
{
    SetClientSize(dialogId, width, height);
    GrowData dragging {1, 1};
    SendDialogMessage(dialogId, MsgGrow, 0, reinterpret_cast<std::intptr_t>(&dragging));
    GrowData done {1, 0};
    SendDialogMessage(dialogId, MsgGrow, 0, reinterpret_cast<std::intptr_t>(&done));
}

Rect GetItemRect(short dialogId, short item)
{
    const Item* it = LookupItem(dialogId, item);
    if (it == nullptr) return {};
    return {it->left, it->top, static_cast<short>(it->left + it->width), static_cast<short>(it->top + it->height)};
}

void SetItemRect(short dialogId, short item, const Rect& rect)
{
    if (Item* it = LookupItem(dialogId, item))
    {
        it->left = rect.left;
        it->top = rect.top;
        it->width = static_cast<short>(rect.right - rect.left);
        it->height = static_cast<short>(rect.bottom - rect.top);
    }
}

void BeginMoveGrowItems(short dialogId)
{
    if (Dialog* dialog = Lookup(dialogId)) ++dialog->moveGrowDepth;
}

void EndMoveGrowItems(short dialogId)
{
    Dialog* dialog = Lookup(dialogId);
    if (dialog == nullptr || dialog->moveGrowDepth == 0) return;
    --dialog->moveGrowDepth;
    ++dialog->moveGrowBrackets;
}

void MoveGrowItem(short dialogId, short item, short hMove, short vMove, short hGrow, short vGrow)
{
    Dialog* dialog = Lookup(dialogId);
    Item* it = dialog == nullptr ? nullptr : dialog->FindItem(item);
    if (it == nullptr) return;
    if (dialog->moveGrowDepth == 0) ++dialog->looseMoveGrows;
    it->left = static_cast<short>(it->left + hMove);
    it->top = static_cast<short>(it->top + vMove);
    it->width = static_cast<short>(it->width + hGrow);
    it->height = static_cast<short>(it->height + vGrow);
}

}  // namespace DG
