// Placing orthophoto jobs into the host's project: new sections and their
// reference ids, the pictures of each tile at their place, the layer, the own
// origin, a second apply, a missing image, worksheets and the pictures' BMP data.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "DG/DG.hpp"
#include "ElementServices.hpp"
#include "Graphics/NativeImage.hpp"
#include "Graphics/PngWriter.hpp"
#include "JobTestSupport.hpp"
#include "MainObjectFixture.hpp"
#include "measuring/MeasuringState.hpp"
#include "pointclouds/OrthophotoViews.hpp"

namespace
{

constexpr short Palette = 32465;
constexpr short List = 12;
constexpr double Tolerance = 1e-9;

// A vertical tile on the plan line y from x0 to x1, between heights z0 and z1.
struct Upright
{
    double x0, x1, z0, z1, y = 0.0;
};

// A flat tile from (x0, y0) to (x1, y1).
struct Flat
{
    double x0, y0, x1, y1;
};

class PlacementTest : public MainObjectFixture
{
protected:
    void SetUp() override
    {
        MainObjectFixture::SetUp();
        measuringState.stationAngle = 0.0;
    }
    void TearDown() override
    {
        measuringState.stationAngle = 0.0;
        MainObjectFixture::TearDown();
    }

    VaroImportPalette& Import() { return Main().importPalette; }

    std::string Image(const std::string& name)
    {
        const std::string path = folder_.path() + "/" + name + ".png";
        NewDisplay::NativeImage image(4, 4);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x) image.BlendPixel(x, y, Gfx::Color {200, 40, 40, 255});
        std::string error;
        EXPECT_TRUE(NewDisplay::WritePngFile(image, path, &error)) << error;
        return path;
    }

    OrtophotoDataPart Tile(const Upright& t)
    {
        return MakeTile(Image("t" + std::to_string(++images_)).c_str(), {t.x0, t.y, t.z0}, {t.x1, t.y, t.z0}, {t.x0, t.y, t.z1},
                        {t.x1, t.y, t.z1});
    }

    OrtophotoDataPart Tile(const Flat& t)
    {
        return MakeTile(Image("t" + std::to_string(++images_)).c_str(), {t.x0, t.y0, 0}, {t.x1, t.y0, 0}, {t.x0, t.y1, 0},
                        {t.x1, t.y1, 0});
    }

    template <typename TileShape>
    OrtophotoData& AddJob(const char* name, const ACDatabaseID& target, std::initializer_list<TileShape> tiles)
    {
        OrtophotoData job;
        job.jobName = GS::UniString(name);
        job.execute = true;
        job.target = target;
        for (const TileShape& tile : tiles) job.tiles.Add(Tile(tile));
        Import().importData.jobs.Add(job);
        return Import().importData.jobs[Import().importData.jobs.GetSize() - 1];
    }

    static ACDatabaseID NewView(std::int32_t type, const char* name) { return {type, APINULLGuid, 0, GS::UniString(name)}; }

    std::vector<SimHost::StoredElement> ElementsOf(API_ElemTypeID type)
    {
        std::vector<SimHost::StoredElement> found;
        for (const SimHost::StoredElement& e : Model().content.elements)
            if (e.record.header.typeID == type) found.push_back(e);
        return found;
    }

    std::string ToolReferenceId(API_ElemTypeID type) { return Model().DefaultsFor(type, 0).record.cutPlane.referenceId; }

    static void ExpectBox(const API_Box& box, double x0, double y0, double x1, double y1)
    {
        EXPECT_NEAR(box.xMin, x0, Tolerance);
        EXPECT_NEAR(box.yMin, y0, Tolerance);
        EXPECT_NEAR(box.xMax, x1, Tolerance);
        EXPECT_NEAR(box.yMax, y1, Tolerance);
    }

    // A section that exists before the apply; its view's identity.
    API_Guid ExistingSection(const char* name)
    {
        API_Guid element = APINULLGuid;
        HostCallUndoableCommand(GS::UniString(), [&] {
            element = CreateSectionView(GS::UniString(name), 0, -5, 10, -5, true, 0, 3);
            return NoError;
        });
        return Model().Find(element)->record.cutPlane.viewDatabase;
    }

    TempFolder folder_;
    int images_ = 0;
};

TEST_F(PlacementTest, ATwoTileJobGetsANewSectionAlongItsTiles)
{
    const OrtophotoData& job =
        AddJob("Fassade", NewView(ACDatabaseID::Section, "Fassade"), {Upright {1, 3, 0, 2}, Upright {3, 4, 0, 2}});
    const std::size_t stepsBefore = Model().undoSteps.size();
    Import().Apply(VaroImportPalette::AllJobs);

    const auto sections = ElementsOf(API_CutPlaneID);
    ASSERT_EQ(sections.size(), 1u);
    const API_CutPlaneType& cut = sections[0].record.cutPlane;
    EXPECT_STREQ(cut.name, "Fassade");
    EXPECT_STREQ(cut.referenceId, "S-01");
    EXPECT_EQ(cut.lowerLimit, 0.0);
    EXPECT_EQ(cut.upperLimit, 2.0);
    ASSERT_EQ(sections[0].memo.sectionMainCoords.size(), 2u);
    EXPECT_NEAR(sections[0].memo.sectionMainCoords[0].x, 1.0, Tolerance);
    EXPECT_NEAR(sections[0].memo.sectionMainCoords[1].x, 4.0, Tolerance);
    EXPECT_NEAR(sections[0].memo.sectionDistCoords[0].y, 1.0, Tolerance) << "the view looks from the left";
    EXPECT_EQ(ToolReferenceId(API_CutPlaneID), "S-02");

    EXPECT_EQ(job.target.databaseGuid, cut.viewDatabase);
    const auto pictures = ElementsOf(API_PictureID);
    ASSERT_EQ(pictures.size(), 2u);
    EXPECT_EQ(job.placedPictures.GetSize(), 2u);
    for (const SimHost::StoredElement& picture : pictures)
    {
        ASSERT_TRUE(picture.view.has_value());
        EXPECT_EQ(picture.view->databaseUnId, cut.viewDatabase);
        EXPECT_EQ(Model().content.layers.at(picture.record.header.layer).name, "Fassade");
    }
    ExpectBox(pictures[0].record.picture.destBox, 1, 0, 3, 2);
    ExpectBox(pictures[1].record.picture.destBox, 3, 0, 4, 2);
    EXPECT_EQ(Model().undoSteps.size(), stepsBefore + 2) << "two undoable commands";
    EXPECT_EQ(GetOwnChangeCounter(), 0);
    EXPECT_EQ(Model().currentDatabase.typeID, APIWind_FloorPlanID) << "the floor plan is current again";
    EXPECT_EQ(Model().frontWindow, APIWind_FloorPlanID) << "and in front again";
    EXPECT_EQ(Host().Fact("progress"), "\"Survanto Add-On\" \"Bilder aktualisieren.\" 2/2 closed");
}

TEST_F(PlacementTest, TheSectionsRangeReachesFromZeroToTheHighestTile)
{
    AddJob("Oben", NewView(ACDatabaseID::Section, "Oben"), {Upright {0, 1, 3, 6}});
    Import().Apply(VaroImportPalette::AllJobs);
    const auto sections = ElementsOf(API_CutPlaneID);
    ASSERT_EQ(sections.size(), 1u);
    EXPECT_EQ(sections[0].record.cutPlane.lowerLimit, 0.0);
    EXPECT_EQ(sections[0].record.cutPlane.upperLimit, 6.0);
}

TEST_F(PlacementTest, EachNewSectionTakesTheToolsReferenceIdAndCountsItUp)
{
    const std::pair<const char*, const char*> cases[] = {
        {"S-01", "S-02"}, {"S-09", "S-10"}, {"S-99", "S-100"}, {"A", "A1"}, {"007", "008"}};
    for (const auto& [given, next] : cases)
    {
        std::snprintf(Model().DefaultsFor(API_CutPlaneID, 0).record.cutPlane.referenceId, 256, "%s", given);
        Import().importData.jobs.Clear();
        AddJob("Wand", NewView(ACDatabaseID::Section, "Wand"), {Upright {0, 1, 0, 1}});
        Import().Apply(VaroImportPalette::AllJobs);
        const auto sections = ElementsOf(API_CutPlaneID);
        ASSERT_FALSE(sections.empty());
        EXPECT_STREQ(sections.back().record.cutPlane.referenceId, given);
        EXPECT_EQ(ToolReferenceId(API_CutPlaneID), next);
    }
}

// The count runs on the digits as text, so a run longer than any integer counts on.
TEST(ReferenceIds, CountOnWithCarryOverAnyNumberOfDigits)
{
    const std::pair<const char*, const char*> cases[] = {
        {"S-01", "S-02"},  {"S-09", "S-10"},
        {"S-99", "S-100"}, {"A", "A1"},
        {"007", "008"},    {"", "1"},
        {"9", "10"},       {"B2-9", "B2-10"},
        {"X0", "X1"},      {"S-99999999999999999999999", "S-100000000000000000000000"},
    };
    for (const auto& [given, next] : cases) EXPECT_EQ(NextReferenceId(given), next) << given;
}

TEST_F(PlacementTest, AnElevationGoesTheSameWay)
{
    AddJob("Nord", NewView(ACDatabaseID::Elevation, "Nord"), {Upright {0, 2, 0, 3}});
    Import().Apply(VaroImportPalette::AllJobs);
    const auto elevations = ElementsOf(API_ElevationID);
    ASSERT_EQ(elevations.size(), 1u);
    EXPECT_EQ(elevations[0].record.cutPlane.kind, 1);
    EXPECT_EQ(ToolReferenceId(API_ElevationID), "E-02");
    EXPECT_EQ(Host().Fact("pictures"), "elevation of element 1: 1");
}

// u 2 to 4 and v 1 to 3 turned by 90°: the corner (u 2, v 1) lies at (-1, 2).
TEST_F(PlacementTest, OnAFloorPlanTheStationAngleAndTheViewsTurnTurnThePictures)
{
    measuringState.stationAngle = Pi / 2;
    Model().planRotation = 30 * Degree;
    AddJob("Boden", {ACDatabaseID::FloorPlan, APINULLGuid, 0, {}}, {Flat {2, 1, 4, 3}});
    Import().Apply(VaroImportPalette::AllJobs);
    const auto pictures = ElementsOf(API_PictureID);
    ASSERT_EQ(pictures.size(), 1u);
    ExpectBox(pictures[0].record.picture.destBox, -1, 2, 1, 4);
    EXPECT_NEAR(pictures[0].record.picture.rotAngle, 120 * Degree, Tolerance);
    EXPECT_FALSE(pictures[0].view.has_value());
}

TEST_F(PlacementTest, PicturesGoOnTheTargetsStoreyAndTheJobsLayer)
{
    Model().content.storeyLevels[1] = 3.0;
    Model().content.layers[7] = SimHost::LayerEntry {"Fotos", 0};
    OrtophotoData& own = AddJob("Eigen", {ACDatabaseID::FloorPlan, APINULLGuid, 1, {}}, {Flat {0, 0, 1, 1}});
    own.layerFromJobName = false;
    own.layerIndex = 7;
    // Set before the next job is added, which may move the list.
    AddJob("A.B", {ACDatabaseID::FloorPlan, APINULLGuid, 0, {}}, {Flat {0, 0, 1, 1}});
    Import().Apply(VaroImportPalette::AllJobs);
    const auto pictures = ElementsOf(API_PictureID);
    ASSERT_EQ(pictures.size(), 2u);
    EXPECT_EQ(pictures[0].record.header.floorInd, 1);
    EXPECT_EQ(pictures[0].record.header.layer, 7);
    EXPECT_EQ(Model().content.layers.at(pictures[1].record.header.layer).name, "A_B");
}

TEST_F(PlacementTest, AnOwnOriginPutsTheLowestTileCornerThere)
{
    const API_Guid view = ExistingSection("Schnitt");
    OrtophotoData& job = AddJob("Wand", {ACDatabaseID::Section, view, 0, {}}, {Upright {4, 5, 1, 2}, Upright {3, 4, 1, 3}});
    job.origin = {10, 20, 0};
    job.hasOrigin = true;
    Import().Apply(VaroImportPalette::AllJobs);
    auto pictures = ElementsOf(API_PictureID);
    ASSERT_EQ(pictures.size(), 2u);
    ExpectBox(pictures[0].record.picture.destBox, 11, 20, 12, 21);
    ExpectBox(pictures[1].record.picture.destBox, 10, 20, 11, 22);

    job.hasOrigin = false;
    Import().Apply(VaroImportPalette::AllJobs);
    pictures = ElementsOf(API_PictureID);
    ASSERT_EQ(pictures.size(), 2u);
    ExpectBox(pictures[0].record.picture.destBox, 14, 21, 15, 22);
}

TEST_F(PlacementTest, ApplyingAgainReplacesThePicturesOnTheSameLayer)
{
    const OrtophotoData& job =
        AddJob("Halle", {ACDatabaseID::FloorPlan, APINULLGuid, 0, {}}, {Flat {0, 0, 1, 1}, Flat {1, 0, 2, 1}});
    Import().Apply(VaroImportPalette::AllJobs);
    const API_Guid first = job.placedPictures[0];
    const std::size_t layers = Model().content.layers.size();
    Import().Apply(VaroImportPalette::AllJobs);
    EXPECT_EQ(ElementsOf(API_PictureID).size(), 2u);
    EXPECT_EQ(Model().Find(first), nullptr);
    EXPECT_EQ(Model().content.layers.size(), layers);
    EXPECT_EQ(Host().Fact("progress"), "\"Survanto Add-On\" \"Bilder aktualisieren.\" 4/4 closed");
}

TEST_F(PlacementTest, ATileWithoutItsImageIsPassedOverAndStillCounted)
{
    OrtophotoData& job = AddJob("Lücke", {ACDatabaseID::FloorPlan, APINULLGuid, 0, {}}, {Flat {0, 0, 1, 1}, Flat {1, 0, 2, 1}});
    std::filesystem::remove(job.tiles[0].imagePath.ToUtf8());
    Import().Apply(VaroImportPalette::AllJobs);
    const auto pictures = ElementsOf(API_PictureID);
    ASSERT_EQ(pictures.size(), 1u);
    ExpectBox(pictures[0].record.picture.destBox, 1, 0, 2, 1);
    EXPECT_EQ(job.placedPictures.GetSize(), 1u);
    EXPECT_EQ(Host().Fact("progress"), "\"Survanto Add-On\" \"Bilder aktualisieren.\" 2/2 closed");
}

TEST_F(PlacementTest, OnlyJobsThatTakePartArePlacedAndAFlatJobGetsNoSection)
{
    OrtophotoData& resting = AddJob("Aus", {ACDatabaseID::FloorPlan, APINULLGuid, 0, {}}, {Flat {0, 0, 1, 1}});
    resting.execute = false;
    const OrtophotoData& flat = AddJob("Flach", NewView(ACDatabaseID::Section, "Flach"), {Flat {0, 0, 1, 1}});
    Import().Apply(VaroImportPalette::AllJobs);
    EXPECT_TRUE(ElementsOf(API_CutPlaneID).empty());
    EXPECT_TRUE(ElementsOf(API_PictureID).empty());
    EXPECT_EQ(flat.target.databaseGuid, APINULLGuid);
}

TEST_F(PlacementTest, ANewWorksheetIsMadeAndShowsThePictures)
{
    const OrtophotoData& job = AddJob("Blatt", NewView(ACDatabaseID::Worksheet, "Blatt"), {Flat {0, 0, 1, 1}});
    Import().Apply(VaroImportPalette::AllJobs);
    EXPECT_EQ(Host().Fact("views"), "worksheet:\"Blatt\"[Blatt]");
    EXPECT_NE(job.target.databaseGuid, APINULLGuid);
    EXPECT_EQ(Host().Fact("pictures"), "worksheet \"Blatt\": 1");
    EXPECT_EQ(Model().frontWindow, APIWind_FloorPlanID);
}

// Each picture holds its tile's image as a BMP file: 24 bits when every pixel is
// opaque, else 32 bits, rows bottom-up, the header with 72 dpi as 2835 pixels a
// metre. The image is 3 x 2 pixels, so a 24-bit row of 9 bytes is padded to 12.
TEST_F(PlacementTest, EachPictureHoldsItsTilesImageAsBmpData)
{
    using Bytes = std::vector<std::uint8_t>;
    struct Case
    {
        const char* name;
        std::uint8_t topMiddleAlpha;
        Bytes expected;
    };
    const auto header = [](std::uint8_t bits) {
        return Bytes {'B', 'M',  78, 0, 0, 0, 0, 0,  0, 0, 54, 0,    0,    0, 40, 0,    0,    0, 3, 0, 0, 0, 2, 0, 0, 0, 1,
                      0,   bits, 0,  0, 0, 0, 0, 24, 0, 0, 0,  0x13, 0x0B, 0, 0,  0x13, 0x0B, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    };
    const auto join = [](Bytes head, const Bytes& pixels) {
        head.insert(head.end(), pixels.begin(), pixels.end());
        return head;
    };
    const Case cases[] = {
        {"opaque", 255,
         join(header(24), {120, 110, 100, 150, 140, 130, 180, 170, 160, 0, 0, 0, 30, 20, 10, 60, 50, 40, 90, 80, 70, 0, 0, 0})},
        {"translucent", 128, join(header(32), {120, 110, 100, 255, 150, 140, 130, 255, 180, 170, 160, 255,
                                               30,  20,  10,  255, 60,  50,  40,  128, 90,  80,  70,  255})},
    };
    for (const Case& c : cases)
    {
        Import().importData.jobs.Clear();
        const OrtophotoData& job = AddJob(c.name, {ACDatabaseID::FloorPlan, APINULLGuid, 0, {}}, {Flat {0, 0, 3, 2}});
        // Red, green, blue, alpha; rows from the top.
        const Bytes rgba {10,  20,  30,  255, 40,  50,  60, c.topMiddleAlpha, 70, 80, 90, 255, 100, 110, 120, 255, 130,
                          140, 150, 255, 160, 170, 180, 255};
        std::string error;
        ASSERT_TRUE(NewDisplay::WritePngFile(NewDisplay::NativeImage(3, 2, rgba), job.tiles[0].imagePath.ToUtf8(), &error))
            << error;
        Import().Apply(VaroImportPalette::AllJobs);
        ASSERT_EQ(job.placedPictures.GetSize(), 1u) << c.name;
        const SimHost::StoredElement* picture = Model().Find(job.placedPictures[0]);
        ASSERT_NE(picture, nullptr) << c.name;
        EXPECT_EQ(picture->memo.pictureData, c.expected) << c.name;
    }
}

// A view that vanished makes the job's target the current storey's floor plan,
// its name kept; floor-plan targets are never changed.
TEST_F(PlacementTest, ATargetWhoseSectionWasDeletedBecomesTheCurrentFloorPlan)
{
    Model().content.storeyLevels[1] = 3.0;
    Model().currentStorey = 1;
    const API_Guid view = ExistingSection("Weg");
    AddJob("Weg", {ACDatabaseID::Section, view, 0, GS::UniString("Weg")}, {Upright {0, 1, 0, 1}});
    AddJob("Plan", {ACDatabaseID::FloorPlan, APINULLGuid, 0, {}}, {Flat {0, 0, 1, 1}});
    const OrtophotoData& gone = Import().importData.jobs[0];
    const OrtophotoData& plan = Import().importData.jobs[1];
    Import().importData.ValidateTargets();
    EXPECT_EQ(gone.target.databaseGuid, view) << "the section is there";
    ASSERT_EQ(SimHost::UserDeleteElement(Host(), Model().content.elements[0].record.header.guid), NoError);
    Import().importData.ValidateTargets();
    EXPECT_EQ(gone.target.databaseType, ACDatabaseID::FloorPlan);
    EXPECT_EQ(gone.target.databaseGuid, APINULLGuid);
    EXPECT_EQ(gone.target.storey, 1);
    EXPECT_EQ(gone.target.name, GS::UniString("Weg"));
    EXPECT_EQ(plan.target.storey, 0);
}

// Palette cases that need the add-on's own objects.
class ImportPaletteTest : public PlacementTest
{
protected:
    void Open()
    {
        Main().SaveModuleData();
        Import().SetResourceModules(CurrentResourceModule(), Main().resourceModules[0]);
        ASSERT_EQ(Import().OpenPalette(243), 0);
    }

    int Logged(const std::string& line)
    {
        int count = 0;
        for (const std::string& logged : Host().CallLog()) count += logged == line ? 1 : 0;
        return count;
    }
};

TEST_F(ImportPaletteTest, AStoredFirstColumnOfAnotherWidthResetsAllWidths)
{
    Main().importColumnWidths = {60, 32, 120, 120, 120, 32, 60};
    Open();
    EXPECT_EQ(Main().importColumnWidths, (std::array<std::int16_t, 7> {50, 32, 100, 100, 100, 32, 166}));
    EXPECT_EQ(DG::ListGetTabField(Palette, List, 7).begin, 414);
    EXPECT_EQ(DG::ListGetTabField(Palette, List, 7).end, 580);
    EXPECT_EQ(DG::ListGetTabField(Palette, List, 1).justification, 0x100);
    EXPECT_FALSE(DG::ListGetTabField(Palette, List, 6).separator);
    EXPECT_EQ(DG::ListGetRowHeight(Palette, List), 22);
}

// Widths that fit are laid out as stored, the last column filling the list.
TEST_F(ImportPaletteTest, StoredWidthsThatFitAreKept)
{
    Main().importColumnWidths = {50, 32, 120, 90, 150, 32, 10};
    Open();
    EXPECT_EQ(DG::ListGetTabField(Palette, List, 3).end - DG::ListGetTabField(Palette, List, 3).begin, 120);
    EXPECT_EQ(Main().importColumnWidths[6], 580 - 474);
    DG::GrowByUser(Palette, 700, 400);
    EXPECT_EQ(DG::GetItemWidth(Palette, List), 680);
    EXPECT_EQ(DG::ListGetTabField(Palette, List, 7).end, 680);
    EXPECT_EQ(Main().importColumnWidths[6], 680 - 474);
}

TEST_F(ImportPaletteTest, EveryClickOrChangeEndsAnInputAndSavesTheProject)
{
    AddJob("Fassade", {ACDatabaseID::FloorPlan, APINULLGuid, 0, {}}, {Flat {0, 0, 1, 1}}).execute = false;
    Open();
    const int before = Logged("HostInterfaceRequest INCA");
    DG::ClickListRow(Palette, List, 1, 10);
    EXPECT_EQ(Logged("HostInterfaceRequest INCA"), before + 2) << "the click and the selection's change";
    Import().importData.jobs.Clear();
    Main().LoadModuleData();
    ASSERT_EQ(Import().importData.jobs.GetSize(), 1u);
    EXPECT_TRUE(Import().importData.jobs[0].execute) << "the tick was saved with the project";
}

// Toggling the own origin asks for a point in the target view and places the
// job from it; toggling it off places it again from its stored origin.
TEST_F(ImportPaletteTest, TheOriginToggleAsksForAPointAndPlacesTheJob)
{
    const API_Guid view = ExistingSection("Schnitt");
    AddJob("Wand", {ACDatabaseID::Section, view, 0, {}}, {Upright {3, 4, 1, 2}});
    Open();
    DG::ClickListRow(Palette, List, 1, 200);
    Host().inputAnswers_.push_back(SimHost::InputAnswer::Picked(API_Coord3D {10, 20, 5}));
    DG::ChangeItem(Palette, 10, 1.0);
    const OrtophotoData& job = Import().importData.jobs[0];
    EXPECT_TRUE(job.hasOrigin);
    EXPECT_EQ(job.origin.x, 10.0);
    auto pictures = ElementsOf(API_PictureID);
    ASSERT_EQ(pictures.size(), 1u);
    ExpectBox(pictures[0].record.picture.destBox, 10, 20, 11, 21);
    EXPECT_EQ(DG::ListGetTabItemIcon(Palette, List, 1, 2).resourceId, 32655);

    DG::ChangeItem(Palette, 10, 0.0);
    pictures = ElementsOf(API_PictureID);
    ASSERT_EQ(pictures.size(), 1u);
    ExpectBox(pictures[0].record.picture.destBox, 13, 21, 14, 22);

    DG::ChangeItem(Palette, 10, 1.0);
    EXPECT_FALSE(Import().importData.jobs[0].hasOrigin) << "a cancelled pick leaves the origin off";
    EXPECT_EQ(DG::GetItemValue(Palette, 10), 0.0);
}

}  // namespace
