#pragma once
#include <cstdint>

#include "framework/CDialogBase.hpp"

// The modal question the layer check asks when the tool's layer was deleted or
// is hidden: the user picks another layer or makes the hidden one visible.
class LayerChangerDlg : public CDialogBase
{
public:
    static constexpr std::int16_t DialogId = 32550;
    static constexpr std::int32_t LayerDeleted = 1;
    static constexpr std::int32_t LayerHidden = 2;

    LayerChangerDlg();
    ~LayerChangerDlg() override;

    std::int16_t DialogCallback(std::int16_t message, std::int16_t dialogId, std::int16_t item, std::intptr_t data) override;

    std::int32_t mode = LayerDeleted;
    std::int16_t layer = 0;

private:
    void InitDialog();
    void ShowLayer();
};
