#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <limits>

#include "CaseName.hpp"
#include "ChildHost.hpp"
#include "DG/DG.hpp"
#include "E57ImportFixture.hpp"
#include "framework/HostApiHelpers.hpp"

namespace fs = std::filesystem;

namespace
{

constexpr const char* NoCloud = "Es konnte keine Punktwolke erstellt werden.";
constexpr const char* Question =
    "Die Punktwolkendatei beinhält Scans ohne Standorte. Möchten Sie auch diese Scans importieren und platzieren?";
constexpr short ThinOut = 14;
constexpr short ByDistance = 15;
constexpr short LockCheck = 12;
constexpr short NameEdit = 6;

e57test::Pose Posed(std::array<double, 4> rotation, std::array<double, 3> translation)
{
    return e57test::Pose {rotation, translation};
}

// The import of each sample file alone, thinning off, scans without a pose taken.
struct SampleCase
{
    const char* file;
    std::size_t points;
    API_Coord3D min, max;
    std::array<int, 3> firstColour;
    std::size_t cameras;
    bool asked;
};

std::ostream& operator<<(std::ostream& out, const SampleCase& c) { return out << c.file; }

class SampleImport : public E57ImportFixture, public ::testing::WithParamInterface<SampleCase>
{};

const SampleCase Samples[] = {
    {"bunnyDouble.e57", 30571, {-0.094689, 0.040011, -0.061873}, {0.061009, 0.187321, 0.058799}, {128, 128, 128}, 0, true},
    {"bunnyFloat.e57", 30571, {-0.094689, 0.040011, -0.061873}, {0.061009, 0.187321, 0.058799}, {128, 128, 128}, 0, true},
    {"bunnyInt19.e57", 30571, {-0.094689, 0.040011, -0.061873}, {0.061009, 0.187321, 0.058799}, {128, 128, 128}, 0, true},
    // 16-bit colours scaled by their limits: 65280 of 65535 is 254.
    {"ColourRepresentation.e57", 153, {-0.5, -0.5, -0.5}, {0.5, 0.5, 0.5}, {0, 0, 254}, 0, true},
    {"tinyCartesianFloatRgb.e57",
     2090,
     {-9.77952957, 4.5138793, 295.524689},
     {-6.77423811, 7.51546049, 298.532166},
     {219, 218, 222},
     0,
     true},
    // An integer intensity of -66 in -66..66 is black.
    {"integer_intensity.e57", 2, {1.1, 2.2, 3.3}, {4.4, 5.5, 6.6}, {0, 0, 0}, 0, true},
    {"float_intensity_without_min_max.e57", 1, {1, 1, 1}, {1, 1, 1}, {255, 255, 255}, 0, true},
    {"cartesian_invalid_state_single.e57", 1, {-1, -2, -3}, {-1, -2, -3}, {128, 128, 128}, 0, true},
    {"tiny_pc_and_images.e57", 2, {0, 0, 0}, {1, 1, 1}, {128, 128, 128}, 0, true},
    // A translation without rotation: moved, not turned, with its camera.
    {"translationWithoutRotation.e57", 4, {4, 5, 6}, {5, 6, 6}, {128, 128, 128}, 1, false},
};

TEST_P(SampleImport, GivesOnePartWithItsPointsBoxAndColours)
{
    const SampleCase& c = GetParam();
    DG::QueueAlertAnswer(1);
    Import({SamplePath(c.file)}, {Click(ThinOut)});
    const std::string name = fs::path(c.file).stem().string();
    ASSERT_EQ(PartNames(), std::vector<std::string> {name});
    const CloudFile file = PointFile(name);
    ASSERT_TRUE(file.read);
    EXPECT_EQ(file.points.size(), c.points);
    const double expected[6] = {c.min.x, c.max.x, c.min.y, c.max.y, c.min.z, c.max.z};
    for (int i = 0; i < 6; ++i) EXPECT_NEAR(file.box[i], expected[i], 1e-6 * std::max(10.0, std::fabs(expected[i]))) << i;
    EXPECT_EQ(file.colours.front(), c.firstColour);
    EXPECT_EQ(ElementsOfType(API_ObjectID).size(), 1u);
    EXPECT_EQ(ElementsOfType(API_CameraID).size(), c.cameras);
    EXPECT_EQ(AlertTexts(), c.asked ? std::vector<std::string> {Question} : std::vector<std::string> {});
    EXPECT_FALSE(Host().progress_.open);
    EXPECT_EQ(GetOwnChangeCounter(), 0);
}

INSTANTIATE_TEST_SUITE_P(Samples, SampleImport, ::testing::ValuesIn(Samples),
                         [](const auto& info) { return TestNameOf(fs::path(info.param.file).stem().string()); });

TEST_F(E57ImportFixture, TheBunniesShareOneBox)
{
    for (const char* bunny : {"bunnyDouble.e57", "bunnyFloat.e57", "bunnyInt19.e57"})
    {
        DG::QueueAlertAnswer(1);
        Import({SamplePath(bunny)}, {Click(ThinOut)});
    }
    const CloudFile a = PointFile("bunnyDouble"), b = PointFile("bunnyFloat"), c = PointFile("bunnyInt19");
    for (int i = 0; i < 6; ++i)
    {
        EXPECT_EQ(a.box[i], b.box[i]) << i;
        EXPECT_EQ(a.box[i], c.box[i]) << i;
    }
}

TEST_F(E57ImportFixture, FilesThatGiveNoPointsShowOneAlert)
{
    DG::QueueAlertAnswer(1);
    DG::QueueAlertAnswer(1);
    Import({SamplePath("tiny_spherical.e57"), SamplePath("ZeroPoints.e57"), SamplePath("empty.e57")});
    EXPECT_TRUE(PartNames().empty());
    EXPECT_EQ(AlertTexts(), (std::vector<std::string> {Question, Question, NoCloud}));
    EXPECT_EQ(Host().Fact("progress-log").substr(0, 14), "open Survanto ");
    EXPECT_FALSE(Host().progress_.open);
}

TEST_F(E57ImportFixture, AnEmptyFileSaysNothing)
{
    Import({SamplePath("empty.e57")});
    EXPECT_TRUE(PartNames().empty());
    EXPECT_TRUE(AlertTexts().empty());
}

// A file the reader refuses ends alone: the next file is read, the alert follows.
TEST_F(E57ImportFixture, ARefusedFileEndsOnlyItself)
{
    for (const char* broken : {"corrupt_crc.e57", "InvalidCVHeader.e57"})
    {
        DG::ClearRecordedAlerts();
        DG::QueueAlertAnswer(1);
        DG::QueueAlertAnswer(1);
        Import({SamplePath(broken), SamplePath("translationWithoutRotation.e57")});
        EXPECT_EQ(AlertTexts().back(), NoCloud) << broken;
        EXPECT_NE(Part("translationWithoutRotation"), nullptr) << broken;
        EXPECT_FALSE(Host().progress_.open);
        EXPECT_EQ(GetOwnChangeCounter(), 0);
    }
}

TEST_F(E57ImportFixture, TwoPosedScansGiveTwoPartsWithCamerasAtTheirScanners)
{
    const auto line = [](std::uint64_t r) { return API_Coord3D {1.0 + double(r), 0.0, 0.5}; };
    const double half = std::sqrt(0.5);
    const std::string file = WriteE57("two.e57", {DoubleScan("east", 3, line, Posed({1, 0, 0, 0}, {10, 0, 1})),
                                                  DoubleScan("turned", 3, line, Posed({half, 0, 0, half}, {0, 10, 2}))});
    Import({file}, {Click(ThinOut)});
    EXPECT_EQ(PartNames(), (std::vector<std::string> {"two_ 0", "two_ 1"}));
    const CloudFile east = PointFile("two_ 0"), turned = PointFile("two_ 1");
    EXPECT_NEAR(east.points[0].x, 11, 1e-5);
    EXPECT_NEAR(east.points[0].z, 1.5, 1e-5);
    // (1, 0) turned by 90 degrees is (0, 1).
    EXPECT_NEAR(turned.points[0].x, 0, 1e-5);
    EXPECT_NEAR(turned.points[0].y, 11, 1e-5);
    EXPECT_NEAR(turned.points[2].y, 13, 1e-5);
    const auto cameras = ElementsOfType(API_CameraID);
    ASSERT_EQ(cameras.size(), 2u);
    EXPECT_NEAR(cameras[0].camera.position.x, 10, 1e-9);
    EXPECT_NEAR(cameras[0].camera.cameraZ, 1, 1e-9);
    EXPECT_NEAR(cameras[1].camera.position.y, 10, 1e-9);
    EXPECT_NEAR(cameras[1].camera.cameraZ, 2, 1e-9);
    EXPECT_TRUE(AlertTexts().empty());
}

TEST_F(E57ImportFixture, ScansWithoutAPoseAreMergedWhenTheUserSaysYes)
{
    const auto at = [](double z) { return [z](std::uint64_t r) { return API_Coord3D {double(r), 0.0, z}; }; };
    const std::string file = WriteE57("mixed.e57", {DoubleScan("posed", 4, at(0), Posed({1, 0, 0, 0}, {0, 0, 0})),
                                                    DoubleScan("loose a", 5, at(1)), DoubleScan("loose b", 6, at(2))});
    DG::QueueAlertAnswer(1);
    Import({file}, {Click(ThinOut)});
    EXPECT_EQ(PartNames(), (std::vector<std::string> {"mixed_ 0", "mixed_ 3"}));
    EXPECT_EQ(PointFile("mixed_ 3").points.size(), 11u);
    EXPECT_EQ(PartParameter(*Part("mixed_ 3"), "hasScannerPos").value, 0.0);
    // A merged part's scanner is its box minimum.
    EXPECT_EQ(PartParameter(*Part("mixed_ 3"), "scannerZ").value, 0.0);
    EXPECT_EQ(ElementsOfType(API_CameraID).size(), 1u);
}

TEST_F(E57ImportFixture, ScansWithoutAPoseAreLeftOutWhenTheUserSaysNo)
{
    const auto at = [](std::uint64_t r) { return API_Coord3D {double(r), 0.0, 0.0}; };
    const std::string file = WriteE57("mixed.e57", {DoubleScan("posed", 4, at, Posed({1, 0, 0, 0}, {0, 0, 0})),
                                                    DoubleScan("loose a", 5, at), DoubleScan("loose b", 6, at)});
    DG::QueueAlertAnswer(2);
    Import({file});
    EXPECT_EQ(PartNames(), std::vector<std::string> {"mixed_ 0"});
}

// The matrix divides by the quaternion's squared length; a zero quaternion would give no numbers.
TEST_F(E57ImportFixture, QuaternionsNeedNotBeUnitAndZeroTurnsByNothing)
{
    const auto at = [](std::uint64_t r) { return API_Coord3D {1.0 + double(r), 2.0, 3.0}; };
    const std::string file = WriteE57(
        "quaternions.e57", {DoubleScan("double length", 2, at, Posed({2, 0, 0, 0}, {1, 1, 1})),
                            DoubleScan("zero", 2, at, Posed({0, 0, 0, 0}, {1, 1, 1})),
                            DoubleScan("no translation", 2, at, e57test::Pose {std::array<double, 4> {0, 0, 0, 1}, {}})});
    Import({file}, {Click(ThinOut)});
    // Half a turn about z without a translation: (2, 2, 3) becomes (-2, -2, 3).
    const CloudFile turned = PointFile("quaternions_ 2");
    ASSERT_EQ(turned.points.size(), 2u);
    EXPECT_NEAR(turned.points[1].x, -2, 1e-6);
    EXPECT_NEAR(turned.points[1].y, -2, 1e-6);
    EXPECT_NEAR(turned.points[1].z, 3, 1e-6);
    EXPECT_NEAR(ElementsOfType(API_CameraID).back().camera.position.x, 0, 1e-9);
    for (const char* part : {"quaternions_ 0", "quaternions_ 1"})
    {
        const CloudFile cloud = PointFile(part);
        ASSERT_EQ(cloud.points.size(), 2u) << part;
        EXPECT_NEAR(cloud.points[0].x, 2, 1e-6) << part;
        EXPECT_NEAR(cloud.points[0].y, 3, 1e-6) << part;
        EXPECT_NEAR(cloud.points[1].z, 4, 1e-6) << part;
    }
    EXPECT_TRUE(AlertTexts().empty());
}

// A pose that is no number gives no station: such a scan counts as one without a
// pose, its points untransformed in the merged part, with no camera.
TEST_F(E57ImportFixture, APoseThatIsNoNumberGivesAScanWithoutStation)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const auto at = [](double z) { return [z](std::uint64_t r) { return API_Coord3D {double(r), 1.0, z}; }; };
    const std::string file =
        WriteE57("badpose.e57", {DoubleScan("posed", 2, at(0), Posed({1, 0, 0, 0}, {10, 0, 0})),
                                 DoubleScan("nan translation", 2, at(1), Posed({1, 0, 0, 0}, {nan, 0, 0})),
                                 DoubleScan("infinite translation", 2, at(2), Posed({1, 0, 0, 0}, {0, 0, -inf})),
                                 DoubleScan("nan rotation", 2, at(3), Posed({1, nan, 0, 0}, {5, 5, 5})),
                                 DoubleScan("infinite rotation", 2, at(4), Posed({inf, 0, 0, 0}, {5, 5, 5}))});
    DG::QueueAlertAnswer(1);
    Import({file}, {Click(ThinOut)});
    EXPECT_EQ(AlertTexts(), std::vector<std::string> {Question});
    EXPECT_EQ(PartNames(), (std::vector<std::string> {"badpose_ 0", "badpose_ 5"}));
    EXPECT_EQ(PartParameter(*Part("badpose_ 5"), "hasScannerPos").value, 0.0);
    // Eight points as they stand in the file: x 0 and 1, y 1, z 1 to 4.
    const CloudFile merged = PointFile("badpose_ 5");
    ASSERT_EQ(merged.points.size(), 8u);
    const float box[6] = {0, 1, 1, 1, 1, 4};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(merged.box[i], box[i]) << i;
    for (std::size_t i = 0; i < merged.points.size(); ++i)
    {
        EXPECT_NEAR(merged.points[i].x, double(i % 2), 1e-6) << i;
        EXPECT_NEAR(merged.points[i].z, double(i / 2 + 1), 1e-6) << i;
    }
    const auto cameras = ElementsOfType(API_CameraID);
    ASSERT_EQ(cameras.size(), 1u);
    EXPECT_NEAR(cameras[0].camera.position.x, 10, 1e-9);
}

// Colours scaled by "colorLimits", else by their field's limits: taking their low
// eight bits would turn 16-bit colours into noise. Intensities scaled by their
// limits: 255 · value cut to eight bits would be a wrong grey above 1.
TEST_F(E57ImportFixture, ColoursAndIntensitiesAreScaledByTheirLimits)
{
    const auto colourScan = [](const char* name, const char* limits) {
        e57test::ScanLayout scan = DoubleScan(
            name, 3,
            [](std::uint64_t r) {
                return API_Coord3D {double(r), 0, 0};
            },
            Posed({1, 0, 0, 0}, {0, 0, 0}));
        for (const char* colour : {"colorRed", "colorGreen", "colorBlue"})
            scan.fields.push_back({colour, e57test::FieldKind::Integer, 0, 65535});
        scan.extraXml = limits;
        scan.source = [](std::uint64_t r, e57test::FieldValue* v) {
            v[0].real = double(r);
            v[1].real = v[2].real = 0;
            const std::int64_t values[3] = {65535, 32768, 300};
            v[3].integer = values[r];
            v[4].integer = 65535 - values[r];
            v[5].integer = 0;
        };
        return scan;
    };
    e57test::ScanLayout intensities = DoubleScan(
        "intensity", 3,
        [](std::uint64_t r) {
            return API_Coord3D {double(r), 0, 0};
        },
        Posed({1, 0, 0, 0}, {0, 0, 0}));
    intensities.fields.push_back({"intensity", e57test::FieldKind::ScaledInteger, 0, 4000, 0.001});
    intensities.source = [](std::uint64_t r, e57test::FieldValue* v) {
        v[0].real = double(r);
        v[1].real = v[2].real = 0;
        v[3].integer = std::int64_t(r) * 2000;
    };
    const std::string file =
        WriteE57("colours.e57",
                 {colourScan("limits", "<colorLimits type=\"Structure\"><colorRedMinimum type=\"Integer\">0</colorRedMinimum>"
                                       "<colorRedMaximum type=\"Integer\">65535</colorRedMaximum></colorLimits>\n"),
                  colourScan("maximum below minimum",
                             "<colorLimits type=\"Structure\"><colorRedMinimum type=\"Integer\">9</colorRedMinimum>"
                             "<colorRedMaximum type=\"Integer\">3</colorRedMaximum></colorLimits>\n"),
                  intensities});
    Import({file}, {Click(ThinOut)});
    for (const char* part : {"colours_ 0", "colours_ 1"})
    {
        const CloudFile cloud = PointFile(part);
        ASSERT_EQ(cloud.colours.size(), 3u);
        EXPECT_EQ(cloud.colours[0], (std::array<int, 3> {255, 0, 0})) << part;
        EXPECT_EQ(cloud.colours[1], (std::array<int, 3> {127, 127, 0})) << part;
        EXPECT_EQ(cloud.colours[2], (std::array<int, 3> {1, 253, 0})) << part;
    }
    const CloudFile grey = PointFile("colours_ 2");
    ASSERT_EQ(grey.colours.size(), 3u);
    EXPECT_EQ(grey.colours[0], (std::array<int, 3> {0, 0, 0}));
    EXPECT_EQ(grey.colours[1], (std::array<int, 3> {127, 127, 127}));
    EXPECT_EQ(grey.colours[2], (std::array<int, 3> {255, 255, 255}));
}

// Points that are no numbers would spoil the box.
TEST_F(E57ImportFixture, PointsThatAreNoNumbersAreLeftOut)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const std::string file =
        WriteE57("nan.e57", {DoubleScan(
                                "nan", 5,
                                [=](std::uint64_t r) {
                                    const API_Coord3D points[5] = {{1, 1, 1}, {nan, 0, 0}, {2, 3, 4}, {0, inf, 0}, {0, 0, -inf}};
                                    return points[r];
                                },
                                Posed({1, 0, 0, 0}, {0, 0, 0}))});
    Import({file}, {Click(ThinOut)});
    const CloudFile cloud = PointFile("nan");
    EXPECT_EQ(cloud.points.size(), 2u);
    EXPECT_EQ(cloud.box[0], 1.0f);
    EXPECT_EQ(cloud.box[5], 4.0f);
}

// Seen from the scanner at the origin, the points take turns in the four bands of
// the default distances 6, 12 and 36 m, each band's first point on its lower
// bound: within 6 m one point in four stays, within 12 m one in two, within 36 m
// three in four, beyond every point; by place, two in four, one and one.
TEST_F(E57ImportFixture, ThinningByDistanceAndByPlace)
{
    const auto bands = [](std::uint64_t r) {
        const double lowerBounds[4] = {1, 6, 12, 36};
        return API_Coord3D {lowerBounds[r % 4] + 0.01 * double(r / 4), 0, 0};
    };
    const std::string file = WriteE57("thin.e57", {DoubleScan("bands", 32, bands, Posed({1, 0, 0, 0}, {0, 0, 0}))});
    Import({file});
    ASSERT_EQ(PartNames(), std::vector<std::string> {"thin"});
    const auto xs = [](const CloudFile& cloud) {
        std::vector<double> x;
        for (const API_Coord3D& p : cloud.points) x.push_back(std::round(p.x * 100) / 100);
        return x;
    };
    EXPECT_EQ(xs(PointFile("thin", "_data_1")),
              (std::vector<double> {1.00, 6.00, 36.00, 12.01, 36.01, 6.02, 12.02, 36.02, 12.03, 36.03,
                                    1.04, 6.04, 36.04, 12.05, 36.05, 6.06, 12.06, 36.06, 12.07, 36.07}));
    EXPECT_EQ(xs(PointFile("thin", "_data_2")),
              (std::vector<double> {12.00, 1.01, 6.01, 1.02, 1.03, 6.03, 12.04, 1.05, 6.05, 1.06, 1.07, 6.07}));
    EXPECT_EQ(PartParameter(*Part("thin"), "cameraReduction").value, 1.0);

    Import({file}, {Click(ByDistance), Text(NameEdit, "placed")});
    EXPECT_EQ(PointFile("placed", "_data_50").points.size(), 16u);
    EXPECT_EQ(xs(PointFile("placed", "_data_25")),
              (std::vector<double> {12.00, 12.01, 12.02, 12.03, 12.04, 12.05, 12.06, 12.07}));
    EXPECT_EQ(xs(PointFile("placed", "_data_25_2")),
              (std::vector<double> {36.00, 36.01, 36.02, 36.03, 36.04, 36.05, 36.06, 36.07}));
}

// A scan of many blocks along x from the scanner at the origin, record r at
// (r + 0.5) mm: below 6000 within 6 m, below 12000 within 12 m, below 36000 within
// 36 m, the rest beyond. The band counters run with r - 0, r - 6000 and r - 12000,
// so level 0 holds every fourth of the first band, every second of the second, all
// but every fourth of the third and all beyond: 1500 + 3000 + 18000 + 64001 points,
// level 1 the other 4500 + 3000 + 6000. Long enough to be written in several blocks.
constexpr std::uint64_t LongScanRecords = 100001;

API_Coord3D AlongX(std::uint64_t r) { return {(double(r) + 0.5) / 1000, 0, 0}; }

std::uint32_t LevelAlongX(std::uint64_t r)
{
    if (r < 6000) return r % 4 == 0 ? 0 : 1;
    if (r < 12000) return (r - 6000) % 2 == 0 ? 0 : 1;
    if (r < 36000) return (r - 12000) % 4 == 0 ? 1 : 0;
    return 0;
}

// The records of a point file, read back from each point's x; the colours checked
// against the scan's own, (7r + 50c) mod 256. Mismatches are counted, not listed.
std::vector<std::uint64_t> RecordsAlongX(const CloudFile& cloud, std::size_t& wrongColours)
{
    std::vector<std::uint64_t> records;
    for (std::size_t i = 0; i < cloud.points.size(); ++i)
    {
        const auto r = static_cast<std::uint64_t>(std::llround(cloud.points[i].x * 1000 - 0.5));
        records.push_back(r);
        for (int c = 0; c < 3; ++c) wrongColours += cloud.colours[i][c] != int((r * 7 + 50 * std::uint64_t(c)) % 256);
    }
    return records;
}

TEST_F(E57ImportFixture, ALongScanGoesIntoItsFilesWholeAndInOrder)
{
    const std::string file =
        WriteE57("along.e57", {DoubleScan("along", LongScanRecords, AlongX, Posed({1, 0, 0, 0}, {0, 0, 0}), true)});
    Import({file});
    std::vector<std::uint64_t> expected[2];
    for (std::uint64_t r = 0; r < LongScanRecords; ++r) expected[LevelAlongX(r)].push_back(r);
    ASSERT_EQ(expected[0].size(), 86501u);
    ASSERT_EQ(expected[1].size(), 13500u);
    const char* const suffixes[2] = {"_data_1", "_data_2"};
    for (int level = 0; level < 2; ++level)
    {
        const CloudFile cloud = PointFile("along", suffixes[level]);
        EXPECT_EQ(cloud.box[0], 0.0005f);
        EXPECT_EQ(cloud.box[1], 100.0005f);
        std::size_t wrongColours = 0;
        EXPECT_TRUE(RecordsAlongX(cloud, wrongColours) == expected[level]) << suffixes[level];
        EXPECT_EQ(wrongColours, 0u) << suffixes[level];
    }
}

// Cancelled before its 334th block of 40, the long scan keeps its first 13320
// records, in order, with their own box.
TEST_F(E57ImportFixture, ACancelWellIntoALongScanKeepsTheBlocksBeforeIt)
{
    const std::string file =
        WriteE57("along.e57", {DoubleScan("along", LongScanRecords, AlongX, Posed({1, 0, 0, 0}, {0, 0, 0}), true)});
    // The pass's query, then one before each block: the 335th query cancels.
    Host().progress_.cancelAt = Host().progress_.cancelQueries + 2 + 333;
    Import({file}, {Click(ThinOut)});
    const CloudFile cloud = PointFile("along");
    EXPECT_EQ(cloud.box[0], 0.0005f);
    EXPECT_EQ(cloud.box[1], 13.3195f);
    std::vector<std::uint64_t> expected(13320);
    for (std::uint64_t r = 0; r < expected.size(); ++r) expected[r] = r;
    std::size_t wrongColours = 0;
    EXPECT_TRUE(RecordsAlongX(cloud, wrongColours) == expected);
    EXPECT_EQ(wrongColours, 0u);
}

// The typed name becomes the part's and its point files' names: what Windows
// refuses in a file name is replaced.
TEST_F(E57ImportFixture, ATypedNameIsMadeAFileName)
{
    const auto line = [](std::uint64_t r) { return API_Coord3D {double(r), 0, 0}; };
    const std::string file = WriteE57("named.e57", {DoubleScan("s", 2, line, Posed({1, 0, 0, 0}, {0, 0, 0}))});
    Import({file}, {Click(ThinOut), Text(NameEdit, "Halle: 1*?<>|\"")});
    EXPECT_EQ(PartNames(), std::vector<std::string> {"Halle_ 1______"});
    EXPECT_EQ(PointFile("Halle_ 1______").points.size(), 2u);
}

// A cancel during the reading keeps the points read so far, with their box; no
// further scan is read and nothing is locked.
TEST_F(E57ImportFixture, ACancelKeepsThePointsReadSoFar)
{
    const auto line = [](std::uint64_t r) { return API_Coord3D {double(r), 2.0 * double(r), 0}; };
    const std::string file = WriteE57("long.e57", {DoubleScan("first", 1000, line, Posed({1, 0, 0, 0}, {0, 0, 0})),
                                                   DoubleScan("second", 10, line, Posed({1, 0, 0, 0}, {0, 0, 0}))});
    // The first query is the pass's, then one before each block.
    Host().progress_.cancelAt = Host().progress_.cancelQueries + 4;
    Import({file}, {Click(ThinOut)});
    EXPECT_EQ(PartNames(), std::vector<std::string> {"long_ 0"});
    const CloudFile cloud = PointFile("long_ 0");
    EXPECT_EQ(cloud.points.size(), 80u);
    EXPECT_EQ(cloud.box[1], 79.0f);
    EXPECT_EQ(cloud.box[3], 158.0f);
    for (const auto& element : Model().content.elements) EXPECT_EQ(element.record.header.lockId, 0);
    EXPECT_TRUE(AlertTexts().empty());
}

TEST_F(E57ImportFixture, CreatedElementsAreLockedUnlessTheUserSaysNot)
{
    const std::string file = SamplePath("translationWithoutRotation.e57");
    Import({file});
    ASSERT_EQ(Model().content.elements.size(), 3u);
    for (const auto& element : Model().content.elements)
        EXPECT_EQ(element.record.header.lockId > 0, element.record.header.typeID != API_CamSetID);
    Model().content.elements.clear();
    Import({file}, {Click(LockCheck)});
    for (const auto& element : Model().content.elements) EXPECT_EQ(element.record.header.lockId, 0);
}

TEST_F(E57ImportFixture, OneFileTakesTheNameTypedSeveralTheirOwn)
{
    const std::string file = SamplePath("translationWithoutRotation.e57");
    Import({file}, {Text(NameEdit, "Halle \"Nord\"/1")});
    EXPECT_EQ(PartNames(), std::vector<std::string> {"Halle _Nord__1"});
    const std::string copy = folder_.path() + "/copy.e57";
    fs::copy_file(file, copy);
    Import({file, copy});
    EXPECT_EQ(PartNames(), (std::vector<std::string> {"Halle _Nord__1", "translationWithoutRotation", "copy"}));
}

// The main palette's E57 button runs the import and is switched off again.
TEST_F(E57ImportFixture, TheMainPalettesButtonRunsTheImport)
{
    DG::QueueOpenAnswer(true, {IO::Location(SamplePath("translationWithoutRotation.e57"))});
    Main().ToggleMainPalette();
    DG::ChangeItem(Survanto::MainPaletteDialogId, 82, 1.0);
    EXPECT_EQ(PartNames(), std::vector<std::string> {"translationWithoutRotation"});
    EXPECT_EQ(DG::GetItemValue(Survanto::MainPaletteDialogId, 82), 0.0);
}

TEST_F(E57ImportFixture, ACancelledDialogDoesNothing)
{
    DG::QueueOpenAnswer(false, {});
    Main().ImportE57File();
    EXPECT_TRUE(Model().content.elements.empty());
    EXPECT_EQ(Host().Fact("progress-log"), "none");
}

// A target folder outside the usable libraries is made and loaded; one inside
// them is not loaded again.
TEST_F(E57ImportFixture, TheTargetFolderIsMadeAndLoadedAsALibrary)
{
    const std::string outside = folder_.path() + "/Scans";
    DG::QueueFolderAnswer(IO::Location(outside));
    Import({SamplePath("translationWithoutRotation.e57")}, {Click(4)});
    EXPECT_TRUE(fs::is_directory(outside));
    EXPECT_NE(Host().Fact("libraries").find("Scans="), std::string::npos);
    EXPECT_TRUE(fs::exists(outside + "/translationWithoutRotation.gsm"));

    const std::size_t libraries = Model().libraryFolders.size();
    const std::string inside = TargetPath() + "/below";
    DG::QueueFolderAnswer(IO::Location(inside));
    Import({SamplePath("translationWithoutRotation.e57")}, {Click(4), Text(NameEdit, "inside")});
    EXPECT_EQ(Model().libraryFolders.size(), libraries);
    EXPECT_TRUE(fs::exists(inside + "/inside.gsm"));
}

TEST_F(E57ImportFixture, AnOpenNavigatorShowsTheNewClouds)
{
    API_MenuParams menu;
    menu.menuResID = 32520;
    menu.itemIndex = 1;
    Main().HandleMenuCommand(menu);
    Import({SamplePath("translationWithoutRotation.e57")});
    EXPECT_EQ(Main().navigatorPalette.PointClouds().GetSize(), 1u);
    EXPECT_NE(Main().navigatorPalette.PointClouds()[0].cameraGuid, APINULLGuid);
}

// The parts are files: a host started anew finds them through the saved project,
// and through their folder loaded as a library into a new project.
TEST(E57ImportInANewHost, FindsThePartsAgain)
{
    TempFolder folder;
    const std::string source = SURVANTO_SOURCE_DIR;
    const std::string import = "start\nnew-project\n"
                               "copy-in " +
                               source +
                               "/tests/pointclouds/template templates\n"
                               "load-library read-only templates\n"
                               "copy-in " +
                               source +
                               "/scenarios/data/two-posed-scans.e57 two.e57\n"
                               "save-project Projekt.json\n"
                               "menu 32500\nanswer-open two.e57\nclick 32450 82\n"
                               "save-project Projekt.json\nquit\nfree\n";
    const ChildRun first = RunHostProcess(folder.path(), import);
    ASSERT_TRUE(first.ended && WIFEXITED(first.status) && WEXITSTATUS(first.status) == 0) << first.out << first.err;
    const std::string clouds = "two_ 0: two_ 0_data_1.gspc=750 two_ 0_data_2.gspc=2250 | two_ 1: two_ 1_data_1.gspc=750 "
                               "two_ 1_data_2.gspc=2250";
    const std::string reopen = "start\nopen-project Projekt.json\n"
                               "expect clouds = " +
                               clouds +
                               "\n"
                               "expect links = 1->3/1 3->1/1 4->6/1 6->4/1\n"
                               "new-project\nload-library read-only templates\nload-library Point Cloud\n"
                               "expect library-part-named two_ 1 = 8\n"
                               "expect library-part 8 parameter hasScannerPos = 1\n"
                               "expect library-part 8 parameter project0Z = 0.5\n"
                               "quit\nfree\n";
    const ChildRun second = RunHostProcess(folder.path(), reopen);
    EXPECT_TRUE(second.ended && WIFEXITED(second.status) && WEXITSTATUS(second.status) == 0) << second.out << second.err;
}

std::vector<std::string> WithoutOverridingPermissions()
{
    if (::getuid() != 0) return {};
    const std::string dropped = "-dac_override,-dac_read_search,-fowner";
    return {"setpriv", "--inh-caps=" + dropped, "--bounding-set=" + dropped};
}

// survanto-host in a process that obeys permission bits: the target folder cannot
// be written, no part is made and the user is told.
TEST(E57ImportUnwritableFolder, MakesNoPartAndTellsTheUser)
{
    TempFolder folder;
    const fs::path scans = fs::path(folder.path()) / "work" / "Scans";
    fs::create_directories(scans);
    fs::permissions(scans, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read | fs::perms::others_read);
    const std::string scenario = "start\nnew-project\n"
                                 "copy-in " +
                                 std::string(SURVANTO_SOURCE_DIR) +
                                 "/tests/pointclouds/template templates\n"
                                 "load-library read-only templates\n"
                                 "load-library Scans\n"
                                 "copy-in " +
                                 SamplePath("translationWithoutRotation.e57") +
                                 " scan.e57\n"
                                 "menu 32500\n"
                                 "answer-open scan.e57\n"
                                 "click 32450 82\n"
                                 "expect elements = none\n"
                                 "expect alerts = [Survanto - Fehler!: " +
                                 NoCloud +
                                 "]\n"
                                 "expect progress = \"Survanto\" \"Erstelle Punktwolke(n)\" 4/6 closed\n"
                                 "quit\nfree\n";
    const ChildRun run = RunHostProcess(folder.path(), scenario, WithoutOverridingPermissions());
    fs::permissions(scans, fs::perms::owner_all, fs::perm_options::add);
    EXPECT_TRUE(run.ended);
    EXPECT_TRUE(WIFEXITED(run.status) && WEXITSTATUS(run.status) == 0) << run.out << run.err;
    EXPECT_TRUE(fs::is_empty(scans));
}

}  // namespace

// One posed scan imported whole, its point files compared byte for byte. The pose
// turns by 180 degrees about z and moves to the scanner at (10, 20, 1), so record
// (x, y, z) lies at (10 - x, 20 - y, 1 + z), exactly, and as far from the scanner
// as from the origin. Record 4 is no number and left out; record r's colour is
// (7r, 7r + 50, 7r + 100). The box is (-30, 12, -2)-(30, 33, 1.5).
namespace
{

const API_Coord3D ExactRecords[9] = {{1, 0, 0},      {0, 2, 0.5}, {-7, 0, 0}, {0, -13, 0}, {std::nan(""), 0, 0},
                                     {40, 0, -0.25}, {0, 8, 0},   {0, 0, -3}, {-20, 0, 0}};

// A point file's bytes: the header with the box, then each point relative to the
// box minimum with its record's colour.
struct ExactPoint
{
    float x, y, z;
    std::uint8_t record;
};

std::vector<std::uint8_t> PointFileBytes(const std::vector<ExactPoint>& points)
{
    std::vector<std::uint8_t> bytes {'G', 'S', 'P', 'C', 2, 0, 0, 0};
    const auto put = [&bytes](float value) {
        std::uint8_t raw[4];
        std::memcpy(raw, &value, sizeof raw);
        bytes.insert(bytes.end(), raw, raw + 4);
    };
    for (const float boxValue : {-30.0f, 30.0f, 12.0f, 33.0f, -2.0f, 1.5f}) put(boxValue);
    for (const ExactPoint& point : points)
    {
        put(point.x);
        put(point.y);
        put(point.z);
        for (int c = 0; c < 3; ++c) bytes.push_back(static_cast<std::uint8_t>(7 * point.record + 50 * c));
    }
    return bytes;
}

// The kept records relative to the box minimum, by record number.
const ExactPoint R0 {39, 8, 3, 0}, R1 {40, 6, 3.5f, 1}, R2 {47, 8, 3, 2}, R3 {40, 21, 3, 3}, R5 {0, 8, 2.75f, 5},
    R6 {40, 0, 3, 6}, R7 {40, 8, 0, 7}, R8 {60, 8, 3, 8};

struct ExactFilesCase
{
    const char* name;
    std::vector<short> clicks;
    std::vector<std::pair<const char*, std::vector<ExactPoint>>> files;
};

}  // namespace

// By distance (1, 2.06, 7, 13, 40, 8, 3 and 20 m from the scanner): the first band's
// counter gives levels 0, 1, 1; the second's 0, 1; the third's 1, 0; beyond, 0. By
// place: 0, 0, 1, 2 over and over. Unthinned: every point in order.
TEST_F(E57ImportFixture, AWholeImportWritesExactlyTheseBytes)
{
    const std::string file = WriteE57(
        "exact.e57", {DoubleScan(
                         "exact", 9, [](std::uint64_t r) { return ExactRecords[r]; }, Posed({0, 0, 0, 1}, {10, 20, 1}), true)});
    const ExactFilesCase cases[] = {
        {"distance", {}, {{"_data_1", {R0, R2, R5, R8}}, {"_data_2", {R1, R3, R6, R7}}}},
        {"place", {ByDistance}, {{"_data_50", {R0, R1, R5, R6}}, {"_data_25", {R2, R7}}, {"_data_25_2", {R3, R8}}}},
        {"whole", {ThinOut}, {{"_data", {R0, R1, R2, R3, R5, R6, R7, R8}}}},
    };
    for (const ExactFilesCase& c : cases)
    {
        std::vector<DG::PanelAction> actions {Text(NameEdit, c.name)};
        for (const short item : c.clicks) actions.push_back(Click(item));
        Import({file}, actions);
        for (const auto& [suffix, points] : c.files)
            EXPECT_EQ(FileBytes(TargetFile(std::string(c.name) + suffix + ".gspc")), PointFileBytes(points)) << c.name << suffix;
    }
}
