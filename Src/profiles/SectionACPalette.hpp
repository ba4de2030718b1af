#pragma once
#include <cstdint>

#include "DG/DG.hpp"
#include "GS/UniString.hpp"
#include "VectorImage/VectorImage.hpp"
#include "framework/CDialogBase.hpp"
#include "framework/CDialogResizer.hpp"
#include "framework/TypVektor.hpp"

// Picks profiles from the host's profile library: the available profiles with a
// preview, and those chosen for import with theirs. The lists stay from one
// opening to the next; the profile palette takes the chosen ones after OK.
class SectionACPalette : public CDialogBase
{
public:
    SectionACPalette();
    ~SectionACPalette() override;
    std::int16_t DialogCallback(std::int16_t message, std::int16_t dialogId, std::int16_t item, std::intptr_t data) override;

    void InitDialog();
    // Adds the host's profiles under names not listed yet, without their lines.
    void LoadProfileAttributes();
    void SortLists();
    void FillLists();
    void RefreshLists();
    void DrawAvailablePreview(const DG::UserUpdateData* data);
    void DrawChosenPreview(const DG::UserUpdateData* data);

    CDialogResizer resizer;
    TypVektor<VectorImage> availableImages;
    TypVektor<GS::UniString> availableNames;
    TypVektor<VectorImage> chosenImages;
    TypVektor<GS::UniString> chosenNames;
    // 1-based entries of the two lists; 0: none.
    std::int16_t availableSelection = 0;
    std::int16_t chosenSelection = 0;

private:
    void AddChosen();
    void RemoveChosen();
    void ShowSelections();
    void DrawEntry(const TypVektor<VectorImage>& images, std::int16_t selection, std::int16_t listItem,
                   const DG::UserUpdateData* data);
};
