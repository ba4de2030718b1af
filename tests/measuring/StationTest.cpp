#include <cmath>

#include "MarkerFixture.hpp"

namespace
{

// An instrument station: its markers are placed and kept active.
class Stations : public MarkerFixture
{
protected:
    void SetUp() override
    {
        MarkerFixture::SetUp();
        measuringState.stationMode = 1;
        measuringState.stationSymbolResource = 32501;
    }

    void Shoot(double x, double y, double z)
    {
        MeasurePoint(x, y, z);
        Main().OnMeasuredPoint(10);
    }

    void StartAlignment()
    {
        Main().measuringMode = 1;
        Main().pointStep = 1;
        Main().SetMainPaletteItemValue(1, 1.0);
    }
};

}  // namespace

// The first point is the instrument's reference, the second gives the direction.
TEST_F(Stations, AlignmentTurnsTheStationAgainstTheDirection)
{
    const struct
    {
        API_Coord3D reference, direction;
        double angle;
    } cases[] = {
        {{0, 0, 0}, {0, 1, 0}, -Pi / 2},
        {{1, 1, 0}, {2, 1, 0}, 0.0},
        {{0, 0, 0}, {0, -1, 0}, -3 * Pi / 2},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.angle);
        measuringState.alignmentPending = 1;
        StartAlignment();
        Shoot(c.reference.x, c.reference.y, c.reference.z);
        Shoot(c.direction.x, c.direction.y, c.direction.z);
        EXPECT_NEAR(measuringState.stationAngle, c.angle, 1e-12);
        EXPECT_EQ(measuringState.alignmentPending, 0);
        EXPECT_EQ(Main().measuringMode, 0);
        EXPECT_EQ(Main().pointStep, 1);
        EXPECT_EQ(Main().MainPaletteItemValue(1), 0.0);
    }
    EXPECT_TRUE(PointMarkers().empty()) << "no marker while aligning";
    EXPECT_EQ(Host().Fact("active-stations"), "\"1\"") << "each alignment re-places the one station's marker";
    EXPECT_EQ(StationMarkers().size(), 1u);
    EXPECT_EQ(Model().moduleData.count(GS::UniString()), 1u) << "the station is saved with the project";
}

// Two points at one place give no direction: nothing changes and the second
// point is measured again.
TEST_F(Stations, CoincidentAlignmentPointsAreRefused)
{
    measuringState.stationAngle = 0.7;
    StartAlignment();
    Shoot(1, 1, 0);
    Shoot(1.000005, 1, 0);
    EXPECT_EQ(measuringState.stationAngle, 0.7);
    EXPECT_EQ(measuringState.alignmentPending, 1);
    EXPECT_EQ(Main().measuringMode, 1);
    EXPECT_EQ(Main().pointStep, 2);
    EXPECT_EQ(Main().actionPoints.GetSize(), 1u);
    EXPECT_TRUE(StationMarkers().empty());

    Shoot(1, 3, 0);
    EXPECT_NEAR(measuringState.stationAngle, -Pi / 2, 1e-12);
    EXPECT_EQ(measuringState.alignmentPending, 0);
    EXPECT_EQ(StationMarkers().size(), 1u);
}

// Of two markers with the active id the first is replaced, with its parameters;
// the other stays.
TEST_F(Stations, TheFirstMarkerOfTheActiveStationIsReplaced)
{
    PutStationMarker(MarkerPart::InstrumentStation, "5", 9, 9, 1.5, false);
    const API_Guid first = PutStationMarker(MarkerPart::InstrumentStation, "4", 0, 0, 1.5, true);
    const API_Guid second = PutStationMarker(MarkerPart::InstrumentStation, "4", 1, 1, 1.5, false);
    for (API_AddParType& p : Model().Find(first)->memo.params)
        if (std::string(p.name) == "ZZYZX") p.value = 1.2;
    Main().activeStationId = "4";
    Main().stationPen = 89;
    measuringState.stationX = 3;
    measuringState.stationY = 4;
    measuringState.stationZ = 1.7;

    Main().ReplaceStationMarker();
    EXPECT_EQ(Model().Find(first), nullptr);
    EXPECT_NE(Model().Find(second), nullptr);
    ASSERT_EQ(StationMarkers().size(), 3u);
    const SimHost::StoredElement& placed = *StationMarkers().back();
    EXPECT_EQ(TextParameter(placed, "strStandortID"), "4");
    EXPECT_EQ(NumberParameter(placed, "bIsActual"), 1.0);
    EXPECT_EQ(NumberParameter(placed, "penStandort"), 89.0);
    EXPECT_EQ(NumberParameter(placed, "zzyzx"), 1.2) << "carried over";
    EXPECT_DOUBLE_EQ(placed.record.object.elevation, 0.5);
    EXPECT_EQ(placed.record.object.position.x, 3.0);
    EXPECT_EQ(Host().Fact("active-stations"), "\"4\"");
    EXPECT_EQ(Main().activeStationId.ToUtf8(), "4");
    EXPECT_EQ(Main().stationMarkerToReplace, APINULLGuid);
    EXPECT_EQ(Main().stationReferenceElement, placed.record.header.guid);
}

// A refused new marker leaves the old one in the project.
TEST_F(Stations, ARefusedReplacementKeepsTheOldMarker)
{
    const API_Guid old = PutStationMarker(MarkerPart::InstrumentStation, "4", 0, 0, 1.5, true);
    Main().activeStationId = "4";
    Main().stationLayer = 99;
    Main().ReplaceStationMarker();
    ASSERT_EQ(StationMarkers().size(), 1u);
    EXPECT_NE(Model().Find(old), nullptr);
    EXPECT_EQ(Main().stationMarkerToReplace, APINULLGuid);
}

// The reference height sets the station's height, and its marker follows.
TEST_F(Stations, ReferenceHeightMovesTheStationMarker)
{
    Main().measuringMode = 40;
    Main().pointStep = 1;
    Main().SetMainPaletteItemValue(32, 2.5);
    measuringState.rawMeasuredZ = 1.0;
    Shoot(2, 2, 1.0);
    EXPECT_EQ(measuringState.stationZ, 1.5);
    EXPECT_EQ(measuringState.referenceHeightPending, 0);
    ASSERT_EQ(StationMarkers().size(), 1u);
    EXPECT_DOUBLE_EQ(StationMarkers().back()->record.object.elevation, 0.0) << "its top at 1.5";
}

TEST_F(Stations, StationFromTheMeasuredPointInTheStationFrame)
{
    Model().content.locationOffset = {100, 200};
    MeasurePoint(10, 20, 1);
    Main().pointStep = 4;
    Main().SetStationFromMeasuredPoint();
    EXPECT_EQ(measuringState.stationX, 0.0) << "not at an instrument station";
    EXPECT_EQ(Main().pointStep, 4);

    measuringState.stationMode = 2;
    Main().SetStationFromMeasuredPoint();
    EXPECT_EQ(measuringState.stationX, 110.0);
    EXPECT_EQ(measuringState.stationY, 220.0);
    EXPECT_EQ(measuringState.stationZ, 1.0);
    EXPECT_EQ(Main().pointStep, 1);
    EXPECT_TRUE(StationMarkers().empty()) << "a point-cloud station gets no marker";
}

TEST_F(Stations, ResetAtProjectCloseOffersAlignmentAndReferenceHeightAgain)
{
    measuringState.measuredX = measuringState.stationZ = measuringState.stationAngle = 1.5;
    measuringState.reservedValue3 = measuringState.referenceHeight = measuringState.rawMeasuredZ = 2.0;
    measuringState.alignmentPending = measuringState.referenceHeightPending = 0;
    measuringState.stationMode = 2;
    measuringState.stationSymbolResource = 32502;
    Main().stationId = Main().activeStationId = "7";
    Main().stationReferenceElement = Model().NewGuid();
    Main().firstStation.inUse = true;
    Main().firstStation.angle = 1.0;
    Main().secondStation.position = {1, 2, 3};

    Main().ResetStationState();
    for (const double value : {measuringState.measuredX, measuringState.stationZ, measuringState.stationAngle,
                               measuringState.reservedValue3, measuringState.referenceHeight, measuringState.rawMeasuredZ})
        EXPECT_EQ(value, 0.0);
    EXPECT_EQ(measuringState.alignmentPending, 1);
    EXPECT_EQ(measuringState.referenceHeightPending, 1);
    EXPECT_EQ(measuringState.stationMode, 1);
    EXPECT_EQ(measuringState.stationSymbolResource, 32501);
    EXPECT_EQ(Main().stationId.ToUtf8(), "0");
    EXPECT_EQ(Main().activeStationId.ToUtf8(), "0");
    EXPECT_EQ(Main().stationReferenceElement, APINULLGuid);
    EXPECT_TRUE(Main().firstStation.inUse);
    EXPECT_EQ(Main().firstStation.angle, 0.0);
    EXPECT_EQ(Main().secondStation.position.z, 0.0);
}
