#include <cmath>

#include "curves/CurveVectors.hpp"
#include "profiles/SectionPalette.hpp"

namespace
{

using Curves::Cross;
using Curves::Minus;
using Curves::Plus;
using Curves::Vector;

// The host arc of a measured arc: 1-based vertices, and the angle's sign from
// the turn of the arc in the plane (the point a third along it against its chord).
API_PolyArc HostArc(const Curve3DPalette::arcData& arc, const TypVektor<API_Coord3D>& points, const Geometry::TRANMAT& toPlane)
{
    const Vector s = Geometry::TMBVect(toPlane, Curves::ToVector(points[static_cast<std::uint32_t>(arc.beginIndex)]));
    const Vector e = Geometry::TMBVect(toPlane, Curves::ToVector(points[static_cast<std::uint32_t>(arc.endIndex)]));
    const Vector c = Geometry::TMBVect(toPlane, Curves::ToVector(arc.centre));
    const Vector a = Geometry::TMBVect(toPlane, arc.axis);
    Vector w = Minus(s, c);
    Geometry::TMRotateVect(&w, a, arc.angle / 3.0);
    const Vector t = Plus(c, w);
    const double z = Cross(Minus(e, s), Minus(t, s)).z;
    return {arc.beginIndex + 1, arc.endIndex + 1, z > 0.0 ? arc.angle : -arc.angle};
}

bool ArcFits(const Curve3DPalette::arcData& arc, std::uint32_t pointCount)
{
    return arc.beginIndex >= 0 && arc.endIndex >= 0 && static_cast<std::uint32_t>(arc.beginIndex) < pointCount &&
           static_cast<std::uint32_t>(arc.endIndex) < pointCount;
}

}  // namespace

void SectionPalette::CreateMeasuredProfile()
{
    currentPolygons.Clear();
    const Curve3DPalette::PlaneData& plane = curvePalette.plane;
    const TypVektor<API_Coord3D>& points = curvePalette.curve.points;
    Geometry::TRANMAT basis;
    Geometry::TRANMAT toPlane;
    Geometry::TMBSet(&basis, plane.xAxis, plane.yAxis, plane.normal);
    if (!Geometry::InvMat(&toPlane, basis) || points.IsEmpty())
    {
        RefreshList();
        return;
    }

    SectionDataType polygon;
    const auto n = static_cast<std::int32_t>(points.GetSize());
    polygon.coords.Add({0.0, 0.0});
    for (const API_Coord3D& point : points)
    {
        const Vector q = Geometry::TMBVect(toPlane, Minus(Curves::ToVector(point), plane.origin));
        polygon.coords.Add({q.x, q.y});
    }
    polygon.coordCount = n;
    polygon.ends.Add(0);
    polygon.ends.Add(n);
    polygon.endCount = 1;
    for (const Curve3DPalette::arcData& arc : curvePalette.curve.arcs)
        if (ArcFits(arc, points.GetSize())) polygon.arcs.Add(HostArc(arc, points, toPlane));
    polygon.arcCount = static_cast<std::int32_t>(polygon.arcs.GetSize());
    const Vector up = Geometry::TMBVect(toPlane, {0.0, 0.0, 1.0});
    if (std::hypot(up.x, up.y) > Geometry::GeometryEps) polygon.measuredUp = {up.x, up.y};
    currentPolygons.Add(polygon);

    VectorImage image;
    PolygonsToImage(image);
    NameNewProfile(image);
    RefreshList();
}
