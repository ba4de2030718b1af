#include <cmath>
#include <string>

#include "CreationFixture.hpp"
#include "ElementServices.hpp"
#include "Host.hpp"
#include "ServiceTable.hpp"

extern "C" GSErrCode GetExportedFuncAddrs(std::int32_t, API_ExportedFuncs*);
extern "C" GSErrCode SetImportedFuncAddrs(std::int32_t, const HostServiceTable*);

// Objects and lamps placed by one insertion point or fitted to three corners. The
// host places a library part with its box corner (x min, y min) on the position
// and its size A along its own x axis.

namespace
{

constexpr double Tol = 1e-6;

struct Placed
{
    double x, y, angle;
};

void ExpectPlaced(const API_ObjectType& object, const Placed& expected, const std::string& name)
{
    EXPECT_NEAR(object.position.x, expected.x, Tol) << name;
    EXPECT_NEAR(object.position.y, expected.y, Tol) << name;
    EXPECT_NEAR(object.angle, expected.angle, Tol) << name;
}

// Tool defaults that the host hands out but reports as refused, after the layer check's read.
HostServiceSignature::HostGetElementDefaults realDefaults = nullptr;
int defaultsReads = 0;
GSErrCode DefaultsRefusedAfterTheFirstRead(HostToken token, API_Element* element, API_ElementMemo* memo)
{
    const GSErrCode result = realDefaults(token, element, memo);
    return ++defaultsReads > 1 ? APIERR_GENERAL : result;
}

}  // namespace

class ObjectTest : public CreationFixture
{
protected:
    API_ObjectType Place(API_ElemTypeID type, std::int16_t option, std::initializer_list<API_Coord3D> points)
    {
        Model().content.elements.clear();
        ChooseOption(option);
        SetPoints(points);
        if (type == API_ObjectID)
            Main().CreateObject();
        else
            Main().CreateLamp();
        EXPECT_EQ(Main().pointStep, 0);
        return OnlyElement(type).object;
    }

    void SetToolAngle(double angle)
    {
        for (const API_ElemTypeID type : {API_ObjectID, API_LampID}) ToolDefaults(type).object.angle = angle;
    }
};

// The anchor point of the element's box lands on the measured point, and the
// element turns about it to the tool's angle.
TEST_F(ObjectTest, OneInsertionPointCarriesTheAnchorAndTheToolsAngle)
{
    struct Case
    {
        const char* name;
        API_ElemTypeID type;
        double toolAngle;
        std::int16_t anchor;  // the pop-up's entry, 0 for none
        Placed expected;
    };
    const Case cases[] = {
        {"upper left, turned 30°", API_ObjectID, 30 * Degree, 1, {2.25, 2.566987, 0.523599}},
        {"no anchor icon", API_ObjectID, 0.0, 0, {1.5, 2.75, 0.0}},
        {"upper left, unturned", API_ObjectID, 0.0, 1, {2.0, 2.5, 0.0}},
        {"lower right", API_ObjectID, 0.0, 8, {1.0, 3.0, 0.0}},
        {"lamp", API_LampID, 30 * Degree, 1, {2.25, 2.566987, 0.523599}},
    };
    for (const API_ElemTypeID type : {API_ObjectID, API_LampID})
    {
        ToolDefaults(type).object.sizeA = 1.0;
        ToolDefaults(type).object.sizeB = 0.5;
    }
    for (const Case& c : cases)
    {
        SetToolAngle(c.toolAngle);
        ChooseAnchor(c.anchor);
        const API_ObjectType placed = Place(c.type, 14, {{2, 3, 1.2}});
        ExpectPlaced(placed, c.expected, c.name);
        EXPECT_NEAR(placed.elevation, 1.2, Tol) << c.name;
    }
    EXPECT_TRUE(Main().elementCreated);
}

TEST_F(ObjectTest, TheHeightCountsFromTheToolsStorey)
{
    Model().content.storeyLevels[1] = 3.0;
    ToolDefaults(API_ObjectID).header.floorInd = 1;
    const API_ObjectType placed = Place(API_ObjectID, 14, {{2, 3, 4.25}});
    EXPECT_NEAR(placed.elevation, 1.25, Tol);
    EXPECT_EQ(placed.head.floorInd, 1);
}

// Size A along P0P1, size B towards P2, the corner on P0 (P2 to the left) or on P1
// (P2 to the right); the tool's own angle and the points' heights take no part.
TEST_F(ObjectTest, ThreeCornersGiveSizeTurnAndPlace)
{
    struct Case
    {
        const char* name;
        API_Coord3D p0, p1, p2;
        Placed expected;
    };
    const Case cases[] = {
        {"P2 to the left", {1, 1, 7}, {1, 3, 7}, {0, 3, 2}, {1, 1, Pi / 2}},
        {"P2 to the right", {0, 0, 0}, {2, 0, 0}, {2, -1, 0}, {2, 0, Pi}},
        {"P2 on the line", {0, 0, 0}, {2, 0, 0}, {4, 0, 0}, {0, 0, 0}},
    };
    ToolDefaults(API_LampID).object.elevation = 0.7;
    for (const double toolAngle : {0.0, 30 * Degree})
    {
        SetToolAngle(toolAngle);
        for (const Case& c : cases)
        {
            const std::string name = std::string(c.name) + (toolAngle != 0.0 ? ", tool turned" : "");
            const API_ObjectType lamp = Place(API_LampID, 15, {c.p0, c.p1, c.p2});
            ExpectPlaced(lamp, c.expected, name);
            EXPECT_NEAR(lamp.sizeA, std::hypot(c.p1.x - c.p0.x, c.p1.y - c.p0.y), Tol) << name;
            EXPECT_NEAR(lamp.sizeB, std::hypot(c.p2.x - c.p1.x, c.p2.y - c.p1.y), Tol) << name;
            EXPECT_NEAR(lamp.elevation, 0.7, Tol) << name;
        }
    }
    const API_ObjectType object = Place(API_ObjectID, 15, {{1, 1, 0}, {1, 3, 0}, {0, 3, 0}});
    ExpectPlaced(object, {1, 1, Pi / 2}, "object");
}

// Without the element's box there is nothing to place it by: it stays as the host made it.
TEST_F(ObjectTest, WithoutItsBoxTheElementIsNotMoved)
{
    Host().FailService(HostSlot::HostDatabaseRequest);
    Host().LoadStatic({GetExportedFuncAddrs, SetImportedFuncAddrs});
    SetToolAngle(30 * Degree);
    ChooseAnchor(1);
    ExpectPlaced(Place(API_ObjectID, 14, {{2, 3, 1.2}}), {2, 3, 0}, "one point");
    ExpectPlaced(Place(API_LampID, 15, {{1, 1, 0}, {1, 3, 0}, {0, 3, 0}}), {0, 0, 0}, "three corners");
}

// Refused tool defaults stop an object placed by one point, nothing else.
TEST_F(ObjectTest, RefusedDefaultsStopOnlyAnObjectByOnePoint)
{
    struct Case
    {
        const char* name;
        API_ElemTypeID type;
        std::int16_t option;
        std::size_t made;
    };
    const Case cases[] = {
        {"object by one point", API_ObjectID, 14, 0},
        {"lamp by one point", API_LampID, 14, 1},
        {"object by three corners", API_ObjectID, 15, 1},
    };
    HostServiceTable table {};
    SimHost::FillFrameServices(table);
    SimHost::FillElementServices(table);
    SimHost::FillModuleDataServices(table);
    SimHost::FillPaletteServices(table);
    realDefaults = reinterpret_cast<HostServiceSignature::HostGetElementDefaults>(
        table[static_cast<std::size_t>(HostSlot::HostGetElementDefaults)]);
    SIMHOST_SET_SERVICE(table, HostGetElementDefaults, DefaultsRefusedAfterTheFirstRead);
    AddOnInterface::SetServiceTable(&table);
    for (const Case& c : cases)
    {
        Model().content.elements.clear();
        defaultsReads = 0;
        ChooseOption(c.option);
        SetPoints({{0, 0, 0}, {2, 0, 0}, {2, 1, 0}});
        if (c.type == API_ObjectID)
            Main().CreateObject();
        else
            Main().CreateLamp();
        EXPECT_EQ(ElementsOfType(c.type).size(), c.made) << c.name;
        EXPECT_EQ(Main().pointStep, 0) << c.name;
    }
}

TEST_F(ObjectTest, ARefusedLayerPlacesNothing)
{
    Model().content.layers[1].flags = APILay_Hidden;
    AnswerDialogs([](DG::Dialog&) { return short(DG::Cancel); });
    ChooseOption(14);
    SetPoints({{2, 3, 1}});
    Main().CreateObject();
    EXPECT_TRUE(Model().content.elements.empty());
    EXPECT_TRUE(Model().undoSteps.empty());
    EXPECT_EQ(Main().pointStep, 0);
}
