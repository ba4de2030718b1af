#pragma once
#include "CDialogBase.hpp"
#include "IFileIO.hpp"
#include "IO/Location.hpp"
#include "palettes/PhotoPalette.hpp"

// The photo folder palette.
class PhotoLocationDlg : public IFileIO, public CDialogBase {
public:
    PhotoLocationDlg();
    std::int16_t DialogCallback(std::int16_t message, std::int16_t dialogId, std::int16_t item, std::intptr_t data) override;

    IO::Location photoFolder;
    bool largeThumbnails = false;
    bool picturePreview = false;
    PhotoPalette photoPalette;
};
