#include <string>
#include <vector>

#include "ElementServices.hpp"
#include "ReplacedServices.hpp"
#include "SectionPaletteFixture.hpp"

// Profiles taken from fills drawn in the project, placed back as fills, and the
// palette's preview, in the simulated host.

namespace
{

constexpr short PreviewItem = 5;
constexpr short NewProfilePopUp = 6;
constexpr short PlaceButton = 9;
constexpr short FromFills = 2;

struct Ring
{
    std::vector<API_Coord> corners;  // closed by repeating the first
};

// The host refusing the selection read that counts the elements, or the one that lists them.
bool refuseCounting = false;
HostServiceSignature::HostGetSelection hostSelection = nullptr;
GSErrCode SelectionReadRefused(HostToken token, API_SelectionInfo* info, std::vector<API_Neig>* neigs, bool onlyEditable,
                               bool ignorePartial)
{
    if ((neigs == nullptr) == refuseCounting) return APIERR_GENERAL;
    return hostSelection(token, info, neigs, onlyEditable, ignorePartial);
}

class ProfileFillsTest : public SectionPaletteTest
{
protected:
    void SetUp() override
    {
        SectionPaletteTest::SetUp();
        DG::ClearRecordedAlerts();
    }

    // A fill drawn by the user with the tool's settings, selected.
    API_Guid DrawFill(const std::vector<Ring>& rings, const std::vector<API_PolyArc>& arcs = {})
    {
        SimHost::StoredElement fill;
        fill.record = Model().DefaultsFor(API_HatchID, 0).record;
        fill.memo.coords = {API_Coord {}};
        fill.memo.pends = {0};
        for (const Ring& ring : rings)
        {
            fill.memo.coords.insert(fill.memo.coords.end(), ring.corners.begin(), ring.corners.end());
            fill.memo.pends.push_back(static_cast<std::int32_t>(fill.memo.coords.size() - 1));
        }
        fill.memo.parcs = arcs;
        fill.record.hatch.poly = {static_cast<std::int32_t>(fill.memo.coords.size() - 1),
                                  static_cast<std::int32_t>(fill.memo.pends.size() - 1), static_cast<std::int32_t>(arcs.size())};
        fill.record.hatch.fillPen = 4;
        fill.record.hatch.fillInd = 2;
        return Add(fill);
    }
    API_Guid DrawHotspot(double x, double y)
    {
        SimHost::StoredElement hotspot;
        hotspot.record = Model().DefaultsFor(API_HotspotID, 0).record;
        hotspot.record.hotspot.position = {x, y};
        return Add(hotspot);
    }
    API_Guid DrawWall()
    {
        SimHost::StoredElement wall;
        wall.record = Model().DefaultsFor(API_WallID, 0).record;
        wall.record.wall.endC = {1, 0};
        return Add(wall);
    }
    API_Guid Add(SimHost::StoredElement element)
    {
        element.record.header.guid = Model().NewGuid();
        element.record.header.hasMemo = element.record.header.typeID == API_HatchID;
        Model().content.elements.push_back(element);
        API_Neig neig;
        neig.guid = element.record.header.guid;
        neig.neigID = SimHost::NeigOfElementType(element.record.header.typeID);
        Model().selection.push_back(neig);
        return neig.guid;
    }

    std::vector<std::int32_t> AlertTexts()
    {
        std::vector<std::int32_t> texts;
        for (const DG::AlertRecord& alert : DG::RecordedAlerts())
        {
            EXPECT_EQ(alert.title.ToUtf8(), "Survanto - Fehler!");
            texts.push_back(alert.text1.ToUtf8() == "Es ist kein Fixpunkt ausgewählt"            ? 40
                            : alert.text1.ToUtf8() == "Es sind mehr als ein Fixpunkt ausgewählt" ? 41
                            : alert.text1.ToUtf8() == "Es ist keine Schraffur ausgewählt"        ? 42
                                                                                                 : 0);
        }
        return texts;
    }

    std::vector<const SimHost::StoredElement*> Placed(API_ElemTypeID type)
    {
        std::vector<const SimHost::StoredElement*> found;
        for (const SimHost::StoredElement& e : Model().content.elements)
            if (e.record.header.typeID == type) found.push_back(&e);
        return found;
    }

    static std::vector<std::vector<double>> Corners(const std::vector<API_Coord>& coords, std::size_t first)
    {
        std::vector<std::vector<double>> corners;
        for (std::size_t i = first; i < coords.size(); ++i) corners.push_back({coords[i].x, coords[i].y});
        return corners;
    }
};

TEST_F(ProfileFillsTest, FillsAreTakenRelativeToTheHotspot)
{
    DrawWall();
    DrawFill({{{{2, 3}, {4, 3}, {4, 5}, {2, 3}}}});
    DrawHotspot(2, 3);
    ASSERT_TRUE(Profiles().PolygonsFromSelectedFills());
    ASSERT_EQ(Profiles().currentPolygons.GetSize(), 1u) << "the wall is passed over";
    const SectionPalette::SectionDataType& polygon = Profiles().currentPolygons[0];
    ASSERT_EQ(polygon.coordCount, 4);
    std::vector<API_Coord> coords;
    for (std::int32_t i = 1; i <= polygon.coordCount; ++i) coords.push_back(polygon.coords[static_cast<std::uint32_t>(i)]);
    EXPECT_EQ(Corners(coords, 0), (std::vector<std::vector<double>> {{0, 0}, {2, 0}, {2, 2}, {0, 0}}));
    EXPECT_EQ(polygon.endCount, 1);
    EXPECT_EQ(polygon.ends[1], 4);
    EXPECT_EQ(polygon.fillPen, 4);
    EXPECT_EQ(polygon.fillPattern, 2);
    EXPECT_TRUE(AlertTexts().empty());
}

TEST_F(ProfileFillsTest, ASelectionWithoutOneHotspotAndAFillIsRefusedWithItsAlert)
{
    struct Case
    {
        const char* name;
        int hotspots;
        int fills;
        std::int32_t alert;
    };
    const std::vector<Case> cases {
        {"a fill alone", 0, 1, 40},
        {"nothing", 0, 0, 40},
        {"two hotspots", 2, 1, 41},
        {"a hotspot alone", 1, 0, 42},
    };
    for (const Case& c : cases)
    {
        Model().selection.clear();
        DG::ClearRecordedAlerts();
        Profiles().currentPolygons.Add(SectionPalette::SectionDataType {});
        for (int i = 0; i < c.fills; ++i) DrawFill({{{{0, 0}, {1, 0}, {1, 1}, {0, 0}}}});
        for (int i = 0; i < c.hotspots; ++i) DrawHotspot(i, 0);
        EXPECT_FALSE(Profiles().PolygonsFromSelectedFills()) << c.name;
        EXPECT_EQ(AlertTexts(), std::vector<std::int32_t> {c.alert}) << c.name;
        EXPECT_TRUE(Profiles().currentPolygons.IsEmpty()) << c.name;
    }
}

// Either read of the selection refused: the selection cannot be read, whatever it holds.
TEST_F(ProfileFillsTest, ASelectionThatCannotBeReadIsRefusedWithItsAlert)
{
    DrawFill({{{{2, 3}, {4, 3}, {4, 5}, {2, 3}}}});
    DrawHotspot(2, 3);
    for (const bool counting : {true, false})
    {
        const std::string name = counting ? "counting refused" : "listing refused";
        DG::ClearRecordedAlerts();
        Profiles().currentPolygons.Add(SectionPalette::SectionDataType {});
        ReplacedServices replaced(Host());
        refuseCounting = counting;
        hostSelection = REPLACE_HOST_SERVICE(replaced, HostGetSelection, SelectionReadRefused);
        EXPECT_FALSE(Profiles().PolygonsFromSelectedFills()) << name;
        EXPECT_EQ(AlertTexts(), std::vector<std::int32_t> {42}) << name;
        EXPECT_TRUE(Profiles().currentPolygons.IsEmpty()) << name;
    }
}

TEST_F(ProfileFillsTest, AFillWhoseMemoFallsShortOfItsCountsIsPassedOver)
{
    const API_Guid broken = DrawFill({{{{0, 0}, {1, 0}, {1, 1}, {0, 0}}}});
    DrawFill({{{{5, 5}, {6, 5}, {6, 6}, {5, 5}}}});
    DrawHotspot(5, 5);
    Model().Find(broken)->record.hatch.poly.nCoords = 40;
    ASSERT_TRUE(Profiles().PolygonsFromSelectedFills());
    ASSERT_EQ(Profiles().currentPolygons.GetSize(), 1u);
    EXPECT_EQ(Profiles().currentPolygons[0].coords[2].x, 1.0) << "the second fill, about (5, 5)";
}

// A profile from two fills (one with a hole, one with an arc edge), named in the
// palette, becomes current; placed elsewhere and taken back it keeps its geometry.
TEST_F(ProfileFillsTest, AProfileFromFillsPlacedAndTakenBackKeepsItsGeometry)
{
    DrawFill({{{{0, 0}, {4, 0}, {4, 3}, {0, 3}, {0, 0}}}, {{{1, 1}, {2, 1}, {2, 2}, {1, 1}}}});
    DrawFill({{{{5, 0}, {7, 0}, {7, 2}, {5, 0}}}}, {{2, 3, 1.2}});
    DrawHotspot(1, 0);
    AnswerName("Bogen");
    DG::ChangeItem(PaletteDialog, NewProfilePopUp, FromFills);
    ASSERT_EQ(Names(), (std::vector<std::string> {"Bogen"}));
    EXPECT_EQ(Profiles().currentProfile, 1) << "the new profile is current";
    ASSERT_EQ(Profiles().currentPolygons.GetSize(), 2u);
    std::vector<SectionPalette::SectionDataType> taken;
    for (const auto& polygon : Profiles().currentPolygons) taken.push_back(polygon);

    Model().content.elements.clear();
    Model().selection.clear();
    const std::size_t stepsBefore = Model().undoSteps.size();
    Host().inputAnswers_ = {SimHost::InputAnswer::Picked({10, 5, 0})};
    DG::ClickItem(PaletteDialog, PlaceButton);
    EXPECT_EQ(Model().undoSteps.size(), stepsBefore + 1) << "one undo step";
    const auto fills = Placed(API_HatchID);
    const auto hotspots = Placed(API_HotspotID);
    ASSERT_EQ(fills.size(), 2u);
    ASSERT_EQ(hotspots.size(), 1u);
    EXPECT_EQ(hotspots[0]->record.hotspot.position.x, 10.0);
    EXPECT_EQ(hotspots[0]->record.hotspot.position.y, 5.0);
    EXPECT_EQ(Corners(fills[0]->memo.coords, 1),
              (std::vector<std::vector<double>> {{9, 5}, {13, 5}, {13, 8}, {9, 8}, {9, 5}, {10, 6}, {11, 6}, {11, 7}, {10, 6}}));
    EXPECT_EQ(fills[0]->memo.pends, (std::vector<std::int32_t> {0, 5, 9}));
    ASSERT_EQ(fills[1]->memo.parcs.size(), 1u);
    EXPECT_EQ(fills[1]->memo.parcs[0].begIndex, 2);
    EXPECT_DOUBLE_EQ(fills[1]->memo.parcs[0].arcAngle, 1.2);
    const API_Element tool = Model().DefaultsFor(API_HatchID, 0).record;
    EXPECT_EQ(fills[1]->record.hatch.fillPen, tool.hatch.fillPen) << "the fill tool's settings, not the profile's";
    EXPECT_EQ(fills[1]->record.hatch.fillInd, tool.hatch.fillInd);

    for (const SimHost::StoredElement& e : Model().content.elements)
    {
        API_Neig neig;
        neig.guid = e.record.header.guid;
        neig.neigID = SimHost::NeigOfElementType(e.record.header.typeID);
        Model().selection.push_back(neig);
    }
    ASSERT_TRUE(Profiles().PolygonsFromSelectedFills());
    ASSERT_EQ(Profiles().currentPolygons.GetSize(), 2u);
    for (std::uint32_t p = 0; p < 2; ++p)
    {
        const auto& again = Profiles().currentPolygons[p];
        ASSERT_EQ(again.coordCount, taken[p].coordCount) << p;
        for (std::int32_t i = 1; i <= again.coordCount; ++i)
        {
            EXPECT_NEAR(again.coords[std::uint32_t(i)].x, taken[p].coords[std::uint32_t(i)].x, 1e-12) << p << " " << i;
            EXPECT_NEAR(again.coords[std::uint32_t(i)].y, taken[p].coords[std::uint32_t(i)].y, 1e-12) << p << " " << i;
        }
        EXPECT_EQ(again.arcCount, taken[p].arcCount) << p;
    }

    ASSERT_TRUE(Model().Undo());
    EXPECT_TRUE(Placed(API_HatchID).empty());
    EXPECT_TRUE(Placed(API_HotspotID).empty());
}

TEST_F(ProfileFillsTest, ACancelledPointPlacesNothingAndACancelledNameAddsNothing)
{
    DrawFill({{{{0, 0}, {1, 0}, {1, 1}, {0, 0}}}});
    DrawHotspot(0, 0);
    AnswerName("x", DG::Cancel);
    DG::ChangeItem(PaletteDialog, NewProfilePopUp, FromFills);
    EXPECT_TRUE(Names().empty());
    EXPECT_TRUE(Profiles().currentPolygons.IsEmpty()) << "no profile is current";
    AnswerName("Quadrat");
    DG::ChangeItem(PaletteDialog, NewProfilePopUp, FromFills);
    const std::size_t elements = Model().content.elements.size();
    Host().inputAnswers_ = {SimHost::InputAnswer {}};
    DG::ClickItem(PaletteDialog, PlaceButton);
    EXPECT_EQ(Model().content.elements.size(), elements);
}

// The 200 x 200 preview of a 1 m square: the square with its origin mark fills
// the box from (10, 10) to (180, 180) on white.
TEST_F(ProfileFillsTest, ThePreviewDrawsTheCurrentProfileIntoItsMargins)
{
    EXPECT_EQ(DG::UpdateUserItem(PaletteDialog, PreviewItem)->GetPixel(100, 100).alpha, 0) << "no profile: nothing drawn";
    DrawFill({{{{0, 0}, {1, 0}, {1, 1}, {0, 1}, {0, 0}}}});
    DrawHotspot(0, 0);
    AnswerName("Quadrat");
    DG::ChangeItem(PaletteDialog, NewProfilePopUp, FromFills);
    const NewDisplay::NativeImage* picture = DG::UpdateUserItem(PaletteDialog, PreviewItem);
    ASSERT_NE(picture, nullptr);
    ASSERT_EQ(picture->GetWidth(), 200u);
    ASSERT_EQ(picture->GetHeight(), 200u);
    const Gfx::Color white(255, 255, 255);
    int left = 200, right = -1, top = 200, bottom = -1;
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 200; ++x)
        {
            if (picture->GetPixel(x, y) == white) continue;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    EXPECT_NEAR(left, 10, 1);
    EXPECT_NEAR(right, 180, 1);
    EXPECT_NEAR(top, 10, 1);
    EXPECT_NEAR(bottom, 180, 1);
    EXPECT_EQ(picture->GetPixel(5, 100), white);
    EXPECT_NE(picture->GetPixel(100, 100), white) << "the square's fill";
}

}  // namespace
