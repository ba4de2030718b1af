#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "InProcessHost.hpp"
#include "TextEngine/TextEngine.hpp"
#include "profiles/C2DDrawElement.hpp"

namespace
{

using DZ::C2DDrawElement;
using Coord = Geometry::Point2<double>;

// A hatch over the given rings (each closed by its first point), pens and fill.
HatchObject Hatch(const std::vector<std::vector<Coord>>& rings, std::int16_t contourPen, std::int16_t fillPen,
                  std::int16_t backgroundPen, std::int16_t fill)
{
    std::vector<Coord> coords {{}};
    std::vector<std::uint32_t> ends {1};
    for (const std::vector<Coord>& ring : rings)
    {
        coords.insert(coords.end(), ring.begin(), ring.end());
        coords.push_back(ring.front());
        ends.push_back(static_cast<std::uint32_t>(coords.size() - 1));
    }
    HatchObject hatch;
    EXPECT_EQ(hatch.SetPolygonGeometry(coords, {}, ends), NoError);
    hatch.SetContPen(VBAttr::ExtendedPen(contourPen));
    hatch.SetExtendedFillFgPen(VBAttr::ExtendedPen(fillPen));
    hatch.SetFillBkgPen(backgroundPen);
    hatch.SetFillIdx(fill);
    return hatch;
}

const std::vector<Coord> UnitSquare {{0, 0}, {1, 0}, {1, 1}, {0, 1}};

VectorImage WithHatch(const HatchObject& hatch)
{
    VectorImage image;
    image.AddHatchRec(Sy_HatchType {}, hatch);
    return image;
}

Sy_PolyLinType PolyLine(std::vector<Coord> points, std::vector<std::int32_t> arcBegins)
{
    Sy_PolyLinType polyline;
    polyline.sy_pen = VBAttr::ExtendedPen(2, 4);
    polyline.coords.push_back({});
    polyline.coords.insert(polyline.coords.end(), points.begin(), points.end());
    polyline.arcs.push_back({});
    for (const std::int32_t begin : arcBegins) polyline.arcs.push_back({begin, begin + 1, 0.5});
    return polyline;
}

Sy_RichTextType RichText(std::u16string text, std::int16_t anchor, std::int32_t style)
{
    Sy_RichTextType rich;
    rich.loc = {1, 2};
    rich.width = 3;
    rich.height = 2;
    rich.angle = 0.5;
    rich.anchor = anchor;
    rich.text = std::move(text);
    rich.styles.push_back({3, 2.5, style});
    return rich;
}

std::string Kinds(const C2DDrawElement& list)
{
    std::string kinds;
    for (const C2DDrawElement::SDrawIndex& entry : list.drawOrder)
        kinds += (kinds.empty() ? "" : " ") + std::to_string(entry.kind);
    return kinds;
}

struct LoadCase
{
    const char* name;
    std::function<VectorImage()> image;
    bool ignoreBackgroundPen;
    std::string kinds;
    std::function<void(const C2DDrawElement&)> check;
};

class DisplayListLoader : public ::testing::TestWithParam<LoadCase>
{
protected:
    InProcessHost host_;
};

TEST_P(DisplayListLoader, RecordsAndDrawOrder)
{
    C2DDrawElement list;
    list.LoadFromVectorImage(GetParam().image(), 100, GetParam().ignoreBackgroundPen);
    EXPECT_EQ(Kinds(list), GetParam().kinds);
    if (GetParam().check) GetParam().check(list);
}

const C2DDrawElement::SPolygon& OnlyPolygon(const C2DDrawElement& list)
{
    EXPECT_EQ(list.polygons.GetSize(), 1u);
    return list.polygons[0];
}

INSTANTIATE_TEST_SUITE_P(
    Preview, DisplayListLoader,
    ::testing::Values(LoadCase {"PlainAndBlankTextsGiveNothing",
                                [] {
                                    VectorImage image;
                                    Sy_TextType plain;
                                    plain.text = u"Text";
                                    image.AddText(plain);
                                    image.AddRichText(RichText(u"   ", 1, 0));
                                    image.AddRichText(RichText(u"", 1, 0));
                                    return image;
                                },
                                true, "", nullptr},
                      LoadCase {"PolylineOfArcSegmentsOnlyGivesNothing",
                                [] {
                                    VectorImage image;
                                    image.AddPolyLine(PolyLine({{0, 0}, {1, 0}, {1, 1}}, {1, 2}));
                                    return image;
                                },
                                true, "", nullptr},
                      LoadCase {"PolylineWithoutArcsGivesItsSegments",
                                [] {
                                    VectorImage image;
                                    image.AddPolyLine(PolyLine({{0, 0}, {1, 0}, {1, 1}, {0, 1}}, {}));
                                    return image;
                                },
                                true, "1 1 1",
                                [](const C2DDrawElement& list) {
                                    EXPECT_EQ(list.lines[2].x1, 1.0);
                                    EXPECT_EQ(list.lines[2].y2, 1.0);
                                    EXPECT_EQ(list.lines[0].pen, 4);
                                }},
                      LoadCase {"PolylineLeavesOutItsArcSegment",
                                [] {
                                    VectorImage image;
                                    image.AddPolyLine(PolyLine({{0, 0}, {1, 0}, {1, 1}, {0, 1}}, {2}));
                                    return image;
                                },
                                true, "1 1", [](const C2DDrawElement& list) { EXPECT_EQ(list.lines[1].x1, 1.0); }},
                      LoadCase {"ContourPenZeroHasNoContour", [] { return WithHatch(Hatch({UnitSquare}, 0, 1, 0, 1)); }, true,
                                "7", [](const C2DDrawElement& list) { EXPECT_EQ(OnlyPolygon(list).header.contourWidth, 0.0); }},
                      LoadCase {"ContourPenAboveZeroHasAContour", [] { return WithHatch(Hatch({UnitSquare}, 5, 1, 0, 1)); }, true,
                                "7",
                                [](const C2DDrawElement& list) {
                                    const C2DDrawElement::SPolygon& polygon = OnlyPolygon(list);
                                    EXPECT_EQ(polygon.header.contourWidth, 0.1);
                                    EXPECT_EQ(polygon.header.contourColor.red, 0.5);
                                }},
                      LoadCase {"FillIndexZeroIsStoredAsOne", [] { return WithHatch(Hatch({UnitSquare}, 1, 1, 0, 0)); }, true,
                                "7", [](const C2DDrawElement& list) { EXPECT_EQ(OnlyPolygon(list).fillIndex, 1); }},
                      LoadCase {"IgnoredBackgroundPenIsMinusOne", [] { return WithHatch(Hatch({UnitSquare}, 1, 1, 7, 1)); }, true,
                                "7", [](const C2DDrawElement& list) { EXPECT_EQ(OnlyPolygon(list).backgroundPen, -1); }},
                      LoadCase {"KeptBackgroundPenAndColoursFromThePens",
                                [] { return WithHatch(Hatch({UnitSquare}, 1, 2, 7, 1)); }, false, "7",
                                [](const C2DDrawElement& list) {
                                    const C2DDrawElement::SPolygon& polygon = OnlyPolygon(list);
                                    EXPECT_EQ(polygon.backgroundPen, 7);
                                    EXPECT_EQ(polygon.foregroundPen, 2);
                                    EXPECT_EQ(polygon.foregroundColor.red, 1.0);
                                    EXPECT_EQ(polygon.foregroundColor.green, 0.0);
                                    EXPECT_EQ(polygon.backgroundColor.green, 0.8);
                                }},
                      LoadCase {"RgbColoursComeFromTheHatch",
                                [] {
                                    HatchObject hatch = Hatch({UnitSquare}, 1, 2, 7, 1);
                                    hatch.SetRGBFgColor({65535, 0, 65535});
                                    hatch.SetBkgRGBColor({0, 65535, 0});
                                    return WithHatch(hatch);
                                },
                                false, "7",
                                [](const C2DDrawElement& list) {
                                    const C2DDrawElement::SPolygon& polygon = OnlyPolygon(list);
                                    EXPECT_EQ(polygon.foregroundColor.blue, 1.0);
                                    EXPECT_EQ(polygon.backgroundColor.green, 1.0);
                                    EXPECT_EQ(polygon.backgroundColor.red, 0.0);
                                }},
                      LoadCase {"RingsStartAtPointOne",
                                [] {
                                    return WithHatch(Hatch({UnitSquare, {{0.2, 0.2}, {0.4, 0.2}, {0.4, 0.4}}}, 1, 1, 0, 1));
                                },
                                true, "7",
                                [](const C2DDrawElement& list) {
                                    const C2DDrawElement::SPolygon& polygon = OnlyPolygon(list);
                                    EXPECT_EQ(polygon.header.coordCount, 9);
                                    EXPECT_EQ(polygon.header.subPolyCount, 2);
                                    ASSERT_EQ(polygon.ends.GetSize(), 3u);
                                    EXPECT_EQ(polygon.ends[0], 0);
                                    EXPECT_EQ(polygon.ends[1], 5);
                                    EXPECT_EQ(polygon.ends[2], 9);
                                }},
                      LoadCase {"RichTextWithAnchorTen",
                                [] {
                                    VectorImage image;
                                    image.AddRichText(RichText(u"Profil", 10, TSRegisterStyle({"Times New Roman", 3, 2, 2.5})));
                                    return image;
                                },
                                true, "5",
                                [](const C2DDrawElement& list) {
                                    const C2DDrawElement::SText2D& text = list.texts[0];
                                    EXPECT_EQ(text.anchorIndex, 6);
                                    EXPECT_EQ(text.anchorCode, 10);
                                    EXPECT_EQ(text.fontIndex, 2);
                                    EXPECT_EQ(text.faceBits, 3);
                                    EXPECT_EQ(text.justification, 2);
                                    EXPECT_EQ(text.pen.penIndex, 3);
                                    EXPECT_EQ(text.height, 200.0);
                                    EXPECT_EQ(text.width, 300.0);
                                    EXPECT_EQ(text.capHeight, 250.0);
                                    EXPECT_EQ(text.angle, 0.5);
                                    EXPECT_EQ(text.text, GS::UniString("Profil"));
                                }},
                      LoadCase {"RichTextWithAnUnknownStyleKeepsFontZero",
                                [] {
                                    VectorImage image;
                                    image.AddRichText(RichText(u"X", 2, 999999));
                                    return image;
                                },
                                true, "5",
                                [](const C2DDrawElement& list) {
                                    EXPECT_EQ(list.texts[0].fontIndex, 0);
                                    EXPECT_EQ(list.texts[0].anchorIndex, 1);
                                }},
                      LoadCase {"KindsInTheIteratorsOrder",
                                [] {
                                    VectorImage image;
                                    image.AddPolyLine(PolyLine({{0, 0}, {1, 0}}, {}));
                                    image.AddRichText(RichText(u"T", 1, 0));
                                    image.AddHatchRec(Sy_HatchType {}, Hatch({UnitSquare}, 1, 1, 0, 1));
                                    Sy_ArcType arc;
                                    arc.r = 1;
                                    arc.endAng = 1;
                                    image.AddArc(arc);
                                    image.AddLine(Sy_LinType {});
                                    return image;
                                },
                                true, "3 4 7 5 1", nullptr},
                      LoadCase {"EachHatchIsFollowedByItsPatternLines",
                                [] {
                                    VectorImage image;
                                    image.AddHatchRec(Sy_HatchType {}, Hatch({UnitSquare}, 1, 2, 0, 3));
                                    image.AddHatchRec(Sy_HatchType {}, Hatch({{{2, 0}, {3, 0}, {3, 1}, {2, 1}}}, 1, 4, 0, 3));
                                    return image;
                                },
                                true, "7 3 3 3 3 3 3 3 7 3 3 3 3 3 3 3",
                                [](const C2DDrawElement& list) {
                                    EXPECT_EQ(list.primLines[0].pen.penIndex, 2);
                                    EXPECT_EQ(list.primLines[7].pen.penIndex, 4);
                                    EXPECT_EQ(list.primLines[0].ltypeInd, 1);
                                    // At 45 degrees, within their own square.
                                    for (std::uint32_t i = 0; i < list.primLines.GetSize(); ++i)
                                    {
                                        const API_PrimLine& line = list.primLines[i];
                                        const double left = i < 7 ? 0.0 : 2.0;
                                        EXPECT_NEAR(line.c2.y - line.c1.y, line.c2.x - line.c1.x, 1e-9);
                                        for (const API_Coord& end : {line.c1, line.c2})
                                        {
                                            EXPECT_GE(end.x, left - 1e-9);
                                            EXPECT_LE(end.x, left + 1 + 1e-9);
                                            EXPECT_GE(end.y, -1e-9);
                                            EXPECT_LE(end.y, 1 + 1e-9);
                                        }
                                    }
                                }}),
    [](const ::testing::TestParamInfo<LoadCase>& info) { return std::string(info.param.name); });

TEST(DisplayList, LoadingTwiceDoublesEveryRecord)
{
    InProcessHost host;
    VectorImage image;
    image.AddLine(Sy_LinType {});
    image.AddHatchRec(Sy_HatchType {}, Hatch({UnitSquare}, 1, 1, 0, 1));
    C2DDrawElement list;
    list.LoadFromVectorImage(image, 100, true);
    list.LoadFromVectorImage(image, 100, true);
    EXPECT_EQ(Kinds(list), "3 7 3 7");
    EXPECT_EQ(list.drawOrder[2].index, 1);
    EXPECT_EQ(list.drawOrder[3].index, 1);
}

}  // namespace
