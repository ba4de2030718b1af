// The simulated host and the platform stand-ins behave as the real ones would, also
// where the add-on goes off the main road.
#include <climits>
#include <cmath>
#include <functional>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "DG/DG.hpp"
#include "GS/Guid.hpp"
#include "Geometry/Polygon2DData.hpp"
#include "HostApiTestSupport.hpp"
#include "RS/ResourceModule.hpp"
#include "Scenario.hpp"
#include "TestDialogs.hpp"
#include "UndoableCommand.hpp"

namespace
{

class HostFaithfulness : public HostApiTest
{
protected:
    API_Guid CreateColumn()
    {
        API_Element column;
        column.header.typeID = API_ColumnID;
        EXPECT_EQ(HostGetElementDefaults(&column, nullptr), NoError);
        EXPECT_EQ(InUndoableCommand([&] { return HostCreateElement(&column, nullptr); }), NoError);
        return column.header.guid;
    }
};

TEST_F(HostFaithfulness, AFailedNestedCommandChangesNothingWhileTheOuterStepKeepsItsOwnWork)
{
    API_Guid outer {}, inner {};
    ASSERT_EQ(Undoable([&] {
                  outer = CreateColumn();
                  EXPECT_EQ(Undoable([&] {
                                inner = CreateColumn();
                                return APIERR_GENERAL;
                            }),
                            APIERR_GENERAL);
                  return NoError;
              }),
              NoError);
    ASSERT_EQ(Model().content.elements.size(), 1u);
    EXPECT_EQ(Model().content.elements.front().record.header.guid, outer);
    EXPECT_EQ(Model().Find(inner), nullptr);
    EXPECT_EQ(Model().undoSteps.size(), 1u);
}

TEST_F(HostFaithfulness, GeometryThatIsNoNumberIsRefusedAndNothingStored)
{
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case
    {
        const char* name;
        API_ElemTypeID type;
        std::function<void(API_Element&, API_ElementMemo&)> spoil;
    };
    const Case cases[] = {
        {"wall end", API_WallID, [&](API_Element& e, API_ElementMemo&) { e.wall.endC.x = nan; }},
        {"wall arc", API_WallID, [&](API_Element& e, API_ElementMemo&) { e.wall.arcAngle = nan; }},
        {"wall slant", API_WallID, [&](API_Element& e, API_ElementMemo&) { e.wall.slantAngle = inf; }},
        {"column origin", API_ColumnID, [&](API_Element& e, API_ElementMemo&) { e.column.origin.y = -inf; }},
        {"circle radius", API_CircleID, [&](API_Element& e, API_ElementMemo&) { e.arc.radius = inf; }},
        {"slab outline", API_SlabID,
         [&](API_Element&, API_ElementMemo& m) {
             m.coords = {{0, 0}, {nan, 1}, {1, 1}};
         }},
    };
    for (const Case& c : cases)
    {
        API_Element element;
        element.header.typeID = c.type;
        ASSERT_EQ(HostGetElementDefaults(&element, nullptr), NoError) << c.name;
        API_ElementMemo memo;
        c.spoil(element, memo);
        EXPECT_EQ(InUndoableCommand([&] { return HostCreateElement(&element, &memo); }), APIERR_BADPARS) << c.name;
        EXPECT_TRUE(Model().content.elements.empty()) << c.name;
    }

    const API_Guid column = CreateColumn();
    API_Element change;
    API_Element mask;
    change.header.guid = column;
    change.column.origin = {nan, 0};
    MarkToChange(mask.column.origin);
    EXPECT_EQ(InUndoableCommand([&] { return HostChangeElement(&change, &mask, nullptr, 0, true); }), APIERR_BADPARS);
    ASSERT_NE(Model().Find(column), nullptr);
    EXPECT_TRUE(std::isfinite(Model().Find(column)->record.column.origin.x));
}

TEST_F(HostFaithfulness, AFailedCommandLeavesNoSelectionOfElementsItMade)
{
    const API_Guid kept = CreateObject(1, 1, 1, 1);
    API_Neig keptNeig;
    keptNeig.guid = kept;
    ASSERT_EQ(HostSelectElements(&keptNeig, 1, true), NoError);
    EXPECT_EQ(Undoable([&] {
                  API_Neig neig;
                  neig.guid = CreateColumn();
                  HostSelectElements(&neig, 1, true);
                  return APIERR_GENERAL;
              }),
              APIERR_GENERAL);
    ASSERT_EQ(Model().selection.size(), 1u);
    EXPECT_EQ(Model().selection.front().guid, kept);
}

// Elements are found by GUID through every way the list changes: made, deleted with
// others in between, taken back by an undo, a selection added twice.
TEST_F(HostFaithfulness, ElementsAreFoundThroughMakingDeletingAndUndo)
{
    const API_Guid a = CreateColumn(), b = CreateColumn(), c = CreateColumn();
    const auto expectFound = [this](const std::vector<API_Guid>& present, const std::vector<API_Guid>& gone) {
        for (const API_Guid& guid : present)
        {
            const SimHost::StoredElement* found = Model().Find(guid);
            ASSERT_NE(found, nullptr);
            EXPECT_EQ(found->record.header.guid, guid);
        }
        for (const API_Guid& guid : gone) EXPECT_EQ(Model().Find(guid), nullptr);
    };
    expectFound({a, b, c}, {});

    API_Elem_Head going[2] {};
    going[0].guid = a;
    going[1].guid = b;
    ASSERT_EQ(InUndoableCommand([&] { return HostDeleteElements(going, 2); }), NoError);
    expectFound({c}, {a, b});
    const API_Guid d = CreateColumn();
    expectFound({c, d}, {a, b});

    ASSERT_TRUE(Model().Undo());
    expectFound({c}, {a, b, d});
    ASSERT_TRUE(Model().Undo());
    expectFound({a, b, c}, {d});

    API_Neig neigs[3] {};
    neigs[0].guid = c;
    neigs[1].guid = a;
    neigs[2].guid = c;
    ASSERT_EQ(HostSelectElements(neigs, 3, true), NoError);
    ASSERT_EQ(HostSelectElements(neigs, 2, true), NoError);
    ASSERT_EQ(Model().selection.size(), 2u);
    EXPECT_EQ(Model().selection[0].guid, c);
    EXPECT_EQ(Model().selection[1].guid, a);
    ASSERT_EQ(HostSelectElements(&neigs[2], 1, false), NoError);
    ASSERT_EQ(Model().selection.size(), 1u);
    EXPECT_EQ(Model().selection[0].guid, a);
}

TEST_F(HostFaithfulness, EnvironmentRequestsWithoutARecordAreRefused)
{
    for (const std::int32_t code : {FourCC("APPL"), FourCC("GSPF"), FourCC("GTBX"), FourCC("GSTO")})
        EXPECT_EQ(HostEnvironmentRequest(code, nullptr, nullptr), APIERR_BADPARS) << SimHost::FourCCText(code);
}

bool silentModeSeen = false;
int postedRuns = 0;

GSErrCode RecordPostedRun(const void*, void*, bool silentMode)
{
    silentModeSeen = silentMode;
    ++postedRuns;
    return NoError;
}

TEST_F(HostFaithfulness, APostedCommandRunsFromTheEventLoopWithItsOwnSilentMode)
{
    const std::int32_t command = FourCC("TEST");
    host->commandHandlers_[command] = RecordPostedRun;
    postedRuns = 0;
    silentModeSeen = true;
    API_ModulID own;
    ASSERT_EQ(HostPostAddOnCommand(&own, command, 1, false), NoError);
    EXPECT_EQ(postedRuns, 0);
    EXPECT_EQ(host->RunPendingCommands(), 1);
    EXPECT_EQ(postedRuns, 1);
    EXPECT_FALSE(silentModeSeen);
}

std::vector<std::int32_t> projectEvents;

GSErrCode RecordProjectEvent(std::int32_t event, std::int32_t)
{
    projectEvents.push_back(event);
    return NoError;
}

TEST_F(HostFaithfulness, ANewProjectClosesTheOpenOneFirst)
{
    host->projectEventHandler_ = RecordProjectEvent;
    host->projectEventMask_ = APINotify_New | APINotify_Open | APINotify_Close;
    projectEvents.clear();
    host->NewProject();
    host->NewProject();
    host->OpenProject("Bestand");
    EXPECT_EQ(projectEvents,
              (std::vector<std::int32_t> {APINotify_New, APINotify_Close, APINotify_New, APINotify_Close, APINotify_Open}));
}

TEST(DialogStandIn, APaletteMayCloseItselfFromItsOwnCallback)
{
    constexpr short Palette = 30901;
    const RS::ResModule module = DialogModule(Palette, "DIALOG 30901 palette \"P\"\nitem 1 button \"Zu\"\n");
    ASSERT_NE(module, 0);
    const std::string owner(64, 'p');  // big enough to live outside the callback object
    std::string seen;
    ASSERT_EQ(DG::OpenPalette(module, Palette,
                              [owner, &seen](short message, short dialog, short, std::intptr_t) {
                                  if (message == DG::MsgClick)
                                  {
                                      DG::ClosePalette(dialog);
                                      seen = owner;
                                  }
                                  return short(0);
                              }),
              Palette);
    DG::ClickItem(Palette, 1);
    EXPECT_EQ(seen, owner);
    EXPECT_FALSE(DG::IsOpen(Palette));
    DG::ForgetAllDialogs();
    RS::CloseResourceModule(module);
}

TEST(DialogStandIn, MalformedNumbersInADialogResourceKeepTheDefaults)
{
    constexpr short Dialog = 30902;
    const RS::ResModule module = DialogModule(
        Dialog, "DIALOG 30902 modal \"M\"\nitem 1 real \"x\" value=abc group=99999999999\nitem 2 int \"y\" value=7 group=3\n");
    DG::Dialog* dialog = DG::GetDialog(Dialog, module);
    ASSERT_NE(dialog, nullptr);
    ASSERT_EQ(dialog->items.size(), 2u);
    EXPECT_EQ(dialog->items[0].value, 0.0);
    EXPECT_EQ(dialog->items[0].group, 0);
    EXPECT_EQ(dialog->items[1].value, 7.0);
    EXPECT_EQ(dialog->items[1].group, 3);
    DG::ForgetAllDialogs();
    RS::CloseResourceModule(module);
}

TEST(GuidStandIn, DashesOnlyWhereTheTextFormHasThem)
{
    GS::Guid guid;
    EXPECT_TRUE(guid.FromText("{01234567-89AB-CDEF-0123-456789ABCDEF}"));
    EXPECT_EQ(guid.ToText(), "01234567-89AB-CDEF-0123-456789ABCDEF");
    for (const char* text : {"--234567-89AB-CDEF-0123-456789ABCDEF", "01234567-89AB-CDEF-0123-4567--ABCDEF",
                             "01234567-89AB-CDEF-0123-456789ABCDE-", "01234567089AB-CDEF-0123-456789ABCDEF"})
    {
        EXPECT_FALSE(guid.FromText(text)) << text;
        EXPECT_TRUE(guid.IsNull()) << text;
    }
}

TEST(PolygonStandIn, ExtremeIndicesAreRefusedWithoutOverflow)
{
    const std::vector<Geometry::Point2<double>> square {{0, 0}, {0, 0}, {1, 0}, {1, 1}, {0, 1}, {0, 0}};
    const struct
    {
        std::vector<std::int32_t> contourEnds;
        std::vector<Geometry::PolyArcRec> arcs;
    } cases[] = {
        {{0, 3, INT_MIN, 5}, {}},
        {{0, 5}, {{INT_MAX, INT_MIN, 1.0}}},
    };
    for (const auto& c : cases)
    {
        Geometry::Polygon2DData polygon;
        EXPECT_EQ(Geometry::ConvertToPolygon2DData(square, c.arcs, c.contourEnds, &polygon), APIERR_BADPARS);
        EXPECT_TRUE(polygon.vertices.empty());
    }
}

// Bad scenario lines end the scenario with their file and line, never with a crash.
TEST(ScenarioScript, BadLinesFailWithTheirLine)
{
    const struct
    {
        const char* text;
        int failingLine;
    } cases[] = {
        {"tool\n", 1},
        {"tool wall\n", 1},
        {"tool 1 x\n", 1},
        {"language\n", 1},
        {"# note\nsummon 3\n", 2},
        {"expect elements = none\n", 1},
        {"start\nconfig Late=1\n", 2},
        {"start\nlanguage ENG\n", 2},
        {"start\nstart\n", 2},
        {"start\nwait-newp soon\n", 2},
        {"start\nwait-newp 99999999999999\n", 2},
        {"start\nwait-newp 600001\n", 2},
        {"start\nwait-newp -1\n", 2},
        {"start\nwait-newp 10 20\n", 2},
        {"tool 1 99999999999999\n", 1},
        {"start\nmenu 32500 99999999999\n", 2},
        {"start\nannotation {a} 1 2 3\n", 2},
        {"start\nannotation {a} 1 2 3 4 5 6\n", 2},
        {"start\nannotation {a} 1 2 drei 4\n", 2},
        {"start\nannotation {a} 1 2 3 4 5 6 7 8 9\n", 2},
        {"start\nmenu 32500 first\n", 2},
        {"start\nuser-edit 7 drag 1 1 0\n", 2},
        {"start\nadd-storey 5 3.0\n", 2},
        {"start\nexpect elements\n", 2},
        {"start\nselect 1\n", 2},
        {"start\nnew-project\nadd-section section 0 0 1 0 left\nreserve 1 other\n", 4},
        {"start\nnew-project\nteamwork-user 1 anna\nreserve 1 other\n", 4},
        {"start\nadd-section elevation 0 0 1 left\n", 2},
        {"start\nadd-section elevation 0 0 1 0 up\n", 2},
        {"start\nadd-section ground 0 0 1 0 left\n", 2},
        {"start\nadd-section section 0 0 1 0 left\nfront-window elevation 1\n", 3},
        {"start\nadd-section interior-elevation 0 0 1 0 1 1 left\nfront-window interior-elevation 1 3\n", 3},
        {"start\nanswer-alert 4\n", 2},
        {"start\nwrite-view a.png 10 floorplan\n", 2},
        {"start\nnew-project\nwrite-view a.png 10 floorplan 0\n", 3},
        {"start\nwrite-view a.png 10 roof 0\n", 2},
        {"start\npick 1 2\n", 2},
        {"start\npick 1 2 nan\n", 2},
        {"start\nclick-row 32465 12 1\n", 2},
        {"start\nclick-header 32465 12 1\n", 2},
        {"start\nprint-list 1 1\n", 2},
        {"start\nresize-dialog 32465 0 0\n", 2},
        {"start\nanswer-folder\n", 2},
        {"start\nnew-project\nadd-view section Schnitt\n", 3},
        {"start\nnew-project\ndelete-view Nichts\n", 3},
        {"start\nview-rotation quer\n", 2},
        {"start\ntool-reference wall S-01\n", 2},
        {"start\nwrite-orthophoto-job jobs J sideways 1 1 1 8\n", 2},
        {"start\nwrite-orthophoto-job jobs J vertical 1 1 1 8 0 0\n", 2},
        {"start\nadd-library-part 2 {11111111-2222-3333-4444-555555555555}-{66666666-7777-8888-9999-AAAAAAAAAAAA} v2\n", 2},
    };
    for (const auto& c : cases)
    {
        SimHost::Host::Options options;
        options.addOnPath = SURVANTO_APX_PATH;
        std::ostringstream out;
        {
            SimHost::Scenario scenario(options, out);
            EXPECT_FALSE(scenario.RunText(c.text, "case")) << c.text;
        }
        EXPECT_EQ(out.str().rfind("case:" + std::to_string(c.failingLine) + ": ", 0), 0u) << c.text << out.str();
    }
}

// A script saved with CR LF line ends plays as it reads, and a point id with XML's
// own characters reaches the add-on as written.
TEST(ScenarioScript, CrLfLinesAndAnIdWithMarkupCharacters)
{
    SimHost::Host::Options options;
    options.addOnPath = SURVANTO_APX_PATH;
    std::ostringstream out;
    SimHost::Scenario scenario(options, out);
    EXPECT_TRUE(scenario.RunText("start\r\nnew-project\r\nannotation {a\"<&'>} 2 3 4 0 0 0 0 0\r\nwait-newp\r\n"
                                 "expect exchange-annotations = 0\r\nfree\r\n",
                                 "case"))
        << out.str();
}

// The user drags only the edges a palette's grow type offers; a palette that
// does not grow keeps its size.
TEST(ScenarioScript, ResizingAPaletteFollowsItsGrowType)
{
    SimHost::Host::Options options;
    options.addOnPath = SURVANTO_APX_PATH;
    std::ostringstream out;
    SimHost::Scenario scenario(options, out);
    ASSERT_TRUE(scenario.RunText("start\nnew-project\nmenu 32500\n", "open")) << out.str();
    const struct
    {
        short growType;
        short width, height;
    } cases[] = {{DG::NoGrow, 330, 470}, {DG::HGrow, 400, 470}, {DG::VGrow, 330, 560}, {DG::HVGrow, 400, 560}};
    for (const auto& c : cases)
    {
        DG::SetClientSize(32450, 330, 470);
        DG::SetDialogGrowType(32450, c.growType);
        EXPECT_TRUE(scenario.RunText("resize-dialog 32450 400 560\n", "resize")) << out.str();
        const DG::Size size = DG::GetClientSize(32450);
        EXPECT_EQ(size.width, c.width) << c.growType;
        EXPECT_EQ(size.height, c.height) << c.growType;
    }
    EXPECT_TRUE(scenario.RunText("free\n", "end")) << out.str();
}

}  // namespace
