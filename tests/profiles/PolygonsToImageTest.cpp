#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "profiles/SectionPalette.hpp"

namespace
{

// A closed square of n vertices (n - 1 distinct and the first repeated) with the given arcs.
SectionPalette::SectionDataType Square(std::int32_t n, const std::vector<API_PolyArc>& arcs)
{
    SectionPalette::SectionDataType polygon;
    polygon.coords.Add(API_Coord {});
    for (std::int32_t i = 1; i <= n; ++i)
        polygon.coords.Add(API_Coord {double(i % 4 == 2 || i % 4 == 3), double(i % 4 == 3 || i % 4 == 0)});
    polygon.ends.Add(0);
    polygon.ends.Add(n);
    for (const API_PolyArc& arc : arcs) polygon.arcs.Add(arc);
    polygon.coordCount = n;
    polygon.endCount = 1;
    polygon.arcCount = static_cast<std::int32_t>(arcs.size());
    return polygon;
}

// The hatch lives in the image, not in the iterator.
const HatchObject& FirstHatch(const VectorImage& image)
{
    ConstVectorImageIterator it(image);
    EXPECT_FALSE(it.IsEOI());
    return it.GetHatchObject();
}

struct ArcCase
{
    const char* name;
    std::vector<API_PolyArc> arcs;
    std::vector<Geometry::PolyArcRec> expected;
};

class HatchArcs : public ::testing::TestWithParam<ArcCase>
{};

TEST_P(HatchArcs, OneArcPerBentVertex)
{
    SectionPalette palette;
    palette.currentPolygons.Add(Square(5, GetParam().arcs));
    VectorImage image;
    palette.PolygonsToImage(image);
    const std::vector<Geometry::PolyArcRec>& arcs = FirstHatch(image).GetArcs();
    ASSERT_EQ(arcs.size(), GetParam().expected.size());
    for (std::size_t i = 0; i < arcs.size(); ++i)
    {
        EXPECT_EQ(arcs[i].begIndex, GetParam().expected[i].begIndex) << i;
        EXPECT_EQ(arcs[i].endIndex, GetParam().expected[i].endIndex) << i;
        EXPECT_EQ(arcs[i].arcAngle, GetParam().expected[i].arcAngle) << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Profiles, HatchArcs,
    ::testing::Values(
        ArcCase {"NoArcs", {}, {}},
        ArcCase {"UnsortedArcsComeOutByBeginIndex", {{3, 4, -0.5}, {1, 2, 0.25}}, {{1, 2, 0.25}, {3, 4, -0.5}}},
        ArcCase {"AnglesUpToOneHundredThousandthAreStraight", {{1, 2, 1e-5}, {2, 3, -1e-5}, {3, 4, -2e-5}}, {{3, 4, -2e-5}}},
        ArcCase {"BeginZeroIsLeftOutAlone", {{0, 1, 0.5}, {2, 3, 0.7}, {3, 4, 0.9}}, {{2, 3, 0.7}, {3, 4, 0.9}}},
        ArcCase {"BeginAtTheLastVertexOrBeyondIsLeftOut", {{5, 6, 0.5}, {9, 10, 0.5}, {1, 2, 0.3}}, {{1, 2, 0.3}}},
        ArcCase {"RepeatedBeginKeepsTheFirstAfterTheSort", {{2, 3, 0.5}, {2, 3, 0.6}, {3, 4, 0.7}}, {{2, 3, 0.5}, {3, 4, 0.7}}},
        ArcCase {"TiesFollowTheSelectionSort", {{3, 4, 0.1}, {3, 4, 0.2}, {1, 2, 0.3}}, {{1, 2, 0.3}, {3, 4, 0.2}}}),
    [](const ::testing::TestParamInfo<ArcCase>& info) { return std::string(info.param.name); });

TEST(PolygonsToImage, OneHatchPerPolygonWithItsPensPatternAndLineType)
{
    SectionPalette palette;
    SectionPalette::SectionDataType polygon = Square(5, {});
    polygon.contourPen = 2, polygon.fillPen = 3, polygon.backgroundPen = 4, polygon.fillPattern = 5, polygon.contourLineType = 6;
    palette.currentPolygons.Add(polygon);
    palette.currentPolygons.Add(Square(5, {}));
    VectorImage image;
    palette.PolygonsToImage(image);
    EXPECT_EQ(image.GetItemCount(), 2u);
    ConstVectorImageIterator it(image);
    EXPECT_EQ(it.GetHatch().head.item_Typ, SyHatch);
    EXPECT_EQ(it.GetHatch().head.drwIndex, 6);
    const HatchObject& hatch = it.GetHatchObject();
    EXPECT_EQ(hatch.GetContPen(), VBAttr::ExtendedPen(2, 2));
    EXPECT_EQ(hatch.GetExtendedFillFgPen(), VBAttr::ExtendedPen(3, 3));
    EXPECT_EQ(hatch.GetFillBkgPen(), 4);
    EXPECT_EQ(hatch.GetFillIdx(), 5);
    EXPECT_EQ(hatch.GetContLType(), 6);
    EXPECT_TRUE(hatch.GetHatchTran().IsGlobal());
    // Lead entries: end 1 and the origin.
    EXPECT_EQ(hatch.GetSubPolyEnds(), (std::vector<std::uint32_t> {1, 5}));
    EXPECT_EQ(hatch.GetCoords()[0].x, 0.0);
    EXPECT_EQ(hatch.GetCoords()[0].y, 0.0);
    EXPECT_EQ(hatch.GetCoords()[2].x, 1.0);
}

TEST(PolygonsToImage, MoreThanASignedShortOfVerticesConvertsWhole)
{
    SectionPalette palette;
    palette.currentPolygons.Add(Square(40001, {{40000, 40001, 0.5}}));
    VectorImage image;
    palette.PolygonsToImage(image);
    const HatchObject& hatch = FirstHatch(image);
    EXPECT_EQ(hatch.GetCoords().size(), 40002u);
    ASSERT_EQ(hatch.GetArcs().size(), 1u);
    EXPECT_EQ(hatch.GetArcs()[0].begIndex, 40000);
}

TEST(PolygonsToImage, PolygonsWhoseCountsExceedTheirListsAreLeftOut)
{
    SectionPalette palette;
    SectionPalette::SectionDataType broken = Square(5, {});
    broken.coordCount = 9;
    palette.currentPolygons.Add(broken);
    SectionPalette::SectionDataType endsOutside = Square(5, {});
    endsOutside.ends[1] = 12;
    palette.currentPolygons.Add(endsOutside);
    palette.currentPolygons.Add(Square(5, {}));
    VectorImage image;
    palette.PolygonsToImage(image);
    EXPECT_EQ(image.GetItemCount(), 1u);
}

TEST(PolygonsToImage, ImageToPolygonsTakesHatchesOnlyInTheIteratorsOrder)
{
    SectionPalette palette;
    VectorImage image;
    image.AddLine(Sy_LinType {});
    palette.currentPolygons.Add(Square(5, {{2, 3, 0.4}}));
    palette.currentPolygons[0].fillPen = 8;
    palette.currentPolygons.Add(Square(5, {}));
    palette.currentPolygons[1].fillPen = 9;
    palette.PolygonsToImage(image);
    palette.ImageToPolygons(image);
    ASSERT_EQ(palette.currentPolygons.GetSize(), 2u);
    const SectionPalette::SectionDataType& first = palette.currentPolygons[0];
    EXPECT_EQ(first.fillPen, 8);
    EXPECT_EQ(first.coordCount, 5);
    EXPECT_EQ(first.endCount, 1);
    EXPECT_EQ(first.ends[0], 1);
    EXPECT_EQ(first.arcCount, 1);
    EXPECT_EQ(first.arcs[0].endIndex, 3);
    EXPECT_EQ(palette.currentPolygons[1].fillPen, 9);
}

TEST(AddUnique, DrawingsAndNamesGoInOnce)
{
    TypVektor<VectorImage> images;
    VectorImage a, b;
    Sy_LinType line;
    line.endC = {1, 0};
    b.AddLine(line);
    EXPECT_TRUE(images.AddUnique(a));
    EXPECT_TRUE(images.AddUnique(b));
    EXPECT_FALSE(images.AddUnique(VectorImage(b)));
    EXPECT_EQ(images.GetSize(), 2u);

    TypVektor<GS::UniString> names;
    EXPECT_TRUE(names.AddUnique(GS::UniString("Gesims")));
    EXPECT_FALSE(names.AddUnique(GS::UniString("Gesims")));
    EXPECT_TRUE(names.AddUnique(GS::UniString("gesims")));
    EXPECT_EQ(names.GetSize(), 2u);
}

}  // namespace
