// User items: message enabling and their pictures.
#include <algorithm>

#include "DG/DG.hpp"
#include "DGModel.hpp"

namespace DG
{

namespace
{

bool HasEnabled(const Dialog& dialog, short message)
{
    return std::find(dialog.enabledMessages.begin(), dialog.enabledMessages.end(), message) != dialog.enabledMessages.end();
}

}  // namespace

void EnableMessage(short dialogId, short item, short message)
{
    Dialog* dialog = Model::Lookup(dialogId);
    if (dialog == nullptr || item != AllItems || HasEnabled(*dialog, message)) return;
    dialog->enabledMessages.push_back(message);
}

const NewDisplay::NativeImage* UpdateUserItem(short dialogId, short item)
{
    Dialog* dialog = Model::Lookup(dialogId);
    if (dialog == nullptr || !dialog->open || !HasEnabled(*dialog, MsgUserUpdate)) return nullptr;
    Item* found = dialog->FindItem(item);
    if (found == nullptr || found->type != "user") return nullptr;
    NewDisplay::NativeImage picture(static_cast<std::uint32_t>(std::max<short>(found->width, 0)),
                                    static_cast<std::uint32_t>(std::max<short>(found->height, 0)));
    UserUpdateData data;
    data.dialogId = dialogId;
    data.item = item;
    data.rect = GetItemRect(dialogId, item);
    data.picture = &picture;
    Model::Send(*dialog, MsgUserUpdate, item, reinterpret_cast<std::intptr_t>(&data));
    // The callback may have closed or rebuilt the dialog.
    Item* drawn = Model::LookupItem(dialogId, item);
    if (drawn == nullptr) return nullptr;
    drawn->picture = std::move(picture);
    return &*drawn->picture;
}

void InvalidateItem(short dialogId, short item) { UpdateUserItem(dialogId, item); }

}  // namespace DG
