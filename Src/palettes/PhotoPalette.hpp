#pragma once
#include "CDialogBase.hpp"

class PhotoPalette : public CDialogBase {
public:
    PhotoPalette();
    std::int16_t DialogCallback(std::int16_t message, std::int16_t dialogId, std::int16_t item, std::intptr_t data) override;

    // Shows the picture of the photo object the main object shows.
    void LoadPhoto();
};
