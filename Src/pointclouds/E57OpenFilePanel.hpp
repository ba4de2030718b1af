#pragma once
#include <cstdint>

#include "DG/FileDialog.hpp"
#include "GS/UniString.hpp"
#include "IO/Location.hpp"

// The E57 import's options, in a panel of the open-file dialog: the target folder
// (typed, chosen among the library folders or browsed for), the part's name, the
// storey of the origin, locking, and the thinning with its three distances.
class E57OpenFilePanel : public DG::SystemDialogPanel,
                         public DG::CompoundItemObserver,
                         public DG::PanelObserver,
                         public DG::TextEditBaseObserver,
                         public DG::ButtonItemObserver,
                         public DG::PopUpObserver,
                         public DG::CheckItemObserver,
                         public DG::RadioItemObserver,
                         public DG::FileDialogObserver,
                         public DG::UserControlObserver,
                         public DG::RealEditObserver
{
public:
    static constexpr short PanelId = 32576;

    E57OpenFilePanel(DG::FileDialog& dialog, short resourceId);
    ~E57OpenFilePanel() override;

    void OnPanelOpened() override;
    void OnPanelResized(short dx, short dy) override;
    void OnFileSelectionChanged(const DG::FileDialog& dialog) override;
    void OnButtonClicked(short item) override;
    void OnPopUpChanged(short item) override;
    void OnTextEditChanged(short item) override;
    void OnRadioItemChanged(short item) override;
    void OnCheckItemChanged(short item) override;
    void OnUserControlChanged(short item) override;
    void OnRealEditChanged(short item) override;

    void ShowTargetFolder();
    void BrowseTargetFolder();
    void UpdateNameFromSelection(const DG::FileDialog& dialog);
    void UpdateItemStatus();
    void ApplyDistanceLimits();

    IO::Location targetFolder;
    GS::UniString partName;
    std::int16_t storeyIndex = 0;
    bool originAtProjectOrigin = true;
    bool lockElements = true;
    bool thinOut = true;
    bool thinByDistance = true;
    double distance25 = 36.0;
    double distance50 = 12.0;
    double distance75 = 6.0;

private:
    void FillStoreys();
    void FillLibraryMenu();
    // A pop-up emptied has no entry chosen; an entry appended carries its data.
    static void ClearEntries(short item);
    static void AppendEntry(short item, const GS::UniString& text, std::int64_t data);
};
