#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "CaseName.hpp"
#include "E57TestWriter.hpp"
#include "ScanData.hpp"
#include "TestFiles.hpp"
#include "e57/BlobNode.hpp"
#include "e57/FloatNode.hpp"
#include "e57/VectorNode.hpp"

namespace
{

using e57test::readField;
using e57test::samplePath;
using e57test::scanPoints;

struct FieldCheck
{
    std::string name;
    double first;
    double last;
};

struct SampleCase
{
    std::string file;
    std::int64_t records;
    std::string fields;
    double tolerance;  // on coordinates, from the stored precision
    std::array<double, 3> first;
    std::array<double, 3> last;
    std::vector<FieldCheck> more;
};

std::ostream& operator<<(std::ostream& out, const SampleCase& sample) { return out << sample.file; }

std::string fieldTypes(const e57::StructureNode& prototype)
{
    std::string list;
    for (std::int64_t i = 0; i < prototype.childCount(); ++i)
    {
        const e57::Node field = prototype.get(i);
        list += (list.empty() ? "" : ",") + field.elementName() + ":" + e57::nodeTypeName(field.type());
    }
    return list;
}

const std::string kFloatXyz = "cartesianX:Float,cartesianY:Float,cartesianZ:Float";
const std::string kRgb = "colorRed:Integer,colorGreen:Integer,colorBlue:Integer";

const SampleCase kSamples[] = {
    {"bunnyDouble.e57",
     30571,
     kFloatXyz + ",cartesianInvalidState:Integer",
     0.0,
     {-0.07063, 0.04015, 0.0012259999999999999},
     {-0.037829, 0.12794, 0.004474},
     {{"cartesianInvalidState", 0, 0}}},
    {"bunnyFloat.e57",
     30571,
     kFloatXyz + ",cartesianInvalidState:Integer",
     1e-8,
     {-0.07063, 0.04015, 0.0012259999999999999},
     {-0.037829, 0.12794, 0.004474},
     {}},
    {"bunnyInt19.e57",
     30571,
     "cartesianX:ScaledInteger,cartesianY:ScaledInteger,cartesianZ:ScaledInteger,cartesianInvalidState:Integer",
     0.0,
     {-0.07063, 0.04015, 0.0012259999999999999},
     {-0.037829, 0.12794, 0.004474},
     {}},
    {"ColouredCubeFloat.e57",
     7680,
     kFloatXyz + "," + kRgb,
     0.0,
     {-0.5, -0.4990559220314026, 0.07136291265487671},
     {0.16827905178070068, -0.00394439697265625, 0.5},
     {{"colorRed", 0, 255}, {"colorBlue", 255, 0}}},
    {"tinyCartesianFloatRgb.e57",
     2090,
     kFloatXyz + "," + kRgb,
     0.0,
     {-8.673629760742188, 4.575418472290039, 295.5494689941406},
     {-7.901745796203613, 6.786065101623535, 298.02008056640625},
     {{"colorRed", 219, 222}, {"colorGreen", 218, 222}, {"colorBlue", 222, 235}}},
    {"ColourRepresentation.e57",
     153,
     "cartesianX:ScaledInteger,cartesianY:ScaledInteger,cartesianZ:ScaledInteger,returnIndex:Integer,"
     "returnCount:Integer,las:pointSourceId:Integer," +
         kRgb,
     1e-12,
     {-0.5, -0.015, -0.432},
     {0.386, 0.303, 0.5},
     {{"colorRed", 0, 65280}, {"colorBlue", 65280, 0}}},
    {"cartesian_invalid_state_single.e57",
     3,
     kFloatXyz + ",cartesianInvalidState:Float",
     0.0,
     {-1, -2, -3},
     {-7, -8, -9},
     {{"cartesianInvalidState", 0, 2}}},
    {"integer_intensity.e57",
     2,
     kFloatXyz + ",intensity:Integer,cartesianInvalidState:Integer",
     0.0,
     {1.1, 2.2, 3.3},
     {4.4, 5.5, 6.6},
     {{"intensity", -66, 66}}},
    {"float_intensity_without_min_max.e57", 1, kFloatXyz + ",intensity:Float", 0.0, {1, 1, 1}, {1, 1, 1}, {{"intensity", 1, 1}}},
    {"tiny_pc_and_images.e57", 2, kFloatXyz, 0.0, {0, 0, 0}, {1, 1, 1}, {}},
    {"translationWithoutRotation.e57", 4, kFloatXyz, 0.0, {0, 0, 0}, {1, 1, 0}, {}},
};

class SampleFile : public ::testing::TestWithParam<SampleCase>
{};

TEST_P(SampleFile, ReadsCountsTypesAndValues)
{
    const SampleCase& sample = GetParam();
    const e57::ImageFile file(samplePath(sample.file));
    ASSERT_EQ(e57::VectorNode(file.root().get("/data3D")).childCount(), 1);
    const auto points = scanPoints(file, 0);
    EXPECT_EQ(points.childCount(), sample.records);
    EXPECT_EQ(fieldTypes(points.prototype()), sample.fields);

    const char* axes[] = {"cartesianX", "cartesianY", "cartesianZ"};
    for (int axis = 0; axis < 3; ++axis)
    {
        const auto values = readField<double>(file, points, axes[axis]);
        ASSERT_EQ(values.size(), static_cast<std::size_t>(sample.records)) << axes[axis];
        EXPECT_NEAR(values.front(), sample.first[axis], sample.tolerance) << axes[axis];
        EXPECT_NEAR(values.back(), sample.last[axis], sample.tolerance) << axes[axis];
    }
    for (const auto& check : sample.more)
    {
        const auto values = readField<double>(file, points, check.name);
        EXPECT_EQ(values.front(), check.first) << check.name;
        EXPECT_EQ(values.back(), check.last) << check.name;
    }
}

INSTANTIATE_TEST_SUITE_P(Samples, SampleFile, ::testing::ValuesIn(kSamples),
                         [](const auto& info) { return TestNameOf(info.param.file.substr(0, info.param.file.rfind('.'))); });

TEST(SampleFiles, BunnyFilesAgreePointByPoint)
{
    const e57::ImageFile doubles(samplePath("bunnyDouble.e57"));
    const e57::ImageFile singles(samplePath("bunnyFloat.e57"));
    const e57::ImageFile scaled(samplePath("bunnyInt19.e57"));
    for (const char* axis : {"cartesianX", "cartesianY", "cartesianZ"})
    {
        const auto reference = readField<double>(doubles, scanPoints(doubles, 0), axis);
        const auto single = readField<double>(singles, scanPoints(singles, 0), axis, 40);
        // Odd block size: blocks end at other places than the packets do.
        const auto integer = readField<double>(scaled, scanPoints(scaled, 0), axis, 997);
        ASSERT_EQ(single.size(), reference.size());
        ASSERT_EQ(integer.size(), reference.size());
        for (std::size_t i = 0; i < reference.size(); ++i)
        {
            ASSERT_NEAR(single[i], reference[i], 1e-8) << axis << " point " << i;
            // Raw integer first, then scale: the 19-bit file gives the doubles bit for bit.
            ASSERT_EQ(integer[i], reference[i]) << axis << " point " << i;
        }
    }
}

TEST(SampleFiles, PoseWithTranslationOnly)
{
    const e57::ImageFile file(samplePath("translationWithoutRotation.e57"));
    const e57::StructureNode scan(file.root().get("/data3D/0"));
    ASSERT_TRUE(scan.isDefined("pose"));
    EXPECT_FALSE(scan.isDefined("pose/rotation"));
    const e57::StructureNode translation(scan.get("pose/translation"));
    EXPECT_EQ(e57::FloatNode(translation.get("x")).value(), 4.0);
    EXPECT_EQ(e57::FloatNode(translation.get("y")).value(), 5.0);
    EXPECT_EQ(e57::FloatNode(file.root().get("/data3D/0/pose/translation/z")).value(), 6.0);
}

TEST(SampleFiles, InvalidStateStoredAsFloatReadsAsIntegers)
{
    const e57::ImageFile file(samplePath("cartesian_invalid_state_single.e57"));
    const auto state = readField<std::int64_t>(file, scanPoints(file, 0), "cartesianInvalidState", 40);
    EXPECT_EQ(state, (std::vector<std::int64_t> {0, 1, 2}));
}

TEST(SampleFiles, SphericalOnlyScanHasNoCartesianFields)
{
    const e57::ImageFile file(samplePath("tiny_spherical.e57"));
    const auto points = scanPoints(file, 0);
    const e57::StructureNode prototype = points.prototype();
    EXPECT_FALSE(prototype.isDefined("cartesianX"));
    EXPECT_TRUE(prototype.isDefined("sphericalRange"));
    double x[40];
    EXPECT_THROW(points.reader({e57::SourceDestBuffer(file, "cartesianX", x, 40)}), e57::E57Exception);
    const auto azimuth = readField<double>(file, points, "sphericalAzimuth");
    ASSERT_EQ(azimuth.size(), 360u);
    EXPECT_DOUBLE_EQ(azimuth.back(), 3.131277777777778);
    const auto state = readField<std::int64_t>(file, points, "sphericalInvalidState");
    EXPECT_EQ(state.front(), 0);
    EXPECT_EQ(state.back(), 1);
}

TEST(SampleFiles, ImagesBesideTheScanAreHarmless)
{
    const e57::ImageFile file(samplePath("tiny_pc_and_images.e57"));
    EXPECT_FALSE(e57::StructureNode(file.root().get("/data3D/0")).isDefined("pose"));
    const e57::VectorNode images(file.root().get("/images2D"));
    ASSERT_EQ(images.childCount(), 4);
    const e57::BlobNode jpeg(file.root().get("/images2D/0/visualReferenceRepresentation/jpegImage"));
    ASSERT_EQ(jpeg.byteCount(), 7722u);
    unsigned char start[2] = {0, 0};
    jpeg.read(start, 0, 2);
    EXPECT_EQ(start[0], 0xFF);
    EXPECT_EQ(start[1], 0xD8);
}

TEST(SampleFiles, EmptyFilesEndAtOnce)
{
    const e57::ImageFile empty(samplePath("empty.e57"));
    EXPECT_EQ(e57::VectorNode(empty.root().get("/data3D")).childCount(), 0);

    const e57::ImageFile zero(samplePath("ZeroPoints.e57"));
    const auto points = scanPoints(zero, 0);
    EXPECT_EQ(points.childCount(), 0);
    double x[40];
    auto reader = points.reader({e57::SourceDestBuffer(zero, "cartesianX", x, 40)});
    EXPECT_EQ(reader.read(), 0u);
}

// Some writers give a scan without points a section whose header has no data packet.
TEST(SampleFiles, ScanWithoutPointsMayHaveASectionWithoutDataPacket)
{
    e57test::ScanLayout scan;
    scan.name = "no packet";
    scan.fields = {{"cartesianX", e57test::FieldKind::Double}};
    scan.withoutDataPacket = true;
    e57test::E57TestWriter writer;
    writer.addScan(scan);
    const std::string path = e57test::scratchPath("no-packet.e57");
    writer.write(path);
    const e57::ImageFile file(path);
    double x[40];
    auto reader = scanPoints(file, 0).reader({e57::SourceDestBuffer(file, "cartesianX", x, 40)});
    EXPECT_EQ(reader.read(), 0u);
}

}  // namespace
