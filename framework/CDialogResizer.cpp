#include "framework/CDialogResizer.hpp"

#include <algorithm>
#include <cmath>
#include <limits>

#include "DG/DG.hpp"

namespace
{

constexpr double SmallestItemSide = 18.0;

// Toward zero, kept within the range of a dialog coordinate.
std::int16_t Truncated(double value)
{
    constexpr double lowest = std::numeric_limits<std::int16_t>::min();
    constexpr double highest = std::numeric_limits<std::int16_t>::max();
    return static_cast<std::int16_t>(std::clamp(std::trunc(value), lowest, highest));
}

// The client side at which the item, growing by the factor, reaches 18 pixels or
// keeps its own smaller side; a factor of 0 sets no minimum.
std::int16_t MinimumSide(std::int16_t initialSide, std::int16_t itemSide, double grow)
{
    if (grow == 0.0) return 0;
    const double lowest = std::min(SmallestItemSide, static_cast<double>(itemSide));
    return Truncated(initialSide - (itemSide - lowest) / grow);
}

}  // namespace

void CDialogResizer::ClearItems() { items_.Clear(); }

void CDialogResizer::Attach(std::int16_t dialogId)
{
    dialogId_ = dialogId;
    const DG::Size size = DG::GetClientSize(dialogId);
    initialWidth_ = size.width;
    initialHeight_ = size.height;
}

void CDialogResizer::AddItem(std::int16_t dialogId, std::int16_t item, double xMove, double yMove, double widthGrow,
                             double heightGrow)
{
    const DG::Rect rect = DG::GetItemRect(dialogId, item);
    TItemAdjustSpec adjusted;
    adjusted.dialogId = dialogId;
    adjusted.itemId = item;
    adjusted.left = rect.left;
    adjusted.top = rect.top;
    adjusted.width = static_cast<std::int16_t>(rect.right - rect.left);
    adjusted.height = static_cast<std::int16_t>(rect.bottom - rect.top);
    adjusted.xMove = xMove;
    adjusted.yMove = yMove;
    adjusted.widthGrow = widthGrow;
    adjusted.heightGrow = heightGrow;
    if (!items_.Add(adjusted)) return;
    RaiseMinimum(dialogId, MinimumSide(initialWidth_, adjusted.width, widthGrow),
                 MinimumSide(initialHeight_, adjusted.height, heightGrow));
}

void CDialogResizer::RaiseMinimum(std::int16_t dialogId, std::int16_t minWidth, std::int16_t minHeight)
{
    int index = FindDialogData(dialogId);
    if (index < 0)
    {
        TDialogData created;
        created.dialogId = dialogId;
        if (!dialogs_.Add(created)) return;
        index = static_cast<int>(dialogs_.GetSize()) - 1;
    }
    TDialogData& data = dialogs_[static_cast<std::uint32_t>(index)];
    data.minWidth = std::max(data.minWidth, minWidth);
    data.minHeight = std::max(data.minHeight, minHeight);
}

// Targets come from the initial rectangles, so resizing again and again never
// gathers rounding errors.
void CDialogResizer::Resize(bool withoutBracket)
{
    std::int16_t dx = 0;
    std::int16_t dy = 0;
    GetSizeChange(dx, dy);
    if (!withoutBracket) DG::BeginMoveGrowItems(dialogId_);
    for (std::uint32_t i = 0; i < items_.GetSize(); ++i) Apply(items_[i], dx, dy);
    if (!withoutBracket) DG::EndMoveGrowItems(dialogId_);
}

void CDialogResizer::Apply(const TItemAdjustSpec& adjusted, std::int16_t dx, std::int16_t dy) const
{
    const int index = FindDialogData(adjusted.dialogId);
    if (index >= 0)
    {
        const TDialogData& limits = dialogs_[static_cast<std::uint32_t>(index)];
        if (initialHeight_ + dy < limits.minHeight) dy = static_cast<std::int16_t>(limits.minHeight - initialHeight_);
        if (initialWidth_ + dx < limits.minWidth) dx = static_cast<std::int16_t>(limits.minWidth - initialWidth_);
    }
    const DG::Rect now = DG::GetItemRect(adjusted.dialogId, adjusted.itemId);
    const double left = adjusted.left + adjusted.xMove * dx;
    const double top = adjusted.top + adjusted.yMove * dy;
    const double width = adjusted.width + adjusted.widthGrow * dx;
    const double height = adjusted.height + adjusted.heightGrow * dy;
    DG::MoveGrowItem(adjusted.dialogId, adjusted.itemId, Truncated(left - now.left), Truncated(top - now.top),
                     Truncated(width - (now.right - now.left)), Truncated(height - (now.bottom - now.top)));
}

void CDialogResizer::GetSizeChange(std::int16_t& dx, std::int16_t& dy) const
{
    const DG::Size size = DG::GetClientSize(dialogId_);
    dx = static_cast<std::int16_t>(size.width - initialWidth_);
    dy = static_cast<std::int16_t>(size.height - initialHeight_);
}

int CDialogResizer::FindDialogData(std::int16_t dialogId) const
{
    for (std::uint32_t i = 0; i < dialogs_.GetSize(); ++i)
        if (dialogs_[i].dialogId == dialogId) return static_cast<int>(i);
    return -1;
}
