// survanto-host's body builder, morphs with bodies and the comparison of library parts,
// as the add-on meets them through the service table.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "API/AddOnInterface.hpp"
#include "ElementServices.hpp"
#include "InProcessHost.hpp"

namespace
{

constexpr const char* Marker = "{2B4469A5-2D30-426D-B5E1-C290A9528079}-{FE5C8B03-8CAB-48E2-92B7-DBE442FC35BB}";
constexpr const char* MarkerOtherRevision = "{2B4469A5-2D30-426D-B5E1-C290A9528079}-{00000000-8CAB-48E2-92B7-DBE442FC35BB}";
constexpr const char* OtherPart = "{DC8764CE-AE59-4E76-A3A3-B41A0616EE75}-{BA12C4D0-B53B-4AE3-898F-FCFB15B1839A}";
const API_OverriddenAttribute Material {2, true};

class MorphBodyHost : public ::testing::Test
{
protected:
    InProcessHost host;
    API_BodyBuilder builder = nullptr;

    void SetUp() override { ASSERT_EQ(HostCreateBodyBuilder(nullptr, 0, &builder), NoError); }
    void TearDown() override
    {
        if (builder != nullptr)
        {
            EXPECT_EQ(HostDisposeBodyBuilder(&builder), NoError);
        }
    }

    SimHost::ProjectModel& Model() { return host->model_; }

    std::int32_t Vertex(double x, double y, double z)
    {
        const API_Coord3D point {x, y, z};
        std::int32_t index = 0;
        EXPECT_EQ(HostAddBodyVertex(builder, &point, &index), NoError);
        return index;
    }
    std::int32_t Edge(std::int32_t from, std::int32_t to)
    {
        std::int32_t index = 0;
        EXPECT_EQ(HostAddBodyEdge(builder, from, to, &index), NoError);
        return index;
    }
    GSErrCode Polygon(const std::vector<std::int32_t>& edges, API_OverriddenAttribute material = Material,
                      std::int32_t normal = 0)
    {
        std::int32_t index = 0;
        return HostAddBodyPolygon(builder, edges.data(), static_cast<std::int32_t>(edges.size()), normal, material, &index);
    }
    // A square on the floor and a triangle standing on its first side.
    void SquareAndTriangle()
    {
        const std::int32_t a = Vertex(0, 0, 0), b = Vertex(2, 0, 0), c = Vertex(2, 2, 0), d = Vertex(0, 2, 0);
        const std::int32_t top = Vertex(1, 0, 3);
        const std::int32_t ab = Edge(a, b), bc = Edge(b, c), cd = Edge(c, d), da = Edge(d, a);
        ASSERT_EQ(Polygon({ab, bc, cd, da}), NoError);
        const std::int32_t bTop = Edge(b, top), topA = Edge(top, a);
        ASSERT_EQ(Polygon({-ab, -topA, -bTop}, API_OverriddenAttribute {7, false}), NoError);
    }
    GSErrCode CreateMorph(API_ElementMemo* memo, API_Element& morph)
    {
        morph = API_Element {};
        morph.header.typeID = API_MorphID;
        EXPECT_EQ(HostGetElementDefaults(&morph, nullptr), NoError);
        return HostCallUndoableCommand(GS::UniString(), [&] { return HostCreateElement(&morph, memo); });
    }
};

}  // namespace

TEST_F(MorphBodyHost, AMorphKeepsItsBodyAndReportsItsBox)
{
    SquareAndTriangle();
    API_ElementMemo memo;
    ASSERT_EQ(HostFinishBody(builder, &memo.morphBody, &memo.morphMaterialMapTable), NoError);
    ASSERT_EQ(HostDisposeBodyBuilder(&builder), NoError);
    EXPECT_EQ(builder, nullptr);
    EXPECT_TRUE(host->bodyBuilders_.empty());

    API_Element morph;
    ASSERT_EQ(CreateMorph(&memo, morph), NoError);
    HostDisposeElementMemo(&memo);
    ASSERT_EQ(Model().content.elements.size(), 1u);
    EXPECT_EQ(host->Fact("element 1"), "morph vertices 5 edges 6 polygons 2 storey 0 layer 1");

    API_ElementMemo kept;
    ASSERT_EQ(HostGetElementMemo(&morph.header.guid, &kept, APIMemoMask_All), NoError);
    ASSERT_EQ(kept.morphBody.polygons.size(), 2u);
    EXPECT_EQ(kept.morphBody.polygons[1].edges, (std::vector<std::int32_t> {-1, -6, -5}));
    ASSERT_EQ(kept.morphMaterialMapTable.size(), 2u);
    EXPECT_EQ(kept.morphMaterialMapTable[kept.morphBody.polygons[0].materialIndex].attributeIndex, 2);
    EXPECT_TRUE(kept.morphMaterialMapTable[kept.morphBody.polygons[0].materialIndex].overridden);
    EXPECT_EQ(kept.morphMaterialMapTable[kept.morphBody.polygons[1].materialIndex].attributeIndex, 7);

    API_Box3D box {};
    ASSERT_EQ(HostDatabaseRequest(FourCC("CABO"), &morph.header, &box), NoError);
    EXPECT_EQ(std::vector<double>({box.xMin, box.yMin, box.zMin, box.xMax, box.yMax, box.zMax}),
              std::vector<double>({0, 0, 0, 2, 2, 3}));

    // Moved by the user, the body goes with the morph.
    API_ActTranPars drag {};
    drag.typeID = FourCC("DRAG");
    drag.displacement = {10, 0};
    drag.displacementZ = 1;
    ASSERT_EQ(SimHost::UserEditElement(host.host(), morph.header.guid, drag), NoError);
    ASSERT_EQ(HostDatabaseRequest(FourCC("CABO"), &morph.header, &box), NoError);
    EXPECT_EQ(std::vector<double>({box.xMin, box.zMin, box.xMax, box.zMax}), std::vector<double>({10, 1, 12, 4}));
    ASSERT_TRUE(Model().Undo());
    ASSERT_TRUE(Model().Undo());
    EXPECT_TRUE(Model().content.elements.empty());
}

TEST_F(MorphBodyHost, EveryIndexIsChecked)
{
    SquareAndTriangle();
    const API_Coord3D nowhere {0, 0, std::nan("")};
    std::int32_t index = 0;
    const std::int32_t edges[] = {1, 2, 3, 4};
    struct Case
    {
        const char* name;
        GSErrCode result;
    };
    const Case cases[] = {
        {"a vertex without a place", HostAddBodyVertex(builder, &nowhere, &index)},
        {"an edge from vertex 0", HostAddBodyEdge(builder, 0, 1, &index)},
        {"an edge to a vertex not there", HostAddBodyEdge(builder, 1, 6, &index)},
        {"an edge from a vertex to itself", HostAddBodyEdge(builder, 2, 2, &index)},
        {"an edge without its index", HostAddBodyEdge(builder, 1, 2, nullptr)},
        {"a polygon with an edge not there", Polygon({1, 2, 3, 7})},
        {"a polygon that does not close", Polygon({1, 2, 3})},
        {"a polygon running an edge the wrong way", Polygon({1, -2, 3, 4})},
        {"a polygon of two edges", Polygon({1, -1})},
        {"a polygon ending in a separator", Polygon({1, 2, 3, 4, 0})},
        {"a polygon with a normal", Polygon({1, 2, 3, 4}, Material, 1)},
        {"a polygon without a material", Polygon({1, 2, 3, 4}, API_OverriddenAttribute {0, true})},
        {"a polygon of fewer edges than it says", HostAddBodyPolygon(builder, edges, 2, 0, Material, &index)},
        {"a builder from a source body",
         [] {
             API_MorphBody source;
             API_BodyBuilder other = nullptr;
             return HostCreateBodyBuilder(&source, 0, &other);
         }()},
    };
    for (const Case& c : cases) EXPECT_NE(c.result, NoError) << c.name;

    API_MorphBody body;
    std::vector<API_OverriddenAttribute> materials;
    ASSERT_EQ(HostFinishBody(builder, &body, &materials), NoError);
    EXPECT_EQ(body.vertices.size(), 5u) << "refused calls add nothing";
    EXPECT_EQ(body.edges.size(), 6u);
    EXPECT_EQ(body.polygons.size(), 2u);

    API_BodyBuilder disposed = builder;
    ASSERT_EQ(HostDisposeBodyBuilder(&builder), NoError);
    EXPECT_EQ(HostAddBodyVertex(disposed, &body.vertices[0], &index), APIERR_BADPARS) << "a handle given back";
    EXPECT_EQ(HostFinishBody(disposed, &body, &materials), APIERR_BADPARS);
    EXPECT_EQ(HostDisposeBodyBuilder(&disposed), APIERR_BADPARS);
}

TEST_F(MorphBodyHost, AMorphWithoutABodyIsRefused)
{
    API_Element morph;
    API_ElementMemo empty;
    EXPECT_EQ(CreateMorph(&empty, morph), APIERR_BADPARS);
    EXPECT_EQ(CreateMorph(nullptr, morph), APIERR_BADPARS);
    API_ElementMemo broken;
    const std::int32_t a = Vertex(0, 0, 0), b = Vertex(1, 0, 0), c = Vertex(0, 1, 0);
    ASSERT_EQ(Polygon({Edge(a, b), Edge(b, c), Edge(c, a)}), NoError);
    ASSERT_EQ(HostFinishBody(builder, &broken.morphBody, &broken.morphMaterialMapTable), NoError);
    broken.morphMaterialMapTable.clear();
    EXPECT_EQ(CreateMorph(&broken, morph), APIERR_BADPARS) << "a polygon naming a material not there";
    EXPECT_TRUE(Model().content.elements.empty());
    EXPECT_TRUE(Model().undoSteps.empty());
}

TEST(LibraryPartComparison, SamePartOtherRevisionOrOtherPart)
{
    const auto compare = [](const char* a, const char* b) {
        std::string first = a, second = b;
        return HostUtilityRequest(FourCC("COMP"), first.data(), second.data());
    };
    InProcessHost host;
    EXPECT_EQ(compare(Marker, Marker), NoError);
    EXPECT_EQ(compare(MarkerOtherRevision, Marker), APIERR_COMPATIBLEPART);
    EXPECT_EQ(compare(OtherPart, Marker), APIERR_GENERAL);
}
