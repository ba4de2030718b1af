#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "DG/DG.hpp"
#include "PointCabFixture.hpp"
#include "RS/ResourceModule.hpp"
#include "exchange/PointCabImport.hpp"
#include "frame/UInterface.hpp"

namespace
{

class PointCabImport : public PointCabTest
{
protected:
    PointCabImport()
    {
        measuringState.stationAngle = 0.0;
        measuringState.stationZ = 1.5;
        DG::ClearRecordedAlerts();
    }

    // One change of the file, then the check "NEWP" runs.
    void Deliver(const std::string& content)
    {
        WriteExchange(content);
        PollPointCabFile();
    }

    void ExpectMeasured(double x, double y, double z)
    {
        EXPECT_NEAR(measuringState.measuredX, x, 1e-9);
        EXPECT_NEAR(measuringState.measuredY, y, 1e-9);
        EXPECT_NEAR(measuringState.measuredZ, z, 1e-9);
    }
};

TEST_F(PointCabImport, TakesThePointWithTheStationHeight)
{
    Deliver(Document(Annotation(Point(FreshId(), "2 3 4 0"))));
    ExpectMeasured(2, 3, 5.5);
    EXPECT_DOUBLE_EQ(measuringState.rawMeasuredZ, 4);
    EXPECT_EQ(measuringState.importBusy, 0);
    EXPECT_EQ(Count(ReadExchange(), "<Annotation"), 0u);
}

TEST_F(PointCabImport, TurnsByTheStationAngleAndTakesOffTheLocationOffset)
{
    // A quarter turn counter-clockwise: (2, 3) becomes (-3, 2), the station (1, 0) becomes (0, 1);
    // the point then loses the offset (10, 20), the station keeps it.
    host().model_.content.locationOffset = API_Coord {10.0, 20.0};
    measuringState.stationAngle = M_PI / 2;
    measuringState.stationZ = 0.5;
    Deliver(Document(Annotation(Point(FreshId(), "2 3 4 0", "1 0 7 0"))));
    ExpectMeasured(-13, -18, 4.5);
    EXPECT_NEAR(measuringState.stationX, 0, 1e-9);
    EXPECT_NEAR(measuringState.stationY, 1, 1e-9);
    EXPECT_DOUBLE_EQ(measuringState.stationZ, 0.5);
}

TEST_F(PointCabImport, SkipsIdsAmongTheLastThirtyAndTheThirtyFirstOverwritesTheOldest)
{
    const std::string first = FreshId();
    Deliver(Document(Annotation(Point(first, "1 1 1 0"))));
    Deliver(Document(Annotation(Point(first, "9 9 9 0"))));
    ExpectMeasured(1, 1, 2.5);

    std::string points;
    for (int i = 0; i < 29; ++i) points += Point(FreshId(), "5 5 5 0");
    const std::int32_t before = takenPointCount;
    Deliver(Document(Annotation(points)));
    EXPECT_EQ(takenPointCount, before + 29);
    Deliver(Document(Annotation(Point(first, "9 9 9 0"))));
    ExpectMeasured(5, 5, 6.5);
    Deliver(Document(Annotation(Point(FreshId(), "6 6 6 0"))));  // the 31st overwrites the first
    Deliver(Document(Annotation(Point(first, "7 7 7 0"))));
    ExpectMeasured(7, 7, 8.5);
}

TEST_F(PointCabImport, WorksOffOneAnnotationPerChange)
{
    const std::string a = FreshId(), b = FreshId(), c = FreshId();
    Deliver(Document(Annotation(Point(a, "1 0 0 0")) + Annotation(Point(b, "2 0 0 0")) + Annotation(Point(c, "3 0 0 0"))));
    EXPECT_EQ(Count(ReadExchange(), "<Annotation"), 2u);
    ExpectMeasured(1, 0, 1.5);

    PollPointCabFile();  // the import's own rewrite is no change
    EXPECT_EQ(Count(ReadExchange(), "<Annotation"), 2u);

    Deliver(ReadExchange());  // written again at once, perhaps within the same clock tick
    EXPECT_EQ(Count(ReadExchange(), "<Annotation"), 1u);
    ExpectMeasured(2, 0, 1.5);
}

TEST_F(PointCabImport, LeavesADocumentThatDoesNotParseUntouched)
{
    const std::string broken = Document(Annotation(Point(FreshId(), "8 8 8 0"))) + "<unclosed>";
    const std::int32_t before = takenPointCount;
    Deliver(broken);
    EXPECT_EQ(ReadExchange(), broken);
    EXPECT_EQ(takenPointCount, before);
    EXPECT_EQ(measuringState.importBusy, 0);
}

TEST_F(PointCabImport, PointsWithoutOriginBringTheVersionAlertAndNoPoint)
{
    const std::int32_t before = takenPointCount;
    Deliver(Document(Annotation("<Element type=\"point\" uuid=\"" + FreshId() + "\"><Point3d>1 2 3 0</Point3d></Element>")));
    EXPECT_EQ(takenPointCount, before);
    ASSERT_EQ(DG::RecordedAlerts().size(), 1u);
    const DG::AlertRecord& alert = DG::RecordedAlerts().back();
    const GSResModule module = CurrentResourceModule();
    EXPECT_EQ(alert.type, AlertError);
    EXPECT_EQ(alert.title, RS::GetIndString(32550, 3, module));
    EXPECT_EQ(alert.text1, RS::GetIndString(32550, 73, module));
    EXPECT_EQ(alert.button1, RS::GetIndString(32550, 1, module));
}

TEST_F(PointCabImport, ABadNumberTextSkipsThatPointOnly)
{
    const std::int32_t before = takenPointCount;
    Deliver(Document(Annotation(Point(FreshId(), "1 1 1 0") + Point(FreshId(), "2 zwei 2 0") +
                                Point(FreshId(), "3 3 3 0", "nichts") + Point(FreshId(), "4 4 4 0"))));
    EXPECT_EQ(takenPointCount, before + 2);
    ExpectMeasured(4, 4, 5.5);
    EXPECT_TRUE(DG::RecordedAlerts().empty());
}

TEST_F(PointCabImport, AnEmptyFirstAnnotationStaysAndHoldsBackTheRest)
{
    const std::int32_t before = takenPointCount;
    Deliver(Document("<Annotation/>" + Annotation(Point(FreshId(), "1 1 1 0"))));
    EXPECT_EQ(takenPointCount, before);
    EXPECT_EQ(Count(ReadExchange(), "<Annotation"), 2u);
}

TEST_F(PointCabImport, WritesBackWhatStaysAsItWasRead)
{
    const std::string kept = "<Settings name=\"Größe &amp; Maß\" unit=\"m\">Text &lt;bleibt&gt; so</Settings>";
    Deliver(Document(Annotation(Point(FreshId(), "1 1 1 0")) + "\n" + kept + "\n" + Annotation(Point(FreshId(), "2 2 2 0"))));
    const std::string written = ReadExchange();
    EXPECT_EQ(written.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"", 0), 0u) << written;
    EXPECT_NE(written.find(kept), std::string::npos) << written;
    EXPECT_EQ(Count(written, "<Annotation"), 1u);
    EXPECT_EQ(Count(written, "<Point3d>2 2 2 0</Point3d>"), 1u);
}

TEST_F(PointCabImport, LoadsNoDtd)
{
    // A DTD that would not parse: the document is taken only because the DTD is never read.
    const std::string dtd = folder_.path() + "/broken.dtd";
    std::ofstream(dtd) << "<!ELEMENT broken";
    Deliver("<?xml version=\"1.0\"?>\n<!DOCTYPE PointCabExchange SYSTEM \"file://" + dtd + "\">\n<PointCabExchange>" +
            Annotation(Point(FreshId(), "1 2 3 0")) + "</PointCabExchange>\n");
    EXPECT_EQ(Count(ReadExchange(), "<Annotation"), 0u);
    ExpectMeasured(1, 2, 4.5);
}

TEST_F(PointCabImport, ADoctypeWithoutEntitiesKeepsWorking)
{
    for (const std::string doctype :
         {"<!DOCTYPE PointCabExchange>", "<!DOCTYPE PointCabExchange [<!ELEMENT PointCabExchange ANY>]>"})
    {
        const std::int32_t before = takenPointCount;
        Deliver("<?xml version=\"1.0\"?>\n" + doctype + "\n<PointCabExchange>" + Annotation(Point(FreshId(), "1 2 3 0")) +
                "<Note>a &amp; b</Note></PointCabExchange>\n");
        EXPECT_EQ(takenPointCount, before + 1) << doctype;
        EXPECT_EQ(Count(ReadExchange(), "<Annotation"), 0u) << doctype;
    }
}

TEST_F(PointCabImport, ResolvesNoExternalEntity)
{
    const std::string secret = folder_.path() + "/secret.txt";
    std::ofstream(secret) << "GEHEIM";
    Deliver("<?xml version=\"1.0\"?>\n<!DOCTYPE PointCabExchange [\n<!ENTITY leak SYSTEM \"file://" + secret +
            "\">\n]>\n<PointCabExchange>" + Annotation(Point(FreshId(), "1 1 1 0")) + "<Note>&leak;</Note></PointCabExchange>\n");
    EXPECT_EQ(ReadExchange().find("GEHEIM"), std::string::npos);
}

// Text in two-byte units, most significant byte first or last, behind its byte-order mark.
std::string Utf16(const std::string& utf8, bool littleEndian)
{
    std::string bytes = littleEndian ? "\xFF\xFE" : "\xFE\xFF";
    const GS::UniString text(utf8);
    for (const char16_t unit : text.Units())
    {
        const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
        bytes += littleEndian ? std::string {low, high} : std::string {high, low};
    }
    return bytes;
}

// The file keeps every byte but the taken annotation's, from its start tag's "<" to
// its end tag's ">": declaration, doctype, comments, instructions, character data,
// quotes, line ends and the encoding stay as PointCab wrote them.
TEST_F(PointCabImport, CopiesEveryByteButTheTakenAnnotations)
{
    const std::string utf16Declaration = "<?xml version=\"1.0\" encoding=\"UTF-16\"?>";
    struct Case
    {
        const char* label;
        std::function<std::string(const std::string&)> encoded;
    };
    const std::vector<Case> cases = {
        {"UTF-8 declared",
         [](const std::string& text) { return "<?xml version='1.0' encoding='utf-8' standalone='yes'?>" + text; }},
        {"UTF-8 undeclared", [](const std::string& text) { return text; }},
        {"UTF-16LE", [&](const std::string& text) { return Utf16(utf16Declaration + text, true); }},
        {"UTF-16BE", [&](const std::string& text) { return Utf16(utf16Declaration + text, false); }},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.label);
        const std::string taken = "<Annotation note='a > b' >\r\n\t" + Point(FreshId(), "6 7 8 0") + "<!-- x --></Annotation\t>";
        const std::string head =
            "<!DOCTYPE PointCabExchange [<!ELEMENT PointCabExchange ANY>]>\r\n<!-- vor -->\r\n"
            "<PointCabExchange   version = '2'>\r\n\t<?pointcab keep?><Kopf a=\"&amp;&#x3C;\" b='\"'>Größe</Kopf>\r\n\t";
        const std::string tail = "  \r\n\t<![CDATA[ <Annotation> ]]>" + Annotation(Point(FreshId(), "9 9 9 0")) +
                                 "\r\n</PointCabExchange>\r\n<!-- nach -->";
        measuringState.measuredX = 0;
        Deliver(c.encoded(head + taken + tail));
        EXPECT_EQ(ReadExchange(), c.encoded(head + tail));
        ExpectMeasured(6, 7, 9.5);
    }
}

// A file far larger than any chunk the import reads at once: the taken annotation
// may lie at any place, also across the border of two chunks, and far more stays
// behind it than before it; the file keeps every other byte in its place.
TEST_F(PointCabImport, CopiesEveryByteOfALargeFileWhereverTheAnnotationLies)
{
    const std::string filler = "<Kopf a=\"1\">Text &amp; mehr</Kopf>\n";  // 35 bytes
    for (const std::size_t before : {std::size_t {0}, std::size_t {49140}, std::size_t {65520}, std::size_t {131000}})
    {
        SCOPED_TRACE(std::to_string(before) + " bytes before the annotation");
        std::string head = "<?xml version=\"1.0\"?>\n<X>\n";
        while (head.size() < before) head += filler;
        head += "<!--" + std::string(before % 97, '-' + 1) + "-->";
        std::string tail = "\n";
        for (int i = 0; i < 20000; ++i) tail += filler;
        tail += Annotation(Point(FreshId(), "5 5 5 0")) + "</X>\n";
        const std::int32_t taken = takenPointCount;
        Deliver(head + Annotation(Point(FreshId(), "6 7 8 0")) + tail);
        EXPECT_EQ(takenPointCount, taken + 1);
        ExpectMeasured(6, 7, 9.5);
        const std::string written = ReadExchange();
        const std::string expected = head + tail;
        EXPECT_EQ(written.size(), expected.size());
        EXPECT_TRUE(written == expected)
            << "the first byte that differs lies at "
            << std::mismatch(written.begin(), written.end(), expected.begin(), expected.end()).first - written.begin();
    }
}

// Something the fast reading leaves to the full parser may stand far behind the
// file's start, after much of the file was read and passed on: the file is then
// read again from its first byte, and keeps every byte but the taken annotation.
TEST_F(PointCabImport, ReadsALargeFileAgainForWhatLiesBeyondThePlainForm)
{
    const std::string filler = "<Kopf a=\"1\">Text &amp; mehr</Kopf>\n";
    std::string head = "<?xml version=\"1.0\"?>\n<X>\n";
    for (int i = 0; i < 20000; ++i) head += filler;
    head += "<?pointcab keep?>\n";
    const std::string tail = "\n" + Annotation(Point(FreshId(), "5 5 5 0")) + "</X>\n";
    const std::int32_t taken = takenPointCount;
    Deliver(head + Annotation(Point(FreshId(), "6 7 8 0")) + tail);
    EXPECT_EQ(takenPointCount, taken + 1);
    ExpectMeasured(6, 7, 9.5);
    EXPECT_TRUE(ReadExchange() == head + tail);
}

// Nesting is bounded the same everywhere in the file, also behind the annotation:
// an element 256 levels deep may stand there, anything below it may not.
TEST_F(PointCabImport, RefusesAnythingNestedBelowTheDeepestLevel)
{
    struct Case
    {
        int levels;  // below the document element
        const char* innermost;
        bool taken;
    };
    const Case cases[] = {{255, "", true}, {255, "x", false}, {255, "<!---->", false}, {256, "", false}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(std::to_string(c.levels) + " levels holding \"" + c.innermost + "\"");
        std::string nest = c.innermost;
        for (int i = 0; i < c.levels; ++i) nest = "<n>" + nest + "</n>";
        const std::string content = Document(Annotation(Point(FreshId(), "1 1 1 0")) + nest);
        const std::int32_t before = takenPointCount;
        Deliver(content);
        EXPECT_EQ(takenPointCount, before + (c.taken ? 1 : 0));
        EXPECT_EQ(Count(ReadExchange(), "<Annotation"), c.taken ? 0u : 1u);
    }
}

TEST_F(PointCabImport, DoesNothingWhileAnImportRuns)
{
    const std::string content = Document(Annotation(Point(FreshId(), "1 1 1 0")));
    WriteExchange(content);
    measuringState.importBusy = 1;
    PollPointCabFile();
    EXPECT_FALSE(ImportPointCabFile(survanto()).has_value());
    measuringState.importBusy = 0;
    EXPECT_EQ(ReadExchange(), content);
}

TEST_F(PointCabImport, AMissingFileIsNoChange)
{
    std::filesystem::remove(exchangePath());
    PollPointCabFile();
    EXPECT_FALSE(std::filesystem::exists(exchangePath()));
    EXPECT_TRUE(DG::RecordedAlerts().empty());
}

}  // namespace

// Whatever dialog it names, the main palette's message 0x3FFF runs the change
// check; the palette handles nothing else for a dialog not its own.
TEST_F(PointCabImport, ThePalettesExchangeMessageRunsTheCheck)
{
    WriteExchange(Document(Annotation(Point(FreshId(), "2 3 4 0"))));
    survanto().DialogCallback(0x3FFF, 32425, 0, 0);
    ExpectMeasured(2, 3, 5.5);
    EXPECT_EQ(Count(ReadExchange(), "<Annotation"), 0u);

    survanto().busy = true;
    WriteExchange(Document(Annotation(Point(FreshId(), "7 7 7 0"))));
    survanto().DialogCallback(0x3FFF, Survanto::MainPaletteDialogId, 0, 0);
    survanto().busy = false;
    EXPECT_EQ(Count(ReadExchange(), "<Annotation"), 1u) << "not while the add-on is busy";
}
