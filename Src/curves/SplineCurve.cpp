#include "curves/SplineCurve.hpp"

#include <optional>
#include <vector>

#include "curves/CurveFrame.hpp"
#include "curves/EndPointPolygon.hpp"

namespace Curves
{

namespace
{

constexpr int SampleSteps = 100;

}  // namespace

void BuildSplineCurve(const TypVektor<API_Coord3D>& controlPoints, const Curve3DPalette::PlaneData& plane, bool closed,
                      Curve3DPalette::CurveData& curve)
{
    curve.arcs.Clear();
    curve.points.Clear();
    curve.tangents.Clear();
    const auto count = static_cast<std::int32_t>(controlPoints.GetSize());
    if (count < 2) return;
    const std::optional<CurveFrame> frame = CurveFrame::Make(plane.origin, plane.xAxis, plane.yAxis, plane.normal);
    if (!frame) return;
    std::vector<Geometry::Coord> images;
    for (const API_Coord3D& p : controlPoints) images.push_back(frame->Image(p));
    std::vector<Geometry::DirType> directions(images.size());
    if (!Geometry::CalcSpline(images.data(), directions.data(), count, closed)) return;
    const double spans = count - 1 + (closed ? 1 : 0);
    for (int j = 0; j <= SampleSteps; ++j)
    {
        const double t = j * spans / SampleSteps;
        AddStraightSegment(curve, frame->Point(Geometry::GetSplineVal(count, images.data(), directions.data(), t)));
    }
}

}  // namespace Curves
