#include <gtest/gtest.h>

#include "JobTestSupport.hpp"
#include "StreamBytes.hpp"
#include "pointclouds/VaroImportData.hpp"

namespace
{

const API_Guid TargetGuid = APIGuidFromString("{11223344-5566-7788-99AA-BBCCDDEEFF00}");
const API_Guid PictureGuid = APIGuidFromString("{01020304-0506-0708-090A-0B0C0D0E0F10}");

OrtophotoData SectionJob()
{
    OrtophotoData job;
    job.execute = true;
    job.layerFromJobName = false;
    job.layerIndex = 7;
    job.hasOrigin = true;
    job.origin = {1.5, -2.0, 3.0};
    job.target.databaseType = ACDatabaseID::Section;
    job.target.databaseGuid = TargetGuid;
    job.target.storey = -1;
    job.target.name = GS::UniString("Schnitt A");
    job.jobName = GS::UniString("Nord");
    job.tiles.Add(MakeTile("a.jpg", {1, 2, 3}, {10, 11, 12}, {7, 8, 9}, {4, 5, 6}));
    job.placedPictures.Add(PictureGuid);
    return job;
}

TEST(JobStream, WritesTheVersion4LayoutByteForByte)
{
    VaroImportData data;
    data.jobFolder = GS::UniString("/jobs");
    data.jobs.Add(SectionJob());

    StreamBytes expected;
    expected.I16(4).Text(u"/jobs").I32(1);
    expected.Bool(true).Bool(false).I16(7).Bool(true).Coord3D(1.5, -2.0, 3.0);
    expected.Bytes({0x02, 0x00});  // target type, int16
    expected.Bytes({0xFF, 0xFF});  // storey -1
    expected.Bytes({0x99, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF, 0x00, 0x88, 0x77, 0x44, 0x33, 0x22, 0x11, 0x66, 0x55});
    expected.Text(u"Schnitt A").Text(u"Nord");
    // Corners stored left bottom, left upper, right bottom, right upper.
    expected.I32(1).Text(u"a.jpg").Coord3D(1, 2, 3).Coord3D(7, 8, 9).Coord3D(10, 11, 12).Coord3D(4, 5, 6);
    expected.I32(1).Bytes({0x09, 0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F, 0x10, 0x08, 0x07, 0x04, 0x03, 0x02, 0x01, 0x06, 0x05});

    EXPECT_EQ(WrittenObject(data), expected.bytes);

    VaroImportData read;
    ASSERT_TRUE(ReadObject(read, expected.bytes));
    EXPECT_EQ(read.jobFolder, GS::UniString("/jobs"));
    ASSERT_EQ(read.jobs.GetSize(), 1u);
    ExpectSameJob(read.jobs[0], SectionJob());
}

TEST(JobStream, SeveralJobsComeBackWithEveryField)
{
    VaroImportData data;
    data.jobFolder = GS::UniString("/mnt/Aufmaß");
    data.jobs.Add(SectionJob());
    OrtophotoData plan;
    plan.jobName = GS::UniString("Grundriss.EG");
    plan.target.storey = 2;
    for (int i = 0; i < 10; ++i)
        plan.tiles.Add(MakeTile("t.png", {double(i), 0, 0}, {i + 1.0, 0, 0}, {double(i), 1, 0}, {i + 1.0, 1, 0}));
    data.jobs.Add(plan);
    OrtophotoData worksheet;
    worksheet.target.databaseType = ACDatabaseID::Worksheet;
    worksheet.target.name = GS::UniString("Blatt");
    worksheet.placedPictures.Add(TargetGuid);
    worksheet.placedPictures.Add(PictureGuid);
    data.jobs.Add(worksheet);

    VaroImportData read;
    read.jobs.Add(SectionJob());
    ASSERT_TRUE(ReadObject(read, WrittenObject(data)));
    EXPECT_EQ(read.jobFolder, data.jobFolder);
    ASSERT_EQ(read.jobs.GetSize(), 3u);
    for (std::uint32_t i = 0; i < 3; ++i) ExpectSameJob(read.jobs[i], data.jobs[i]);
}

struct VersionCase
{
    const char* name;
    std::int16_t version;
    bool layerFromJobName;
    std::int16_t layerIndex;
    const char* targetName;
};

class JobStreamVersion : public ::testing::TestWithParam<VersionCase>
{};

// Older streams lack the layer fields (version 1) and the target name (up to 2).
TEST_P(JobStreamVersion, ReadsTheFieldsItsVersionCarries)
{
    const VersionCase c = GetParam();
    StreamBytes stream;
    stream.I16(c.version).Text(u"/f").I32(1);
    stream.Bool(true);
    if (c.version > 1) stream.Bool(false).I16(9);
    stream.Bool(false).Coord3D(0, 0, 0).I16(10).I16(0);
    stream.Bytes({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16});
    if (c.version > 2) stream.Text(u"Ansicht");
    stream.Text(u"Job").I32(0).I32(0);

    VaroImportData read;
    ASSERT_TRUE(ReadObject(read, stream.bytes));
    ASSERT_EQ(read.jobs.GetSize(), 1u);
    const OrtophotoData& job = read.jobs[0];
    EXPECT_TRUE(job.execute);
    EXPECT_EQ(job.layerFromJobName, c.layerFromJobName);
    EXPECT_EQ(job.layerIndex, c.layerIndex);
    EXPECT_EQ(job.target.databaseType, ACDatabaseID::Elevation);
    EXPECT_EQ(job.target.name, GS::UniString(c.targetName));
    EXPECT_EQ(job.jobName, GS::UniString("Job"));
}

INSTANTIATE_TEST_SUITE_P(Versions, JobStreamVersion,
                         ::testing::Values(VersionCase {"Version1", 1, true, 1, ""}, VersionCase {"Version2", 2, false, 9, ""},
                                           VersionCase {"Version5", 5, false, 9, "Ansicht"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(JobStream, NegativeDatabaseTypeIsWidenedWithItsSign)
{
    StreamBytes stream;
    stream.I16(4).Text(u"").I32(1).Bool(false).Bool(true).I16(1).Bool(false).Coord3D(0, 0, 0);
    stream.I16(-2).I16(0).Bytes({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}).Text(u"").Text(u"").I32(0).I32(0);
    VaroImportData read;
    ASSERT_TRUE(ReadObject(read, stream.bytes));
    ASSERT_EQ(read.jobs.GetSize(), 1u);
    EXPECT_EQ(read.jobs[0].target.databaseType, -2);
}

struct DamagedCase
{
    const char* name;
    std::int32_t jobCount;
    std::int32_t tileCount;
    std::int32_t pictureCount;
    std::uint32_t jobsKept;
};

class DamagedJobStream : public ::testing::TestWithParam<DamagedCase>
{};

// A count that is negative or larger than the rest of the stream could hold ends
// the read instead of appending records by the million.
TEST_P(DamagedJobStream, EndsTheReadAtTheDamagedCount)
{
    const DamagedCase c = GetParam();
    StreamBytes stream;
    stream.I16(4).Text(u"/f").I32(c.jobCount);
    stream.Bool(true).Bool(true).I16(1).Bool(false).Coord3D(0, 0, 0).I16(1).I16(0);
    stream.Bytes({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}).Text(u"").Text(u"Job");
    stream.I32(c.tileCount).I32(c.pictureCount);

    VaroImportData read;
    read.jobs.Add(SectionJob());
    EXPECT_FALSE(ReadObject(read, stream.bytes));
    EXPECT_EQ(read.jobFolder, GS::UniString("/f"));
    ASSERT_EQ(read.jobs.GetSize(), c.jobsKept);
    if (c.jobsKept == 1)
    {
        EXPECT_EQ(read.jobs[0].jobName, GS::UniString("Job"));
        EXPECT_EQ(read.jobs[0].tiles.GetSize(), 0u);
        EXPECT_EQ(read.jobs[0].placedPictures.GetSize(), 0u);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Counts, DamagedJobStream,
    ::testing::Values(DamagedCase {"negativeJobs", -1, 0, 0, 0}, DamagedCase {"hugeJobs", 0x7FFFFFFF, 0, 0, 0},
                      DamagedCase {"twoJobsOneThere", 2, 0, 0, 0}, DamagedCase {"negativeTiles", 1, -5, 0, 1},
                      DamagedCase {"hugeTiles", 1, 50000000, 0, 1}, DamagedCase {"negativePictures", 1, 0, -1, 1},
                      DamagedCase {"hugePictures", 1, 0, 100000000, 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(JobRecords, AssignmentKeepsTheTargetsPlacedPicturesCopyTakesThem)
{
    const OrtophotoData source = SectionJob();
    OrtophotoData target;
    target.jobName = GS::UniString("Alt");
    target.tiles.Add(MakeTile("old.png", {}, {}, {}, {}));
    target.tiles.Add(MakeTile("old2.png", {}, {}, {}, {}));
    target.placedPictures.Add(TargetGuid);

    target = source;
    ExpectSameSettings(target, source);
    ASSERT_EQ(target.placedPictures.GetSize(), 1u);
    EXPECT_EQ(target.placedPictures[0], TargetGuid);

    const OrtophotoData copy(source);
    ExpectSameJob(copy, source);

    VaroImportData list;
    list.jobs.Add(source);
    VaroImportData listCopy;
    listCopy = list;
    ExpectSameJob(listCopy.jobs[0], source);
}

// Removing a job from the list shifts the later ones whole, pictures included.
TEST(JobRecords, JobsMovedWithinTheListKeepTheirPictures)
{
    TypVektor<OrtophotoData> jobs;
    OrtophotoData first = SectionJob();
    OrtophotoData second;
    second.jobName = GS::UniString("Zwei");
    second.placedPictures.Add(TargetGuid);
    jobs.Add(first);
    jobs.Add(second);
    jobs.Delete(0);
    ASSERT_EQ(jobs.GetSize(), 1u);
    ExpectSameJob(jobs[0], second);
}

}  // namespace
