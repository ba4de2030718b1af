#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "API/AddOnInterface.hpp"
#include "Geometry/CurveGeometry.hpp"
#include "creation/BodyBuilderHandle.hpp"
#include "frame/Survanto.hpp"
#include "framework/HostApiHelpers.hpp"
#include "framework/ScopedElementMemo.hpp"

// The morph along the rail: every profile polygon is placed at the rail's start,
// normal to the rail, and pushed along each rail segment until it meets the plane
// normal to the rail at the segment's end (a mitred sweep). Consecutive rings are
// joined by four-sided faces; an open rail gets a cap at both ends.

namespace
{

using Vector = Geometry::Vector3<double>;
using Ring = TypVektor<Vector>;

constexpr std::int16_t MorphMaterial = 2;

Vector Minus(const Vector& a, const Vector& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vector Scaled(const Vector& a, double k) { return {a.x * k, a.y * k, a.z * k}; }
double Dot(const Vector& a, const Vector& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

Vector UnitOrZero(const Vector& v)
{
    Vector unit;
    return Geometry::UnitVector3D(v, &unit) ? unit : Vector {};
}

// The axis frame where the rail leaves the profile plane at a right angle: x from
// the x axis (the y axis when the rail runs along x), made normal to the rail.
void AxisFrame(const Vector& along, Vector& x, Vector& y)
{
    const Vector reference = std::fabs(along.x) > 0.9 ? Vector {0.0, 1.0, 0.0} : Vector {1.0, 0.0, 0.0};
    x = UnitOrZero(Minus(reference, Scaled(along, Dot(reference, along))));
    Survanto::CrossProduct(y, along, x);
}

Vector Placed(const std::array<double, 12>& frame, double u, double v)
{
    return {frame[0] * u + frame[1] * v + frame[3], frame[4] * u + frame[5] * v + frame[7],
            frame[8] * u + frame[9] * v + frame[11]};
}

std::vector<std::int32_t> AddVertices(const Ring& ring, API_BodyBuilder builder)
{
    std::vector<std::int32_t> vertices;
    vertices.reserve(ring.GetSize());
    for (const Vector& p : ring)
    {
        const API_Coord3D point {p.x, p.y, p.z};
        std::int32_t index = 0;
        // A refused vertex stays 0, which keeps its edges out.
        if (HostAddBodyVertex(builder, &point, &index) != NoError) index = 0;
        vertices.push_back(index);
    }
    return vertices;
}

// The edge's index; 0 when the host refused it, which keeps its polygons out.
std::int32_t AddEdge(API_BodyBuilder builder, std::int32_t from, std::int32_t to)
{
    std::int32_t index = 0;
    if (from == 0 || to == 0 || HostAddBodyEdge(builder, from, to, &index) != NoError) return 0;
    return index;
}

void AddPolygon(API_BodyBuilder builder, const std::vector<std::int32_t>& edges)
{
    std::int32_t index = 0;
    HostAddBodyPolygon(builder, edges.data(), static_cast<std::int32_t>(edges.size()), 0,
                       API_OverriddenAttribute {MorphMaterial, true}, &index);
}

bool HasEveryEdge(const std::vector<std::int32_t>& edges)
{
    for (const std::int32_t edge : edges)
        if (edge == 0) return false;
    return true;
}

// Walks a ring's points with the contour ends of the polygon being swept.
class ContourCursor
{
public:
    explicit ContourCursor(const TypVektor<std::int32_t>& ends) : ends_(ends) {}
    bool IsEnd(std::uint32_t i) const { return next_ < ends_.GetSize() && static_cast<std::int64_t>(i) == ends_[next_]; }
    std::uint32_t ContourStart() const { return static_cast<std::uint32_t>(ends_[next_ - 1] + 1); }
    void Advance() { ++next_; }

private:
    const TypVektor<std::int32_t>& ends_;
    std::uint32_t next_ = 1;
};

// Where the line through p along the direction meets the plane.
bool MeetPlane(const Geometry::PlaneEq& plane, const Vector& p, const Vector& direction, Vector& met)
{
    const double towards = plane.a * direction.x + plane.b * direction.y + plane.c * direction.z;
    if (std::fabs(towards) < Geometry::GeometryEps) return false;
    const double t = -(plane.a * p.x + plane.b * p.y + plane.c * p.z + plane.d) / towards;
    met = {p.x + t * direction.x, p.y + t * direction.y, p.z + t * direction.z};
    return true;
}

}  // namespace

bool Survanto::GetRailStartFrame(std::array<double, 12>& frame) const
{
    if (morphRail.IsEmpty()) return false;
    const Vector& start = morphRail[0].point;
    const Vector& along = morphRail[0].direction;
    Geometry::Plane profilePlane {{0.0, 0.0, 0.0}, {0.0, 0.0, 1.0}};
    if (curvePalette.planeDefined) profilePlane = {curvePalette.plane.origin, curvePalette.plane.normal};
    Vector x, y;
    Geometry::Sector3D meeting;
    // Planes that do not meet (the rail along the profile plane's normal) give no line.
    const bool fromPlanes = Geometry::XPlanes(profilePlane, Geometry::Plane {start, along}, &meeting);
    if (fromPlanes)
    {
        x = UnitOrZero(Minus(meeting.c2, meeting.c1));
        CrossProduct(y, x, along);
        y = UnitOrZero(y);
    }
    else
    {
        AxisFrame(along, x, y);
    }
    frame = {-x.x, -y.x, along.x, start.x, -x.y, -y.y, along.y, start.y, -x.z, -y.z, along.z, start.z};
    return fromPlanes;
}

void Survanto::AddMorphCapPolygon(const Ring& ring, API_BodyBuilder builder) const
{
    const std::vector<std::int32_t> vertices = AddVertices(ring, builder);
    std::vector<std::int32_t> edges, contour;
    ContourCursor cursor(morphProfilePointData);
    for (std::uint32_t i = 0; i < vertices.size(); ++i)
    {
        if (cursor.IsEnd(i))
        {
            // A contour of fewer than three edges encloses nothing.
            if (contour.size() >= 3 && HasEveryEdge(contour))
            {
                edges.insert(edges.end(), contour.begin(), contour.end());
                edges.push_back(0);
            }
            contour.clear();
            cursor.Advance();
            continue;
        }
        const std::uint32_t next = cursor.IsEnd(i + 1) ? cursor.ContourStart() : i + 1;
        if (next >= vertices.size() || next == i) continue;
        contour.push_back(AddEdge(builder, vertices[i], vertices[next]));
    }
    if (edges.empty()) return;
    edges.pop_back();
    AddPolygon(builder, edges);
}

void Survanto::AddMorphSideFaces(const Ring& ringA, const Ring& ringB, API_BodyBuilder builder) const
{
    if (ringA.GetSize() != ringB.GetSize()) return;
    const std::vector<std::int32_t> a = AddVertices(ringA, builder);
    const std::vector<std::int32_t> b = AddVertices(ringB, builder);
    const std::size_t count = a.size();
    std::vector<std::int32_t> alongA(count, 0), alongB(count, 0), joining(count, 0);
    ContourCursor cursor(morphProfilePointData);
    for (std::uint32_t i = 0; i < count; ++i)
    {
        joining[i] = AddEdge(builder, a[i], b[i]);
        if (cursor.IsEnd(i))
        {
            cursor.Advance();
        }
        else if (i + 1 < count)
        {
            alongA[i] = AddEdge(builder, a[i], a[i + 1]);
            alongB[i] = AddEdge(builder, b[i], b[i + 1]);
        }
    }
    ContourCursor faces(morphProfilePointData);
    for (std::uint32_t i = 0; i < count; ++i)
    {
        if (faces.IsEnd(i))
        {
            faces.Advance();
            continue;
        }
        if (i + 1 == count) continue;
        const std::vector<std::int32_t> side {alongA[i], joining[i + 1], -alongB[i], -joining[i]};
        if (HasEveryEdge(side)) AddPolygon(builder, side);
    }
}

bool Survanto::IsRailSweepable() const
{
    if (morphRail.GetSize() < 2) return false;
    for (std::uint32_t l = 0; l < morphRail.GetSize(); ++l)
        if (std::fabs(morphRail[l].direction.GetLength() - 1.0) > Geometry::GeometryEps) return false;
    for (std::uint32_t l = 1; l < morphRail.GetSize(); ++l)
    {
        const Vector segment = UnitOrZero(Minus(morphRail[l].point, morphRail[l - 1].point));
        if (std::fabs(Dot(segment, morphRail[l].direction)) < Geometry::GeometryEps) return false;
    }
    return true;
}

void Survanto::SweepProfilePolygon(const SectionData& polygon, const std::array<double, 12>& frame, API_BodyBuilder builder)
{
    morphProfilePoints = polygon.points;
    morphProfilePointData = polygon.ends;
    Ring current;
    for (const Geometry::Point2<double>& p : morphProfilePoints) current.Add(Placed(frame, p.x, p.y));
    const bool open = curvePalette.polygonClosure != Curve3DPalette::ClosedItem;
    if (open) AddMorphCapPolygon(current, builder);
    for (std::uint32_t l = 1; l < morphRail.GetSize(); ++l)
    {
        const Vector backwards = UnitOrZero(Minus(morphRail[l - 1].point, morphRail[l].point));
        Geometry::PlaneEq plane;
        Geometry::SetUpGenPlane(&plane, morphRail[l].point, morphRail[l].direction);
        Ring next;
        for (const Vector& p : current)
        {
            Vector met;
            if (!MeetPlane(plane, p, backwards, met)) return;
            next.Add(met);
        }
        AddMorphSideFaces(current, next, builder);
        current = next;
    }
    if (open) AddMorphCapPolygon(current, builder);
}

void Survanto::CreateMorphAlongRail()
{
    if (!AcceptToolLayer(API_MorphID)) return;
    API_Element element;
    element.header.typeID = API_MorphID;
    if (HostGetElementDefaults(&element, nullptr) != NoError) return;
    RunCreationCommand([this, &element] {
        // The body keeps project heights; the placement takes them to the home storey.
        double(&placement)[12] = element.morph.transformation;
        SetIdentityTransformation(placement);
        placement[11] = -GetStoryLevel(element.header.floorInd);
        BodyBuilderHandle builder;
        if (builder.Get() == nullptr || !IsRailSweepable()) return;
        std::array<double, 12> frame {};
        GetRailStartFrame(frame);
        for (const SectionData& polygon : profileList) SweepProfilePolygon(polygon, frame, builder.Get());
        ScopedElementMemo memo;
        // An unfinished body makes no morph.
        if (HostFinishBody(builder.Get(), &memo->morphBody, &memo->morphMaterialMapTable) != NoError) return;
        builder.Dispose();
        const GSErrCode created = HostCreateElement(&element, &*memo);
        memo.Dispose();
        if (created == NoError) FitElementToStorey(element);
    });
    actionPoints.Clear();
    pointStep = 0;
}
