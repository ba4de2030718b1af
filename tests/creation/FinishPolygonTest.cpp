#include <string>
#include <vector>

#include "DG/DG.hpp"
#include "WallFixture.hpp"
#include "measuring/MeasuringState.hpp"

namespace
{

constexpr short Palette = Survanto::MainPaletteDialogId;

// A room measured as pairs of points on its four faces, ending on the first face's
// line: closed, the walls meet in the corners (0,0), (5,0), (5,4) and (0,4).
const std::vector<API_Coord3D> RoomByEdgePoints {{1, 0, 0}, {4, 0, 0}, {5, 1, 0}, {5, 3, 0},
                                                 {4, 4, 0}, {1, 4, 0}, {0, 3, 0}, {0, 1, 0}};

}  // namespace

// The palette open with the tool chosen in the host's toolbox.
class FinishPolygonTest : public WallFixture
{
protected:
    void SetUp() override
    {
        WallFixture::SetUp();
        API_MenuParams menu;
        menu.menuResID = 32500;
        menu.itemIndex = 1;
        Main().HandleMenuCommand(menu);
        ASSERT_TRUE(DG::IsOpen(Palette));
    }
};

// Each tool's creator takes the points; the polygon buttons go off and the points
// are dropped whatever it made of them, and the next point starts a new polygon.
TEST_F(FinishPolygonTest, TheToolsCreatorTakesTheCollectedPoints)
{
    struct Case
    {
        const char* label;
        std::int32_t tool;
        std::int16_t option;
        short button;
        const char* made;  // the host's elements
    };
    const Case cases[] = {
        {"closed room of walls", API_WallID, 15, 20, "wall:4"},
        {"open wall chain", API_WallID, 15, 19, "wall:4"},
        {"column", API_ColumnID, 14, 19, "column:1"},
        {"beam", API_BeamID, 15, 20, "beam:4"},
        {"slab", API_SlabID, 14, 20, "slab:1"},
        {"mesh", API_MeshID, 14, 20, "mesh:1"},
        {"fill", API_HatchID, 14, 19, "fill:1"},
        {"spline", API_SplineID, 14, 19, "spline:1"},
        {"morph", API_MorphID, 61, 78, "morph:1"},
        {"a lamp only resets", API_LampID, 14, 20, "none"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.label);
        Model().content.elements.clear();
        Host().SelectTool(c.tool, 0);
        for (short item : {14, 15, 61}) SetItem(item, item == c.option ? 1.0 : 0.0);
        SetPoints(RoomByEdgePoints);
        for (short button : {19, 20, 78}) DG::EnableItem(Palette, button);

        DG::ChangeItem(Palette, c.button, 1.0);

        EXPECT_EQ(Host().Fact("elements"), c.made);
        for (short button : {19, 20, 78}) EXPECT_EQ(DG::GetItemValue(Palette, button), 0.0) << button;
        EXPECT_EQ(Main().actionPoints.GetSize(), 0u);
        EXPECT_EQ(Main().meshPoints[0].GetSize(), 0u);
        EXPECT_EQ(Main().pointStep, 1);
        EXPECT_EQ(Main().polygonFinish, c.button != 19);
    }
}

TEST_F(FinishPolygonTest, TheClosedRoomMeetsInItsCorners)
{
    Host().SelectTool(API_WallID, 0);
    DG::ChangeItem(Palette, 15, 1.0);
    for (const API_Coord3D& p : RoomByEdgePoints)
    {
        measuringState.measuredX = p.x;
        measuringState.measuredY = p.y;
        measuringState.measuredZ = p.z;
        Main().OnMeasuredPoint(10);
    }
    EXPECT_TRUE(Walls().empty()) << "the chain only collects";
    ASSERT_TRUE(DG::IsItemEnabled(Palette, 20));
    DG::ChangeItem(Palette, 20, 1.0);

    const std::vector<API_WallType> walls = Walls();
    ASSERT_EQ(walls.size(), 4u);
    const API_Coord corners[] = {{0, 0}, {5, 0}, {5, 4}, {0, 4}};
    for (std::size_t i = 0; i < 4; ++i)
    {
        EXPECT_NEAR(walls[i].begC.x, corners[i].x, 1e-9) << i;
        EXPECT_NEAR(walls[i].begC.y, corners[i].y, 1e-9) << i;
        EXPECT_NEAR(walls[i].endC.x, corners[(i + 1) % 4].x, 1e-9) << i;
        EXPECT_NEAR(walls[i].endC.y, corners[(i + 1) % 4].y, 1e-9) << i;
    }
    EXPECT_EQ(DG::GetItemText(Palette, 27).ToUtf8(), "Wand-Startpunkt messen");
}
