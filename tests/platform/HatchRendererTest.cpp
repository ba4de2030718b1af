#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "VectorImage/HatchRenderer.hpp"

namespace
{

constexpr double Pi = 3.14159265358979323846;

using Coord = Geometry::Point2<double>;

// Fill 1: horizontal lines 2 mm apart; fill 2: solid; others unknown.
class TwoFills : public AttributeSet
{
public:
    GSErrCode GetAttribute(API_Attribute* attribute) const override
    {
        if (attribute->header.typeID != API_FilltypeID || attribute->header.index < 1 || attribute->header.index > 2)
            return APIERR_DELETED;
        API_FilltypeType& fill = attribute->filltype;
        fill.subType = attribute->header.index == 1 ? APIFill_Vector : APIFill_Solid;
        fill.lineCount = attribute->header.index == 1 ? 1 : 0;
        fill.lines[0] = {0.0, 2.0, 1.0};
        return NoError;
    }
};

struct Stretch
{
    Coord from, to;
    std::int16_t pen;
};

struct Recorder
{
    std::vector<Stretch> stretches;
    std::vector<const char*> calls;
};

GSErrCode RecordFill(const HatchDrawContext* context, const HatchObject&)
{
    static_cast<Recorder*>(context->userData)->calls.push_back("fill");
    return NoError;
}

GSErrCode RecordContour(const HatchDrawContext* context, const HatchObject&)
{
    static_cast<Recorder*>(context->userData)->calls.push_back("contour");
    return NoError;
}

GSErrCode RecordLine(const HatchDrawContext* context, const Coord& from, const Coord& to, const VBAttr::ExtendedPen& pen)
{
    auto* recorder = static_cast<Recorder*>(context->userData);
    recorder->calls.push_back("line");
    recorder->stretches.push_back({from, to, pen.GetEffectiveColorIndex()});
    return NoError;
}

// A 1 m square with a hole from 0.4 to 0.6 across and 0.25 to 0.75 up.
HatchObject SquareWithHole(std::int16_t fill)
{
    HatchObject hatch;
    hatch.SetPolygonGeometry(
        {{}, {0, 0}, {1, 0}, {1, 1}, {0, 1}, {0, 0}, {0.4, 0.25}, {0.6, 0.25}, {0.6, 0.75}, {0.4, 0.75}, {0.4, 0.25}}, {},
        {1, 5, 10});
    hatch.SetExtendedFillFgPen(VBAttr::ExtendedPen(3, 6));
    hatch.SetFillIdx(fill);
    hatch.GetHatchTran().SetGlobal();
    return hatch;
}

HatchDrawContext ContextFor(Recorder& recorder, double planScale, double minSpacing)
{
    HatchDrawContext context {};
    context.fillProc = RecordFill;
    context.lineProc = RecordLine;
    context.contourProc = RecordContour;
    context.planScale = planScale;
    context.minSpacing = minSpacing;
    context.userData = &recorder;
    return context;
}

TEST(HatchRenderer, OneCallPerStretchOfPatternLineInsideThePolygon)
{
    const TwoFills fills;
    Recorder recorder;
    // 2 mm at 1:100 is 0.2 m, the first line 0.1 m up: lines at 0.1, 0.3, 0.5, 0.7, 0.9.
    ASSERT_EQ(DrawSyHatch(AttributeReader(fills), SquareWithHole(1), ContextFor(recorder, 100, 0.00125), true), NoError);
    std::map<double, std::vector<std::pair<double, double>>> byHeight;
    for (const Stretch& stretch : recorder.stretches)
    {
        EXPECT_NEAR(stretch.from.y, stretch.to.y, 1e-12);
        EXPECT_EQ(stretch.pen, 6);
        byHeight[std::round(stretch.from.y * 10) / 10].push_back({stretch.from.x, stretch.to.x});
    }
    ASSERT_EQ(byHeight.size(), 5u);
    EXPECT_EQ(recorder.stretches.size(), 8u);
    for (const double y : {0.1, 0.9})
    {
        ASSERT_EQ(byHeight[y].size(), 1u) << y;
        EXPECT_NEAR(byHeight[y][0].first, 0, 1e-12);
        EXPECT_NEAR(byHeight[y][0].second, 1, 1e-12);
    }
    for (const double y : {0.3, 0.5, 0.7})
    {
        ASSERT_EQ(byHeight[y].size(), 2u) << y;
        EXPECT_NEAR(byHeight[y][0].second, 0.4, 1e-12);
        EXPECT_NEAR(byHeight[y][1].first, 0.6, 1e-12);
    }
    EXPECT_EQ(std::count(recorder.calls.begin(), recorder.calls.end(), std::string("fill")), 0);
}

TEST(HatchRenderer, FillAndContourComeAroundThePatternUnlessPatternOnly)
{
    const TwoFills fills;
    Recorder recorder;
    ASSERT_EQ(DrawSyHatch(AttributeReader(fills), SquareWithHole(2), ContextFor(recorder, 100, 0.00125), false), NoError);
    EXPECT_EQ(recorder.calls, (std::vector<const char*> {"fill", "contour"}));
}

TEST(HatchRenderer, DensePatternsAndUnknownFillsDrawNoLines)
{
    const TwoFills fills;
    Recorder recorder;
    EXPECT_EQ(DrawSyHatch(AttributeReader(fills), SquareWithHole(1), ContextFor(recorder, 100, 0.003), true), NoError);
    EXPECT_NE(DrawSyHatch(AttributeReader(fills), SquareWithHole(5), ContextFor(recorder, 100, 0.00125), true), NoError);
    EXPECT_TRUE(recorder.stretches.empty());
}

TEST(HatchRenderer, ArcEdgesBoundThePattern)
{
    const TwoFills fills;
    Recorder recorder;
    HatchObject halfDisc;
    // The half disc of radius 1 about the origin, above the x axis.
    halfDisc.SetPolygonGeometry({{}, {1, 0}, {-1, 0}, {1, 0}}, {{1, 2, Pi}}, {1, 3});
    halfDisc.SetFillIdx(1);
    halfDisc.GetHatchTran().SetGlobal();
    ASSERT_EQ(DrawSyHatch(AttributeReader(fills), halfDisc, ContextFor(recorder, 100, 0.00125), true), NoError);
    ASSERT_EQ(recorder.stretches.size(), 5u);
    for (const Stretch& stretch : recorder.stretches)
    {
        const double half = std::sqrt(1 - stretch.from.y * stretch.from.y);
        EXPECT_NEAR(stretch.from.x, -half, 0.002);
        EXPECT_NEAR(stretch.to.x, half, 0.002);
    }
}

}  // namespace
