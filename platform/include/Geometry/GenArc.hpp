#pragma once
#include <vector>

#include "Geometry/Point2.hpp"
#include "Geometry/Polygon2DData.hpp"

// Circular and elliptic arcs of the host's geometry library. An elliptic arc has
// a main half-axis a along the main-axis direction and an other half-axis
// b = a / ratio; its angles are the ellipse's parameter t of the point
// origo + turn(direction) * (a cos t, b sin t), and it runs counter-clockwise from
// the begin angle to the end angle.
namespace Geometry
{

struct Ellipse
{
    Point2<double> origo;
    double mainAxisLength = 0.0;
    double mainAxisDir = 0.0;
};

class GenArc
{
public:
    // An end angle below the begin angle is taken one turn further on.
    void SetToEllipseArc(const Ellipse& ellipse, double ratio, double begAng, double endAng);

    const Point2<double>& GetOrigo() const { return origo_; }
    double GetMainAxisLength() const { return a_; }
    double GetOtherAxisLength() const { return b_; }
    double GetMainAxisDir() const { return mainAxisDir_; }
    double GetBegAng() const { return begAng_; }
    double GetEndAng() const { return endAng_; }
    const Point2<double>& GetBegC() const { return begC_; }
    const Point2<double>& GetEndC() const { return endC_; }

    Point2<double> PointAt(double t) const;

private:
    friend void CalcGenArcBegEndCo(GenArc* arc);
    friend bool SetGenArcPtr(GenArc* arc, const Point2<double>& begC, const Point2<double>& endC, double angle);

    Point2<double> origo_;
    double a_ = 0.0;
    double b_ = 0.0;
    double mainAxisDir_ = 0.0;
    double begAng_ = 0.0;
    double endAng_ = 0.0;
    Point2<double> begC_;
    Point2<double> endC_;
};

// Sets the arc's begin and end points from its angles.
void CalcGenArcBegEndCo(GenArc* arc);

// The circular arc from begC that turns left by angle to endC; a negative angle
// gives the same points run from endC to begC. False (the arc unchanged) when the
// points coincide or the angle is too small or a full turn or more.
bool SetGenArcPtr(GenArc* arc, const Point2<double>& begC, const Point2<double>& endC, double angle);

// Points along the arc, its end points included, no further from the curve than
// maxDifference; at most 4097 points.
std::vector<Point2<double>> DivideEllArcToCo(const GenArc& arc, double maxDifference);

Box2DData GetGenArcBoundBox(const GenArc& arc);

}  // namespace Geometry
