#include "creation/MorphMeshBuilder.hpp"

#include <array>
#include <cmath>
#include <limits>
#include <vector>

#include "API/AddOnInterface.hpp"
#include "creation/BodyBuilderHandle.hpp"
#include "creation/PlanTriangulation.hpp"
#include "frame/Survanto.hpp"
#include "framework/AngleConstants.hpp"
#include "framework/HostApiHelpers.hpp"
#include "framework/ScopedElementMemo.hpp"
#include "framework/Tolerance.hpp"

namespace
{

using Point = MorphMeshBuilder::Point;

constexpr double CornerSearchDistance = 1000.0;
constexpr std::uint32_t SidePlanePointCount = 6;
constexpr std::int16_t MorphMaterial = 2;

Point operator+(const Point& a, const Point& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Point operator-(const Point& a, const Point& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Point operator-(const Point& a) { return {-a.x, -a.y, -a.z}; }
Point operator*(const Point& a, double k) { return {a.x * k, a.y * k, a.z * k}; }
double Dot(const Point& a, const Point& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Point Cross(const Point& a, const Point& b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }

Point FromCoord(const API_Coord3D& c) { return {c.x, c.y, c.z}; }

// The cosine of the angle between the directions; 0 when either has no length.
double Cosine(Point a, Point b)
{
    MorphMeshBuilder::Normalize(a);
    MorphMeshBuilder::Normalize(b);
    return ClampToUnit(Dot(a, b));
}

// Three points span a triangle when each lies farther than the tolerance from the
// line through the other two.
bool SpansTriangle(const Point& a, const Point& b, const Point& c)
{
    const double twiceArea = MorphMeshBuilder::Length(Cross(b - a, c - a));
    const double longest =
        std::max({MorphMeshBuilder::Length(b - a), MorphMeshBuilder::Length(c - b), MorphMeshBuilder::Length(a - c)});
    return twiceArea > GeometricTolerance * longest;
}

// Every plan point lies within the tolerance of one line: the line from the first
// point to the point farthest from it, or that first point when all stand there.
bool OnOneLineInPlan(const std::vector<Geometry::Coord>& plan)
{
    const Geometry::Coord& first = plan.front();
    const auto offset = [&first](const Geometry::Coord& p) { return Geometry::Coord {p.x - first.x, p.y - first.y}; };
    Geometry::Coord farthest {0.0, 0.0};
    double reach = 0.0;
    for (const Geometry::Coord& p : plan)
    {
        const Geometry::Coord d = offset(p);
        const double length = std::hypot(d.x, d.y);
        if (length > reach) reach = length, farthest = d;
    }
    if (reach <= GeometricTolerance) return true;
    for (const Geometry::Coord& p : plan)
    {
        const Geometry::Coord d = offset(p);
        if (std::fabs(farthest.x * d.y - farthest.y * d.x) / reach > GeometricTolerance) return false;
    }
    return true;
}

// The face normal w as it joins the normal sum: away from the centroid seen from
// the face's first vertex a. A flat point set has its centroid in every face's
// plane; then w points up, and on an upright face towards the station.
Point OrientedNormal(const Point& w, const Point& a, const Point& centroid, const Point& station)
{
    const double towardsCentroid = Cosine(w, centroid - a);
    if (std::abs(towardsCentroid) >= GeometricTolerance) return towardsCentroid < 0.0 ? w : -w;
    Point unit = w;
    MorphMeshBuilder::Normalize(unit);
    if (std::abs(unit.z) >= GeometricTolerance) return unit.z > 0.0 ? w : -w;
    const double towardsStation = Cosine(w, station - a);
    if (std::abs(towardsStation) >= GeometricTolerance) return towardsStation > 0.0 ? w : -w;
    return -w;
}

// The upright plane through m and n, its normal turned to the centroid; false when
// the two points are equal in plan.
bool SidePlane(const Point& m, const Point& n, const Point& centroid, Geometry::Plane& plane)
{
    const Point along = n - m;
    Point normal {-along.y, along.x, 0.0};
    if (MorphMeshBuilder::Length(normal) < GeometricTolerance) return false;
    if (MorphMeshBuilder::Angle(normal, centroid - m) > HalfPi) normal = -normal;
    plane = Geometry::Plane {m, normal};
    return true;
}

// Every face brings three vertices and three edges of its own; a face whose
// vertex or edge the host refuses is left out.
void AddFaceToBody(API_BodyBuilder builder, const MeshFaceData& face)
{
    std::array<std::int32_t, 3> vertices {};
    for (std::size_t k = 0; k < 3; ++k)
    {
        const API_Coord3D point {face.vertices[k].x, face.vertices[k].y, face.vertices[k].z};
        if (HostAddBodyVertex(builder, &point, &vertices[k]) != NoError) return;
    }
    std::array<std::int32_t, 3> edges {};
    for (std::size_t k = 0; k < 3; ++k)
        if (HostAddBodyEdge(builder, vertices[k], vertices[(k + 1) % 3], &edges[k]) != NoError) return;
    std::int32_t polygon = 0;
    HostAddBodyPolygon(builder, edges.data(), 3, 0, API_OverriddenAttribute {MorphMaterial, true}, &polygon);
}

}  // namespace

void MorphMeshBuilder::Build(TypVektor<Point>& points, const MorphSettings& settings, TypVektor<API_Coord3D>& actionPoints)
{
    faces_.Clear();
    omitted_ = Omissions {};
    points_ = points;
    Point centroid {};
    for (const Point& p : points) centroid = centroid + p;
    if (!points.IsEmpty()) centroid = centroid * (1.0 / points.GetSize());

    if (settings.sidePlanes)
    {
        AddSidePlaneCorners(centroid, points, actionPoints);
        if (actionPoints.GetSize() >= SidePlanePointCount)
            for (std::uint32_t k = 0; k < SidePlanePointCount; ++k) actionPoints.Delete(0);
    }
    Point normalSum {};
    Triangulate(points, normalSum, centroid, settings.station);
    if (!(settings.thickness > 0.0)) return;
    const TypVektor<MeshFaceData> surface = faces_;
    if (settings.morphType == 1) OffsetAlongNormals(surface, normalSum, settings.thickness);
    if (settings.morphType == 2) ExtrudeAlongVector(surface, actionPoints, settings.thickness);
}

void MorphMeshBuilder::AddSidePlaneCorners(const Point& centroid, TypVektor<Point>& points,
                                           const TypVektor<API_Coord3D>& planePoints) const
{
    if (planePoints.GetSize() < SidePlanePointCount) return;
    const Geometry::Plane base {FromCoord(planePoints[0]), {0.0, 0.0, 1.0}};
    const Geometry::Plane upper {FromCoord(planePoints[1]), {0.0, 0.0, -1.0}};
    Geometry::Plane first, second;
    if (!SidePlane(FromCoord(planePoints[2]), FromCoord(planePoints[3]), centroid, first) ||
        !SidePlane(FromCoord(planePoints[4]), FromCoord(planePoints[5]), centroid, second))
        return;
    std::array<Geometry::Sector3D, 4> lines {};
    if (!Geometry::XPlanes(base, first, &lines[0]) || !Geometry::XPlanes(base, second, &lines[1]) ||
        !Geometry::XPlanes(upper, first, &lines[2]) || !Geometry::XPlanes(upper, second, &lines[3]))
        return;

    const std::uint32_t measured = points.GetSize();
    for (const Geometry::Sector3D& line : lines)
    {
        bool found = false;
        Point corner {};
        double nearest = CornerSearchDistance;
        for (std::uint32_t i = 0; i < measured; ++i)
        {
            const Point foot = Geometry::CoordProjSector3D(points[i], line);
            const double distance = Length(points[i] - foot);
            if (distance < nearest) nearest = distance, corner = foot, found = true;
        }
        if (found) points.Add(corner);
    }
}

void MorphMeshBuilder::Triangulate(const TypVektor<Point>& points, Point& normalSum, const Point& centroid, const Point& station)
{
    const std::uint32_t count = points.GetSize();
    std::vector<PlanTriangle> triangles;
    if (count == 3)
    {
        if (SpansTriangle(points[0], points[1], points[2]))
            triangles.push_back({0, 1, 2});
        else
            omitted_.oneVerticalPlane = true;
    }
    else if (count > 3)
    {
        std::vector<Geometry::Coord> plan(count);
        for (std::uint32_t i = 0; i < count; ++i) plan[i] = {points[i].x - centroid.x, points[i].y - centroid.y};
        // Measured points on one line miss exact collinearity by their rounding
        // and would give slivers of no area.
        if (OnOneLineInPlan(plan))
        {
            omitted_.oneVerticalPlane = true;
        }
        else
        {
            std::size_t leftOut = 0;
            triangles = TriangulateInPlan(plan, &leftOut);
            omitted_.samePlanPosition = leftOut > 0;
        }
    }
    for (const PlanTriangle& t : triangles)
    {
        const Point& a = points[t[0]];
        const Point& b = points[t[1]];
        const Point& c = points[t[2]];
        AppendFace(a, b, c);
        normalSum = normalSum + OrientedNormal(Cross(b - a, c - a), a, centroid, station);
    }
}

void MorphMeshBuilder::CreateMorph(Survanto& survanto) const
{
    if (faces_.IsEmpty()) return;
    survanto.RunCreationCommand([this, &survanto] {
        API_Element element;
        element.header.typeID = API_MorphID;
        if (HostGetElementDefaults(&element, nullptr) != NoError) return;
        // The faces keep project heights; the placement takes them to the home storey.
        element.morph.transformation[11] -= GetStoryLevel(element.header.floorInd);
        BodyBuilderHandle builder;
        if (builder.Get() == nullptr) return;
        for (const MeshFaceData& face : faces_) AddFaceToBody(builder.Get(), face);
        ScopedElementMemo memo;
        if (HostFinishBody(builder.Get(), &memo->morphBody, &memo->morphMaterialMapTable) != NoError) return;
        builder.Dispose();
        const GSErrCode created = HostCreateElement(&element, &*memo);
        memo.Dispose();
        survanto.CompleteCreation(created, element, false);
    });
}

double MorphMeshBuilder::Length(const Point& v) { return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z); }

MorphMeshBuilder::Point& MorphMeshBuilder::Normalize(Point& v)
{
    const double length = Length(v);
    if (length >= GeometricTolerance) v = v * (1.0 / length);
    return v;
}

double MorphMeshBuilder::Angle(Point a, Point b) { return std::acos(Cosine(a, b)); }

void MorphMeshBuilder::AppendFace(const Point& a, const Point& b, const Point& c)
{
    workingFace_.vertices = {a, b, c};
    faces_.Add(workingFace_);
}

// Each face with its counterpart closes into a prism of its own: the counterpart
// face and two triangles on each of the three edges.
void MorphMeshBuilder::AppendPrisms(const TypVektor<MeshFaceData>& surface, const std::function<Point(const Point&)>& counterpart)
{
    for (const MeshFaceData& face : surface)
    {
        const Point& a = face.vertices[0];
        const Point& b = face.vertices[1];
        const Point& c = face.vertices[2];
        const Point a2 = counterpart(a), b2 = counterpart(b), c2 = counterpart(c);
        AppendFace(a2, b2, c2);
        AppendFace(a, a2, b);
        AppendFace(b, b2, a2);
        AppendFace(a, a2, c);
        AppendFace(c, c2, a2);
        AppendFace(b, b2, c);
        AppendFace(c, c2, b2);
    }
}

// The surface moves against its normals by the thickness. Normals that cancel give
// no direction, and no thickness.
void MorphMeshBuilder::OffsetAlongNormals(const TypVektor<MeshFaceData>& surface, const Point& normalSum, double thickness)
{
    if (Length(normalSum) < GeometricTolerance) return;
    Point direction = normalSum;
    const Point shift = Normalize(direction) * thickness;
    AppendPrisms(surface, [&shift](const Point& p) { return p - shift; });
}

// The surface is projected onto the plane a thickness along the measured vector
// from its first point. Without two points or with a vector shorter than the
// tolerance there is no thickness.
void MorphMeshBuilder::ExtrudeAlongVector(const TypVektor<MeshFaceData>& surface, const TypVektor<API_Coord3D>& actionPoints,
                                          double thickness)
{
    if (actionPoints.GetSize() < 2) return;
    const Point start = FromCoord(actionPoints[0]);
    Point direction = FromCoord(actionPoints[1]) - start;
    if (Length(direction) < GeometricTolerance) return;
    const Point step = Normalize(direction) * thickness;
    const Geometry::Plane target {start + step, step};
    AppendPrisms(surface, [&target](const Point& p) { return target.ProjectToPlane(p); });
}
