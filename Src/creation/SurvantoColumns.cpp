#include <array>
#include <cmath>

#include "API/AddOnInterface.hpp"
#include "Geometry/Geometry.hpp"
#include "frame/Survanto.hpp"
#include "framework/AngleConstants.hpp"
#include "framework/HostApiHelpers.hpp"
#include "framework/Tolerance.hpp"
#include "framework/Vektor2D.hpp"
#include "framework/Vektor3D.hpp"
#include "framework/VektorConversions.hpp"
#include "measuring/MainPaletteItems.hpp"

// A column from the running action's points, by one of five constructions that
// main palette options 14 to 18 choose. A construction whose points give no
// column (three points on one line, parallel faces, a horizontal edge) makes
// nothing rather than hand the host a record of infinities; so do points so far
// out that the construction overflows.

namespace
{

using namespace MainPaletteItems;

enum Option : std::size_t
{
    UprightRectangular,
    Round,
    SlantedFromFaces,
    SlantedFromEdge,
    OnePoint
};

Geometry::Coord3D Coord(const Vektor3D& v) { return {v.x, v.y, v.z}; }
Vektor2D Normalized(Vektor2D v)
{
    v.Normalize();
    return v;
}
Vektor3D Normalized(Vektor3D v)
{
    v.Normalize();
    return v;
}

// The footprint stretched by the slant along a plan direction; false where the
// axis runs along that direction and the stretch has no end.
bool StretchedSize(double size, const Vektor3D& axis, const Vektor2D& planDirection, double& stretched)
{
    const double sine = std::sin(axis.GetAngle(Vektor3D(planDirection.x, planDirection.y, 0.0)));
    if (std::fabs(sine) < GeometricTolerance) return false;
    stretched = size / sine;
    return true;
}

// Slant direction and slant angle of an upward axis.
void SetSlant(API_ColumnType& column, const Vektor3D& axis)
{
    column.slantDirectionAngle = Vektor2D(axis.x, axis.y).GetAngle() - HalfPi;
    column.slantAngle = axis.GetAngle(Vektor3D(axis.x, axis.y, 0.0));
    column.slanted = true;
    column.circleBased = false;
}

void MarkSlantDefaults(API_ColumnType& mask)
{
    MarkToChange(mask.circleBased);
    MarkToChange(mask.axisRotationAngle);
    MarkToChange(mask.slanted);
    MarkToChange(mask.slantAngle);
    MarkToChange(mask.slantDirectionAngle);
}

Geometry::Plane BottomPlane(const API_ColumnType& column)
{
    return {{0.0, 0.0, GetStoryLevel(column.head.floorInd) + column.bottomOffset}, {0.0, 0.0, 1.0}};
}

// Plan direction of the line where a face meets the bottom plane.
bool FootDirection(const Geometry::Plane& face, const Geometry::Plane& bottom, Vektor2D& direction)
{
    Geometry::Sector3D foot;
    if (!Geometry::XPlanes(face, bottom, &foot)) return false;
    direction = Normalized(Vektor2D(foot.c2.x - foot.c1.x, foot.c2.y - foot.c1.y));
    return true;
}

// Turned to point from the edge into the column, towards the measured face point.
void PointInto(Vektor2D& direction, const API_Coord3D& facePoint, const Geometry::Sector3D& edge)
{
    const Geometry::Coord3D foot = Geometry::CoordProjSector3D({facePoint.x, facePoint.y, facePoint.z}, edge);
    if (Vektor2D(facePoint.x - foot.x, facePoint.y - foot.y).DotProduct(direction) < -GeometricTolerance) direction = -direction;
}

class ColumnBuilder
{
public:
    ColumnBuilder(Survanto& survanto, API_ColumnType& column, API_ColumnType& mask)
        : survanto_(survanto), points_(survanto.actionPoints), column_(column), mask_(mask)
    {}

    bool Build(Option option)
    {
        switch (option)
        {
            case UprightRectangular: return HasPoints(3) && BuildUprightRectangular();
            case Round: return HasPoints(3) && BuildRound();
            case SlantedFromFaces: return HasPoints(5) && BuildSlantedFromFaces();
            case SlantedFromEdge: return HasPoints(2) && BuildSlantedFromEdge();
            case OnePoint: return HasPoints(1) && BuildFromOnePoint();
        }
        return false;
    }

private:
    const API_Coord3D& P(std::uint32_t i) const { return points_[i]; }
    bool HasPoints(std::uint32_t count) const { return points_.GetSize() >= count; }

    // P0 and P1 on one face, P2 on the adjacent one; the footprint runs back from
    // their corner along the first face by the width and towards P2 by the depth.
    bool BuildUprightRectangular()
    {
        Vektor2D v = PlanVektor(P(1)) - PlanVektor(P(0));
        const double rotation = v.GetAngle();
        v.Normalize();
        const Vektor2D corner = PlanVektor(P(0)) + v * v.DotProduct(PlanVektor(P(2)) - PlanVektor(P(0)));
        const Vektor2D u = Normalized(corner - PlanVektor(P(0)));
        const Vektor2D n = Normalized(PlanVektor(P(2)) - corner);
        const Vektor2D origin = corner - u * (column_.width / 2.0) + n * (column_.depth / 2.0);
        column_.slanted = false;
        column_.slantAngle = 0.0;
        column_.slantDirectionAngle = 0.0;
        column_.circleBased = false;
        column_.axisRotationAngle = rotation;
        column_.origin = {origin.x, origin.y};
        MarkToChange(mask_.axisRotationAngle);
        MarkToChange(mask_.circleBased);
        MarkToChange(mask_.slanted);
        return true;
    }

    // P0, P1 and P2 on its surface; the fit's centre and success go where the
    // main object keeps them.
    bool BuildRound()
    {
        Geometry::Coord& centre = survanto_.scratchPoints[0];
        const Geometry::Coord plan[3] = {{P(0).x, P(0).y}, {P(1).x, P(1).y}, {P(2).x, P(2).y}};
        survanto_.circleFitOk = Geometry::Circle_3Pt(plan, &centre);
        if (!survanto_.circleFitOk) return false;
        const double diameter = 2.0 * std::hypot(P(1).x - centre.x, P(1).y - centre.y);
        column_.circleBased = true;
        column_.origin = {centre.x, centre.y};
        column_.width = diameter;
        column_.depth = diameter;
        MarkToChange(mask_.circleBased);
        MarkToChange(mask_.width);
        MarkToChange(mask_.depth);
        return true;
    }

    // P0, P1, P2 on one face, P3 and P4 on the adjacent face; their edge is the axis.
    bool BuildSlantedFromFaces()
    {
        const Geometry::Plane bottom = BottomPlane(column_);
        const Vektor3D na =
            Normalized((SpaceVektor(P(2)) - SpaceVektor(P(0))).CrossProduct(SpaceVektor(P(1)) - SpaceVektor(P(0))));
        const Vektor3D nb = Normalized((SpaceVektor(P(4)) - SpaceVektor(P(3))).CrossProduct(na));
        const Geometry::Plane first {{P(0).x, P(0).y, P(0).z}, Coord(na)};
        const Geometry::Plane second {{P(3).x, P(3).y, P(3).z}, Coord(nb)};
        Geometry::Sector3D edge;
        Geometry::Coord3D base;
        Vektor2D f1, f2;
        if (!Geometry::XPlanes(first, second, &edge) || !Geometry::XSector3DPlane(edge, bottom, &base) ||
            !FootDirection(first, bottom, f1) || !FootDirection(second, bottom, f2))
            return false;
        const Vektor3D axis = edge.c1.z > edge.c2.z + GeometricTolerance ? SpaceVektor(edge.c1) - SpaceVektor(edge.c2)
                                                                         : SpaceVektor(edge.c2) - SpaceVektor(edge.c1);
        SetSlant(column_, axis);
        PointInto(f1, P(0), edge);
        PointInto(f2, P(3), edge);

        const Vektor3D r(std::cos(column_.slantDirectionAngle), std::sin(column_.slantDirectionAngle), 0.0);
        const Vektor3D faceInward = -nb;
        double rotation = faceInward.GetAngle(r);
        if (r.CrossProduct(faceInward).z < -GeometricTolerance) rotation = -rotation;
        double t1 = 0.0, t2 = 0.0;
        if (!StretchedSize(column_.width, axis, f1, t1) || !StretchedSize(column_.depth, axis, f2, t2)) return false;
        const Vektor2D origin = Vektor2D(base.x, base.y) + f1 * (std::fabs(t1) / 2.0) + f2 * (std::fabs(t2) / 2.0);
        column_.axisRotationAngle = rotation;
        column_.origin = {origin.x, origin.y};
        MarkSlantDefaults(mask_);
        return true;
    }

    // P0 and P1 on the edge or the axis that the anchor names.
    bool BuildSlantedFromEdge()
    {
        static constexpr std::array<std::array<double, 2>, 9> AnchorOffsets {{
            {0.0, 0.0},
            {0.5, -0.5},
            {0.0, -0.5},
            {-0.5, -0.5},
            {0.5, 0.0},
            {-0.5, 0.0},
            {0.5, 0.5},
            {0.0, 0.5},
            {-0.5, 0.5},
        }};
        const Geometry::Plane bottom = BottomPlane(column_);
        const Vektor3D axis =
            P(0).z > P(1).z + GeometricTolerance ? SpaceVektor(P(0)) - SpaceVektor(P(1)) : SpaceVektor(P(1)) - SpaceVektor(P(0));
        Geometry::Coord3D base;
        if (!Geometry::XSector3DPlane({{P(0).x, P(0).y, P(0).z}, {P(1).x, P(1).y, P(1).z}}, bottom, &base)) return false;
        SetSlant(column_, axis);
        Vektor2D r(1.0, 0.0);
        r.Rotate(column_.slantDirectionAngle);
        const Vektor2D q = r.GetPerpendicular();
        double s1 = 0.0, s2 = 0.0;
        if (!StretchedSize(column_.width, axis, r, s1) || !StretchedSize(column_.depth, axis, q, s2)) return false;
        const std::size_t anchor = column_.anchor >= 0 && static_cast<std::size_t>(column_.anchor) < AnchorOffsets.size()
                                       ? static_cast<std::size_t>(column_.anchor)
                                       : 0;
        const Vektor2D origin =
            Vektor2D(base.x, base.y) + r * (AnchorOffsets[anchor][0] * s1) + q * (AnchorOffsets[anchor][1] * s2);
        column_.origin = {origin.x, origin.y};
        column_.axisRotationAngle = 0.0;
        MarkSlantDefaults(mask_);
        return true;
    }

    // P0 is the anchor point; the middle lies from it by the anchor, in the
    // column's own axes turned by the tool's rotation.
    bool BuildFromOnePoint()
    {
        static constexpr std::array<std::array<double, 2>, 9> AnchorToMiddle {{
            {0.0, 0.0},
            {1.0, -1.0},
            {0.0, -1.0},
            {-1.0, -1.0},
            {1.0, 0.0},
            {-1.0, 0.0},
            {1.0, 1.0},
            {0.0, 1.0},
            {-1.0, 1.0},
        }};
        const std::size_t anchor = column_.anchor >= 0 && static_cast<std::size_t>(column_.anchor) < AnchorToMiddle.size()
                                       ? static_cast<std::size_t>(column_.anchor)
                                       : 0;
        column_.circleBased = false;
        Vektor2D offset(AnchorToMiddle[anchor][0] * column_.width / 2.0, AnchorToMiddle[anchor][1] * column_.depth / 2.0);
        offset.Rotate(column_.axisRotationAngle);
        const Vektor2D origin = PlanVektor(P(0)) + offset;
        column_.origin = {origin.x, origin.y};
        return true;
    }

    Survanto& survanto_;
    const TypVektor<API_Coord3D>& points_;
    API_ColumnType& column_;
    API_ColumnType& mask_;
};

// Points far out can still overflow a construction: such a column is not made.
bool HasFinitePlace(const API_ColumnType& column)
{
    return std::isfinite(column.origin.x) && std::isfinite(column.origin.y) && std::isfinite(column.width) &&
           std::isfinite(column.depth) && std::isfinite(column.axisRotationAngle) && std::isfinite(column.slantAngle) &&
           std::isfinite(column.slantDirectionAngle);
}

bool HasMarks(const API_Element& mask)
{
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(&mask);
    for (std::size_t i = 0; i < sizeof mask; ++i)
        if (bytes[i] != 0) return true;
    return false;
}

// The snapped constructions are those whose rotation or slant direction was measured.
void CreateColumnBy(Survanto& survanto, Option option, API_Element& column, API_Element& mask)
{
    ColumnBuilder builder(survanto, column.column, mask.column);
    if (!builder.Build(option)) return;
    if (option == UprightRectangular || option == SlantedFromFaces || option == SlantedFromEdge) survanto.ApplyAngleSnap(column);
    if (!HasFinitePlace(column.column)) return;
    const GSErrCode created = HostCreateElement(&column, nullptr);
    if (HasMarks(mask)) HostChangeElementDefaults(&column, nullptr, &mask);
    survanto.CompleteCreation(created, column, true);
}

// The palette keeps one option set; 14 and 15 are each looked at, then 16, 17, 18 in turn.
void CreateColumns(Survanto& survanto, API_Element& column, API_Element& mask)
{
    const auto isSet = [&survanto](Option option) { return survanto.toolOptions[option] != 0; };
    if (isSet(UprightRectangular)) CreateColumnBy(survanto, UprightRectangular, column, mask);
    if (isSet(Round)) CreateColumnBy(survanto, Round, column, mask);
    if (isSet(SlantedFromFaces))
        CreateColumnBy(survanto, SlantedFromFaces, column, mask);
    else if (isSet(SlantedFromEdge))
        CreateColumnBy(survanto, SlantedFromEdge, column, mask);
    else if (isSet(OnePoint))
        CreateColumnBy(survanto, OnePoint, column, mask);
}

}  // namespace

void Survanto::CreateColumn()
{
    if (!AcceptToolLayer(API_ColumnID)) return;
    for (std::size_t i = 0; i < toolOptions.size(); ++i)
        toolOptions[i] = static_cast<std::int16_t>(MainPaletteItemValue(static_cast<std::int16_t>(FirstOptionItem + i)));
    API_Element mask;
    API_Element column;
    column.header.typeID = API_ColumnID;
    HostGetElementDefaults(&column, nullptr);
    GetSelectedAnchor(&column.column.anchor, nullptr);

    RunCreationCommand([this, &column, &mask] {
        CreateColumns(*this, column, mask);
        pointStep = 0;
    });
}
