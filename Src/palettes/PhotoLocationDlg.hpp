#pragma once
#include <cstdint>
#include <optional>

#include "GS/UniString.hpp"
#include "IO/Location.hpp"
#include "framework/CDialogBase.hpp"
#include "framework/CDialogResizer.hpp"
#include "framework/IFileIO.hpp"
#include "framework/TypVektor.hpp"
#include "palettes/PhotoPalette.hpp"
#include "photos/PhotoThumbnailLoader.hpp"

// The photo folder palette: the image files of one folder in a list view, with
// thumbnails made by a background loader, turned by quarter turns, greyed when
// a photo object shows them, and chosen for the preview and for placing.
class PhotoLocationDlg : public IFileIO, public CDialogBase
{
public:
    PhotoLocationDlg();
    // Stops the thumbnail loader and waits for its end.
    ~PhotoLocationDlg() override;

    // The palette record: int32 version 2, the folder's path, the thumbnail switch.
    bool Write(CDataRecorder& recorder) override;
    bool Read(CDataRecorder& recorder) override;

    void EnableItems() override;
    void DisableItems() override;
    std::int16_t DialogCallback(std::int16_t message, std::int16_t dialogId, std::int16_t item, std::intptr_t data) override;

    void InitPalette();
    void ApplyViewMode();
    void Refresh();
    void FillPhotoList();
    void ShowFolderPath();
    void ShowPreview();
    void ChooseFolder();
    // Item -1 searches from the first item.
    void RefreshThumbnail(std::int32_t item, std::int32_t turns, bool force);
    void MarkPhoto(const GS::UniString& name, bool placed);
    void MarkPlacedPhotos();
    void SelectPlacedPhotos(const GS::UniString& name);
    // Sets the thumbnails the loader finished, while the palette is open and
    // shows the list the loader was started on.
    void TakeFinishedThumbnails();

    IO::Location photoFolder;
    // The thumbnail switch: the list shows 64 x 64 thumbnails.
    bool largeThumbnails = false;
    bool picturePreview = false;
    TypVektor<IO::Location> photoList;
    TypVektor<std::int32_t> quarterTurns;
    CDialogResizer resizer;
    PhotoPalette photoPalette;
    PhotoThumbnailLoader thumbnailLoader;

private:
    void StartThumbnailLoader();
    void TurnSelectedPhoto(std::int32_t turns);
    // The photo an entry shows, -1 for none.
    std::int32_t PhotoOfEntry(std::int16_t entry) const;

    // Raised at every fill, so that thumbnails of an earlier list are dropped.
    std::int32_t fillNumber_ = 0;
    std::optional<double> lastThumbnailTime_;
};
