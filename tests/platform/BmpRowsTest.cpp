#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "BmpRows.hpp"

namespace
{

using Bytes = std::vector<std::uint8_t>;
using Packer = bool (*)(const std::uint8_t*, std::int32_t, std::uint8_t*);

struct Implementation
{
    const char* name;
    Packer pack;
};

const Implementation Implementations[] = {{"chosen for this processor", PackOpaqueRow}, {"portable", PackOpaqueRowPortable}};

// Widths below, at and around the steps of four and eight pixels, and where a
// step's 32-byte store would just fit or just pass the row's end.
const std::int32_t Widths[] = {1, 2, 3, 4, 5, 7, 8, 9, 10, 11, 12, 15, 16, 17, 18, 19, 24, 25, 31, 32, 33, 67, 4096};

constexpr std::uint8_t Guard = 0xA5;
constexpr std::size_t GuardBytes = 40;

// Pixel x: blue x, green 100 + x, red 200 - x (all modulo 256), opaque.
Bytes OpaqueRow(std::int32_t width)
{
    Bytes row;
    for (std::int32_t x = 0; x < width; ++x)
        row.insert(row.end(), {std::uint8_t(x), std::uint8_t(100 + x), std::uint8_t(200 - x), 0xFF});
    return row;
}

// The same pixels as a BMP row expects them, followed by untouched guard bytes.
Bytes ExpectedOutput(std::int32_t width)
{
    Bytes out;
    for (std::int32_t x = 0; x < width; ++x)
        out.insert(out.end(), {std::uint8_t(x), std::uint8_t(100 + x), std::uint8_t(200 - x)});
    out.insert(out.end(), GuardBytes, Guard);
    return out;
}

}  // namespace

// Every width gives blue, green, red per pixel without alpha, and nothing is
// written past the row's end.
TEST(BmpRows, OpaqueRowsArePackedToThreeBytesAPixel)
{
    for (const Implementation& implementation : Implementations)
    {
        for (const std::int32_t width : Widths)
        {
            const Bytes in = OpaqueRow(width);
            Bytes out(std::size_t(width) * 3 + GuardBytes, Guard);
            EXPECT_TRUE(implementation.pack(in.data(), width, out.data())) << implementation.name << ", width " << width;
            EXPECT_EQ(out, ExpectedOutput(width)) << implementation.name << ", width " << width;
        }
    }
}

// One pixel that is not fully opaque, wherever it lies in the row (in a step of
// vector instructions or in the pixels after them), makes the row not opaque;
// colours of 0 with full alpha do not.
TEST(BmpRows, OnePixelWithAlphaMakesTheRowNotOpaque)
{
    struct Case
    {
        std::int32_t width;
        std::int32_t pixel;
        std::uint8_t alpha;
        bool opaque;
    };
    const Case cases[] = {
        {1, 0, 0xFE, false},   {5, 4, 0x00, false},   {9, 0, 0x7F, false},   {33, 0, 0xFE, false},  {33, 13, 0x01, false},
        {33, 23, 0xFE, false}, {33, 24, 0xFE, false}, {33, 32, 0x00, false}, {67, 40, 0xFE, false}, {33, 13, 0xFF, true},
    };
    for (const Implementation& implementation : Implementations)
    {
        for (const Case& c : cases)
        {
            Bytes in = OpaqueRow(c.width);
            in[std::size_t(c.pixel) * 4 + 3] = c.alpha;
            if (c.opaque) in[std::size_t(c.pixel) * 4] = in[std::size_t(c.pixel) * 4 + 1] = in[std::size_t(c.pixel) * 4 + 2] = 0;
            Bytes out(std::size_t(c.width) * 3 + GuardBytes, Guard);
            EXPECT_EQ(implementation.pack(in.data(), c.width, out.data()), c.opaque)
                << implementation.name << ", width " << c.width << ", pixel " << c.pixel;
            EXPECT_EQ(Bytes(out.end() - GuardBytes, out.end()), Bytes(GuardBytes, Guard))
                << implementation.name << ", width " << c.width;
        }
    }
}
