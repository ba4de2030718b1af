#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "InProcessHost.hpp"
#include "profiles/C2DDrawElement.hpp"
#include "profiles/PreviewPrimitives.hpp"

namespace
{

using DZ::C2DDrawElement;
using Calls = std::vector<std::string>;

constexpr double Pi = 3.14159265358979323846;

std::string Num(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

std::string ArcCall(int left, int top, int right, int bottom, double beginDegrees, double sweepDegrees)
{
    return "Arc " + std::to_string(left) + " " + std::to_string(top) + " " + std::to_string(right) + " " +
           std::to_string(bottom) + " " + Num(static_cast<float>(-beginDegrees * Pi / 180)) + " " +
           Num(static_cast<float>(-sweepDegrees * Pi / 180));
}

Calls Starting(const Calls& calls, const std::string& prefix)
{
    Calls found;
    for (const std::string& call : calls)
        if (call.rfind(prefix, 0) == 0) found.push_back(call);
    return found;
}

API_PrimLine PrimLine(double x1, double y1, double x2, double y2, std::int16_t pen = 1)
{
    API_PrimLine line {};
    line.pen.penIndex = pen;
    line.ltypeInd = 1;
    line.c1 = {x1, y1};
    line.c2 = {x2, y2};
    return line;
}

class Preview : public ::testing::Test
{
protected:
    Calls Drawn(C2DDrawElement& list, double left, double top, double right, double bottom)
    {
        context_.ClearRecordedCalls();
        list.Draw(left, top, right, bottom, context_);
        return context_.GetRecordedCalls();
    }
    Calls Recorded(const std::function<void(NewDisplay::NativeContext&)>& draw)
    {
        context_.ClearRecordedCalls();
        draw(context_);
        return context_.GetRecordedCalls();
    }
    void SetTransform(double scale) { DZ::PreviewTransform() = DZ::DrawingTransform {0, 0, 0, 0, scale}; }

    InProcessHost host_;
    NewDisplay::NativeImage image_ {200, 100};
    NewDisplay::NativeContext context_ {image_};
};

const Calls BlackThinPen {"SetLineWidth 1", "SetLineDashPattern 0", "SetForeColor 0 0 0 255"};

TEST_F(Preview, AWideListIsFittedByItsWidthAndCentredVertically)
{
    C2DDrawElement list;
    list.AddPrimLine(PrimLine(0, 0, 4, 1));
    Calls expected = BlackThinPen;
    expected.insert(expected.end(), {"MoveTo 0 75", "LineTo 200 25"});
    EXPECT_EQ(Drawn(list, 0, 0, 200, 100), expected);
    const DZ::DrawingTransform& t = DZ::PreviewTransform();
    EXPECT_EQ(t.scale, 50.0);
    EXPECT_EQ(t.originX, 0.0);
    EXPECT_EQ(t.originY, 75.0);
}

TEST_F(Preview, ATallListIsFittedByItsHeightAndCentredHorizontally)
{
    C2DDrawElement list;
    list.AddPrimLine(PrimLine(1, 2, 2, 6));
    Calls expected = BlackThinPen;
    // The minimum lands on (left + offset x, bottom - offset y): 87.5 rounds up.
    expected.insert(expected.end(), {"MoveTo 98 100", "LineTo 123 0"});
    EXPECT_EQ(Drawn(list, 10, 0, 210, 100), expected);
    EXPECT_EQ(DZ::PreviewTransform().originX, 97.5);
}

TEST_F(Preview, NothingIsDrawnWithoutAnExtent)
{
    C2DDrawElement empty;
    EXPECT_TRUE(Drawn(empty, 0, 0, 200, 100).empty());
    C2DDrawElement point;
    point.AddPrimLine(PrimLine(3, 3, 3, 3));
    point.AddLine(3, 3, 3, 3, 1);
    EXPECT_TRUE(Drawn(point, 0, 0, 200, 100).empty());
    C2DDrawElement flat;
    flat.AddPrimLine(PrimLine(0, 0, 2, 0));
    EXPECT_EQ(Starting(Drawn(flat, 0, 0, 200, 100), "LineTo"), Calls {"LineTo 200 50"});
}

TEST_F(Preview, WorldToPixelRoundsHalvesAwayFromZero)
{
    SetTransform(1);
    const std::vector<std::pair<double, int>> cases {{10.5, 11}, {-10.5, -11}, {10.49, 10}, {-10.49, -10}, {0.0, 0}};
    for (const auto& [world, pixel] : cases)
    {
        EXPECT_EQ(DZ::WorldToPixelX(world), pixel) << world;
        EXPECT_EQ(DZ::WorldToPixelY(-world), pixel) << world;
    }
}

TEST_F(Preview, PlainLinesTruncateWhereOtherRecordsRound)
{
    C2DDrawElement list;
    list.AddPrimLine(PrimLine(0, 0, 10, 10));
    list.AddLine(1.07, 5, 1.05, 5, 1);
    list.AddPrimLine(PrimLine(1.05, 5, 1.07, 5));
    const Calls moves = Starting(Drawn(list, 0, 0, 100, 100), "MoveTo");
    const Calls lines = Starting(context_.GetRecordedCalls(), "LineTo");
    EXPECT_EQ(moves, (Calls {"MoveTo 0 100", "MoveTo 10 50", "MoveTo 11 50"}));
    EXPECT_EQ(lines, (Calls {"LineTo 100 0", "LineTo 10 50", "LineTo 11 50"}));
}

TEST_F(Preview, PenWidthsAreWholePixelsOfAtLeastOne)
{
    const std::vector<std::pair<double, std::string>> cases {{0.35, "1"}, {2.6, "2"}, {0.0, "1"}, {1.0, "1"}, {3.99, "3"}};
    for (const auto& [width, pixels] : cases)
    {
        API_PenType pen {};
        pen.width = width;
        pen.rgb = {0.5, 0.25, 1.0};
        EXPECT_EQ(Recorded([&](NewDisplay::NativeContext& c) { DZ::SetPreviewPen(c, &pen); }),
                  (Calls {"SetLineWidth " + pixels, "SetLineDashPattern 0", "SetForeColor 127 63 255 255"}))
            << width;
    }
    EXPECT_TRUE(Recorded([](NewDisplay::NativeContext& c) { DZ::SetPreviewPen(c, nullptr); }).empty());
}

struct ArcSweep
{
    double begin, end;
    double drawnBegin, sweep;
};

TEST_F(Preview, ArcSweepsAndTurnsBeyondAFullCircle)
{
    SetTransform(1);
    const std::vector<ArcSweep> cases {
        {350, 10, 350, 20}, {370, 380, 10, 10}, {730, 740, 370, 10}, {0, 360, 0, 360}, {90, 45, 90, 315}};
    for (const ArcSweep& c : cases)
        EXPECT_EQ(
            Recorded([&](NewDisplay::NativeContext& ctx) { DZ::DrawPreviewArc(ctx, 0, 0, 10, 1.0, c.begin, c.end, nullptr, 0); }),
            Calls {ArcCall(-10, -10, 10, 10, c.drawnBegin, c.sweep)})
            << c.begin << " " << c.end;
}

TEST_F(Preview, AnAxisRatioOfOneHundredThousandthOffOneIsDrawnAsAChain)
{
    SetTransform(10);
    const Calls calls =
        Recorded([](NewDisplay::NativeContext& ctx) { DZ::DrawPreviewArc(ctx, 0, 0, 10, 1.00001, 0, 90, nullptr, 0); });
    EXPECT_TRUE(Starting(calls, "Arc").empty());
    ASSERT_GT(calls.size(), 10u);
    EXPECT_EQ(calls.front(), "MoveTo 100 0");
    EXPECT_EQ(calls.back(), "LineTo 0 -100");
    const Calls circle =
        Recorded([](NewDisplay::NativeContext& ctx) { DZ::DrawPreviewArc(ctx, 0, 0, 10, 1.000009, 0, 90, nullptr, 0); });
    EXPECT_EQ(circle, Calls {ArcCall(-100, -99, 100, 99, 0, 90)});
}

TEST_F(Preview, PackedColours)
{
    EXPECT_EQ(DZ::PackRGB(1, 2, 3), 197121u);
    Gfx::Color color;
    DZ::ColorFromRGB(197121u, color);
    EXPECT_EQ(color, Gfx::Color(1, 2, 3, 255));
    EXPECT_EQ(Recorded([](NewDisplay::NativeContext& c) { DZ::FillPreviewRect(0, 0, 200, 100, 255, 255, 255, c); }),
              Calls {"FillRect 0 0 200 100 255 255 255 255"});
}

C2DDrawElement::SPolygon Square(double angle, double contourWidth)
{
    C2DDrawElement::SPolygon polygon;
    polygon.header.contourWidth = contourWidth;
    polygon.header.coordCount = 5;
    polygon.header.subPolyCount = 1;
    polygon.header.arcCount = angle != 0 ? 1 : 0;
    polygon.header.contourColor = {1, 0, 0};
    for (const API_Coord& c :
         {API_Coord {}, API_Coord {0, 0}, API_Coord {2, 0}, API_Coord {2, 2}, API_Coord {0, 2}, API_Coord {0, 0}})
        polygon.coords.Add(c);
    polygon.ends.Add(0);
    polygon.ends.Add(5);
    if (angle != 0) polygon.arcs.Add({2, 3, angle});
    return polygon;
}

Calls DrawnPolygon(NewDisplay::NativeContext& context, const C2DDrawElement::SPolygon& polygon)
{
    context.ClearRecordedCalls();
    const std::vector<API_Coord> points(polygon.coords.begin(), polygon.coords.end());
    const std::vector<std::int32_t> ends(polygon.ends.begin(), polygon.ends.end());
    const std::vector<C2DDrawElement::SPolyArc> arcs(polygon.arcs.begin(), polygon.arcs.end());
    DZ::DrawPreviewPolygon(polygon, points.data(), ends.data(), arcs.empty() ? nullptr : arcs.data(), context);
    return context.GetRecordedCalls();
}

TEST_F(Preview, PolygonsAreFilledWithoutTheirClosingPointThenOutlined)
{
    SetTransform(1);
    EXPECT_EQ(DrawnPolygon(context_, Square(0, 0.1)),
              (Calls {"BeginPolygon", "MoveTo 0 0", "LineTo 2 0", "LineTo 2 -2", "LineTo 0 -2", "EndPolygon",
                      "SetForeColor 255 0 0 255", "MoveTo 0 0", "LineTo 2 0", "MoveTo 2 0", "LineTo 2 -2", "MoveTo 2 -2",
                      "LineTo 0 -2", "MoveTo 0 -2", "LineTo 0 0"}));
    EXPECT_EQ(DrawnPolygon(context_, Square(0, 0)),
              (Calls {"BeginPolygon", "MoveTo 0 0", "LineTo 2 0", "LineTo 2 -2", "LineTo 0 -2", "EndPolygon"}));
}

TEST_F(Preview, AContourArcOfNegativeAngleRunsFromItsEndPoint)
{
    SetTransform(1);
    const Calls right = Starting(DrawnPolygon(context_, Square(-Pi / 2, 0.1)), "Arc");
    // Centre (3, 1), from (2, 2) at 135 degrees over a quarter turn.
    EXPECT_EQ(right, Calls {ArcCall(2, -2, 4, 0, 135, 90)});
    const Calls left = Starting(DrawnPolygon(context_, Square(Pi / 2, 0.1)), "Arc");
    // Centre (1, 1), from (2, 0) at -45 degrees.
    EXPECT_EQ(left, Calls {ArcCall(0, -2, 2, 0, 315, 90)});
}

struct FillCase
{
    std::int16_t fill;
    std::string pattern;
};

HatchObject SquareHatch(std::int16_t fill)
{
    HatchObject hatch;
    hatch.SetPolygonGeometry({{}, {0, 0}, {1, 0}, {1, 1}, {0, 1}, {0, 0}}, {}, {1, 5});
    hatch.SetContPen(VBAttr::ExtendedPen(0));
    hatch.SetExtendedFillFgPen(VBAttr::ExtendedPen(2));
    hatch.SetFillBkgPen(7);
    hatch.SetFillIdx(fill);
    return hatch;
}

TEST_F(Preview, FillsDrawTheirPatternSolidOrOnlyTheBackground)
{
    const std::vector<FillCase> cases {{3, "SetFillPattern 80 40 20 10 08 04 02 01"},
                                       {2, "SetFillPattern ff ff ff ff ff ff ff ff"},
                                       {1, "SetFillPattern 00 00 00 00 00 00 00 00"},
                                       {0, "SetFillPattern 00 00 00 00 00 00 00 00"}};
    for (const FillCase& c : cases)
    {
        VectorImage image;
        image.AddHatchRec(Sy_HatchType {}, SquareHatch(c.fill));
        C2DDrawElement list;
        list.LoadFromVectorImage(image, 100, true);
        // The polygon comes first; its pen 0 is no pen.
        const Calls calls = Drawn(list, 0, 0, 100, 100);
        ASSERT_GE(calls.size(), 3u);
        EXPECT_EQ(Calls(calls.begin(), calls.begin() + 3),
                  (Calls {c.pattern, "SetBackColor 204 204 204 0", "SetForeColor 255 0 0 255"}))
            << c.fill;
    }
}

TEST_F(Preview, APercentFillSetsBothAlphas)
{
    API_Attribute& screen = host_->model_.content.attributes[{API_FilltypeID, 9}];
    screen = host_->model_.content.attributes.at({API_FilltypeID, 2});
    screen.header.index = 9;
    screen.filltype.percentFill = true;
    screen.filltype.percent = 0.5;
    VectorImage image;
    image.AddHatchRec(Sy_HatchType {}, SquareHatch(9));
    C2DDrawElement list;
    list.LoadFromVectorImage(image, 100, false);
    const Calls calls = Drawn(list, 0, 0, 100, 100);
    ASSERT_GE(calls.size(), 3u);
    EXPECT_EQ(Calls(calls.begin(), calls.begin() + 3),
              (Calls {"SetFillPattern ff ff ff ff ff ff ff ff", "SetBackColor 204 204 204 127", "SetForeColor 255 0 0 127"}));
}

C2DDrawElement::SText2D TextAttributes(double capHeight)
{
    C2DDrawElement::SText2D text;
    text.pen.penIndex = 1;
    text.fontIndex = 1;
    text.x = 5, text.y = 5;
    text.height = 200;
    text.width = 1000;
    text.capHeight = capHeight;
    return text;
}

TEST_F(Preview, TextsArePlacedByTheirAnchorAndLeftOutBelowAReadableSize)
{
    struct TextCase
    {
        std::int32_t anchorCode;
        double capHeight;
        Calls drawn;
    };
    // 10 pixels a unit: the location is (50, 50), 2 pixels high with 1.4 pixel
    // capitals; "AB" is 1.68 pixels wide.
    const std::vector<TextCase> cases {{8, 140, {"DrawPlainText AB 49.16 49.7 0"}},
                                       {6, 140, {"DrawPlainText AB 48.32 50.7 0"}},
                                       {10, 140, {"DrawPlainText AB 49.16 51.7 0"}},
                                       {7, 140, {"DrawPlainText AB 50 49.7 0"}},
                                       {8, 139, {}}};
    for (const TextCase& c : cases)
    {
        C2DDrawElement list;
        list.AddPrimLine(PrimLine(0, 0, 10, 10));
        list.AddText(TextAttributes(c.capHeight), u"AB", c.anchorCode, c.capHeight);
        EXPECT_EQ(Starting(Drawn(list, 0, 0, 100, 100), "DrawPlainText"), c.drawn) << c.anchorCode << " " << c.capHeight;
    }
}

TEST_F(Preview, ATextWithoutAFontIsNotDrawn)
{
    C2DDrawElement list;
    list.AddPrimLine(PrimLine(0, 0, 10, 10));
    C2DDrawElement::SText2D text = TextAttributes(140);
    text.fontIndex = 0;
    list.AddText(text, u"AB", 1, 140);
    EXPECT_TRUE(Starting(Drawn(list, 0, 0, 100, 100), "DrawPlainText").empty());
    EXPECT_FALSE(list.AddText(text, nullptr, 1, 140));
}

TEST_F(Preview, TheExtentTakesArcsAndBentEdgesWhole)
{
    C2DDrawElement list;
    API_PrimArc arc {};
    arc.orig = {10, 0};
    arc.r = 1;
    arc.ratio = 1;
    arc.begAng = 0;
    arc.endAng = Pi;
    list.AddArc(arc);
    C2DDrawElement::SPolygon bent = Square(Pi, 0);
    const std::vector<API_Coord> points(bent.coords.begin(), bent.coords.end());
    const std::vector<std::int32_t> ends(bent.ends.begin(), bent.ends.end());
    const std::vector<C2DDrawElement::SPolyArc> arcs(bent.arcs.begin(), bent.arcs.end());
    list.AddPolygon(bent.header, points.data(), ends.data(), arcs.data(), 1, 0, {}, {}, 1);
    double minX = 0, maxY = 0, maxX = 0, minY = 0;
    list.GetExtent(minX, maxY, maxX, minY);
    EXPECT_NEAR(minX, 0, 1e-12);
    EXPECT_NEAR(maxX, 11, 1e-12);
    EXPECT_NEAR(maxY, 2, 1e-12);
    EXPECT_NEAR(minY, 0, 1e-12);
    // The half circle turning left from (2, 0) to (2, 2) bulges out to x = 3.
    C2DDrawElement alone;
    alone.AddPolygon(bent.header, points.data(), ends.data(), arcs.data(), 1, 0, {}, {}, 1);
    alone.GetExtent(minX, maxY, maxX, minY);
    EXPECT_NEAR(maxX, 3, 1e-12);
}

}  // namespace
