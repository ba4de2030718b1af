#include "palettes/PhotoLocationDlg.hpp"

#include "frame/PaletteGuids.hpp"

PhotoLocationDlg::PhotoLocationDlg()
{
    SetDialogId(32495);
    SetPaletteGuid(photoLocationDlgGuid);
}

std::int16_t PhotoLocationDlg::DialogCallback(std::int16_t, std::int16_t, std::int16_t, std::intptr_t) { return 0; }
