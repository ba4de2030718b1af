#include <algorithm>
#include <string>

#include "MarkerFixture.hpp"
#include "framework/OwnChangeCounter.hpp"

namespace
{

constexpr short Palette = Survanto::MainPaletteDialogId;
constexpr short LayerChooser = 4;

struct PlacementCase
{
    const char* label;
    std::int32_t tool;
    std::int16_t mode;
    std::int16_t layer;  // 0: no marker
    std::int16_t pen;
};

// Each tool's markers take its element kind's layer and pen; picked points keep
// the layer and take the picked-point pen.
const PlacementCase placementCases[] = {
    {"wall", API_WallID, 14, 11, 21},
    {"column", API_ColumnID, 14, 12, 22},
    {"beam", API_BeamID, 14, 13, 23},
    {"slab", API_SlabID, 14, 14, 24},
    {"roof", API_RoofID, 14, 15, 25},
    {"morph", API_MorphID, 14, 16, 26},
    {"window", API_WindowID, 14, 17, 27},
    {"door", API_DoorID, 14, 17, 27},
    {"line", API_LineID, 14, 18, 28},
    {"fill", API_HatchID, 15, 19, 29},
    {"object", API_ObjectID, 14, 20, 30},
    {"shell", API_ShellID, 14, 20, 30},
    {"no tool", 0, 5, 20, 30},
    {"mesh on the free area", API_MeshID, 14, MarkerFixture::FreeAreaLayer, MarkerFixture::FreeAreaPen},
    {"picked with the wall tool", API_WallID, 49, 11, MarkerFixture::PickedPointPen},
    {"picked with the mesh tool", API_MeshID, 49, 20, MarkerFixture::PickedPointPen},
    {"picked with the circle tool", API_CircleID, 49, 20, MarkerFixture::PickedPointPen},
    {"circle tool", API_CircleID, 14, 0, 0},
    {"camera tool", API_CameraID, 5, 0, 0},
};

class Markers : public MarkerFixture
{};

}  // namespace

TEST_F(Markers, EachToolsMarkerTakesItsLayerAndPen)
{
    for (const PlacementCase& c : placementCases)
    {
        SCOPED_TRACE(c.label);
        Main().currentTool = c.tool;
        Main().measuringMode = c.mode;
        MeasurePoint(1.5, 2.5, 0.75);
        const std::size_t before = PointMarkers().size();
        const std::size_t stepsBefore = Model().undoSteps.size();
        Main().PlaceMeasuredPointMarker();
        if (c.layer == 0)
        {
            EXPECT_EQ(PointMarkers().size(), before);
            continue;
        }
        ASSERT_EQ(PointMarkers().size(), before + 1);
        const SimHost::StoredElement& marker = *PointMarkers().back();
        EXPECT_EQ(marker.record.header.layer, c.layer);
        EXPECT_EQ(marker.record.object.pen, c.pen);
        for (const char* pen : {"penHotPoint", "penHotPointGER", "penHotPointFRA"})
            EXPECT_EQ(NumberParameter(marker, pen), c.pen);
        EXPECT_EQ(marker.record.object.position.x, 1.5);
        EXPECT_EQ(marker.record.object.position.y, 2.5);
        EXPECT_EQ(marker.record.object.elevation, 0.75);
        EXPECT_EQ(marker.record.object.angle, 0.0);
        EXPECT_EQ(marker.record.object.sizeA, 0.3);
        EXPECT_EQ(marker.record.object.sizeB, 0.3);
        EXPECT_EQ(NumberParameter(marker, "zzyzx"), 0.3);
        EXPECT_EQ(NumberParameter(marker, "idvisible"), 1.0) << "the reset shows the ids";
        EXPECT_TRUE(marker.observed);
        EXPECT_EQ(Main().lastMeasuredPointMarker, marker.record.header.guid);
        EXPECT_EQ(Model().undoSteps.size(), stepsBefore + 1);
        EXPECT_EQ(OwnChangeCounterValue(), 0);
    }
}

TEST_F(Markers, MarkerNamesTheActiveStationOnlyAtAnInstrumentStation)
{
    Main().currentTool = API_WallID;
    Main().activeStationId = "7";
    for (const std::int16_t stationMode : {1, 2})
    {
        measuringState.stationMode = stationMode;
        Main().PlaceMeasuredPointMarker();
        EXPECT_EQ(TextParameter(*PointMarkers().back(), "strMeasuredfromStdID"), stationMode == 1 ? "7" : "")
            << "station mode " << stationMode;
    }
}

TEST_F(Markers, ElevationCountsFromTheStoreyOfTheObjectTool)
{
    Model().content.storeyLevels[1] = 3.0;
    Model().DefaultsFor(API_ObjectID, 0).record.header.floorInd = 1;
    Main().currentTool = API_WallID;
    MeasurePoint(0, 0, 4.0);
    Main().PlaceMeasuredPointMarker();
    EXPECT_EQ(PointMarkers().back()->record.header.floorInd, 1);
    EXPECT_DOUBLE_EQ(PointMarkers().back()->record.object.elevation, 1.0);
}

// Measured in a section, the marker lands on the storey of its height; the
// section stays the current database.
TEST_F(Markers, InASectionTheMarkerMovesToTheStoreyOfItsHeight)
{
    Model().content.storeyLevels[1] = 3.0;
    Main().currentTool = API_WallID;
    MeasurePoint(0, 0, 4.0);
    Main().PlaceMeasuredPointMarker();
    EXPECT_EQ(PointMarkers().back()->record.header.floorInd, 0) << "in the floor plan it stays on the current storey";
    EXPECT_DOUBLE_EQ(PointMarkers().back()->record.object.elevation, 4.0);

    Model().frontWindow = APIWind_SectionID;
    Model().currentDatabase.typeID = APIWind_SectionID;
    Main().PlaceMeasuredPointMarker();
    EXPECT_EQ(PointMarkers().back()->record.header.floorInd, 1);
    EXPECT_DOUBLE_EQ(PointMarkers().back()->record.object.elevation, 1.0);
    EXPECT_EQ(Model().currentDatabase.typeID, APIWind_SectionID);
}

// A layer the user will not replace ends the action; the marker's own layer is
// the one asked about, the morph's too; a layer chosen instead takes the marker.
TEST_F(Markers, ALayerCheckDecidesTheMarkersLayer)
{
    struct Case
    {
        const char* label;
        std::int32_t tool;
        std::int16_t badLayer;
        bool hide;
        short answer;
        std::int16_t placedOn;  // 0: no marker
    };
    const Case cases[] = {
        {"deleted wall layer, cancelled", API_WallID, 11, false, DG::Cancel, 0},
        {"hidden morph layer, cancelled", API_MorphID, 16, true, DG::Cancel, 0},
        {"deleted wall layer, another chosen", API_WallID, 11, false, DG::Accept, 12},
        {"deleted free-area layer, another chosen", API_MeshID, FreeAreaLayer, false, DG::Accept, 12},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.label);
        Model().content.elements.clear();
        GiveEachKindItsLayer();
        if (c.hide)
            Model().content.layers[c.badLayer].flags = APILay_Hidden;
        else
            Model().content.layers.erase(c.badLayer);
        AnswerDialogs([&c](DG::Dialog& dialog) {
            DG::SetItemValue(dialog.resourceId, LayerChooser, 12);
            return c.answer;
        });
        dialogsShown = 0;
        Main().currentTool = c.tool;
        Main().pointStep = 3;
        Main().PlaceMeasuredPointMarker();
        EXPECT_EQ(dialogsShown, 1);
        if (c.placedOn == 0)
        {
            EXPECT_TRUE(PointMarkers().empty());
            EXPECT_EQ(Main().pointStep, 0);
        }
        else
        {
            ASSERT_EQ(PointMarkers().size(), 1u);
            EXPECT_EQ(PointMarkers().back()->record.header.layer, c.placedOn);
            EXPECT_EQ(Main().pointStep, 3);
        }
    }
}

TEST_F(Markers, WithoutTheLibraryNothingIsPlaced)
{
    Model().libraryParts.clear();
    measuringState.stationMode = 1;
    Main().currentTool = API_WallID;
    Main().PlaceMeasuredPointMarker();
    Main().PlaceStationMarker(1, 1, 1);
    EXPECT_TRUE(Model().content.elements.empty());
    EXPECT_TRUE(Model().undoSteps.empty());
}

// "Messpunkt setzen": every picked point gets its marker until the input is cancelled.
TEST_F(Markers, PickedPointsEachGetAMarkerUntilCancelled)
{
    Host().SelectTool(API_WallID, 0);
    Main().HandleMenuCommand({32500, 1});
    Host().inputAnswers_ = {SimHost::InputAnswer::Picked({1, 2, 3}), SimHost::InputAnswer::Picked({4, 5, 6}),
                            SimHost::InputAnswer {}, SimHost::InputAnswer::Picked({7, 8, 9})};
    DG::ChangeItem(Palette, 49, 1.0);
    ASSERT_EQ(PointMarkers().size(), 2u);
    EXPECT_EQ(PointMarkers()[0]->record.object.position.x, 1.0);
    EXPECT_EQ(PointMarkers()[1]->record.object.elevation, 6.0);
    EXPECT_EQ(PointMarkers()[1]->record.object.pen, PickedPointPen);
    EXPECT_EQ(measuringState.measuredY, 5.0);
    EXPECT_EQ(Host().inputAnswers_.size(), 1u) << "the answer after the cancel waits";
    EXPECT_EQ(Main().measuringMode, 49);
}

// Only measured-point markers that are no station points take the switch.
TEST_F(Markers, IdSwitchReachesEveryMeasuredPointMarker)
{
    Main().currentTool = API_WallID;
    for (int i = 0; i < 4; ++i) Main().PlaceMeasuredPointMarker();
    auto& elements = Model().content.elements;
    for (API_AddParType& p : elements[2].memo.params)
        if (std::string(p.name) == "bIsStandort") p.value = 1.0;
    auto& lastParams = elements[3].memo.params;
    lastParams.erase(std::remove_if(lastParams.begin(), lastParams.end(),
                                    [](const API_AddParType& p) { return std::string(p.name) == "bIsStandort"; }),
                     lastParams.end());
    const std::size_t stepsBefore = Model().undoSteps.size();

    Main().markerIdsShown = false;
    Main().ApplyMarkerIdVisibility();
    EXPECT_EQ(NumberParameter(elements[0], "idvisible"), 0.0);
    EXPECT_EQ(NumberParameter(elements[1], "idvisible"), 0.0);
    EXPECT_EQ(NumberParameter(elements[2], "idvisible"), 1.0) << "a station point";
    EXPECT_EQ(NumberParameter(elements[3], "idvisible"), 1.0) << "no station-point parameter";
    EXPECT_EQ(Model().undoSteps.size(), stepsBefore + 1);

    Main().markerIdsShown = true;
    Main().ApplyMarkerIdVisibility();
    EXPECT_EQ(NumberParameter(elements[0], "idvisible"), 1.0);
}

// The reset shows the ids first; the project's own switch, loaded after, has the last word.
TEST_F(Markers, AfterAResetTheMarkersShowTheIdsAsTheProjectSays)
{
    Main().currentTool = API_WallID;
    Main().PlaceMeasuredPointMarker();
    Main().markerIdsShown = false;
    Main().ApplyMarkerIdVisibility();
    ASSERT_TRUE(Main().SaveModuleData());

    Main().ResetMeasuringSession();
    EXPECT_FALSE(Main().markerIdsShown);
    EXPECT_EQ(NumberParameter(*PointMarkers().back(), "idvisible"), 0.0);
}

// Placing a station makes its marker the only active one, whichever variant the
// others are; in station mode 2 the others go inactive and nothing is placed.
TEST_F(Markers, ANewStationIsTheOnlyActiveOneAcrossBothVariants)
{
    PutStationMarker(MarkerPart::InstrumentStation, "1", 0, 0, 1.5, true);
    PutStationMarker(MarkerPart::ScanStation, "S", 9, 9, 1.5, true);
    measuringState.stationMode = 2;
    Main().PlaceStationMarker(4, 4, 1.5);
    EXPECT_EQ(Host().Fact("active-stations"), "none");
    EXPECT_EQ(Model().content.elements.size(), 2u);

    PutStationMarker(MarkerPart::ScanStation, "T", 8, 8, 1.5, true);
    measuringState.stationMode = 1;
    Main().activeStationId = "1";
    Main().PlaceStationMarker(4, 4, 1.5);
    EXPECT_EQ(Host().Fact("active-stations"), "\"2\"");
    ASSERT_EQ(StationMarkers().size(), 2u);
    const SimHost::StoredElement& placed = *StationMarkers().back();
    EXPECT_EQ(Main().stationReferenceElement, placed.record.header.guid);
    EXPECT_EQ(placed.record.header.layer, StationLayer);
    EXPECT_EQ(NumberParameter(placed, "penStandort"), 15.0) << "the reset's pen for station mode 2";
    EXPECT_DOUBLE_EQ(placed.record.object.elevation, 0.0) << "the station point is the marker's top";
    EXPECT_TRUE(placed.observed);
}

// Station ids count on from the active one: "1" first; in a teamwork project
// the user's name follows; a stored id of any length counts on too.
TEST_F(Markers, StationIdsCountOnFromTheActiveOne)
{
    measuringState.stationMode = 1;
    const struct
    {
        const char* active;
        bool teamwork;
        std::string expected;
    } cases[] = {
        {"0", false, "1"}, {"9", false, "10"},    {"Az bert", false, "Ba"},
        {"", false, "2"},  {"0", true, "1 anna"}, {"1 anna", true, "2 anna"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.active);
        if (c.teamwork) Host().project_.teamwork.SetCurrentUser(3, "anna");
        Main().activeStationId = c.active;
        Main().PlaceStationMarker(1, 1, 1.5);
        EXPECT_EQ(Main().activeStationId.ToUtf8(), c.expected);
        EXPECT_EQ(TextParameter(*StationMarkers().back(), "strStandortID"), c.expected);
    }
    Main().activeStationId = std::string(300, '9');
    Main().PlaceStationMarker(1, 1, 1.5);
    EXPECT_EQ(TextParameter(*StationMarkers().back(), "strStandortID"), "1" + std::string(300, '0') + " anna");
}

// A station point within 0.01 of a marker takes the marker's place, and the
// marker becomes the active one in front of the others.
TEST_F(Markers, AStationPointNearAMarkerSnapsOntoIt)
{
    Model().content.locationOffset = {100, 200};
    measuringState.stationSymbolResource = 32501;
    PutStationMarker(MarkerPart::InstrumentStation, "1", 1.0, 2.0, 1.5, false);
    PutStationMarker(MarkerPart::InstrumentStation, "2", 5.0, 5.0, 1.5, true);
    PutStationMarker(MarkerPart::ScanStation, "S", 8.0, 8.0, 1.5, true);
    const struct
    {
        const char* label;
        double x, y, z;
        bool snaps;
    } cases[] = {
        {"within in every direction", 101.009, 201.991, 1.509, true},
        {"0.01 away in x", 101.01, 202.0, 1.5, false},
        {"0.01 away in height", 101.0, 202.0, 1.49, false},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.label);
        double x = c.x, y = c.y, z = c.z;
        EXPECT_EQ(Main().UpdateStationMarkers(&x, &y, &z), NoError);
        EXPECT_EQ(Host().Fact("active-stations"), c.snaps ? "\"1\"" : "none");
        EXPECT_DOUBLE_EQ(x, c.snaps ? 101.0 : c.x);
        EXPECT_DOUBLE_EQ(y, c.snaps ? 202.0 : c.y);
        EXPECT_DOUBLE_EQ(z, c.snaps ? 1.5 : c.z);
        if (c.snaps)
        {
            EXPECT_GT(Model().content.elements[0].record.header.drawIndex, 0) << "in front";
            EXPECT_EQ(Model().content.elements[2].record.header.drawIndex, 0);
        }
    }
}

// A reset reads the station from the project: its marker is the active one again.
TEST_F(Markers, AResetActivatesTheMarkerAtTheStoredStation)
{
    PutStationMarker(MarkerPart::ScanStation, "S", 2.0, 3.0, 1.5, false);
    PutStationMarker(MarkerPart::ScanStation, "T", 6.0, 3.0, 1.5, true);
    measuringState.stationX = 2.0;
    measuringState.stationY = 3.0;
    measuringState.stationZ = 1.5;
    ASSERT_TRUE(Main().SaveModuleData());
    Main().ResetMeasuringSession();
    EXPECT_EQ(Host().Fact("active-stations"), "\"S\"");
}
