#pragma once
#include <cstdint>

#include "DG/DG.hpp"
#include "Graphics/NativeContext.hpp"
#include "IO/Location.hpp"
#include "framework/CDialogBase.hpp"
#include "framework/CDialogResizer.hpp"
#include "photos/PixMapHolder.hpp"

// Where and how large a w x h photo turned by quarter turns is drawn into a
// W x H item: the scale and where the photo's own top-left corner lands.
struct PhotoPlacement
{
    double scale = 0.0;
    double x = 0.0;
    double y = 0.0;
};
PhotoPlacement PlacePhotoInItem(double itemWidth, double itemHeight, double width, double height, std::int32_t quarterTurns);

// The photo preview palette: one photo with its name, scaled to fit and turned
// by its quarter turns to the left.
class PhotoPalette : public CDialogBase
{
public:
    PhotoPalette();
    ~PhotoPalette() override;
    std::int16_t DialogCallback(std::int16_t message, std::int16_t dialogId, std::int16_t item, std::intptr_t data) override;

    void InitPalette();
    // Reads the photo at the photo location and shows it with its name.
    void LoadPhoto();
    void DrawPhoto(const DG::UserUpdateData* data);
    // Draws the photo into a W x H item through the context.
    void DrawPhoto(NewDisplay::NativeContext& context, double itemWidth, double itemHeight);

    CDialogResizer resizer;
    // The photo as read, at full size; none while no photo could be read.
    PixMapHolder picture;
    IO::Location photoLocation;
    // Never reduced: 5 draws like 1, turned by 5 quarter turns.
    std::int32_t quarterTurns = 0;
};
