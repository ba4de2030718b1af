#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "CreationFixture.hpp"
#include "MarkerSupport.hpp"
#include "creation/WallSearch.hpp"
#include "measuring/MarkerPart.hpp"
#include "measuring/MeasuringState.hpp"

// The wall at a measured point, the reservation of an opening's host wall, the
// sides of an opening and the reveals. Walls stand on storey 0 (level 0), 3 m high.

namespace
{

constexpr double Tol = 1e-9;

struct WallShape
{
    API_Coord begin, end;
    double arcAngle = 0.0;
    double thickness = 0.3, thickness1 = 0.3;
    bool flipped = false;
    std::int32_t referenceLine = 0;
    double height = 3.0;
    std::int32_t kind = 0;
};

struct Found
{
    double position, depth;
    bool stationSide;
};

struct Answer
{
    bool found = false;
    API_Element wall;
    Found values {};
};

}  // namespace

class WallSearchTest : public CreationFixture
{
protected:
    void SetUp() override
    {
        CreationFixture::SetUp();
        measuringState = MeasuringState {};
    }

    API_Guid AddWall(const WallShape& shape, std::vector<API_Coord> outline = {})
    {
        SimHost::StoredElement wall;
        API_WallType& w = wall.record.wall;
        wall.record.header.typeID = API_WallID;
        wall.record.header.guid = Model().NewGuid();
        wall.record.header.layer = 1;
        w.begC = shape.begin;
        w.endC = shape.end;
        w.arcAngle = shape.arcAngle;
        w.thickness = shape.thickness;
        w.thickness1 = shape.thickness1;
        w.flipped = shape.flipped;
        w.referenceLineCode = shape.referenceLine;
        w.height = shape.height;
        w.geometryKind = shape.kind;
        if (!outline.empty())
        {
            wall.memo.coords.push_back({});
            wall.memo.coords.insert(wall.memo.coords.end(), outline.begin(), outline.end());
            wall.memo.pends = {0, static_cast<std::int32_t>(outline.size())};
        }
        Model().content.elements.push_back(wall);
        return wall.record.header.guid;
    }

    void PlaceStation(double x, double y)
    {
        measuringState.stationX = x;
        measuringState.stationY = y;
    }

    Answer Find(double x, double y, double low, double high)
    {
        Answer answer;
        answer.found = FindWallAtPoint(Main(), x, y, low, high, answer.wall, answer.values.position, answer.values.depth,
                                       answer.values.stationSide);
        return answer;
    }

    // The host's own alert texts, in order: the title and the large text.
    static std::vector<std::string> AlertTexts()
    {
        std::vector<std::string> texts;
        for (const DG::AlertRecord& alert : DG::RecordedAlerts())
            texts.push_back(alert.title.ToUtf8() + ": " + alert.text1.ToUtf8());
        return texts;
    }
};

// The body of the wall (0,0)-(4,0), 0.3 thick, lies right of its direction, with
// its reference line on the outside face; the point (1, -0.2) lies inside it.
TEST_F(WallSearchTest, AStraightWallTellsPositionDepthAndStationSide)
{
    struct Case
    {
        const char* name;
        WallShape wall;
        API_Coord station;
        API_Coord3D point;
        std::optional<Found> expected;
    };
    const WallShape plain {{0, 0}, {4, 0}};
    WallShape trapezoid = plain;
    trapezoid.thickness = 0.2;
    trapezoid.thickness1 = 0.4;
    WallShape insideReference = plain;
    insideReference.referenceLine = 2;
    WallShape flippedInside = insideReference;
    flippedInside.flipped = true;
    const Case cases[] = {
        {"station on the reference side", plain, {2, 5}, {1, -0.2, 1}, Found {1, 0.2, true}},
        {"station on the far side", plain, {2, -5}, {1, -0.2, 1}, Found {1, 0.1, false}},
        {"far side of a trapezoid wall", trapezoid, {2, -5}, {1, -0.2, 1}, Found {1, 0.05, false}},
        {"reference line inside", insideReference, {2, 5}, {1, -0.2, 1}, Found {1, 0.1, false}},
        {"flipped with the reference line inside", flippedInside, {2, 5}, {1, -0.2, 1}, Found {1, 0.2, true}},
        {"at the begin point", plain, {2, 5}, {0, 0, 1}, Found {0, 0, true}},
        {"foot at the end point", plain, {2, 5}, {4, -0.2, 1}, Found {4, 0.2, true}},
        {"foot just beyond the end", plain, {2, 5}, {4 + 0.9e-5, -0.2, 1}, Found {4 + 0.9e-5, 0.2, true}},
        {"foot beyond the end", plain, {2, 5}, {4 + 2e-5, -0.2, 1}, std::nullopt},
        {"above the wall", plain, {2, 5}, {1, -0.2, 3.1}, std::nullopt},
        {"a thickness off the far face, within the tolerance", plain, {2, 5}, {1, -0.609, 1}, Found {1, 0.609, true}},
        {"a thickness off the far face and more than the tolerance", plain, {2, 5}, {1, -0.611, 1}, std::nullopt},
        {"53 m in front of the wall", plain, {2, 60}, {1, 53, 1}, std::nullopt},
        {"a thickness off a trapezoid wall's thicker end", trapezoid, {2, 5}, {4, -0.805, 1}, Found {4, 0.805, true}},
    };
    for (const Case& c : cases)
    {
        Model().content.elements.clear();
        AddWall(c.wall);
        PlaceStation(c.station.x, c.station.y);
        const Answer answer = Find(c.point.x, c.point.y, c.point.z, c.point.z);
        ASSERT_EQ(answer.found, c.expected.has_value()) << c.name;
        if (!c.expected) continue;
        EXPECT_NEAR(answer.values.position, c.expected->position, 1e-9) << c.name;
        EXPECT_NEAR(answer.values.depth, c.expected->depth, 1e-9) << c.name;
        EXPECT_EQ(answer.values.stationSide, c.expected->stationSide) << c.name;
    }
}

// The station is held with the location offset, the walls without it.
TEST_F(WallSearchTest, TheStationIsTakenIntoTheProjectFrame)
{
    AddWall({{0, 0}, {4, 0}});
    Model().content.locationOffset = {100, 50};
    PlaceStation(102, 45);
    const Answer answer = Find(1, -0.2, 1, 1);
    ASSERT_TRUE(answer.found);
    EXPECT_FALSE(answer.values.stationSide);
    EXPECT_NEAR(answer.values.depth, 0.1, Tol);
}

TEST_F(WallSearchTest, ACurvedWallHoldsOnlyThePointsOfItsArc)
{
    // A quarter circle about the origin, radius 2, from (2,0) to (0,2).
    AddWall({{2, 0}, {0, 2}, Pi / 2});
    PlaceStation(5, 5);
    const Answer inside = Find(1.9 * std::cos(0.5), 1.9 * std::sin(0.5), 1, 1);
    ASSERT_TRUE(inside.found);
    EXPECT_NEAR(inside.values.position, 1.0, 1e-9);
    EXPECT_FALSE(inside.values.stationSide) << "the reference face is the outside one, the station looks at it";
    EXPECT_NEAR(inside.values.depth, 0.2, 1e-9);
    EXPECT_FALSE(Find(2, -0.1, 1, 1).found) << "just before the arc's begin";
    EXPECT_FALSE(Find(-2, 0, 1, 1).found) << "on the full circle only";
    EXPECT_FALSE(Find(3 * std::cos(0.5), 3 * std::sin(0.5), 1, 1).found) << "1 m outside the arc, far from the wall's body";
}

TEST_F(WallSearchTest, APolygonalWallTellsOnlyItsNearestEdge)
{
    WallShape polygonal {{0, 0}, {4, 0}};
    polygonal.kind = 2;
    AddWall(polygonal, {{0, 0}, {4, 0}, {4, 0.3}, {0, 0.3}, {0, 0}});
    const Answer answer = Find(1, 0.1, 1, 1);
    ASSERT_TRUE(answer.found);
    EXPECT_EQ(answer.values.position, 0.0);
    EXPECT_EQ(answer.values.depth, 0.0);
    EXPECT_TRUE(answer.values.stationSide);
    EXPECT_FALSE(Find(6, 2, 1, 1).found) << "no edge holds the foot";
}

// Walls that hold both heights first, then the low one, then the high one; the
// nearest in each, the later one at a tie, and a nearer one of fewer heights only
// when it is nearer by more than the tolerance.
TEST_F(WallSearchTest, TheNearestWallHoldingMostOfTheHeightsWins)
{
    struct Case
    {
        const char* name;
        WallShape first, second;
        double low, high;
        int expected;  // which wall: 1 or 2
    };
    WallShape both {{0, 0}, {4, 0}};
    WallShape lowTie {{0, -0.4 + 0.5e-5}, {4, -0.4 + 0.5e-5}};
    lowTie.height = 1.5;
    WallShape lowNearer {{0, -0.3}, {4, -0.3}};
    lowNearer.height = 1.5;
    const Case cases[] = {
        {"the later of two at one distance", both, both, 1, 2.5, 2},
        {"both heights against one at the same distance", both, lowTie, 1, 2.5, 1},
        {"one height, nearer by more", both, lowNearer, 1, 2.5, 2},
        {"the nearer of two holding the low height", lowNearer, lowTie, 1, 2.5, 1},
    };
    for (const Case& c : cases)
    {
        Model().content.elements.clear();
        const API_Guid walls[] = {AddWall(c.first), AddWall(c.second)};
        const Answer answer = Find(1, -0.2, c.low, c.high);
        ASSERT_TRUE(answer.found) << c.name;
        EXPECT_EQ(answer.wall.header.guid, walls[c.expected - 1]) << c.name;
    }
}

// A wall of no length has no direction: it holds no point and leaves the search to the others.
TEST_F(WallSearchTest, AWallOfNoLengthHoldsNoPoint)
{
    AddWall({{1, 0}, {1, 0}});
    EXPECT_FALSE(Find(1, 0, 1, 1).found);
    const API_Guid real = AddWall({{0, 0.2}, {4, 0.2}});
    const Answer answer = Find(1, 0, 1, 1);
    ASSERT_TRUE(answer.found);
    EXPECT_EQ(answer.wall.header.guid, real);
    EXPECT_TRUE(std::isfinite(answer.values.depth));
}

TEST_F(WallSearchTest, RevealsMeasureDepthAndWidthInTheWall)
{
    AddWall({{0, 0}, {4, 0}});
    PlaceStation(2, 5);
    SetPoints({{1, 0.1, 1}, {2.2, 0.3, 1.5}});
    EXPECT_NEAR(Main().MeasureRevealDepth(), 0.1, Tol);
    EXPECT_NEAR(Main().MeasureRevealWidth(), 1.2, Tol);
    EXPECT_NEAR(Main().revealValue, 1.2, Tol);
    EXPECT_TRUE(DG::RecordedAlerts().empty());

    Model().content.elements.clear();
    SetPoints({{1, 0.1, 1}, {2.2, 0.3, 1.5}});
    EXPECT_EQ(Main().MeasureRevealDepth(), 0.0);
    EXPECT_EQ(Main().pointStep, 0);
    SetPoints({{1, 0.1, 1}, {2.2, 0.3, 1.5}});
    EXPECT_NEAR(Main().MeasureRevealWidth(), 1.2, Tol) << "the latest width stays";
    EXPECT_EQ(Main().pointStep, 0);
    const std::string notFound =
        "Survanto - Fehler!: Achtung! Es kann keine Öffnung platziert werden. Die betroffene Wand wurde nicht gefunden!";
    EXPECT_EQ(AlertTexts(), (std::vector<std::string> {notFound, notFound}));
}

// The curved reveal: the second point taken onto the circle of the face the
// station looks at, measured square to the radial line through the first point,
// however deep in the reveal that point lies.
TEST_F(WallSearchTest, ACurvedRevealIsMeasuredOnTheFaceTheStationSees)
{
    AddWall({{2, 0}, {0, 2}, Pi / 2});
    const API_Coord3D p0 {2, 0.01, 1};
    const double turn = 0.3 - std::atan2(0.01, 2.0);
    struct Case
    {
        const char* name;
        API_Coord station;
        double width;
    };
    const Case cases[] = {
        {"station inside, on the reference face", {0.5, 0.5}, 2.0 * std::sin(turn)},
        {"station outside: the face beyond the thickness", {5, 5}, 2.3 * std::sin(turn)},
    };
    for (const Case& c : cases)
    {
        PlaceStation(c.station.x, c.station.y);
        SetPoints({p0, {std::cos(0.3) * 2.2, std::sin(0.3) * 2.2, 1}});
        EXPECT_NEAR(Main().MeasureRevealWidth(), c.width, 1e-9) << c.name;
    }
}

// Seen from outside a round wall of radius 5, 0.3 thick, the station looks at
// the face of radius 5.3. The first point lies in the reveal, the second on that
// face; the width is 5.3 sin of the angle between them.
TEST_F(WallSearchTest, ACurvedRevealFromOutsideLeavesTheRevealDepthOut)
{
    AddWall({{5, 0}, {0, 5}, Pi / 2});
    PlaceStation(10, 10);
    struct Case
    {
        const char* name;
        double p0Radius, angle, width;
    };
    const Case cases[] = {
        {"0.15 deep, 5 degrees on", 5.15, 5.0 * Pi / 180.0, 0.46192544},
        {"0.25 deep, a narrow reveal", 5.05, std::asin(0.05 / 5.3), 0.05},
    };
    for (const Case& c : cases)
    {
        SetPoints({{c.p0Radius, 0, 1}, {5.3 * std::cos(c.angle), 5.3 * std::sin(c.angle), 1.5}});
        EXPECT_NEAR(Main().MeasureRevealWidth(), c.width, 1e-8) << c.name;
    }
}

// The reveal modes that measure depth and width together: a point where no wall
// stands ends the action with one alert.
TEST_F(WallSearchTest, ARevealWithoutAWallIsToldOnce)
{
    Main().measuringMode = 22;
    Main().MainPaletteItemValue(33);
    DG::PopupSelectItem(Survanto::MainPaletteDialogId, 33, 2);
    Main().pointStep = 1;
    for (const API_Coord3D& p : {API_Coord3D {1, 0.1, 1}, API_Coord3D {2.2, 0.3, 1.5}})
    {
        measuringState.measuredX = p.x;
        measuringState.measuredY = p.y;
        measuringState.measuredZ = p.z;
        Main().OnMeasuredPoint(10);
    }
    EXPECT_EQ(AlertTexts().size(), 1u);
    EXPECT_EQ(Main().measuringMode, 0);
}

class OpeningHostWallTest : public WallSearchTest
{
protected:
    void SetUp() override
    {
        WallSearchTest::SetUp();
        wall = AddWall({{0, 0}, {4, 0}});
        Host().project_.teamwork.SetCurrentUser(1, "Anna");
    }

    struct Outcome
    {
        bool usable = true;
        bool discard = false;
    };

    Outcome Check()
    {
        Outcome outcome;
        Main().CheckOpeningHostWall({1, -0.1, 1}, outcome.usable, outcome.discard);
        return outcome;
    }

    int Reservations() const
    {
        int count = 0;
        for (const std::string& line : const_cast<OpeningHostWallTest*>(this)->Host().CallLog())
            count += line.rfind("HostReserveElements", 0) == 0 ? 1 : 0;
        return count;
    }

    API_Guid wall {};
};

TEST_F(OpeningHostWallTest, AWallHeldByAColleagueAsksTheUser)
{
    struct Case
    {
        const char* name;
        std::vector<short> answers;
        bool usable, discard;
        int alerts, reservations;
    };
    const Case cases[] = {
        {"OK: only the construction points", {1}, false, false, 1, 1},
        {"Abbrechen: the point is dropped", {2}, true, true, 1, 1},
        {"Wiederholen asks the host again", {3, 1}, false, false, 2, 2},
    };
    for (const Case& c : cases)
    {
        DG::ClearRecordedAlerts();
        Host().project_.teamwork.Hold(wall, Host().project_.teamwork.SomeoneElse());
        const int before = Reservations();
        for (const short answer : c.answers) DG::QueueAlertAnswer(answer);
        const Outcome outcome = Check();
        EXPECT_EQ(outcome.usable, c.usable) << c.name;
        EXPECT_EQ(outcome.discard, c.discard) << c.name;
        EXPECT_EQ(Reservations() - before, c.reservations) << c.name;
        ASSERT_EQ(DG::RecordedAlerts().size(), static_cast<std::size_t>(c.alerts)) << c.name;
        const DG::AlertRecord& alert = DG::RecordedAlerts().front();
        EXPECT_EQ(alert.type, -1) << "an error";
        EXPECT_EQ(alert.title.ToUtf8(), "Survanto - Fehler!");
        EXPECT_EQ(alert.text1.ToUtf8(), "Die ausgewählte Wand ist nicht reserviert!");
        EXPECT_EQ(alert.text2.ToUtf8(), "Sollen nur die Punkte der Konstruktion gemessen werden?");
        EXPECT_EQ(alert.button1.ToUtf8() + "|" + alert.button2.ToUtf8() + "|" + alert.button3.ToUtf8(),
                  "OK|Abbrechen|Wiederholen");
    }
}

TEST_F(OpeningHostWallTest, AWallTheUserCanHoldIsReservedWithoutAQuestion)
{
    struct Case
    {
        const char* name;
        std::function<void(SimHost::Teamwork&)> before;
    };
    const Case cases[] = {
        {"free", [this](SimHost::Teamwork& t) { t.Release(wall); }},
        {"already the user's", [this](SimHost::Teamwork& t) { t.Hold(wall, t.CurrentUserId()); }},
    };
    for (const Case& c : cases)
    {
        c.before(Host().project_.teamwork);
        const Outcome outcome = Check();
        EXPECT_TRUE(outcome.usable) << c.name;
        EXPECT_FALSE(outcome.discard) << c.name;
        EXPECT_TRUE(DG::RecordedAlerts().empty()) << c.name;
        EXPECT_EQ(Host().Fact("reservations"), "1:1") << c.name;
    }
}

TEST_F(OpeningHostWallTest, ASoloProjectOrAPointOffTheWallsAsksNothing)
{
    Host().project_.teamwork.Hold(wall, Host().project_.teamwork.SomeoneElse());
    Outcome outcome;
    Main().CheckOpeningHostWall({10, 10, 1}, outcome.usable, outcome.discard);
    EXPECT_TRUE(outcome.usable);
    EXPECT_EQ(Reservations(), 0);

    Host().project_.teamwork = SimHost::Teamwork {};
    outcome = Check();
    EXPECT_TRUE(outcome.usable);
    EXPECT_FALSE(outcome.discard);
    EXPECT_EQ(Reservations(), 0);
    EXPECT_TRUE(DG::RecordedAlerts().empty());
}

// "Abbrechen" takes back the marker of the point just measured, never an earlier
// point's marker, also when this point got none.
TEST_F(OpeningHostWallTest, CancellingRemovesOnlyThisPointsMarker)
{
    LoadOwnLibrary(Host());
    Main().currentTool = API_WindowID;
    Main().measuringMode = 14;
    const auto shootFirstPoint = [this](const API_Coord3D& point) {
        Main().pointStep = 1;
        measuringState.measuredX = point.x;
        measuringState.measuredY = point.y;
        measuringState.measuredZ = point.z;
        Main().OnMeasuredPoint(10);
    };
    shootFirstPoint({10, 10, 1});
    const std::vector<const SimHost::StoredElement*> placed = PlacedObjectsOf(Model(), MarkerPart::MeasuredPoint);
    ASSERT_EQ(placed.size(), 1u) << "a point off the walls asks nothing";
    const API_Guid earlierMarker = placed[0]->record.header.guid;
    const std::size_t elements = Model().content.elements.size();
    Host().project_.teamwork.Hold(wall, Host().project_.teamwork.SomeoneElse());

    // Without the library this point gets no marker.
    Model().libraryParts.clear();
    DG::QueueAlertAnswer(2);
    shootFirstPoint({1, -0.1, 1});
    EXPECT_EQ(DG::RecordedAlerts().size(), 1u);
    EXPECT_EQ(Main().actionPoints.GetSize(), 0u) << "the point is dropped";
    EXPECT_NE(Model().Find(earlierMarker), nullptr) << "a point without a marker takes none back";

    LoadOwnLibrary(Host());
    DG::QueueAlertAnswer(2);
    shootFirstPoint({1, -0.1, 1});
    EXPECT_EQ(DG::RecordedAlerts().size(), 2u);
    EXPECT_EQ(Model().content.elements.size(), elements) << "the point's own marker went with it";
    EXPECT_NE(Model().Find(earlierMarker), nullptr) << "the earlier point keeps its marker";
}

// The first, second and third side flags of the opening record: mirrored, opening
// side, reference side. The wall runs from (0,0) to (4,0), the opening's points
// lie on it around (1.5, 0).
TEST_F(OpeningHostWallTest, TheOpeningsSidesFollowTheStationAndTheMeasuredFace)
{
    struct Case
    {
        const char* name;
        API_ElemTypeID type;
        double stationY;
        bool outside, invertBoth, invertFirst;
        std::int32_t partVersion;
        bool first, second, third;
    };
    const Case cases[] = {
        {"station left, outside measured", API_WindowID, 5, true, false, false, 0, true, true, true},
        {"station right, outside measured", API_WindowID, -5, true, false, false, 0, false, false, false},
        {"station left, inside measured", API_WindowID, 5, false, false, false, 0, true, true, false},
        {"station right, inside measured", API_WindowID, -5, false, false, false, 0, false, false, true},
        {"window of version 32", API_WindowID, 5, true, false, false, 32, true, false, true},
        {"door of version 40", API_DoorID, 5, true, false, false, 40, true, true, true},
        {"both inverted", API_WindowID, 5, true, true, false, 0, false, false, true},
        {"first inverted", API_WindowID, 5, true, false, true, 0, false, true, true},
    };
    API_Element host;
    host.header.guid = wall;
    ASSERT_EQ(HostGetElement(&host), NoError);
    SetPoints({{1, 0, 1}, {2, 0, 2}});
    for (const Case& c : cases)
    {
        Model().libraryParts[1].uniqueId = "{11111111-2222-3333-4444-555555555555}-{66666666-7777-8888-9999-AAAAAAAAAAAA}";
        Model().libraryParts[1].version = c.partVersion;
        PlaceStation(1.5, c.stationY);
        API_Element opening;
        opening.header.typeID = c.type;
        opening.window.libraryPartIndex = 1;
        Main().SetOpeningSides(host, opening, c.outside, c.invertBoth, c.invertFirst);
        EXPECT_EQ(opening.window.mirrored, c.first) << c.name;
        EXPECT_EQ(opening.window.openingSide, c.second) << c.name;
        EXPECT_EQ(opening.window.referenceSide, c.third) << c.name;
    }
}
