#include <algorithm>
#include <cmath>

#include "framework/AngleConstants.hpp"
#include "profiles/SectionPalette.hpp"

namespace
{

template <typename Record>
void UseMarkPen(Record& record)
{
    record.sy_pen = VBAttr::ExtendedPen(1);
    record.sy_ltype = 1;
    record.sy_lineProperty = 1;
    record.sy_flags = 1;
}

void AddMarkLine(VectorImage& drawing, Geometry::Point2<double> from, Geometry::Point2<double> to)
{
    Sy_LinType line;
    UseMarkPen(line);
    line.begC = from;
    line.endC = to;
    drawing.AddLine(line);
}

}  // namespace

// The cross and circle are a twentieth of the drawing's larger side, so they
// read at any preview size.
void SectionPalette::AddOriginMark(VectorImage& drawing)
{
    Geometry::Box2DData box;
    drawing.GetBounds(&box);
    const double s = std::max(std::fabs(box.xMax - box.xMin), std::fabs(box.yMax - box.yMin)) / 20.0;
    AddMarkLine(drawing, {-s, 0.0}, {s, 0.0});
    AddMarkLine(drawing, {0.0, -s}, {0.0, s});
    Sy_ArcType circle;
    UseMarkPen(circle);
    circle.r = s / 2.0;
    circle.elongation = 1.0;
    circle.mainAxisDir = 0.0;
    circle.begAng = 0.0;
    circle.endAng = TwoPi;
    drawing.AddWholeGenArc(circle);
}
