#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "E57TestWriter.hpp"
#include "ScanData.hpp"
#include "TestFiles.hpp"
#include "e57/FloatNode.hpp"
#include "e57/IntegerNode.hpp"
#include "e57/StringNode.hpp"
#include "e57/VectorNode.hpp"

namespace
{

using e57test::FieldKind;
using e57test::FieldValue;

std::int64_t rawX(std::uint64_t r) { return std::int64_t(r * 37 % 20001) - 10000; }
std::int64_t colour(std::uint64_t r, int channel) { return std::int64_t((r * 257 + channel * 9001) % 65536); }
std::int64_t intensity(std::uint64_t r) { return std::int64_t(r * 11 % 4096) - 2048; }

// Three scans: 16-bit colours and a scaled intensity under a full pose; an integer
// intensity and invalid states under a non-unit quaternion; no points and no section.
class MultiScan : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        e57test::ScanLayout coloured;
        coloured.name = "coloured";
        coloured.pose = e57test::Pose {std::array<double, 4> {0.5, 0.5, 0.5, 0.5}, std::array<double, 3> {10, 20, 30}};
        coloured.fields = {{"cartesianX", FieldKind::ScaledInteger, -10000, 10000, 0.0001, 5.0},
                           {"cartesianY", FieldKind::ScaledInteger, -10000, 10000, 0.0001},
                           {"cartesianZ", FieldKind::Single},
                           {"intensity", FieldKind::ScaledInteger, 0, 4095, 1.0 / 4095},
                           {"colorRed", FieldKind::Integer, 0, 65535},
                           {"colorGreen", FieldKind::Integer, 0, 65535},
                           {"colorBlue", FieldKind::Integer, 0, 65535}};
        coloured.recordCount = 1000;
        coloured.packetFieldBytes = 500;
        coloured.extraXml =
            "<colorLimits type=\"Structure\"><colorRedMaximum type=\"Integer\">65535</colorRedMaximum></colorLimits>\n"
            "<demo:note type=\"String\"><![CDATA[extension]]></demo:note>\n<vendorThing type=\"Integer\">5</vendorThing>\n";
        coloured.source = [](std::uint64_t r, FieldValue* v) {
            v[0].integer = rawX(r);
            v[1].integer = -rawX(r);
            v[2].real = double(r) * 0.5;
            v[3].integer = std::int64_t(r % 4096);
            for (int c = 0; c < 3; ++c) v[4 + c].integer = colour(r, c);
        };

        e57test::ScanLayout intensities;
        intensities.name = "intensities";
        intensities.pose = e57test::Pose {std::array<double, 4> {2, 0, 0, 0}, std::array<double, 3> {-1, -2, -3}};
        intensities.fields = {{"cartesianX", FieldKind::Double},
                              {"cartesianY", FieldKind::Double},
                              {"cartesianZ", FieldKind::Double},
                              {"intensity", FieldKind::Integer, -2048, 2047},
                              {"cartesianInvalidState", FieldKind::Integer, 0, 2}};
        intensities.recordCount = 80;
        intensities.source = [](std::uint64_t r, FieldValue* v) {
            v[0].real = double(r);
            v[1].real = -double(r);
            v[2].real = 0.25;
            v[3].integer = intensity(r);
            v[4].integer = std::int64_t(r % 3);
        };

        e57test::ScanLayout nothing;
        nothing.name = "nothing";
        nothing.fields = {
            {"cartesianX", FieldKind::Double}, {"cartesianY", FieldKind::Double}, {"cartesianZ", FieldKind::Double}};
        nothing.withoutSection = true;

        e57test::E57TestWriter writer;
        writer.addScan(coloured);
        writer.addScan(intensities);
        writer.addScan(nothing);
        path_ = e57test::scratchPath("multiscan.e57");
        writer.write(path_);
    }

    static std::string path_;
};

std::string MultiScan::path_;

TEST_F(MultiScan, PosesAreReadAsWritten)
{
    const e57::ImageFile file(path_);
    const e57::VectorNode scans(file.root().get("/data3D"));
    ASSERT_EQ(scans.childCount(), 3);
    const e57::StructureNode first(scans.get(0));
    EXPECT_EQ(e57::StringNode(first.get("name")).value(), "coloured");
    EXPECT_EQ(e57::FloatNode(first.get("pose/rotation/w")).value(), 0.5);
    EXPECT_EQ(e57::FloatNode(first.get("pose/translation/z")).value(), 30.0);
    EXPECT_EQ(e57::FloatNode(file.root().get("/data3D/1/pose/rotation/w")).value(), 2.0);
    EXPECT_EQ(e57::FloatNode(file.root().get("/data3D/1/pose/translation/x")).value(), -1.0);
    EXPECT_FALSE(e57::StructureNode(scans.get(2)).isDefined("pose"));
    EXPECT_EQ(e57::IntegerNode(first.get("vendorThing")).value(), 5);
    EXPECT_EQ(e57::StringNode(first.get("demo:note")).value(), "extension");
}

TEST_F(MultiScan, SixteenBitColoursAndScaledIntensity)
{
    const e57::ImageFile file(path_);
    const auto points = e57test::scanPoints(file, 0);
    const auto red = e57test::readField<std::int64_t>(file, points, "colorRed", 40);
    const auto blue = e57test::readField<std::uint16_t>(file, points, "colorBlue", 40);
    const auto level = e57test::readField<double>(file, points, "intensity", 40);
    const auto x = e57test::readField<double>(file, points, "cartesianX", 40);
    ASSERT_EQ(red.size(), 1000u);
    for (std::uint64_t r = 0; r < 1000; ++r)
    {
        ASSERT_EQ(red[r], colour(r, 0));
        ASSERT_EQ(blue[r], colour(r, 2));
        ASSERT_DOUBLE_EQ(level[r], double(r % 4096) / 4095);
        ASSERT_EQ(x[r], double(rawX(r)) * 0.0001 + 5.0);
    }
}

TEST_F(MultiScan, WholeBlocksThenZeroAtTheEnd)
{
    const e57::ImageFile file(path_);
    double x[40];
    std::int64_t level[40];
    std::int64_t state[40];
    auto reader = e57test::scanPoints(file, 1).reader({e57::SourceDestBuffer(file, "cartesianX", x, 40),
                                                       e57::SourceDestBuffer(file, "intensity", level, 40),
                                                       e57::SourceDestBuffer(file, "cartesianInvalidState", state, 40)});
    for (std::uint64_t block = 0; block < 2; ++block)
    {
        ASSERT_EQ(reader.read(), 40u);
        for (std::uint64_t i = 0; i < 40; ++i)
        {
            const std::uint64_t r = block * 40 + i;
            EXPECT_EQ(x[i], double(r));
            EXPECT_EQ(level[i], intensity(r));
            EXPECT_EQ(state[i], std::int64_t(r % 3));
        }
    }
    EXPECT_EQ(reader.read(), 0u);
    reader.close();
    EXPECT_THROW(reader.read(), e57::E57Exception);
}

TEST_F(MultiScan, ScanWithoutSectionReadsNothing)
{
    e57::ImageFile file(path_);
    const auto points = e57test::scanPoints(file, 2);
    EXPECT_EQ(points.childCount(), 0);
    double x[40];
    EXPECT_EQ(points.reader({e57::SourceDestBuffer(file, "cartesianX", x, 40)}).read(), 0u);
    file.close();
    EXPECT_THROW(points.reader({e57::SourceDestBuffer(file, "cartesianX", x, 40)}), e57::E57Exception);
}

}  // namespace
