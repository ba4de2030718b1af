#include <cmath>
#include <string>

#include "DG/DG.hpp"
#include "HostApiTestSupport.hpp"
#include "UndoableCommand.hpp"
#include "Win/Display.hpp"
#include "framework/HostApiHelpers.hpp"

namespace
{

constexpr short NavigatorDialog = 32446;
constexpr short TreeItem = 2;

// A tree view that each test fills afresh.
class TreeSearch : public ::testing::Test
{
protected:
    TreeSearch() { DG::TreeViewDeleteAllItems(NavigatorDialog, TreeItem); }
    ~TreeSearch() override { DG::TreeViewDeleteAllItems(NavigatorDialog, TreeItem); }

    std::int32_t Insert(std::int32_t parent, std::int64_t userData, std::int32_t position = DG::TreeInsertLast)
    {
        const std::int32_t item = DG::TreeViewInsertItem(NavigatorDialog, TreeItem, parent, position);
        DG::TreeViewSetItemUserData(NavigatorDialog, TreeItem, item, userData);
        return item;
    }

    static std::int32_t Find(std::int32_t parent, std::int32_t userData)
    {
        return FindTreeViewItemByUserData(NavigatorDialog, TreeItem, parent, userData);
    }
};

TEST_F(TreeSearch, SearchesDepthFirstWithDescendantsBeforeTheItem)
{
    const std::int32_t top = Insert(DG::TreeItemRoot, 0);
    const std::int32_t upper = Insert(top, -100001);
    const std::int32_t lower = Insert(top, -100000, DG::TreeInsertFirst);  // listed before the upper storey
    const std::int32_t cloudBelow = Insert(lower, 1);
    const std::int32_t cloudAbove = Insert(upper, 2);
    const std::int32_t sameAsParent = Insert(upper, -100001);
    const std::int32_t wide = Insert(upper, std::int64_t {0x700000000} + 3);  // compared by its low 32 bits

    EXPECT_EQ(Find(DG::TreeItemRoot, 0), top);
    EXPECT_EQ(Find(DG::TreeItemRoot, -100000), lower);
    EXPECT_EQ(Find(DG::TreeItemRoot, -100001), sameAsParent);
    EXPECT_EQ(Find(DG::TreeItemRoot, 1), cloudBelow);
    EXPECT_EQ(Find(DG::TreeItemRoot, 2), cloudAbove);
    EXPECT_EQ(Find(DG::TreeItemRoot, 3), wide);
    EXPECT_EQ(Find(DG::TreeItemRoot, 4), -1);
    EXPECT_EQ(Find(upper, 1), -1);        // only below the given parent
    EXPECT_EQ(Find(lower, -100000), -1);  // the parent itself is not a candidate
    EXPECT_EQ(Find(42, 0), -1);
}

TEST_F(TreeSearch, AnEmptyTreeHasNothingToFind)
{
    EXPECT_EQ(Find(DG::TreeItemRoot, 0), -1);
    EXPECT_EQ(DG::TreeViewGetItem(NavigatorDialog, TreeItem, DG::TreeItemRoot, DG::TreeFirstChild), DG::TreeItemNone);
}

TEST(ScreenPixels, FollowTheScreensWidthAndReleaseTheContext)
{
    const int held = Win::HeldDeviceContexts();
    // 1920 pixels over 508 millimetres: 96 pixels per inch.
    EXPECT_DOUBLE_EQ(GetScreenPixelsPerMeter(), 96 / 0.0254);
    EXPECT_EQ(Win::HeldDeviceContexts(), held);
}

class LibraryPartIds : public HostApiTest
{
protected:
    static constexpr const char* TableId = "{8E1A2B3C-0000-4000-8000-00000000A001}-{8E1A2B3C-0000-4000-8000-00000000B002}";

    API_Elem_Head PlaceObject(std::int32_t libraryPartIndex)
    {
        API_Element e;
        e.header.typeID = API_ObjectID;
        EXPECT_EQ(HostGetElementDefaults(&e, nullptr), NoError);
        e.object.libraryPartIndex = libraryPartIndex;
        EXPECT_EQ(InUndoableCommand([&] { return HostCreateElement(&e, nullptr); }), NoError);
        return e.header;
    }

    void ShowSection(const API_Guid& element)
    {
        Model().currentDatabase = API_DatabaseInfo {};
        Model().currentDatabase.typeID = APIWind_SectionID;
        Model().currentDatabase.index = 4;
        Model().currentDatabase.elementGuid = element;
    }
};

TEST_F(LibraryPartIds, AreReadInTheFloorPlanAndTheViewReturnsToItsDatabase)
{
    Model().libraryParts[3].uniqueId = TableId;
    const API_Elem_Head table = PlaceObject(3);
    const API_Guid section = APIGuidFromString("{11111111-2222-3333-4444-555555555555}");
    ShowSection(section);
    char direct[API_UniIDLength] {};
    API_Elem_Head request = table;
    ASSERT_EQ(HostUtilityRequest(FourCC("GELU"), &request, direct), APIERR_BADID);  // not in the section's database

    char text[200] {};
    GetElementLibPartId(table, text, sizeof text);

    EXPECT_EQ(std::string(text), TableId);
    EXPECT_EQ(Model().currentDatabase.typeID, APIWind_SectionID);
    EXPECT_EQ(Model().currentDatabase.index, 4);
    EXPECT_EQ(Model().currentDatabase.elementGuid, section);
}

TEST_F(LibraryPartIds, LeaveTheTextAloneWhenThereIsNoneAndStayWithinTheText)
{
    Model().libraryParts[3].uniqueId = TableId;
    API_Element wall;
    wall.header.typeID = API_WallID;
    HostGetElementDefaults(&wall, nullptr);
    ASSERT_EQ(InUndoableCommand([&] { return HostCreateElement(&wall, nullptr); }), NoError);
    for (const API_Elem_Head& header : {wall.header, PlaceObject(9)})
    {
        char text[200] {};
        GetElementLibPartId(header, text, sizeof text);
        EXPECT_EQ(std::string(text), "");
    }

    char mainGuid[39];
    std::memset(mainGuid, 'x', sizeof mainGuid);
    GetElementLibPartId(PlaceObject(3), mainGuid, sizeof mainGuid);
    EXPECT_EQ(std::string(mainGuid), std::string(TableId, 38));
}

Geometry::Polygon2DData FromMemo(const API_ElementMemo& memo)
{
    Geometry::Polygon2DData polygon;
    MemoPolygonToPolygon2DData(memo, polygon);
    return polygon;
}

// Coordinates from index 1, one contour end per contour after the leading 0.
API_ElementMemo Outline(std::vector<API_Coord> points, std::vector<std::int32_t> ends, std::vector<API_PolyArc> arcs = {})
{
    API_ElementMemo memo;
    memo.coords.push_back({});
    memo.coords.insert(memo.coords.end(), points.begin(), points.end());
    memo.pends = std::move(ends);
    memo.parcs = std::move(arcs);
    return memo;
}

void ExpectVertices(const Geometry::Polygon2DData& polygon, const std::vector<API_Coord>& points)
{
    ASSERT_EQ(polygon.vertices.size(), points.size() + 1);
    for (std::size_t i = 0; i < points.size(); ++i)
    {
        EXPECT_DOUBLE_EQ(polygon.vertices[i + 1].x, points[i].x) << i + 1;
        EXPECT_DOUBLE_EQ(polygon.vertices[i + 1].y, points[i].y) << i + 1;
    }
}

void ExpectBox(const Geometry::Box2DData& box, double xMin, double yMin, double xMax, double yMax)
{
    EXPECT_NEAR(box.xMin, xMin, 1e-12);
    EXPECT_NEAR(box.yMin, yMin, 1e-12);
    EXPECT_NEAR(box.xMax, xMax, 1e-12);
    EXPECT_NEAR(box.yMax, yMax, 1e-12);
}

TEST(PolygonConversion, TurnsTheOutlineCounterClockwiseAndTheHolesClockwise)
{
    const API_ElementMemo memo = Outline({{0, 0},
                                          {0, 4},
                                          {4, 4},
                                          {4, 0},
                                          {0, 0},  // clockwise outline
                                          {1, 1},
                                          {2, 1},
                                          {2, 2},
                                          {1, 2},
                                          {1, 1}},  // counter-clockwise hole
                                         {0, 5, 10});
    const Geometry::Polygon2DData polygon = FromMemo(memo);

    EXPECT_EQ(polygon.status, Geometry::PolyStatus_BoundBox | Geometry::PolyStatus_Oriented);
    ExpectBox(polygon.boundBox, 0, 0, 4, 4);
    ExpectVertices(polygon, {{0, 0}, {4, 0}, {4, 4}, {0, 4}, {0, 0}, {1, 1}, {1, 2}, {2, 2}, {2, 1}, {1, 1}});
    EXPECT_EQ(polygon.contourEnds, (std::vector<std::int32_t> {0, 5, 10}));
}

TEST(PolygonConversion, ArcsCountForTheBoxAndTheOrientation)
{
    // A half disc below the chord from (0, 0) to (2, 0): clockwise as given.
    const API_ElementMemo memo = Outline({{0, 0}, {2, 0}, {0, 0}}, {0, 3}, {{2, 3, -M_PI}});
    const Geometry::Polygon2DData polygon = FromMemo(memo);

    EXPECT_EQ(polygon.status, Geometry::PolyStatus_BoundBox | Geometry::PolyStatus_Oriented);
    ExpectBox(polygon.boundBox, 0, -1, 2, 0);
    ExpectVertices(polygon, {{0, 0}, {2, 0}, {0, 0}});
    ASSERT_EQ(polygon.arcs.size(), 1u);
    EXPECT_EQ(polygon.arcs[0].begIndex, 1);  // the arc now runs first, turning left
    EXPECT_EQ(polygon.arcs[0].endIndex, 2);
    EXPECT_DOUBLE_EQ(polygon.arcs[0].arcAngle, M_PI);
}

TEST(PolygonConversion, RefusedOutlinesLeaveTheRecordEmpty)
{
    const API_ElementMemo square = Outline({{0, 0}, {1, 0}, {1, 1}, {0, 1}, {0, 0}}, {0, 5});
    const std::vector<API_Coord> triangle {{0, 0}, {1, 0}, {1, 1}, {0, 0}};
    const std::vector<API_Coord> twoTriangles {{0, 0}, {1, 0}, {1, 1}, {0, 0}, {2, 2}, {3, 2}, {3, 3}, {2, 2}};
    struct Case
    {
        const char* name;
        API_ElementMemo memo;
    };
    const Case cases[] = {
        {"no polygon", API_ElementMemo {}},
        {"contour end beyond the coordinates", Outline(triangle, {0, 9})},
        {"contour end short of the coordinates", Outline(triangle, {0, 3})},
        {"no leading zero", Outline(triangle, {4})},
        {"falling contour ends", Outline(twoTriangles, {0, 9, 8})},
        {"arc across two contours", Outline(twoTriangles, {0, 4, 8}, {{4, 5, 1.0}})},
        {"arc beyond the coordinates", Outline(triangle, {0, 4}, {{7, 8, 1.0}})},
        {"arc between distant vertices", Outline(triangle, {0, 4}, {{1, 3, 1.0}})},
    };
    for (const Case& c : cases)
    {
        Geometry::Polygon2DData polygon;
        MemoPolygonToPolygon2DData(square, polygon);
        MemoPolygonToPolygon2DData(c.memo, polygon);
        EXPECT_TRUE(polygon.vertices.empty()) << c.name;
        EXPECT_EQ(polygon.status, 0u) << c.name;
        EXPECT_NE(ValidatePolygon2DData(polygon), NoError) << c.name;
    }
}

TEST(PolygonConversion, AContourWithoutAreaIsBoxedButNotOriented)
{
    const Geometry::Polygon2DData flat = FromMemo(Outline({{0, 0}, {1, 0}, {2, 0}, {0, 0}}, {0, 4}));
    EXPECT_EQ(flat.status, Geometry::PolyStatus_BoundBox);
    ExpectBox(flat.boundBox, 0, 0, 2, 0);
    Geometry::Polygon2DData again = flat;
    EXPECT_NE(ValidatePolygon2DData(again), NoError);
}

TEST(PolygonValidation, SkipsWhatItsStatusMarksAsDone)
{
    Geometry::Polygon2DData clockwise;
    Geometry::ConvertToPolygon2DData({{}, {0, 0}, {0, 1}, {1, 1}, {1, 0}, {0, 0}}, {}, {0, 5}, &clockwise);

    Geometry::Polygon2DData oriented = clockwise;
    oriented.status = Geometry::PolyStatus_Oriented;
    EXPECT_EQ(ValidatePolygon2DData(oriented), NoError);
    EXPECT_DOUBLE_EQ(oriented.vertices[2].y, 1.0);  // left as it was
    ExpectBox(oriented.boundBox, 0, 0, 1, 1);

    Geometry::Polygon2DData boxed = clockwise;
    boxed.status = Geometry::PolyStatus_BoundBox;
    EXPECT_EQ(ValidatePolygon2DData(boxed), NoError);
    EXPECT_DOUBLE_EQ(boxed.vertices[2].x, 1.0);  // turned counter-clockwise
    ExpectBox(boxed.boundBox, 0, 0, 0, 0);
    EXPECT_EQ(boxed.status, Geometry::PolyStatus_BoundBox | Geometry::PolyStatus_Oriented);
}

// The main line (0,0)-(10,0), (10,0)-(10,10), (10,10)-(0,10) of three segments.
struct SectionCase
{
    const char* name;
    std::int32_t databaseType;
    std::int32_t segmentNumber;
    API_Coord distancePoint;
    bool left;
};

TEST(SectionSide, TakesTheShownSegmentOfAnInteriorElevation)
{
    API_Element element;
    element.cutPlane.segmentCount = 3;
    API_ElementMemo memo;
    memo.sectionSegments = {{2}, {2}, {2}};
    memo.sectionMainCoords = {{0, 0}, {10, 0}, {10, 0}, {10, 10}, {10, 10}, {0, 10}};
    const SectionCase cases[] = {
        {"section, view to the left", APIWind_SectionID, 0, {5, 3}, true},
        {"section, view to the right", APIWind_SectionID, 0, {5, -3}, false},
        {"elevation ignores segment numbers", APIWind_ElevationID, 1, {5, -5}, false},
        {"first segment", APIWind_InteriorElevationID, 0, {5, -5}, false},
        {"second segment", APIWind_InteriorElevationID, 1, {5, -5}, true},
        {"third segment", APIWind_InteriorElevationID, 2, {5, 15}, false},
        {"segment beyond the line", APIWind_InteriorElevationID, 5, {5, 5}, false},
    };
    for (const SectionCase& c : cases)
    {
        memo.sectionDistCoords = {{0, 0}, c.distancePoint};
        API_DatabaseInfo database {};
        database.typeID = c.databaseType;
        database.segmentNumber = c.segmentNumber;
        EXPECT_EQ(IsSectionViewToLeft(element, memo, database), c.left) << c.name;
    }
}

TEST(SectionSide, IsFalseWhenTheMemoLacksTheShownSegmentOrTheDistanceLine)
{
    API_Element element;
    element.cutPlane.segmentCount = 3;
    API_DatabaseInfo database {};
    database.typeID = APIWind_InteriorElevationID;
    database.segmentNumber = 2;
    API_ElementMemo memo;
    memo.sectionDistCoords = {{0, 0}, {5, 5}};
    EXPECT_FALSE(IsSectionViewToLeft(element, memo, database));
    memo.sectionMainCoords = {{0, 0}, {10, 0}, {10, 0}, {10, 10}, {10, 10}, {0, 10}};
    memo.sectionSegments = {{2}};  // fewer segments than the element counts
    EXPECT_FALSE(IsSectionViewToLeft(element, memo, database));
    memo.sectionSegments = {{-2}, {2}, {2}};
    EXPECT_FALSE(IsSectionViewToLeft(element, memo, database));
    memo.sectionSegments = {{2}, {2}, {2}};
    EXPECT_TRUE(IsSectionViewToLeft(element, memo, database));
    memo.sectionDistCoords.resize(1);
    EXPECT_FALSE(IsSectionViewToLeft(element, memo, database));
}

}  // namespace
