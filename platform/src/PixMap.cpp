#include <memory>
#include <new>

#include "PixMapData.hpp"

GSPixMapHandle GXCreateGSPixMap(std::int32_t width, std::int32_t height, double horizontalDpi, double verticalDpi)
{
    if (width <= 0 || height <= 0 || std::int64_t(width) * height > GSPixMapMaxPixels) return nullptr;
    try {
        auto pixMap = std::make_unique<GSPixMap>();
        pixMap->width = width;
        pixMap->height = height;
        pixMap->horizontalDpi = horizontalDpi;
        pixMap->verticalDpi = verticalDpi;
        pixMap->pixels.assign(std::size_t(width) * std::size_t(height) * 4, 0);
        return pixMap.release();
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

void GXDeleteGSPixMap(GSPixMapHandle pixMap) { delete pixMap; }
std::int32_t GXGetGSPixMapWidth(GSPixMapHandle pixMap) { return pixMap != nullptr ? pixMap->width : 0; }
std::int32_t GXGetGSPixMapHeight(GSPixMapHandle pixMap) { return pixMap != nullptr ? pixMap->height : 0; }
std::int32_t GXGetGSPixMapBytesPerRow(GSPixMapHandle pixMap) { return pixMap != nullptr ? pixMap->width * 4 : 0; }
std::uint8_t* GXGetGSPixMapBaseAddr(GSPixMapHandle pixMap) { return pixMap != nullptr ? pixMap->pixels.data() : nullptr; }
