#include <gtest/gtest.h>

#include <functional>

#include "DG/DG.hpp"
#include "FileBytes.hpp"
#include "MainObjectFixture.hpp"
#include "StreamBytes.hpp"
#include "SurveyorRecordBytes.hpp"
#include "measuring/MeasuringState.hpp"
#include "persistence/QuintairData.hpp"
#include "persistence/ReportData.hpp"
#include "persistence/StationReference.hpp"

namespace
{

using Bytes = std::vector<std::uint8_t>;

constexpr char SomeGuid[] = "{00112233-4455-6677-8899-AABBCCDDEEFF}";
constexpr char AnnaGuid[] = "7EA30000-0000-4000-8000-000000000002";

// What a new per-user record holds: no measures, no station in use.
const StationValues NoStation {NullGuid, {0.0, 0.0, 0.0}, 0.0, false, 0, 0};
const SurveyorValues NewRecord {{}, u"", u"0", {1, 1, 1, 1}, {36, 89, 1, 11}, 0.0, 0, 1, 2, NullGuid, NoStation, NoStation,
                                1,  36,  "",   false};

class RecordStreams : public MainObjectFixture
{
protected:
    // The report's current user gets the lines, then the user exports into a new file.
    Bytes Exported(std::initializer_list<const char*> lines)
    {
        ReportData report;
        for (const char* line : lines) report.GetCurrentUserData().lines.Add(line);
        const std::string path = folder_.path() + "/report.txt";
        DG::QueueFileAnswer(IO::Location(path));
        if (!report.ExportToTextFile()) return {};
        return FileBytes(path);
    }

private:
    TempFolder folder_;
};

TEST_F(RecordStreams, WriteTheBytesOfTheirLayouts)
{
    const struct
    {
        const char* name;
        std::function<Bytes()> written;
        Bytes expected;
    } cases[] = {
        {"station record",
         [] {
             StationReference station;
             station.referenceElement = APIGuidFromString(SomeGuid);
             station.position = {1.5, -2.0, 3.25};
             station.angle = 0.5;
             station.inUse = true;
             station.alignmentPending = 0;
             return Written([&](CDataRecorder& r) { return station.Write(r); });
         },
         StreamBytes {}
             .Bytes({0x88, 0x99, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF, 0x77, 0x66, 0x33, 0x22, 0x11, 0x00, 0x55, 0x44})
             .F64(1.5)
             .F64(-2.0)
             .F64(3.25)
             .F64(0.5)
             .Bool(true)
             .bytes},
        {"new per-user record",
         [] {
             QuintairDataUserData record;
             return Written([&](CDataRecorder& r) { return record.Write(r); });
         },
         SnapshotBytes(NewRecord, 24).bytes},
        {"report of one solo user with two lines",
         [] {
             ReportData report;
             ReportUserData user;
             user.lines.Add("a");
             user.lines.Add("b");
             report.records.Add(user);
             return Written([&](CDataRecorder& r) { return report.Write(r); });
         },
         StreamBytes {}.I32(1).Text(NullGuidText).I16(0).Text(u"").I32(2).Text(u"a").Text(u"b").bytes},
        {"report export of the lines a and b",
         [this] {
             return Exported({"a", "b"});
         },
         {0xFF, 0xFE, 0x61, 0x00, 0x0D, 0x00, 0x0A, 0x00, 0x62, 0x00, 0x0D, 0x00, 0x0A, 0x00}},
        {"report export without lines", [this] { return Exported({}); }, {0xFF, 0xFE}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.written(), c.expected);
    }
}

TEST(StationRecord, StoresNoSwitchesAndReadsBackTheRest)
{
    StationReference written;
    written.referenceElement = APIGuidFromString(SomeGuid);
    written.position = {4.0, 5.0, 6.0};
    written.angle = 1.0;
    written.inUse = true;
    written.alignmentPending = 0;
    const Bytes bytes = Written([&](CDataRecorder& r) { return written.Write(r); });
    ASSERT_EQ(bytes.size(), std::size_t(StationReference::StreamBytes));

    StationReference read;
    read.referenceHeightPending = 0;
    std::int64_t left = -1;
    EXPECT_TRUE(ReadFrom(
        bytes, [&](CDataRecorder& r) { return read.Read(r); }, &left));
    EXPECT_EQ(left, 0);
    EXPECT_EQ(read.referenceElement, written.referenceElement);
    EXPECT_EQ(read.position.y, 5.0);
    EXPECT_EQ(read.angle, 1.0);
    EXPECT_TRUE(read.inUse);
    EXPECT_EQ(read.alignmentPending, 1);
    EXPECT_EQ(read.referenceHeightPending, 0);
}

TEST(StationRecord, ResetKeepsItInUse)
{
    StationReference station;
    station.inUse = true;
    station.referenceElement = APIGuidFromString(SomeGuid);
    station.position = {1.0, 2.0, 3.0};
    station.angle = 2.0;
    station.alignmentPending = station.referenceHeightPending = 0;
    station.Reset();
    EXPECT_TRUE(station.inUse);
    EXPECT_EQ(station.referenceElement, APINULLGuid);
    EXPECT_EQ(station.position.x, 0.0);
    EXPECT_EQ(station.angle, 0.0);
    EXPECT_EQ(station.alignmentPending, 1);
    EXPECT_EQ(station.referenceHeightPending, 1);
}

TEST(StationRecord, ApplyThenCaptureGivesTheSameStation)
{
    StationReference station;
    station.inUse = true;
    station.referenceElement = APIGuidFromString(SomeGuid);
    station.position = {7.0, 8.0, 9.0};
    station.angle = 0.25;
    station.alignmentPending = 0;
    MeasuringState state;
    API_Guid liveReference {};
    station.Apply(state, liveReference);
    EXPECT_EQ(state.stationX, 7.0);
    EXPECT_EQ(state.stationAngle, 0.25);
    EXPECT_EQ(state.alignmentPending, 0);
    EXPECT_EQ(liveReference, station.referenceElement);

    StationReference captured;
    captured.Capture(state, liveReference);
    EXPECT_FALSE(captured.inUse);
    captured.inUse = true;
    EXPECT_EQ(Written([&](CDataRecorder& r) { return captured.Write(r); }),
              Written([&](CDataRecorder& r) { return station.Write(r); }));
    EXPECT_EQ(captured.alignmentPending, 0);
    EXPECT_EQ(captured.referenceHeightPending, 1);
}

// A record whose every field differs from a new one's.
QuintairDataUserData Differing()
{
    QuintairDataUserData record;
    record.measuredX = -1.0;
    record.reservedValue4 = -11.0;
    record.stationId = "before";
    record.measuredPointLayer = 70;
    record.stationPointLayer = 77;
    record.perTypeLayers.fill(5);
    record.perTypePens.fill(6);
    record.referenceHeight = -3.0;
    record.alignmentPending = 1;
    record.user = GS::Guid(SomeGuid);
    record.userName = "before";
    record.automaticPictures = false;
    record.photoFolder = IO::Location(std::string("/before"));
    record.exchangeFile = "before.lse";
    record.stationMode = 1;
    record.firstStation.position = {1.0, 1.0, 1.0};
    record.secondStation.inUse = true;
    record.stationReferenceElement = APIGuidFromString(SomeGuid);
    return record;
}

// The fields every version stores, with the values their read gives.
StreamBytes AlwaysStoredFields()
{
    StreamBytes b;
    for (int i = 1; i <= 11; ++i) b.F64(i);
    b.I32(5).Text(u"S9").Text(u"3");
    for (const std::int16_t marker : {2, 3, 4, 5, 6, 7, 8, 9}) b.I16(marker);
    return b.F64(1.25).Text(u"7EA30000-0000-4000-8000-000000000002").Text(u"anna").I16(4).I16(0).I16(0);
}

void TakeAlwaysStoredFields(QuintairDataUserData& r)
{
    r.measuredX = 1;
    r.measuredY = 2;
    r.measuredZ = 3;
    r.stationX = 4;
    r.stationY = 5;
    r.stationZ = 6;
    r.stationAngle = 7;
    r.reservedValue1 = 8;
    r.reservedValue2 = 9;
    r.reservedValue3 = 10;
    r.reservedValue4 = 11;
    r.reservedLong = 5;
    r.stationId = "S9";
    r.activeStationId = "3";
    r.measuredPointLayer = 2;
    r.stationLayer = 3;
    r.freeAreaLayer = 4;
    r.measuredPointPen = 5;
    r.stationPen = 6;
    r.freeAreaPen = 7;
    r.stationPointPen = 8;
    r.stationPointLayer = 9;
    r.referenceHeight = 1.25;
    r.user = GS::Guid(AnnaGuid);
    r.userName = "anna";
    r.reservedShort = 4;
    r.alignmentPending = 0;
    r.referenceHeightPending = 0;
}

Bytes WrittenRecord(QuintairDataUserData record)
{
    return Written([&](CDataRecorder& r) { return record.Write(r); });
}

TEST(PerUserRecord, ReadsOlderStreamsInTheirOwnLayout)
{
    const struct
    {
        std::int32_t version;
        StreamBytes stream;
        std::function<void(QuintairDataUserData&)> takes;
    } cases[] = {
        {9, AlwaysStoredFields().Bool(true).Text(u"/photos").Bool(true).Text(u"D:\\x.lse"),
         [](QuintairDataUserData& r) {
             TakeAlwaysStoredFields(r);
             r.automaticPictures = true;
             r.photoFolder = IO::Location(std::string("/photos"));
             r.thumbnailView = true;
             r.exchangeFile = "D:\\x.lse";
         }},
        {2, AlwaysStoredFields().Bool(true).Text(u"/photos").Bool(true),
         [](QuintairDataUserData& r) {
             TakeAlwaysStoredFields(r);
             r.automaticPictures = true;
             r.photoFolder = IO::Location(std::string("/photos"));
             r.thumbnailView = true;
         }},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE("version " + std::to_string(c.version));
        QuintairDataUserData read = Differing();
        std::int64_t left = -1;
        EXPECT_TRUE(ReadFrom(
            c.stream.bytes, [&](CDataRecorder& r) { return read.Read(r, c.version); }, &left));
        EXPECT_EQ(left, 0);
        QuintairDataUserData expected = Differing();
        c.takes(expected);
        EXPECT_EQ(WrittenRecord(read), WrittenRecord(expected));
        EXPECT_EQ(read.stationMode, 1);
    }
}

TEST(PerUserRecord, ReadsBackWhatItWroteInStationMode2)
{
    QuintairDataUserData written = Differing();
    TakeAlwaysStoredFields(written);
    written.thumbnailView = true;
    const Bytes bytes = WrittenRecord(written);

    QuintairDataUserData read;
    std::int64_t left = -1;
    EXPECT_TRUE(ReadFrom(
        bytes, [&](CDataRecorder& r) { return read.Read(r, 24); }, &left));
    EXPECT_EQ(left, 0);
    EXPECT_EQ(read.stationMode, 2);
    written.stationMode = 2;
    EXPECT_EQ(WrittenRecord(read), WrittenRecord(written));

    read.firstStation.alignmentPending = 0;
    const QuintairDataUserData copy(read);
    EXPECT_EQ(WrittenRecord(copy), WrittenRecord(read));
    EXPECT_EQ(copy.firstStation.alignmentPending, 0);
}

}  // namespace
