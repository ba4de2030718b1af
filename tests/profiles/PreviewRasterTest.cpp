#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "InProcessHost.hpp"
#include "profiles/C2DDrawElement.hpp"
#include "profiles/PreviewPrimitives.hpp"

namespace
{

constexpr double Pi = 3.14159265358979323846;

// A 4 m x 2 m fill whose right edge bulges out by a half circle, with a square
// hole: solid red (pen 2) with a black contour (pen 1).
VectorImage RectangleWithHoleAndArc()
{
    HatchObject hatch;
    hatch.SetPolygonGeometry({{}, {0, 0}, {4, 0}, {4, 2}, {0, 2}, {0, 0}, {1, 0.4}, {2, 0.4}, {2, 1.6}, {1, 1.6}, {1, 0.4}},
                             {{2, 3, Pi}}, {1, 5, 10});
    hatch.SetContPen(VBAttr::ExtendedPen(1));
    hatch.SetExtendedFillFgPen(VBAttr::ExtendedPen(2));
    hatch.SetFillIdx(2);
    VectorImage image;
    image.AddHatchRec(Sy_HatchType {}, hatch);
    return image;
}

// '.' white, 'r' red, '#' black, '?' anything else.
std::vector<std::string> Picture(const NewDisplay::NativeImage& image)
{
    std::vector<std::string> rows;
    for (std::uint32_t y = 0; y < image.GetHeight(); ++y)
    {
        std::string row;
        for (std::uint32_t x = 0; x < image.GetWidth(); ++x)
        {
            const Gfx::Color c = image.GetPixel(static_cast<std::int32_t>(x), static_cast<std::int32_t>(y));
            row += c == Gfx::Color(255, 255, 255) ? '.' : c == Gfx::Color(255, 0, 0) ? 'r' : c == Gfx::Color(0, 0, 0) ? '#' : '?';
        }
        rows.push_back(row);
    }
    return rows;
}

TEST(PreviewRaster, AFillWithAHoleAndAnArcEdgeDrawsPixelByPixel)
{
    InProcessHost host;
    DZ::C2DDrawElement list;
    list.LoadFromVectorImage(RectangleWithHoleAndArc(), 100, true);
    NewDisplay::NativeImage image(28, 13);
    NewDisplay::NativeContext context(image);
    DZ::FillPreviewRect(0, 0, 28, 13, 255, 255, 255, context);
    // Five pixels a metre; the fill's corner (0, 0) lands on pixel (1, 11).
    list.Draw(1, 1, 26, 11, context);
    // The hole spans pixels 6 to 11 across and 3 to 9 down; the half circle
    // centred on (21, 6) with radius 5 is filled exactly and outlined as a
    // chain of five chords.
    const std::vector<std::string> expected {
        "............................", ".#######################....", ".#rrrrrrrrrrrrrrrrrrrrrr#...",
        ".#rrrr######rrrrrrrrrrrr#...", ".#rrrr#....#rrrrrrrrrrrrr#..", ".#rrrr#....#rrrrrrrrrrrrr#..",
        ".#rrrr#....#rrrrrrrrrrrrr#..", ".#rrrr#....#rrrrrrrrrrrrr#..", ".#rrrr#....#rrrrrrrrrrrr#...",
        ".#rrrr######rrrrrrrrrrrr#...", ".#rrrrrrrrrrrrrrrrrrrr##....", ".#####################......",
        "............................",
    };
    EXPECT_EQ(Picture(image), expected);
}

}  // namespace
