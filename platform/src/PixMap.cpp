#include <sys/mman.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>

#include "AreaResample.hpp"
#include "ImageCodecs.hpp"
#include "PixMapData.hpp"

GSPixMapHandle GXCreateGSPixMap(std::int32_t width, std::int32_t height, double horizontalDpi, double verticalDpi)
{
    if (width <= 0 || height <= 0 || std::int64_t(width) * height > GSPixMapMaxPixels) return nullptr;
    try
    {
        auto pixMap = std::make_unique<GSPixMap>();
        pixMap->width = width;
        pixMap->height = height;
        pixMap->horizontalDpi = horizontalDpi;
        pixMap->verticalDpi = verticalDpi;
        pixMap->pixels.assign(std::size_t(width) * std::size_t(height) * 4, 0);
        return pixMap.release();
    }
    catch (const std::bad_alloc&)
    {
        return nullptr;
    }
}

void PreferLargePages(void* block, std::size_t bytes)
{
    constexpr std::uintptr_t LargePage = 2u << 20;
    const auto begin = reinterpret_cast<std::uintptr_t>(block);
    const std::uintptr_t first = (begin + LargePage - 1) & ~(LargePage - 1);
    const std::uintptr_t end = (begin + bytes) & ~(LargePage - 1);
    if (end > first) madvise(reinterpret_cast<void*>(first), end - first, MADV_HUGEPAGE);
}

PixMapPtr NewUnsetPixMap(std::int32_t width, std::int32_t height, double dpi)
{
    if (width <= 0 || height <= 0 || std::int64_t(width) * height > GSPixMapMaxPixels) return nullptr;
    try
    {
        auto pixMap = std::make_unique<GSPixMap>();
        pixMap->width = width;
        pixMap->height = height;
        pixMap->horizontalDpi = dpi;
        pixMap->verticalDpi = dpi;
        pixMap->pixels.resize(std::size_t(width) * std::size_t(height) * 4);
        PreferLargePages(pixMap->pixels.data(), pixMap->pixels.size());
        return pixMap;
    }
    catch (const std::bad_alloc&)
    {
        return nullptr;
    }
}

void GXDeleteGSPixMap(GSPixMapHandle pixMap) { delete pixMap; }
std::int32_t GXGetGSPixMapWidth(GSPixMapHandle pixMap) { return pixMap != nullptr ? pixMap->width : 0; }
std::int32_t GXGetGSPixMapHeight(GSPixMapHandle pixMap) { return pixMap != nullptr ? pixMap->height : 0; }
std::int32_t GXGetGSPixMapBytesPerRow(GSPixMapHandle pixMap) { return pixMap != nullptr ? pixMap->width * 4 : 0; }
std::uint8_t* GXGetGSPixMapBaseAddr(GSPixMapHandle pixMap) { return pixMap != nullptr ? pixMap->pixels.data() : nullptr; }

namespace
{

bool Inside(const GSPixMap& pixMap, const GXRect& rect)
{
    return rect.left >= 0 && rect.top >= 0 && rect.Width() > 0 && rect.Height() > 0 && rect.right <= pixMap.width &&
           rect.bottom <= pixMap.height;
}

PixelRows RowsOf(GSPixMap& pixMap) { return {pixMap.pixels.data(), std::size_t(pixMap.width) * 4, pixMap.width, pixMap.height}; }

// Quarter turns come out exact: cos(pi / 2) is 6e-17, not 0.
double Exact(double value)
{
    const double whole = std::round(value);
    return std::fabs(value - whole) < 1e-12 ? whole : value;
}

}  // namespace

bool GXStretchGSPixMap(GSPixMapHandle source, GSPixMapHandle destination, const GXRect& sourceRect, const GXRect& destinationRect)
{
    if (source == nullptr || destination == nullptr || !Inside(*source, sourceRect) || destinationRect.Width() <= 0 ||
        destinationRect.Height() <= 0)
        return false;
    try
    {
        AreaResample(RowsOf(*source), sourceRect, RowsOf(*destination), destinationRect);
    }
    catch (const std::bad_alloc&)
    {
        return false;
    }
    return true;
}

bool GXRotateGSPixMap(GSPixMapHandle source, GSPixMapHandle destination, const GXRect& sourceRect, double angle,
                      const GXPoint& origin)
{
    if (source == nullptr || destination == nullptr || !Inside(*source, sourceRect)) return false;
    const double c = Exact(std::cos(angle)), s = Exact(std::sin(angle));
    const double w = sourceRect.Width(), h = sourceRect.Height();
    // The turned corners, y upwards from the origin, bound the pixels to visit.
    const double cornerX[4] = {0.0, w * c, w * c - h * s, -h * s};
    const double cornerY[4] = {0.0, w * s, w * s + h * c, h * c};
    const double left = origin.x + *std::min_element(cornerX, cornerX + 4),
                 right = origin.x + *std::max_element(cornerX, cornerX + 4);
    const double top = origin.y - *std::max_element(cornerY, cornerY + 4),
                 bottom = origin.y - *std::min_element(cornerY, cornerY + 4);
    const auto firstX = static_cast<std::int32_t>(std::max(0.0, std::floor(left)));
    const auto endX = static_cast<std::int32_t>(std::min(double(destination->width), std::ceil(right)));
    const auto firstY = static_cast<std::int32_t>(std::max(0.0, std::floor(top)));
    const auto endY = static_cast<std::int32_t>(std::min(double(destination->height), std::ceil(bottom)));
    for (std::int32_t y = firstY; y < endY; ++y)
    {
        std::uint8_t* out = destination->Row(y);
        for (std::int32_t x = firstX; x < endX; ++x)
        {
            const double dx = x + 0.5 - origin.x, dy = origin.y - (y + 0.5);
            const double u = std::floor(dx * c + dy * s), v = std::floor(dy * c - dx * s);
            if (u < 0 || v < 0 || u >= w || v >= h) continue;
            const std::uint8_t* in = source->Row(sourceRect.bottom - 1 - static_cast<std::int32_t>(v)) +
                                     std::size_t(sourceRect.left + static_cast<std::int32_t>(u)) * 4;
            std::memcpy(out + std::size_t(x) * 4, in, 4);
        }
    }
    return true;
}
