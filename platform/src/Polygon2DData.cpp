#include "Geometry/Polygon2DData.hpp"

#include "Geometry/GenArc.hpp"

#include <algorithm>
#include <cmath>
#include <limits>

namespace Geometry
{

namespace
{

constexpr double Pi = 3.14159265358979323846;

using Coord = Point2<double>;

// The contour that holds the edge from vertex index to index + 1, 0 for none.
std::size_t ContourOfEdge(const std::vector<std::int32_t>& contourEnds, std::int32_t index)
{
    for (std::size_t k = 1; k < contourEnds.size(); ++k)
        if (contourEnds[k - 1] < index && index < contourEnds[k]) return k;
    return 0;
}

bool IsValidLayout(const std::vector<Coord>& vertices, const std::vector<PolyArcRec>& arcs,
                   const std::vector<std::int32_t>& contourEnds)
{
    if (vertices.empty() || vertices.size() - 1 > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
        return false;
    const auto lastVertex = static_cast<std::int32_t>(vertices.size() - 1);
    if (contourEnds.size() < 2 || contourEnds.front() != 0 || contourEnds.back() != lastVertex) return false;
    // Differences in 64 bits: any int32 values may come in.
    for (std::size_t k = 1; k < contourEnds.size(); ++k)
        if (std::int64_t {contourEnds[k]} - contourEnds[k - 1] < 3) return false;
    for (const PolyArcRec& arc : arcs)
        if (std::int64_t {arc.endIndex} - 1 != arc.begIndex || ContourOfEdge(contourEnds, arc.begIndex) == 0) return false;
    return true;
}

const PolyArcRec* ArcOnEdge(const Polygon2DData& polygon, std::int32_t begIndex)
{
    for (const PolyArcRec& arc : polygon.arcs)
        if (arc.begIndex == begIndex && arc.arcAngle != 0.0) return &arc;
    return nullptr;
}

// An arc's circle; false for an arc too flat or too full to have one.
bool ArcCircle(const Coord& a, const Coord& b, double angle, Coord& centre, double& radius)
{
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double chord = std::hypot(dx, dy);
    const double halfSine = std::sin(angle / 2);
    if (chord == 0.0 || std::fabs(halfSine) < 1e-12) return false;
    radius = chord / (2 * std::fabs(halfSine));
    // The centre lies to the left of the chord for an arc turning left by less than a half turn.
    const double offset = (chord / 2) / std::tan(angle / 2);
    centre = {(a.x + b.x) / 2 - dy / chord * offset, (a.y + b.y) / 2 + dx / chord * offset};
    return true;
}

void Include(Box2DData& box, const Coord& p)
{
    box.xMin = std::min(box.xMin, p.x), box.yMin = std::min(box.yMin, p.y);
    box.xMax = std::max(box.xMax, p.x), box.yMax = std::max(box.yMax, p.y);
}

// The arc reaches beyond its end points where it passes the circle's extreme points.
void IncludeArc(Box2DData& box, const Coord& a, const Coord& b, double angle)
{
    Coord centre;
    double radius = 0.0;
    if (!ArcCircle(a, b, angle, centre, radius)) return;
    const double start = std::atan2(a.y - centre.y, a.x - centre.x);
    for (int quarter = 0; quarter < 4; ++quarter)
    {
        const double direction = quarter * Pi / 2;
        double swept = std::fmod(angle > 0 ? direction - start : start - direction, 2 * Pi);
        if (swept < 0) swept += 2 * Pi;
        if (swept <= std::fabs(angle))
            Include(box, {centre.x + radius * std::cos(direction), centre.y + radius * std::sin(direction)});
    }
}

// Positive for a counter-clockwise contour; arcs add or take their circle segments.
double SignedArea(const Polygon2DData& polygon, std::size_t contour)
{
    const std::int32_t first = polygon.contourEnds[contour - 1] + 1, last = polygon.contourEnds[contour];
    double area = 0.0;
    for (std::int32_t i = first; i < last; ++i)
    {
        const Coord& a = polygon.vertices[static_cast<std::size_t>(i)];
        const Coord& b = polygon.vertices[static_cast<std::size_t>(i) + 1];
        area += (a.x * b.y - b.x * a.y) / 2;
        Coord centre;
        double radius = 0.0;
        const PolyArcRec* arc = ArcOnEdge(polygon, i);
        if (arc != nullptr && ArcCircle(a, b, arc->arcAngle, centre, radius))
            area += radius * radius / 2 * (arc->arcAngle - std::sin(arc->arcAngle));
    }
    return area;
}

// Runs the contour the other way; its arcs keep their edges and turn the other way.
void ReverseContour(Polygon2DData& polygon, std::size_t contour)
{
    const std::int32_t first = polygon.contourEnds[contour - 1] + 1, last = polygon.contourEnds[contour];
    std::reverse(polygon.vertices.begin() + first, polygon.vertices.begin() + last + 1);
    for (PolyArcRec& arc : polygon.arcs)
    {
        if (arc.begIndex < first || arc.endIndex > last) continue;
        const std::int32_t begIndex = first + last - arc.endIndex;
        arc.endIndex = begIndex + 1;
        arc.begIndex = begIndex;
        arc.arcAngle = -arc.arcAngle;
    }
}

}  // namespace

void InitPolygon2DData(Polygon2DData* polygon)
{
    if (polygon != nullptr) *polygon = Polygon2DData {};
}

GSErrCode ConvertToPolygon2DData(std::vector<Point2<double>> vertices, std::vector<PolyArcRec> arcs,
                                 std::vector<std::int32_t> contourEnds, Polygon2DData* polygon)
{
    if (polygon == nullptr) return APIERR_BADPARS;
    InitPolygon2DData(polygon);
    if (!IsValidLayout(vertices, arcs, contourEnds)) return APIERR_BADPARS;
    polygon->vertices = std::move(vertices);
    polygon->arcs = std::move(arcs);
    polygon->contourEnds = std::move(contourEnds);
    return NoError;
}

GSErrCode GetPolygon2DDataBoundBox(const Polygon2DData& polygon, Box2DData* box)
{
    if (box == nullptr || !IsValidLayout(polygon.vertices, polygon.arcs, polygon.contourEnds)) return APIERR_BADPARS;
    Box2DData bounds {polygon.vertices[1].x, polygon.vertices[1].y, polygon.vertices[1].x, polygon.vertices[1].y};
    for (std::size_t i = 2; i < polygon.vertices.size(); ++i) Include(bounds, polygon.vertices[i]);
    for (const PolyArcRec& arc : polygon.arcs)
        IncludeArc(bounds, polygon.vertices[static_cast<std::size_t>(arc.begIndex)],
                   polygon.vertices[static_cast<std::size_t>(arc.endIndex)], arc.arcAngle);
    *box = bounds;
    return NoError;
}

GSErrCode SegmentUpPolygon2DData(Polygon2DData* polygon, const ArcDivParams& params)
{
    if (polygon == nullptr || !IsValidLayout(polygon->vertices, polygon->arcs, polygon->contourEnds)) return APIERR_BADPARS;
    std::vector<Coord> vertices {polygon->vertices[0]};
    std::vector<std::int32_t> contourEnds {0};
    for (std::size_t contour = 1; contour < polygon->contourEnds.size(); ++contour)
    {
        const std::int32_t first = polygon->contourEnds[contour - 1] + 1, last = polygon->contourEnds[contour];
        for (std::int32_t i = first; i < last; ++i)
        {
            const Coord& a = polygon->vertices[static_cast<std::size_t>(i)];
            const Coord& b = polygon->vertices[static_cast<std::size_t>(i) + 1];
            vertices.push_back(a);
            const PolyArcRec* arc = ArcOnEdge(*polygon, i);
            GenArc circle;
            if (arc == nullptr || !SetGenArcPtr(&circle, a, b, arc->arcAngle)) continue;
            std::vector<Coord> chain = DivideEllArcToCo(circle, params.maxDifference);
            // A right turn comes back from the end point.
            if (arc->arcAngle < 0) std::reverse(chain.begin(), chain.end());
            if (chain.size() > 2) vertices.insert(vertices.end(), chain.begin() + 1, chain.end() - 1);
        }
        vertices.push_back(polygon->vertices[static_cast<std::size_t>(last)]);
        contourEnds.push_back(static_cast<std::int32_t>(vertices.size() - 1));
    }
    polygon->vertices = std::move(vertices);
    polygon->contourEnds = std::move(contourEnds);
    polygon->arcs.clear();
    polygon->status &= ~PolyStatus_BoundBox;
    return NoError;
}

void FreePolygon2DData(Polygon2DData* polygon) { InitPolygon2DData(polygon); }

GSErrCode OrientPolygon2DData(Polygon2DData* polygon)
{
    if (polygon == nullptr || !IsValidLayout(polygon->vertices, polygon->arcs, polygon->contourEnds)) return APIERR_BADPARS;
    std::vector<bool> reverse;
    for (std::size_t contour = 1; contour < polygon->contourEnds.size(); ++contour)
    {
        const double area = SignedArea(*polygon, contour);
        if (std::fabs(area) < 1e-12) return APIERR_BADPARS;
        reverse.push_back(contour == 1 ? area < 0 : area > 0);
    }
    for (std::size_t contour = 1; contour < polygon->contourEnds.size(); ++contour)
        if (reverse[contour - 1]) ReverseContour(*polygon, contour);
    return NoError;
}

}  // namespace Geometry
