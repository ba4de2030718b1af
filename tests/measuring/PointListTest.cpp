#include <clocale>
#include <fstream>
#include <iterator>
#include <locale>
#include <string>
#include <vector>

#include "DG/FileDialog.hpp"
#include "MarkerFixture.hpp"
#include "frame/UInterface.hpp"
#include "framework/OwnChangeCounter.hpp"
#include "measuring/PointListLine.hpp"

namespace
{

constexpr short Palette = Survanto::MainPaletteDialogId;
constexpr std::int16_t MainPaletteMenu = 32500;
constexpr short ImportItem = 79;
constexpr short ExportItem = 80;

std::string ReadBytes(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

// A decimal comma for C++ streams and, where the system has one, for C's printf.
class CommaLocale
{
public:
    CommaLocale() : before_(std::locale::global(std::locale(std::locale::classic(), new Comma)))
    {
        for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8"})
            if (std::setlocale(LC_NUMERIC, name) != nullptr) break;
    }
    CommaLocale(const CommaLocale&) = delete;
    CommaLocale& operator=(const CommaLocale&) = delete;
    ~CommaLocale()
    {
        std::setlocale(LC_NUMERIC, "C");
        std::locale::global(before_);
    }

private:
    struct Comma : std::numpunct<char>
    {
        char do_decimal_point() const override { return ','; }
    };
    std::locale before_;
};

class PointLists : public MarkerFixture
{
protected:
    void SetUp() override
    {
        MarkerFixture::SetUp();
        Model().content.storeyLevels = {{0, 0.0}, {1, 3.0}};
        DG::ClearRecordedAlerts();
    }

    // A marker placed at a storey's relative elevation, as a measurement leaves it.
    void PlaceMarker(double x, double y, double elevation, std::int16_t storey)
    {
        Model().DefaultsFor(API_ObjectID, 0).record.header.floorInd = storey;
        MeasurePoint(x, y, elevation + Model().content.storeyLevels[storey]);
        Main().currentTool = API_WallID;
        Main().measuringMode = 14;
        Main().PlaceMeasuredPointMarker();
    }

    void OpenMainPalette()
    {
        API_MenuParams params;
        params.menuResID = MainPaletteMenu;
        params.itemIndex = 1;
        Main().HandleMenuCommand(params);
        ASSERT_TRUE(DG::IsOpen(Palette));
    }

    void Import(const std::string& bytes)
    {
        DG::ClearRecordedAlerts();
        WriteBytes(ListPath(), bytes);
        DG::QueueOpenAnswer(true, {IO::Location(ListPath())});
        Main().ImportPointList();
    }

    std::string ListPath() const { return folder_.path() + "/points.xyz"; }

    TempFolder folder_;
};

}  // namespace

TEST(PointListLine, ReadsThreeNumbersOfALine)
{
    struct Case
    {
        const char* line;
        bool read;
        API_Coord3D point;
    };
    const Case cases[] = {
        {"1,5 2,5 3,5", true, {1.5, 2.5, 3.5}},
        {"1 2", false, {}},
        {"1 2 3 4", true, {1, 2, 3}},
        {"2.5m -1 +0.25", true, {2.5, -1, 0.25}},
        {"\t 4\t\t5   6 ", true, {4, 5, 6}},
        {"x y z", false, {}},
        {"1 two 3", false, {}},
        {"", false, {}},
        {"1.5e2 0 0", true, {150, 0, 0}},
        {"1E-2 2,5e1 -3e+0", true, {0.01, 25, -3}},
        {"1e5m 2e 3", true, {100000, 2, 3}},
        {"1e309 0 0", false, {}},
        {"0 -1e309 0", false, {}},
        {"0x1p3 0 0", false, {}},
        {"1.2.3 0 0", false, {}},
        {"1 2 3-4", false, {}},
        {"m2 3 4", false, {}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.line);
        API_Coord3D point {-7, -7, -7};
        ASSERT_EQ(PointListLine::Read(c.line, point), c.read);
        if (!c.read) continue;
        EXPECT_EQ(point.x, c.point.x);
        EXPECT_EQ(point.y, c.point.y);
        EXPECT_EQ(point.z, c.point.z);
    }
}

// Every measured-point marker, offset added and its height absolute, after the
// byte-order mark; a decimal point whatever the locale.
TEST_F(PointLists, ExportWritesEveryMarkerWithOffsetAndAbsoluteHeight)
{
    PlaceMarker(1, 2, 0.5, 0);
    PlaceMarker(3.25, -4, 0.2, 1);
    Model().content.locationOffset = {100, 50};
    const std::string expected = "\xEF\xBB\xBF"
                                 "101.0000 52.0000 0.5000\r\n103.2500 46.0000 3.2000\r\n";
    ASSERT_EQ(expected.size(), 53u);
    for (const bool comma : {false, true})
    {
        SCOPED_TRACE(comma ? "comma locale" : "C locale");
        std::unique_ptr<CommaLocale> locale;
        if (comma) locale = std::make_unique<CommaLocale>();
        DG::QueueFileAnswer(IO::Location(ListPath()));
        Main().ExportPointList();
        EXPECT_EQ(ReadBytes(ListPath()), expected);
    }
    const DG::FileDialogRecord& dialog = DG::RecordedFileDialogs().back();
    EXPECT_EQ(dialog.title.ToUtf8(), "Messpunkte als XYZ Datei exportieren");
    ASSERT_EQ(dialog.types.size(), 1u);
    EXPECT_EQ(dialog.types[0].text.ToUtf8(), "XYZ Datei");
    EXPECT_EQ(dialog.types[0].extensions.ToUtf8(), "xyz");
    EXPECT_TRUE(DG::RecordedAlerts().empty());
}

// A longer file of an earlier export is replaced whole, no tail of it left.
TEST_F(PointLists, ExportReplacesALongerOldFile)
{
    PlaceMarker(1, 2, 0.5, 0);
    WriteBytes(ListPath(), std::string(500, '9'));
    DG::QueueFileAnswer(IO::Location(ListPath()));
    Main().ExportPointList();
    EXPECT_EQ(ReadBytes(ListPath()), "\xEF\xBB\xBF"
                                     "1.0000 2.0000 0.5000\r\n");
}

TEST_F(PointLists, ExportWithoutMarkersOnlyAlerts)
{
    const std::size_t dialogsBefore = DG::RecordedFileDialogs().size();
    OpenMainPalette();
    DG::ClearRecordedAlerts();
    DG::ChangeItem(Palette, ExportItem, 1.0);
    ASSERT_EQ(DG::RecordedAlerts().size(), 1u);
    const DG::AlertRecord& alert = DG::RecordedAlerts()[0];
    EXPECT_EQ(alert.type, -1);
    EXPECT_EQ(alert.title.ToUtf8(), "Survanto - Fehler!");
    EXPECT_EQ(alert.text1.ToUtf8(), "Keinen Messpunkte zum Exportieren!");
    EXPECT_EQ(alert.button1.ToUtf8(), "OK");
    EXPECT_EQ(DG::RecordedFileDialogs().size(), dialogsBefore);
    EXPECT_EQ(DG::GetItemValue(Palette, ExportItem), 0.0);
}

// One marker per point line at z less the current storey's level, all in one
// undoable command, selected and shown; whatever the encoding and line ends.
TEST_F(PointLists, ImportPlacesAMarkerPerPointLine)
{
    struct Case
    {
        const char* label;
        std::string bytes;
        std::vector<API_Coord3D> points;  // x, y, elevation on storey 1
    };
    const std::string utf16 = std::string("\xFF\xFE", 2) + std::string("1\0 \0"
                                                                       "2\0 \0"
                                                                       "4\0\r\0\n\0",
                                                                       14);
    const std::vector<Case> cases = {
        {"decimal commas", "1,5 2,5 3,5\r\n", {{1.5, 2.5, 0.5}}},
        {"two numbers, then four", "1 2\n7 8 9 10\n", {{7, 8, 6}}},
        {"a unit behind a number", "2.5m 1 3\n", {{2.5, 1, 0}}},
        {"UTF-8 with its mark",
         "\xEF\xBB\xBF"
         "1 2 3.5\r\n",
         {{1, 2, 0.5}}},
        {"UTF-16LE with its mark", utf16, {{1, 2, 1}}},
        {"CR only", "1 2 3\r4 5 6\r", {{1, 2, 0}, {4, 5, 3}}},
        {"no final line end", "1 2 3\n4 5 6", {{1, 2, 0}, {4, 5, 3}}},
        {"empty lines between", "\n\n1 2 3\n\n\n", {{1, 2, 0}}},
    };
    Model().DefaultsFor(API_ObjectID, 0).record.header.floorInd = 1;
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.label);
        Model().content.elements.clear();
        const std::size_t stepsBefore = Model().undoSteps.size();
        Import(c.bytes);
        const auto markers = PointMarkers();
        ASSERT_EQ(markers.size(), c.points.size());
        for (std::size_t i = 0; i < markers.size(); ++i)
        {
            const API_Element& marker = markers[i]->record;
            EXPECT_EQ(marker.object.position.x, c.points[i].x);
            EXPECT_EQ(marker.object.position.y, c.points[i].y);
            EXPECT_DOUBLE_EQ(marker.object.elevation, c.points[i].z);
            EXPECT_EQ(marker.header.floorInd, 1);
            EXPECT_EQ(marker.header.layer, FreeAreaLayer);
            EXPECT_EQ(marker.object.sizeA, 0.3);
            EXPECT_EQ(NumberParameter(*markers[i], "zzyzx"), 0.3);
            for (const char* pen : {"penHotPoint", "penHotPointGER", "penHotPointFRA"})
                EXPECT_EQ(NumberParameter(*markers[i], pen), FreeAreaPen);
            EXPECT_TRUE(markers[i]->observed);
        }
        EXPECT_EQ(Main().lastMeasuredPointMarker, markers.back()->record.header.guid);
        EXPECT_EQ(Model().undoSteps.size(), stepsBefore + 1);
        EXPECT_EQ(Model().selection.size(), markers.size());
        EXPECT_TRUE(Model().zoom.has_value());
        EXPECT_EQ(OwnChangeCounterValue(), 0);
    }
    const DG::FileDialogShown& dialog = DG::RecordedOpenDialogs().back();
    EXPECT_EQ(dialog.title.ToUtf8(), "XYZ Datei importieren");
    EXPECT_TRUE(dialog.preview);
    ASSERT_EQ(dialog.filters.size(), 1u);
}

// A list whose lines were not all taken tells how many were taken and skipped,
// as does one of which none was taken; a list taken whole says nothing.
TEST_F(PointLists, ImportTellsTakenAndSkippedLinesWhenNotAllWereTaken)
{
    struct Case
    {
        const char* label;
        std::string bytes;
        std::size_t markers;
        const char* told;  // nullptr: no alert
    };
    std::string utf16be = "\xFE\xFF";
    for (const char c : std::string("1 2 4\r\n5 6 7\r\n")) utf16be += std::string(1, '\0') + c;
    const std::vector<Case> cases = {
        {"every line taken", "1 2 3\r\n\r\n4 5 6\r\n", 2, nullptr},
        {"UTF-16BE", utf16be, 0, "Aus der Punktliste wurden 0 Zeilen übernommen und 2 Zeilen übersprungen."},
        {"no usable line", "X Y Z\r\nno points here\r\n", 0,
         "Aus der Punktliste wurden 0 Zeilen übernommen und 2 Zeilen übersprungen."},
        {"an empty file", "", 0, "Aus der Punktliste wurden 0 Zeilen übernommen und 0 Zeilen übersprungen."},
        {"numbers in other forms", "1 2 3\n0x1p3 0 0\n1e309 0 0\n  \t \n1.5e2 0 0\n", 2,
         "Aus der Punktliste wurden 2 Zeilen übernommen und 2 Zeilen übersprungen."},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.label);
        Model().content.elements.clear();
        Import(c.bytes);
        EXPECT_EQ(PointMarkers().size(), c.markers);
        if (c.told == nullptr)
        {
            EXPECT_TRUE(DG::RecordedAlerts().empty());
            continue;
        }
        ASSERT_EQ(DG::RecordedAlerts().size(), 1u);
        const DG::AlertRecord& alert = DG::RecordedAlerts()[0];
        EXPECT_EQ(alert.type, AlertWarning);
        EXPECT_EQ(alert.title.ToUtf8(), "Survanto - Warnung!");
        EXPECT_EQ(alert.text1.ToUtf8(), c.told);
        EXPECT_EQ(alert.button1.ToUtf8(), "OK");
    }
}

// A long list shows its progress; a cancel keeps the markers placed so far as one
// undo step, selected, and tells no count.
TEST_F(PointLists, ACancelledImportKeepsTheMarkersPlacedSoFarAsOneStep)
{
    std::string bytes;
    for (int i = 1; i <= 1200; ++i) bytes += std::to_string(i) + " 0 1\n";
    // The import asks at every 500th line: the second answer cancels before line 1000.
    Host().progress_.cancelAt = Host().progress_.cancelQueries + 2;
    const std::size_t stepsBefore = Model().undoSteps.size();
    Import(bytes);
    const auto markers = PointMarkers();
    ASSERT_EQ(markers.size(), 999u);
    EXPECT_EQ(markers.back()->record.object.position.x, 999.0);
    EXPECT_EQ(Main().lastMeasuredPointMarker, markers.back()->record.header.guid);
    EXPECT_EQ(Model().undoSteps.size(), stepsBefore + 1);
    EXPECT_EQ(Model().selection.size(), 999u);
    EXPECT_TRUE(DG::RecordedAlerts().empty());
    const SimHost::ProgressWindow& progress = Host().progress_;
    EXPECT_FALSE(progress.open);
    EXPECT_EQ(progress.title, "XYZ Datei importieren");
    ASSERT_GE(progress.log.size(), 2u);
    EXPECT_EQ(progress.log[progress.log.size() - 2], "cancelled");
    EXPECT_EQ(progress.log.back(), "close");
    EXPECT_EQ(OwnChangeCounterValue(), 0);

    ASSERT_TRUE(Model().Undo());
    EXPECT_TRUE(PointMarkers().empty());
}

TEST_F(PointLists, AnEmptyFileOrOneWithoutPointsPlacesAndSelectsNothing)
{
    for (const std::string bytes : {"", "X Y Z\r\nno points here\r\n"})
    {
        Model().selection.clear();
        Import(bytes);
        EXPECT_TRUE(PointMarkers().empty());
        EXPECT_TRUE(Model().selection.empty());
    }
}

// The import takes x and y as they stand: an exported list read back lies off
// by the location offset.
TEST_F(PointLists, ExportedListReadBackMovesByTheOffset)
{
    PlaceMarker(1, 2, 0.5, 0);
    Model().content.locationOffset = {100, 50};
    DG::QueueFileAnswer(IO::Location(ListPath()));
    Main().ExportPointList();
    Model().DefaultsFor(API_ObjectID, 0).record.header.floorInd = 0;
    OpenMainPalette();
    DG::QueueOpenAnswer(true, {IO::Location(ListPath())});
    DG::ChangeItem(Palette, ImportItem, 1.0);
    const auto markers = PointMarkers();
    ASSERT_EQ(markers.size(), 2u);
    EXPECT_EQ(markers[1]->record.object.position.x, 101.0);
    EXPECT_EQ(markers[1]->record.object.position.y, 52.0);
    EXPECT_EQ(markers[1]->record.object.elevation, 0.5);
    EXPECT_EQ(DG::GetItemValue(Palette, ImportItem), 0.0);
}

TEST_F(PointLists, ImportEndsQuietlyWhenCancelledOrUnreadable)
{
    DG::QueueOpenAnswer(false, {});
    Main().ImportPointList();
    DG::QueueOpenAnswer(true, {IO::Location(folder_.path() + "/missing.xyz")});
    Main().ImportPointList();
    EXPECT_TRUE(PointMarkers().empty());
    EXPECT_TRUE(Model().undoSteps.empty());
    EXPECT_TRUE(DG::RecordedAlerts().empty());
}

TEST_F(PointLists, ARefusedFreeAreaLayerEndsTheImportBeforeTheDialog)
{
    Model().content.layers[FreeAreaLayer].flags = APILay_Hidden;
    AnswerDialogs([](DG::Dialog&) { return DG::Cancel; });
    const std::size_t dialogsBefore = DG::RecordedOpenDialogs().size();
    Main().pointStep = 3;
    Main().ImportPointList();
    EXPECT_EQ(dialogsShown, 1);
    EXPECT_EQ(Main().pointStep, 0);
    EXPECT_EQ(DG::RecordedOpenDialogs().size(), dialogsBefore);
    EXPECT_TRUE(PointMarkers().empty());
}
