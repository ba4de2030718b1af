// The host's body builder for morphs.
#include "MorphBodies.hpp"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>

#include "Host.hpp"
#include "ServiceTable.hpp"

namespace SimHost
{

namespace
{

API_BodyBuilderData* Live(HostToken token, API_BodyBuilder builder)
{
    auto& builders = Host::From(token).bodyBuilders_;
    const auto it = std::find_if(builders.begin(), builders.end(), [builder](const auto& b) { return b.get() == builder; });
    return it != builders.end() ? it->get() : nullptr;
}

bool IsIndex(std::int32_t index, std::size_t count) { return index >= 1 && static_cast<std::size_t>(index) <= count; }

// An edge as it runs in a contour: a negative index runs it backwards.
std::array<std::int32_t, 2> Directed(const API_MorphBody& body, std::int32_t edge)
{
    const auto& ends = body.edges[static_cast<std::size_t>(std::abs(edge)) - 1];
    return edge > 0 ? ends : std::array<std::int32_t, 2> {ends[1], ends[0]};
}

// Contours separated by 0, each of three edges at least, each closed end to start.
bool IsClosedPolygon(const API_MorphBody& body, const std::vector<std::int32_t>& edges)
{
    std::size_t first = 0;
    while (first <= edges.size())
    {
        const std::size_t end = std::find(edges.begin() + static_cast<std::ptrdiff_t>(first), edges.end(), 0) - edges.begin();
        if (end - first < 3) return false;
        for (std::size_t k = first; k < end; ++k)
        {
            if (!IsIndex(std::abs(edges[k]), body.edges.size())) return false;
            const std::int32_t next = edges[k + 1 < end ? k + 1 : first];
            if (!IsIndex(std::abs(next), body.edges.size()) || Directed(body, edges[k])[1] != Directed(body, next)[0])
                return false;
        }
        first = end + 1;
    }
    return true;
}

GSErrCode CreateBodyBuilder(HostToken token, const API_MorphBody* source, std::int32_t flags, API_BodyBuilder* builder)
{
    // This host builds bodies from nothing only.
    if (builder == nullptr || source != nullptr || flags != 0) return APIERR_BADPARS;
    auto& builders = Host::From(token).bodyBuilders_;
    builders.push_back(std::make_unique<API_BodyBuilderData>());
    *builder = builders.back().get();
    return NoError;
}

GSErrCode AddBodyVertex(HostToken token, API_BodyBuilder builder, const API_Coord3D* point, std::int32_t* vertexIndex)
{
    API_BodyBuilderData* data = Live(token, builder);
    if (data == nullptr || point == nullptr || vertexIndex == nullptr) return APIERR_BADPARS;
    if (!std::isfinite(point->x) || !std::isfinite(point->y) || !std::isfinite(point->z)) return APIERR_BADPARS;
    data->body.vertices.push_back(*point);
    *vertexIndex = static_cast<std::int32_t>(data->body.vertices.size());
    return NoError;
}

GSErrCode AddBodyEdge(HostToken token, API_BodyBuilder builder, std::int32_t vertex1, std::int32_t vertex2,
                      std::int32_t* edgeIndex)
{
    API_BodyBuilderData* data = Live(token, builder);
    if (data == nullptr || edgeIndex == nullptr) return APIERR_BADPARS;
    const std::size_t vertices = data->body.vertices.size();
    if (!IsIndex(vertex1, vertices) || !IsIndex(vertex2, vertices) || vertex1 == vertex2) return APIERR_BADINDEX;
    data->body.edges.push_back({vertex1, vertex2});
    *edgeIndex = static_cast<std::int32_t>(data->body.edges.size());
    return NoError;
}

GSErrCode AddBodyPolygon(HostToken token, API_BodyBuilder builder, const std::int32_t* edges, std::int32_t count,
                         std::int32_t normalIndex, API_OverriddenAttribute material, std::int32_t* polygonIndex)
{
    API_BodyBuilderData* data = Live(token, builder);
    if (data == nullptr || edges == nullptr || count < 3 || polygonIndex == nullptr) return APIERR_BADPARS;
    // This host keeps no polygon normals.
    if (normalIndex != 0 || material.attributeIndex < 1) return APIERR_BADPARS;
    API_MorphPolygon polygon;
    polygon.edges.assign(edges, edges + count);
    if (!IsClosedPolygon(data->body, polygon.edges)) return APIERR_BADINDEX;
    auto& materials = data->materials;
    const auto same = [&material](const API_OverriddenAttribute& m) {
        return m.attributeIndex == material.attributeIndex && m.overridden == material.overridden;
    };
    const auto known = std::find_if(materials.begin(), materials.end(), same);
    polygon.materialIndex = static_cast<std::int32_t>(known - materials.begin());
    if (known == materials.end()) materials.push_back(material);
    data->body.polygons.push_back(std::move(polygon));
    *polygonIndex = static_cast<std::int32_t>(data->body.polygons.size());
    return NoError;
}

GSErrCode FinishBody(HostToken token, API_BodyBuilder builder, API_MorphBody* body,
                     std::vector<API_OverriddenAttribute>* materials)
{
    const API_BodyBuilderData* data = Live(token, builder);
    if (data == nullptr || body == nullptr || materials == nullptr) return APIERR_BADPARS;
    *body = data->body;
    *materials = data->materials;
    return NoError;
}

GSErrCode DisposeBodyBuilder(HostToken token, API_BodyBuilder* builder)
{
    if (builder == nullptr || Live(token, *builder) == nullptr) return APIERR_BADPARS;
    auto& builders = Host::From(token).bodyBuilders_;
    builders.erase(std::find_if(builders.begin(), builders.end(), [builder](const auto& b) { return b.get() == *builder; }));
    *builder = nullptr;
    return NoError;
}

}  // namespace

bool IsUsableMorphBody(const API_MorphBody& body, std::size_t materialCount)
{
    if (body.polygons.empty()) return false;
    for (const auto& edge : body.edges)
        if (!IsIndex(edge[0], body.vertices.size()) || !IsIndex(edge[1], body.vertices.size())) return false;
    for (const API_MorphPolygon& polygon : body.polygons)
        if (!IsClosedPolygon(body, polygon.edges) || polygon.materialIndex < 0 ||
            static_cast<std::size_t>(polygon.materialIndex) >= materialCount)
            return false;
    return true;
}

void FillMorphBodyServices(HostServiceTable& table)
{
    SIMHOST_SET_SERVICE(table, HostCreateBodyBuilder, CreateBodyBuilder);
    SIMHOST_SET_SERVICE(table, HostAddBodyVertex, AddBodyVertex);
    SIMHOST_SET_SERVICE(table, HostAddBodyEdge, AddBodyEdge);
    SIMHOST_SET_SERVICE(table, HostAddBodyPolygon, AddBodyPolygon);
    SIMHOST_SET_SERVICE(table, HostFinishBody, FinishBody);
    SIMHOST_SET_SERVICE(table, HostDisposeBodyBuilder, DisposeBodyBuilder);
}

}  // namespace SimHost
