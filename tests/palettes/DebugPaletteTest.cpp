#include <cmath>
#include <deque>

#include "DG/DG.hpp"
#include "MarkerFixture.hpp"
#include "framework/OwnChangeCounter.hpp"

namespace
{

constexpr short Debug = DebugPalette::DialogId;
constexpr std::int16_t DebugMenu = 32501;
enum Item : short
{
    X = 2,
    Y = 4,
    Z = 6,
    Shot = 7,
    GetXY = 8,
    GetZ = 9,
    Shock = 10,
    TestFunction = 11,
    Get3D = 12,
    NewStation = 13,
    Shot3D = 14,
    Shot2D = 15
};

// The debug palette opened from its menu, with the station of the example:
// turned by a quarter, instrument station at (10, 20, 1.5).
class DebugPaletteTest : public MarkerFixture
{
protected:
    void SetUp() override
    {
        MarkerFixture::SetUp();
        API_MenuParams params;
        params.menuResID = DebugMenu;
        params.itemIndex = 1;
        Main().HandleMenuCommand(params);
        ASSERT_TRUE(DG::IsOpen(Debug));
        measuringState.stationAngle = Pi / 2;
        measuringState.stationMode = 1;
        measuringState.stationX = 10;
        measuringState.stationY = 20;
        measuringState.stationZ = 1.5;
        // Picking points: every measured point leaves a marker and nothing else.
        Main().currentTool = API_WallID;
        Main().measuringMode = 49;
        Main().pointStep = 1;
    }

    void Type(double x, double y, double z)
    {
        DG::SetItemValue(Debug, X, x);
        DG::SetItemValue(Debug, Y, y);
        DG::SetItemValue(Debug, Z, z);
    }

    void Pick(std::deque<API_Coord3D> points)
    {
        Host().inputAnswers_.clear();
        for (const API_Coord3D& p : points) Host().inputAnswers_.push_back(SimHost::InputAnswer::Picked(p));
        Host().inputAnswers_.push_back(SimHost::InputAnswer {});
    }

    static void ExpectField(short item, double value)
    {
        EXPECT_NEAR(DG::GetItemValue(Debug, item), value, 1e-9) << "item " << item;
    }

    static void ExpectMeasured(double x, double y, double z)
    {
        EXPECT_NEAR(measuringState.measuredX, x, 1e-9);
        EXPECT_NEAR(measuringState.measuredY, y, 1e-9);
        EXPECT_NEAR(measuringState.measuredZ, z, 1e-9);
    }
};

}  // namespace

TEST_F(DebugPaletteTest, OpensFromItsMenuWithItsFlags)
{
    EXPECT_EQ(Host().palettes_.back().flags, 407);
    EXPECT_EQ(DG::CloseByUser(Debug), -1);
    EXPECT_FALSE(DG::IsOpen(Debug));
}

// The typed instrument point becomes the measured point, which the
// dispatcher marks; picking that point gives the typed values back only
// without a location offset, which the picks do not add back.
TEST_F(DebugPaletteTest, ShotMeasuresTheTypedPointAndPicksTurnItBack)
{
    for (const bool withOffset : {false, true})
    {
        SCOPED_TRACE(withOffset ? "offset (100, 50)" : "no offset");
        Model().content.elements.clear();
        Model().content.locationOffset = withOffset ? API_Coord {100, 50} : API_Coord {};
        Type(1, 0, 2);
        DG::ClickItem(Debug, Shot);
        const double x = withOffset ? -90 : 10, y = withOffset ? -29 : 21;
        ExpectMeasured(x, y, 3.5);
        EXPECT_EQ(measuringState.rawMeasuredZ, 2.0);
        ASSERT_EQ(PointMarkers().size(), 1u);
        EXPECT_NEAR(PointMarkers()[0]->record.object.position.x, x, 1e-9);
        EXPECT_NEAR(PointMarkers()[0]->record.object.elevation, 3.5, 1e-9);

        Type(0, 0, 0);
        Pick({{x, y, 3.5}});
        DG::ClickItem(Debug, GetXY);
        EXPECT_EQ(std::fabs(DG::GetItemValue(Debug, X) - 1) < 1e-9 && std::fabs(DG::GetItemValue(Debug, Y)) < 1e-9, !withOffset);
        ExpectField(Z, 0);
        EXPECT_FALSE(Main().busy);
    }
}

TEST_F(DebugPaletteTest, WithoutAnInstrumentStationThePointIsTurnedOnly)
{
    measuringState.stationMode = 2;
    measuringState.stationAngle = 0;
    Model().content.locationOffset = {100, 50};
    Type(1, 0, 2);
    DG::ClickItem(Debug, Shot);
    ExpectMeasured(1 - 100, -50, 2);
}

// The height picked: y in section-type windows, z elsewhere, less the
// station height at an instrument station.
TEST_F(DebugPaletteTest, GetCoordZTakesTheHeightByWindowKind)
{
    struct Case
    {
        std::int32_t window;
        std::int16_t mode;
        double z;
    };
    const Case cases[] = {
        {APIWind_FloorPlanID, 1, 7 - 1.5}, {APIWind_3DModelID, 1, 7 - 1.5},     {APIWind_SectionID, 1, 5 - 1.5},
        {APIWind_ElevationID, 2, 5},       {APIWind_InteriorElevationID, 2, 5}, {APIWind_FloorPlanID, 2, 7},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.window);
        Model().frontWindow = c.window;
        measuringState.stationMode = c.mode;
        Type(8, 8, 8);
        Pick({{3, 5, 7}});
        DG::ClickItem(Debug, GetZ);
        ExpectField(Z, c.z);
        ExpectField(X, 8);
    }
}

TEST_F(DebugPaletteTest, GetCoord3DWritesOnlyFromA3DWindow)
{
    Type(8, 8, 8);
    Pick({{10, 21, 4}});
    DG::ClickItem(Debug, Get3D);
    ExpectField(X, 8);
    ExpectField(Z, 8);
    Model().frontWindow = APIWind_3DModelID;
    Pick({{10, 21, 4}});
    DG::ClickItem(Debug, Get3D);
    ExpectField(X, 1);
    ExpectField(Y, 0);
    ExpectField(Z, 4 - 1.5);
    Pick({});
    DG::ClickItem(Debug, Get3D);
    ExpectField(X, 1);  // a cancelled input changes nothing
}

// Each picked point is shot until the input is cancelled: "Shot 2D" keeps the
// typed height, "Shot 3D" takes the picked one (the last taken outside windows
// that show heights).
TEST_F(DebugPaletteTest, ShotsOfPickedPoints)
{
    Model().frontWindow = APIWind_3DModelID;
    Type(0, 0, 2);
    Pick({{10, 21, 4}, {11, 20, 5}});
    DG::ClickItem(Debug, Shot2D);
    ASSERT_EQ(PointMarkers().size(), 2u);
    EXPECT_NEAR(PointMarkers()[0]->record.object.elevation, 3.5, 1e-9);
    EXPECT_NEAR(PointMarkers()[1]->record.object.elevation, 3.5, 1e-9);
    EXPECT_NEAR(PointMarkers()[1]->record.object.position.x, 11, 1e-9);

    Pick({{10, 21, 4}});
    DG::ClickItem(Debug, Shot3D);
    ASSERT_EQ(PointMarkers().size(), 3u);
    EXPECT_NEAR(PointMarkers()[2]->record.object.elevation, 4, 1e-9);
    Model().frontWindow = APIWind_FloorPlanID;
    Pick({{10, 21, 9}});
    DG::ClickItem(Debug, Shot3D);
    ASSERT_EQ(PointMarkers().size(), 4u);
    EXPECT_NEAR(PointMarkers()[3]->record.object.elevation, 1.5, 1e-9) << "no height taken in a plan: 0 at first";
}

// The selection goes one storey up in one undoable command; on the top storey
// there is no storey above and the element stays.
TEST_F(DebugPaletteTest, TestFunctionRaisesTheSelectionOneStorey)
{
    Model().content.storeyLevels = {{0, 0.0}, {1, 3.0}};
    for (const std::int16_t storey : {0, 1})
    {
        SCOPED_TRACE(storey);
        Model().content.elements.clear();
        Model().DefaultsFor(API_ObjectID, 0).record.header.floorInd = storey;
        MeasurePoint(1, 2, Model().content.storeyLevels[storey] + 0.5);
        Main().PlaceMeasuredPointMarker();
        const SimHost::StoredElement& placed = *PointMarkers().back();
        Model().selection = {API_Neig {APINeig_Symb, placed.record.header.guid, 0}};
        const std::size_t steps = Model().undoSteps.size();
        DG::ClickItem(Debug, TestFunction);
        const SimHost::StoredElement& marker = *PointMarkers().back();
        EXPECT_EQ(marker.record.header.floorInd, 1);
        EXPECT_EQ(Model().undoSteps.size(), steps + (storey == 0 ? 1u : 0u));
        EXPECT_EQ(OwnChangeCounterValue(), 0);
        if (storey == 1)
        {
            EXPECT_NEAR(marker.record.object.elevation, 0.5, 1e-9);
        }
    }
    Model().selection.clear();
    const std::size_t steps = Model().undoSteps.size();
    DG::ClickItem(Debug, TestFunction);
    EXPECT_EQ(Model().undoSteps.size(), steps) << "nothing happens without a selection";
}

// The palette does not grow unless docked.
TEST_F(DebugPaletteTest, KeepsItsResourceSizeUndocked)
{
    DG::ResizeByUser(Debug, 400, 400);
    EXPECT_EQ(DG::GetClientSize(Debug).width, 220);
    EXPECT_EQ(DG::GetClientSize(Debug).height, 162);
    DG::SetPaletteDocked(Debug, true);
    DG::ResizeByUser(Debug, 400, 300);
    EXPECT_EQ(DG::GetClientSize(Debug).height, 300);
}

TEST_F(DebugPaletteTest, ShockReportsABump)
{
    Main().activeStationId = "1";
    DG::ClearRecordedAlerts();
    DG::QueueAlertAnswer(1);
    DG::ClickItem(Debug, Shock);
    ASSERT_EQ(DG::RecordedAlerts().size(), 1u);
    EXPECT_TRUE(Main().instrumentBumped);
}

// "New Standortposition" at a scan station: the typed point (101, 202, 1.5) is
// marker "S" (at 1, 2 with its top at 1.5 under the offset (100, 200)), which
// becomes the one active station and the station's marker; a point at no marker
// leaves every marker inactive and places none at a scan station.
TEST_F(DebugPaletteTest, NewStationPositionActivatesTheMarkerStandingThere)
{
    measuringState.stationMode = 2;
    measuringState.stationSymbolResource = 32502;
    measuringState.stationAngle = 0;
    Model().content.locationOffset = {100, 200};
    const API_Guid s = PutStationMarker(MarkerPart::ScanStation, "S", 1.0, 2.0, 1.5, false);
    PutStationMarker(MarkerPart::ScanStation, "T", 5.0, 5.0, 1.5, true);

    Type(101.004, 201.996, 1.5);
    DG::ClickItem(Debug, NewStation);
    EXPECT_EQ(Host().Fact("active-stations"), "\"S\"");
    EXPECT_EQ(StationMarkers(MarkerPart::ScanStation).size(), 2u);
    EXPECT_EQ(Main().stationReferenceElement, s);
    EXPECT_DOUBLE_EQ(measuringState.stationX, 101.0) << "onto the marker";
    EXPECT_DOUBLE_EQ(measuringState.stationY, 202.0);
    EXPECT_EQ(Main().pointStep, 1);

    Type(120, 220, 1.5);
    DG::ClickItem(Debug, NewStation);
    EXPECT_EQ(Host().Fact("active-stations"), "none");
    EXPECT_EQ(StationMarkers(MarkerPart::ScanStation).size(), 2u);
}
