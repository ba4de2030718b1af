#include <gtest/gtest.h>

#include <cmath>

#include "VectorImage/VectorImage.hpp"

namespace
{

constexpr double Pi = 3.14159265358979323846;

Sy_LinType Line(double x1, double y1, double x2, double y2)
{
    Sy_LinType line;
    line.begC = {x1, y1};
    line.endC = {x2, y2};
    return line;
}

HatchObject Triangle()
{
    HatchObject hatch;
    hatch.SetPolygonGeometry({{}, {0, 0}, {2, 0}, {0, 2}, {0, 0}}, {}, {1, 4});
    return hatch;
}

TEST(VectorImage, TheIteratorVisitsKindsInOrderThenRecordsAsAdded)
{
    VectorImage image;
    Sy_RichTextType text;
    image.AddRichText(text);
    image.AddHatchRec(Sy_HatchType {}, Triangle());
    image.AddLine(Line(0, 0, 1, 0));
    image.AddArc(Sy_ArcType {});
    image.AddLine(Line(5, 0, 6, 0));
    image.AddPolyLine(Sy_PolyLinType {});
    image.AddText(Sy_TextType {});
    std::vector<int> kinds;
    std::vector<double> lineStarts;
    for (ConstVectorImageIterator it(image); !it.IsEOI(); ++it)
    {
        kinds.push_back(it.GetItemType());
        if (it.GetItemType() == SyLine) lineStarts.push_back(it.GetLine().begC.x);
    }
    EXPECT_EQ(kinds, (std::vector<int> {3, 3, 4, 5, 6, 11, 12}));
    EXPECT_EQ(lineStarts, (std::vector<double> {0, 5}));
    EXPECT_EQ(CompareVectorImageItems({SyLine, 0, 9}, {SyArc, 0, 1}), -1);
    EXPECT_EQ(CompareVectorImageItems({SyLine, 0, 9}, {SyLine, 0, 1}), 1);
    EXPECT_EQ(CompareVectorImageItems({SyLine, 0, 9}, {SyLine, 5, 9}), 0);
}

TEST(VectorImage, EqualImagesHoldEqualRecordsInTheIteratorsOrder)
{
    VectorImage a, b, c;
    a.AddLine(Line(0, 0, 1, 0));
    a.AddHatchRec(Sy_HatchType {}, Triangle());
    b.AddHatchRec(Sy_HatchType {}, Triangle());
    b.AddLine(Line(0, 0, 1, 0));
    EXPECT_TRUE(a == b);
    c = b;
    c.AddLine(Line(0, 0, 1, 1));
    EXPECT_FALSE(a == c);
    VectorImage swapped;
    swapped.AddLine(Line(0, 0, 1, 1));
    swapped.AddLine(Line(0, 0, 1, 0));
    VectorImage straight;
    straight.AddLine(Line(0, 0, 1, 0));
    straight.AddLine(Line(0, 0, 1, 1));
    EXPECT_FALSE(swapped == straight);
    HatchObject other = Triangle();
    other.SetFillIdx(4);
    VectorImage otherFill;
    otherFill.AddHatchRec(Sy_HatchType {}, other);
    VectorImage plain;
    plain.AddHatchRec(Sy_HatchType {}, Triangle());
    EXPECT_FALSE(otherFill == plain);
}

TEST(VectorImage, BoundsTakeArcsAndBentEdges)
{
    VectorImage image;
    Geometry::Box2DData box;
    EXPECT_FALSE(image.GetBounds(&box));
    HatchObject bent;
    // The edge from (2, 0) to (0, 2) bulges out by a half circle.
    bent.SetPolygonGeometry({{}, {0, 0}, {2, 0}, {0, 2}, {0, 0}}, {{2, 3, Pi}}, {1, 4});
    image.AddHatchRec(Sy_HatchType {}, bent);
    ASSERT_TRUE(image.GetBounds(&box));
    EXPECT_NEAR(box.xMax, 1 + std::sqrt(2.0), 1e-9);
    EXPECT_NEAR(box.yMax, 1 + std::sqrt(2.0), 1e-9);
    EXPECT_NEAR(box.xMin, 0, 1e-12);
    Sy_ArcType arc;
    arc.origC = {-5, 0};
    arc.r = 1;
    image.AddWholeGenArc(arc);
    ASSERT_TRUE(image.GetBounds(&box));
    EXPECT_NEAR(box.xMin, -6, 1e-12);
    EXPECT_NEAR(box.yMin, -1, 1e-12);
}

TEST(VectorImage, AWholeArcRunsFromZeroToAFullTurn)
{
    VectorImage image;
    Sy_ArcType arc;
    arc.r = 0.5;
    arc.begAng = 1;
    arc.endAng = 1;
    image.AddWholeGenArc(arc);
    ConstVectorImageIterator it(image);
    EXPECT_EQ(it.GetArc().begAng, 0.0);
    EXPECT_EQ(it.GetArc().endAng, 2 * Pi);
    EXPECT_EQ(it.GetArc().r, 0.5);
}

TEST(VectorImage, DeletingAKindKeepsTheOthers)
{
    VectorImage image;
    image.AddLine(Line(0, 0, 1, 0));
    image.AddHatchRec(Sy_HatchType {}, Triangle());
    image.AddLine(Line(0, 0, 1, 1));
    image.DeleteItemsOfType(SyLine);
    ASSERT_EQ(image.GetItemCount(), 1u);
    EXPECT_EQ(ConstVectorImageIterator(image).GetItemType(), SyHatch);
}

TEST(VectorImage, AHatchRefusesEndsAndArcsOutsideItsCoordinates)
{
    HatchObject hatch = Triangle();
    EXPECT_EQ(hatch.SetPolygonGeometry({{}, {0, 0}, {1, 0}}, {}, {1, 5}), APIERR_BADPARS);
    EXPECT_EQ(hatch.SetPolygonGeometry({{}, {0, 0}, {1, 0}, {1, 1}}, {}, {1, 3, 2}), APIERR_BADPARS);
    EXPECT_EQ(hatch.SetPolygonGeometry({{}, {0, 0}, {1, 0}, {1, 1}}, {{2, 9, 0.5}}, {1, 3}), APIERR_BADPARS);
    EXPECT_EQ(hatch.GetCoords().size(), 5u);
}

}  // namespace
