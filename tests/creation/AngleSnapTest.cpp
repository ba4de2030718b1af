#include <cmath>
#include <cstring>

#include "CreationFixture.hpp"

class AngleSnapTest : public CreationFixture
{
protected:
    void SetUp() override
    {
        CreationFixture::SetUp();
        SetItem(26, 1.0);
    }

    static API_Element Record(API_ElemTypeID type)
    {
        API_Element element;
        std::memset(static_cast<void*>(&element), 0, sizeof element);
        element.header.typeID = type;
        return element;
    }
};

TEST_F(AngleSnapTest, CorrectionOntoThirtyAndFortyFiveDegrees)
{
    struct Case
    {
        double tolerance, direction;
        bool snaps;
        double correction;
    };
    const Case cases[] = {
        {1.0, 29.5, true, 0.5},   {1.0, 44.5, true, 0.5},  {1.0, 37.0, false, 0.0},  {1.0, 0.5, true, -0.5},
        {1.0, 0.0, true, 0.0},    {1.0, 90.7, true, -0.7}, {1.0, 88.9, false, 0.0},  {1.0, 134.2, true, 0.8},
        {20.0, 45.0, true, 15.0}, {1.0, 359.5, true, 0.5}, {1.0, 315.9, true, -0.9},
    };
    for (const Case& c : cases)
    {
        Main().snapDirectionTolerance = c.tolerance;
        double correction = 99.0;
        EXPECT_EQ(Main().GetAngleSnapCorrection(c.direction * Degree, correction), c.snaps) << c.direction;
        if (c.snaps)
        {
            EXPECT_NEAR(correction, c.correction * Degree, 1e-12) << c.direction;
        }
    }
}

TEST_F(AngleSnapTest, EndPointOfWallsBeamsAndLinesTurnsAboutTheBeginPoint)
{
    const API_Coord begin {1.0, 1.0};
    const API_Coord end {1.0 + 10.0 * std::cos(29.5 * Degree), 1.0 + 10.0 * std::sin(29.5 * Degree)};
    for (const API_ElemTypeID type : {API_WallID, API_BeamID, API_LineID})
    {
        API_Element element = Record(type);
        API_Coord& begC = type == API_WallID ? element.wall.begC : type == API_BeamID ? element.beam.begC : element.line.begC;
        API_Coord& endC = type == API_WallID ? element.wall.endC : type == API_BeamID ? element.beam.endC : element.line.endC;
        begC = begin;
        endC = end;
        Main().ApplyAngleSnap(element);
        EXPECT_DOUBLE_EQ(begC.x, 1.0) << type;
        EXPECT_NEAR(endC.x, 1.0 + 10.0 * std::cos(Pi / 6), 1e-9) << type;
        EXPECT_NEAR(endC.y, 1.0 + 10.0 * std::sin(Pi / 6), 1e-9) << type;
    }
}

TEST_F(AngleSnapTest, ColumnsSnapTheirRotationOrTheirSlantDirection)
{
    API_Element column = Record(API_ColumnID);
    column.column.axisRotationAngle = 60.4 * Degree;
    column.column.slantDirectionAngle = 10.0 * Degree;
    Main().ApplyAngleSnap(column);
    EXPECT_NEAR(column.column.axisRotationAngle, Pi / 3, 1e-12);
    EXPECT_NEAR(column.column.slantDirectionAngle, 10.0 * Degree, 1e-12);

    column.column.slanted = true;
    column.column.axisRotationAngle = 60.4 * Degree;
    column.column.slantDirectionAngle = 89.6 * Degree;
    Main().ApplyAngleSnap(column);
    EXPECT_NEAR(column.column.axisRotationAngle, 60.4 * Degree, 1e-12);
    EXPECT_NEAR(column.column.slantDirectionAngle, Pi / 2, 1e-12);
}

TEST_F(AngleSnapTest, NothingChangesWithTheSnapOffOrForOtherElements)
{
    API_Element line = Record(API_LineID);
    line.line.endC = {std::cos(29.5 * Degree), std::sin(29.5 * Degree)};
    const API_Coord measured = line.line.endC;
    SetItem(26, 0.0);
    Main().ApplyAngleSnap(line);
    EXPECT_EQ(line.line.endC.y, measured.y);

    SetItem(26, 1.0);
    API_Element hotspot = Record(API_HotspotID);
    hotspot.hotspot.position = {3.0, 0.01};
    Main().ApplyAngleSnap(hotspot);
    EXPECT_EQ(hotspot.hotspot.position.y, 0.01);
}

TEST_F(AngleSnapTest, PointPairsSnapWithoutOverlapAndKeepTheirHeights)
{
    const double off = 0.5 * Degree;
    SetPoints({{0, 0, 1},
               {2 * std::cos(off), 2 * std::sin(off), 2},
               {2, 3, 3},
               {2 + std::cos(Pi / 4 + off), 3 + std::sin(Pi / 4 + off), 4},
               {7, 7, 5}});
    Main().SnapPointPairs();
    const TypVektor<API_Coord3D>& p = Main().actionPoints;
    EXPECT_NEAR(p[1].x, 2.0, 1e-12);
    EXPECT_NEAR(p[1].y, 0.0, 1e-12);
    EXPECT_EQ(p[1].z, 2.0);
    EXPECT_EQ(p[2].x, 2.0);
    EXPECT_EQ(p[2].y, 3.0);
    EXPECT_NEAR(p[3].x, 2 + std::cos(Pi / 4), 1e-12);
    EXPECT_NEAR(p[3].y, 3 + std::sin(Pi / 4), 1e-12);
    EXPECT_EQ(p[3].z, 4.0);
    EXPECT_EQ(p[4].x, 7.0);

    SetItem(26, 0.0);
    SetPoints({{0, 0, 0}, {2 * std::cos(off), 2 * std::sin(off), 0}});
    Main().SnapPointPairs();
    EXPECT_EQ(Main().actionPoints[1].y, 2 * std::sin(off));
}
