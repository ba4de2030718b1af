#include <algorithm>
#include <cmath>
#include <vector>

#include "Geometry/CurveGeometry.hpp"
#include "frame/Survanto.hpp"
#include "framework/AngleConstants.hpp"

// The two inputs of the morph sweep: the rail from the curve palette's curve and
// the profile polygons from the section palette's current profile, both with
// their arcs divided into short steps.

namespace
{

using Vector = Geometry::Vector3<double>;
using Plan = Geometry::Point2<double>;
using RailEntry = Survanto::MorphRailCrvDataType;

constexpr double RailArcStep = 0.08726646259971647;
constexpr double HalfTurnTolerance = 1e-6;
// An angle that is a whole number of steps must not lose its last step to rounding.
constexpr double StepCountSlack = 1e-9;

Vector Plus(const Vector& a, const Vector& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Vector Minus(const Vector& a, const Vector& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vector Half(const Vector& a) { return {a.x / 2, a.y / 2, a.z / 2}; }

// The zero vector where there is no direction (a turn back): the sweep refuses it.
Vector UnitOrZero(const Vector& v)
{
    Vector unit;
    return Geometry::UnitVector3D(v, &unit) ? unit : Vector {};
}

std::int32_t StepCount(double angle, double step) { return static_cast<std::int32_t>(std::fabs(angle / step) + StepCountSlack); }

// A point on the last one has no direction of its own and is left out.
void AppendRailPoint(TypVektor<RailEntry>& rail, const Vector& point)
{
    const std::uint32_t before = rail.GetSize();
    if (before > 0 && Minus(point, rail[before - 1].point).GetLength() < Geometry::GeometryEps) return;
    RailEntry entry;
    entry.point = point;
    if (!rail.Add(entry) || before == 0) return;
    const Vector chord = UnitOrZero(Minus(point, rail[before - 1].point));
    rail[before - 1].direction = before == 1 ? chord : UnitOrZero(Half(Plus(chord, rail[before - 1].direction)));
    rail[before].direction = chord;
}

void AppendArcPoints(TypVektor<RailEntry>& rail, const Vector& start, const Curve3DPalette::arcData& arc)
{
    const Vector centre {arc.centre.x, arc.centre.y, arc.centre.z};
    const std::int32_t steps = StepCount(arc.angle, RailArcStep);
    for (std::int32_t i = 1; i < steps; ++i)
    {
        Vector radius = Minus(start, centre);
        if (!Geometry::TMRotateVect(&radius, arc.axis, arc.angle * i / steps)) return;
        AppendRailPoint(rail, Plus(centre, radius));
    }
}

// A closed rail starts and ends at the curve's second point; its first point,
// with the mean of the first and last directions, lies inside.
void CloseRail(TypVektor<RailEntry>& rail)
{
    const std::uint32_t count = rail.GetSize();
    if (count < 2) return;
    const Vector mean = UnitOrZero(Half(Plus(rail[0].direction, rail[count - 1].direction)));
    rail[0].direction = rail[count - 1].direction = mean;
    for (std::uint32_t i = 1; i < count; ++i) rail[i - 1] = rail[i];
    rail[count - 1] = rail[0];
}

Plan PlanOf(const API_Coord& c) { return {c.x, c.y}; }

Plan Turned(Plan v, double angle)
{
    Geometry::RotCoord0(&v, std::sin(angle), std::cos(angle));
    return v;
}

// The centre of the arc from a to b turning by the angle, on the chord's middle
// for a half turn; none when its construction lines run parallel (no turn).
bool ArcCentre(const Plan& a, const Plan& b, double angle, Plan& centre)
{
    if (std::fabs(std::fabs(angle) - Pi) <= HalfTurnTolerance)
    {
        centre = {(a.x + b.x) / 2, (a.y + b.y) / 2};
        return true;
    }
    const double baseAngle = (Pi - angle) / 2;
    const Plan fromA = Turned({b.x - a.x, b.y - a.y}, baseAngle);
    const Plan fromB = Turned({a.x - b.x, a.y - b.y}, -baseAngle);
    return Geometry::XLines({a, {a.x + fromA.x, a.y + fromA.y}}, {b, {b.x + fromB.x, b.y + fromB.y}}, &centre);
}

class ProfilePolygonDivider
{
public:
    ProfilePolygonDivider(const SectionPalette::SectionDataType& polygon, double arcStep, TypVektor<Plan>& points,
                          TypVektor<std::int32_t>& ends)
        : polygon_(polygon), arcStep_(arcStep), points_(points), ends_(ends)
    {
        for (std::int32_t a = 0; a < polygon.arcCount; ++a) arcs_.push_back(polygon.arcs[static_cast<std::uint32_t>(a)]);
        std::stable_sort(arcs_.begin(), arcs_.end(),
                         [](const API_PolyArc& x, const API_PolyArc& y) { return x.begIndex < y.begIndex; });
    }

    void Divide()
    {
        points_.Clear();
        ends_.Clear();
        ends_.Add(-1);
        for (std::int32_t c = 1; c <= polygon_.coordCount; ++c)
        {
            const API_PolyArc* arc = ArcBeginningAt(c);
            if (arc != nullptr && !IsContourEnd(c))
                AppendArc(c, arc->arcAngle);
            else
                points_.Add(PlanOf(Coord(c)));
            if (IsContourEnd(c))
            {
                ends_.Add(static_cast<std::int32_t>(points_.GetSize()) - 1);
                ++endCursor_;
            }
        }
    }

private:
    const API_Coord& Coord(std::int32_t index) const { return polygon_.coords[static_cast<std::uint32_t>(index)]; }

    // An arc beginning at a contour's end would bend towards the next contour:
    // that edge stays straight, as does an arc beginning at the last coordinate.
    bool IsContourEnd(std::int32_t c) const
    {
        return c >= polygon_.coordCount ||
               (endCursor_ <= polygon_.endCount && c == polygon_.ends[static_cast<std::uint32_t>(endCursor_)]);
    }

    const API_PolyArc* ArcBeginningAt(std::int32_t c)
    {
        while (arcCursor_ < arcs_.size() && arcs_[arcCursor_].begIndex < c) ++arcCursor_;
        if (arcCursor_ == arcs_.size() || arcs_[arcCursor_].begIndex != c) return nullptr;
        return &arcs_[arcCursor_++];
    }

    // The arc's end point follows in its own pass, so it stands twice in a row.
    void AppendArc(std::int32_t c, double angle)
    {
        const Plan a = PlanOf(Coord(c));
        const Plan b = PlanOf(Coord(c + 1));
        points_.Add(a);
        Plan centre;
        if (!ArcCentre(a, b, angle, centre)) return;
        const std::int32_t steps = StepCount(angle, arcStep_);
        for (std::int32_t n = 1; n < steps; ++n)
        {
            Plan p = a;
            const double turn = angle * n / steps;
            Geometry::RotCoord(&p, centre, std::sin(turn), std::cos(turn));
            points_.Add(p);
        }
        points_.Add(b);
    }

    const SectionPalette::SectionDataType& polygon_;
    const double arcStep_;
    TypVektor<Plan>& points_;
    TypVektor<std::int32_t>& ends_;
    std::vector<API_PolyArc> arcs_;
    std::size_t arcCursor_ = 0;
    std::int32_t endCursor_ = 1;
};

// The sweep sends a profile's y along the start frame's vertical: a profile
// measured with another direction up is turned so that this direction goes there.
void TurnUpright(TypVektor<Plan>& points, const API_Coord& up)
{
    const double length = std::hypot(up.x, up.y);
    if (!(length > 0.0) || !std::isfinite(length)) return;
    const double a = up.x / length, b = up.y / length;
    for (Plan& p : points) p = {b * p.x - a * p.y, a * p.x + b * p.y};
}

}  // namespace

void Survanto::BuildMorphRail()
{
    morphRail.Clear();
    const Curve3DPalette::CurveData& curve = curvePalette.curve;
    std::uint32_t arcCursor = 0;
    for (std::uint32_t j = 0; j < curve.points.GetSize(); ++j)
    {
        const Vector point {curve.points[j].x, curve.points[j].y, curve.points[j].z};
        AppendRailPoint(morphRail, point);
        if (arcCursor < curve.arcs.GetSize() && curve.arcs[arcCursor].beginIndex == static_cast<std::int32_t>(j))
            AppendArcPoints(morphRail, point, curve.arcs[arcCursor++]);
    }
    if (curvePalette.polygonClosure == Curve3DPalette::ClosedItem) CloseRail(morphRail);
}

void Survanto::BuildMorphProfile()
{
    profileList.Reset();
    const TypVektor<SectionPalette::SectionDataType>& polygons = sectionPalette.currentPolygons;
    if (!polygons.IsEmpty()) profileList.Clear();
    for (const SectionPalette::SectionDataType& polygon : polygons)
    {
        if (!polygon.HoldsItsCounts()) continue;
        ProfilePolygonDivider(polygon, profileArcStep, morphProfilePoints, morphProfilePointData).Divide();
        TurnUpright(morphProfilePoints, polygon.measuredUp);
        SectionData data;
        data.points = morphProfilePoints;
        data.ends = morphProfilePointData;
        profileList.Add(data);
    }
}

Geometry::Vector3<double>& Survanto::CrossProduct(Geometry::Vector3<double>& result, Geometry::Vector3<double> a,
                                                  Geometry::Vector3<double> b)
{
    result = {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
    return result;
}
