#include <cmath>
#include <cstring>
#include <limits>
#include <new>

#include "BmpRows.hpp"
#include "ImageCodecs.hpp"

// Windows BMP: a 14-byte file header ("BM", file size, pixel offset), an info
// header of 40 bytes or more (width, height, planes, bits, compression,
// resolution in pixels per metre), then the rows, each padded to 4 bytes. Rows run
// bottom-up for a positive height. Pixels are blue, green, red (, alpha).

namespace
{

constexpr std::size_t FileHeaderBytes = 14;
constexpr std::size_t InfoHeaderBytes = 40;
constexpr std::size_t HeaderBytes = FileHeaderBytes + InfoHeaderBytes;
constexpr std::uint32_t Uncompressed = 0;
constexpr double MetresPerInch = 0.0254;

std::uint16_t U16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }
std::uint32_t U32(const std::uint8_t* p)
{
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}
std::int32_t S32(const std::uint8_t* p) { return static_cast<std::int32_t>(U32(p)); }

void Put16(std::uint8_t* p, std::uint16_t v)
{
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}
void Put32(std::uint8_t* p, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

std::size_t RowBytes(std::int32_t width, std::uint16_t bits) { return (std::size_t(width) * bits + 31) / 32 * 4; }

bool ReadExactly(std::FILE* file, void* to, std::size_t n) { return std::fread(to, 1, n, file) == n; }

double DpiOf(std::uint32_t pixelsPerMetre) { return pixelsPerMetre == 0 ? 72.0 : pixelsPerMetre * MetresPerInch; }

// Many writers leave the fourth byte of 32-bit pixels at 0 without meaning alpha.
void OpaqueWhenAlphaUnused(GSPixMap& pixMap)
{
    for (std::size_t i = 3; i < pixMap.pixels.size(); i += 4)
        if (pixMap.pixels[i] != 0) return;
    for (std::size_t i = 3; i < pixMap.pixels.size(); i += 4) pixMap.pixels[i] = 0xFF;
}

bool ReadRows(std::FILE* file, std::uint16_t bits, bool bottomUp, GSPixMap& pixMap)
{
    const std::size_t bytesPerPixel = bits / 8;
    std::vector<std::uint8_t> row(RowBytes(pixMap.width, bits));
    for (std::int32_t i = 0; i < pixMap.height; ++i)
    {
        if (!ReadExactly(file, row.data(), row.size())) return false;
        std::uint8_t* out = pixMap.Row(bottomUp ? pixMap.height - 1 - i : i);
        for (std::int32_t x = 0; x < pixMap.width; ++x, out += 4)
        {
            const std::uint8_t* in = row.data() + std::size_t(x) * bytesPerPixel;
            std::memcpy(out, in, 3);
            out[3] = bytesPerPixel == 4 ? in[3] : 0xFF;
        }
    }
    return true;
}

}  // namespace

PixMapPtr ReadBmp(std::FILE* file)
{
    std::uint8_t header[HeaderBytes];
    if (!ReadExactly(file, header, sizeof header) || header[0] != 'B' || header[1] != 'M') return nullptr;
    const std::uint32_t pixelOffset = U32(header + 10);
    const std::uint32_t infoBytes = U32(header + 14);
    const std::int32_t width = S32(header + 18);
    const std::int32_t storedHeight = S32(header + 22);
    const std::uint16_t bits = U16(header + 28);
    if (infoBytes < InfoHeaderBytes || U16(header + 26) != 1 || (bits != 24 && bits != 32) || U32(header + 30) != Uncompressed)
        return nullptr;
    if (width <= 0 || storedHeight == 0 || storedHeight == std::numeric_limits<std::int32_t>::min()) return nullptr;
    const std::int32_t height = storedHeight < 0 ? -storedHeight : storedHeight;
    if (!FitsPixelBound(std::uint64_t(width), std::uint64_t(height))) return nullptr;
    if (pixelOffset < FileHeaderBytes + std::uint64_t(infoBytes) || std::fseek(file, long(pixelOffset), SEEK_SET) != 0)
        return nullptr;
    // Every row is read into place or the picture is given up.
    PixMapPtr pixMap = NewUnsetPixMap(width, height, DpiOf(U32(header + 38)));
    if (pixMap == nullptr || !ReadRows(file, bits, storedHeight > 0, *pixMap)) return nullptr;
    if (bits == 32) OpaqueWhenAlphaUnused(*pixMap);
    return pixMap;
}

namespace
{

void PutHeader(const GSPixMap& pixMap, std::uint16_t bits, std::size_t imageBytes, std::uint8_t* h)
{
    const auto pixelsPerMetre = static_cast<std::uint32_t>(std::lround(pixMap.horizontalDpi / MetresPerInch));
    h[0] = 'B';
    h[1] = 'M';
    Put32(h + 2, static_cast<std::uint32_t>(HeaderBytes + imageBytes));
    Put32(h + 10, HeaderBytes);
    Put32(h + 14, InfoHeaderBytes);
    Put32(h + 18, static_cast<std::uint32_t>(pixMap.width));
    Put32(h + 22, static_cast<std::uint32_t>(pixMap.height));
    Put16(h + 26, 1);
    Put16(h + 28, bits);
    Put32(h + 30, Uncompressed);
    Put32(h + 34, static_cast<std::uint32_t>(imageBytes));
    Put32(h + 38, pixelsPerMetre);
    Put32(h + 42, pixelsPerMetre);
}

// The file with rows of 24 or 32 bits, each row written once into the grown
// data, never cleared first as a whole. False for 24 bits when a row is not
// opaque: the rows then keep their alpha.
bool WriteRows(const GSPixMap& pixMap, std::uint16_t bits, std::vector<std::uint8_t>& data)
{
    const std::size_t rowBytes = RowBytes(pixMap.width, bits);
    const std::size_t imageBytes = rowBytes * std::size_t(pixMap.height);
    data.clear();
    data.reserve(HeaderBytes + imageBytes);
    PreferLargePages(data.data(), data.capacity());
    data.resize(HeaderBytes);
    PutHeader(pixMap, bits, imageBytes, data.data());
    const std::size_t pixelBytes = std::size_t(pixMap.width) * 4;
    for (std::int32_t i = 0; i < pixMap.height; ++i)
    {
        const std::uint8_t* in = pixMap.Row(pixMap.height - 1 - i);
        if (bits == 32)
        {
            data.insert(data.end(), in, in + pixelBytes);
            continue;
        }
        // The row's bytes are zeroed while they are in the cache, which leaves the padding at 0.
        const std::size_t at = data.size();
        data.resize(at + rowBytes);
        if (!PackOpaqueRow(in, pixMap.width, data.data() + at)) return false;
    }
    return true;
}

}  // namespace

// Opaque pictures are written with 24 bits; the test of each row is made as the
// row is written, not in a pass of its own.
bool WriteBmp(const GSPixMap& pixMap, std::vector<std::uint8_t>& data)
{
    try
    {
        return WriteRows(pixMap, 24, data) || WriteRows(pixMap, 32, data);
    }
    catch (const std::bad_alloc&)
    {
        data.clear();
        return false;
    }
}
