#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "CreationFixture.hpp"
#include "ElementServices.hpp"
#include "frame/UInterface.hpp"

// Morphs from measured points: the points handed over or the selected measured-point
// markers, one undoable command, one polygon of three vertices and edges per face.

namespace
{

constexpr const char* Marker = "{2B4469A5-2D30-426D-B5E1-C290A9528079}-{FE5C8B03-8CAB-48E2-92B7-DBE442FC35BB}";
constexpr const char* MarkerOtherRevision = "{2B4469A5-2D30-426D-B5E1-C290A9528079}-{11111111-8CAB-48E2-92B7-DBE442FC35BB}";
constexpr const char* StationMarker = "{DC8764CE-AE59-4E76-A3A3-B41A0616EE75}-{BA12C4D0-B53B-4AE3-898F-FCFB15B1839A}";
constexpr std::int32_t MarkerPart = 1, CompatiblePart = 2, OtherPart = 3, MissingPart = 9;
constexpr std::int16_t MorphItems[] = {62, 75, 77};

API_AddParType Parameter(const char* name, double value)
{
    API_AddParType p;
    std::strncpy(p.name, name, sizeof p.name - 1);
    p.value = value;
    return p;
}

SimHost::LibraryPartEntry PartWithId(const char* uniqueId)
{
    SimHost::LibraryPartEntry part;
    part.uniqueId = uniqueId;
    return part;
}

}  // namespace

class MorphCreation : public CreationFixture
{
protected:
    void SetUp() override
    {
        CreationFixture::SetUp();
        Model().libraryParts[MarkerPart] = PartWithId(Marker);
        Model().libraryParts[CompatiblePart] = PartWithId(MarkerOtherRevision);
        Model().libraryParts[OtherPart] = PartWithId(StationMarker);
        Model().content.storeyLevels[1] = 3.0;
    }

    // A placed object as the marker placement leaves a measured-point marker.
    API_Guid Place(std::int32_t part, double x, double y, double elevation, std::int16_t storey = 0,
                   API_ElemTypeID type = API_ObjectID)
    {
        SimHost::StoredElement placed;
        placed.record = Model().DefaultsFor(type, 0).record;
        placed.record.header.guid = Model().NewGuid();
        placed.record.header.floorInd = storey;
        placed.record.object.libraryPartIndex = part;
        placed.record.object.position = {x, y};
        placed.record.object.elevation = elevation;
        placed.record.object.sizeA = placed.record.object.sizeB = 0.3;
        placed.memo.params = {Parameter("zzyzx", 0.3), Parameter("penHotPoint", 36), Parameter("idvisible", 0),
                              Parameter("bIsStandort", 0)};
        Model().content.elements.push_back(placed);
        return placed.record.header.guid;
    }
    API_Guid PlaceWall()
    {
        SimHost::StoredElement wall;
        wall.record = Model().DefaultsFor(API_WallID, 0).record;
        wall.record.header.guid = Model().NewGuid();
        wall.record.wall.endC = {4, 0};
        Model().content.elements.push_back(wall);
        return wall.record.header.guid;
    }
    void Select(const std::vector<API_Guid>& guids)
    {
        Model().selection.clear();
        for (const API_Guid& guid : guids)
        {
            API_Neig neig;
            neig.guid = guid;
            neig.neigID = SimHost::NeigOfElementType(Model().Find(guid)->record.header.typeID);
            Model().selection.push_back(neig);
        }
    }
    void Run(const std::vector<API_Coord3D>* given = nullptr)
    {
        for (const std::int16_t item : MorphItems) SetItem(item, 1.0);
        TypVektor<API_Coord3D> list;
        if (given != nullptr)
            for (const API_Coord3D& p : *given) list.Add(p);
        Main().CreateMorphFromPoints(given != nullptr ? &list : nullptr);
    }
    const SimHost::StoredElement* Morph()
    {
        const SimHost::StoredElement* found = nullptr;
        for (const SimHost::StoredElement& e : Model().content.elements)
            if (e.record.header.typeID == API_MorphID) found = &e;
        return found;
    }
    void ExpectItemsOff(const char* name)
    {
        for (const std::int16_t item : MorphItems) EXPECT_EQ(Main().MainPaletteItemValue(item), 0.0) << name << ", item " << item;
    }
    std::size_t Calls(const std::string& name)
    {
        const auto& log = Host().CallLog();
        return static_cast<std::size_t>(std::count(log.begin(), log.end(), name));
    }
};

TEST_F(MorphCreation, ThreeSelectedMarkersMakeOneTriangle)
{
    Model().DefaultsFor(API_MorphID, 0).record.header.floorInd = 1;
    Select({Place(MarkerPart, 0, 0, 0.5, 1), Place(MarkerPart, 4, 0, 1.0, 0), Place(MarkerPart, 0, 3, -0.2, 1)});
    Run();

    const SimHost::StoredElement* morph = Morph();
    ASSERT_NE(morph, nullptr);
    const API_MorphBody& body = morph->memo.morphBody;
    ASSERT_EQ(body.vertices.size(), 3u);
    const std::vector<API_Coord3D> expected {{0, 0, 3.5}, {4, 0, 1.0}, {0, 3, 2.8}};
    for (std::size_t k = 0; k < 3; ++k)
    {
        EXPECT_DOUBLE_EQ(body.vertices[k].x, expected[k].x);
        EXPECT_DOUBLE_EQ(body.vertices[k].y, expected[k].y);
        EXPECT_DOUBLE_EQ(body.vertices[k].z, expected[k].z) << "the storey's level and the elevation";
    }
    EXPECT_EQ(body.edges, (std::vector<std::array<std::int32_t, 2>> {{1, 2}, {2, 3}, {3, 1}}));
    ASSERT_EQ(body.polygons.size(), 1u);
    EXPECT_EQ(body.polygons[0].edges, (std::vector<std::int32_t> {1, 2, 3}));
    ASSERT_EQ(morph->memo.morphMaterialMapTable.size(), 1u);
    EXPECT_EQ(morph->memo.morphMaterialMapTable[0].attributeIndex, 2);
    EXPECT_TRUE(morph->memo.morphMaterialMapTable[0].overridden);
    EXPECT_EQ(morph->record.header.floorInd, 1) << "the tool's storey, not moved";
    EXPECT_EQ(morph->record.morph.transformation[11], -3.0) << "placed from its storey at 3 down to the project's heights";
    API_Elem_Head header = morph->record.header;
    API_Box3D box {};
    ASSERT_EQ(HostDatabaseRequest(FourCC("CABO"), &header, &box), NoError);
    EXPECT_EQ(std::vector<double>({box.zMin, box.zMax}), std::vector<double>({1.0, 3.5}));
    EXPECT_EQ(Model().undoSteps.size(), 1u);
    EXPECT_TRUE(Host().bodyBuilders_.empty()) << "the body builder is given back";
    EXPECT_TRUE(Main().elementCreated);
    ExpectItemsOff("three markers");
}

TEST_F(MorphCreation, OnlySelectedMarkersGivePoints)
{
    struct Case
    {
        const char* name;
        std::function<std::vector<API_Guid>()> select;
        std::uint32_t points;
    };
    const Case cases[] = {
        {"two markers",
         [&] {
             return std::vector<API_Guid> {Place(MarkerPart, 0, 0, 0), Place(MarkerPart, 1, 0, 0)};
         },
         0},
        {"two markers and a wall",
         [&] {
             return std::vector<API_Guid> {Place(MarkerPart, 0, 0, 0), PlaceWall(), Place(MarkerPart, 1, 0, 0)};
         },
         2},
        {"other objects and a lamp",
         [&] {
             return std::vector<API_Guid> {Place(MarkerPart, 0, 0, 0),
                                           Place(OtherPart, 5, 5, 0),
                                           Place(MarkerPart, 1, 0, 0),
                                           Place(MarkerPart, 0, 1, 0),
                                           Place(MarkerPart, 2, 2, 0, 0, API_LampID),
                                           Place(MissingPart, 3, 3, 0)};
         },
         3},
        {"a compatible part",
         [&] {
             return std::vector<API_Guid> {Place(MarkerPart, 0, 0, 0), Place(CompatiblePart, 1, 0, 0),
                                           Place(MarkerPart, 0, 1, 0)};
         },
         3},
    };
    for (const Case& c : cases)
    {
        Model().content.elements.clear();
        Model().undoSteps.clear();
        Select(c.select());
        Run();
        EXPECT_EQ(Main().meshBuilder.Points().GetSize(), c.points) << c.name;
        EXPECT_EQ(Morph() != nullptr, c.points == 3) << c.name;
        EXPECT_EQ(Model().undoSteps.size(), c.points == 3 ? 1u : 0u) << c.name;
        ExpectItemsOff(c.name);
    }
}

TEST_F(MorphCreation, EveryFaceBringsThreeVerticesAndEdgesOfItsOwn)
{
    std::vector<API_Coord3D> grid;
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column) grid.push_back({double(column), double(row), 0.1 * row * column});
    struct Case
    {
        double thickness;
        std::size_t faces;
    };
    for (const Case& c : {Case {0.0, 8}, Case {0.25, 64}})
    {
        Model().content.elements.clear();
        SetItem(74, c.thickness);
        DG::PopupSelectItem(Survanto::MainPaletteDialogId, 76, 1);
        Run(&grid);
        const SimHost::StoredElement* morph = Morph();
        ASSERT_NE(morph, nullptr);
        const API_MorphBody& body = morph->memo.morphBody;
        EXPECT_EQ(body.vertices.size(), 3 * c.faces);
        EXPECT_EQ(body.edges.size(), 3 * c.faces);
        ASSERT_EQ(body.polygons.size(), c.faces);
        for (std::size_t f = 0; f < c.faces; ++f)
        {
            const auto v = static_cast<std::int32_t>(3 * f);
            EXPECT_EQ(body.polygons[f].edges, (std::vector<std::int32_t> {v + 1, v + 2, v + 3}));
            EXPECT_EQ(body.edges[3 * f + 2], (std::array<std::int32_t, 2> {v + 3, v + 1}));
        }
    }
}

// The kind is the entry the pop-up shows, whatever value the item holds.
TEST_F(MorphCreation, TheSecondKindExtrudesAlongTheMeasuredVector)
{
    const std::vector<API_Coord3D> square {{0, 0, 0}, {2, 0, 0}, {0, 2, 0}, {2, 2, 0}};
    SetItem(74, 0.5);
    SetItem(76, 1.0);
    DG::PopupSelectItem(Survanto::MainPaletteDialogId, 76, 2);
    SetPoints({{0, 0, 0}, {1, 0, 0}});
    Run(&square);
    ASSERT_NE(Morph(), nullptr);
    const API_MorphBody& body = Morph()->memo.morphBody;
    EXPECT_EQ(body.polygons.size(), 16u) << "two triangles become prisms";
    double highestZ = 0.0;
    for (const API_Coord3D& v : body.vertices) highestZ = std::max(highestZ, std::abs(v.z));
    EXPECT_NEAR(highestZ, 0.0, 1e-9) << "the prisms end on the plane across the vector, not above the surface";
    EXPECT_TRUE(std::any_of(body.vertices.begin(), body.vertices.end(),
                            [](const API_Coord3D& v) { return std::abs(v.x - 0.5) < 1e-9 && v.y > 0.1; }));
}

TEST_F(MorphCreation, WithoutAFaceNoCommandRuns)
{
    const std::vector<API_Coord3D> line {{0, 0, 0}, {1, 1, 0}, {2, 2, 0}, {3, 3, 1}};
    Run(&line);
    Select({Place(MarkerPart, 0, 0, 0), Place(MarkerPart, 1, 0, 0)});
    Run();
    EXPECT_EQ(Morph(), nullptr);
    EXPECT_EQ(Calls("HostCallUndoableCommand"), 0u);
    EXPECT_TRUE(Model().undoSteps.empty());
    ExpectItemsOff("no face");
}

// Markers on one straight line in plan, typed with decimals, stand in one
// vertical plane: no morph, and the user is told once.
TEST_F(MorphCreation, MarkersInOneVerticalPlaneMakeNoMorphAndTellTheUser)
{
    const std::string told =
        "Survanto - Warnung!: Es kann kein Morph erzeugt werden: Die Punkte liegen in einer senkrechten Ebene.";
    struct Case
    {
        const char* name;
        int markers;
        double rise;  // elevation gained per marker
    };
    const Case cases[] = {
        {"twenty markers at one height", 20, 0.0},
        {"twenty markers climbing", 20, 0.17},
        {"three markers on one line in space", 3, 0.31},
    };
    for (const Case& c : cases)
    {
        Model().content.elements.clear();
        DG::ClearRecordedAlerts();
        std::vector<API_Guid> markers;
        for (int k = 0; k < c.markers; ++k)
            markers.push_back(Place(MarkerPart, 0.37 + 0.13 * k, 1.21 + 0.29 * k, 0.3 + c.rise * k));
        Select(markers);
        Run();
        EXPECT_EQ(Morph(), nullptr) << c.name;
        std::vector<std::string> alerts;
        for (const DG::AlertRecord& alert : DG::RecordedAlerts())
            alerts.push_back(alert.title.ToUtf8() + ": " + alert.text1.ToUtf8());
        EXPECT_EQ(alerts, std::vector<std::string> {told}) << c.name;
        ExpectItemsOff(c.name);
    }
}

// Two markers stand on others' plan positions: they are left out, the morph is
// made of the rest, and one alert tells of both.
TEST_F(MorphCreation, MarkersAtOnePlanPositionAreLeftOutWithOneAlert)
{
    Select({Place(MarkerPart, 0, 0, 0), Place(MarkerPart, 2, 0, 0), Place(MarkerPart, 2, 2, 0), Place(MarkerPart, 0, 2, 0),
            Place(MarkerPart, 1, 1, 0.5), Place(MarkerPart, 1, 1, 3), Place(MarkerPart, 2, 2, 1)});
    Run();
    ASSERT_NE(Morph(), nullptr);
    EXPECT_EQ(Main().meshBuilder.Faces().GetSize(), 4u) << "the square and its centre";
    ASSERT_EQ(DG::RecordedAlerts().size(), 1u);
    const DG::AlertRecord& alert = DG::RecordedAlerts().front();
    EXPECT_EQ(alert.type, AlertInformation);
    EXPECT_EQ(alert.title.ToUtf8(), "Survanto - Meldung.");
    EXPECT_EQ(
        alert.text1.ToUtf8(),
        "Einige Punkte wurden für den Morph ausgelassen, weil im Grundriss an derselben Stelle schon ein anderer Punkt liegt.");
}

TEST_F(MorphCreation, SidePlanesTakeTheirPointsFromTheRunningAction)
{
    DG::PopupSelectItem(Survanto::MainPaletteDialogId, 76, 1);
    SetPoints({{5, 5, 0}, {5, 5, 4}, {-1, 0, 9}, {-1, 5, 9}, {0, -1, 9}, {5, -1, 9}});
    Select({Place(MarkerPart, 0, 0, 1), Place(MarkerPart, 2, 0, 1), Place(MarkerPart, 0, 2, 1), Place(MarkerPart, 2, 2, 1)});
    Run();  // item 75 on: the side planes
    ASSERT_NE(Morph(), nullptr);
    EXPECT_EQ(Main().actionPoints.GetSize(), 0u) << "the six plane points are taken";
    bool cornerUsed = false;
    for (const API_Coord3D& v : Morph()->memo.morphBody.vertices) cornerUsed = cornerUsed || v.x < 0 || v.y < 0;
    EXPECT_TRUE(cornerUsed);
}
