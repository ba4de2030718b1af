#pragma once
#include <cstdint>
#include <vector>

#include "API/Types.hpp"
#include "Geometry/Point2.hpp"

// The host's plain polygon record, as far as the add-on converts element outlines
// into it and validates them.
namespace Geometry
{

// Status bits: the bounding box is computed; the contours are oriented.
constexpr std::uint32_t PolyStatus_BoundBox = 1;
constexpr std::uint32_t PolyStatus_Oriented = 2;

struct Box2DData
{
    double xMin = 0.0;
    double yMin = 0.0;
    double xMax = 0.0;
    double yMax = 0.0;
};

// An arc replaces the straight edge from vertex begIndex to vertex endIndex = begIndex + 1;
// a positive angle turns to the left.
struct PolyArcRec
{
    std::int32_t begIndex = 0;
    std::int32_t endIndex = 0;
    double arcAngle = 0.0;
};

// Vertices from index 1 (entry 0 unused), each contour closed by a copy of its
// first vertex; contourEnds[0] = 0 and contourEnds[k] the last vertex of contour k;
// the first contour is the outline, the others are holes.
struct Polygon2DData
{
    std::uint32_t status = 0;
    Box2DData boundBox;
    std::vector<Point2<double>> vertices;
    std::vector<PolyArcRec> arcs;
    std::vector<std::int32_t> contourEnds;
};

void InitPolygon2DData(Polygon2DData* polygon);

// Builds the polygon from arrays in that layout. Contour ends that do not rise
// to the last vertex, contours of fewer than two edges, and arcs that are not on
// an edge of one contour are refused; the target is then left empty.
GSErrCode ConvertToPolygon2DData(std::vector<Point2<double>> vertices, std::vector<PolyArcRec> arcs,
                                 std::vector<std::int32_t> contourEnds, Polygon2DData* polygon);

// The box around the vertices and the arcs; an error for a polygon out of that layout.
GSErrCode GetPolygon2DDataBoundBox(const Polygon2DData& polygon, Box2DData* box);

// Chord tolerance for turning arcs into points.
struct ArcDivParams
{
    explicit ArcDivParams(double maxDifference) : maxDifference(maxDifference) {}
    double maxDifference;
};

// Replaces every arc edge by points along it, no further from the arc than the
// tolerance; the contours keep their order and stay closed. An error, and no
// change, for a polygon out of that layout.
GSErrCode SegmentUpPolygon2DData(Polygon2DData* polygon, const ArcDivParams& params);

void FreePolygon2DData(Polygon2DData* polygon);

// The half plane of the points p with normal.x · p.x + normal.y · p.y <= constant,
// bounded by the line where the two sides are equal.
struct HalfPlane2DData
{
    Point2<double> normal;
    double constant = 0.0;
};

// The pieces of the polygon's outline (its first contour) that lie in the half
// plane, each a polygon of one contour without arcs (an arc edge is cut as its
// chord). Each piece keeps the outline's direction and begins with the outline's
// first vertex it keeps; the piece that holds the lowest such vertex comes first.
// Points within GeometryEps of the line count as outside. A polygon wholly
// outside gives no piece; an error, and no piece, for a polygon out of the
// layout or an outline whose crossings with the line do not pair up.
GSErrCode CutPolyLine2D(const Polygon2DData& polygon, const HalfPlane2DData& halfPlane, std::vector<Polygon2DData>* pieces);

// Turns the outline counter-clockwise and the holes clockwise; an error, and no
// change, for a polygon out of that layout or with a contour without area.
GSErrCode OrientPolygon2DData(Polygon2DData* polygon);

}  // namespace Geometry
