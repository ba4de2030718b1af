#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>

#include "InProcessHost.hpp"
#include "PointCloudFixture.hpp"
#include "StreamBytes.hpp"
#include "pointclouds/PointCloudPartName.hpp"
#include "pointclouds/PointFileSet.hpp"

namespace fs = std::filesystem;

namespace
{

StreamBytes& Floats(StreamBytes& bytes, std::initializer_list<float> values)
{
    for (const float v : values) bytes.F32(v);
    return bytes;
}

std::vector<std::string> Files(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Writes the points as one cloud; true when every file was written whole.
bool WriteCloud(const std::string& folder, const char* name, std::uint32_t levels, const std::vector<CloudPoint>& points)
{
    PointFileSet files(IO::Location(folder), GS::UniString(name), levels);
    PointList list(points);
    const bool opened = files.Open(BoxOf(points));
    if (opened) list.Deliver(files);
    return files.Close() && opened;
}

TEST(PointFiles, ThreePointsGiveSeventySevenBytesRelativeToTheBoxMinimum)
{
    TempFolder folder;
    ASSERT_TRUE(WriteCloud(folder.path(), "Scan", 1,
                           {Point(1, 2, 3, 10, 20, 30), Point(4, 6, 8, 255, 0, 1), Point(2.5, 4, 5.5, 128.9, 64, 0)}));
    StreamBytes expected;
    expected.Bytes({'G', 'S', 'P', 'C', 2, 0, 0, 0});
    Floats(expected, {1, 4, 2, 6, 3, 8});
    Floats(expected, {0, 0, 0}).Bytes({10, 20, 30});
    Floats(expected, {3, 4, 5}).Bytes({255, 0, 1});
    Floats(expected, {1.5, 2, 2.5}).Bytes({128, 64, 0});
    const std::vector<std::uint8_t> written = FileBytes(folder.path() + "/Scan_data.gspc");
    EXPECT_EQ(written.size(), 77u);
    EXPECT_EQ(written, expected.bytes);
    EXPECT_EQ(Files(folder.path()), std::vector<std::string> {"Scan_data.gspc"});
}

// Components are clamped: their low eight bits would make 300.7 into 44.
TEST(PointFiles, ColourComponentsAreClampedIntoBytes)
{
    const std::pair<double, int> cases[] = {{300.7, 255}, {255.0, 255},   {254.99, 254},     {12.9, 12},  {0.5, 0},
                                            {-3.0, 0},    {65535.0, 255}, {std::nan(""), 0}, {1e300, 255}};
    for (const auto& [component, byte] : cases) EXPECT_EQ(PointFileSet::ColourByte(component), byte) << component;
}

struct LevelCase
{
    std::uint32_t levels;
    std::vector<std::string> files;
};

TEST(PointFiles, EachLevelHasItsFileWithItsPointsInOrderAndTheWholeBox)
{
    const LevelCase cases[] = {{1, {"Scan_data.gspc"}},
                               {2, {"Scan_data_1.gspc", "Scan_data_2.gspc"}},
                               {3, {"Scan_data_25.gspc", "Scan_data_25_2.gspc", "Scan_data_50.gspc"}}};
    for (const LevelCase& c : cases)
    {
        TempFolder folder;
        std::vector<CloudPoint> points;
        for (int i = 0; i < 20; ++i) points.push_back(Point(i, 2 * i, 0, i, 0, 0, static_cast<std::uint32_t>(i % 4 % c.levels)));
        ASSERT_TRUE(WriteCloud(folder.path(), "Scan", c.levels, points));
        EXPECT_EQ(Files(folder.path()), c.files);
        for (std::uint32_t level = 0; level < c.levels; ++level)
        {
            const auto bytes = FileBytes(folder.path() + "/Scan" + PointFileSet::Suffix(c.levels, level) + ".gspc");
            float box[6];
            std::memcpy(box, bytes.data() + 8, sizeof box);
            EXPECT_EQ(box[1], 19.0f);
            EXPECT_EQ(box[3], 38.0f);
            std::vector<int> reds;
            for (std::size_t at = 32; at + 15 <= bytes.size(); at += 15) reds.push_back(bytes[at + 12]);
            std::vector<int> expected;
            for (int i = 0; i < 20; ++i)
                if (static_cast<std::uint32_t>(i % 4 % c.levels) == level) expected.push_back(i);
            EXPECT_EQ(reds, expected) << c.levels << " levels, level " << level;
        }
    }
}

// 200,000 points over three levels, point i on level i mod 3: about 1 MB a file,
// many collected blocks each, in order and whole. Point i lies at (i, i / 2, 1)
// with the colour (i mod 256, i / 256 mod 256, 7i mod 256); the box minimum is (0, 0, 1).
TEST(PointFiles, ManyCollectedBlocksArriveWholeAndInOrder)
{
    TempFolder folder;
    constexpr int Count = 200000;
    std::vector<CloudPoint> points;
    for (int i = 0; i < Count; ++i)
        points.push_back(Point(i, 0.5 * i, 1, i % 256, i / 256 % 256, 7 * i % 256, static_cast<std::uint32_t>(i % 3)));
    ASSERT_TRUE(WriteCloud(folder.path(), "Scan", 3, points));
    const std::size_t counts[3] = {66667, 66667, 66666};
    for (std::uint32_t level = 0; level < 3; ++level)
    {
        const auto bytes = FileBytes(folder.path() + "/Scan" + PointFileSet::Suffix(3, level) + ".gspc");
        ASSERT_EQ(bytes.size(), 32 + 15 * counts[level]) << level;
        std::size_t wrong = 0;
        for (std::size_t k = 0; k < counts[level]; ++k)
        {
            const int i = static_cast<int>(3 * k + level);
            const std::uint8_t* at = bytes.data() + 32 + 15 * k;
            float place[3];
            std::memcpy(place, at, sizeof place);
            wrong += place[0] != float(i) || place[1] != float(0.5 * i) || place[2] != 0.0f;
            wrong += at[12] != i % 256 || at[13] != i / 256 % 256 || at[14] != 7 * i % 256;
        }
        EXPECT_EQ(wrong, 0u) << level;
    }
}

// A full disk under one of the files, within its first block or many blocks in:
// the set is not whole.
TEST(PointFiles, AFileThatCannotBeWrittenWholeFails)
{
    for (const int count : {5000, 200000})
    {
        TempFolder folder;
        fs::create_symlink("/dev/full", folder.path() + "/Scan_data_25.gspc");
        std::vector<CloudPoint> points;
        for (int i = 0; i < count; ++i) points.push_back(Point(i, i, i, 0, 0, 0, static_cast<std::uint32_t>(i % 3)));
        EXPECT_FALSE(WriteCloud(folder.path(), "Scan", 3, points)) << count;
    }
}

// The second file cannot be opened: the set fails and leaves no file of its own,
// not even the first one's header.
TEST(PointFiles, AFileThatCannotBeOpenedFailsAndLeavesNoOtherFile)
{
    TempFolder folder;
    fs::create_directory(folder.path() + "/Scan_data_25.gspc");
    EXPECT_FALSE(WriteCloud(folder.path(), "Scan", 3, {Point(0, 0, 0), Point(1, 1, 1, 0, 0, 0, 1)}));
    EXPECT_EQ(Files(folder.path()), std::vector<std::string> {"Scan_data_25.gspc"});
}

TEST(PointFiles, AMissingFolderFails)
{
    TempFolder folder;
    EXPECT_FALSE(WriteCloud(folder.path() + "/gone", "Scan", 2, {Point(0, 0, 0)}));
}

TEST(PointCloudPartName, EscapesNothingFromItsFolderOrItsScript)
{
    const std::pair<const char*, const char*> cases[] = {
        {"Scan", "Scan"},
        {"../../etc/passwd", "____etc_passwd"},
        {"a..b...c", "a_b_c"},
        {"C:\\Temp\\x", "C__Temp_x"},
        {"a*b?c<d>e|f", "a_b_c_d_e_f"},
        {"Halle \"Nord\"", "Halle _Nord_"},
        {"it's", "it_s"},
        {"tab\there\nline", "tab_here_line"},
        {"Gebäude 7.1", "Gebäude 7.1"},
        {"", "Scanfile"},
    };
    for (const auto& [name, safe] : cases)
        EXPECT_EQ(PointCloudPartName(GS::UniString(name), GS::UniString("Scanfile")).ToUtf8(), safe) << name;
    EXPECT_EQ(PointCloudPartName(GS::UniString(""), GS::UniString("")).ToUtf8(), "_");
}

}  // namespace
