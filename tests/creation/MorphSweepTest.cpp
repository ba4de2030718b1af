#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <tuple>
#include <vector>

#include "CreationFixture.hpp"
#include "DG/DG.hpp"

// The morph swept along the rail: the start frame, the rings with their side
// faces and caps, and the morph the host then holds.

namespace
{

using Vector = Geometry::Vector3<double>;
using Contour = std::vector<API_Coord>;

const Contour UnitSquare {{0, 0}, {1, 0}, {1, 1}, {0, 1}, {0, 0}};

SectionPalette::SectionDataType ProfilePolygon(const std::vector<Contour>& contours)
{
    SectionPalette::SectionDataType polygon;
    polygon.coords.Add(API_Coord {});
    polygon.ends.Add(0);
    for (const Contour& contour : contours)
    {
        for (const API_Coord& c : contour) polygon.coords.Add(c);
        polygon.ends.Add(static_cast<std::int32_t>(polygon.coords.GetSize()) - 1);
    }
    polygon.coordCount = static_cast<std::int32_t>(polygon.coords.GetSize()) - 1;
    polygon.endCount = static_cast<std::int32_t>(contours.size());
    return polygon;
}

Contour Circle(std::size_t points, double radius)
{
    Contour circle;
    for (std::size_t i = 0; i < points; ++i)
    {
        const double a = 2 * Pi * double(i) / double(points);
        circle.push_back({radius * std::cos(a), radius * std::sin(a)});
    }
    circle.push_back(circle.front());
    return circle;
}

double Dot(const API_Coord3D& a, const Vector& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

}  // namespace

class MorphSweep : public CreationFixture
{
protected:
    void SetUp() override
    {
        CreationFixture::SetUp();
        Host().SelectTool(API_MorphID, 0);
    }
    void SetRail(const std::vector<API_Coord3D>& points, std::int16_t closure = 5)
    {
        Curve3DPalette& palette = Main().curvePalette;
        palette.curve.points.Clear();
        palette.curve.arcs.Clear();
        for (const API_Coord3D& p : points) palette.curve.points.Add(p);
        palette.polygonClosure = closure;
    }
    void SetProfile(const std::vector<Contour>& contours)
    {
        Main().sectionPalette.currentPolygons.Clear();
        Main().sectionPalette.currentPolygons.Add(ProfilePolygon(contours));
    }
    // The morph button's three steps, with the running action as the measuring left it.
    void Sweep()
    {
        SetPoints({{0, 0, 0}, {1, 0, 0}});
        Main().BuildMorphProfile();
        Main().BuildMorphRail();
        Main().CreateMorphAlongRail();
    }
    const SimHost::StoredElement* Morph()
    {
        for (const SimHost::StoredElement& e : Model().content.elements)
            if (e.record.header.typeID == API_MorphID) return &e;
        return nullptr;
    }
    // The vertices the body's strip of that number (0: first) brought, ring A then ring B.
    std::vector<API_Coord3D> StripVertices(const API_MorphBody& body, std::size_t firstVertex, std::size_t count)
    {
        return std::vector<API_Coord3D>(body.vertices.begin() + static_cast<std::ptrdiff_t>(firstVertex),
                                        body.vertices.begin() + static_cast<std::ptrdiff_t>(firstVertex + count));
    }
    void ExpectSweptOnce(const char* name)
    {
        EXPECT_EQ(Model().undoSteps.size(), 1u) << name;
        EXPECT_TRUE(Host().bodyBuilders_.empty()) << name << ": the body builder is given back";
        ExpectActionEmptied(name);
    }
};

TEST_F(MorphSweep, TheStartFramePlacesTheProfileNormalToTheRail)
{
    struct Case
    {
        const char* name;
        Vector direction;
        bool palettePlane;
        bool fromPlanes;
        Vector u, v;  // where the profile's unit points (1, 0) and (0, 1) go from the start
    };
    const Case cases[] = {
        {"along the profile normal: the axis frame", {0, 0, 1}, false, false, {-1, 0, 0}, {0, -1, 0}},
        {"against the profile normal", {0, 0, -1}, false, false, {-1, 0, 0}, {0, 1, 0}},
        {"level along x", {1, 0, 0}, false, true, {0, -1, 0}, {0, 0, 1}},
        {"along the normal of a palette plane facing x", {1, 0, 0}, true, false, {0, -1, 0}, {0, 0, -1}},
        {"nearly along the profile normal", {0, 1e-7, 1}, false, false, {-1, 0, 0}, {0, -1, 0}},
    };
    for (const Case& c : cases)
    {
        Main().morphRail.Clear();
        Survanto::MorphRailCrvDataType entry;
        entry.point = {2, 3, 4};
        entry.direction = c.direction.UnitVector();
        Main().morphRail.Add(entry);
        Main().curvePalette.planeDefined = c.palettePlane;
        Main().curvePalette.plane = {{0, 1, 0}, {0, 0, 1}, {1, 0, 0}, {0, 0, 0}};
        std::array<double, 12> frame {};
        EXPECT_EQ(Main().GetRailStartFrame(frame), c.fromPlanes) << c.name;
        EXPECT_EQ(std::vector<double>({frame[3], frame[7], frame[11]}), std::vector<double>({2, 3, 4})) << c.name;
        const Vector u {frame[0], frame[4], frame[8]}, v {frame[1], frame[5], frame[9]};
        for (const auto& [axis, expected, label] : {std::tuple {u, c.u, "u"}, std::tuple {v, c.v, "v"}})
        {
            EXPECT_NEAR(axis.x, expected.x, 1e-6) << c.name << " " << label;
            EXPECT_NEAR(axis.y, expected.y, 1e-6) << c.name << " " << label;
            EXPECT_NEAR(axis.z, expected.z, 1e-6) << c.name << " " << label;
        }
    }

    Main().morphRail.Clear();
    std::array<double, 12> untouched {};
    untouched.fill(7.0);
    EXPECT_FALSE(Main().GetRailStartFrame(untouched));
    EXPECT_EQ(untouched[0], 7.0) << "no rail, no frame";
}

TEST_F(MorphSweep, AnOpenRailGivesStripsAndTwoCaps)
{
    struct Case
    {
        const char* name;
        std::vector<API_Coord3D> rail;
        std::size_t vertices;
        std::size_t edges;
        std::size_t quads;
    };
    // A strip has 5 joining edges and 4 along each ring; a cap 4 (its closing point none).
    const Case cases[] = {
        {"upright", {{0, 0, 0}, {0, 0, 3}}, 20, 4 + 13 + 4, 4},
        {"an L in plan", {{0, 0, 0}, {4, 0, 0}, {4, 4, 0}}, 30, 4 + 2 * 13 + 4, 8},
    };
    for (const Case& c : cases)
    {
        Model().content.elements.clear();
        Model().undoSteps.clear();
        SetProfile({UnitSquare});
        SetRail(c.rail);
        Sweep();
        const SimHost::StoredElement* morph = Morph();
        ASSERT_NE(morph, nullptr) << c.name;
        const API_MorphBody& body = morph->memo.morphBody;
        EXPECT_EQ(body.vertices.size(), c.vertices) << c.name;
        EXPECT_EQ(body.polygons.size(), c.quads + 2) << c.name << ": the side faces and two caps";
        for (const API_MorphPolygon& polygon : body.polygons) EXPECT_EQ(polygon.edges.size(), 4u) << c.name;
        EXPECT_EQ(body.edges.size(), c.edges) << c.name;
        ASSERT_EQ(morph->memo.morphMaterialMapTable.size(), 1u);
        EXPECT_EQ(morph->memo.morphMaterialMapTable[0].attributeIndex, 2);
        EXPECT_TRUE(morph->memo.morphMaterialMapTable[0].overridden);
        EXPECT_FALSE(Main().elementCreated) << c.name;
        ExpectSweptOnce(c.name);
    }

    // The upright square lands at (-u, -v, 0); along the L it keeps its heights,
    // meets the mitre x + y = 4 at the corner and y = 4 at the end.
    SetRail({{0, 0, 0}, {0, 0, 3}});
    Model().content.elements.clear();
    Sweep();
    const API_Coord3D& corner = Morph()->memo.morphBody.vertices[2];
    EXPECT_EQ(std::vector<double>({corner.x, corner.y, corner.z}), std::vector<double>({-1, -1, 0}));

    SetRail({{0, 0, 0}, {4, 0, 0}, {4, 4, 0}});
    Model().content.elements.clear();
    Sweep();
    const API_MorphBody& body = Morph()->memo.morphBody;
    const std::vector<double> heights {0, 0, 1, 1, 0};
    for (std::size_t i = 0; i < 5; ++i)
    {
        const API_Coord3D& mitre = body.vertices[5 + 5 + i];
        const API_Coord3D& end = body.vertices[25 + i];
        EXPECT_NEAR(mitre.x + mitre.y, 4.0, 1e-9) << i;
        EXPECT_NEAR(end.y, 4.0, 1e-9) << i;
        EXPECT_NEAR(mitre.z, heights[i], 1e-9) << i;
        EXPECT_NEAR(end.z, heights[i], 1e-9) << i;
    }
}

TEST_F(MorphSweep, AClosedRailHasNoCapsAndReturnsToItsFirstRing)
{
    SetProfile({{{0, 0}, {0.5, 0}, {0.5, 0.5}, {0, 0}}});
    SetRail({{0, 0, 1}, {4, 0, 1}, {4, 4, 1}, {0, 4, 1}, {0, 0, 1}}, 6);
    Sweep();
    const SimHost::StoredElement* morph = Morph();
    ASSERT_NE(morph, nullptr);
    const API_MorphBody& body = morph->memo.morphBody;
    EXPECT_EQ(body.vertices.size(), 4u * 8u) << "four strips of two rings";
    EXPECT_EQ(body.polygons.size(), 4u * 3u) << "side faces only";
    const Vector start = Main().morphRail[0].point, normal = Main().morphRail[0].direction;
    for (std::size_t i = 0; i < 4; ++i)
    {
        const API_Coord3D& first = body.vertices[i];
        const API_Coord3D& last = body.vertices[body.vertices.size() - 4 + i];
        EXPECT_NEAR(Dot(last, normal) - (start.x * normal.x + start.y * normal.y + start.z * normal.z), 0.0, 1e-9) << i;
        EXPECT_NEAR(last.x, first.x, 1e-9) << i;
        EXPECT_NEAR(last.y, first.y, 1e-9) << i;
        EXPECT_NEAR(last.z, first.z, 1e-9) << i;
    }
    ExpectSweptOnce("closed");
}

TEST_F(MorphSweep, CapsHoldEveryContourAndAnyNumberOfEdges)
{
    SetProfile({{{0, 0}, {3, 0}, {3, 3}, {0, 3}, {0, 0}}, {{1, 1}, {1, 2}, {2, 2}, {2, 1}, {1, 1}}});
    SetRail({{0, 0, 0}, {0, 0, 2}});
    Sweep();
    ASSERT_NE(Morph(), nullptr);
    const std::vector<std::int32_t>& cap = Morph()->memo.morphBody.polygons.front().edges;
    ASSERT_EQ(cap.size(), 9u);
    EXPECT_EQ(cap[4], 0) << "the outline's four edges, a separator, the hole's four";
    EXPECT_EQ(Morph()->memo.morphBody.polygons.size(), 8u + 2u);

    Model().content.elements.clear();
    SetProfile({Circle(399, 0.5)});
    Sweep();
    ASSERT_NE(Morph(), nullptr) << "400 profile points";
    EXPECT_EQ(Morph()->memo.morphBody.polygons.front().edges.size(), 399u);
    EXPECT_EQ(Morph()->memo.morphBody.polygons.size(), 399u + 2u);

    Model().content.elements.clear();
    SetProfile({{{0, 0}, {1, 0}, {0, 0}}});
    Sweep();
    ASSERT_NE(Morph(), nullptr);
    EXPECT_EQ(Morph()->memo.morphBody.polygons.size(), 2u) << "a contour of two edges gets side faces but no caps";
}

TEST_F(MorphSweep, WithoutASweepableRailOrProfileNoMorph)
{
    struct Case
    {
        const char* name;
        std::vector<Contour> profile;
        std::vector<API_Coord3D> rail;
    };
    const Case cases[] = {
        {"one rail point", {UnitSquare}, {{0, 0, 0}}},
        {"one rail point measured twice", {UnitSquare}, {{0, 0, 0}, {0, 0, 0}}},
        {"a rail turning back", {UnitSquare}, {{0, 0, 0}, {4, 0, 0}, {1, 0, 0}}},
        {"the resting single point profile: edges only", {}, {{0, 0, 0}, {4, 0, 0}}},
    };
    for (const Case& c : cases)
    {
        Model().content.elements.clear();
        Model().undoSteps.clear();
        Main().sectionPalette.currentPolygons.Clear();
        if (!c.profile.empty()) SetProfile(c.profile);
        SetRail(c.rail);
        Sweep();
        EXPECT_EQ(Morph(), nullptr) << c.name;
        EXPECT_TRUE(Host().bodyBuilders_.empty()) << c.name;
        ExpectActionEmptied(c.name);
    }
}

TEST_F(MorphSweep, TheMorphStandsAtItsHeightsAboveItsHomeStorey)
{
    Model().content.storeyLevels[1] = 3.0;
    Model().DefaultsFor(API_MorphID, 0).record.header.floorInd = 1;
    SetProfile({UnitSquare});
    SetRail({{0, 0, 3.5}, {4, 0, 3.5}});
    Sweep();
    const SimHost::StoredElement* morph = Morph();
    ASSERT_NE(morph, nullptr);
    EXPECT_EQ(morph->record.header.floorInd, 1);
    EXPECT_EQ(morph->record.morph.transformation[11], -3.0);
    API_Elem_Head header = morph->record.header;
    API_Box3D box {};
    ASSERT_EQ(HostDatabaseRequest(FourCC("CABO"), &header, &box), NoError);
    EXPECT_NEAR(box.zMin, 3.5, 1e-9);
    EXPECT_NEAR(box.zMax, 4.5, 1e-9);
}

TEST_F(MorphSweep, TheMorphButtonSweepsTheCurrentProfileAlongTheMeasuredCurve)
{
    API_MenuParams menu;
    menu.menuResID = 32500;
    menu.itemIndex = 1;
    Main().HandleMenuCommand(menu);
    ASSERT_TRUE(DG::IsOpen(Survanto::MainPaletteDialogId));
    SetProfile({UnitSquare});
    SetRail({{0, 0, 0}, {4, 0, 0}, {4, 4, 0}});
    DG::ChangeItem(Survanto::MainPaletteDialogId, 16, 1.0);
    ASSERT_NE(Morph(), nullptr);
    EXPECT_EQ(Morph()->memo.morphBody.vertices.size(), 30u);
    EXPECT_EQ(Main().profileList.GetSize(), 1u);
    EXPECT_EQ(Main().morphRail.GetSize(), 3u);
    EXPECT_EQ(DG::GetItemValue(Survanto::MainPaletteDialogId, 16), 0.0);
}

// A rectangle measured upright in the vertical plane through (0, 0, 0) and
// (1, 0, 0): 0.6 wide along x, 0.4 high. Swept along a rail from (0, 0, 0) to
// (4, 0, 0) its first ring stands across the rail at x = 0, 0.6 wide (y 0 to
// 0.6, to the rail's left) and 0.4 high; along an L turning to (4, 4, 0) its
// last ring stands at y = 4, x 3.4 to 4, z 0 to 0.4. The profile itself stays
// as measured, its first axis up.
TEST_F(MorphSweep, AProfileMeasuredUprightStaysUprightAlongTheRail)
{
    Curve3DPalette& measuring = Main().sectionPalette.curvePalette;
    measuring.sectionMode = true;
    measuring.toolType = API_MorphID;
    measuring.SetResourceModules(CurrentResourceModule());
    ASSERT_EQ(measuring.OpenPalette(0), 0);
    DG::ClickItem(Curve3DPalette::DialogId, 15);
    measuring.AddMeasuredPoint({0, 0, 0}, nullptr);
    measuring.AddMeasuredPoint({1, 0, 0}, nullptr);
    ASSERT_TRUE(measuring.planeDefined);
    DG::ClickItem(Curve3DPalette::DialogId, 8);
    for (const API_Coord3D& p : std::vector<API_Coord3D> {{0, 0, 0}, {0.6, 0, 0}, {0.6, 0, 0.4}, {0, 0, 0.4}, {0, 0, 0}})
        measuring.AddMeasuredPoint(p, nullptr);
    AnswerDialogs([](DG::Dialog& dialog) {
        DG::SetItemText(dialog.resourceId, 4, GS::UniString("Rechteck"));
        return DG::Accept;
    });
    Main().sectionPalette.CreateMeasuredProfile();
    ASSERT_EQ(Main().sectionPalette.currentPolygons.GetSize(), 1u);
    const SectionPalette::SectionDataType& stored = Main().sectionPalette.currentPolygons[0];
    ASSERT_EQ(stored.coordCount, 5);
    EXPECT_NEAR(stored.coords[3].x, 0.4, 1e-12) << "measured up along the plane's first axis";
    EXPECT_NEAR(stored.coords[3].y, 0.6, 1e-12);

    struct Span
    {
        double low = 1e9, high = -1e9;
        void Take(double v) { low = std::min(low, v), high = std::max(high, v); }
    };
    struct Case
    {
        const char* name;
        std::vector<API_Coord3D> rail;
        bool atEnd;  // the ring at the rail's end, else at its start
        double acrossLow, acrossHigh;
    };
    const Case cases[] = {
        {"straight rail, first ring", {{0, 0, 0}, {4, 0, 0}}, false, 0.0, 0.6},
        {"L-shaped rail, last ring", {{0, 0, 0}, {4, 0, 0}, {4, 4, 0}}, true, 3.4, 4.0},
    };
    for (const Case& c : cases)
    {
        Model().content.elements.clear();
        Model().undoSteps.clear();
        SetRail(c.rail);
        Sweep();
        ASSERT_NE(Morph(), nullptr) << c.name;
        Span across, height;
        for (const API_Coord3D& v : Morph()->memo.morphBody.vertices)
        {
            const bool inRing = c.atEnd ? std::fabs(v.y - 4.0) < 1e-9 : std::fabs(v.x) < 1e-9;
            if (!inRing) continue;
            across.Take(c.atEnd ? v.x : v.y);
            height.Take(v.z);
        }
        EXPECT_NEAR(across.low, c.acrossLow, 1e-9) << c.name;
        EXPECT_NEAR(across.high, c.acrossHigh, 1e-9) << c.name;
        EXPECT_NEAR(height.low, 0.0, 1e-9) << c.name;
        EXPECT_NEAR(height.high, 0.4, 1e-9) << c.name;
    }
    EXPECT_NEAR(Main().sectionPalette.currentPolygons[0].coords[3].x, 0.4, 1e-12) << "the stored profile is left as it was";
}
