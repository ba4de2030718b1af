#include <cmath>
#include <string>
#include <vector>

#include "DG/DG.hpp"
#include "SectionPaletteFixture.hpp"

// The profile palette's list and name dialog, and profiles measured with its own
// curve palette, in the simulated host.

namespace
{

TEST_F(SectionPaletteTest, TheNameDialogOffersAndFallsBackToTheDefaultName)
{
    struct Case
    {
        const char* name;
        std::int16_t mode;
        const char* shown;  // the name given to a rename
        const char* typed;  // null: left as offered
        short closing;
        short result;
        const char* offered;
        const char* named;
    };
    const std::vector<Case> cases {
        {"new, left as offered", SectionNamePalette::NewProfile, "", nullptr, DG::Accept, 1, "Neues Profil", "Neues Profil"},
        {"new, typed", SectionNamePalette::NewProfile, "", "Gesims", DG::Accept, 1, "Neues Profil", "Gesims"},
        {"rename, emptied", SectionNamePalette::Rename, "Sockel", "", DG::Accept, 1, "Sockel", "Neues Profil"},
        {"rename, cancelled", SectionNamePalette::Rename, "Sockel", "Fries", DG::Cancel, 2, "Sockel", "Sockel"},
    };
    for (const Case& c : cases)
    {
        SectionNamePalette& dialog = Profiles().nameDialog;
        dialog.nameMode = c.mode;
        dialog.name = GS::UniString(c.shown);
        dialog.SetResourceModules(CurrentResourceModule());
        offered.clear();
        AnswerName(c.typed, c.closing);
        EXPECT_EQ(dialog.OpenModal(), c.result) << c.name;
        ASSERT_EQ(offered.size(), 1u) << c.name;
        EXPECT_EQ(offered[0], c.offered) << c.name;
        EXPECT_EQ(dialog.name.ToUtf8(), c.named) << c.name;
    }
}

TEST_F(SectionPaletteTest, AMeasuredProfileBecomesCurrentAndTheListStaysSorted)
{
    Measure("b");
    Measure("a");
    EXPECT_EQ(Names(), (std::vector<std::string> {"a", "b"}));
    EXPECT_EQ(Profiles().currentProfile, 1) << "the new profile, sorted to the top";
    Measure("c");
    EXPECT_EQ(Names(), (std::vector<std::string> {"a", "b", "c"}));
    EXPECT_EQ(ListEntries(), Names());
    EXPECT_EQ(Profiles().currentProfile, 3);
    EXPECT_EQ(DG::ListViewGetSelected(PaletteDialog, ProfileList), 3);
    EXPECT_EQ(Profiles().profileImages.GetSize(), 3u);
}

TEST_F(SectionPaletteTest, ACancelledNameAddsNothingAndKeepsTheCurrentProfile)
{
    Measure("b");
    Measure("a");
    Profiles().currentProfile = 2;
    AnswerName("z", DG::Cancel);
    Profiles().CreateMeasuredProfile();
    EXPECT_EQ(Names(), (std::vector<std::string> {"a", "b"}));
    EXPECT_EQ(Profiles().currentProfile, 2);
    EXPECT_EQ(Profiles().currentPolygons.GetSize(), 1u) << "the measured polygon stays";
}

TEST_F(SectionPaletteTest, SortingCarriesTheCurrentProfileAlong)
{
    struct Case
    {
        std::vector<const char*> names;
        std::int16_t current;
        std::int16_t expected;
    };
    const std::vector<Case> cases {
        {{"b", "a", "c"}, 1, 2}, {{"b", "a", "c"}, 2, 1}, {{"b", "a", "c"}, 3, 3}, {{"c", "b", "a"}, 1, 3},
        {{"b", "a", "a"}, 2, 1}, {{"b", "a", "c"}, 0, 0}, {{"b", "a", "c"}, 4, 0}, {{"b", "a", "c"}, -1, 0},
    };
    for (const Case& c : cases)
    {
        Profiles().profileNames.Clear();
        Profiles().profileImages.Clear();
        for (const char* name : c.names)
        {
            Profiles().profileNames.Add(GS::UniString(name));
            Profiles().profileImages.Add(VectorImage());
        }
        const std::string currentName = c.current >= 1 && c.current <= 3 ? c.names[static_cast<std::size_t>(c.current - 1)] : "";
        Profiles().currentProfile = c.current;
        Profiles().RefreshList();
        EXPECT_EQ(Profiles().currentProfile, c.expected) << c.names[0] << c.current;
        if (c.expected != 0)
        {
            EXPECT_EQ(Names()[static_cast<std::size_t>(c.expected - 1)], currentName);
        }
        EXPECT_EQ(DG::ListViewGetSelected(PaletteDialog, ProfileList), c.expected);
    }
}

TEST_F(SectionPaletteTest, AMeasuredPointIsExpressedInTheCurvePlane)
{
    Curve3DPalette& curve = Profiles().curvePalette;
    curve.plane = {{1, 0, 0}, {0, 0, 1}, {0, -1, 0}, {1, 2, 0}};
    curve.curve.points.Clear();
    for (const API_Coord3D& p : std::vector<API_Coord3D> {{1, 2, 0}, {3, 2, 4}, {3, 2, 0}, {1, 2, 0}}) curve.curve.points.Add(p);
    curve.curve.arcs.Clear();
    AnswerName(nullptr);
    Profiles().CreateMeasuredProfile();
    ASSERT_EQ(Profiles().currentPolygons.GetSize(), 1u);
    const SectionPalette::SectionDataType& polygon = Profiles().currentPolygons[0];
    EXPECT_EQ(polygon.coordCount, 4);
    EXPECT_NEAR(polygon.coords[2].x, 2.0, 1e-12);
    EXPECT_NEAR(polygon.coords[2].y, 4.0, 1e-12);
    EXPECT_EQ(polygon.endCount, 1);
    EXPECT_EQ(polygon.ends[1], 4);
    EXPECT_EQ(polygon.arcCount, 0);
    EXPECT_EQ(Names(), (std::vector<std::string> {"Neues Profil"}));
}

TEST_F(SectionPaletteTest, AnArcKeepsOrTurnsItsAngleByItsDirectionInThePlane)
{
    const double quarter = 1.5707963267948966;
    struct Case
    {
        const char* name;
        API_Coord3D from, to;
        double angle;
        double hostAngle;
    };
    const std::vector<Case> cases {
        {"counter-clockwise", {1, 0, 0}, {0, 1, 0}, quarter, -quarter},
        {"clockwise", {0, 1, 0}, {1, 0, 0}, -quarter, -quarter},
    };
    for (const Case& c : cases)
    {
        Curve3DPalette::arcData arc;
        arc.beginIndex = 2;
        arc.endIndex = 3;
        arc.angle = c.angle;
        arc.centre = {0, 0, 0};
        arc.axis = {0, 0, 1};
        Measure(c.name, {{0, 0, 0}, {0, -1, 0}, c.from, c.to, {0, 0, 0}}, {arc});
        ASSERT_EQ(Profiles().currentPolygons.GetSize(), 1u) << c.name;
        const SectionPalette::SectionDataType& polygon = Profiles().currentPolygons[0];
        ASSERT_EQ(polygon.arcCount, 1) << c.name;
        EXPECT_EQ(polygon.arcs[0].begIndex, 3) << c.name;
        EXPECT_EQ(polygon.arcs[0].endIndex, 4) << c.name;
        EXPECT_NEAR(polygon.arcs[0].arcAngle, c.hostAngle, 1e-12) << c.name;
    }
}

TEST_F(SectionPaletteTest, AxesThatSpanNoSpaceGiveNoProfile)
{
    Curve3DPalette& curve = Profiles().curvePalette;
    curve.plane = {{1, 0, 0}, {1, 0, 0}, {0, 0, 1}, {0, 0, 0}};
    curve.curve.points.Clear();
    curve.curve.points.Add({1, 1, 0});
    AnswerName(nullptr);
    Profiles().CreateMeasuredProfile();
    EXPECT_TRUE(Profiles().currentPolygons.IsEmpty());
    EXPECT_TRUE(Profiles().profileNames.IsEmpty());
    EXPECT_TRUE(offered.empty()) << "no name asked for";
}

// Profiles "b", "a", "c" measured as squares of sides 2, 1 and 3, so each
// profile's polygon tells which it is.
class SectionPaletteDialog : public SectionPaletteTest
{
protected:
    void SetUp() override
    {
        SectionPaletteTest::SetUp();
        MeasureSquare("b", 2);
        MeasureSquare("a", 1);
        MeasureSquare("c", 3);
        offered.clear();
    }
    void MeasureSquare(const char* name, double side)
    {
        Measure(name, {{0, 0, 0}, {side, 0, 0}, {side, side, 0}, {0, side, 0}, {0, 0, 0}});
    }
    // The side of the square currentPolygons holds; 0 when it is empty.
    double CurrentSide()
    {
        if (Profiles().currentPolygons.IsEmpty()) return 0.0;
        return Profiles().currentPolygons[0].coords[2].x;
    }
    void Select(short entry) { DG::ChangeItem(PaletteDialog, ProfileList, entry); }
};

TEST_F(SectionPaletteDialog, ChoosingAProfileInTheListMakesItsPolygonsCurrent)
{
    Select(2);
    EXPECT_EQ(Profiles().currentProfile, 2);
    EXPECT_DOUBLE_EQ(CurrentSide(), 2.0);
    Select(0);
    EXPECT_EQ(Profiles().currentProfile, 0);
    EXPECT_EQ(CurrentSide(), 0.0);
    Select(3);
    EXPECT_EQ(DG::ClickItem(PaletteDialog, 1), 1) << "Schliessen closes";
    EXPECT_DOUBLE_EQ(CurrentSide(), 3.0);
}

TEST_F(SectionPaletteDialog, ARenamedProfileStaysSelectedWhereItSorts)
{
    Select(1);
    AnswerName("z");
    DG::ClickItem(PaletteDialog, 7);
    EXPECT_EQ(offered, (std::vector<std::string> {"a"}));
    EXPECT_EQ(ListEntries(), (std::vector<std::string> {"b", "c", "z"}));
    EXPECT_EQ(Profiles().currentProfile, 3);
    EXPECT_EQ(DG::ListViewGetSelected(PaletteDialog, ProfileList), 3);
    AnswerName("y", DG::Cancel);
    DG::ClickItem(PaletteDialog, 7);
    EXPECT_EQ(Names(), (std::vector<std::string> {"b", "c", "z"}));
}

TEST_F(SectionPaletteDialog, DeletingMakesTheProfileAboveCurrentAndShowsIt)
{
    struct Case
    {
        short selected;
        std::vector<std::string> left;
        std::int16_t current;
        double side;
    };
    const std::vector<Case> cases {
        {0, {"a", "b", "c"}, 0, 0.0},
        {3, {"a", "b"}, 2, 2.0},
        {1, {"b"}, 0, 0.0},
    };
    for (const Case& c : cases)
    {
        Select(c.selected);
        DG::ClickItem(PaletteDialog, 8);
        EXPECT_EQ(Names(), c.left) << c.selected;
        EXPECT_EQ(ListEntries(), c.left) << c.selected;
        EXPECT_EQ(Profiles().currentProfile, c.current) << c.selected;
        EXPECT_EQ(Profiles().profileImages.GetSize(), c.left.size()) << c.selected;
        EXPECT_DOUBLE_EQ(CurrentSide(), c.side) << c.selected;
    }
}

TEST_F(SectionPaletteDialog, AListReplacedWhileOpenLeavesNoStaleCurrentProfile)
{
    Select(3);
    Profiles().profileNames.Delete(2);
    Profiles().profileImages.Delete(2);
    AnswerName("x");
    DG::ClickItem(PaletteDialog, 7);
    EXPECT_TRUE(offered.empty()) << "nothing to rename";
    EXPECT_EQ(DG::ClickItem(PaletteDialog, 1), 1);
    EXPECT_EQ(Profiles().currentProfile, 0);
    EXPECT_EQ(CurrentSide(), 0.0);
}

TEST_F(SectionPaletteDialog, NeuesProfilEinmessenOpensTheCurvePaletteForAClosedSection)
{
    EXPECT_EQ(DG::GetItemText(PaletteDialog, 6).ToUtf8(), "Neues Profil");
    ASSERT_EQ(DG::PopupGetItemCount(PaletteDialog, 6), 3);
    EXPECT_EQ(DG::PopupGetItemText(PaletteDialog, 6, 1).ToUtf8(), "Neues Profil einmessen");
    EXPECT_EQ(DG::PopupGetItemText(PaletteDialog, 6, 3).ToUtf8(), "Profil von ARCHICAD Profilbibliothek laden");
    Select(2);
    DG::ChangeItem(PaletteDialog, 6, 1);
    const Curve3DPalette& curve = Profiles().curvePalette;
    EXPECT_TRUE(DG::IsOpen(Curve3DPalette::DialogId));
    EXPECT_TRUE(curve.sectionMode);
    EXPECT_FALSE(curve.planeDefined);
    EXPECT_EQ(curve.polygonClosure, Curve3DPalette::ClosedItem);
    EXPECT_EQ(Profiles().currentProfile, 2);
    EXPECT_EQ(DG::ListViewGetSelected(PaletteDialog, ProfileList), 2);
}

TEST(SectionOriginMark, ATwoByOneMetreDrawingGetsACrossOfATenthAndACircleOfAFortieth)
{
    VectorImage drawing;
    Sy_LinType diagonal;
    diagonal.begC = {-0.5, 0.0};
    diagonal.endC = {1.5, 1.0};
    drawing.AddLine(diagonal);
    SectionPalette::AddOriginMark(drawing);
    std::vector<Sy_LinType> lines;
    std::vector<Sy_ArcType> arcs;
    for (ConstVectorImageIterator it(drawing); !it.IsEOI(); ++it)
    {
        if (it.GetItemType() == SyLine) lines.push_back(it.GetLine());
        if (it.GetItemType() == SyArc) arcs.push_back(it.GetArc());
    }
    ASSERT_EQ(lines.size(), 3u);
    ASSERT_EQ(arcs.size(), 1u);
    std::vector<std::vector<double>> cross;
    for (const Sy_LinType& line : lines)
    {
        if (line.sy_flags != 1) continue;
        EXPECT_EQ(line.sy_pen.GetIndex(), 1);
        EXPECT_EQ(line.sy_ltype, 1);
        EXPECT_EQ(line.sy_lineProperty, 1);
        cross.push_back({line.begC.x, line.begC.y, line.endC.x, line.endC.y});
    }
    ASSERT_EQ(cross.size(), 2u);
    const std::vector<std::vector<double>> expected {{-0.1, 0.0, 0.1, 0.0}, {0.0, -0.1, 0.0, 0.1}};
    for (std::size_t i = 0; i < 2; ++i)
        for (std::size_t j = 0; j < 4; ++j) EXPECT_NEAR(cross[i][j], expected[i][j], 1e-12) << i << j;
    EXPECT_NEAR(arcs[0].r, 0.05, 1e-12);
    EXPECT_EQ(arcs[0].origC.x, 0.0);
    EXPECT_EQ(arcs[0].origC.y, 0.0);
    EXPECT_EQ(arcs[0].elongation, 1.0);
    EXPECT_NEAR(arcs[0].endAng - arcs[0].begAng, 6.283185307179586, 1e-12) << "a whole circle";
}

TEST_F(SectionPaletteDialog, GrowingThePaletteSharesTheGrowthBetweenListAndPreview)
{
    const DG::Size size = DG::GetClientSize(PaletteDialog);
    DG::ResizeByUser(PaletteDialog, static_cast<short>(size.width + 100), static_cast<short>(size.height + 50));
    const DG::Rect list = DG::GetItemRect(PaletteDialog, ProfileList);
    const DG::Rect preview = DG::GetItemRect(PaletteDialog, 5);
    const DG::Rect close = DG::GetItemRect(PaletteDialog, 1);
    EXPECT_EQ(list.right - list.left, 250);
    EXPECT_EQ(list.bottom - list.top, 250);
    EXPECT_EQ(preview.left, 270);
    EXPECT_EQ(preview.right - preview.left, 250);
    EXPECT_EQ(close.left, 445);
    EXPECT_EQ(close.top, 408);
}

}  // namespace
