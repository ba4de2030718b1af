#include <gtest/gtest.h>

#include <functional>

#include "StreamBytes.hpp"
#include "persistence/QuintairData.hpp"
#include "persistence/ReportData.hpp"
#include "persistence/StationReference.hpp"

namespace
{

using Bytes = std::vector<std::uint8_t>;

constexpr std::int32_t Huge = 0x7FFFFFFF;

// What the damaged streams are read into; each starts with values the reading must keep.
struct Targets
{
    Targets()
    {
        station.angle = 9.0;
        station.inUse = true;
        record.stationId = "kept";
        record.measuredPointLayer = 77;
        QuintairDataUserData listed;
        listed.userName = "kept";
        list.Add(listed);
        ReportUserData reported;
        reported.name = "kept";
        reported.lines.Add("kept");
        report.records.Add(reported);
    }
    StationReference station;
    QuintairDataUserData record;
    QuintairData list;
    ReportData report;
};

Bytes NewRecordBytes()
{
    QuintairDataUserData record;
    return Written([&](CDataRecorder& r) { return record.Write(r); });
}

Bytes Cut(Bytes bytes, std::size_t size)
{
    bytes.resize(size);
    return bytes;
}

// A surveyor's record whose stream ends two bytes into its last field, the
// default exchange path of 24 units behind its int32 count.
Bytes SurveyorCutInsideItsLastField()
{
    QuintairDataUserData record;
    record.user = GS::Guid("{00112233-4455-6677-8899-AABBCCDDEEFF}");
    record.referenceHeight = 2.5;
    record.stationX = 7.0;
    record.firstStation.position.x = 7.0;
    const Bytes bytes = Written([&](CDataRecorder& r) { return record.Write(r); });
    return Cut(bytes, bytes.size() - (4 + 24 * 2) + 2);
}

// The station id's length lies behind the eleven doubles and the reserved int32.
Bytes WithHugeStationIdLength()
{
    Bytes bytes = NewRecordBytes();
    bytes[88 + 4 + 3] = 0x7F;
    return bytes;
}

StreamBytes ReportRecord(const char16_t* name, std::int32_t lineCount, std::initializer_list<const char16_t*> lines)
{
    StreamBytes b;
    b.Text(u"00000000-0000-0000-0000-000000000000").I16(0).Text(name).I32(lineCount);
    for (const char16_t* line : lines) b.Text(line);
    return b;
}

void ExpectRecordKept(const Targets& t)
{
    EXPECT_EQ(t.record.stationId.ToUtf8(), "kept");
    EXPECT_EQ(t.record.measuredPointLayer, 77);
}

void ExpectListKept(const Targets& t)
{
    ASSERT_EQ(t.list.GetSize(), 1u);
    EXPECT_EQ(t.list[0].userName.ToUtf8(), "kept");
}

void ExpectReportKept(const Targets& t)
{
    ASSERT_EQ(t.report.records.GetSize(), 1u);
    EXPECT_EQ(t.report.records[0].name.ToUtf8(), "kept");
    EXPECT_EQ(t.report.records[0].lines.GetSize(), 1u);
}

using Reading = std::function<bool(Targets&, CDataRecorder&)>;
const Reading ReadStation = [](Targets& t, CDataRecorder& r) { return t.station.Read(r); };
const Reading ReadRecord = [](Targets& t, CDataRecorder& r) { return t.record.Read(r, 24); };
const Reading ReadList = [](Targets& t, CDataRecorder& r) { return t.list.Read(r, 24); };
const Reading ReadReport = [](Targets& t, CDataRecorder& r) { return t.report.Read(r); };

// Damaged data ends the reading at once, without asking for memory the data
// cannot fill; what lies behind the damage keeps its value, and a record cut
// short keeps what was read of it once its user is known.
TEST(DamagedStreams, StopReadingAndKeepWhatFollows)
{
    const struct
    {
        const char* name;
        Bytes bytes;
        Reading read;
        std::function<void(const Targets&)> check;
    } cases[] = {
        {"station record cut after its position",
         Cut(StreamBytes {}.Zeros(16).F64(1.0).F64(2.0).F64(3.0).F64(4.0).Bool(false).bytes, 40), ReadStation,
         [](const Targets& t) {
             EXPECT_EQ(t.station.position.z, 3.0);
             EXPECT_EQ(t.station.angle, 9.0);
             EXPECT_TRUE(t.station.inUse);
         }},
        {"per-user record cut inside the station id", StreamBytes {}.F64(1.0).Zeros(80).I32(0).I32(2).Bytes({'S', 0}).bytes,
         ReadRecord,
         [](const Targets& t) {
             EXPECT_EQ(t.record.measuredX, 1.0);
             ExpectRecordKept(t);
         }},
        {"per-user record with a flipped byte in the station id's length", WithHugeStationIdLength(), ReadRecord,
         ExpectRecordKept},
        {"per-user record without data", {}, ReadRecord, ExpectRecordKept},
        {"user list counting 2^31-1 records", StreamBytes {}.I32(Huge).Append(NewRecordBytes()).bytes, ReadList, ExpectListKept},
        {"user list with a negative count", StreamBytes {}.I32(-1).bytes, ReadList, ExpectListKept},
        {"user list cut inside its second record before its user",
         StreamBytes {}.I32(2).Append(NewRecordBytes()).Append(Cut(NewRecordBytes(), 100)).bytes, ReadList,
         [](const Targets& t) {
             ASSERT_EQ(t.list.GetSize(), 1u);
             EXPECT_TRUE(t.list[0].userName.IsEmpty());
         }},
        {"user list cut two bytes into the last field of its second record",
         StreamBytes {}.I32(2).Append(NewRecordBytes()).Append(SurveyorCutInsideItsLastField()).bytes, ReadList,
         [](const Targets& t) {
             ASSERT_EQ(t.list.GetSize(), 2u);
             const QuintairDataUserData& cut = t.list[1];
             EXPECT_EQ(cut.user, GS::Guid("{00112233-4455-6677-8899-AABBCCDDEEFF}"));
             EXPECT_EQ(cut.referenceHeight, 2.5);
             EXPECT_EQ(cut.stationX, 7.0);
             EXPECT_EQ(cut.firstStation.position.x, 7.0);
             EXPECT_EQ(cut.stationMode, 2);
             EXPECT_EQ(cut.exchangeFile.ToUtf8(), QuintairDataUserData().exchangeFile.ToUtf8());
         }},
        {"report counting 2^31-1 records", StreamBytes {}.I32(Huge).Append(ReportRecord(u"a", 0, {})).bytes, ReadReport,
         ExpectReportKept},
        {"report with a negative count", StreamBytes {}.I32(-1).bytes, ReadReport, ExpectReportKept},
        {"report without data", {}, ReadReport, ExpectReportKept},
        {"report record counting 2^31-1 lines",
         StreamBytes {}.I32(2).Append(ReportRecord(u"a", 1, {u"x"})).Append(ReportRecord(u"b", Huge, {u"y"})).bytes, ReadReport,
         [](const Targets& t) {
             ASSERT_EQ(t.report.records.GetSize(), 2u);
             EXPECT_EQ(t.report.records[0].name.ToUtf8(), "a");
             EXPECT_EQ(t.report.records[0].lines.GetSize(), 1u);
             EXPECT_EQ(t.report.records[1].name.ToUtf8(), "b");
             EXPECT_EQ(t.report.records[1].lines.GetSize(), 0u);
         }},
        {"report line longer than the data",
         StreamBytes {}.I32(1).Append(ReportRecord(u"a", 1, {})).I32(1000).Bytes({'a', 0, 'b', 0}).bytes, ReadReport,
         [](const Targets& t) {
             ASSERT_EQ(t.report.records.GetSize(), 1u);
             EXPECT_EQ(t.report.records[0].name.ToUtf8(), "a");
             EXPECT_EQ(t.report.records[0].lines.GetSize(), 0u);
         }},
        {"report record cut inside its third line",
         Cut(StreamBytes {}.I32(1).Append(ReportRecord(u"a", 3, {u"one", u"two", u"three"})).bytes,
             4 + ReportRecord(u"a", 3, {u"one", u"two"}).bytes.size() + 4 + 2),
         ReadReport,
         [](const Targets& t) {
             ASSERT_EQ(t.report.records.GetSize(), 1u);
             ASSERT_EQ(t.report.records[0].lines.GetSize(), 2u);
             EXPECT_EQ(t.report.records[0].lines[1].ToUtf8(), "two");
         }},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        Targets targets;
        EXPECT_FALSE(ReadFrom(c.bytes, [&](CDataRecorder& r) { return c.read(targets, r); }));
        c.check(targets);
    }
}

}  // namespace
