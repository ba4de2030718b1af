// Shells: their shapes taken from the add-on's handles, and their surfaces.
#include "ShellElements.hpp"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <sstream>

#include "ElementGeometry.hpp"
#include "Geometry/Geometry.hpp"
#include "HostAngles.hpp"
#include "NumberText.hpp"

namespace SimHost
{

namespace
{

constexpr std::size_t ArcSteps = 12;

template <typename T>
bool Read(GSHandle handle, std::int32_t count, std::vector<T>& out)
{
    if (count < 0) return false;
    out.clear();
    if (count == 0) return true;
    if (handle == nullptr || *handle == nullptr || BMGetHandleSize(handle) < static_cast<GSSize>(sizeof(T)) * count) return false;
    const T* entries = reinterpret_cast<const T*>(*handle);
    out.assign(entries, entries + count);
    return true;
}

bool Finite(const double* values, std::size_t count)
{
    return std::all_of(values, values + count, [](double v) { return std::isfinite(v); });
}

// Coordinates and ends from entry 1, ends rising within the coordinates, arcs
// between coordinates, flags for every coordinate or none, every value finite.
bool IsSoundPolygon(const ShellPolygon& polygon)
{
    if (polygon.coords.size() < 3 || polygon.ends.size() < 2) return false;
    const auto count = static_cast<std::int32_t>(polygon.coords.size() - 1);
    for (std::size_t i = 1; i < polygon.coords.size(); ++i)
        if (!std::isfinite(polygon.coords[i].x) || !std::isfinite(polygon.coords[i].y)) return false;
    for (std::size_t i = 1; i < polygon.ends.size(); ++i)
        if (polygon.ends[i] <= polygon.ends[i - 1] || polygon.ends[i] < 1 || polygon.ends[i] > count) return false;
    for (const API_PolyArc& arc : polygon.arcs)
        if (arc.begIndex < 1 || arc.endIndex < 1 || arc.begIndex > count || arc.endIndex > count || !std::isfinite(arc.arcAngle))
            return false;
    return polygon.bodyFlags.empty() || polygon.bodyFlags.size() == polygon.coords.size();
}

double LinearDeterminant(const double (&t)[12])
{
    return t[0] * (t[5] * t[10] - t[6] * t[9]) - t[1] * (t[4] * t[10] - t[6] * t[8]) + t[2] * (t[4] * t[9] - t[5] * t[8]);
}

// A sound polygon of at least four coordinates whose sub-polygons each close
// after three edges or more, on a plane that can be turned back.
bool IsSoundContour(const ShellPolygon& contour)
{
    if (contour.coords.size() < 5 || !IsSoundPolygon(contour) || !Finite(contour.plane, 12) ||
        std::fabs(LinearDeterminant(contour.plane)) < 1e-12)
        return false;
    std::int32_t first = 1;
    for (std::size_t i = 1; i < contour.ends.size(); ++i)
    {
        const API_Coord& a = contour.coords[static_cast<std::size_t>(first)];
        const API_Coord& b = contour.coords[static_cast<std::size_t>(contour.ends[i])];
        if (contour.ends[i] - first < 3 || a.x != b.x || a.y != b.y) return false;
        first = contour.ends[i] + 1;
    }
    return true;
}

bool ReadPolygon(const API_Polygon& counts, GSHandle coords, GSHandle ends, GSHandle arcs, ShellPolygon& polygon)
{
    return counts.nCoords >= 2 && counts.nSubPolys >= 1 && counts.nArcs >= 0 &&
           Read(coords, counts.nCoords + 1, polygon.coords) && Read(ends, counts.nSubPolys + 1, polygon.ends) &&
           Read(arcs, counts.nArcs, polygon.arcs);
}

bool TakeShape(const API_Polygon& counts, const API_ShellShapeHandles& handles, ShellPolygon& polygon)
{
    if (!ReadPolygon(counts, handles.coords, handles.pends, handles.parcs, polygon)) return false;
    if (handles.bodyFlags != nullptr && !Read(handles.bodyFlags, counts.nCoords + 1, polygon.bodyFlags)) return false;
    return IsSoundPolygon(polygon);
}

bool TakeContour(const API_ShellContour& contour, ShellPolygon& polygon)
{
    if (!ReadPolygon(contour.poly, contour.coords, contour.pends, contour.parcs, polygon)) return false;
    std::copy(std::begin(contour.plane), std::end(contour.plane), std::begin(polygon.plane));
    return IsSoundContour(polygon);
}

bool RecordIsFinite(const API_ShellType& s)
{
    const API_RevolvedShellData& r = s.revolved;
    const API_ExtrudedShellData& e = s.extruded;
    const double values[] = {s.level,
                             r.slantAngle,
                             r.revolutionAngle,
                             r.distortionAngle,
                             r.distortionVector.x,
                             r.distortionVector.y,
                             r.begAngle,
                             e.begPlaneTilt,
                             e.endPlaneTilt,
                             e.begC.x,
                             e.begC.y,
                             e.begC.z,
                             e.extrudedDirection.x,
                             e.extrudedDirection.y,
                             e.extrudedDirection.z};
    return Finite(values, std::size(values)) && Finite(s.basePlane, 12) && Finite(r.axisBase, 12) && Finite(s.ruled.plane1, 12) &&
           Finite(s.ruled.plane2, 12);
}

// A sub-polygon's coordinates first..last as a line of points, its arcs in steps.
std::vector<API_Coord> PolygonLine(const ShellPolygon& polygon, std::int32_t first, std::int32_t last)
{
    std::vector<API_Coord> line;
    for (std::int32_t i = first; i <= last; ++i)
    {
        const API_Coord& p = polygon.coords[static_cast<std::size_t>(i)];
        line.push_back(p);
        if (i == last) break;
        const auto arc = std::find_if(polygon.arcs.begin(), polygon.arcs.end(),
                                      [i](const API_PolyArc& a) { return a.begIndex == i && a.endIndex == i + 1; });
        const API_Coord& q = polygon.coords[static_cast<std::size_t>(i + 1)];
        Geometry::GenArc genArc;
        if (arc == polygon.arcs.end() || std::fabs(arc->arcAngle) < 1e-9 ||
            !Geometry::SetGenArc({p.x, p.y}, {q.x, q.y}, arc->arcAngle, &genArc))
            continue;
        for (std::size_t k = 1; k < ArcSteps; ++k)
        {
            const double a = arc->arcAngle * static_cast<double>(k) / ArcSteps;
            Geometry::Coord c {p.x, p.y};
            Geometry::RotCoord(&c, genArc.origo, std::sin(a), std::cos(a));
            line.push_back({c.x, c.y});
        }
    }
    return line;
}

// The shape's first sub-polygon.
std::vector<API_Coord> ShapeLine(const ShellPolygon& shape)
{
    if (shape.ends.size() < 2) return {};
    return PolygonLine(shape, 1, shape.ends[1]);
}

// The shell's surface tessellated in its own frame: rows of points, the points of
// consecutive rows joined one to one.
std::vector<std::vector<API_Coord3D>> LocalSurface(const StoredElement& element)
{
    const API_ShellType& shell = element.record.shell;
    const auto& shapes = element.shell.shapes;
    std::vector<std::vector<API_Coord3D>> rows;
    if (shapes.empty()) return rows;
    const std::vector<API_Coord> profile = ShapeLine(shapes[0]);
    switch (shell.shellClass)
    {
        case 0:
        {
            // The shape stands across the extrusion: x to its left, y up.
            const API_Coord3D& d = shell.extruded.extrudedDirection;
            const double length = std::hypot(d.x, d.y);
            if (length < 1e-9) return rows;
            const API_Coord3D across {-d.y / length, d.x / length, 0.0};
            for (const double t : {0.0, 1.0})
            {
                rows.emplace_back();
                for (const API_Coord& p : profile)
                    rows.back().push_back({shell.extruded.begC.x + p.x * across.x + t * d.x,
                                           shell.extruded.begC.y + p.x * across.y + t * d.y,
                                           shell.extruded.begC.z + p.y + t * d.z});
            }
            break;
        }
        case 1:
        {
            // The shape turns about the axis frame's z axis: x along it, y away from it.
            const API_RevolvedShellData& r = shell.revolved;
            const double turns = std::fabs(r.revolutionAngle) / (2.0 * Pi);
            const auto steps = static_cast<std::size_t>(std::max(1.0, std::ceil(std::max(3, r.segmentsByCircle) * turns)));
            for (std::size_t j = 0; j <= steps; ++j)
            {
                const double a = r.begAngle + r.revolutionAngle * static_cast<double>(j) / static_cast<double>(steps);
                rows.emplace_back();
                for (const API_Coord& p : profile)
                    rows.back().push_back(Transformed(r.axisBase, {p.y * std::cos(a), p.y * std::sin(a), p.x}));
            }
            break;
        }
        case 2:
        {
            if (shapes.size() < 2) return rows;
            rows.emplace_back();
            for (const API_Coord& p : profile) rows.back().push_back(Transformed(shell.ruled.plane1, {p.x, p.y, 0.0}));
            rows.emplace_back();
            for (const API_Coord& p : ShapeLine(shapes[1]))
                rows.back().push_back(Transformed(shell.ruled.plane2, {p.x, p.y, 0.0}));
            break;
        }
        default: return rows;
    }
    return rows;
}

// The contour's sub-polygons as closed rings of the contour's own plane.
std::vector<std::vector<API_Coord>> ContourRings(const ShellPolygon& contour)
{
    std::vector<std::vector<API_Coord>> rings;
    std::int32_t first = 1;
    for (std::size_t i = 1; i < contour.ends.size(); ++i)
    {
        rings.push_back(PolygonLine(contour, first, contour.ends[i]));
        first = contour.ends[i] + 1;
    }
    return rings;
}

// A point of the shell's own frame in the contour plane's frame.
API_Coord3D IntoPlane(const double (&t)[12], const API_Coord3D& p)
{
    const double x = p.x - t[3], y = p.y - t[7], z = p.z - t[11];
    const double det = LinearDeterminant(t);
    return {(x * (t[5] * t[10] - t[6] * t[9]) - t[1] * (y * t[10] - t[6] * z) + t[2] * (y * t[9] - t[5] * z)) / det,
            (t[0] * (y * t[10] - t[6] * z) - x * (t[4] * t[10] - t[6] * t[8]) + t[2] * (t[4] * z - y * t[8])) / det,
            (t[0] * (t[5] * z - y * t[9]) - t[1] * (t[4] * z - y * t[8]) + x * (t[4] * t[9] - t[5] * t[8])) / det};
}

bool OnRings(const std::vector<std::vector<API_Coord>>& rings, const API_Coord& p)
{
    constexpr double Tolerance = 1e-9;
    for (const auto& ring : rings)
        for (std::size_t i = 0; i + 1 < ring.size(); ++i)
            if (Geometry::DistCoordSectorPtr({p.x, p.y}, {{ring[i].x, ring[i].y}, {ring[i + 1].x, ring[i + 1].y}}) <= Tolerance)
                return true;
    return false;
}

// Even-odd inside, the rings' own edges counting as inside.
bool InsideRings(const std::vector<std::vector<API_Coord>>& rings, const API_Coord& p)
{
    if (OnRings(rings, p)) return true;
    bool inside = false;
    for (const auto& ring : rings)
        for (std::size_t i = 0, j = ring.size() - 1; i < ring.size(); j = i++)
        {
            const API_Coord& a = ring[i];
            const API_Coord& b = ring[j];
            if ((a.y > p.y) != (b.y > p.y) && p.x < a.x + (p.y - a.y) * (b.x - a.x) / (b.y - a.y)) inside = !inside;
        }
    return inside;
}

// Where the plan segment a-b crosses the rings' edges, as parameters along it.
std::vector<double> Crossings(const std::vector<std::vector<API_Coord>>& rings, const API_Coord& a, const API_Coord& b)
{
    std::vector<double> ts;
    const double dx = b.x - a.x, dy = b.y - a.y;
    for (const auto& ring : rings)
        for (std::size_t i = 0; i + 1 < ring.size(); ++i)
        {
            const double ex = ring[i + 1].x - ring[i].x, ey = ring[i + 1].y - ring[i].y;
            const double denominator = dx * ey - dy * ex;
            if (std::fabs(denominator) < 1e-15) continue;
            const double wx = ring[i].x - a.x, wy = ring[i].y - a.y;
            const double t = (wx * ey - wy * ex) / denominator, u = (wx * dy - wy * dx) / denominator;
            if (t > 0.0 && t < 1.0 && u >= 0.0 && u <= 1.0) ts.push_back(t);
        }
    return ts;
}

// The pieces of the segment that lie inside the contour, seen across its plane.
void AddClipped(const ShellPolygon& contour, const std::vector<std::vector<API_Coord>>& rings, const API_Coord3D& a,
                const API_Coord3D& b, std::vector<ShellEdge>& edges)
{
    const API_Coord3D qa = IntoPlane(contour.plane, a), qb = IntoPlane(contour.plane, b);
    std::vector<double> ts = Crossings(rings, {qa.x, qa.y}, {qb.x, qb.y});
    ts.push_back(0.0);
    ts.push_back(1.0);
    std::sort(ts.begin(), ts.end());
    const auto at = [](const API_Coord3D& p, const API_Coord3D& q, double t) {
        return API_Coord3D {p.x + (q.x - p.x) * t, p.y + (q.y - p.y) * t, p.z + (q.z - p.z) * t};
    };
    for (std::size_t i = 0; i + 1 < ts.size(); ++i)
    {
        if (ts[i + 1] - ts[i] < 1e-12) continue;
        const API_Coord3D middle = at(qa, qb, (ts[i] + ts[i + 1]) / 2.0);
        if (InsideRings(rings, {middle.x, middle.y})) edges.push_back({at(a, b, ts[i]), at(a, b, ts[i + 1])});
    }
}

// The shapes the record's class has, with their counts; none for a class this host
// does not know.
std::vector<API_Polygon> ShapeCounts(const API_ShellType& shell)
{
    switch (shell.shellClass)
    {
        case 0: return {shell.extruded.shapePoly};
        case 1: return {shell.revolved.shapePoly};
        case 2: return {shell.ruled.shape1Poly, shell.ruled.shape2Poly};
        default: return {};
    }
}

}  // namespace

bool TakeShellGeometry(const API_Element& element, const API_ElementMemo* memo, ShellGeometry& geometry)
{
    const API_ShellType& shell = element.shell;
    const std::vector<API_Polygon> shapes = ShapeCounts(shell);
    if (memo == nullptr || shapes.empty() || !RecordIsFinite(shell)) return false;
    ShellGeometry taken;
    for (std::size_t k = 0; k < shapes.size(); ++k)
    {
        taken.shapes.emplace_back();
        if (!TakeShape(shapes[k], memo->shellShapes[k], taken.shapes.back())) return false;
    }
    if (shell.hasContour)
    {
        taken.contours.emplace_back();
        if (memo->shellContours == nullptr || !TakeContour(*memo->shellContours, taken.contours.back())) return false;
    }
    geometry = std::move(taken);
    return true;
}

bool IsSoundShellGeometry(const API_Element& element, const ShellGeometry& geometry)
{
    const API_ShellType& shell = element.shell;
    const std::size_t shapes = ShapeCounts(shell).size();
    if (shapes == 0 || !RecordIsFinite(shell) || geometry.shapes.size() != shapes) return false;
    if (geometry.contours.size() != (shell.hasContour ? 1u : 0u)) return false;
    return std::all_of(geometry.shapes.begin(), geometry.shapes.end(), IsSoundPolygon) &&
           std::all_of(geometry.contours.begin(), geometry.contours.end(), IsSoundContour);
}

void FreeShellMemo(API_ElementMemo& memo)
{
    for (API_ShellShapeHandles& shape : memo.shellShapes)
    {
        BMKillHandle(&shape.coords);
        BMKillHandle(&shape.pends);
        BMKillHandle(&shape.parcs);
        BMKillHandle(&shape.bodyFlags);
    }
    if (memo.shellContours != nullptr)
    {
        BMKillHandle(&memo.shellContours->coords);
        BMKillHandle(&memo.shellContours->pends);
        BMKillHandle(&memo.shellContours->parcs);
        GSPtr block = reinterpret_cast<GSPtr>(memo.shellContours);
        BMKillPtr(&block);
        memo.shellContours = nullptr;
    }
}

void ForgetShellMemo(API_ElementMemo& memo)
{
    for (API_ShellShapeHandles& shape : memo.shellShapes) shape = API_ShellShapeHandles {};
    memo.shellContours = nullptr;
}

std::vector<ShellEdge> ShellEdges(const StoredElement& element, double storeyLevel)
{
    const std::vector<std::vector<API_Coord3D>> rows = LocalSurface(element);
    const bool clipped = element.record.shell.hasContour && !element.shell.contours.empty();
    const std::vector<std::vector<API_Coord>> rings =
        clipped ? ContourRings(element.shell.contours[0]) : std::vector<std::vector<API_Coord>> {};
    std::vector<ShellEdge> edges;
    const auto add = [&](const API_Coord3D& a, const API_Coord3D& b) {
        if (clipped)
            AddClipped(element.shell.contours[0], rings, a, b, edges);
        else
            edges.push_back({a, b});
    };
    for (std::size_t r = 0; r < rows.size(); ++r)
        for (std::size_t i = 0; i < rows[r].size(); ++i)
        {
            if (i + 1 < rows[r].size()) add(rows[r][i], rows[r][i + 1]);
            if (r + 1 < rows.size() && i < rows[r + 1].size()) add(rows[r][i], rows[r + 1][i]);
        }
    for (ShellEdge& edge : edges)
        for (API_Coord3D* p : {&edge.from, &edge.to})
        {
            *p = Transformed(element.record.shell.basePlane, *p);
            p->z += storeyLevel;
        }
    return edges;
}

bool ShellBox(const StoredElement& shell, double storeyLevel, API_Box3D& box)
{
    bool any = false;
    for (const ShellEdge& edge : ShellEdges(shell, storeyLevel))
        for (const API_Coord3D& p : {edge.from, edge.to}) Enclose(box, any, p);
    return any;
}

std::string DescribeShell(const StoredElement& element)
{
    const auto number = [](double v) { return NumberText(v, 6); };
    const auto point = [&number](const API_Coord& p) { return "(" + number(p.x) + "," + number(p.y) + ")"; };
    const API_ShellType& s = element.record.shell;
    std::ostringstream out;
    out << " base (" << number(s.basePlane[3]) << "," << number(s.basePlane[7]) << "," << number(s.basePlane[11]) << ")";
    if (s.isFlipped) out << " flipped";
    for (const ShellPolygon& shape : element.shell.shapes)
    {
        out << " shape";
        for (std::size_t i = 1; i < shape.coords.size(); ++i) out << " " << point(shape.coords[i]);
        for (const API_PolyArc& arc : shape.arcs) out << " arc " << number(arc.arcAngle);
    }
    for (const ShellPolygon& contour : element.shell.contours)
    {
        out << " contour";
        for (std::size_t i = 1; i < contour.coords.size(); ++i) out << " " << point(contour.coords[i]);
    }
    return out.str();
}

}  // namespace SimHost
