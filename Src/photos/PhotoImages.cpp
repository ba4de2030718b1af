#include "photos/PhotoImages.hpp"

#include <algorithm>
#include <cmath>

#include "FTM/FileTypeManager.hpp"
#include "GX/Image.hpp"
#include "GX/ImageBase.hpp"
#include "framework/AngleConstants.hpp"

namespace
{

constexpr double Dpi = 72.0;

PixMapHolder NewPixMap(std::int32_t width, std::int32_t height)
{
    return PixMapHolder(GXCreateGSPixMap(width, height, Dpi, Dpi));
}

}  // namespace

PixelRect FitPhotoIntoBox(std::int32_t boxWidth, std::int32_t boxHeight, std::int32_t width, std::int32_t height)
{
    const double W = boxWidth;
    const double H = boxHeight;
    const double w = width;
    const double h = height;
    const double s = std::min(W / w, H / h);
    PixelRect rect;
    rect.left = static_cast<std::int32_t>(W / 2 - w / 2 * s);
    rect.top = static_cast<std::int32_t>(H / 2 - h / 2 * s);
    rect.right = static_cast<std::int32_t>(rect.left + w * s);
    rect.bottom = static_cast<std::int32_t>(rect.top + h * s);
    return rect;
}

std::int32_t ReducedTurns(std::int32_t quarterTurns) { return quarterTurns > 3 ? quarterTurns % 4 : quarterTurns; }

PixMapHolder ReadPhoto(const IO::Location& photo)
{
    GSPixMapHandle read = nullptr;
    const bool ok = GX::ImageBase::ReadFile(photo, read, GSPixMapPixelType32);
    PixMapHolder picture(read);
    if (!ok) picture.reset();
    return picture;
}

DG::NativeIcon MakeThumbnail(const IO::Location& photo, std::int32_t boxWidth, std::int32_t boxHeight, std::int32_t quarterTurns)
{
    if (boxWidth <= 0 || boxHeight <= 0) return {};
    GSPixMapHandle read = nullptr;
    std::int32_t width = 0;
    std::int32_t height = 0;
    const bool ok = GX::ImageBase::ReadFile(photo, read, GSPixMapPixelType32, boxWidth, boxHeight, width, height);
    const PixMapHolder picture(read);
    if (!ok || picture == nullptr || width <= 0 || height <= 0) return {};
    // The place comes from the photo's own size; the decoded pixmap may be smaller.
    const PixelRect fit = FitPhotoIntoBox(boxWidth, boxHeight, width, height);
    const PixMapHolder fitted = NewPixMap(boxWidth, boxHeight);
    if (fitted == nullptr) return {};
    const GXRect whole {0, 0, GXGetGSPixMapWidth(picture.get()), GXGetGSPixMapHeight(picture.get())};
    GXStretchGSPixMap(picture.get(), fitted.get(), whole, GXRect {fit.left, fit.top, fit.right, fit.bottom});

    const std::int32_t t = ReducedTurns(quarterTurns);
    const PixMapHolder turned = NewPixMap(boxWidth, boxHeight);
    if (turned == nullptr) return GX::Image(fitted.get()).ToDGIcon();
    const GXPoint origins[] = {
        {0.0, double(boxHeight)}, {double(boxWidth), double(boxHeight)}, {double(boxWidth), 0.0}, {0.0, 0.0}};
    GXRotateGSPixMap(fitted.get(), turned.get(), GXRect {0, 0, boxWidth, boxHeight}, t * HalfPi, origins[std::clamp(t, 0, 3)]);
    return GX::Image(turned.get()).ToDGIcon();
}

PixMapHolder StretchPhoto(GSPixMapHandle photo, std::int32_t width, std::int32_t height)
{
    PixMapHolder scaled = NewPixMap(width, height);
    if (scaled == nullptr) return scaled;
    GXStretchGSPixMap(photo, scaled.get(), GXRect {0, 0, GXGetGSPixMapWidth(photo), GXGetGSPixMapHeight(photo)},
                      GXRect {0, 0, width, height});
    return scaled;
}

bool WritePngFile(GSPixMapHandle pixMap, const IO::Location& file)
{
    return GX::ImageBase::WriteFile(file, FTM::FileTypeManager::SearchForMime("image/png"), pixMap);
}
