#include <string>
#include <vector>

#include "CreationFixture.hpp"
#include "palettes/PolyCreatePetPalette.hpp"

// A plane roof through three measured points with an outline drawn through the
// host's point and polygon input, while the pet palette picks the drawing method.

namespace
{

constexpr double Tol = 1e-9;
constexpr std::int16_t RoofItem = 14;
constexpr std::int16_t PetPalette = 32445;

SimHost::InputAnswer Pick(double x, double y) { return SimHost::InputAnswer::Picked({x, y, 0.0}); }

SimHost::InputAnswer Polygon(std::vector<API_Coord> corners)
{
    SimHost::InputAnswer answer;
    answer.kind = SimHost::InputAnswer::Polygon;
    answer.corners = std::move(corners);
    return answer;
}

SimHost::InputAnswer Click(std::int16_t item)
{
    SimHost::InputAnswer answer;
    answer.kind = SimHost::InputAnswer::Click;
    answer.dialog = PetPalette;
    answer.item = item;
    return answer;
}

const SimHost::InputAnswer Cancel {};
const std::vector<API_Coord> Outline {{1, 0}, {5, 0}, {5, 2}, {1, 2}};

}  // namespace

class RoofTest : public CreationFixture
{
protected:
    void Run(std::initializer_list<API_Coord3D> points, std::vector<SimHost::InputAnswer> answers)
    {
        Model().content.elements.clear();
        Model().undoSteps.clear();
        Host().polygonInputs_.clear();
        Host().inputAnswers_.assign(answers.begin(), answers.end());
        ToolDefaults(API_RoofID).roof.bottomOffset = 0.0;
        ChooseOption(RoofItem);
        SetPoints(points);
        Main().CreateRoof();
    }

    std::vector<std::int32_t> Methods() const
    {
        std::vector<std::int32_t> methods;
        for (const SimHost::PolygonInputRequest& r : host().polygonInputs_) methods.push_back(r.method);
        return methods;
    }

private:
    const SimHost::Host& host() const { return const_cast<RoofTest*>(this)->Host(); }
};

// The plane rising 45° towards +y: the pivot spans the outer projections on y 0
// and runs as the plane meets the roof level; the flag tells whether the roof
// rises to the left of it. A horizontal plane has slope 0 and a pivot along x.
TEST_F(RoofTest, ThreePointsGivePivotSlopeAndSide)
{
    struct Case
    {
        const char* name;
        API_Coord3D a, b, c;
        double slope;
        API_Coord begin, end;
        bool risesLeft;
    };
    const Case cases[] = {
        {"pivot towards -x", {1, 0, 0}, {5, 0, 0}, {2, 2, 2}, Pi / 4, {5, 0}, {1, 0}, false},
        {"pivot towards +x", {5, 0, 0}, {1, 0, 0}, {2, 2, 2}, Pi / 4, {1, 0}, {5, 0}, true},
        {"horizontal", {0, 0, 1}, {4, 0, 1}, {0, 4, 1}, 0.0, {0, 0}, {4, 0}, true},
    };
    for (const Case& c : cases)
    {
        Run({c.a, c.b, c.c}, {Pick(1, 1), Polygon(Outline)});
        const std::vector<API_Element> roofs = ElementsOfType(API_RoofID);
        ASSERT_EQ(roofs.size(), 1u) << c.name;
        const API_RoofType& roof = roofs[0].roof;
        EXPECT_NEAR(roof.slopeAngle, c.slope, 1e-6) << c.name;
        EXPECT_NEAR(roof.baseLineBegC.x, c.begin.x, Tol) << c.name;
        EXPECT_NEAR(roof.baseLineBegC.y, c.begin.y, Tol) << c.name;
        EXPECT_NEAR(roof.baseLineEndC.x, c.end.x, Tol) << c.name;
        EXPECT_NEAR(roof.baseLineEndC.y, c.end.y, Tol) << c.name;
        EXPECT_EQ(roof.posSign, c.risesLeft) << c.name;
    }
}

// The roof takes the drawn outline as the host's polygon; the input starts at the
// point picked on the roof plane and draws on that plane.
TEST_F(RoofTest, OutlineComesFromTheInputOnThePlane)
{
    Run({{1, 0, 0}, {5, 0, 0}, {2, 2, 2}}, {Pick(3, 1), Polygon(Outline)});
    const SimHost::StoredElement& roof = Model().content.elements.back();
    ASSERT_EQ(roof.record.header.typeID, API_RoofID);
    EXPECT_EQ(roof.record.roof.roofClass, 0);
    EXPECT_EQ(roof.record.roof.poly.nCoords, 5);
    EXPECT_EQ(roof.record.roof.poly.nSubPolys, 1);
    EXPECT_EQ(roof.record.roof.poly.nArcs, 0);
    EXPECT_EQ(roof.memo.pends, (std::vector<std::int32_t> {0, 5}));
    ASSERT_EQ(roof.memo.coords.size(), 6u);
    EXPECT_EQ(roof.memo.coords[3].x, 5.0);
    EXPECT_EQ(roof.memo.coords[3].y, 2.0);
    ASSERT_EQ(Host().polygonInputs_.size(), 1u);
    const SimHost::PolygonInputRequest& input = Host().polygonInputs_[0];
    EXPECT_NEAR(input.startCoord.z, 1.0, Tol) << "the picked point lies on the roof plane";
    EXPECT_NEAR(input.planeNormal.y, -8.0, Tol);
    EXPECT_NEAR(input.planeNormal.z, 8.0, Tol);
    EXPECT_EQ(Model().undoSteps.size(), 1u);
    const DG::Point at = DG::GetClientPosition(PetPalette);
    EXPECT_EQ(at.x, 400 + 300 + 40) << "the pet palette opens right of the pick";
    EXPECT_EQ(at.y, 300 - 100 - 60) << "and above it";
    EXPECT_EQ(DG::GetDialogGrowType(PetPalette), DG::NoGrow) << "and does not grow";
    EXPECT_FALSE(DG::IsOpen(PetPalette));
}

// How the inputs run: a click on a pet palette icon ends the running outline input,
// which starts again with the new method; a cancel without one ends the roof.
TEST_F(RoofTest, InputSequences)
{
    const API_Coord3D a {1, 0, 0}, b {5, 0, 0}, c {2, 2, 2};
    struct Case
    {
        const char* name;
        std::vector<API_Coord3D> points;
        std::vector<SimHost::InputAnswer> answers;
        std::size_t roofs;
        std::vector<std::int32_t> methods;
        std::size_t answersLeft;
    };
    const Case cases[] = {
        {"polygon at once", {a, b, c}, {Pick(1, 1), Polygon(Outline)}, 1, {0}, 0},
        {"rectangle after a cancel", {a, b, c}, {Pick(1, 1), Click(1), Polygon(Outline)}, 1, {0, 1}, 0},
        {"rotated rectangle", {a, b, c}, {Pick(1, 1), Click(2), Polygon(Outline)}, 1, {0, 2}, 0},
        {"plain cancel", {a, b, c}, {Pick(1, 1), Cancel}, 0, {0}, 0},
        {"cancel at the point", {a, b, c}, {Cancel, Polygon(Outline)}, 0, {}, 1},
        {"four points", {a, b, c, {3, 3, 3}}, {Pick(1, 1), Polygon(Outline)}, 0, {}, 2},
        {"points on one line", {a, b, {3, 0, 0}}, {Pick(1, 1), Polygon(Outline)}, 0, {}, 2},
        {"coincident points", {a, a, c}, {Pick(1, 1), Polygon(Outline)}, 0, {}, 2},
    };
    for (const Case& k : cases)
    {
        Model().content.elements.clear();
        Model().undoSteps.clear();
        Host().polygonInputs_.clear();
        Host().inputAnswers_.assign(k.answers.begin(), k.answers.end());
        ChooseOption(RoofItem);
        SetPoints(k.points);
        Main().CreateRoof();
        EXPECT_EQ(ElementsOfType(API_RoofID).size(), k.roofs) << k.name;
        EXPECT_EQ(Methods(), k.methods) << k.name;
        EXPECT_EQ(Host().inputAnswers_.size(), k.answersLeft) << k.name;
        EXPECT_EQ(Model().undoSteps.size(), k.roofs) << k.name << ": a roof is one undo step, nothing else is one";
        EXPECT_FALSE(Main().busy) << k.name;
        EXPECT_EQ(Main().pointStep, 0) << k.name;
        EXPECT_FALSE(DG::IsOpen(PetPalette)) << k.name;
    }
}

// The pet palette: free polygon selected when new; a change to an item outside its
// three buttons keeps the mode.
TEST_F(RoofTest, PetPaletteModes)
{
    PolyCreatePetPalette palette;
    EXPECT_EQ(palette.GetMode(), 3);
    EXPECT_EQ(palette.InputMethod(), 0);
    palette.DialogCallback(DG::MsgChange, PetPalette, 4, 0);
    EXPECT_EQ(palette.GetMode(), 3);
    palette.DialogCallback(DG::MsgChange, PetPalette, 1, 0);
    EXPECT_EQ(palette.InputMethod(), 1);
    EXPECT_EQ(palette.DialogCallback(DG::MsgClick, PetPalette, -1, 0), -1);
}
