#pragma once
#include <cstdint>

#include "curves/Curve3DPalette.hpp"
#include "curves/CurveVectors.hpp"

// Method 9, the polygon measured side by side: two points anywhere on a straight
// side (step 13), three on a curved one (step 14). Each corner is where the new
// side meets the one before: two lines in the curve plane, a line and an arc's
// circle, or two circles. The first vertex and the last measured point of each
// side keep their measured place until a later corner replaces them.
//
// Nothing that cannot be a polygon is taken: a point closer than the tolerance to
// a pending point of its side is not taken; a side that meets the one before
// nowhere (parallel lines, a line missing the circle, circles apart) or whose
// corner leaves a side without length is dropped; a curved side whose three
// points lie on one line is taken as the straight side from its first point to
// its last.
namespace Curves
{

void AddTwoPointSidePoint(Curve3DPalette::CurveData& curve, const Curve3DPalette::PlaneData& plane, std::int16_t step,
                          TypVektor<Vector>& segmentPoints, const Vector& point);

// Moves the first and the last vertex to where the last side meets the first and
// gives them one tangent; an end arc's sweep is measured anew to that corner.
// Where the sides give no corner, vertex 0 is appended as a straight closing
// segment instead. Fewer than two vertices: nothing.
void CloseTwoPointCurve(Curve3DPalette::CurveData& curve, const Curve3DPalette::PlaneData& plane);

// Helpers the closing shares with the sides.
namespace TwoPoint
{

bool FirstSideIsArc(const Curve3DPalette::CurveData& curve);
bool LastSideIsArc(const Curve3DPalette::CurveData& curve);
// The corner of an arc with a line: of the two crossings, the one not on the arc
// as measured from `from` over the sweep; when neither is, the one nearer to `near`.
Plan ChooseCrossing(const Plan& centre, const Plan& from, double sweep, const Geometry::Sector& crossings, const Plan& near);
// The 2D vector turned by -90° (sign 1) or +90° (sign -1).
Plan TurnBy(const Plan& v, int sign);

}  // namespace TwoPoint

}  // namespace Curves
