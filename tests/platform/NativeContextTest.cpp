#include <gtest/gtest.h>
#include <png.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "Graphics/NativeContext.hpp"
#include "Graphics/PngWriter.hpp"
#include "TextEngine/TextEngine.hpp"

namespace
{

using NewDisplay::NativeContext;
using NewDisplay::NativeImage;

const Gfx::Color Clear(0, 0, 0, 0);
const Gfx::Color Red(255, 0, 0);

// '#' where the pixel has the colour, '.' where it is clear, '?' else.
std::vector<std::string> Mask(const NativeImage& image, const Gfx::Color& color)
{
    std::vector<std::string> rows;
    for (std::int32_t y = 0; y < std::int32_t(image.GetHeight()); ++y)
    {
        std::string row;
        for (std::int32_t x = 0; x < std::int32_t(image.GetWidth()); ++x)
            row += image.GetPixel(x, y) == color ? '#' : image.GetPixel(x, y) == Clear ? '.' : '?';
        rows.push_back(row);
    }
    return rows;
}

TEST(NativeContext, PolygonsFillEvenOddWithTheirPattern)
{
    NativeImage image(8, 6);
    NativeContext context(image);
    Gfx::Pattern checker;
    for (int y = 0; y < 8; ++y) checker.bits[y] = y % 2 == 0 ? 0xAA : 0x55;
    context.SetFillPattern(checker);
    context.SetForeColor(255, 0, 0, 255);
    context.SetBackColor(0, 0, 255, 0);
    context.BeginPolygon();
    context.MoveTo(0, 0), context.LineTo(8, 0), context.LineTo(8, 6), context.LineTo(0, 6);
    context.MoveTo(2, 2), context.LineTo(6, 2), context.LineTo(6, 4), context.LineTo(2, 4);
    context.EndPolygon();
    EXPECT_EQ(Mask(image, Red),
              (std::vector<std::string> {"#.#.#.#.", ".#.#.#.#", "#.....#.", ".#.....#", "#.#.#.#.", ".#.#.#.#"}));
    EXPECT_EQ(context.GetRecordedCalls().front(), "SetFillPattern aa 55 aa 55 aa 55 aa 55");
    EXPECT_EQ(context.GetRecordedCalls().size(), 13u);
}

TEST(NativeContext, LinesAreSquaresOfTheLineWidthAndBlendByAlpha)
{
    NativeImage image(10, 7);
    NativeContext context(image);
    context.FillRect(0, 0, 10, 7, Gfx::Color(255, 255, 255));
    context.SetLineWidth(3);
    context.SetForeColor(0, 0, 0, 255);
    context.MoveTo(2, 3);
    context.LineTo(7, 3);
    EXPECT_EQ(Mask(image, Gfx::Color(0, 0, 0)), (std::vector<std::string> {"??????????", "??????????", "?########?", "?########?",
                                                                           "?########?", "??????????", "??????????"}));
    context.SetLineWidth(1);
    context.SetForeColor(0, 0, 0, 128);
    context.MoveTo(0, 6);
    context.LineTo(9, 6);
    EXPECT_EQ(image.GetPixel(4, 6), Gfx::Color(127, 127, 127));
    EXPECT_EQ(image.GetPixel(4, 5), Gfx::Color(255, 255, 255));
}

TEST(NativeContext, ArcsAreChainsThroughTheirEllipse)
{
    NativeImage image(21, 21);
    NativeContext context(image);
    context.SetForeColor(255, 0, 0, 255);
    // A whole circle of radius 10 about (10.5, 10.5).
    context.Arc(NewDisplay::DisplayArc::CreateEllipticArc(0.5f, 0.5f, 20.5f, 20.5f, 0.0f, 6.2831855f));
    for (const auto& [x, y] : std::vector<std::pair<int, int>> {{20, 10}, {10, 0}, {0, 10}, {10, 20}})
        EXPECT_EQ(image.GetPixel(x, y), Red);
    EXPECT_EQ(image.GetPixel(10, 10), Clear);
    EXPECT_EQ(context.GetRecordedCalls().back(), "Arc 0.5 0.5 20.5 20.5 0 6.28319");
}

TEST(NativeContext, TextsAreBoxesOfTheEnginesWidthAboveTheirBase)
{
    NativeImage image(24, 12);
    NativeContext context(image);
    context.SetForeColor(255, 0, 0, 255);
    TE::Font font;
    font.SetCapISize(5);
    // "ABC": 3 x 0.6 x 5 = 9 pixels wide, 5 high above (2, 8).
    context.DrawPlainText(GS::UniString("ABC"), font, 2, 8, 0);
    EXPECT_EQ(Mask(image, Red),
              (std::vector<std::string> {"........................", "........................", "........................",
                                         "..#########.............", "..#########.............", "..#########.............",
                                         "..#########.............", "..#########.............", "........................",
                                         "........................", "........................", "........................"}));
    EXPECT_EQ(context.GetRecordedCalls().back(), "DrawPlainText ABC 2 8 0");
}

NativeImage Picture(std::uint32_t width, std::uint32_t height, const std::vector<Gfx::Color>& colors)
{
    std::vector<std::uint8_t> rgba;
    for (const Gfx::Color& c : colors) rgba.insert(rgba.end(), {c.red, c.green, c.blue, c.alpha});
    return NativeImage(width, height, rgba);
}

// Scaled, then turned about the picture's top-left corner, which lands on the
// origin; a negative angle turns left on screen.
TEST(NativeContext, ImagesAreDrawnScaledAndTurnedAboutTheirTopLeftCorner)
{
    const Gfx::Color blue(0, 0, 255);
    NativeImage image(4, 6);
    NativeContext context(image);
    context.DrawImage(Picture(2, 1, {Red, blue}), 2.0f, 2.0f, float(-M_PI / 2), 0.0f, 4.0f, false, 1.0,
                      NewDisplay::ImageFiltering::Nearest, NewDisplay::BlitEffect::None);
    EXPECT_EQ(context.GetRecordedCalls(), std::vector<std::string> {"DrawImage 2x1 2 2 -1.5708 0 4 0 1 0 0"});
    EXPECT_EQ(Mask(image, blue), (std::vector<std::string> {"##..", "##..", "??..", "??..", "....", "...."}));
    EXPECT_EQ(Mask(image, Red), (std::vector<std::string> {"??..", "??..", "##..", "##..", "....", "...."}));

    // Shrunk smoothly, the halves stay whole; at half opacity over white.
    NativeImage shrunk(4, 3);
    NativeContext smooth(shrunk);
    smooth.FillRect(0, 0, 4, 3, Gfx::Color(255, 255, 255));
    smooth.DrawImage(Picture(4, 2, {Red, Red, blue, blue, Red, Red, blue, blue}), 0.5f, 0.5f, 0.0f, 1.4f, 0.6f, true, 1.0,
                     NewDisplay::ImageFiltering::Smooth, NewDisplay::BlitEffect::None);
    EXPECT_EQ(Mask(shrunk, Red), (std::vector<std::string> {"????", "?#??", "????"}));
    EXPECT_EQ(shrunk.GetPixel(2, 1), blue);
    smooth.DrawImage(Picture(1, 1, {Red}), 1.0f, 1.0f, 0.0f, 0.0f, 0.0f, false, 0.5, NewDisplay::ImageFiltering::Nearest,
                     NewDisplay::BlitEffect::None);
    EXPECT_EQ(shrunk.GetPixel(0, 0), Gfx::Color(255, 127, 127, 255));
}

TEST(NativeContext, AZeroSizePictureOrScaleDrawsNothing)
{
    NativeImage image(4, 4);
    NativeContext context(image);
    const NativeImage empty(0, 0);
    context.DrawImage(empty, 1.0f, 1.0f, 0.0f, 0.0f, 0.0f, false, 1.0, NewDisplay::ImageFiltering::Smooth,
                      NewDisplay::BlitEffect::None);
    context.DrawImage(Picture(1, 1, {Red}), 0.0f, 0.0f, 0.0f, 1.0f, 1.0f, false, 1.0, NewDisplay::ImageFiltering::Smooth,
                      NewDisplay::BlitEffect::None);
    context.DrawImage(Picture(1, 1, {Red}), 1.0f, 0.0f, 0.0f, 1.0f, 1.0f, false, 1.0, NewDisplay::ImageFiltering::Nearest,
                      NewDisplay::BlitEffect::None);
    EXPECT_EQ(context.GetRecordedCalls().size(), 3u);
    EXPECT_EQ(Mask(image, Red), std::vector<std::string>(4, "...."));
}

TEST(TextEngine, WidthsFollowTheDocumentedRule)
{
    TE::Font font;
    font.SetSize(10);
    double width = -1;
    TE::textEngine.GetTextWidth(GS::UniString("abcd"), font, width);
    EXPECT_DOUBLE_EQ(width, 24);
    font.SetCapISize(5);
    font.SetStyle(TE::FaceBold);
    TE::textEngine.GetTextWidth(GS::UniString("abcd"), font, width);
    EXPECT_DOUBLE_EQ(width, 13.2);
    GS::UniString simple;
    GSCharCode code = CC_UTF8;
    TE::TextEngine::GetSimpleFontName(GS::UniString("Arial CE"), &simple, &code);
    EXPECT_EQ(simple, GS::UniString("Arial"));
    EXPECT_EQ(code, CC_WestEuropean);
    TE::TextEngine::GetSimpleFontName(GS::UniString("Times New Roman"), &simple, &code);
    EXPECT_EQ(simple, GS::UniString("Times New Roman"));
}

TEST(TextStyles, RegisteredStylesArePickedUpByIndex)
{
    const std::int32_t index = TSRegisterStyle({"Arial", TE::FaceItalic, 1, 3.5});
    TSStyle style;
    ASSERT_EQ(TSPickUpStyle(index, &style), NoError);
    EXPECT_EQ(style.fontName, "Arial");
    EXPECT_EQ(style.face, TE::FaceItalic);
    EXPECT_EQ(style.justification, 1);
    EXPECT_EQ(TSPickUpStyle(index + 1000, &style), APIERR_BADINDEX);
    EXPECT_EQ(TSPickUpStyle(0, &style), APIERR_BADINDEX);
}

struct FileCloser
{
    void operator()(std::FILE* file) const { std::fclose(file); }
};

std::vector<std::uint8_t> ReadPngRGBA(const std::string& path, std::uint32_t& width, std::uint32_t& height)
{
    png_image png {};
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&png, path.c_str())) return {};
    png.format = PNG_FORMAT_RGBA;
    std::vector<std::uint8_t> pixels(PNG_IMAGE_SIZE(png));
    if (!png_image_finish_read(&png, nullptr, pixels.data(), 0, nullptr)) return {};
    width = png.width, height = png.height;
    return pixels;
}

TEST(PngWriter, APictureReadsBackPixelForPixel)
{
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / ("survanto-png-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    NativeImage image(5, 3);
    NativeContext context(image);
    context.FillRect(1, 0, 4, 2, Gfx::Color(10, 20, 30, 255));
    context.FillRect(0, 2, 5, 3, Gfx::Color(200, 100, 50, 128));
    const std::string path = (folder / "picture.png").string();
    std::string error;
    ASSERT_TRUE(NewDisplay::WritePngFile(image, path, &error)) << error;
    std::uint32_t width = 0, height = 0;
    EXPECT_EQ(ReadPngRGBA(path, width, height), image.GetRGBA());
    EXPECT_EQ(width, 5u);
    EXPECT_EQ(height, 3u);
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        EXPECT_NE(entry.path().filename().string()[0], '.') << "a file left aside: " << entry.path();

    EXPECT_FALSE(NewDisplay::WritePngFile(image, (folder / "missing" / "picture.png").string(), &error));
    EXPECT_NE(error.find("cannot create"), std::string::npos);
    EXPECT_FALSE(NewDisplay::WritePngFile(NativeImage(0, 0), path, &error));
    std::filesystem::remove_all(folder);
}

}  // namespace
