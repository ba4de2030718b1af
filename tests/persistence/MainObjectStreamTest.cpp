#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <functional>
#include <string>

#include "MainObjectFixture.hpp"
#include "StreamBytes.hpp"
#include "SurveyorRecordBytes.hpp"
#include "Waiting.hpp"
#include "framework/CDataStore.hpp"
#include "measuring/MeasuringState.hpp"

namespace
{

using Bytes = std::vector<std::uint8_t>;

constexpr char GuidA[] = "{00112233-4455-6677-8899-AABBCCDDEEFF}";
constexpr char GuidB[] = "{A0B1C2D3-E4F5-0617-2839-4A5B6C7D8E9F}";

// The example window state: open and docked at (10, 20), 300 wide, 200 high.
const Bytes WindowState {0x01, 0x00, 0x01, 0x01, 0x0A, 0x00, 0x14, 0x00, 0xC8, 0x00, 0x2C, 0x01};

// The store's record header for the name "Survanto", the platform byte and a key.
StreamBytes RecordHeader(const char* key)
{
    StreamBytes b;
    b.Bytes({0x11, 0x30});
    for (const char c : std::string("SurvantoModul Header")) b.Byte(static_cast<std::uint8_t>(c));
    b.Bytes({0x0C, 0x07, 0x01});
    for (int i = 3; i >= 0; --i) b.Byte(static_cast<std::uint8_t>(key[i]));
    return b;
}

// The live state of the golden stream: the first station is in use and agrees
// with the measuring state, so the refresh before writing keeps every value.
const SurveyorValues Live {{1.5, 2.5, 0.25, 10.0, 20.0, 1.0, 0.5, 0.0, 0.0, 0.0, 0.0},
                           u"S1",
                           u"S1",
                           {3, 4, 5, 6},
                           {7, 8, 9, 10},
                           1.25,
                           0,
                           1,
                           1,
                           GuidA,
                           {GuidA, {10.0, 20.0, 1.0}, 0.5, true, 0, 1},
                           {NullGuid, {0.0, 0.0, 0.0}, 0.75, false, 1, 0},
                           12,
                           13,
                           "/photos/site",
                           true};

// What the older fixtures carry.
const SurveyorValues Stored {{-1.0, -2.0, -3.0, -4.0, -5.0, -6.0, -0.125, -8.0, -9.0, -10.0, -11.0},
                             u"7",
                             u"7 b",
                             {21, 22, 23, 24},
                             {25, 26, 27, 28},
                             -1.5,
                             1,
                             0,
                             1,
                             GuidB,
                             {GuidB, {-4.0, -5.0, -6.0}, -0.125, true, 1, 0},
                             {NullGuid, {0.0, 0.0, 0.0}, 0.0, false, 1, 1},
                             31,
                             32,
                             "/stored",
                             false};

void SetLive(const SurveyorValues& v, Survanto& main)
{
    MeasuringState& s = measuringState;
    double* measured[] = {&s.measuredX,    &s.measuredY,      &s.measuredZ,      &s.stationX,       &s.stationY,      &s.stationZ,
                          &s.stationAngle, &s.reservedValue1, &s.reservedValue2, &s.reservedValue3, &s.reservedValue4};
    for (std::size_t i = 0; i < v.measured.size(); ++i) *measured[i] = v.measured[i];
    s.referenceHeight = v.referenceHeight;
    s.alignmentPending = v.alignment;
    s.referenceHeightPending = v.referenceHeightSwitch;
    s.stationMode = v.stationMode;
    main.stationId = GS::UniString::FromUtf16(v.stationId.data(), v.stationId.size());
    main.activeStationId = GS::UniString::FromUtf16(v.activeStationId.data(), v.activeStationId.size());
    main.measuredPointLayer = v.layers[0];
    main.stationLayer = v.layers[1];
    main.freeAreaLayer = v.layers[2];
    main.stationPointLayer = v.layers[3];
    main.measuredPointPen = v.pens[0];
    main.stationPen = v.pens[1];
    main.freeAreaPen = v.pens[2];
    main.stationPointPen = v.pens[3];
    main.stationReferenceElement = APIGuidFromString(v.referenceElement);
    const std::pair<StationReference*, StationValues> stations[] = {{&main.firstStation, v.first},
                                                                    {&main.secondStation, v.second}};
    for (const auto& [station, values] : stations)
    {
        station->referenceElement = APIGuidFromString(values.referenceElement);
        station->position = values.position;
        station->angle = values.angle;
        station->inUse = values.inUse;
        station->alignmentPending = values.alignment;
        station->referenceHeightPending = values.referenceHeight;
    }
    main.perTypeLayers.fill(v.kindLayer);
    main.perTypePens.fill(v.kindPen);
    main.perTypeLayers[0] = main.perTypePens[0] = 0;
    main.photoFolderDialog.photoFolder = IO::Location(v.photoFolder);
    main.photoFolderDialog.largeThumbnails = v.thumbnails;
}

// The station fields of the project stream, by version.
StreamBytes StationFieldBytes(const StationValues& s, std::int32_t version)
{
    StreamBytes b;
    b.I16(s.alignment).I16(s.referenceHeight);
    if (version >= 13) b.F64(s.angle).Guid(s.referenceElement).Bool(s.inUse);
    return b;
}

// The project stream of version 24 over the live values, the flags and the
// import data the golden test sets.
StreamBytes ProjectBytes(const SurveyorValues& v, std::int16_t language = 1)
{
    StreamBytes b;
    b.I32(24).Bool(true).I32(1).Append(SnapshotBytes(v, 24)).I32(0);
    b.Append(StationFieldBytes(v.first, 24)).Append(StationFieldBytes(v.second, 24));
    b.Bool(true).I16(0).Bool(true).Bool(false);
    b.I16(4).Text(u"C:\\jobs").I32(0);
    for (std::int16_t width = 1; width <= 7; ++width) b.I16(width);
    return b.I16(language);
}

StreamBytes PreferencesBytes(std::int16_t language = 2)
{
    StreamBytes b;
    b.I32(24).Text(u"C:\\x.lse").Append(WindowState).Bool(true).Bool(false).I32(400);
    return b.I16(language);
}

class MainObjectStream : public MainObjectFixture
{
protected:
    void SetUp() override
    {
        MainObjectFixture::SetUp();
        before_ = measuringState;
        Host().menuTexts_.clear();
    }
    void TearDown() override
    {
        measuringState = before_;
        MainObjectFixture::TearDown();
    }

    // Live values and the switches, import data, widths and language of the golden stream.
    void SetGoldenState()
    {
        SetLive(Live, Main());
        Main().elementCreated = true;
        Main().markerIdsShown = true;
        Main().manualCalibration = true;
        Main().sounds = false;
        Main().importPalette.importData.jobFolder = "C:\\jobs";
        Main().importColumnWidths = {1, 2, 3, 4, 5, 6, 7};
        Main().language = 1;
    }

    void SetPreferences()
    {
        Main().exchangeFile = "C:\\x.lse";
        ASSERT_TRUE(ReadFrom(WindowState, [&](CDataRecorder& r) { return Main().ReadState(r); }));
        Main().windowTracking = true;
        Main().windowRaising = false;
        Main().trackingDelay = 400;
        Main().language = 2;
    }

    bool ReadInto(const Bytes& bytes, bool preferences = false, std::int64_t* left = nullptr)
    {
        return ReadFrom(
            bytes,
            [&](CDataRecorder& r) {
                if (preferences) r.SetPurpose(CDataStore::PreferencesPurpose);
                return Main().Read(r);
            },
            left);
    }

    Bytes WindowStateNow()
    {
        return Written([&](CDataRecorder& r) { return Main().WriteState(r); });
    }

    // A change of language relabels the menus and tells the GDL extension the
    // language plus one: the language changed to, if any.
    std::vector<std::int32_t> LanguageCalls()
    {
        if (Host().menuTexts_.empty()) return {};
        return {std::stoi(Host().Fact("gdl-language")) - 1};
    }

private:
    MeasuringState before_;
};

TEST_F(MainObjectStream, WritesTheBytesOfItsLayouts)
{
    const struct
    {
        const char* name;
        std::function<void(Survanto&)> set;
        std::function<Bytes(Survanto&)> written;
        Bytes expected;
    } cases[] = {
        {"window state", [](Survanto&) {},
         [](Survanto& m) {
             ReadFrom(WindowState, [&](CDataRecorder& r) { return m.ReadState(r); });
             return Written([&](CDataRecorder& r) { return m.WriteState(r); });
         },
         WindowState},
        {"preferences stream, version 24", [this](Survanto&) { SetPreferences(); },
         [](Survanto& m) {
             return Written([&](CDataRecorder& r) {
                 r.SetPurpose(CDataStore::PreferencesPurpose);
                 return m.Write(r);
             });
         },
         PreferencesBytes().bytes},
        {"project stream, version 24", [this](Survanto&) { SetGoldenState(); },
         [](Survanto& m) { return Written([&](CDataRecorder& r) { return m.Write(r); }); }, ProjectBytes(Live).bytes},
        {"preferences block", [this](Survanto&) { SetPreferences(); },
         [this](Survanto& m) {
             if (!m.SavePreferences() || !Host().preferences_ || Host().preferences_->version != 24) return Bytes {};
             return Host().preferences_->bytes;
         },
         RecordHeader("GLOB").Append(PreferencesBytes()).bytes},
        {"project module data", [this](Survanto&) { SetGoldenState(); },
         [this](Survanto& m) { return m.SaveModuleData() ? Model().moduleData[""].bytes : Bytes {}; },
         RecordHeader("MAIN").Append(ProjectBytes(Live)).bytes},
        {"report module data",
         [](Survanto& m) {
             m.report.records.Clear();
             m.report.GetCurrentUserData().lines.Add("line");
         },
         [this](Survanto& m) { return m.SaveReportData() ? Model().moduleData["REPORT"].bytes : Bytes {}; },
         RecordHeader("MAIN").I32(1).Text(NullGuidText).I16(0).Text(u"").I32(1).Text(u"line").bytes},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        Main().userData.Clear();
        c.set(Main());
        EXPECT_EQ(c.written(Main()), c.expected);
    }
}

// Written again after reading, the stream shows every field restored, the live
// state taken from the current user's record (read back in station mode 2), and
// the language kept: the project's is read and dropped.
TEST_F(MainObjectStream, ProjectStreamReadBackRestoresTheFieldsAndTheLiveState)
{
    SetGoldenState();
    const Bytes bytes = Written([&](CDataRecorder& r) { return Main().Write(r); });
    SetLive(Stored, Main());
    Main().elementCreated = Main().markerIdsShown = Main().manualCalibration = false;
    Main().sounds = true;
    Main().importPalette.importData.jobFolder.Clear();
    Main().importColumnWidths = Survanto::DefaultImportColumnWidths;
    Main().language = 0;
    Main().userData.Clear();

    std::int64_t left = -1;
    ASSERT_TRUE(ReadInto(bytes, false, &left));
    EXPECT_EQ(left, 0);
    EXPECT_EQ(Main().streamVersion, 24);
    EXPECT_EQ(measuringState.stationX, 10.0);
    EXPECT_EQ(Main().stationId.ToUtf8(), "S1");
    SurveyorValues expected = Live;
    expected.stationMode = 2;
    EXPECT_EQ(Written([&](CDataRecorder& r) { return Main().Write(r); }), ProjectBytes(expected, 0).bytes);
    EXPECT_TRUE(LanguageCalls().empty());
}

// Values a stream must not reach unless it holds them.
void SetBeforeReading(Survanto& main)
{
    SetLive(Live, main);
    main.elementCreated = main.markerIdsShown = main.manualCalibration = false;
    main.sounds = true;
    main.importPalette.importData.jobFolder = "kept";
    main.importColumnWidths = Survanto::DefaultImportColumnWidths;
    main.language = 0;
    main.exchangeFile = "kept";
    main.windowTracking = false;
    main.userData.Clear();
    main.userData.GetCurrentUserData(measuringState, main).userName = "kept";
}

void ExpectLaterFieldsKept(const Survanto& main)
{
    EXPECT_FALSE(main.markerIdsShown);
    EXPECT_FALSE(main.manualCalibration);
    EXPECT_TRUE(main.sounds);
    EXPECT_EQ(main.importPalette.importData.jobFolder.ToUtf8(), "kept");
    EXPECT_EQ(main.importColumnWidths, Survanto::DefaultImportColumnWidths);
}

void ExpectStoredMeasuredValues()
{
    EXPECT_EQ(measuringState.measuredX, -1.0);
    EXPECT_EQ(measuringState.reservedValue4, -11.0);
    EXPECT_EQ(measuringState.referenceHeight, -1.5);
}

StreamBytes Version16()
{
    StreamBytes b;
    b.I32(16).Bool(true).I32(1).Append(SnapshotBytes(Stored, 16)).I32(0);
    b.Append(StationFieldBytes(Stored.first, 16)).Append(StationFieldBytes(Stored.second, 16));
    return b.Bool(true).I16(0).Bool(true).Bool(false);
}

StreamBytes Version10()
{
    StreamBytes b;
    b.I32(10).Bool(true).I32(1).Append(SnapshotBytes(Stored, 10)).I32(0);
    const StationValues first {GuidA, {}, 9.0, false, 0, 0};
    return b.Append(StationFieldBytes(first, 10)).Append(StationFieldBytes(first, 10));
}

// Before the user list: the eleven values, a dropped value in version 5 only,
// station ids and markers from version 6, station points from version 7, then
// the reference height.
StreamBytes OldStream(std::int32_t version)
{
    StreamBytes b;
    b.I32(version).Bool(true);
    for (const double value : Stored.measured) b.F64(value);
    if (version == 5) b.I32(99);
    if (version >= 6)
    {
        b.Text(Stored.stationId).Text(Stored.activeStationId);
        for (const std::int16_t value :
             {Stored.layers[0], Stored.layers[1], Stored.layers[2], Stored.pens[0], Stored.pens[1], Stored.pens[2]})
            b.I16(value);
    }
    if (version >= 7) b.I16(Stored.pens[3]).I16(Stored.layers[3]);
    return b.F64(Stored.referenceHeight);
}

TEST_F(MainObjectStream, OlderProjectStreamsAreReadByTheirVersionGates)
{
    const struct
    {
        const char* name;
        Bytes bytes;
        bool preferences;
        std::function<void(const Survanto&)> check;
    } cases[] = {
        {"version 16 reads up to the sounds; import data, widths and language stay", Version16().bytes, false,
         [](const Survanto& m) {
             ExpectStoredMeasuredValues();
             EXPECT_EQ(m.stationId.ToUtf8(), "7");
             EXPECT_EQ(measuringState.stationMode, 2);
             EXPECT_EQ(m.perTypeLayers[5], 31);
             EXPECT_EQ(m.firstStation.referenceElement, APIGuidFromString(GuidB));
             EXPECT_EQ(m.firstStation.alignmentPending, 1);
             EXPECT_EQ(m.firstStation.referenceHeightPending, 0);
             EXPECT_TRUE(m.markerIdsShown);
             EXPECT_TRUE(m.manualCalibration);
             EXPECT_FALSE(m.sounds);
             EXPECT_EQ(m.importPalette.importData.jobFolder.ToUtf8(), "kept");
             EXPECT_EQ(m.importColumnWidths, Survanto::DefaultImportColumnWidths);
             EXPECT_EQ(m.userData.GetSize(), 1u);
         }},
        {"version 16 in the preferences is project data", Version16().bytes, true,
         [](const Survanto& m) {
             ExpectStoredMeasuredValues();
             EXPECT_TRUE(m.manualCalibration);
             EXPECT_EQ(m.exchangeFile.ToUtf8(), "kept");
         }},
        {"version 10 reads only the station switches", Version10().bytes, false,
         [](const Survanto& m) {
             ExpectStoredMeasuredValues();
             EXPECT_EQ(m.firstStation.alignmentPending, 0);
             EXPECT_EQ(m.firstStation.referenceHeightPending, 0);
             EXPECT_EQ(m.firstStation.angle, Stored.first.angle);
             EXPECT_EQ(m.firstStation.referenceElement, APIGuidFromString(GuidB));
             EXPECT_TRUE(m.firstStation.inUse);
             EXPECT_EQ(m.perTypeLayers[5], 1);
             ExpectLaterFieldsKept(m);
         }},
        {"version 7 gives every kind the measured-point layer and pen", OldStream(7).bytes, false,
         [](const Survanto& m) {
             ExpectStoredMeasuredValues();
             EXPECT_EQ(m.stationId.ToUtf8(), "7");
             EXPECT_EQ(m.activeStationId.ToUtf8(), "7 b");
             EXPECT_EQ(m.perTypeLayers, (std::array<std::int16_t, 11> {21, 21, 21, 21, 21, 21, 21, 21, 21, 21, 21}));
             EXPECT_EQ(m.perTypePens[0], 25);
             EXPECT_EQ(m.stationPointPen, 28);
             EXPECT_EQ(m.stationPointLayer, 24);
             EXPECT_EQ(m.userData[0].userName.ToUtf8(), "kept");
             ExpectLaterFieldsKept(m);
         }},
        {"version 5 skips one value and reads no station ids", OldStream(5).bytes, false,
         [](const Survanto& m) {
             ExpectStoredMeasuredValues();
             EXPECT_EQ(m.stationId.ToUtf8(), "S1");
             EXPECT_EQ(m.measuredPointLayer, Live.layers[0]);
             EXPECT_EQ(m.userData.GetSize(), 1u);
             ExpectLaterFieldsKept(m);
         }},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        SetBeforeReading(Main());
        std::int64_t left = -1;
        EXPECT_TRUE(ReadInto(c.bytes, c.preferences, &left));
        EXPECT_EQ(left, 0);
        EXPECT_TRUE(Main().elementCreated);
        EXPECT_EQ(Main().language, 0);
        EXPECT_TRUE(LanguageCalls().empty());
        c.check(Main());
    }
}

TEST_F(MainObjectStream, PreferencesRestoreTheWindowTrackingAndChangeOnlyAnotherLanguage)
{
    const struct
    {
        const char* name;
        Bytes bytes;
        std::int32_t runningLanguage;
        std::vector<std::int32_t> languageCalls;
        bool tracking;
    } cases[] = {
        {"version 24 with another language", PreferencesBytes().bytes, 0, {2}, true},
        {"version 24 in the running language", PreferencesBytes().bytes, 2, {}, true},
        {"a language outside the three", PreferencesBytes(7).bytes, 0, {}, true},
        {"version 18 holds no tracking", StreamBytes {}.I32(18).Text(u"C:\\x.lse").Append(WindowState).bytes, 0, {}, false},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        Host().menuTexts_.clear();
        Main().exchangeFile = "before";
        Main().windowTracking = false;
        Main().trackingDelay = 250;
        Main().language = c.runningLanguage;
        std::int64_t left = -1;
        EXPECT_TRUE(ReadInto(c.bytes, true, &left));
        EXPECT_EQ(left, 0);
        EXPECT_EQ(Main().exchangeFile.ToUtf8(), "C:\\x.lse");
        EXPECT_EQ(WindowStateNow(), WindowState);
        EXPECT_TRUE(Main().RestoresWindowState());
        EXPECT_EQ(Main().windowTracking, c.tracking);
        EXPECT_EQ(Main().trackingDelay, c.tracking ? 400 : 250);
        EXPECT_EQ(LanguageCalls(), c.languageCalls);
        EXPECT_EQ(Main().language, c.languageCalls.empty() ? c.runningLanguage : c.languageCalls.front());
    }
    Main().SetLanguage(0);
}

// A window state cut short restores nothing: the palette would open at 0 x 0.
TEST_F(MainObjectStream, WindowStateCutShortRestoresNothing)
{
    const Bytes cutState(WindowState.begin(), WindowState.begin() + 5);
    const Bytes bytes = StreamBytes {}.I32(24).Text(u"C:\\x.lse").Append(cutState).bytes;
    Main().windowTracking = false;
    EXPECT_FALSE(ReadInto(bytes, true));
    EXPECT_EQ(Main().exchangeFile.ToUtf8(), "C:\\x.lse");
    EXPECT_FALSE(Main().RestoresWindowState());
    EXPECT_EQ(WindowStateNow(), Bytes({0x01, 0x00, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_FALSE(Main().windowTracking);
}

Bytes Patched(Bytes bytes, std::size_t offset, std::initializer_list<std::uint8_t> patch)
{
    std::copy(patch.begin(), patch.end(), bytes.begin() + static_cast<std::ptrdiff_t>(offset));
    return bytes;
}

Bytes Flipped(Bytes bytes, std::size_t offset)
{
    bytes[offset] ^= 0xFF;
    return bytes;
}

// Reading stops at the damage, at once, and nothing behind it changes; the live
// state takes the current user's record only when the whole list was read.
TEST_F(MainObjectStream, DamagedStreamsStopAtTheDamage)
{
    const Bytes project = ProjectBytes(Live).bytes;
    const std::size_t userCount = 5;
    const std::size_t stationIdLength = userCount + 4 + 88 + 4;
    const std::size_t profileCount = userCount + 4 + SnapshotBytes(Live, 24).bytes.size();
    const std::size_t firstStationAngle = profileCount + 4 + 4;
    const struct
    {
        const char* name;
        Bytes bytes;
        bool preferences;
        bool listRead;
    } cases[] = {
        {"truncated inside a station angle", Bytes(project.begin(), project.begin() + firstStationAngle + 3), false, true},
        {"flipped byte in the user count", Flipped(project, userCount + 3), false, false},
        {"user count 2^31-1", Patched(project, userCount, {0xFF, 0xFF, 0xFF, 0x7F}), false, false},
        {"station id longer than the stream", Patched(project, stationIdLength, {0xF0, 0xFF, 0xFF, 0x7F}), false, false},
        {"profile count 2^31-1", Patched(project, profileCount, {0xFF, 0xFF, 0xFF, 0x7F}), false, true},
        {"exchange path longer than the stream", Patched(PreferencesBytes().bytes, 4, {0xF0, 0xFF, 0xFF, 0x7F}), true, false},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        SetBeforeReading(Main());
        SetLive(Stored, Main());
        const auto start = std::chrono::steady_clock::now();
        EXPECT_FALSE(ReadInto(c.bytes, c.preferences));
        EXPECT_LT(std::chrono::steady_clock::now() - start, HangGuard) << "the read ran through a count it cannot hold";
        ExpectLaterFieldsKept(Main());
        EXPECT_EQ(Main().exchangeFile.ToUtf8(), "kept");
        EXPECT_FALSE(Main().windowTracking);
        EXPECT_FALSE(Main().RestoresWindowState());
        EXPECT_EQ(measuringState.measuredX, c.listRead ? Live.measured[0] : Stored.measured[0]);
    }
}

}  // namespace
