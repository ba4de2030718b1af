#include <cmath>

#include "CreationFixture.hpp"

class CircleAndArcTest : public CreationFixture
{
protected:
    void Choose(std::int16_t item)
    {
        SetItem(14, item == 14 ? 1.0 : 0.0);
        SetItem(15, item == 15 ? 1.0 : 0.0);
    }
};

TEST_F(CircleAndArcTest, CircleThroughThreePoints)
{
    Choose(14);
    SetPoints({{6, 5, 1}, {5, 6, 1}, {4, 5, 1}});
    Main().CreateCircleOrArc();
    const API_ArcType circle = OnlyElement(API_CircleID).arc;
    EXPECT_NEAR(circle.centre.x, 5.0, 1e-12);
    EXPECT_NEAR(circle.centre.y, 5.0, 1e-12);
    EXPECT_NEAR(circle.radius, 1.0, 1e-12);
    EXPECT_EQ(circle.axisRatio, 1.0);
    EXPECT_TRUE(Main().elementCreated);
    EXPECT_EQ(Main().pointStep, 0);
    EXPECT_EQ(Model().undoSteps.size(), 1u);
}

TEST_F(CircleAndArcTest, ArcRunsCounterClockwise)
{
    struct Case
    {
        const char* name;
        API_Coord3D p0, p1, p2;
        double begin, end;
    };
    const Case cases[] = {
        {"counter-clockwise", {1, 0, 0}, {0, 1, 0}, {-1, 0, 0}, 0, Pi},
        {"clockwise is stored from P2 to P0", {-1, 0, 0}, {0, 1, 0}, {1, 0, 0}, 0, Pi},
        {"across direction 0", {0, -1, 0}, {1, 0, 0}, {0, 1, 0}, 1.5 * Pi, 2.5 * Pi},
        {"clockwise across direction 0", {0, 1, 0}, {1, 0, 0}, {0, -1, 0}, 1.5 * Pi, 2.5 * Pi},
    };
    Choose(15);
    for (const Case& c : cases)
    {
        Model().content.elements.clear();
        SetPoints({c.p0, c.p1, c.p2});
        Main().CreateCircleOrArc();
        const API_ArcType arc = OnlyElement(API_ArcID).arc;
        EXPECT_NEAR(arc.begAngle, c.begin, 1e-12) << c.name;
        EXPECT_NEAR(arc.endAngle, c.end, 1e-12) << c.name;
        EXPECT_NEAR(arc.radius, 1.0, 1e-12) << c.name;
    }
}

TEST_F(CircleAndArcTest, NothingIsMadeWithoutAChoiceOrAFit)
{
    Choose(0);
    SetPoints({{1, 0, 0}, {0, 1, 0}, {-1, 0, 0}});
    Main().CreateCircleOrArc();
    Choose(15);
    SetPoints({{0, 0, 0}, {1, 1, 0}, {2, 2, 0}});
    Main().CreateCircleOrArc();
    EXPECT_TRUE(Model().content.elements.empty());
    EXPECT_TRUE(Model().undoSteps.empty());
    EXPECT_FALSE(Main().circleFitOk);
    EXPECT_FALSE(Main().elementCreated);
    EXPECT_EQ(Main().pointStep, 0);

    for (const std::int16_t item : {14, 15})
    {
        Choose(item);
        SetPoints({{-1.7e308, 0, 0}, {0, 1.7e308, 0}, {1.7e308, 0, 0}});
        Main().CreateCircleOrArc();
        EXPECT_TRUE(Model().content.elements.empty()) << "points too far apart for numbers, option " << item;
        EXPECT_TRUE(Model().undoSteps.empty()) << item;
        EXPECT_FALSE(Main().elementCreated) << item;
        EXPECT_EQ(Main().pointStep, 0) << item;
    }
}

TEST_F(CircleAndArcTest, AnArcAsksForTheCircleToolsLayer)
{
    Model().content.layers[2] = {"Kreise", APILay_Hidden};
    ToolDefaults(API_CircleID).header.layer = 2;
    AnswerDialogs([](DG::Dialog&) { return short(DG::Cancel); });
    Choose(15);
    SetPoints({{1, 0, 0}, {0, 1, 0}, {-1, 0, 0}});
    Main().CreateCircleOrArc();
    EXPECT_EQ(dialogsShown, 1);
    EXPECT_TRUE(Model().content.elements.empty());
    EXPECT_EQ(Main().pointStep, 0);
}
