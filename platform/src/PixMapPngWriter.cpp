#include <algorithm>

#include "ImageCodecs.hpp"
#include "PngRows.hpp"

bool WritePng(const GSPixMap& pixMap, const std::string& path)
{
    PngRows rows;
    rows.width = static_cast<std::uint32_t>(std::max(pixMap.width, 0));
    rows.height = static_cast<std::uint32_t>(std::max(pixMap.height, 0));
    rows.row = [&pixMap](std::uint32_t y) { return pixMap.Row(static_cast<std::int32_t>(y)); };
    rows.order = PngByteOrder::Bgra;
    rows.resolution = PngRows::Resolution {pixMap.horizontalDpi, pixMap.verticalDpi};
    return WritePngRows(rows, path, nullptr);
}
