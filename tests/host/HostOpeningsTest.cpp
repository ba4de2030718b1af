// Windows and doors in the simulated host: owned by their wall, boxed in it,
// moved along it, moving and going with it; the parameter lists of their parts
// and their parameter scripts.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "ClosedOutline.hpp"
#include "ElementServices.hpp"
#include "GS/BM.hpp"
#include "HostApiTestSupport.hpp"

namespace
{

struct WallShape
{
    API_Coord begin, end;
    std::int32_t referenceLine = 0;
    bool flipped = false;
    std::vector<API_Coord> outline {};  // a polygonal wall's corners
};

class HostOpenings : public HostApiTest
{
protected:
    void SetUp() override { Model().content.storeyLevels[1] = 3.0; }

    API_Guid CreateWall(const WallShape& shape, std::int16_t storey = 0)
    {
        API_Element wall;
        wall.header.typeID = API_WallID;
        EXPECT_EQ(HostGetElementDefaults(&wall, nullptr), NoError);
        wall.header.floorInd = storey;
        wall.wall.begC = shape.begin;
        wall.wall.endC = shape.end;
        wall.wall.referenceLineCode = shape.referenceLine;
        wall.wall.flipped = shape.flipped;
        wall.wall.bottomOffset = 0.2;
        API_ElementMemo memo;
        if (!shape.outline.empty()) MakePolygonalWall(wall, memo, shape.outline);
        EXPECT_EQ(Undoable([&] { return HostCreateElement(&wall, &memo); }), NoError);
        return wall.header.guid;
    }

    // A window 1.2 wide and 1.3 high, 1.0 above the wall's base, 1.5 along the
    // wall or, in a polygonal wall, starting at (1.5, 0) and running along y.
    GSErrCode CreateWindow(const API_Guid& owner, API_Guid& made)
    {
        API_Element window;
        window.header.typeID = API_WindowID;
        EXPECT_EQ(HostGetElementDefaults(&window, nullptr), NoError);
        window.window.owner = owner;
        window.window.width = 1.2;
        window.window.height = 1.3;
        window.window.sillHeight = 1.0;
        window.window.position = 1.5;
        window.window.startPoint = {1.5, 0.0};
        window.window.direction = {0.0, 1.0};
        const GSErrCode result = Undoable([&] { return HostCreateElement(&window, nullptr); });
        made = window.header.guid;
        return result;
    }

    API_Guid Window(const API_Guid& owner)
    {
        API_Guid made {};
        EXPECT_EQ(CreateWindow(owner, made), NoError);
        return made;
    }

    API_Box3D Box(const API_Guid& guid)
    {
        API_Elem_Head head;
        head.guid = guid;
        API_Box3D box {};
        EXPECT_EQ(HostDatabaseRequest(FourCC("CABO"), &head, &box), NoError);
        return box;
    }

    GSErrCode UserEdit(const API_Guid& guid, std::int32_t kind, API_Coord displacement, double rise = 0.0)
    {
        API_ActTranPars t {};
        t.typeID = kind;
        t.displacement = displacement;
        t.displacementZ = rise;
        t.cosAngle = 0.0;
        t.sinAngle = 1.0;
        t.axisVector = {0.0, 1.0};
        return SimHost::UserEditElement(host.host(), guid, t);
    }

    static std::string BoxText(const API_Box3D& b)
    {
        char text[160];
        std::snprintf(text, sizeof text, "x %.4g..%.4g y %.4g..%.4g z %.4g..%.4g", b.xMin, b.xMax, b.yMin, b.yMax, b.zMin,
                      b.zMax);
        return text;
    }
};

const WallShape Straight {{0, 0}, {4, 0}};
const WallShape Polygonal {{9, 9}, {9, 9}, 0, false, {{0, 0}, {4, 0}, {4, 0.3}, {0, 0.3}}};

}  // namespace

TEST_F(HostOpenings, AnOpeningIsMadeOnlyInAWall)
{
    API_Guid made {};
    EXPECT_EQ(CreateWindow(APINULLGuid, made), APIERR_BADPARS);
    API_Element column;
    column.header.typeID = API_ColumnID;
    HostGetElementDefaults(&column, nullptr);
    ASSERT_EQ(Undoable([&] { return HostCreateElement(&column, nullptr); }), NoError);
    EXPECT_EQ(CreateWindow(column.header.guid, made), APIERR_BADPARS) << "a column holds no window";
    EXPECT_EQ(Model().content.elements.size(), 1u);

    EXPECT_EQ(CreateWindow(CreateWall(Straight), made), NoError);
    EXPECT_EQ(Model().content.elements.size(), 3u);
}

TEST_F(HostOpenings, APolygonalWallNeedsItsOutlineAndTakesItsFirstEdge)
{
    API_Element wall;
    wall.header.typeID = API_WallID;
    HostGetElementDefaults(&wall, nullptr);
    wall.wall.geometryKind = 2;
    API_ElementMemo none;
    EXPECT_EQ(Undoable([&] { return HostCreateElement(&wall, &none); }), APIERR_BADPARS);
    const API_Element made = Get(CreateWall(Polygonal));
    EXPECT_EQ(made.wall.begC.x, 0.0);
    EXPECT_EQ(made.wall.endC.x, 4.0);
    EXPECT_EQ(made.wall.endC.y, 0.0);
}

// The wall stands 0.2 above its storey and is 0.3 thick; its body lies right of
// its reference line when that is its outside face, unflipped.
TEST_F(HostOpenings, AnOpeningsBoxLiesInItsWall)
{
    struct Case
    {
        const char* name;
        WallShape wall;
        std::int16_t storey;
        const char* box;
    };
    WallShape inside = Straight;
    inside.referenceLine = 2;
    WallShape flipped = Straight;
    flipped.flipped = true;
    const Case cases[] = {
        {"reference line on the outside face", Straight, 0, "x 0.9..2.1 y -0.3..0 z 1.2..2.5"},
        {"reference line on the inside face", inside, 0, "x 0.9..2.1 y 0..0.3 z 1.2..2.5"},
        {"flipped", flipped, 0, "x 0.9..2.1 y 0..0.3 z 1.2..2.5"},
        {"on the upper storey", Straight, 1, "x 0.9..2.1 y -0.3..0 z 4.2..5.5"},
        {"polygonal: from the start point across to the far face", Polygonal, 0, "x 0.9..2.1 y 0..0.3 z 1.2..2.5"},
    };
    for (const Case& c : cases)
    {
        const API_Guid window = Window(CreateWall(c.wall, c.storey));
        EXPECT_EQ(BoxText(Box(window)), c.box) << c.name;
    }
}

TEST_F(HostOpenings, AnOpeningAloneMovesAlongItsWallAndChangesItsSill)
{
    for (const WallShape& shape : {Straight, Polygonal})
    {
        const API_Guid window = Window(CreateWall(shape));
        ASSERT_EQ(UserEdit(window, FourCC("DRAG"), {0.5, 0.7}, 0.1), NoError);
        EXPECT_EQ(BoxText(Box(window)),
                  "x 1.4..2.6 y " + std::string(shape.outline.empty() ? "-0.3..0" : "0..0.3") + " z 1.3..2.6")
            << "along the wall only";
        ASSERT_EQ(UserEdit(window, FourCC("ELEV"), {}, 0.2), NoError);
        EXPECT_NEAR(Get(window).window.sillHeight, 1.3, 1e-12);
        const API_Element before = Get(window);
        EXPECT_EQ(UserEdit(window, FourCC("ROTZ"), {}), APIERR_REFUSEDCMD);
        EXPECT_EQ(UserEdit(window, FourCC("MIRR"), {}), APIERR_REFUSEDCMD);
        const API_Element after = Get(window);
        EXPECT_EQ(std::memcmp(&before, &after, sizeof(API_Element)), 0) << "a refused edit changes nothing";
    }
}

TEST_F(HostOpenings, OpeningsMoveWithTheirWallAndGoWithIt)
{
    const API_Guid wall = CreateWall(Straight);
    const API_Guid window = Window(wall);
    ASSERT_EQ(UserEdit(wall, FourCC("DRAG"), {1.0, 2.0}), NoError);
    EXPECT_EQ(BoxText(Box(window)), "x 1.9..3.1 y 1.7..2 z 1.2..2.5");

    // Selected together, the opening goes with its wall once.
    const API_Neig both[] = {{1, wall, 0}, {9, window, 0}};
    API_EditPars drag {};
    drag.typeID = FourCC("DRAG");
    drag.withDelete = true;
    drag.endC = {-1.0, -2.0, 0.0};
    ASSERT_EQ(Undoable([&] { return HostEditElements(both, 2, &drag); }), NoError);
    EXPECT_EQ(BoxText(Box(window)), "x 0.9..2.1 y -0.3..0 z 1.2..2.5");

    const std::size_t steps = Model().undoSteps.size();
    ASSERT_EQ(SimHost::UserDeleteElement(host.host(), wall), NoError);
    EXPECT_TRUE(Model().content.elements.empty()) << "the window went with its wall";
    ASSERT_TRUE(Model().Undo());
    EXPECT_EQ(Model().undoSteps.size(), steps);
    ASSERT_NE(Model().Find(window), nullptr);
    EXPECT_EQ(Model().Find(window)->record.window.owner, wall);
}

TEST_F(HostOpenings, PartsTellTheirValueListsAndRunTheirScripts)
{
    SimHost::LibraryPartEntry part {"{11111111-2222-3333-4444-555555555555}-{66666666-7777-8888-9999-AAAAAAAAAAAA}", 40};
    part.params = {Parameter("A", 1.0), Parameter("gs_reveal_type_new", 0.0)};
    part.valueLists["gs_reveal_type_new"] = {GS::UniString("Keine"), GS::UniString("Gerade")};
    Model().libraryParts[3] = part;

    std::int32_t index = 4;
    EXPECT_EQ(HostUtilityRequest(FourCC("OPAR"), &index, nullptr), APIERR_BADINDEX);
    API_GetParamValuesType values;
    std::strcpy(values.name, "gs_reveal_type_new");
    EXPECT_NE(HostUtilityRequest(FourCC("GPVL"), &values, nullptr), NoError) << "no list is open";
    index = 3;
    ASSERT_EQ(HostUtilityRequest(FourCC("OPAR"), &index, nullptr), NoError);
    ASSERT_EQ(HostUtilityRequest(FourCC("GPVL"), &values, nullptr), NoError);
    ASSERT_EQ(values.nValues, 2);
    ASSERT_EQ(BMGetHandleSize(values.uniStringValues), static_cast<GSSize>(sizeof(u"Keine\0Gerade")));
    EXPECT_EQ(std::memcmp(*values.uniStringValues, u"Keine\0Gerade", sizeof(u"Keine\0Gerade")), 0);
    EXPECT_EQ(BMGetHandleSize(values.realValues), static_cast<GSSize>(2 * sizeof(double)));
    BMKillHandle(&values.uniStringValues);
    BMKillHandle(&values.realValues);
    API_GetParamValuesType unknown;
    std::strcpy(unknown.name, "gs_nothing");
    EXPECT_EQ(HostUtilityRequest(FourCC("GPVL"), &unknown, nullptr), APIERR_BADPARS);
    EXPECT_EQ(HostUtilityRequest(FourCC("CPAR"), nullptr, nullptr), NoError);
    EXPECT_NE(HostUtilityRequest(FourCC("CPAR"), nullptr, nullptr), NoError) << "closed already";

    const API_Guid window = Window(CreateWall(Straight));
    API_Elem_Head head;
    head.guid = window;
    ASSERT_EQ(HostUtilityRequest(FourCC("RPAS"), &head, nullptr), NoError);
    EXPECT_EQ(Model().Find(window)->parameterScriptRuns, 1);
    head.guid = Model().content.elements.front().record.header.guid;
    EXPECT_EQ(HostUtilityRequest(FourCC("RPAS"), &head, nullptr), APIERR_BADPARS) << "a wall has no script";
}
