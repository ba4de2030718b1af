#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "FTM/FileTypeManager.hpp"
#include "GX/Image.hpp"
#include "GX/ImageBase.hpp"
#include "ImageFiles.hpp"
#include "InProcessHost.hpp"

namespace
{

// Smooth enough for JPEG, varied enough to tell places apart.
Bytes Waves(std::int32_t width, std::int32_t height)
{
    Bytes bgra(std::size_t(width) * std::size_t(height) * 4);
    std::uint8_t* p = bgra.data();
    for (std::int32_t y = 0; y < height; ++y)
        for (std::int32_t x = 0; x < width; ++x, p += 4)
        {
            p[0] = static_cast<std::uint8_t>(128 + 100 * std::sin(x * 6.0 / width));
            p[1] = static_cast<std::uint8_t>(128 + 100 * std::cos(y * 5.0 / height));
            p[2] = static_cast<std::uint8_t>((x + y) * 255 / (width + height));
            p[3] = 255;
        }
    return bgra;
}

struct PixMapDeleter
{
    void operator()(GSPixMap* pixMap) const { GXDeleteGSPixMap(pixMap); }
};
using PixMapPtr = std::unique_ptr<GSPixMap, PixMapDeleter>;

PixMapPtr PixMapOf(std::int32_t width, std::int32_t height, const Bytes& bgra)
{
    PixMapPtr pixMap(GXCreateGSPixMap(width, height, 72, 72));
    std::copy(bgra.begin(), bgra.end(), GXGetGSPixMapBaseAddr(pixMap.get()));
    return pixMap;
}

Bytes PixelsOf(GSPixMapHandle pixMap)
{
    const std::uint8_t* base = GXGetGSPixMapBaseAddr(pixMap);
    return Bytes(base, base + std::size_t(GXGetGSPixMapBytesPerRow(pixMap)) * std::size_t(GXGetGSPixMapHeight(pixMap)));
}

class ImageScaling : public ::testing::Test
{
protected:
    TempFolder folder;

    IO::Location Write(const std::string& name, const Bytes& bytes)
    {
        const std::string path = folder.path() + "/" + name;
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        return IO::Location(path);
    }

    // The thumbnail of the photo: read for the box, fitted centred as the list does.
    PixMapPtr Thumbnail(const IO::Location& photo, std::int32_t box, bool reduced)
    {
        GSPixMapHandle read = nullptr;
        std::int32_t w = 0, h = 0;
        const bool ok = reduced ? GX::ImageBase::ReadFile(photo, read, GSPixMapPixelType32, box, box, w, h)
                                : GX::ImageBase::ReadFile(photo, read, GSPixMapPixelType32);
        PixMapPtr source(read);
        if (!ok) return nullptr;
        if (!reduced) w = GXGetGSPixMapWidth(read), h = GXGetGSPixMapHeight(read);
        const double s = std::min(double(box) / w, double(box) / h);
        GXRect to;
        to.left = static_cast<std::int32_t>(box / 2.0 - w / 2.0 * s);
        to.top = static_cast<std::int32_t>(box / 2.0 - h / 2.0 * s);
        to.right = static_cast<std::int32_t>(to.left + w * s);
        to.bottom = static_cast<std::int32_t>(to.top + h * s);
        PixMapPtr thumbnail(GXCreateGSPixMap(box, box, 72, 72));
        EXPECT_TRUE(GXStretchGSPixMap(read, thumbnail.get(), {0, 0, GXGetGSPixMapWidth(read), GXGetGSPixMapHeight(read)}, to));
        return thumbnail;
    }
};

// A JPEG is decoded at the largest DCT reduction that still covers the size it
// is fitted to; the full size comes from its header.
TEST_F(ImageScaling, JpegsAreDecodedAtTheLargestReductionThatCoversTheFittedSize)
{
    struct Case
    {
        std::int32_t width, height, fitWidth, fitHeight, readWidth, readHeight;
    };
    for (const Case& c :
         {Case {4000, 3000, 64, 64, 500, 375}, Case {100, 50, 200, 200, 100, 50}, Case {200, 100, 100, 100, 100, 50},
          Case {400, 300, 100, 100, 100, 75}, Case {641, 480, 64, 64, 81, 60}})
    {
        const IO::Location photo = Write("photo.jpg", MakeJpeg(c.width, c.height, Waves(c.width, c.height), 80));
        GSPixMapHandle pixMap = nullptr;
        std::int32_t fullWidth = 0, fullHeight = 0;
        ASSERT_TRUE(GX::ImageBase::ReadFile(photo, pixMap, GSPixMapPixelType32, c.fitWidth, c.fitHeight, fullWidth, fullHeight));
        EXPECT_EQ(GXGetGSPixMapWidth(pixMap), c.readWidth) << c.width << " x " << c.height;
        EXPECT_EQ(GXGetGSPixMapHeight(pixMap), c.readHeight) << c.width << " x " << c.height;
        EXPECT_EQ(fullWidth, c.width);
        EXPECT_EQ(fullHeight, c.height);
        GXDeleteGSPixMap(pixMap);
    }
    // Other kinds are read whole, their size being their full size.
    GSPixMapHandle pixMap = nullptr;
    std::int32_t fullWidth = 0, fullHeight = 0;
    ASSERT_TRUE(GX::ImageBase::ReadFile(Write("photo.png", MakePng(300, 200, Waves(300, 200))), pixMap, GSPixMapPixelType32, 64,
                                        64, fullWidth, fullHeight));
    EXPECT_EQ(GXGetGSPixMapWidth(pixMap), 300);
    EXPECT_EQ(fullWidth, 300);
    EXPECT_EQ(fullHeight, 200);
    GXDeleteGSPixMap(pixMap);
    EXPECT_FALSE(
        GX::ImageBase::ReadFile(Write("notes.txt", {'n', 'o'}), pixMap, GSPixMapPixelType32, 64, 64, fullWidth, fullHeight));
    EXPECT_EQ(pixMap, nullptr);
}

TEST_F(ImageScaling, AThumbnailFromTheReducedDecodeIsCloseToOneFromTheFullDecode)
{
    const IO::Location photo = Write("photo.jpg", MakeJpeg(640, 480, Waves(640, 480), 90));
    const PixMapPtr reduced = Thumbnail(photo, 64, true);
    const PixMapPtr full = Thumbnail(photo, 64, false);
    ASSERT_TRUE(reduced && full);
    const Bytes a = PixelsOf(reduced.get()), b = PixelsOf(full.get());
    int largest = 0;
    for (std::size_t i = 0; i < a.size(); ++i) largest = std::max(largest, std::abs(int(a[i]) - int(b[i])));
    EXPECT_LE(largest, 6);
    // The fitted rectangle (0, 8, 64, 56): the bands above and below stay clear.
    EXPECT_EQ(a[(7 * 64 + 30) * 4 + 3], 0);
    EXPECT_EQ(a[(8 * 64 + 30) * 4 + 3], 255);
    EXPECT_EQ(a[(55 * 64 + 30) * 4 + 3], 255);
    EXPECT_EQ(a[(56 * 64 + 30) * 4 + 3], 0);
}

// Each destination pixel averages the area it covers, colours by their alpha;
// what falls outside the destination is left out.
TEST(ImageStretch, AveragesTheCoveredAreaAndClipsToTheDestination)
{
    // 4 x 2: a 2 x 2 block of 0 and 200 in blue, then one of 100 with a clear pixel.
    const Bytes source = {0, 0, 0, 255, 200, 0, 0, 255, 100, 0, 0, 255, 100, 0, 0, 255,
                          0, 0, 0, 255, 200, 0, 0, 255, 100, 0, 0, 255, 250, 0, 0, 0};
    const PixMapPtr from = PixMapOf(4, 2, source);
    const PixMapPtr to(GXCreateGSPixMap(2, 1, 72, 72));
    ASSERT_TRUE(GXStretchGSPixMap(from.get(), to.get(), {0, 0, 4, 2}, {0, 0, 2, 1}));
    EXPECT_EQ(PixelsOf(to.get()), (Bytes {100, 0, 0, 255, 100, 0, 0, 191}));

    const PixMapPtr wide(GXCreateGSPixMap(3, 2, 72, 72));
    ASSERT_TRUE(GXStretchGSPixMap(from.get(), wide.get(), {0, 0, 2, 1}, {-1, 0, 3, 2}));  // doubled, its first column cut off
    EXPECT_EQ(PixelsOf(wide.get()),
              (Bytes {0, 0, 0, 255, 200, 0, 0, 255, 200, 0, 0, 255, 0, 0, 0, 255, 200, 0, 0, 255, 200, 0, 0, 255}));

    EXPECT_FALSE(GXStretchGSPixMap(from.get(), to.get(), {0, 0, 5, 2}, {0, 0, 2, 1}));
    EXPECT_FALSE(GXStretchGSPixMap(from.get(), to.get(), {0, 0, 4, 2}, {0, 0, 0, 1}));
    EXPECT_FALSE(GXStretchGSPixMap(nullptr, to.get(), {0, 0, 4, 2}, {0, 0, 2, 1}));
}

// A 3 x 2 picture a b c / d e f turned left t times, with the destination origins
// the list uses: (0, H), (W, H), (W, 0), (0, 0) of the destination.
TEST(ImageRotation, QuarterTurnsOfAThreeByTwoPictureByPixel)
{
    const Bytes source = {'a', 0, 0, 255, 'b', 0, 0, 255, 'c', 0, 0, 255, 'd', 0, 0, 255, 'e', 0, 0, 255, 'f', 0, 0, 255};
    const PixMapPtr from = PixMapOf(3, 2, source);
    struct Case
    {
        int turns;
        std::int32_t width, height;
        GXPoint origin;
        std::string rows;
    };
    for (const Case& c :
         {Case {0, 3, 2, {0, 2}, "abc/def"}, Case {1, 2, 3, {2, 3}, "cf/be/ad"}, Case {2, 3, 2, {3, 0}, "fed/cba"},
          Case {3, 2, 3, {0, 0}, "da/eb/fc"}, Case {4, 3, 2, {0, 2}, "abc/def"}})
    {
        const PixMapPtr to(GXCreateGSPixMap(c.width, c.height, 72, 72));
        ASSERT_TRUE(GXRotateGSPixMap(from.get(), to.get(), {0, 0, 3, 2}, c.turns * M_PI / 2, c.origin));
        std::string rows;
        const Bytes pixels = PixelsOf(to.get());
        for (std::size_t i = 0; i < pixels.size(); i += 4)
        {
            if (i > 0 && i / 4 % std::size_t(c.width) == 0) rows += '/';
            rows += pixels[i + 3] == 255 ? char(pixels[i]) : '.';
        }
        EXPECT_EQ(rows, c.rows) << c.turns << " turns";
    }
    // A part of the source; the pixels it does not cover keep their value.
    const PixMapPtr to(GXCreateGSPixMap(3, 2, 72, 72));
    ASSERT_TRUE(GXRotateGSPixMap(from.get(), to.get(), {1, 0, 3, 1}, 0.0, {0, 1}));
    EXPECT_EQ(PixelsOf(to.get()), (Bytes {'b', 0, 0, 255, 'c', 0, 0, 255, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_FALSE(GXRotateGSPixMap(from.get(), to.get(), {0, 0, 3, 3}, 0.0, {0, 2}));
}

TEST_F(ImageScaling, WriteFileMakesAPngAt72DpiThatReadsBack)
{
    const Bytes pixels = {10, 20, 30, 255, 40, 50, 60, 128, 70, 80, 90, 255, 1, 2, 3, 0, 4, 5, 6, 255, 7, 8, 9, 255};
    const PixMapPtr pixMap = PixMapOf(3, 2, pixels);
    const std::string path = folder.path() + "/photo_emb.png";
    Write("photo_emb.png", {'o', 'l', 'd'});
    ASSERT_TRUE(GX::ImageBase::WriteFile(IO::Location(path), FTM::FileTypeManager::SearchForMime("image/png"), pixMap.get()));
    GSPixMapHandle back = nullptr;
    ASSERT_TRUE(GX::ImageBase::ReadFile(IO::Location(path), back, GSPixMapPixelType32));
    EXPECT_EQ(PixelsOf(back), pixels);
    GXDeleteGSPixMap(back);
    std::ifstream in(path, std::ios::binary);
    const Bytes png((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::size_t phys = FindPngChunk(png, "pHYs");
    ASSERT_NE(phys, 0u);
    EXPECT_EQ(Bytes(png.begin() + std::ptrdiff_t(phys) + 4, png.begin() + std::ptrdiff_t(phys) + 13),
              (Bytes {0, 0, 0x0B, 0x13, 0, 0, 0x0B, 0x13, 1}));  // 2835 pixels a metre both ways
    for (const auto& entry : std::filesystem::directory_iterator(folder.path()))
        EXPECT_NE(entry.path().filename().string()[0], '.') << "a file left aside: " << entry.path();

    EXPECT_FALSE(GX::ImageBase::WriteFile(IO::Location(folder.path() + "/none/x.png"), FTM::FileTypeManager::Png, pixMap.get()));
    EXPECT_FALSE(GX::ImageBase::WriteFile(IO::Location(path), FTM::FileTypeManager::Bmp, pixMap.get()));
    EXPECT_FALSE(GX::ImageBase::WriteFile(IO::Location(path), FTM::FileTypeManager::Png, nullptr));
}

TEST(ImageConversion, NativeImagesAndIconsCarryThePixelsAsRgba)
{
    const PixMapPtr pixMap = PixMapOf(2, 1, {10, 20, 30, 255, 40, 50, 60, 128});
    const GX::Image image(pixMap.get());
    const NewDisplay::NativeImage native = image.ToNativeImage(1.0, false);
    EXPECT_EQ(native.GetRGBA(), (Bytes {30, 20, 10, 255, 60, 50, 40, 128}));
    EXPECT_EQ(image.ToNativeImage(1.0, true).GetRGBA(), (Bytes {30, 20, 10, 255, 30, 25, 20, 128}));
    const NewDisplay::NativeImage half = image.ToNativeImage(0.5, false);
    EXPECT_EQ(half.GetWidth(), 1u);
    EXPECT_EQ(half.GetRGBA(), (Bytes {40, 30, 20, 192}));
    const DG::NativeIcon icon = image.ToDGIcon();
    ASSERT_FALSE(icon.IsEmpty());
    EXPECT_EQ(icon.GetPicture().GetRGBA(), native.GetRGBA());
    EXPECT_TRUE(GX::Image(nullptr).ToDGIcon().IsEmpty());
}

}  // namespace
