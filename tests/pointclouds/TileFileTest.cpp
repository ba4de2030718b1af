#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "InProcessHost.hpp"
#include "JobTestSupport.hpp"

namespace
{

struct ExpectedTile
{
    const char* image;  // below the folder holding Job7_info; "" for an empty path
    API_Coord3D leftBottom, rightBottom, leftUpper, rightUpper;
};

struct TileFileCase
{
    const char* name;
    std::string content;
    std::vector<ExpectedTile> tiles;
};

const std::string Corners = "Left Bottom: x = 0; y = 0; z = 0\n"
                            "Left Upper: x = 0; y = 0; z = 3\n"
                            "Right Upper: x = 2; y = 0; z = 3\n"
                            "Right Bottom: x = 2; y = 0; z = 0\n";
const API_Coord3D O {0, 0, 0}, A {2, 0, 0}, B {0, 0, 3}, C {2, 0, 3};

std::string Utf16File(const std::u16string& text)
{
    std::string bytes = "\xFF\xFE";
    for (char16_t unit : text) bytes += {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
    return bytes;
}

std::vector<TileFileCase> Cases()
{
    return {
        {"lastLineWithoutBreak",
         "Tile Name = tiles/a.png\n" + Corners.substr(0, Corners.size() - 1),
         {{"tiles/a.png", O, A, B, C}}},
        {"noTileName", Corners, {{"", O, A, B, C}}},
        {"secondTileTakesFirstPath",
         "Tile Name = a.png\n" + Corners + "Left Bottom: x = 5; y = 0; z = 0\nRight Bottom: x = 7; y = 0; z = 0\n",
         {{"a.png", O, A, B, C}, {"a.png", {5, 0, 0}, {7, 0, 0}, B, C}}},
        {"backslashes", "Tile Name = tiles\\b\\c.jpg\r\n" + Corners, {{"tiles/b/c.jpg", O, A, B, C}}},
        {"incompleteCornerSetsNothing",
         "Left Bottom: x = 1; y = 1; z = 1\nLeft Bottom: x = 4; y = 4\nOrigin x = 9; y = 9; z = 9\nRight Bottom: x = 2; y = 0; z "
         "= 0\n",
         {{"", {1, 1, 1}, A, O, O}}},
        {"rightBottomWithoutValuesClosesTile",
         "Tile Name = a.png\n" + Corners + "Tile Name = b.png\nRight Bottom\n",
         {{"a.png", O, A, B, C}, {"b.png", O, A, B, C}}},
        {"keysInAnyOrderValueToLineEnd",
         "Left Bottom z = 3; x = 1; y = 2\nRight Bottom y = 5; x = 4; z = 6.25\n",
         {{"", {1, 2, 3}, {4, 5, 6.25}, O, O}}},
        {"numbersInCLocaleUnreadableAsZero", "Right Bottom x = 1.5e1; y = -2,5; z = abc\n", {{"", O, {15, -2, 0}, O, O}}},
        {"keysAreCaseSensitive", "right bottom x = 1; y = 1; z = 1\nRight bottom x = 1; y = 1; z = 1\nTile Name: a.png\n", {}},
        {"utf8Mark",
         "\xEF\xBB\xBFTile Name = Stra\xC3\x9F"
         "e.png\n" +
             Corners,
         {{"Stra\xC3\x9F"
           "e.png",
           O, A, B, C}}},
        {"eightBitText",
         "Tile Name = Stra\xDF"
         "e.png\n" +
             Corners,
         {{"Stra\xC3\x9F"
           "e.png",
           O, A, B, C}}},
        {"utf16Mark",
         Utf16File(u"Tile Name = Stra\u00DFe.png\r\nRight Bottom x = 1; y = 2; z = 3\r\n"),
         {{"Stra\xC3\x9F"
           "e.png",
           O,
           {1, 2, 3},
           O,
           O}}},
        {"emptyFile", "", {}},
        // Only images below the folder holding the job's folder are taken; a
        // refused name does not hand the tile the image of the tile before.
        {"imagesOutsideTheJobAreRefused",
         "Tile Name = ok.png\n" + Corners + "Tile Name = ../secret.png\n" + Corners + "Tile Name = /etc/passwd\n" + Corners +
             "Tile Name = tiles\\..\\..\\x.png\n" + Corners + "Tile Name = C:\\x.png\n" + Corners +
             "Tile Name = \\\\server\\x.png\n" + Corners + "Tile Name = tiles/..b/c.png\n" + Corners,
         {{"ok.png", O, A, B, C}, {"tiles/..b/c.png", O, A, B, C}}},
        // A corner that is no finite number refuses its tile; the corner stays
        // pending until a later tile sets it again.
        {"nonFiniteCornersRefuseTheTile",
         "Tile Name = a.png\nLeft Bottom: x = nan; y = 0; z = 0\n" + Corners.substr(Corners.find("Left Upper")) +
             "Tile Name = b.png\nLeft Bottom: x = 0; y = 0; z = 0\nRight Bottom: x = 2; y = 0; z = 0\n" +
             "Right Upper: x = 2; y = -inf; z = 3\nRight Bottom: x = 2; y = 0; z = 0\n" +
             "Left Upper: x = 0; y = 0; z = 1e999\nRight Upper: x = 2; y = 0; z = 3\nRight Bottom: x = 2; y = 0; z = 0\n" +
             "Tile Name = c.png\nLeft Upper: x = 0; y = 0; z = 3\nRight Bottom: x = 2; y = 0; z = NaN\n" +
             "Right Bottom: x = 2; y = 0; z = 0\n",
         {{"b.png", O, A, B, C}, {"c.png", O, A, B, C}}},
    };
}

class TileFile : public ::testing::TestWithParam<TileFileCase>
{
protected:
    TempFolder folder;

    IO::Location WriteJobFile(const std::string& content)
    {
        const std::string info = folder.path() + "/Job7_info";
        std::filesystem::create_directories(info);
        const std::string path = info + "/Job7-coord.txt";
        std::ofstream(path, std::ios::binary) << content;
        return IO::Location(path);
    }
};

TEST_P(TileFile, ReadsTheTilesItDescribes)
{
    const TileFileCase& c = GetParam();
    OrtophotoData job;
    OrtophotoData::ReadTileFile(job, WriteJobFile(c.content));
    ASSERT_EQ(job.tiles.GetSize(), c.tiles.size());
    for (std::uint32_t i = 0; i < c.tiles.size(); ++i)
    {
        const ExpectedTile& e = c.tiles[i];
        const std::string image = *e.image == 0 ? "" : folder.path() + "/" + e.image;
        ExpectSameTile(job.tiles[i], MakeTile(image.c_str(), e.leftBottom, e.rightBottom, e.leftUpper, e.rightUpper));
    }
}

INSTANTIATE_TEST_SUITE_P(Files, TileFile, ::testing::ValuesIn(Cases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(TileFileLines, LongLinesAreCutAt2800Bytes)
{
    TempFolder folder;
    std::filesystem::create_directories(folder.path() + "/J_info");
    const std::string path = folder.path() + "/J_info/J-coord.txt";
    std::ofstream(path, std::ios::binary) << "Tile Name = " << std::string(3000, 'a') << "\nRight Bottom\n";
    OrtophotoData job;
    OrtophotoData::ReadTileFile(job, IO::Location(path));
    ASSERT_EQ(job.tiles.GetSize(), 1u);
    EXPECT_EQ(job.tiles[0].imagePath.ToUtf8(), folder.path() + "/" + std::string(2800 - 12, 'a'));
}

TEST(TileFileLines, MissingFileAddsNoTiles)
{
    OrtophotoData job;
    job.tiles.Add(MakeTile("kept.png", O, A, B, C));
    OrtophotoData::ReadTileFile(job, IO::Location(std::string("/nonexistent/J_info/J-coord.txt")));
    EXPECT_EQ(job.tiles.GetSize(), 1u);
}

}  // namespace
