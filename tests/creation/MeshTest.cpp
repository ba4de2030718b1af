#include <cstring>
#include <vector>

#include "CreationFixture.hpp"
#include "ElementServices.hpp"

// Free-area meshes from collected points or selected measured-point markers: the
// outline from the drawn boundary or the convex hull, outline heights and level
// points above the lowest point, the skirt down to the reference height.

namespace
{

constexpr const char* Marker = "{2B4469A5-2D30-426D-B5E1-C290A9528079}-{FE5C8B03-8CAB-48E2-92B7-DBE442FC35BB}";
constexpr const char* StationMarker = "{DC8764CE-AE59-4E76-A3A3-B41A0616EE75}-{BA12C4D0-B53B-4AE3-898F-FCFB15B1839A}";
constexpr std::int32_t MarkerPart = 1, OtherPart = 2;
constexpr std::int16_t ReferenceItem = 42, KindItem = 43;
const std::vector<API_Coord3D> SquareWithTop {{0, 0, 0}, {4, 0, 0}, {4, 4, 0}, {0, 4, 0}, {2, 2, 1}};

SimHost::LibraryPartEntry PartWithId(const char* uniqueId)
{
    SimHost::LibraryPartEntry part;
    part.uniqueId = uniqueId;
    return part;
}

SimHost::InputAnswer Polygon(std::vector<API_Coord> corners)
{
    SimHost::InputAnswer answer;
    answer.kind = SimHost::InputAnswer::Polygon;
    answer.corners = std::move(corners);
    return answer;
}

}  // namespace

class MeshTest : public CreationFixture
{
protected:
    void SetUp() override
    {
        CreationFixture::SetUp();
        Model().libraryParts[MarkerPart] = PartWithId(Marker);
        Model().libraryParts[OtherPart] = PartWithId(StationMarker);
    }

    // The kind as the pop-up shows it: entry 1 "Nur Oberfläche", entry 2 "Vollkörper".
    void ChooseKind(std::int16_t entry)
    {
        SetItem(KindItem, 1.0);
        DG::PopupSelectItem(Survanto::MainPaletteDialogId, KindItem, entry);
    }

    void Collect(const std::vector<API_Coord3D>& points, double reference, std::int16_t kind)
    {
        Model().content.elements.clear();
        SetItem(ReferenceItem, reference);
        ChooseKind(kind);
        Main().meshPoints[0].Clear();
        for (const API_Coord3D& p : points) Main().meshPoints[0].Add(p);
    }

    API_Guid Place(std::int32_t part, double x, double y, double elevation, API_ElemTypeID type = API_ObjectID)
    {
        SimHost::StoredElement placed;
        placed.record = Model().DefaultsFor(type, 0).record;
        placed.record.header.guid = Model().NewGuid();
        placed.record.object.libraryPartIndex = part;
        placed.record.object.position = {x, y};
        placed.record.object.elevation = elevation;
        Model().content.elements.push_back(placed);
        API_Neig neig;
        neig.guid = placed.record.header.guid;
        neig.neigID = SimHost::NeigOfElementType(type);
        Model().selection.push_back(neig);
        return neig.guid;
    }

    const SimHost::StoredElement* Mesh()
    {
        for (const SimHost::StoredElement& e : Model().content.elements)
            if (e.record.header.typeID == API_MeshID) return &e;
        return nullptr;
    }
};

// The square's corners at 0 and its middle at 1, R −1, "Vollkörper".
TEST_F(MeshTest, SquareWithItsMiddleAsLevelPoint)
{
    Collect(SquareWithTop, -1.0, 2);
    Main().CreateMesh();
    const SimHost::StoredElement* mesh = Mesh();
    ASSERT_NE(mesh, nullptr);
    const API_MeshType& record = mesh->record.mesh;
    EXPECT_EQ(record.skirt, 1);
    EXPECT_DOUBLE_EQ(record.skirtHeight, 1.0);
    EXPECT_DOUBLE_EQ(record.bottomOffset, 0.0);
    EXPECT_EQ(record.poly.nCoords, 5);
    EXPECT_EQ(record.poly.nSubPolys, 1);
    EXPECT_EQ(record.poly.nArcs, 0);
    const std::vector<API_Coord> outline {{0, 0}, {4, 0}, {4, 4}, {0, 4}, {0, 0}};
    ASSERT_EQ(mesh->memo.coords.size(), 6u);
    for (std::size_t i = 0; i < outline.size(); ++i)
    {
        EXPECT_EQ(mesh->memo.coords[i + 1].x, outline[i].x) << i;
        EXPECT_EQ(mesh->memo.coords[i + 1].y, outline[i].y) << i;
    }
    EXPECT_EQ(mesh->memo.pends, (std::vector<std::int32_t> {0, 5}));
    EXPECT_EQ(mesh->memo.meshPolyZ, (std::vector<double>(6, 0.0)));
    EXPECT_EQ(mesh->memo.vertexIDs, (std::vector<std::int32_t> {7, 1, 2, 3, 4, 1, 6}));
    ASSERT_EQ(mesh->memo.meshLevelCoords.size(), 1u);
    const API_MeshLevelCoord& top = mesh->memo.meshLevelCoords[0];
    EXPECT_EQ(top.c.x, 2.0);
    EXPECT_EQ(top.c.y, 2.0);
    EXPECT_EQ(top.c.z, 1.0);
    EXPECT_EQ(top.vertexID, 6);
    EXPECT_EQ(record.levelPointCount, 1);
    EXPECT_EQ(record.levelLineCount, 1);
    EXPECT_EQ(Main().meshPoints[0].GetSize(), 0u);
}

// A reference height between the lowest and the highest point makes a surface; the
// alert tells so only when a solid body was asked for.
TEST_F(MeshTest, ReferenceBetweenThePointsMakesASurface)
{
    struct Case
    {
        const char* name;
        double reference;
        std::int16_t kind;
        std::int16_t skirt;
        double skirtHeight;
        std::size_t alerts;
    };
    const Case cases[] = {
        {"solid below", -1.0, 2, 1, 1.0, 0},
        {"solid between", 0.5, 2, 3, 0.0, 1},
        {"surface between", 0.5, 1, 3, 0.0, 0},
    };
    for (const Case& c : cases)
    {
        const std::size_t alertsBefore = DG::RecordedAlerts().size();
        Collect(SquareWithTop, c.reference, c.kind);
        Main().CreateMesh();
        ASSERT_NE(Mesh(), nullptr) << c.name;
        EXPECT_EQ(Mesh()->record.mesh.skirt, c.skirt) << c.name;
        EXPECT_DOUBLE_EQ(Mesh()->record.mesh.skirtHeight, c.skirtHeight) << c.name;
        EXPECT_EQ(DG::RecordedAlerts().size() - alertsBefore, c.alerts) << c.name;
    }
}

// Three points or an outline of under three distinct corners make no mesh.
TEST_F(MeshTest, TooFewPointsOrCornersMakeNone)
{
    Collect({{0, 0, 0}, {4, 0, 0}, {4, 4, 0}}, -1.0, 2);
    Main().CreateMesh();
    EXPECT_EQ(Mesh(), nullptr);
    Collect({{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {3, 0, 1}}, -1.0, 2);
    Main().CreateMesh();
    EXPECT_EQ(Mesh(), nullptr);
}

// Only selected measured-point markers give points; a drawn boundary's vertex
// takes the height of the nearest point, and a point on it is no level point.
TEST_F(MeshTest, SelectedMarkersWithADrawnBoundary)
{
    struct Case
    {
        const char* name;
        std::vector<SimHost::InputAnswer> answers;
        std::vector<double> heights;
        std::size_t levelPoints;
    };
    const Case cases[] = {
        {"boundary off and on points",
         {SimHost::InputAnswer::Picked({-1, -1, 0}), Polygon({{-1, -1}, {4, 0}, {4, 4}, {0, 4}})},
         {0, 0.5, 0, 0.25, 0, 0},
         2},
        {"cancelled boundary", {SimHost::InputAnswer {}}, {0, 0.5, 0, 0.25, 0, 0}, 1},
    };
    for (const Case& c : cases)
    {
        Model().content.elements.clear();
        Model().selection.clear();
        SetItem(ReferenceItem, -1.0);
        ChooseKind(2);
        Place(MarkerPart, 0, 0, 0.5);
        Place(MarkerPart, 4, 0, 0);
        Place(MarkerPart, 4, 4, 0.25);
        Place(MarkerPart, 0, 4, 0);
        Place(MarkerPart, 2, 2, 1);
        Place(OtherPart, 3, 3, 9);
        Place(MarkerPart, 1, 1, 7, API_LampID);
        Host().inputAnswers_.assign(c.answers.begin(), c.answers.end());
        Main().CreateMeshFromActivatedPoints(true);
        ASSERT_NE(Mesh(), nullptr) << c.name;
        EXPECT_EQ(Mesh()->memo.meshPolyZ, c.heights) << c.name;
        EXPECT_EQ(Mesh()->memo.meshLevelCoords.size(), c.levelPoints) << c.name;
        EXPECT_FALSE(Main().busy) << c.name;
        EXPECT_TRUE(Host().inputAnswers_.empty()) << c.name;
    }
}

// Without a selected marker there is no height to draw the boundary at: no input.
TEST_F(MeshTest, NoMarkerSelectedStartsNoInput)
{
    Model().selection.clear();
    Host().inputAnswers_ = {SimHost::InputAnswer::Picked({0, 0, 0})};
    Main().CreateMeshFromActivatedPoints(true);
    EXPECT_EQ(Mesh(), nullptr);
    EXPECT_EQ(Host().inputAnswers_.size(), 1u);
}
