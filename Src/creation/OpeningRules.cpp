#include "creation/OpeningRules.hpp"

#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>

#include "API/OpeningFrame.hpp"
#include "creation/WallFacePoints.hpp"
#include "framework/AngleConstants.hpp"
#include "framework/Tolerance.hpp"
#include "framework/Vektor2D.hpp"
#include "framework/VektorConversions.hpp"

namespace
{

constexpr std::int32_t PolygonalWall = 2;
constexpr std::int16_t FromInside = 1;
constexpr std::int16_t FromOutside = 2;
constexpr std::int16_t StraightReveal = 1;
constexpr std::int16_t SplayedReveal = 2;
constexpr std::int16_t SplayedRevealApart = 3;
constexpr std::int32_t SplayedRevealType = 7;
// A door's third point this far above the threshold is taken across the opening
// first (polygonal walls) or always sets the inside (other walls).
constexpr double RaisedAboveThresholdPolygonal = 0.1;
constexpr double RaisedAboveThreshold = 0.03;
// The entries of the value list of "gs_reveal_type_new" for a straight and a splayed reveal.
constexpr std::int32_t StraightRevealEntry = 1;
constexpr std::int32_t SplayedRevealEntry = 5;

Vektor2D Plan(const API_Coord& c) { return {c.x, c.y}; }

Vektor2D Unit(Vektor2D v)
{
    v.Normalize();
    return v;
}

// The values every opening takes from its two points and its part.
struct Measured
{
    double width = 0.0;
    double height = 0.0;
    double sill = 0.0;  // above the wall's base
    Vektor2D centre;
    double frame = 0.0;
    std::int32_t revealType = 1;
    double left = 0.0, right = 0.0, top = 0.0, bottom = 0.0;
};

std::int32_t RevealTypeOf(const std::optional<double>& value)
{
    if (!value || !std::isfinite(*value) || std::fabs(*value) > 1e9) return 1;
    return static_cast<std::int32_t>(*value);
}

Measured MeasuredOf(const OpeningMeasurement& m)
{
    Measured v;
    const Vektor2D p0 = PlanVektor(m.p0), p1 = PlanVektor(m.p1);
    v.width = (p1 - p0).GetLength();
    v.height = std::fabs(m.p1.z - m.p0.z);
    v.sill = std::min(m.p0.z, m.p1.z) - m.wallStoreyLevel - m.wall.bottomOffset;
    v.centre = (p0 + p1) * 0.5;
    v.frame = m.part.frameThickness.value_or(0.0);
    v.revealType = RevealTypeOf(m.part.revealType);
    v.left = m.part.revealLeft.value_or(0.0);
    v.right = m.part.revealRight.value_or(0.0);
    v.top = m.part.revealTop.value_or(0.0);
    v.bottom = m.part.revealBottom.value_or(0.0);
    return v;
}

void ClearReveals(Measured& v) { v.left = v.right = v.top = 0.0; }

// The two faces of a polygonal wall across the opening: P on its inner side, Q
// on its outer side, as the station tells from where it was measured.
struct Faces
{
    Vektor2D inner;
    Vektor2D outer;
};

std::optional<Faces> FacesAcross(const OpeningMeasurement& m, bool measuredInside)
{
    Vektor2D across = (PlanVektor(m.p1) - PlanVektor(m.p0)).GetPerpendicular();
    if (across.GetLength() < GeometricTolerance) return std::nullopt;
    across.Normalize();
    TypVektor<API_Coord3D> atFirst, atSecond;
    if (!FindWallFacePoints(m.outline, across, {m.p0.x, m.p0.y}, atFirst) ||
        !FindWallFacePoints(m.outline, across, {m.p1.x, m.p1.y}, atSecond))
        return std::nullopt;
    const Vektor2D f1 = (PlanVektor(atFirst[0]) + PlanVektor(atSecond[0])) * 0.5;
    const Vektor2D f2 = (PlanVektor(atFirst[1]) + PlanVektor(atSecond[1])) * 0.5;
    const Vektor2D station = Plan(m.station);
    const bool firstNearer = (f1 - station).GetLength() < (f2 - station).GetLength();
    const Vektor2D nearer = firstNearer ? f1 : f2;
    const Vektor2D farther = firstNearer ? f2 : f1;
    return measuredInside ? Faces {nearer, farther} : Faces {farther, nearer};
}

// The start point (the outer face point) and the direction across the wall, in the wall's frame.
bool PlaceInWallFrame(const API_WallType& wall, const Faces& faces, OpeningPlacement& out)
{
    Geometry::TRANMAT frame, inverse;
    if (!PolygonalWallFrame(wall.begC, wall.endC, &frame) || !Geometry::InvMat(&inverse, frame)) return false;
    const Vektor2D offset = faces.outer - Plan(wall.begC);
    const Vektor2D across = Unit(faces.inner - faces.outer);
    const Geometry::Coord3D start = Geometry::TMBVect(inverse, {offset.x, offset.y, 0.0});
    const Geometry::Coord3D direction = Geometry::TMBVect(inverse, {across.x, across.y, 0.0});
    out.startPoint = {start.x, start.y};
    out.direction = {direction.x, direction.y};
    out.inPolygonalWall = true;
    return true;
}

// The sill of the tool's defaults, moved to the wall's storey and base.
double DefaultSillInWall(const OpeningMeasurement& m)
{
    return m.defaultSillHeight + m.defaultStoreyLevel - m.wallStoreyLevel - m.wall.bottomOffset;
}

bool MeasuresHeight(const OpeningMeasurement::Palette& palette) { return palette.diagonalPoints && !palette.sidePoints; }

class ParameterList
{
public:
    explicit ParameterList(OpeningPlacement& out) : out_(out) {}
    void Set(const char* name, double value) { out_.parameters.emplace_back(name, value); }

private:
    OpeningPlacement& out_;
};

std::int32_t RevealTypeEntryOf(std::int16_t revealKind)
{
    if (revealKind == StraightReveal) return StraightRevealEntry;
    if (revealKind == SplayedReveal) return SplayedRevealEntry;
    return -1;
}

void SetSplayAngles(const OpeningMeasurement::Palette& palette, bool swap, ParameterList& parameters)
{
    parameters.Set("gs_reveal_splayed_innerRight", 0.0);
    parameters.Set("gs_reveal_splayed_innerLeft", 0.0);
    double left = SplayAngle(palette.revealDepthLeft, palette.revealWidthLeft);
    double right = left;
    if (palette.revealKind == SplayedRevealApart)
    {
        right = SplayAngle(palette.revealDepthRight, palette.revealWidthRight);
        if (swap) std::swap(left, right);
        parameters.Set("gs_reveal_uniform", 0.0);
    }
    parameters.Set("gs_reveal_right_angle", right);
    parameters.Set("gs_reveal_left_angle", left);
}

bool IsSplayed(std::int16_t revealKind) { return revealKind == SplayedReveal || revealKind == SplayedRevealApart; }

// The window's side from the point that lies right of the other seen from the station.
bool WindowSideOf(const OpeningMeasurement& m, const Vektor2D& centre)
{
    const Vektor2D station = Plan(m.station);
    const Vektor2D a = PlanVektor(m.p0) - station;
    const Vektor2D b = PlanVektor(m.p1) - station;
    const Vektor2D e = (a.CrossProduct(b) > 0.0 ? PlanVektor(m.p0) : PlanVektor(m.p1)) - centre;
    return Unit(Plan(m.wall.endC) - Plan(m.wall.begC)).DotProduct(e) > 0.0;
}

void PlaceWindowInPolygonalWall(const OpeningMeasurement& m, Measured& v, ParameterList& parameters, OpeningPlacement& out)
{
    const bool inside = m.palette.measuredFrom == FromInside;
    const std::optional<Faces> faces = FacesAcross(m, inside);
    if (!faces || !PlaceInWallFrame(m.wall, *faces, out)) return;
    double depth = (faces->outer - v.centre).GetLength();
    if (inside)
    {
        depth -= v.frame;
    }
    else
    {
        v.width += v.left + v.right;
        v.sill -= v.bottom;
        v.height += v.bottom + v.top;
    }
    out.revealDepth = depth;
    parameters.Set("gs_wido_sill", depth);
    out.placed = true;
}

void PlaceWindowInWall(const OpeningMeasurement& m, Measured& v, ParameterList& parameters, OpeningPlacement& out)
{
    const double thickness = m.wall.thickness;
    if (v.frame > thickness)
    {
        parameters.Set("gs_frame_thk", thickness);
        v.frame = thickness;
    }
    out.position = m.positionAlongWall;
    double depth = 0.0;
    if (m.palette.measuredFrom == FromOutside)
    {
        if (v.revealType != 3 && v.revealType != 4)
        {
            parameters.Set("gs_reveal_type_int", 2.0);
            ClearReveals(v);
        }
        depth = m.palette.revealDepthLeft;
        v.width += v.left + v.right;
        v.height += v.top;
    }
    else
    {
        depth = thickness - m.palette.revealDepthLeft - v.frame;
        if (depth <= 0.0)
        {
            depth = 0.0;
            if (m.part.revealType)
            {
                v.revealType = 2;
                parameters.Set("gs_reveal_type_int", 2.0);
            }
        }
    }
    out.revealDepth = depth;
    out.outsideMeasured = m.palette.measuredFrom == FromOutside;
    out.invertBoth = m.palette.measuredFrom == FromInside;
    out.invertFirst = WindowSideOf(m, v.centre);
    out.revealTypeEntry = RevealTypeEntryOf(m.palette.revealKind);
    parameters.Set("gs_wido_sill", depth);
    out.placed = true;
}

void SetRadiatorNiche(const OpeningMeasurement::Palette& palette, ParameterList& parameters)
{
    if (palette.measuredFrom != FromInside || (palette.nicheHeight == 0.0 && palette.nicheDepth == 0.0)) return;
    parameters.Set("gs_parapet_wall_inset", 1.0);
    parameters.Set("gs_parapet_botelev", palette.nicheHeight);
    parameters.Set("gs_parapet_inset_thk", palette.nicheDepth);
}

void SetSillBoard(const OpeningMeasurement::Palette& palette, ParameterList& parameters)
{
    const double thickness = palette.sillBoardThickness;
    const double depth = palette.sillBoardDepth;
    const bool board = thickness > 0.0 && depth > 0.0;
    if (!board)
    {
        parameters.Set("gs_sill_outside", 0.0);
        return;
    }
    const bool inside = palette.measuredFrom == FromInside;
    parameters.Set(inside ? "gs_board_inside" : "gs_sill_outside", 1.0);
    parameters.Set(inside ? "gs_board_thk" : "gs_sill_thk", thickness);
    parameters.Set(inside ? "gs_board_nosing" : "gs_sill_nosing", depth - palette.revealDepthLeft);
}

// The door's sides in a polygonal wall by the turn from the way out of the wall
// to the third point: a quarter each.
void SetSwingInPolygonalWall(const OpeningMeasurement& m, const Measured& v, const Vektor2D& outward, OpeningPlacement& out,
                             bool& swap)
{
    const double threshold = m.wallStoreyLevel + m.wall.bottomOffset + out.sillHeight;
    Vektor2D third = PlanVektor(m.p2);
    if (m.p2.z > threshold + RaisedAboveThresholdPolygonal + GeometricTolerance)
    {
        const Vektor2D p0 = PlanVektor(m.p0);
        const Vektor2D along = Unit(PlanVektor(m.p1) - p0);
        const Vektor2D foot = p0 + along * along.DotProduct(third - p0);
        third = foot * 2.0 - third;
    }
    double turn = (outward.GetAngle() - (third - v.centre).GetAngle()) * DegreesPerRadian;
    if (turn < 0.0) turn += 360.0;
    out.mirrored = out.openingSide = out.referenceSide = false;
    swap = false;
    if (turn < 90.0) return;
    out.referenceSide = true;
    if (turn < 180.0)
    {
        out.mirrored = true;
    }
    else if (turn < 270.0)
    {
        swap = true;
    }
    else
    {
        out.openingSide = out.mirrored = true;
        swap = true;
    }
}

void SetDoorRevealType(const OpeningMeasurement& m, Measured& v, ParameterList& parameters)
{
    if (!m.part.revealType) return;
    const bool inside = m.palette.measuredFrom == FromInside;
    const auto change = [&](std::int32_t type) {
        v.revealType = type;
        parameters.Set("gs_reveal_type_int", type);
    };
    if (inside && IsSplayed(m.palette.revealKind)) change(SplayedRevealType);
    if ((inside && m.palette.revealKind == StraightReveal && v.revealType == 4) || v.revealType == 1)
    {
        change(2);
        ClearReveals(v);
    }
    const std::int32_t t = v.revealType;
    if (t != 2 && t != 3 && t != 4 && t != SplayedRevealType) change(3);
    if (v.revealType < 3) ClearReveals(v);
}

void SetDoorHeightAndSill(const OpeningMeasurement& m, const Measured& v, OpeningPlacement& out)
{
    if (MeasuresHeight(m.palette))
    {
        out.height = v.height;
        out.sillHeight = v.sill;
    }
    else
    {
        out.height = m.defaultHeight;
        out.sillHeight = DefaultSillInWall(m);
    }
}

bool PlaceDoorInPolygonalWall(const OpeningMeasurement& m, Measured& v, ParameterList& parameters, OpeningPlacement& out,
                              bool& swap)
{
    const bool inside = m.palette.measuredFrom == FromInside;
    const std::optional<Faces> faces = FacesAcross(m, inside);
    if (!faces || !PlaceInWallFrame(m.wall, *faces, out)) return false;
    double depth = (faces->outer - v.centre).GetLength();
    if (inside)
    {
        depth -= v.frame;
        v.width -= v.left + v.right;
        v.height -= v.top;
    }
    out.revealDepth = depth;
    parameters.Set("gs_wido_sill", depth);
    out.width = v.width;
    SetDoorHeightAndSill(m, v, out);
    SetSwingInPolygonalWall(m, v, Unit(faces->outer - faces->inner), out, swap);
    return true;
}

void PlaceDoorInWall(const OpeningMeasurement& m, Measured& v, ParameterList& parameters, OpeningPlacement& out, bool& swap)
{
    const double thickness = m.wall.thickness;
    out.position = m.positionAlongWall;
    if (v.frame > thickness)
    {
        parameters.Set("gs_frame_thk", thickness);
        v.frame = thickness;
    }
    double depth = m.palette.revealDepthLeft;
    if (m.palette.measuredFrom != FromOutside)
    {
        depth = thickness - m.palette.revealDepthLeft - v.frame;
        if (depth <= 0.0)
        {
            depth = 0.0;
            ClearReveals(v);
            if (m.part.revealType)
            {
                v.revealType = 2;
                parameters.Set("gs_reveal_type_int", 2.0);
            }
        }
        if (v.revealType > 2)
        {
            v.width -= v.left + v.right;
            v.height -= v.top;
        }
    }
    out.revealDepth = depth;
    out.width = v.width;
    SetDoorHeightAndSill(m, v, out);
    out.revealTypeEntry = RevealTypeEntryOf(m.palette.revealKind);
    parameters.Set("gs_wido_sill", depth);

    const Vektor2D p0 = PlanVektor(m.p0);
    const Vektor2D u = PlanVektor(m.p1) - p0;
    const Vektor2D towardsOrigin = -p0;
    const Vektor2D towardsThird = PlanVektor(m.p2) - p0;
    const double sides = u.CrossProduct(towardsOrigin) * u.CrossProduct(towardsThird);
    const bool high = m.p2.z > out.sillHeight + m.wallStoreyLevel + m.wall.bottomOffset + RaisedAboveThreshold;
    const bool side = Unit(Plan(m.wall.endC) - Plan(m.wall.begC)).DotProduct(PlanVektor(m.p2) - v.centre) > 0.0;
    swap = !side;
    out.outsideMeasured = m.palette.measuredFrom == FromOutside;
    out.invertBoth = high || sides < 0.0;
    out.invertFirst = side;
}

}  // namespace

OpeningSearchHeights SearchHeightsOf(const OpeningMeasurement& m, API_ElemTypeID tool)
{
    OpeningSearchHeights heights;
    if (m.palette.diagonalPoints)
    {
        heights.low = heights.high = std::min(m.p0.z, m.p1.z);
    }
    else if (m.palette.sidePoints && (tool == API_WindowID || tool == API_DoorID))
    {
        heights.low = m.defaultSillHeight + m.defaultStoreyLevel;
        heights.high = heights.low + m.defaultHeight;
        if (tool == API_DoorID) heights.low = heights.high = (heights.low + heights.high) / 2.0;
    }
    return heights;
}

double SplayAngle(double depth, double width)
{
    if (depth == 0.0) return width == 0.0 ? 0.0 : std::atan2(width, 0.0);
    return std::atan(width / depth);
}

OpeningPlacement PlaceWindow(const OpeningMeasurement& m)
{
    OpeningPlacement out;
    ParameterList parameters(out);
    const OpeningMeasurement::Palette& palette = m.palette;
    Measured v = MeasuredOf(m);
    const std::int32_t t = v.revealType;
    if (m.part.revealType && palette.revealKind != StraightReveal && palette.measuredFrom == FromInside &&
        (t == 1 || t == 2 || t == 3 || t == 4 || t == 8))
    {
        v.revealType = SplayedRevealType;
        parameters.Set("gs_reveal_type_int", SplayedRevealType);
    }
    if (v.revealType < 3) ClearReveals(v);
    if (v.revealType == 4)
    {
        v.left = -v.left;
        v.right = -v.right;
        v.top = -v.top;
    }
    if (m.wall.geometryKind == PolygonalWall)
    {
        PlaceWindowInPolygonalWall(m, v, parameters, out);
    }
    else
    {
        PlaceWindowInWall(m, v, parameters, out);
    }
    if (!out.placed) return OpeningPlacement {};
    out.width = v.width;
    if (IsSplayed(palette.revealKind) && v.revealType == SplayedRevealType) SetSplayAngles(palette, false, parameters);
    SetRadiatorNiche(palette, parameters);
    SetSillBoard(palette, parameters);
    if (MeasuresHeight(palette))
    {
        out.height = v.height + palette.sillBoardThickness;
        out.sillHeight = v.sill - palette.sillBoardThickness;
    }
    else
    {
        out.height = m.defaultHeight;
        out.sillHeight = DefaultSillInWall(m);
    }
    return out;
}

OpeningPlacement PlaceDoor(const OpeningMeasurement& m)
{
    OpeningPlacement out;
    ParameterList parameters(out);
    Measured v = MeasuredOf(m);
    SetDoorRevealType(m, v, parameters);
    bool swap = false;
    if (m.wall.geometryKind == PolygonalWall)
    {
        if (!PlaceDoorInPolygonalWall(m, v, parameters, out, swap)) return OpeningPlacement {};
    }
    else
    {
        PlaceDoorInWall(m, v, parameters, out, swap);
    }
    if (IsSplayed(m.palette.revealKind) && v.revealType == SplayedRevealType) SetSplayAngles(m.palette, swap, parameters);
    out.splayAnglesSwapped = swap;
    out.placed = true;
    return out;
}
