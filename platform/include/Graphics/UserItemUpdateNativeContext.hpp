#pragma once
#include "DG/DG.hpp"
#include "Graphics/NativeContext.hpp"

namespace NewDisplay
{

// The drawing context of a user item's update message: it draws into the
// picture that the dialog manager keeps for the item.
class UserItemUpdateNativeContext : public NativeContext
{
public:
    // The data the update message carries; it names the item's picture.
    explicit UserItemUpdateNativeContext(const DG::UserUpdateData* data) : NativeContext(*data->picture) {}
};

}  // namespace NewDisplay
