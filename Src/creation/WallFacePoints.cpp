#include "creation/WallFacePoints.hpp"

#include <cmath>
#include <vector>

namespace
{

// A vertex of the cut that lies this far from every vertex of the outline was made by the cut.
constexpr double NewVertexDistance = 0.01;

bool IsNearAnyVertex(const Geometry::Point2<double>& p, const Geometry::Polygon2DData& polygon)
{
    for (std::size_t i = 1; i < polygon.vertices.size(); ++i)
        if (std::hypot(p.x - polygon.vertices[i].x, p.y - polygon.vertices[i].y) < NewVertexDistance) return true;
    return false;
}

}  // namespace

bool FindWallFacePoints(Geometry::Polygon2DData polygon, const Vektor2D& direction, const API_Coord& point,
                        TypVektor<API_Coord3D>& facePoints)
{
    facePoints.Clear();
    const Geometry::HalfPlane2DData behind {{direction.y, -direction.x}, direction.y * point.x - direction.x * point.y};
    std::vector<Geometry::Polygon2DData> pieces;
    if (Geometry::CutPolyLine2D(polygon, behind, &pieces) != NoError || pieces.empty()) return false;
    const Geometry::Polygon2DData& first = pieces.front();
    // The last vertex closes the contour and repeats the first.
    for (std::size_t i = 1; i + 1 < first.vertices.size(); ++i)
    {
        const Geometry::Point2<double>& v = first.vertices[i];
        if (!IsNearAnyVertex(v, polygon)) facePoints.Add({v.x, v.y, 0.0});
    }
    return facePoints.GetSize() == 2;
}
