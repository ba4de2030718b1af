#include <cctype>
#include <limits>

#include "DG/DG.hpp"
#include "DispatcherFixture.hpp"
#include "Win/WinStandIns.hpp"
#include "measuring/MeasuringState.hpp"

namespace
{

constexpr std::int32_t PhotoSubtype = FourCC("SVPH");

struct ModeCase
{
    const char* label;
    std::int16_t mode;
    std::int32_t tool;
    std::int32_t variation;
    std::vector<std::pair<std::int16_t, double>> items;  // palette items set before the points (a push menu's entry)
    int points;
    std::string sounds;
    std::int16_t finalMode;
    std::int16_t finalStep;
    std::size_t made = 0;  // elements the creators added to the project
    // The curve palette the points went to, with its vertices: "main:2", "profile:2".
    const char* curve = "";
};

// The tables of the measuring modes, tool by tool. A creator makes its element and
// ends the action (step 1 after +1). The hand-back to the tool after an ended action
// switches on the tool's remembered option, none here: objects and lamps placed at
// every point make their first one only.
const ModeCase modeCases[] = {
    {"alignment", 1, 0, 0, {}, 2, "12", 0, 1},
    {"top elevation", 3, 0, 0, {}, 1, "1", 0, 0},
    {"bottom elevation", 4, 0, 0, {}, 1, "1", 0, 0},
    {"distance", 5, 0, 0, {}, 2, "12", 0, 1},
    {"angle", 6, 0, 0, {}, 2, "12", 0, 1},
    {"absolute z", 7, 0, 0, {}, 1, "1", 0, 0},

    {"wall", 14, 1, 0, {}, 2, "12", 14, 1, 1},
    {"column", 14, 2, 0, {}, 3, "112", 14, 1, 1},
    {"beam", 14, 3, 0, {}, 2, "12", 14, 1, 1},
    {"window without a wall", 14, 4, 0, {}, 2, "12", 14, 1},
    {"door without a wall", 14, 5, 0, {}, 3, "112", 14, 1},
    {"object at every point", 14, 6, 0, {}, 2, "11", 14, 1, 1},
    {"photo object without a photo", 14, 6, PhotoSubtype, {}, 2, "12", 14, 1},
    {"lamp at every point", 14, 7, 0, {}, 2, "11", 14, 1, 1},
    {"slab alternates", 14, 8, 0, {}, 4, "1212", 14, 5},
    {"roof without an outline", 14, 9, 0, {}, 3, "112", 14, 1},
    {"mesh collects", 14, 10, 0, {}, 2, "11", 14, 3},
    {"level dimension", 14, 13, 0, {}, 2, "11", 14, 1, 2},
    {"fill collects", 14, 18, 0, {}, 2, "11", 14, 3},
    {"line", 14, 19, 0, {}, 2, "12", 14, 1, 1},
    {"polyline", 14, 20, 0, {}, 2, "11", 14, 3, 1, "main:2"},
    {"circle", 14, 21, 0, {}, 3, "112", 14, 1, 1},
    {"circle tool takes nothing", 14, 22, 0, {}, 1, "1", 14, 1},
    {"spline collects", 14, 23, 0, {}, 2, "11", 14, 3},
    {"hotspot", 14, 24, 0, {}, 2, "11", 14, 1, 2},
    {"extruded shell without walls", 14, 43, 0, {}, 7, "1111112", 14, 1},
    {"morph profile points", 14, 45, 0, {}, 2, "11", 14, 1, 0, "profile:2"},

    {"polygon wall", 15, 1, 0, {}, 4, "1212", 15, 5},
    {"polygon beam", 15, 3, 0, {}, 4, "1212", 15, 5},
    {"round column", 15, 2, 0, {}, 3, "112", 15, 1, 1},
    {"window side points without a wall", 15, 4, 0, {}, 2, "12", 15, 1},
    {"door side points without a wall", 15, 5, 0, {}, 3, "112", 15, 1},
    {"object over 3 points", 15, 6, 0, {}, 3, "112", 15, 1, 1},
    {"lamp over 3 points", 15, 7, 0, {}, 3, "112", 15, 1, 1},
    {"arc", 15, 21, 0, {}, 3, "112", 15, 1, 1},
    {"ruled shell without walls", 15, 43, 0, {}, 8, "11111112", 15, 1},
    {"morph rail points", 15, 45, 0, {}, 2, "11", 15, 3, 0, "main:2"},
    {"slab outline", 15, 8, 0, {}, 2, "11", 15, 3, 1, "main:2"},
    {"fill outline", 15, 18, 0, {}, 1, "1", 15, 2, 0, "main:1"},
    {"roof takes nothing", 15, 9, 0, {}, 1, "1", 15, 1},

    {"curved wall", 16, 1, 0, {}, 3, "112", 16, 1, 1},
    {"inclined column", 16, 2, 0, {}, 5, "11112", 16, 1, 1},
    {"slanted beam", 16, 3, 0, {}, 2, "12", 16, 1, 1},
    {"dome from five points", 16, 43, 0, {}, 5, "11112", 16, 1, 0},
    {"mesh takes nothing", 16, 10, 0, {}, 1, "1", 16, 1},
    {"round wall", 17, 1, 0, {}, 3, "112", 17, 1, 2},
    {"column on an edge", 17, 2, 0, {}, 2, "12", 17, 1, 1},
    {"beam length collects", 17, 3, 0, {}, 2, "11", 17, 3},
    {"dome without a curved wall", 17, 43, 0, {}, 2, "12", 17, 1},
    {"inclined wall", 18, 1, 0, {}, 3, "112", 18, 1, 1},
    {"column from one point", 18, 2, 0, {}, 1, "1", 18, 1, 1},
    {"beam collects", 18, 3, 0, {}, 1, "1", 18, 2},
    {"dome segment", 18, 43, 0, {}, 9, "111111112", 18, 1, 0},
    {"lamp takes nothing", 18, 7, 0, {}, 1, "1", 18, 1},

    {"straight reveal", 22, 4, 0, {{33, 1}}, 1, "1", 0, 1},
    {"slanted reveal", 22, 4, 0, {{33, 2}}, 2, "12", 0, 1},
    {"reveals on both sides without a wall start over", 22, 4, 0, {{33, 3}}, 4, "1212", 22, 1},
    {"wall thickness without a selected wall", 23, 1, 0, {}, 1, "1", 0, 1},
    {"trapezoid wall without a selected wall", 24, 1, 0, {}, 2, "12", 0, 1},
    {"reference height", 40, 0, 0, {}, 1, "1", 0, 0},
    {"free-area height", 41, 10, 0, {}, 1, "1", 0, 0},
    {"column width", 44, 2, 0, {}, 2, "12", 0, 1},
    {"object depth", 45, 6, 0, {}, 2, "12", 0, 1},
    {"lamp rotation", 46, 7, 0, {}, 2, "12", 0, 1},
    {"polygon wall point without a selected wall", 47, 1, 0, {}, 2, "11", 47, 3},
    {"picking takes no points", 49, 0, 0, {}, 1, "n", 49, 1},
    {"radiator niche", 53, 4, 0, {}, 2, "12", 0, 1},
    {"window sill", 56, 4, 0, {}, 2, "12", 0, 1},
    {"morph points", 61, 45, 0, {}, 2, "11", 61, 3},
    {"morph from markers takes no points", 62, 45, 0, {{76, 1}}, 2, "11", 62, 1},
    {"morph from two points", 62, 45, 0, {{76, 2}}, 2, "12", 62, 1},
    {"beam width", 71, 3, 0, {}, 2, "12", 0, 1},
    {"beam height", 72, 3, 0, {}, 3, "112", 0, 1},
    {"morph with side planes", 75, 45, 0, {{76, 1}}, 6, "111112", 75, 1},
    {"morph with side planes and vector", 75, 45, 0, {{76, 2}}, 8, "11111112", 75, 1},
    {"points only collected", 77, 0, 0, {}, 2, "11", 77, 3},
    {"no mode", 0, 0, 0, {}, 1, "n", 0, 1},
    {"unknown mode", 99, 0, 0, {}, 1, "n", 99, 1},
};

// Which curve palette holds vertices, and how many.
std::string FedCurve(Survanto& main)
{
    const std::uint32_t onMain = main.curvePalette.curve.points.GetSize();
    const std::uint32_t onProfile = main.sectionPalette.curvePalette.curve.points.GetSize();
    if (onMain > 0) return "main:" + std::to_string(onMain);
    if (onProfile > 0) return "profile:" + std::to_string(onProfile);
    return "";
}

class MeasuringModes : public DispatcherFixture, public ::testing::WithParamInterface<ModeCase>
{};

}  // namespace

TEST_P(MeasuringModes, AdvanceAsTheTablesSay)
{
    const ModeCase& c = GetParam();
    StartMode(c.mode, c.tool, c.variation);
    for (const auto& [item, value] : c.items) DG::ChangeItem(Survanto::MainPaletteDialogId, item, value);
    // Both curve palettes measure polygons with end points, so that a fed point shows as a vertex.
    for (Curve3DPalette* curves : {&Main().curvePalette, &Main().sectionPalette.curvePalette})
    {
        curves->curveMode = Curve3DPalette::EndPointMethodItem;
        curves->curveStep = Curve3DPalette::FirstStepItem;
    }

    DG::SetItemText(Survanto::MainPaletteDialogId, 27, GS::UniString());
    for (int i = 0; i < c.points; ++i) Shoot(NthPoint(i));

    EXPECT_EQ(SoundLetters(), c.sounds);
    EXPECT_EQ(Main().measuringMode, c.finalMode);
    EXPECT_EQ(Main().pointStep, c.finalStep);
    EXPECT_EQ(ElementsMade(), c.made);
    EXPECT_EQ(FedCurve(Main()), c.curve);
    // Every point gets its marker, except while the instrument is being aligned
    // and with the circle tool.
    EXPECT_EQ(MarkersPlaced(), c.mode == 1 || c.tool == API_CircleID ? 0u : static_cast<std::size_t>(c.points));
    EXPECT_FALSE(DG::GetItemText(Survanto::MainPaletteDialogId, 27).ToUtf8().empty()) << "a prompt follows the points";
    if (c.finalMode == 0 && c.mode != 0)
    {
        EXPECT_EQ(Item(c.mode), 0.0) << "the mode button goes off";
    }
}

INSTANTIATE_TEST_SUITE_P(Dispatcher, MeasuringModes, ::testing::ValuesIn(modeCases), CaseLabelName());

using MeasuredPointRoad = DispatcherFixture;

TEST_F(MeasuredPointRoad, WithoutARunningActionOnlyTheNoCommandSoundAnswers)
{
    Main().pointStep = 0;
    SetItem(5, 0.0);
    DG::SetItemText(Survanto::MainPaletteDialogId, 27, "before");
    Shoot(NthPoint(0), 10);
    Shoot(NthPoint(1), 5000);
    Shoot(NthPoint(2), 12);
    EXPECT_EQ(SoundLetters(), "nn");
    EXPECT_EQ(MarkersPlaced(), 0u);
    EXPECT_EQ(DG::GetItemText(Survanto::MainPaletteDialogId, 27).ToUtf8(), "before") << "no prompt";
    EXPECT_EQ(Main().pointStep, 0);
}

TEST_F(MeasuredPointRoad, OtherCodesOnlyClearAStaleListAtTheFirstStep)
{
    StartMode(5);
    for (const std::int16_t step : {1, 2})
    {
        Main().pointStep = step;
        Main().actionPoints.Clear();
        Main().actionPoints.Add(NthPoint(7));
        Shoot(NthPoint(0), 12);
        EXPECT_EQ(Main().actionPoints.GetSize(), step == 1 ? 0u : 1u) << "step " << step;
        EXPECT_EQ(Main().pointStep, step);
        EXPECT_EQ(Main().measuringMode, 5);
    }
    EXPECT_EQ(SoundLetters(), "");
}

TEST_F(MeasuredPointRoad, ExchangeFilePointsCountLikeMeasuredOnes)
{
    StartMode(5);
    Shoot({0, 0, 0}, 5000);
    Shoot({3, 4, 0}, 5000);
    EXPECT_DOUBLE_EQ(Item(11), 5.0);
    EXPECT_EQ(SoundLetters(), "12");
    EXPECT_EQ(MarkersPlaced(), 2u);
}

TEST_F(MeasuredPointRoad, AngleSnapSoundReplacesTheOthersButNotNoCommand)
{
    SetItem(26, 1.0);
    StartMode(49);
    Shoot(NthPoint(2));
    EXPECT_EQ(SoundLetters(), "n");
    StartMode(14, 8);
    Shoot(NthPoint(0));
    Shoot(NthPoint(1));
    EXPECT_EQ(SoundLetters(), "ww");
}

TEST_F(MeasuredPointRoad, SoundsOffKeepsSilent)
{
    Main().sounds = false;
    StartMode(5);
    Shoot({0, 0, 0});
    Shoot({3, 4, 0});
    EXPECT_DOUBLE_EQ(Item(11), 5.0);
    StartMode(0);
    Shoot(NthPoint(2));
    Main().pointStep = 0;
    Shoot(NthPoint(3));
    EXPECT_TRUE(Win::RecordedSounds().empty());
}

TEST_F(MeasuredPointRoad, SoundsComeFromTheFolderBesideTheAddOn)
{
    StartMode(14, 8);
    Shoot(NthPoint(0));
    Shoot(NthPoint(1));
    IO::Location folder = HostGetOwnLocation();
    folder.DeleteLastLocalName();
    folder.AppendToLocal("sounds");
    ASSERT_EQ(Win::RecordedSounds().size(), 2u);
    EXPECT_EQ(Win::RecordedSounds()[0].path, folder.ToPath() + "/measurement_1.wav");
    EXPECT_EQ(Win::RecordedSounds()[1].path, folder.ToPath() + "/measurement_2.wav");
}

TEST_F(MeasuredPointRoad, APointWithoutAPlaceIsDropped)
{
    StartMode(14, 1);
    Shoot(NthPoint(0));
    for (const double bad : {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity()})
    {
        Shoot({bad, 1.0, 1.0});
        Shoot({1.0, 1.0, bad});
    }
    EXPECT_EQ(Main().actionPoints.GetSize(), 1u);
    EXPECT_EQ(Main().pointStep, 2);
    EXPECT_EQ(MarkersPlaced(), 1u);
    EXPECT_EQ(SoundLetters(), "1nnnn");
}

TEST_F(MeasuredPointRoad, EveryOpeningStartsOnAUsableWall)
{
    StartMode(14, 4);
    Main().openingWallUsable = false;
    Shoot(NthPoint(0));
    EXPECT_TRUE(Main().openingWallUsable) << "each opening starts usable";
    EXPECT_EQ(Main().pointStep, 2);
}

namespace
{

// The middle (1.5, 1.125) of the first two points lies on this wall, whose
// height holds the lower of them.
API_Guid AddWallUnderTheFirstPoints(SimHost::ProjectModel& model)
{
    SimHost::StoredElement wall;
    wall.record = model.DefaultsFor(API_WallID, 0).record;
    wall.record.header.guid = model.NewGuid();
    wall.record.wall.begC = {0.0, 1.125};
    wall.record.wall.endC = {4.0, 1.125};
    model.content.elements.push_back(wall);
    return wall.record.header.guid;
}

std::vector<API_Element> OpeningsOf(const SimHost::ProjectModel& model, API_ElemTypeID type)
{
    std::vector<API_Element> found;
    for (const SimHost::StoredElement& e : model.content.elements)
        if (e.record.header.typeID == type) found.push_back(e.record);
    return found;
}

}  // namespace

TEST_F(MeasuredPointRoad, OpeningsMeasuredOnAWallAreMadeInIt)
{
    DG::ClearRecordedAlerts();
    const API_Guid wall = AddWallUnderTheFirstPoints(host_->host().model_);
    for (const auto& [tool, points] : {std::pair {API_WindowID, 2}, std::pair {API_DoorID, 3}})
    {
        StartMode(14, tool);
        for (int i = 0; i < points; ++i) Shoot(NthPoint(i));
        const std::vector<API_Element> made = OpeningsOf(host_->host().model_, tool);
        ASSERT_EQ(made.size(), 1u) << tool;
        EXPECT_EQ(made[0].window.owner, wall);
        EXPECT_EQ(Main().measuringMode, 14);
        EXPECT_EQ(Main().pointStep, 1) << "the next opening starts";
    }
    EXPECT_TRUE(DG::RecordedAlerts().empty());
}

TEST_F(MeasuredPointRoad, AnOpeningWithoutAUsableWallOnlyEndsTheAction)
{
    AddWallUnderTheFirstPoints(host_->host().model_);
    StartMode(14, 5);
    Shoot(NthPoint(0));
    Main().openingWallUsable = false;
    Shoot(NthPoint(1));
    Shoot(NthPoint(2));
    EXPECT_TRUE(OpeningsOf(host_->host().model_, API_DoorID).empty());
    EXPECT_TRUE(Main().openingWallUsable);
    EXPECT_EQ(Main().pointStep, 1);
    EXPECT_EQ(SoundLetters(), "111");
}

// The tool's set-up starts the curve palette afresh: no method, no curve.
TEST_F(MeasuredPointRoad, AnEndedActionHandsBackToTheTool)
{
    Curve3DPalette& curves = Main().curvePalette;
    StartMode(5, 7);
    curves.curveMode = 8;
    Shoot(NthPoint(0));
    EXPECT_EQ(curves.curveMode, 8) << "still measuring";
    Shoot(NthPoint(1));
    EXPECT_EQ(curves.curveMode, 0);
    EXPECT_EQ(curves.toolType, 7);

    // Profile points of the morph keep the section palette's figure running.
    StartMode(14, 45);
    curves.curveMode = 8;
    Shoot(NthPoint(2));
    EXPECT_EQ(curves.curveMode, 8);
}
