#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <thread>

#include "FTM/FileTypeManager.hpp"
#include "GX/ImageBase.hpp"
#include "ImageFiles.hpp"
#include "InProcessHost.hpp"

namespace
{

// A 3 x 2 picture, 24 bits: top row red, green, blue; bottom row white, black,
// grey. Rows bottom-up, 9 bytes padded to 12.
const Bytes Bmp3x2 = {
    'B', 'M', 78, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0,                // file header
    40, 0, 0, 0, 3, 0, 0, 0, 2, 0, 0, 0, 1, 0, 24, 0, 0, 0, 0, 0,  // size, width, height, planes,
                                                                   // bits, compression
    24, 0, 0, 0, 0x13, 0x0B, 0, 0, 0x13, 0x0B, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0x80, 0x80, 0x80, 0, 0,
    0,                                            // bottom row
    0, 0, 0xFF, 0, 0xFF, 0, 0xFF, 0, 0, 0, 0, 0,  // top row
};
const Bytes Pixels3x2 = {0,    0,    0xFF, 0xFF, 0, 0xFF, 0, 0xFF, 0xFF, 0,    0,    0xFF,
                         0xFF, 0xFF, 0xFF, 0xFF, 0, 0,    0, 0xFF, 0x80, 0x80, 0x80, 0xFF};

// The same picture at 32 bits, rows top-down (negative height), with alpha.
Bytes Bmp3x2TopDownWithAlpha()
{
    Bytes bmp(Bmp3x2.begin(), Bmp3x2.begin() + 54);
    bmp[2] = 78;
    bmp[22] = 0xFE, bmp[23] = 0xFF, bmp[24] = 0xFF, bmp[25] = 0xFF;
    bmp[28] = 32;
    bmp[34] = 24;
    const Bytes pixels = {0,    0,    0xFF, 0x10, 0, 0xFF, 0, 0x20, 0xFF, 0,    0,    0x30,
                          0xFF, 0xFF, 0xFF, 0xFF, 0, 0,    0, 0,    0x80, 0x80, 0x80, 0x80};
    bmp.insert(bmp.end(), pixels.begin(), pixels.end());
    return bmp;
}

Bytes Gradient(std::int32_t width, std::int32_t height, bool withAlpha)
{
    Bytes bgra;
    for (std::int32_t y = 0; y < height; ++y)
        for (std::int32_t x = 0; x < width; ++x)
            bgra.insert(bgra.end(), {std::uint8_t(x * 255 / width), std::uint8_t(y * 255 / height), std::uint8_t(128),
                                     std::uint8_t(withAlpha ? (x + y) * 7 % 256 : 255)});
    return bgra;
}

// Alpha 128 everywhere.
Bytes Half(Bytes bgra)
{
    for (std::size_t i = 3; i < bgra.size(); i += 4) bgra[i] = 128;
    return bgra;
}

Bytes PngWithBadChecksum()
{
    Bytes png = MakePng(4, 3, Gradient(4, 3, true));
    const std::size_t idat = FindPngChunk(png, "IDAT");
    png[idat + 4 + (png[idat - 2] << 8 | png[idat - 1])] ^= 0x5A;
    return png;
}

Bytes PngClaiming(std::uint32_t width, std::uint32_t height)
{
    Bytes png = MakePng(4, 3, Gradient(4, 3, false));
    const std::size_t ihdr = FindPngChunk(png, "IHDR");
    for (int i = 0; i < 4; ++i)
    {
        png[ihdr + 4 + i] = std::uint8_t(width >> (24 - 8 * i));
        png[ihdr + 8 + i] = std::uint8_t(height >> (24 - 8 * i));
    }
    SealPngChunk(png, ihdr);
    return png;
}

Bytes BmpClaiming(std::int32_t width, std::int32_t height)
{
    Bytes bmp = Bmp3x2;
    for (int i = 0; i < 4; ++i)
    {
        bmp[18 + i] = std::uint8_t(std::uint32_t(width) >> (8 * i));
        bmp[22 + i] = std::uint8_t(std::uint32_t(height) >> (8 * i));
    }
    return bmp;
}

Bytes Truncated(const Bytes& bytes, std::size_t keep) { return Bytes(bytes.begin(), bytes.begin() + keep); }

// Cut halfway through the compressed data, behind the start-of-scan marker.
Bytes TruncatedInScan(const Bytes& jpeg)
{
    std::size_t scan = 2;
    while (scan + 1 < jpeg.size() && !(jpeg[scan] == 0xFF && jpeg[scan + 1] == 0xDA)) ++scan;
    return Truncated(jpeg, scan + (jpeg.size() - scan) / 2);
}

struct ImageCase
{
    const char* name;
    std::function<Bytes()> file;
    bool readable;
    std::int32_t width, height;
    Bytes pixels;   // expected, when readable
    int tolerance;  // largest difference per byte
};

std::vector<ImageCase> Cases()
{
    const Bytes jpegPixels = Gradient(16, 16, false);
    return {
        {"bmp24BottomUp", [] { return Bmp3x2; }, true, 3, 2, Pixels3x2, 0},
        {"bmp32TopDownWithAlpha",
         Bmp3x2TopDownWithAlpha,
         true,
         3,
         2,
         {0, 0, 0xFF, 0x10, 0, 0xFF, 0, 0x20, 0xFF, 0, 0, 0x30, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0x80, 0x80, 0x80, 0x80},
         0},
        {"png", [] { return MakePng(4, 3, Gradient(4, 3, true)); }, true, 4, 3, Gradient(4, 3, true), 0},
        {"jpeg", [=] { return MakeJpeg(16, 16, jpegPixels, 95); }, true, 16, 16, jpegPixels, 16},
        {"tiff", [] { return MakeTiff(5, 3, Gradient(5, 3, false)); }, true, 5, 3, Gradient(5, 3, false), 0},
        {"tiffWithAlpha", [] { return MakeTiff(5, 3, Half(Gradient(5, 3, false))); }, true, 5, 3, Half(Gradient(5, 3, false)), 1},
        {"tga", [] { return MakeTga(5, 3, Gradient(5, 3, true)); }, true, 5, 3, Gradient(5, 3, true), 0},
        {"truncatedTiff", [] { return Truncated(MakeTiff(40, 30, Gradient(40, 30, false)), 200); }, false, 0, 0, {}, 0},
        {"truncatedTga", [] { return Truncated(MakeTga(5, 3, Gradient(5, 3, true)), 40); }, false, 0, 0, {}, 0},
        {"truncatedJpeg", [=] { return TruncatedInScan(MakeJpeg(16, 16, jpegPixels, 95)); }, false, 0, 0, {}, 0},
        {"pngWithBadChecksum", PngWithBadChecksum, false, 0, 0, {}, 0},
        {"pngClaiming100000Squared", [] { return PngClaiming(100000, 100000); }, false, 0, 0, {}, 0},
        {"bmpClaiming100000Squared", [] { return BmpClaiming(100000, 100000); }, false, 0, 0, {}, 0},
        {"truncatedBmp", [] { return Truncated(Bmp3x2, 70); }, false, 0, 0, {}, 0},
        {"compressedBmp",
         [] {
             Bytes b = Bmp3x2;
             b[30] = 1;
             return b;
         },
         false,
         0,
         0,
         {},
         0},
        {"text",
         [] {
             return Bytes {'B', 'i', 'l', 'd'};
         },
         false,
         0,
         0,
         {},
         0},
        {"empty", [] { return Bytes {}; }, false, 0, 0, {}, 0},
    };
}

class ImageModule : public ::testing::TestWithParam<ImageCase>
{
protected:
    TempFolder folder;

    IO::Location Write(const Bytes& bytes)
    {
        const std::string path = folder.path() + "/image";
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        return IO::Location(path);
    }
};

void ExpectPixels(GSPixMapHandle pixMap, const ImageCase& c)
{
    ASSERT_EQ(GXGetGSPixMapWidth(pixMap), c.width);
    ASSERT_EQ(GXGetGSPixMapHeight(pixMap), c.height);
    ASSERT_EQ(GXGetGSPixMapBytesPerRow(pixMap), c.width * 4);
    const std::uint8_t* pixels = GXGetGSPixMapBaseAddr(pixMap);
    int largest = 0;
    for (std::size_t i = 0; i < c.pixels.size(); ++i) largest = std::max(largest, std::abs(int(pixels[i]) - int(c.pixels[i])));
    EXPECT_LE(largest, c.tolerance);
}

TEST_P(ImageModule, ReadsWhatItCanAndRefusesTheRest)
{
    const ImageCase& c = GetParam();
    GSPixMapHandle pixMap = reinterpret_cast<GSPixMapHandle>(&folder);
    const bool read = GX::ImageBase::ReadFile(Write(c.file()), pixMap, GSPixMapPixelType32);
    ASSERT_EQ(read, c.readable);
    if (!read)
    {
        EXPECT_EQ(pixMap, nullptr);
        return;
    }
    ExpectPixels(pixMap, c);
    GXDeleteGSPixMap(pixMap);
}

INSTANTIATE_TEST_SUITE_P(Files, ImageModule, ::testing::ValuesIn(Cases()),
                         [](const auto& info) { return std::string(info.param.name); });

// The decoders share nothing: every case read on four threads at once.
TEST(ImageModuleThreads, ReadsOnSeveralThreadsAtOnce)
{
    TempFolder folder;
    const std::vector<ImageCase> cases = Cases();
    for (std::size_t i = 0; i < cases.size(); ++i)
    {
        const Bytes bytes = cases[i].file();
        std::ofstream(folder.path() + "/" + std::to_string(i), std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }
    std::vector<int> wrong(4, 0);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&, t] {
            for (int round = 0; round < 5; ++round)
                for (std::size_t i = 0; i < cases.size(); ++i)
                {
                    GSPixMapHandle pixMap = nullptr;
                    const bool read = GX::ImageBase::ReadFile(IO::Location(folder.path() + "/" + std::to_string(i)), pixMap,
                                                              GSPixMapPixelType32);
                    wrong[t] += read != cases[i].readable;
                    GXDeleteGSPixMap(pixMap);
                }
        });
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(wrong, std::vector<int>(4, 0));
}

TEST(ImageModuleFiles, OnlyThe32BitPixelTypeAndExistingFilesAreRead)
{
    TempFolder folder;
    const std::string path = folder.path() + "/a.bmp";
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(Bmp3x2.data()), std::streamsize(Bmp3x2.size()));
    GSPixMapHandle pixMap = nullptr;
    EXPECT_FALSE(GX::ImageBase::ReadFile(IO::Location(path), pixMap, 3));
    EXPECT_FALSE(GX::ImageBase::ReadFile(IO::Location(folder.path() + "/missing.bmp"), pixMap, GSPixMapPixelType32));
    EXPECT_EQ(pixMap, nullptr);
}

// An opaque pixmap becomes the 24-bit file it came from; one with alpha keeps it
// at 32 bits, rows bottom-up.
TEST(ImageModuleConversion, PixMapsBecomeBmpData)
{
    TempFolder folder;
    const FTM::TypeID bmp = FTM::FileTypeManager::SearchForMime("image/bmp");
    for (const Bytes& file : {Bmp3x2, Bmp3x2TopDownWithAlpha()})
    {
        const std::string path = folder.path() + "/p.bmp";
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(file.data()), std::streamsize(file.size()));
        GSPixMapHandle pixMap = nullptr;
        ASSERT_TRUE(GX::ImageBase::ReadFile(IO::Location(path), pixMap, GSPixMapPixelType32));
        Bytes data;
        ASSERT_TRUE(GX::ImageBase::ConvertFromPixMap(pixMap, bmp, data));
        Bytes png;
        EXPECT_FALSE(GX::ImageBase::ConvertFromPixMap(pixMap, FTM::FileTypeManager::SearchForMime("image/png"), png));
        GXDeleteGSPixMap(pixMap);
        if (file == Bmp3x2)
        {
            EXPECT_EQ(data, Bmp3x2);
            continue;
        }
        ASSERT_EQ(data.size(), 78u);
        EXPECT_EQ(data[28], 32);
        EXPECT_EQ(data[22], 2);
        EXPECT_EQ(Bytes(data.begin() + 54, data.begin() + 58), (Bytes {0xFF, 0xFF, 0xFF, 0xFF}));  // bottom left, white
    }
}

// A BMP file's resolution lives in its pixmap and comes back in the data: 3780
// pixels a metre are 96.012 dpi, which give 3780 again.
TEST(ImageModuleConversion, TheResolutionOfABmpFileComesBackInItsData)
{
    Bytes file = Bmp3x2;
    for (const std::size_t at : {38u, 42u}) file[at] = 0xC4, file[at + 1] = 0x0E;
    GSPixMapHandle pixMap = nullptr;
    ASSERT_TRUE(GX::ImageBase::ReadData(file, pixMap, GSPixMapPixelType32));
    Bytes data;
    ASSERT_TRUE(GX::ImageBase::ConvertFromPixMap(pixMap, FTM::FileTypeManager::Bmp, data));
    GXDeleteGSPixMap(pixMap);
    EXPECT_EQ(data, file);
}

// Rows are packed four or eight pixels at a time; the widths around that come back whole,
// and one translucent pixel keeps all rows at 32 bits, in the bottom row (the
// first written) as in the top row (the last written).
TEST(ImageModuleConversion, EveryRowWidthComesBackFromItsBmpData)
{
    enum Translucent
    {
        None,
        Bottom,
        Top
    };
    for (const std::int32_t width : {1, 4, 5, 7, 8, 9, 11, 16, 19, 33})
    {
        for (const Translucent at : {None, Bottom, Top})
        {
            const bool translucent = at != None;
            GSPixMapHandle pixMap = GXCreateGSPixMap(width, 3, 72, 72);
            std::uint8_t* p = GXGetGSPixMapBaseAddr(pixMap);
            for (std::int32_t i = 0; i < width * 3; ++i, p += 4)
            {
                p[0] = static_cast<std::uint8_t>(i * 7), p[1] = static_cast<std::uint8_t>(i * 13 + 1);
                p[2] = static_cast<std::uint8_t>(255 - i), p[3] = 255;
            }
            if (at == Bottom) p[-1] = 128;
            if (at == Top) GXGetGSPixMapBaseAddr(pixMap)[3] = 128;
            Bytes data;
            ASSERT_TRUE(GX::ImageBase::ConvertFromPixMap(pixMap, FTM::FileTypeManager::Bmp, data));
            EXPECT_EQ(data[28], translucent ? 32 : 24) << width;
            GSPixMapHandle back = nullptr;
            ASSERT_TRUE(GX::ImageBase::ReadData(data, back, GSPixMapPixelType32)) << width;
            const Bytes before(GXGetGSPixMapBaseAddr(pixMap), GXGetGSPixMapBaseAddr(pixMap) + width * 12);
            const Bytes after(GXGetGSPixMapBaseAddr(back), GXGetGSPixMapBaseAddr(back) + width * 12);
            EXPECT_EQ(after, before) << width << (translucent ? " translucent" : " opaque");
            GXDeleteGSPixMap(back);
            GXDeleteGSPixMap(pixMap);
        }
    }
}

TEST(ImageModuleConversion, FileTypesByMime)
{
    EXPECT_EQ(FTM::FileTypeManager::SearchForMime("image/bmp"), FTM::FileTypeManager::Bmp);
    EXPECT_EQ(FTM::FileTypeManager::SearchForMime("image/png"), FTM::FileTypeManager::Png);
    EXPECT_EQ(FTM::FileTypeManager::SearchForMime("image/gif"), FTM::UnknownType);
    EXPECT_EQ(FTM::FileTypeManager::SearchForMime(nullptr), FTM::UnknownType);
}

TEST(ImageModulePixMaps, SizesBeyondTheBoundAreRefused)
{
    EXPECT_EQ(GXCreateGSPixMap(0, 5, 72, 72), nullptr);
    EXPECT_EQ(GXCreateGSPixMap(100000, 100000, 72, 72), nullptr);
    GSPixMapHandle pixMap = GXCreateGSPixMap(5, 4, 72, 72);
    ASSERT_NE(pixMap, nullptr);
    EXPECT_EQ(GXGetGSPixMapBytesPerRow(pixMap), 20);
    GXDeleteGSPixMap(pixMap);
}

}  // namespace
