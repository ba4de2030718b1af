#pragma once
#include "curves/Curve3DPalette.hpp"

namespace Curves
{

// Replaces the curve by 101 samples of the interpolating spline through the
// control points, drawn in the curve plane (their height above it dropped): from
// the first to the last control point, or once round and back to the first when
// closed. Samples are joined as straight segments; one that falls on the sample
// before it is passed over. Fewer than two control points, or a plane whose axes
// span no space, leave the curve empty.
void BuildSplineCurve(const TypVektor<API_Coord3D>& controlPoints, const Curve3DPalette::PlaneData& plane, bool closed,
                      Curve3DPalette::CurveData& curve);

}  // namespace Curves
