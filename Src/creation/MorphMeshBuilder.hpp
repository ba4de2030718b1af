#pragma once
#include <functional>

#include "API/Types.hpp"
#include "Geometry/Geometry.hpp"
#include "creation/MeshFaceData.hpp"
#include "creation/MorphSettings.hpp"
#include "framework/TypVektor.hpp"

class Survanto;

// Turns measured points into the triangles of a morph: a Delaunay triangulation in
// plan, optionally with four corners from measured side planes, and optionally a
// thickness that makes every triangle a closed prism. It keeps the faces of its
// last build.
class MorphMeshBuilder
{
public:
    using Point = Geometry::Vector3<double>;

    // What the last build could not use: points left out because another point
    // stands at their plan position, and points all within the tolerance of one
    // line in plan (one vertical plane), which give no face.
    struct Omissions
    {
        bool samePlanPosition = false;
        bool oneVerticalPlane = false;
    };

    // Replaces the faces with those of the points. With side planes the first six
    // points of the running action are the plane points: the corners go into
    // `points` and the six leave the running action. A thickness along a measured
    // vector reads that vector from the running action's first two points.
    void Build(TypVektor<Point>& points, const MorphSettings& settings, TypVektor<API_Coord3D>& actionPoints);

    // The plane points are M0 on the base plane, M1 on the upper plane, M2 and M3 on
    // the first side plane, M4 and M5 on the second. Appends, for each line where
    // the base or upper plane meets a side plane, the foot of the nearest point
    // within 1000 m. Nothing with fewer than six plane points, two points of a side
    // plane equal in plan, or planes that do not meet.
    void AddSidePlaneCorners(const Point& centroid, TypVektor<Point>& points, const TypVektor<API_Coord3D>& planePoints) const;

    // Appends the triangles of the points and adds to the normal sum each face's
    // normal turned away from the centroid. Where that cannot be told (the centroid
    // in the face's plane) the normal points up, and for an upright face towards the
    // station. Notes in the omissions what it could not use.
    void Triangulate(const TypVektor<Point>& points, Point& normalSum, const Point& centroid, const Point& station);

    // One morph of the faces, in one undoable command; nothing without faces.
    void CreateMorph(Survanto& survanto) const;

    const TypVektor<MeshFaceData>& Faces() const { return faces_; }
    const TypVektor<Point>& Points() const { return points_; }
    const Omissions& Omitted() const { return omitted_; }

    static double Length(const Point& v);
    // Divides v by its length; a vector shorter than 1e-5 stays as it is.
    static Point& Normalize(Point& v);
    // Radians between the two directions; π/2 when either is shorter than 1e-5.
    static double Angle(Point a, Point b);

private:
    void AppendFace(const Point& a, const Point& b, const Point& c);
    void AppendPrisms(const TypVektor<MeshFaceData>& surface, const std::function<Point(const Point&)>& counterpart);
    void OffsetAlongNormals(const TypVektor<MeshFaceData>& surface, const Point& normalSum, double thickness);
    void ExtrudeAlongVector(const TypVektor<MeshFaceData>& surface, const TypVektor<API_Coord3D>& actionPoints, double thickness);

    MeshFaceData workingFace_;
    TypVektor<MeshFaceData> faces_;
    TypVektor<Point> points_;
    Omissions omitted_;
};
