#include <string>
#include <vector>

#include "CurveFixture.hpp"
#include "DG/DG.hpp"
#include "LanguageFile.hpp"
#include "RS/ResourceModule.hpp"
#include "ReplacedServices.hpp"
#include "measuring/MeasuringState.hpp"

extern const std::uint8_t SurvantoResources[];
extern const std::size_t SurvantoResourcesSize;

// The curve palette open in the simulated host: its items and prompts, the points
// it takes, the views it projects them into, and what "Erstellen" makes.

namespace
{

constexpr short Palette = Curve3DPalette::DialogId;
const std::vector<API_Coord3D> square {{0, 0, 0}, {2, 0, 0}, {2, 2, 0}, {0, 2, 0}, {0, 0, 0}};

class CurvePalette : public CurveFixture
{
protected:
    // The tool as the host chooses it, and the main palette open with the
    // option that opens this palette.
    void UseTool(API_ElemTypeID tool, std::int16_t option)
    {
        Host().SelectTool(tool);
        if (Main().GetOpenMode() == CDialogBase::Closed) Main().ToggleMainPalette();
        SetItem(option, 1.0);
    }
    void OpenCurvePalette()
    {
        Curves().SetResourceModules(CurrentResourceModule());
        ASSERT_EQ(Curves().OpenPalette(0), 0);
    }
    std::string Prompt() const { return DG::GetItemText(Palette, Curve3DPalette::PromptItem).ToUtf8(); }
    static bool Enabled(short item) { return DG::IsItemEnabled(Palette, item); }
    static bool Shown(short item) { return DG::IsItemVisible(Palette, item); }
    static double Value(short item) { return DG::GetItemValue(Palette, item); }

    // A measured point through the dispatcher, as the exchange file brings it.
    void Shoot(const API_Coord3D& p)
    {
        measuringState.measuredX = p.x;
        measuringState.measuredY = p.y;
        measuringState.measuredZ = p.z;
        Main().OnMeasuredPoint(10);
    }
    void StartMode(std::int16_t mode)
    {
        Main().measuringMode = mode;
        Main().pointStep = 1;
        SetItem(mode, 1.0);
    }
};

}  // namespace

TEST_F(CurvePalette, OpensForTheSlabClosedIn2DWithItsMethods)
{
    UseTool(API_SlabID, 15);
    Curves().curveMode = 9;
    OpenCurvePalette();
    EXPECT_EQ(Curves().curveMode, 0) << "every opening starts without a method";
    EXPECT_EQ(Curves().toolType, API_SlabID);
    EXPECT_EQ(Curves().curveDimension, Curve3DPalette::Dimension2DItem);
    EXPECT_TRUE(Curves().planeDefined);
    EXPECT_EQ(Value(3), 1.0);
    EXPECT_EQ(Value(6), 1.0) << "closed";
    EXPECT_EQ(Value(5), 0.0);
    EXPECT_FALSE(Enabled(5));
    EXPECT_EQ(Curves().polygonClosure, Curve3DPalette::ClosedItem);
    for (const short item : {8, 9, 10, 19}) EXPECT_TRUE(Shown(item) && Enabled(item)) << item;
    EXPECT_FALSE(Shown(11)) << "no plane to measure";
    EXPECT_FALSE(Shown(13));
    EXPECT_EQ(Prompt(), "2D Kurvenmethode auswählen");
}

TEST_F(CurvePalette, MethodsAndStepsChangeItemsAndPrompt)
{
    UseTool(API_SlabID, 15);
    OpenCurvePalette();
    DG::ClickItem(Palette, 8);
    EXPECT_EQ(Curves().curveMode, 8);
    EXPECT_EQ(Curves().curveStep, 13);
    EXPECT_TRUE(Shown(13) && Shown(14) && Shown(15));
    EXPECT_FALSE(Enabled(14)) << "no tangent yet";
    EXPECT_EQ(Prompt(), "Startpunkt der Geraden messen");

    Curves().AddMeasuredPoint({1, 2, 3}, nullptr);
    ExpectPoint(Curves().curve.points[0], {1, 2, 0}, "projected onto the horizontal plane");
    Curves().AddMeasuredPoint({4, 2, 0}, nullptr);
    Curves().UpdateItems();
    EXPECT_TRUE(Enabled(14));
    EXPECT_EQ(Prompt(), "Endpunkt der Geraden messen");

    DG::ClickItem(Palette, 15);
    EXPECT_EQ(Curves().arcPointCount, 1);
    EXPECT_EQ(Prompt(), "Ersten Punkt des Kreisbogens messen");
    Curves().AddMeasuredPoint({5, 3, 0}, nullptr);
    EXPECT_EQ(Curves().segmentPoints.GetSize(), 1u);
    DG::ClickItem(Palette, 13);
    EXPECT_TRUE(Curves().segmentPoints.IsEmpty()) << "a half-measured arc is dropped";
    EXPECT_EQ(Curves().curve.points.GetSize(), 2u) << "the vertices stay";
    EXPECT_EQ(Value(13), 1.0);
    EXPECT_EQ(Value(15), 0.0);

    DG::ClickItem(Palette, 19);
    EXPECT_EQ(Curves().curve.points.GetSize(), 2u) << "the ceiling keeps the curve until it is built";
    DG::ClickItem(Palette, 8);
    EXPECT_EQ(Value(8), 1.0);
    EXPECT_EQ(Value(19), 0.0) << "one method pressed";
    EXPECT_TRUE(Curves().curve.points.IsEmpty());

    EXPECT_EQ(DG::ClickItem(Palette, 2), 2) << "Abbrechen";
    EXPECT_EQ(Curves().curveMode, 0);
    EXPECT_EQ(Curves().curveStep, 0);
}

// Changing the step drops the pending points, and the prompt asks for the first again.
TEST_F(CurvePalette, AChangedStepAsksForItsFirstPoint)
{
    UseTool(API_SlabID, 15);
    OpenCurvePalette();
    DG::ClickItem(Palette, 9);
    Curves().AddMeasuredPoint({0, 0, 0}, nullptr);
    Curves().UpdateItems();
    EXPECT_EQ(Prompt(), "Zweiten Punkt des Liniensegments messen");
    DG::ClickItem(Palette, 14);
    EXPECT_TRUE(Curves().segmentPoints.IsEmpty());
    EXPECT_EQ(Prompt(), "Ersten Punkt des Bogensegments messen");
}

// The main palette's option opens the palette for its tool and shows it pressed
// while it is open; closing it by the close box, "Abbrechen" or "Erstellen"
// releases the option. The wall's option 15 is its poly wall, an ordinary option
// remembered for the tool: it opens nothing.
TEST_F(CurvePalette, TheMainPalettesOptionOpensItAndClosingReleasesIt)
{
    struct Case
    {
        const char* name;
        API_ElemTypeID tool;
        short option;
        short closedBy;  // an item of the palette, or the close box
    };
    const Case cases[] = {
        {"polyline", API_PolyLineID, 14, DG::CloseBox},
        {"fill", API_HatchID, 15, Curve3DPalette::CancelItem},
        {"slab", API_SlabID, 15, Curve3DPalette::CreateItem},
        {"morph", API_MorphID, 15, DG::CloseBox},
    };
    Main().ToggleMainPalette();
    for (const Case& c : cases)
    {
        Host().SelectTool(c.tool);
        DG::ChangeItem(Survanto::MainPaletteDialogId, c.option, 1.0);
        ASSERT_TRUE(DG::IsOpen(Palette)) << c.name;
        EXPECT_EQ(Main().MainPaletteItemValue(c.option), 1.0) << c.name;
        EXPECT_EQ(Main().measuringMode, c.option) << c.name;
        EXPECT_EQ(Curves().toolType, c.tool) << c.name;
        EXPECT_TRUE(Enabled(Curve3DPalette::Dimension2DItem)) << c.name << ": the curve plane is offered";
        if (c.closedBy == DG::CloseBox)
            DG::CloseByUser(Palette);
        else
            DG::ClickItem(Palette, c.closedBy);
        EXPECT_FALSE(DG::IsOpen(Palette)) << c.name;
        EXPECT_EQ(Main().MainPaletteItemValue(c.option), 0.0) << c.name;
    }
    Host().SelectTool(API_WallID);
    DG::ChangeItem(Survanto::MainPaletteDialogId, 15, 1.0);
    EXPECT_FALSE(DG::IsOpen(Palette)) << "the poly wall";
    EXPECT_EQ(Main().measuringMode, 15);
    EXPECT_EQ(Main().SavedToolOptionOf(API_WallID), 2);
}

// Both curve palettes are one dialog, so only one of them opens at a time: a new
// profile asked for while the rail's palette is open is refused with an alert and
// the rail keeps its curve; the rail asked for while a profile is being measured
// is refused the same way and its option goes off again.
TEST_F(CurvePalette, TheRailsAndTheProfilesCurvePalettesOpenOneAtATime)
{
    const char* const alert = "Survanto - Warnung!: Die Polygonpalette ist schon für eine andere Messung geöffnet. "
                              "Bitte schließen Sie sie zuerst.";
    const short mainPalette = Survanto::MainPaletteDialogId;
    const short profilePalette = 32426;
    const Curve3DPalette& profileCurve = Main().sectionPalette.curvePalette;
    Main().ToggleMainPalette();
    Host().SelectTool(API_MorphID);
    DG::ChangeItem(mainPalette, 15, 1.0);
    ASSERT_TRUE(DG::IsOpen(Palette));
    Curves().curve.points.Add({1, 2, 3});
    DG::ChangeItem(mainPalette, 14, 1.0);
    ASSERT_TRUE(DG::IsOpen(profilePalette));
    DG::ClearRecordedAlerts();

    DG::ChangeItem(profilePalette, 6, 1);
    EXPECT_EQ(Host().Fact("alerts"), std::string("[") + alert + "]");
    EXPECT_EQ(profileCurve.GetOpenMode(), CDialogBase::Closed);
    EXPECT_FALSE(profileCurve.sectionMode);
    EXPECT_NE(Curves().GetOpenMode(), CDialogBase::Closed);
    EXPECT_EQ(Curves().curve.points.GetSize(), 1u) << "the rail keeps its point";

    DG::CloseByUser(Palette);
    DG::ChangeItem(profilePalette, 6, 1);
    ASSERT_NE(profileCurve.GetOpenMode(), CDialogBase::Closed);
    EXPECT_EQ(profileCurve.curveMode, Curve3DPalette::PlaneMethodItem) << "the profile's plane first";
    DG::ClearRecordedAlerts();
    DG::ChangeItem(mainPalette, 15, 1.0);
    EXPECT_EQ(Host().Fact("alerts"), std::string("[") + alert + "]");
    EXPECT_EQ(Curves().GetOpenMode(), CDialogBase::Closed);
    EXPECT_EQ(Main().MainPaletteItemValue(15), 0.0);
    EXPECT_EQ(Main().measuringMode, 0);
    EXPECT_EQ(Main().pointStep, 0);
    EXPECT_NE(profileCurve.GetOpenMode(), CDialogBase::Closed);
}

// Each method shows its steps with its icons, and the step buttons' tooltips
// tell what the steps mean for it.
TEST_F(CurvePalette, MethodsPutTheirIconsAndTooltipsOnTheSteps)
{
    struct Step
    {
        short item;
        short icon;
        const char* tooltip;
    };
    struct Case
    {
        short method;
        std::vector<Step> steps;
    };
    const Case cases[] = {
        {11,
         {{13, 32637, "Horizontale Ebene mit einem Punkt messen"},
          {14, 32638, "Allgemeine Ebene mit drei Punkten messen"},
          {15, 32639, "Vertikale Ebene mit zwei Punkten messen"}}},
        {8, {{13, 32628, "Gerades Segment"}, {14, 32629, "Tangentiales Bogensegment"}, {15, 32630, "Bogen mit zwei Punkten"}}},
        {9, {{13, 32649, "Gerades Segment"}, {14, 32650, "Bogen mit drei Punkten"}}},
        {10, {{13, 32648, "Spline"}}},
        {11, {{13, 32637, "Horizontale Ebene mit einem Punkt messen"}}},
    };
    Main().ToggleMainPalette();
    Host().SelectTool(API_MorphID);
    DG::ChangeItem(Survanto::MainPaletteDialogId, 15, 1.0);
    DG::ClickItem(Palette, Curve3DPalette::Dimension2DItem);
    for (const Case& c : cases)
    {
        DG::ClickItem(Palette, c.method);
        ASSERT_EQ(Curves().curveMode, c.method);
        for (const Step& step : c.steps)
        {
            EXPECT_TRUE(Shown(step.item)) << c.method << " " << step.item;
            EXPECT_EQ(DG::GetItemIcon(Palette, step.item), step.icon) << c.method << " " << step.item;
            EXPECT_EQ(DG::GetItemTooltip(Palette, step.item).ToUtf8(), step.tooltip) << c.method << " " << step.item;
        }
        if (c.method == 11)
        {
            DG::ClickItem(Palette, 13);
            Curves().AddMeasuredPoint({0, 0, 1}, nullptr);
            ASSERT_TRUE(Curves().planeDefined) << "the 2D methods need the plane";
        }
    }
}

// "Erstellen" and "Abbrechen" keep to the bottom edge of a growing palette; a
// docked palette moves nothing.
TEST_F(CurvePalette, ItsButtonsFollowTheBottomEdgeUnlessDocked)
{
    UseTool(API_SlabID, 15);
    OpenCurvePalette();
    const DG::Size size = DG::GetClientSize(Palette);
    DG::ResizeByUser(Palette, size.width, static_cast<short>(size.height + 30));
    for (const short item : {Curve3DPalette::CreateItem, Curve3DPalette::CancelItem})
        EXPECT_EQ(DG::GetItemRect(Palette, item).top, 206) << item;
    EXPECT_EQ(DG::GetItemRect(Palette, Curve3DPalette::CreateItem).left, 105);
    EXPECT_EQ(DG::GetItemRect(Palette, Curve3DPalette::PromptItem).top, 125);

    DG::SetPaletteDocked(Palette, true);
    DG::ResizeByUser(Palette, size.width, static_cast<short>(size.height + 60));
    EXPECT_EQ(DG::GetItemRect(Palette, Curve3DPalette::CreateItem).top, 206);
}

TEST_F(CurvePalette, AProfilePlaneIsMeasuredFirst)
{
    UseTool(API_MorphID, 14);
    Main().sectionPalette.curvePalette.sectionMode = true;
    Curve3DPalette& profile = Main().sectionPalette.curvePalette;
    profile.toolType = API_MorphID;
    profile.SetResourceModules(CurrentResourceModule());
    ASSERT_EQ(profile.OpenPalette(0), 0);
    EXPECT_EQ(profile.curveMode, 11);
    EXPECT_FALSE(profile.planeDefined);
    EXPECT_EQ(Prompt(), "Zuerst die Ebene der Kurve definieren");
    EXPECT_FALSE(Enabled(8)) << "no plane yet";

    DG::ClickItem(Palette, 15);
    EXPECT_EQ(Prompt(), "Messen Sie den Ursprung der Ebene");
    profile.AddMeasuredPoint({0, 0, 0}, nullptr);
    profile.AddMeasuredPoint({3, 4, 0}, nullptr);
    EXPECT_TRUE(profile.planeDefined);
    EXPECT_EQ(profile.curveStep, 0);
    ExpectVector(profile.plane.normal, {-0.8, 0.6, 0}, "vertical plane");
    EXPECT_TRUE(Enabled(8)) << "the 2D methods once the plane stands";
    EXPECT_FALSE(Enabled(10)) << "no spline for a profile";

    DG::ClickItem(Palette, 15);
    profile.AddMeasuredPoint({1, 1, 0}, nullptr);
    profile.AddMeasuredPoint({1, 1, 5}, nullptr);
    EXPECT_EQ(profile.curveStep, 15) << "points at one plan position give no plane";
    EXPECT_TRUE(profile.planePoints.IsEmpty());
}

TEST_F(CurvePalette, ASideOfTwoPointsTellsItsCompletion)
{
    Curves().curveMode = 9;
    Curves().curveStep = 13;
    Curves().SetHorizontalPlane({0, 0, 0});
    std::uint8_t completed = 0;
    Curves().AddMeasuredPoint({0, 0, 0}, &completed);
    EXPECT_EQ(completed, 0);
    Curves().AddMeasuredPoint({2, 0, 0}, &completed);
    EXPECT_EQ(completed, 1);
    completed = 0;
    Curves().AddMeasuredPoint({0, 1, 0}, &completed);
    Curves().AddMeasuredPoint({2, 1, 0}, &completed);
    EXPECT_EQ(completed, 0) << "a parallel side is dropped";
    Curves().curveMode = 8;
    Curves().AddMeasuredPoint({5, 5, 0}, &completed);
    EXPECT_EQ(completed, 0) << "only method 9 tells";
}

TEST_F(CurvePalette, ErstellenClosesTheMeasuredSlabAndMakesIt)
{
    UseTool(API_SlabID, 15);
    OpenCurvePalette();
    StartMode(15);
    DG::ClickItem(Palette, 8);
    Shoot({0, 0, 0});
    Shoot({4, 0, 0});
    DG::ClickItem(Palette, 14);
    Shoot({5, 1, 0});
    DG::ClickItem(Palette, 15);
    Shoot({6, 3, 0});
    Shoot({4, 5, 0});
    auto display = Stored(API_PolyLineID);
    ASSERT_EQ(display.size(), 1u) << "one display polyline";
    EXPECT_EQ(display[0]->memo.parcs.size(), 2u);
    EXPECT_EQ(display[0]->record.header.layer, 1);

    EXPECT_EQ(DG::ClickItem(Palette, 1), 1);
    EXPECT_TRUE(Stored(API_PolyLineID).empty()) << "the display is gone";
    const auto slabs = Stored(API_SlabID);
    ASSERT_EQ(slabs.size(), 1u);
    const API_ElementMemo& memo = slabs[0]->memo;
    ASSERT_EQ(memo.coords.size(), 6u) << "five vertices, the first repeated";
    EXPECT_NEAR(memo.coords[5].x, 0.0, 1e-12);
    EXPECT_NEAR(memo.coords[5].y, 0.0, 1e-12);
    EXPECT_EQ(memo.parcs.size(), 3u) << "the closing segment is a tangential arc";
    EXPECT_EQ(memo.pends, (std::vector<std::int32_t> {0, 5}));
    EXPECT_TRUE(Curves().curve.points.IsEmpty());
    EXPECT_TRUE(Curves().shownPolylines.IsEmpty()) << "the slab stays in the project";
    EXPECT_EQ(Main().measuringMode, 0);
    EXPECT_EQ(Main().pointStep, 1);
    EXPECT_EQ(Main().MainPaletteItemValue(15), 0.0);
}

TEST_F(CurvePalette, ThreeCeilingPointsMakeTheSlabAndClose)
{
    UseTool(API_SlabID, 15);
    OpenCurvePalette();
    DG::ClickItem(Palette, 19);
    Curves().AddMeasuredPoint({0, 0, 3}, nullptr);
    Curves().AddMeasuredPoint({0, 0, 2.9}, nullptr);
    Curves().AddMeasuredPoint({2, 2, 3}, nullptr);
    EXPECT_TRUE(Stored(API_SlabID).empty()) << "no direction in plan";
    EXPECT_TRUE(Curves().ceilingPoints.IsEmpty());
    EXPECT_NE(Curves().GetOpenMode(), CDialogBase::Closed);

    Curves().AddMeasuredPoint({0, 0, 3}, nullptr);
    Curves().AddMeasuredPoint({4, 0, 3}, nullptr);
    Curves().AddMeasuredPoint({1, 3, 2.8}, nullptr);
    const auto slabs = Stored(API_SlabID);
    ASSERT_EQ(slabs.size(), 1u);
    const std::vector<API_Coord> expected {{0, 0}, {0, 0}, {4, 0}, {4, 3}, {0, 3}, {0, 0}};
    ASSERT_EQ(slabs[0]->memo.coords.size(), expected.size());
    for (std::size_t i = 1; i < expected.size(); ++i)
    {
        EXPECT_NEAR(slabs[0]->memo.coords[i].x, expected[i].x, 1e-12) << i;
        EXPECT_NEAR(slabs[0]->memo.coords[i].y, expected[i].y, 1e-12) << i;
    }
    EXPECT_EQ(Curves().GetOpenMode(), CDialogBase::Closed);
    EXPECT_TRUE(Curves().ceilingPoints.IsEmpty());
}

TEST_F(CurvePalette, ErstellenHandsTheCurveToTheCurrentToolsCreator)
{
    struct Case
    {
        const char* name;
        API_ElemTypeID tool;
        std::size_t vertices;
        API_ElemTypeID made;
        std::size_t count;
        std::int16_t released;
    };
    const Case cases[] = {
        {"walls", API_WallID, 5, API_WallID, 4, 15},
        {"walls of an empty curve", API_WallID, 0, API_WallID, 0, 15},
        {"slab", API_SlabID, 5, API_SlabID, 1, 15},
        {"fill", API_HatchID, 5, API_HatchID, 1, 15},
        {"polyline", API_PolyLineID, 5, API_PolyLineID, 1, 14},
        {"morph along the rail", API_MorphID, 5, API_MorphID, 1, 15},
        {"morph without a rail", API_MorphID, 1, API_MorphID, 0, 15},
        {"another tool", API_ColumnID, 5, API_ColumnID, 0, 0},
    };
    // The morph sweeps the current profile, a small triangle, along the curve.
    SectionPalette::SectionDataType profile;
    for (const API_Coord c : {API_Coord {}, API_Coord {0, 0}, API_Coord {0.2, 0}, API_Coord {0, 0.2}, API_Coord {0, 0}})
        profile.coords.Add(c);
    profile.ends.Add(0);
    profile.ends.Add(4);
    profile.coordCount = 4;
    profile.endCount = 1;
    Main().sectionPalette.currentPolygons.Add(profile);
    for (const Case& c : cases)
    {
        Model().content.elements.clear();
        Main().currentTool = c.tool;
        SetItem(14, 1.0);
        SetItem(15, 1.0);
        SetCurve(std::vector<API_Coord3D>(square.begin(), square.begin() + static_cast<std::ptrdiff_t>(c.vertices)));
        Main().measuringMode = 15;
        Main().pointStep = 3;
        EXPECT_EQ(Curves().CreateElements(), 1) << c.name;
        EXPECT_EQ(Stored(c.made).size(), c.count) << c.name;
        EXPECT_EQ(Main().MainPaletteItemValue(14), c.released == 14 ? 0.0 : 1.0) << c.name;
        EXPECT_EQ(Main().MainPaletteItemValue(15), c.released == 15 ? 0.0 : 1.0) << c.name;
        EXPECT_TRUE(Curves().curve.points.IsEmpty()) << c.name;
        EXPECT_TRUE(Curves().shownPolylines.IsEmpty()) << c.name;
        EXPECT_EQ(Main().measuringMode, 0) << c.name;
        EXPECT_EQ(Main().pointStep, 1) << c.name;
    }
}

TEST_F(CurvePalette, AProfileCurveGoesToTheSectionPalette)
{
    Main().currentTool = API_MorphID;
    Curve3DPalette& profile = Main().sectionPalette.curvePalette;
    profile.sectionMode = true;
    profile.plane = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {0, 0, 0}};
    profile.curve.points.Add({0, 0, 0});
    profile.curve.points.Add({1, 2, 0});
    SetItem(15, 1.0);
    DG::SetModalAnswerer([](DG::Dialog&) { return DG::Accept; });
    profile.CreateElements();
    DG::SetModalAnswerer(nullptr);
    ASSERT_EQ(Main().sectionPalette.profileNames.GetSize(), 1u);
    ASSERT_EQ(Main().sectionPalette.currentPolygons.GetSize(), 1u);
    EXPECT_EQ(Main().sectionPalette.currentPolygons[0].coordCount, 2) << "with the palette's curve";
    EXPECT_EQ(Main().MainPaletteItemValue(15), 1.0) << "no main palette option to release";
    EXPECT_TRUE(profile.curve.points.IsEmpty());
}

TEST_F(CurvePalette, TheDispatcherFeedsThePaletteOfItsModeAndTool)
{
    UseTool(API_PolyLineID, 14);
    Curves().curveMode = 8;
    Curves().curveStep = 13;
    StartMode(14);
    Shoot({0, 0, 0});
    Shoot({3, 0, 0});
    EXPECT_EQ(Curves().curve.points.GetSize(), 2u);
    EXPECT_EQ(Stored(API_PolyLineID).size(), 1u) << "the polyline is shown on the tool's layer";

    Model().content.elements.clear();
    UseTool(API_HatchID, 15);
    Curves().curveMode = 8;
    Curves().curveStep = 13;
    StartMode(15);
    Shoot({0, 0, 0});
    Shoot({3, 0, 0});
    Shoot({3, 3, 0});
    const auto display = Stored(API_PolyLineID);
    ASSERT_EQ(display.size(), 1u);
    EXPECT_EQ(display[0]->memo.coords.size(), 4u);

    UseTool(API_MorphID, 14);
    Curve3DPalette& profile = Main().sectionPalette.curvePalette;
    profile.curveMode = 8;
    profile.curveStep = 13;
    StartMode(14);
    Shoot({1, 1, 1});
    EXPECT_EQ(profile.curve.points.GetSize(), 1u) << "profile points go to the section palette's curve";

    UseTool(API_WallID, 15);
    Curves().curveMode = 8;
    Curves().curveStep = 13;
    StartMode(15);
    Shoot({0, 0, 0});
    Shoot({2, 0, 0});
    EXPECT_TRUE(Curves().curve.points.IsEmpty()) << "the wall row collects for the polygon finish";
    EXPECT_EQ(Main().actionPoints.GetSize(), 2u);
}

namespace
{

// A section, elevation or interior elevation in front, its element in the project.
class ViewInFront : public CurvePalette
{
protected:
    void ShowView(std::int32_t window, API_ElemTypeID type, std::vector<API_Coord> main, std::vector<API_Coord> distance,
                  std::vector<std::int32_t> segments, std::int32_t shownSegment)
    {
        SimHost::StoredElement view;
        view.record.header.typeID = type;
        view.record.header.guid = Model().NewGuid();
        view.record.cutPlane.segmentCount = static_cast<std::int32_t>(segments.size());
        view.memo.sectionMainCoords = std::move(main);
        view.memo.sectionDistCoords = std::move(distance);
        for (const std::int32_t count : segments) view.memo.sectionSegments.push_back({count});
        Model().content.elements.push_back(view);
        Model().frontWindow = window;
        Model().currentDatabase = API_DatabaseInfo {};
        Model().currentDatabase.typeID = window;
        Model().currentDatabase.elementGuid = view.record.header.guid;
        Model().currentDatabase.segmentNumber = shownSegment;
    }
    API_Coord3D Measure(const API_Coord3D& point)
    {
        Curves().curve = Curve3DPalette::CurveData {};
        Curves().curveMode = 8;
        Curves().curveStep = 13;
        Curves().curveDimension = Curve3DPalette::Dimension3DItem;
        const API_DatabaseInfo before = Model().currentDatabase;
        Curves().AddMeasuredPoint(point, nullptr);
        EXPECT_EQ(Model().currentDatabase.typeID, before.typeID) << "the view's database is current again";
        EXPECT_EQ(Model().currentDatabase.elementGuid, before.elementGuid);
        return Curves().curve.points.IsEmpty() ? API_Coord3D {-99, -99, -99} : Curves().curve.points[0];
    }
};

}  // namespace

TEST_F(ViewInFront, PointsLandInTheViewsOwnCoordinates)
{
    struct Case
    {
        const char* name;
        std::int32_t window;
        API_Coord distanceEnd;
        API_Coord3D point, expected;
    };
    // The line runs from (-5, 2) to (5, 2); the origin's foot is (0, 2).
    const Case cases[] = {
        {"section looking left, foot ahead", APIWind_SectionID, {0, 10}, {2.5, 7, 3}, {2.5, 3, 0}},
        {"section looking right, foot ahead", APIWind_SectionID, {0, -10}, {2.5, 7, 3}, {-2.5, 3, 0}},
        {"elevation looking left, foot behind", APIWind_ElevationID, {0, 10}, {-4, -1, 1}, {-4, 1, 0}},
        {"elevation looking right, foot behind", APIWind_ElevationID, {0, -10}, {-4, -1, 1}, {4, 1, 0}},
    };
    for (const Case& c : cases)
    {
        Model().content.elements.clear();
        ShowView(c.window, c.window == APIWind_SectionID ? API_CutPlaneID : API_ElevationID, {{-5, 2}, {5, 2}},
                 {{-5, 2}, c.distanceEnd}, {2}, 0);
        ExpectPoint(Measure(c.point), c.expected, c.name);
    }
}

TEST_F(ViewInFront, AnInteriorElevationUsesTheLineOfItsShownSegment)
{
    const std::vector<API_Coord> room {{0, 0}, {10, 0}, {10, 0}, {10, 10}, {10, 10}, {0, 10}};
    ShowView(APIWind_InteriorElevationID, API_InteriorElevationID, room, {{0, 0}, {5, 5}}, {2, 2, 2}, 2);
    ExpectPoint(Measure({3, 4, 2}), {-3, 2, 0}, "along the third segment, from (10, 10) to (0, 10)");

    // A segment whose line lies beyond the main line's coordinates leaves the point as measured.
    Model().content.elements.clear();
    ShowView(APIWind_InteriorElevationID, API_InteriorElevationID, room, {{0, 0}, {5, 5}}, {2, 2, 2, 2}, 3);
    ExpectPoint(Measure({3, 4, 2}), {3, 4, 2}, "past the memo");
}

TEST_F(ViewInFront, OtherWindowsAndViewsWithoutElementLeaveThePoint)
{
    ShowView(APIWind_SectionID, API_CutPlaneID, {{-5, 2}, {5, 2}}, {{-5, 2}, {0, 10}}, {2}, 0);
    Model().frontWindow = APIWind_3DModelID;
    ExpectPoint(Measure({2.5, 7, 3}), {2.5, 7, 3}, "3D window");
    Model().frontWindow = APIWind_SectionID;
    Model().currentDatabase.elementGuid = APINULLGuid;
    ExpectPoint(Measure({2.5, 7, 3}), {2.5, 7, 3}, "no element");
}

namespace
{

// The host refusing one of the reads that tell where a point lies in the view.
std::int32_t refusedRequest = 0;
HostServiceSignature::HostDatabaseRequest hostDatabaseRequest = nullptr;
GSErrCode DatabaseRequestRefusingOne(HostToken token, std::int32_t code, void* par1, void* par2)
{
    return code == refusedRequest ? APIERR_GENERAL : hostDatabaseRequest(token, code, par1, par2);
}
GSErrCode MemoRefused(HostToken, const API_Guid*, API_ElementMemo*, std::uint64_t) { return APIERR_GENERAL; }
GSErrCode ElementRefused(HostToken, API_Element*) { return APIERR_GENERAL; }

}  // namespace

// Where the host cannot tell the view in front or hand out its element, the
// point's place in the view is unknown: it is not taken, rather than taken as a
// model point among the view's own coordinates.
TEST_F(ViewInFront, APointIsNotTakenWhenTheViewCannotBeRead)
{
    enum Refusal
    {
        None,
        FrontWindow,
        Database,
        Memo,
        Element
    };
    struct Case
    {
        const char* name;
        Refusal refusal;
        bool taken;
    };
    const Case cases[] = {
        {"every read answered", None, true},           {"front window refused", FrontWindow, false},
        {"current database refused", Database, false}, {"view's memo refused", Memo, false},
        {"view's element refused", Element, false},
    };
    for (const Case& c : cases)
    {
        Model().content.elements.clear();
        ShowView(APIWind_SectionID, API_CutPlaneID, {{-5, 2}, {5, 2}}, {{-5, 2}, {0, 10}}, {2}, 0);
        ReplacedServices replaced(Host());
        refusedRequest = c.refusal == FrontWindow ? FourCC("GWIN") : c.refusal == Database ? FourCC("GDAT") : 0;
        hostDatabaseRequest = REPLACE_HOST_SERVICE(replaced, HostDatabaseRequest, DatabaseRequestRefusingOne);
        if (c.refusal == Memo) REPLACE_HOST_SERVICE(replaced, HostGetElementMemo, MemoRefused);
        if (c.refusal == Element) REPLACE_HOST_SERVICE(replaced, HostGetElement, ElementRefused);
        const API_Coord3D taken = Measure({2.5, 7, 3});
        // Looking left, the foot (2.5, 2) lies 2.5 m ahead of the origin's foot (0, 2), 3 m up.
        ExpectPoint(taken, c.taken ? API_Coord3D {2.5, 3, 0} : API_Coord3D {-99, -99, -99}, c.name);
    }
}

TEST(CurvePaletteTexts, EveryLanguageHasTheDialogAndItsPrompts)
{
    const RS::ResModule german = RS::RegisterEmbeddedModule(SurvantoResources, SurvantoResourcesSize);
    const LanguageFile english {"SurvantoInt.lng"};
    const LanguageFile french {"SurvantoFra.lng"};
    EXPECT_EQ(RS::GetIndString(Curve3DPalette::PromptListId, 15, german).ToUtf8(), "Ersten Punkt des Liniensegmenst messen");
    EXPECT_EQ(RS::GetIndString(Curve3DPalette::PromptListId, 21, german).ToUtf8(), "Startpunkt der Geraden messen");
    DG::ForgetAllDialogs();
    const std::vector<DG::Item> items = DG::GetDialog(Palette, german)->items;
    EXPECT_EQ(DG::GetDialog(Palette)->title.ToUtf8(), "Polygonpalette");
    ASSERT_EQ(items.size(), 19u);
    for (const RS::ResModule module : {german, english.module(), french.module()})
    {
        EXPECT_EQ(RS::GetModule(module)->GetStringCount(Curve3DPalette::PromptListId), 21u) << module;
        for (std::int16_t i = 1; i <= 21; ++i) EXPECT_FALSE(RS::GetIndString(Curve3DPalette::PromptListId, i, module).IsEmpty());
        DG::ForgetAllDialogs();
        const DG::Dialog* dialog = DG::GetDialog(Palette, module);
        ASSERT_NE(dialog, nullptr) << module;
        ASSERT_EQ(dialog->items.size(), items.size()) << module;
        for (std::size_t i = 0; i < items.size(); ++i)
        {
            EXPECT_EQ(dialog->items[i].id, items[i].id);
            EXPECT_EQ(dialog->items[i].type, items[i].type);
            EXPECT_EQ(dialog->items[i].group, items[i].group);
        }
    }
    DG::ForgetAllDialogs();
    RS::CloseResourceModule(german);
}
