#pragma once
#include <cstdint>

#include "framework/TypVektor.hpp"

// Moves and grows dialog items when a dialog is resized. Each item follows shares
// of the size change, measured from the size at Attach; the change is held back so
// that no growing item becomes smaller than 18 pixels.
class CDialogResizer
{
public:
    struct TItemAdjustSpec
    {
        std::int16_t dialogId = 0;
        std::int16_t itemId = 0;
        std::int16_t left = 0;
        std::int16_t top = 0;
        std::int16_t width = 0;
        std::int16_t height = 0;
        double xMove = 0.0;
        double yMove = 0.0;
        double widthGrow = 0.0;
        double heightGrow = 0.0;
    };

    struct TDialogData
    {
        std::int16_t dialogId = 0;
        std::int16_t minWidth = 0;
        std::int16_t minHeight = 0;
    };

    CDialogResizer() = default;

    // Forgets the registered items, so that they can be registered again from
    // where they stand now; the dialogs' minimum sizes stay.
    void ClearItems();
    void Attach(std::int16_t dialogId);
    void AddItem(std::int16_t dialogId, std::int16_t item, double xMove, double yMove, double widthGrow, double heightGrow);
    // Without the bracket the caller brackets the moves itself.
    void Resize(bool withoutBracket);
    void GetSizeChange(std::int16_t& dx, std::int16_t& dy) const;
    int FindDialogData(std::int16_t dialogId) const;

private:
    void RaiseMinimum(std::int16_t dialogId, std::int16_t minWidth, std::int16_t minHeight);
    void Apply(const TItemAdjustSpec& spec, std::int16_t dx, std::int16_t dy) const;

    std::int16_t initialWidth_ = 0;
    std::int16_t initialHeight_ = 0;
    TypVektor<TItemAdjustSpec> items_;
    TypVektor<TDialogData> dialogs_;
    std::int16_t dialogId_ = 0;
};
