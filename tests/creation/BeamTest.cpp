#include <cmath>
#include <string>
#include <vector>

#include "CreationFixture.hpp"
#include "measuring/MeasuringState.hpp"

// Beams from measured points, and selected beams fitted between two selected
// lines. The beam tool's defaults: 0.25 wide, 0.5 high, on storey 0 (level 0).

namespace
{

constexpr double Tol = 1e-6;
constexpr std::int16_t SimpleItem = 14;
constexpr std::int16_t ChainItem = 15;
constexpr std::int16_t SlopingItem = 16;

// The anchor pop-up's entries 1 to 8 stand for the host's codes 0, 1, 2, 3, 5, 6, 7, 8.
constexpr std::int16_t EntryOfCode(std::int32_t code) { return static_cast<std::int16_t>(code < 4 ? code + 1 : code); }

struct PlanBeam
{
    API_Coord begin, end;
};

void ExpectEnds(const API_BeamType& beam, const PlanBeam& expected, const std::string& name)
{
    EXPECT_NEAR(beam.begC.x, expected.begin.x, Tol) << name;
    EXPECT_NEAR(beam.begC.y, expected.begin.y, Tol) << name;
    EXPECT_NEAR(beam.endC.x, expected.end.x, Tol) << name;
    EXPECT_NEAR(beam.endC.y, expected.end.y, Tol) << name;
}

}  // namespace

class BeamTest : public CreationFixture
{
protected:
    void SetUp() override
    {
        CreationFixture::SetUp();
        measuringState = MeasuringState {};
        PlaceStation(0.5, -5);
    }

    void PlaceStation(double x, double y)
    {
        measuringState.stationX = x;
        measuringState.stationY = y;
    }

    std::vector<API_BeamType> Beams()
    {
        std::vector<API_BeamType> beams;
        for (const API_Element& e : ElementsOfType(API_BeamID)) beams.push_back(e.beam);
        return beams;
    }

    std::vector<API_BeamType> Measure(std::int16_t option, const std::vector<API_Coord3D>& points)
    {
        Model().content.elements.clear();
        Model().undoSteps.clear();
        ChooseOption(option);
        SetPoints(points);
        Main().CreateBeam();
        EXPECT_EQ(Main().pointStep, 0);
        return Beams();
    }
};

// The measured line lies on the edge the anchor names; the level is the beam's
// top at its begin point, the slope the measured rise.
TEST_F(BeamTest, ASlopingBeamTakesItsLevelAndSlopeFromThePoints)
{
    struct Case
    {
        const char* name;
        API_Coord3D p0, p1;
        std::int32_t anchor;
        API_Coord station;
        double level, slope, offset;
        bool slanted;
    };
    const Case cases[] = {
        {"rising, bottom middle", {0, 0, 3}, {1, 0, 4}, 7, {0.5, -5}, 3.707107, Pi / 4, 0.0, true},
        {"rising, top middle", {0, 0, 3}, {1, 0, 4}, 1, {0.5, -5}, 3.0, Pi / 4, 0.0, true},
        {"falling, bottom middle", {0, 0, 4}, {1, 0, 3}, 7, {0.5, -5}, 4.707107, -Pi / 4, 0.0, true},
        {"level, bottom middle", {0, 0, 3}, {1, 0, 3}, 7, {0.5, -5}, 3.5, 0.0, 0.0, false},
        {"level, middle left", {0, 0, 3}, {1, 0, 3}, 3, {0.5, -5}, 3.25, 0.0, -0.125, false},
        {"station left mirrors top left", {0, 0, 3}, {1, 0, 3}, 0, {0.5, 5}, 3.0, 0.0, 0.125, false},
        {"station right keeps top left", {0, 0, 3}, {1, 0, 3}, 0, {0.5, -5}, 3.0, 0.0, -0.125, false},
    };
    for (const Case& c : cases)
    {
        ChooseAnchor(EntryOfCode(c.anchor));
        PlaceStation(c.station.x, c.station.y);
        const std::vector<API_BeamType> beams = Measure(SlopingItem, {c.p0, c.p1});
        ASSERT_EQ(beams.size(), 1u) << c.name;
        ExpectEnds(beams[0], {{c.p0.x, c.p0.y}, {c.p1.x, c.p1.y}}, c.name);
        EXPECT_NEAR(beams[0].level, c.level, Tol) << c.name;
        EXPECT_NEAR(beams[0].slantAngle, c.slope, Tol) << c.name;
        EXPECT_NEAR(beams[0].offset, c.offset, Tol) << c.name;
        EXPECT_EQ(beams[0].isSlanted, c.slanted) << c.name;
    }
}

TEST_F(BeamTest, TheLevelCountsFromTheToolsStorey)
{
    Model().content.storeyLevels[1] = 3.0;
    ToolDefaults(API_BeamID).header.floorInd = 1;
    ChooseAnchor(EntryOfCode(1));
    const std::vector<API_BeamType> beams = Measure(SlopingItem, {{0, 0, 5}, {2, 0, 5}});
    ASSERT_EQ(beams.size(), 1u);
    EXPECT_NEAR(beams[0].level, 2.0, Tol);
}

// Two points above each other give no beam: its level would be infinite.
TEST_F(BeamTest, AnUprightSlopingBeamIsNotMade)
{
    ChooseAnchor(EntryOfCode(7));
    EXPECT_TRUE(Measure(SlopingItem, {{1, 1, 3}, {1, 1 + 0.5e-5, 4}}).empty());
    EXPECT_TRUE(Model().undoSteps.empty());
    EXPECT_FALSE(Main().elementCreated);
}

TEST_F(BeamTest, ASimpleBeamKeepsTheToolsLevel)
{
    ToolDefaults(API_BeamID).beam.level = 2.8;
    ChooseAnchor(EntryOfCode(0));
    const std::vector<API_BeamType> beams = Measure(SimpleItem, {{0, 0, 3}, {4, 0, 3.5}});
    ASSERT_EQ(beams.size(), 1u);
    ExpectEnds(beams[0], {{0, 0}, {4, 0}}, "simple");
    EXPECT_NEAR(beams[0].level, 2.8, Tol);
    EXPECT_NEAR(beams[0].offset, -0.125, Tol);
    EXPECT_FALSE(beams[0].isSlanted);
}

// Each pair of points lies on one beam's edge; the beams meet where the lines of
// consecutive pairs cross, and with the polygon closed the last meets the first.
TEST_F(BeamTest, AChainOfBeamsMeetsInTheCrossings)
{
    struct Case
    {
        const char* name;
        std::vector<API_Coord3D> points;
        bool closed;
        std::vector<PlanBeam> beams;
        double offset = 0.125;  // anchor lower right, mirrored when the first pair runs with the station on its left
    };
    const std::vector<API_Coord3D> triangle {{1, 0, 3}, {3, 0, 3}, {3, 0.75, 3}, {1, 2.25, 3}, {0, 2, 3}, {0, 1, 3}};
    std::vector<API_Coord3D> triangleAndOne = triangle;
    triangleAndOne.push_back({9, 9, 3});
    const Case cases[] = {
        {"two pairs", {{0, 0, 3}, {3, 0, 3}, {4, 1, 3}, {4, 3, 3}}, false, {{{0, 0}, {4, 0}}, {{4, 0}, {4, 3}}}},
        {"two pairs, the first measured backwards",
         {{3, 0, 3}, {0, 0, 3}, {4, 1, 3}, {4, 3, 3}},
         false,
         {{{0, 0}, {4, 0}}, {{4, 0}, {4, 3}}},
         -0.125},
        {"closed triangle", triangle, true, {{{0, 0}, {4, 0}}, {{4, 0}, {0, 3}}, {{0, 3}, {0, 0}}}},
        {"open triangle", triangle, false, {{{1, 0}, {4, 0}}, {{4, 0}, {0, 3}}, {{0, 3}, {0, 1}}}},
        {"an odd last point takes no part", triangleAndOne, true, {{{0, 0}, {4, 0}}, {{4, 0}, {0, 3}}, {{0, 3}, {0, 0}}}},
    };
    ToolDefaults(API_BeamID).beam.level = 2.8;
    ChooseAnchor(EntryOfCode(8));
    for (const Case& c : cases)
    {
        Main().polygonFinish = c.closed;
        const std::vector<API_BeamType> beams = Measure(ChainItem, c.points);
        ASSERT_EQ(beams.size(), c.beams.size()) << c.name;
        for (std::size_t i = 0; i < beams.size(); ++i)
        {
            ExpectEnds(beams[i], c.beams[i], std::string(c.name) + " beam " + std::to_string(i));
            EXPECT_NEAR(beams[i].level, 2.8, Tol) << c.name;
            EXPECT_NEAR(beams[i].offset, c.offset, Tol) << c.name;
        }
        EXPECT_EQ(Model().undoSteps.size(), 1u) << c.name;
    }
}

class BeamFitTest : public BeamTest
{
protected:
    API_Guid AddLine(double x)
    {
        API_Element line;
        line.header.typeID = API_LineID;
        HostGetElementDefaults(&line, nullptr);
        line.line.begC = {x, -1};
        line.line.endC = {x, 1};
        HostCallUndoableCommand(GS::UniString(), [&line] { return HostCreateElement(&line, nullptr); });
        return line.header.guid;
    }

    API_Guid AddBeam(API_Coord begin, API_Coord end, double level, double slope)
    {
        API_Element beam;
        beam.header.typeID = API_BeamID;
        HostGetElementDefaults(&beam, nullptr);
        beam.beam.begC = begin;
        beam.beam.endC = end;
        beam.beam.level = level;
        beam.beam.slantAngle = slope;
        beam.beam.isSlanted = true;
        HostCallUndoableCommand(GS::UniString(), [&beam] { return HostCreateElement(&beam, nullptr); });
        return beam.header.guid;
    }

    void Select(const std::vector<API_Guid>& guids)
    {
        Model().selection.clear();
        for (const API_Guid& guid : guids)
        {
            API_Neig neig;
            neig.guid = guid;
            neig.neigID = Model().Find(guid)->record.header.typeID == API_BeamID ? 6 : 40;
            Model().selection.push_back(neig);
        }
    }

    API_BeamType BeamOf(const API_Guid& guid) { return Model().Find(guid)->record.beam; }

    std::vector<std::string> Warnings()
    {
        std::vector<std::string> texts;
        for (const DG::AlertRecord& alert : DG::RecordedAlerts())
            texts.push_back(std::to_string(alert.type) + " " + alert.title.ToUtf8() + ": " + alert.text1.ToUtf8() + " [" +
                            alert.button1.ToUtf8() + "]");
        return texts;
    }
};

// The beam (0,0)-(10,0) at level 1.0 rises by 0.1 per metre.
TEST_F(BeamFitTest, SelectedBeamsRunFromTheFirstLineToTheLast)
{
    struct Case
    {
        const char* name;
        std::vector<double> lines;
        PlanBeam expected;
        double level;
    };
    const Case cases[] = {
        {"lines along the beam", {2, 8}, {{2, 0}, {8, 0}}, 1.2},
        {"lines against the beam", {8, 2}, {{2, 0}, {8, 0}}, 1.2},
        {"first line behind the begin", {-2, 8}, {{-2, 0}, {8, 0}}, 0.8},
        {"three lines: the first and the last", {2, 5, 8}, {{2, 0}, {8, 0}}, 1.2},
    };
    const double slope = std::atan(0.1);
    for (const Case& c : cases)
    {
        Model().content.elements.clear();
        std::vector<API_Guid> selected {AddBeam({0, 0}, {10, 0}, 1.0, slope)};
        for (const double x : c.lines) selected.push_back(AddLine(x));
        Select(selected);
        Main().FitBeamsBetweenTwoLines();
        const API_BeamType beam = BeamOf(selected[0]);
        ExpectEnds(beam, c.expected, c.name);
        EXPECT_NEAR(beam.level, c.level, 1e-12) << c.name;
        EXPECT_NEAR(beam.slantAngle, slope, 1e-12) << c.name << ": the slope is kept";
        EXPECT_TRUE(Warnings().empty()) << c.name;
    }
}

TEST_F(BeamFitTest, ABeamAlongALineStaysAsItWas)
{
    const API_Guid along = AddBeam({2, -3}, {2, 3}, 1.0, 0.0);
    const API_Guid across = AddBeam({0, 0}, {10, 0}, 1.0, 0.0);
    const API_Guid locked = AddBeam({0, 0.5}, {10, 0.5}, 1.0, 0.0);
    Model().Find(locked)->record.header.lockId = 1;
    Select({along, AddLine(2), AddLine(8), across, locked});
    const std::size_t steps = Model().undoSteps.size();
    Main().FitBeamsBetweenTwoLines();
    ExpectEnds(BeamOf(along), {{2, -3}, {2, 3}}, "along the first line");
    ExpectEnds(BeamOf(across), {{2, 0}, {8, 0}}, "across");
    ExpectEnds(BeamOf(locked), {{2, 0.5}, {8, 0.5}}, "locked, unlocked for the change");
    EXPECT_EQ(Model().Find(locked)->record.header.lockId, 1);
    EXPECT_EQ(Model().undoSteps.size(), steps + 1);
}

// Warnings of the kind -2 with one "OK": two lines are needed, then beams; an empty
// selection asks for nothing.
TEST_F(BeamFitTest, AMissingLineOrBeamIsTold)
{
    const std::string twoLines =
        "-2 Survanto Add-On: Bitte wählen Sie zwei Linien im Plan aus, bevor Sie die Längenänderung durchführen! [OK]";
    const std::string beams =
        "-2 Survanto Add-On: Bitte wählen Sie Unterzüge im Plan aus, bevor Sie die Längenänderung durchführen! [OK]";
    struct Case
    {
        const char* name;
        int lines;
        bool beam;
        std::vector<std::string> warnings;
    };
    const Case cases[] = {
        {"nothing selected", 0, false, {}},
        {"a beam without lines", 0, true, {twoLines}},
        {"a beam and one line", 1, true, {twoLines}},
        {"two lines without a beam", 2, false, {beams}},
    };
    for (const Case& c : cases)
    {
        Model().content.elements.clear();
        DG::ClearRecordedAlerts();
        std::vector<API_Guid> selected;
        if (c.beam) selected.push_back(AddBeam({0, 0}, {10, 0}, 1.0, 0.1));
        for (int i = 0; i < c.lines; ++i) selected.push_back(AddLine(2.0 + 6.0 * i));
        Select(selected);
        Main().FitBeamsBetweenTwoLines();
        EXPECT_EQ(Warnings(), c.warnings) << c.name;
        if (c.beam) ExpectEnds(BeamOf(selected[0]), {{0, 0}, {10, 0}}, c.name);
    }
}
