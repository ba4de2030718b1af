// What the simulated host gives the creators: polygon memos checked against their
// records, views of sections and elevations, the selection, teamwork reservations,
// library-part versions, plan geometry and value formatting.
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "ClosedOutline.hpp"
#include "DG/DG.hpp"
#include "Geometry/Geometry.hpp"
#include "HostApiTestSupport.hpp"
#include "UndoableCommand.hpp"
#include "ViewElement.hpp"

namespace
{

class HostServicesForCreators : public HostApiTest
{
protected:
    // An element of the type with its tool defaults, the changes applied, made in one command.
    GSErrCode Create(API_ElemTypeID type, API_ElementMemo* memo, const std::function<void(API_Element&)>& change,
                     API_Guid* made = nullptr)
    {
        API_Element element;
        element.header.typeID = type;
        EXPECT_EQ(HostGetElementDefaults(&element, nullptr), NoError);
        change(element);
        const GSErrCode result = Undoable([&] { return InUndoableCommand([&] { return HostCreateElement(&element, memo); }); });
        if (made != nullptr) *made = element.header.guid;
        return result;
    }

    API_Guid Line(double x0, double y0, double x1, double y1, std::int16_t layer = 1)
    {
        API_Guid guid {};
        EXPECT_EQ(Create(
                      API_LineID, nullptr,
                      [&](API_Element& e) {
                          e.header.layer = layer;
                          e.line.begC = {x0, y0};
                          e.line.endC = {x1, y1};
                      },
                      &guid),
                  NoError);
        return guid;
    }

    void Select(const std::vector<API_Guid>& guids)
    {
        Model().selection.clear();
        for (const API_Guid& guid : guids)
        {
            API_Neig neig;
            neig.guid = guid;
            Model().selection.push_back(neig);
        }
    }

    bool Passes(const API_Guid& guid, std::int32_t bits)
    {
        bool passes = false;
        EXPECT_EQ(HostFilterElement(&guid, bits, 0, &APINULLGuid, &passes), NoError);
        return passes;
    }

    // A view element as the add-section verb makes one: two points per segment.
    API_Guid AddViewElement(API_ElemTypeID type, const std::vector<API_Coord>& line)
    {
        SimHost::StoredElement element = ViewElementAlong(Model(), type, line);
        element.memo.sectionDistCoords = {{line[0].x, line[0].y + 1}, {line[1].x, line[1].y + 1}};
        Model().content.elements.push_back(element);
        return element.record.header.guid;
    }
};

}  // namespace

TEST_F(HostServicesForCreators, SlabsAndFillsBringThePolygonTheirRecordCounts)
{
    const std::vector<API_Coord> triangle {{0, 0}, {4, 0}, {0, 3}};
    struct Case
    {
        const char* name;
        std::function<void(API_Polygon&, API_ElementMemo&)> spoil;
        GSErrCode expected;
    };
    const Case cases[] = {
        {"as counted", [](API_Polygon&, API_ElementMemo&) {}, NoError},
        {"one coordinate more than counted", [](API_Polygon& p, API_ElementMemo&) { p.nCoords = 3; }, APIERR_BADPARS},
        {"an arc not counted",
         [](API_Polygon&, API_ElementMemo& m) {
             m.parcs = {{1, 2, 0.5}};
         },
         APIERR_BADPARS},
        {"end list beyond the points",
         [](API_Polygon&, API_ElementMemo& m) {
             m.pends = {0, 7};
         },
         APIERR_BADPARS},
        {"not closed",
         [](API_Polygon&, API_ElementMemo& m) {
             m.coords.back() = {1, 1};
         },
         APIERR_BADPARS},
        {"two corners",
         [](API_Polygon& p, API_ElementMemo& m) {
             m = ClosedOutline({{0, 0}, {4, 0}});
             p.nCoords = 3;
         },
         APIERR_BADPARS},
    };
    for (const API_ElemTypeID type : {API_SlabID, API_HatchID})
    {
        for (const Case& c : cases)
        {
            API_ElementMemo memo = ClosedOutline(triangle);
            const GSErrCode result = Create(type, &memo, [&](API_Element& e) {
                API_Polygon& poly = type == API_SlabID ? e.slab.poly : e.hatch.poly;
                poly = {4, 1, 0};
                c.spoil(poly, memo);
            });
            EXPECT_EQ(result, c.expected) << type << " " << c.name;
        }
        API_Element counted;
        counted.header.typeID = type;
        EXPECT_EQ(InUndoableCommand([&] { return HostCreateElement(&counted, nullptr); }), APIERR_BADPARS) << "no memo";
    }
    EXPECT_EQ(host->Fact("elements"), "slab:1 fill:1");
    EXPECT_EQ(host->Fact("element 2"), "fill (0,0) (4,0) (0,3) (0,0) storey 0 layer 1");
}

TEST_F(HostServicesForCreators, SplinesRunThroughTheirPointsFromTheFirstEntry)
{
    API_ElementMemo memo;
    memo.coords = {{0, 0}, {1, 2}, {3, 1}};
    ASSERT_EQ(Create(API_SplineID, &memo, [](API_Element& e) { e.spline.closed = true; }), NoError);
    EXPECT_EQ(host->Fact("element 1"), "spline closed (0,0) (1,2) (3,1) storey 0 layer 1");
    memo.coords = {{0, 0}};
    EXPECT_EQ(Create(API_SplineID, &memo, [](API_Element&) {}), APIERR_BADPARS);
}

TEST_F(HostServicesForCreators, DrawingsMadeInAViewBelongToItsElement)
{
    const API_Guid room = AddViewElement(API_InteriorElevationID, {{0, 0}, {10, 0}, {10, 8}});
    Model().frontWindow = APIWind_InteriorElevationID;
    Model().currentDatabase.typeID = APIWind_InteriorElevationID;
    Model().currentDatabase.elementGuid = room;
    Model().currentDatabase.segmentNumber = 1;

    Line(1, 1, 2, 2);
    ASSERT_EQ(Create(API_ColumnID, nullptr, [](API_Element&) {}), NoError);
    EXPECT_EQ(host->Fact("element 1"), "interior-elevation (0,0) (10,0) (10,0) (10,8) seen from (0,1) (10,1) storey 0 layer 1");
    EXPECT_EQ(host->Fact("element 2"), "line (1,1)-(2,2) storey 0 layer 1 in interior-elevation of element 1 segment 2");
    EXPECT_EQ(host->Fact("element 3").find(" in "), std::string::npos) << "a column belongs to the model";

    Model().currentDatabase = API_DatabaseInfo {};
    Model().currentDatabase.typeID = APIWind_SectionID;
    Line(1, 1, 2, 2);
    EXPECT_EQ(host->Fact("element 4").find(" in "), std::string::npos) << "a section window without its element";
}

TEST_F(HostServicesForCreators, TheSelectionLeavesOutWhatTheUserMayNotEditWhenAsked)
{
    AddLayer(2, APILay_Locked);
    const API_Guid free = Line(0, 0, 1, 0);
    const API_Guid onLockedLayer = Line(0, 1, 1, 1, 2);
    const API_Guid heldByColleague = Line(0, 2, 1, 2);
    Select({free, onLockedLayer, heldByColleague});

    API_SelectionInfo info;
    std::vector<API_Neig> neigs;
    ASSERT_EQ(HostGetSelection(&info, &neigs, false, true), NoError);
    EXPECT_EQ(neigs.size(), 3u);
    EXPECT_EQ(info.sel_nElemEdit, 2) << "solo: everything not locked";

    host->project_.teamwork.SetCurrentUser(3, "Anna");
    host->project_.teamwork.Hold(free, 3);
    host->project_.teamwork.Hold(heldByColleague, host->project_.teamwork.SomeoneElse());
    ASSERT_EQ(HostGetSelection(&info, &neigs, true, true), NoError);
    ASSERT_EQ(neigs.size(), 1u);
    EXPECT_EQ(neigs[0].guid, free);
    EXPECT_EQ(info.sel_nElem, 3);
    EXPECT_EQ(info.sel_nElemEdit, 1);
}

TEST_F(HostServicesForCreators, ReservationsKeepWhatAColleagueHolds)
{
    const API_Guid wall = Line(0, 0, 4, 0);
    const API_Guid other = Line(0, 1, 4, 1);
    const std::vector<API_Guid> both {wall, other};
    EXPECT_TRUE(Passes(wall, APIFilt_HasAccessRight)) << "solo";
    EXPECT_EQ(HostReserveElements(&both, nullptr), APIERR_REFUSEDCMD) << "nothing to reserve in a solo project";

    host->project_.teamwork.SetCurrentUser(3, "Anna");
    host->project_.teamwork.Hold(other, host->project_.teamwork.SomeoneElse());
    EXPECT_FALSE(Passes(wall, APIFilt_HasAccessRight));
    std::vector<API_Guid> conflicts;
    ASSERT_EQ(HostReserveElements(&both, &conflicts), NoError);
    ASSERT_EQ(conflicts.size(), 1u);
    EXPECT_EQ(conflicts[0], other);
    EXPECT_TRUE(Passes(wall, APIFilt_HasAccessRight | APIFilt_IsEditable));
    EXPECT_FALSE(Passes(other, APIFilt_HasAccessRight));
    EXPECT_EQ(host->Fact("reservations"), "1:3 2:4");

    bool passes = true;
    EXPECT_EQ(HostFilterElement(&wall, 2, 0, &APINULLGuid, &passes), APIERR_BADPARS) << "a bit this host does not know";
}

TEST_F(HostServicesForCreators, LibraryPartsTellTheirVersion)
{
    SimHost::LibraryPartEntry& entry = Model().libraryParts[3];
    entry.uniqueId = "{11111111-2222-3333-4444-555555555555}-{66666666-7777-8888-9999-AAAAAAAAAAAA}";
    entry.version = 34;
    API_LibPart part;
    part.index = 3;
    ASSERT_EQ(HostGetLibraryPart(&part), NoError);
    EXPECT_EQ(part.version, 34);
    EXPECT_STREQ(part.uniqueId, "{11111111-2222-3333-4444-555555555555}-{66666666-7777-8888-9999-AAAAAAAAAAAA}");
    part.index = 4;
    EXPECT_EQ(HostGetLibraryPart(&part), APIERR_BADINDEX);
}

TEST(PlanGeometry, LinesSegmentsAndArcs)
{
    using namespace Geometry;
    Coord x;
    EXPECT_TRUE(XLines({{0, 0}, {3, 0}}, {{4, 1}, {4, 3}}, &x));
    EXPECT_DOUBLE_EQ(x.x, 4.0);
    EXPECT_DOUBLE_EQ(x.y, 0.0);
    EXPECT_FALSE(XLines({{0, 0}, {3, 0}}, {{0, 1}, {3, 1}}, &x)) << "parallel";
    EXPECT_FALSE(XLines({{0, 0}, {0, 0}}, {{0, 1}, {3, 1}}, &x)) << "no length";

    const Sector wall {{0, 0}, {4, 0}};
    struct OnSegment
    {
        Coord point;
        Boundary boundary;
        bool on;
    };
    const OnSegment cases[] = {
        {{4 + 0.9e-5, 0}, Boundary_Closed, true},
        {{4 + 1.1e-5, 0}, Boundary_Closed, false},
        {{4, 0}, Boundary_Opened, false},
        {{2, 0.5e-5}, Boundary_Opened, true},
    };
    for (const OnSegment& c : cases) EXPECT_EQ(IsSectorPointIntersect(wall, c.point, c.boundary, 1e-5), c.on) << c.point.x;
    EXPECT_DOUBLE_EQ(DistCoordSectorPtr({6, 0}, wall), 2.0);
    EXPECT_DOUBLE_EQ(DistCoordSectorPtr({1, -0.2}, wall), 0.2);
    EXPECT_DOUBLE_EQ(CoordProjSector({6, 3}, wall).x, 6.0);

    GenArc arc;
    ASSERT_TRUE(SetGenArc({1, 0}, {0, 1}, M_PI / 2, &arc));
    EXPECT_NEAR(arc.origo.x, 0.0, 1e-12);
    EXPECT_NEAR(arc.r, 1.0, 1e-12);
    EXPECT_NEAR(arc.begAng, 0.0, 1e-12);
    EXPECT_NEAR(arc.endAng, M_PI / 2, 1e-12);
    GenArc clockwise;
    ASSERT_TRUE(SetGenArc({0, 1}, {1, 0}, -M_PI / 2, &clockwise));
    EXPECT_NEAR(clockwise.origo.y, 0.0, 1e-12);
    EXPECT_NEAR(clockwise.begAng, 0.0, 1e-12) << "told from its end";
    EXPECT_FALSE(SetGenArc({1, 0}, {1, 0}, 1.0, &arc));

    Coord crossings[2];
    ASSERT_EQ(XGenArcSectorEps(arc, {{0, 0}, {2, 2}}, crossings, 1e-5), 1);
    EXPECT_NEAR(crossings[0].x, std::sqrt(0.5), 1e-12);
    EXPECT_EQ(XGenArcSectorEps(arc, {{0, 0}, {-2, -2}}, crossings, 1e-5), 0) << "on the circle, off the arc";
    EXPECT_EQ(XGenArcSectorEps(arc, {{-2, 0.5}, {2, 0.5}}, crossings, 1e-5), 1);
    ASSERT_EQ(XGenArcSectorEps({{0, 0}, 1.0, 0.0, 2 * M_PI - 1e-9}, {{-2, 0}, {2, 0}}, crossings, 1e-5), 2);
    EXPECT_NEAR(crossings[0].x, -1.0, 1e-12) << "in the order along the segment";
}

TEST(ValueFormatting, LengthsInMetresWithTheirDecimals)
{
    DGUnitData unit;
    unit.lengthUnit = DG_UNIT_METER;
    unit.lengthDecimals = 3;
    const double values[] = {4.25, -0.1234, 12.0};
    const char* texts[] = {"4.250", "-0.123", "12.000"};
    for (int i = 0; i < 3; ++i) EXPECT_EQ(DGDoubleToStringUnit(&values[i], DG_ET_LENGTH, &unit).ToUtf8(), texts[i]);
    EXPECT_TRUE(DGDoubleToStringUnit(&values[0], 2, &unit).IsEmpty()) << "another value kind";
    const double nan = std::nan("");
    EXPECT_TRUE(DGDoubleToStringUnit(&nan, DG_ET_LENGTH, &unit).IsEmpty());
}
