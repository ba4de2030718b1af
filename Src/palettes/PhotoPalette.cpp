#include "palettes/PhotoPalette.hpp"

#include <algorithm>
#include <cmath>

#include "GX/Image.hpp"
#include "Graphics/UserItemUpdateNativeContext.hpp"
#include "frame/AddOnGlobals.hpp"
#include "frame/PaletteGuids.hpp"
#include "frame/Survanto.hpp"
#include "framework/AngleConstants.hpp"
#include "photos/PhotoFiles.hpp"
#include "photos/PhotoImages.hpp"

namespace
{

constexpr std::int16_t NameItem = 2;
constexpr std::int16_t PictureItem = 3;

}  // namespace

PhotoPlacement PlacePhotoInItem(double itemWidth, double itemHeight, double width, double height, std::int32_t quarterTurns)
{
    const std::int32_t t = ReducedTurns(quarterTurns);
    const bool upright = t % 2 == 0;
    const double s =
        upright ? std::min(itemWidth / width, itemHeight / height) : std::min(itemWidth / height, itemHeight / width);
    const double cx = itemWidth / 2;
    const double cy = itemHeight / 2;
    switch (t)
    {
        case 1: return {s, cx - height / 2 * s, cy + width / 2 * s};
        case 2: return {s, cx + width / 2 * s, cy + height / 2 * s};
        case 3: return {s, cx + height / 2 * s, cy - width / 2 * s};
        default: return {s, cx - width / 2 * s, cy - height / 2 * s};
    }
}

PhotoPalette::PhotoPalette()
{
    SetDialogId(32496);
    SetPaletteGuid(photoPaletteGuid);
}

PhotoPalette::~PhotoPalette() = default;

std::int16_t PhotoPalette::DialogCallback(std::int16_t message, std::int16_t dialogId, std::int16_t item, std::intptr_t data)
{
    if (message == DG::MsgInit)
    {
        InitPalette();
        return 0;
    }
    if (dialogId != GetDialogId()) return 0;
    switch (message)
    {
        case DG::MsgClose:
            if (Survanto* survanto = theSurvanto.load()) survanto->SyncPhotoPreviewButton(true);
            break;
        case DG::MsgClick:
            if (item == DG::CloseBox) return DG::CloseBox;
            break;
        case DG::MsgResize:
            resizer.Resize(false);
            DG::InvalidateItem(GetDialogId(), PictureItem);
            break;
        case DG::MsgUserUpdate:
            if (item == PictureItem) DrawPhoto(reinterpret_cast<const DG::UserUpdateData*>(data));
            break;
        default: break;
    }
    return 0;
}

void PhotoPalette::InitPalette()
{
    DG::EnableMessage(GetDialogId(), DG::AllItems, DG::MsgUserUpdate);
    resizer.ClearItems();
    resizer.Attach(GetDialogId());
    resizer.AddItem(GetDialogId(), PictureItem, 0, 0, 1, 1);
    resizer.AddItem(GetDialogId(), NameItem, 0, 0, 1, 0);
    LoadPhoto();
}

void PhotoPalette::LoadPhoto()
{
    picture.reset();
    GS::UniString name;
    if (!photoLocation.IsEmpty())
    {
        name = PhotoNameOf(photoLocation);
        picture = ReadPhoto(photoLocation);
    }
    DG::SetItemText(GetDialogId(), NameItem, name);
    DG::InvalidateItem(GetDialogId(), PictureItem);
}

void PhotoPalette::DrawPhoto(const DG::UserUpdateData* data)
{
    if (picture == nullptr || data == nullptr || data->picture == nullptr) return;
    NewDisplay::UserItemUpdateNativeContext context(data);
    DrawPhoto(context, data->rect.right - data->rect.left, std::abs(data->rect.top - data->rect.bottom));
}

void PhotoPalette::DrawPhoto(NewDisplay::NativeContext& context, double itemWidth, double itemHeight)
{
    if (picture == nullptr) return;
    const double width = GXGetGSPixMapWidth(picture.get());
    const double height = GXGetGSPixMapHeight(picture.get());
    // A photo or an item without pixels has nothing to fit.
    if (itemWidth <= 0 || itemHeight <= 0 || width <= 0 || height <= 0) return;
    const PhotoPlacement placement = PlacePhotoInItem(itemWidth, itemHeight, width, height, quarterTurns);
    context.FillRect(0, 0, static_cast<float>(itemWidth), static_cast<float>(itemHeight), Gfx::Color(255, 255, 255, 255));
    const NewDisplay::NativeImage image = GX::Image(picture.get()).ToNativeImage(1.0, false);
    context.DrawImage(image, static_cast<float>(placement.scale), static_cast<float>(placement.scale),
                      static_cast<float>(-quarterTurns * HalfPi), static_cast<float>(placement.x),
                      static_cast<float>(placement.y), false, 1.0, NewDisplay::ImageFiltering::Smooth,
                      NewDisplay::BlitEffect::None);
}
