#pragma once
#include <string>

#include "InProcessHost.hpp"
#include "MainObjectFixture.hpp"

// The main object with the add-on's library loaded and a folder of photos.
class PhotoFixture : public MainObjectFixture
{
protected:
    void SetUp() override;

    // A PNG photo of that size in the photo folder, its top left quarter white.
    std::string WritePhoto(const std::string& name, int width, int height);
    PhotoLocationDlg& Folder() { return Main().photoFolderDialog; }
    PhotoPalette& Preview() { return Main().photoFolderDialog.photoPalette; }
    void OpenFolderPalette();
    // The list view's entries as "name" texts in list order.
    std::vector<std::string> ListedNames();

    TempFolder photos_;
};
