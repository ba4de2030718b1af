#include <cstring>
#include <functional>
#include <vector>

#include "CreationFixture.hpp"

// Sizes and angles measured into the tool defaults, each change marking only its
// own fields; every tool ends its mode and resets its palette item.

namespace
{

API_AddParType Parameter(const char* name, double value)
{
    API_AddParType p;
    std::strncpy(p.name, name, sizeof p.name - 1);
    p.value = value;
    return p;
}

}  // namespace

class SizeToolTest : public CreationFixture
{
protected:
    void Measure(std::int16_t item, std::initializer_list<API_Coord3D> points, const std::function<void()>& tool)
    {
        SetItem(item, 1.0);
        Main().measuringMode = item;
        SetPoints(points);
        tool();
        EXPECT_EQ(Main().MainPaletteItemValue(item), 0.0);
        EXPECT_EQ(Main().measuringMode, 0);
        EXPECT_EQ(Main().pointStep, 0);
    }
};

TEST_F(SizeToolTest, ToolDefaultsTakeOnlyTheirField)
{
    const API_Element beamBefore = ToolDefaults(API_BeamID);
    Measure(72, {{0, 0, 0}, {4, 0, 0}, {1, 0, 0.35}}, [this] { Main().MeasureBeamHeight(); });
    EXPECT_NEAR(ToolDefaults(API_BeamID).beam.height, 0.35, 1e-12);
    EXPECT_EQ(ToolDefaults(API_BeamID).beam.width, beamBefore.beam.width);

    Measure(71, {{0, 0, 0}, {0.3, 0.4, 2}}, [this] { Main().MeasureBeamWidth(); });
    EXPECT_NEAR(ToolDefaults(API_BeamID).beam.width, 0.5, 1e-12);

    const API_Element columnBefore = ToolDefaults(API_ColumnID);
    Measure(44, {{0, 0, 0}, {0.3, 0.4, 0}}, [this] { Main().MeasureColumnOrObjectWidth(API_ColumnID); });
    EXPECT_NEAR(ToolDefaults(API_ColumnID).column.width, 0.5, 1e-12);
    EXPECT_EQ(ToolDefaults(API_ColumnID).column.depth, columnBefore.column.depth);

    Measure(45, {{0, 0, 0}, {0, 0.2, 0}}, [this] { Main().MeasureColumnOrObjectDepth(API_ColumnID); });
    EXPECT_NEAR(ToolDefaults(API_ColumnID).column.depth, 0.2, 1e-12);
    EXPECT_NEAR(ToolDefaults(API_ColumnID).column.width, 0.5, 1e-12);

    Measure(46, {{0, 0, 0}, {0, -1, 0}}, [this] { Main().MeasureRotationAngle(API_ColumnID); });
    EXPECT_NEAR(ToolDefaults(API_ColumnID).column.axisRotationAngle, 3 * Pi / 2, 1e-12);
    Measure(46, {{0, 0, 0}, {0, -1, 0}}, [this] { Main().MeasureRotationAngle(API_LampID); });
    EXPECT_NEAR(ToolDefaults(API_LampID).object.angle, 3 * Pi / 2, 1e-12);
}

// Coinciding line points give no height; defaults without "a" or "b" stay.
TEST_F(SizeToolTest, WhatCannotBeMeasuredChangesNothing)
{
    ToolDefaults(API_BeamID).beam.height = 0.7;
    Measure(72, {{1, 1, 1}, {1, 1, 1.000001}, {2, 2, 2}}, [this] { Main().MeasureBeamHeight(); });
    EXPECT_EQ(ToolDefaults(API_BeamID).beam.height, 0.7);

    Model().DefaultsFor(API_ObjectID, 0).memo.params = {Parameter("b", 1.0)};
    Measure(44, {{0, 0, 0}, {0.3, 0.4, 0}}, [this] { Main().MeasureColumnOrObjectWidth(API_ObjectID); });
    EXPECT_EQ(Model().DefaultsFor(API_ObjectID, 0).memo.params.size(), 1u);
    EXPECT_EQ(Model().DefaultsFor(API_ObjectID, 0).memo.params[0].value, 1.0);
    Measure(45, {{0, 0, 0}, {0.3, 0.4, 0}}, [this] { Main().MeasureColumnOrObjectDepth(API_ObjectID); });
    EXPECT_NEAR(Model().DefaultsFor(API_ObjectID, 0).memo.params[0].value, 0.5, 1e-12);
}
