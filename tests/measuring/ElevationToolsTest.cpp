#include <cctype>
#include <cstring>
#include <functional>

#include "API/Database.hpp"
#include "API/Elements.hpp"
#include "DispatcherFixture.hpp"

namespace
{

struct ElevationCase
{
    const char* label;
    API_ElemTypeID tool;
    std::int16_t mode;  // 3 top, 4 bottom
    double measuredZ;
    std::function<void(API_Element&, API_ElementMemo&)> before;
    std::function<void(const API_Element&, const API_ElementMemo&)> expect;
};

void SetParameter(API_ElementMemo& memo, const char* name, double value)
{
    API_AddParType parameter;
    std::strncpy(parameter.name, name, sizeof parameter.name - 1);
    parameter.typeID = APIParT_Length;
    parameter.value = value;
    memo.params.push_back(parameter);
}

void StandOn(API_Element& e, double bottom, double height)
{
    e.wall.bottomOffset = bottom;
    e.wall.height = height;
}

void Open(API_Element& e, double sill, double height)
{
    e.window.sillHeight = sill;
    e.window.height = height;
}

void Room(API_Element& e, double base, double floor, double height)
{
    e.zone.baseLevel = base;
    e.zone.floorThickness = floor;
    e.zone.height = height;
}

void HangFrom(double& level, double& depth, double levelValue, double depthValue)
{
    level = levelValue;
    depth = depthValue;
}

const ElevationCase elevationCases[] = {
    {"wall top lowers the height", API_WallID, 3, 2.5, [](auto& e, auto&) { StandOn(e, 0.5, 3.0); },
     [](const auto& e, const auto&) {
         EXPECT_DOUBLE_EQ(e.wall.height, 2.0);
         EXPECT_DOUBLE_EQ(e.wall.bottomOffset, 0.5);
     }},
    {"wall top below its bottom moves it down", API_WallID, 3, 0.2, [](auto& e, auto&) { StandOn(e, 0.5, 3.0); },
     [](const auto& e, const auto&) {
         EXPECT_DOUBLE_EQ(e.wall.height, 3.0);
         EXPECT_DOUBLE_EQ(e.wall.bottomOffset, -2.8);
     }},
    {"wall bottom keeps the top", API_WallID, 4, 1.0, [](auto& e, auto&) { StandOn(e, 0.5, 3.0); },
     [](const auto& e, const auto&) {
         EXPECT_DOUBLE_EQ(e.wall.height, 2.5);
         EXPECT_DOUBLE_EQ(e.wall.bottomOffset, 1.0);
     }},
    {"wall bottom above its top keeps the height", API_WallID, 4, 4.0, [](auto& e, auto&) { StandOn(e, 0.5, 3.0); },
     [](const auto& e, const auto&) {
         EXPECT_DOUBLE_EQ(e.wall.height, 3.0);
         EXPECT_DOUBLE_EQ(e.wall.bottomOffset, 4.0);
     }},
    {"column top counts from its storey", API_ColumnID, 3, 5.5,
     [](auto& e, auto&) {
         e.column.head.floorInd = 1;
         e.column.bottomOffset = 0.0;
         e.column.height = 2.8;
     },
     [](const auto& e, const auto&) { EXPECT_DOUBLE_EQ(e.column.height, 2.5); }},
    {"beam top", API_BeamID, 3, 2.8, [](auto& e, auto&) { HangFrom(e.beam.level, e.beam.height, 3.0, 0.5); },
     [](const auto& e, const auto&) {
         EXPECT_NEAR(e.beam.height, 0.3, 1e-12);
         EXPECT_DOUBLE_EQ(e.beam.level, 2.8);
     }},
    {"beam top far below moves it", API_BeamID, 3, 2.0, [](auto& e, auto&) { HangFrom(e.beam.level, e.beam.height, 3.0, 0.5); },
     [](const auto& e, const auto&) {
         EXPECT_DOUBLE_EQ(e.beam.height, 0.5);
         EXPECT_DOUBLE_EQ(e.beam.level, 2.0);
     }},
    {"beam bottom", API_BeamID, 4, 2.6, [](auto& e, auto&) { HangFrom(e.beam.level, e.beam.height, 3.0, 0.5); },
     [](const auto& e, const auto&) {
         EXPECT_NEAR(e.beam.height, 0.4, 1e-12);
         EXPECT_DOUBLE_EQ(e.beam.level, 3.0);
     }},
    {"beam bottom above its top lifts it", API_BeamID, 4, 3.5,
     [](auto& e, auto&) { HangFrom(e.beam.level, e.beam.height, 3.0, 0.5); },
     [](const auto& e, const auto&) {
         EXPECT_DOUBLE_EQ(e.beam.height, 0.5);
         EXPECT_DOUBLE_EQ(e.beam.level, 4.0);
     }},
    {"slab top", API_SlabID, 3, 0.2, [](auto& e, auto&) { HangFrom(e.slab.bottomOffset, e.slab.thickness, 0.3, 0.25); },
     [](const auto& e, const auto&) {
         EXPECT_NEAR(e.slab.thickness, 0.15, 1e-12);
         EXPECT_DOUBLE_EQ(e.slab.bottomOffset, 0.2);
     }},
    {"mesh bottom", API_MeshID, 4, 0.8, [](auto& e, auto&) { HangFrom(e.mesh.bottomOffset, e.mesh.skirtHeight, 1.0, 0.5); },
     [](const auto& e, const auto&) {
         EXPECT_NEAR(e.mesh.skirtHeight, 0.2, 1e-12);
         EXPECT_DOUBLE_EQ(e.mesh.bottomOffset, 1.0);
     }},
    {"roof bottom", API_RoofID, 4, 2.0, [](auto& e, auto&) { e.roof.bottomOffset = 5.0; },
     [](const auto& e, const auto&) { EXPECT_DOUBLE_EQ(e.roof.bottomOffset, 2.0); }},
    {"roof top changes nothing", API_RoofID, 3, 2.0, [](auto& e, auto&) { e.roof.bottomOffset = 5.0; },
     [](const auto& e, const auto&) { EXPECT_DOUBLE_EQ(e.roof.bottomOffset, 5.0); }},
    {"object top sets its size", API_ObjectID, 3, 2.0,
     [](auto& e, auto& memo) {
         e.object.elevation = 0.5;
         SetParameter(memo, "ZZYZX", 1.0);
     },
     [](const auto& e, const auto& memo) {
         EXPECT_DOUBLE_EQ(e.object.elevation, 0.5);
         EXPECT_DOUBLE_EQ(memo.params.at(0).value, 1.5);
     }},
    {"lamp top below its level moves it", API_LampID, 3, 0.2,
     [](auto& e, auto& memo) {
         e.object.elevation = 0.5;
         SetParameter(memo, "zzyzx", 1.0);
     },
     [](const auto& e, const auto& memo) {
         EXPECT_DOUBLE_EQ(e.object.elevation, -0.8);
         EXPECT_DOUBLE_EQ(memo.params.at(0).value, 1.0);
     }},
    {"object bottom keeps the top", API_ObjectID, 4, 0.7,
     [](auto& e, auto& memo) {
         e.object.elevation = 0.5;
         SetParameter(memo, "zzyzx", 1.0);
     },
     [](const auto& e, const auto& memo) {
         EXPECT_DOUBLE_EQ(e.object.elevation, 0.7);
         EXPECT_NEAR(memo.params.at(0).value, 0.8, 1e-12);
     }},
    {"object without a size parameter keeps its top", API_ObjectID, 3, 2.0,
     [](auto& e, auto& memo) {
         e.object.elevation = 0.5;
         SetParameter(memo, "A", 1.0);
     },
     [](const auto& e, const auto& memo) {
         EXPECT_DOUBLE_EQ(e.object.elevation, 0.5);
         EXPECT_DOUBLE_EQ(memo.params.at(0).value, 1.0);
     }},
    {"window top counts from its storey and sets b", API_WindowID, 3, 5.2,
     [](auto& e, auto& memo) {
         e.window.head.floorInd = 1;
         Open(e, 0.9, 1.5);
         SetParameter(memo, "A", 1.0);
         SetParameter(memo, "B", 1.5);
     },
     [](const auto& e, const auto& memo) {
         EXPECT_NEAR(e.window.height, 1.3, 1e-12);
         EXPECT_DOUBLE_EQ(e.window.sillHeight, 0.9);
         EXPECT_DOUBLE_EQ(memo.params.at(0).value, 1.0);
         EXPECT_NEAR(memo.params.at(1).value, 1.3, 1e-12);
     }},
    {"window top at its sill moves it down", API_WindowID, 3, 0.9,
     [](auto& e, auto& memo) {
         Open(e, 0.9, 1.5);
         SetParameter(memo, "b", 1.5);
     },
     [](const auto& e, const auto& memo) {
         EXPECT_DOUBLE_EQ(e.window.height, 1.5);
         EXPECT_NEAR(e.window.sillHeight, -0.6, 1e-12);
         EXPECT_DOUBLE_EQ(memo.params.at(0).value, 1.5);
     }},
    {"door top without b sets only its height", API_DoorID, 3, 2.0,
     [](auto& e, auto& memo) {
         Open(e, 0.0, 2.1);
         SetParameter(memo, "A", 0.9);
     },
     [](const auto& e, const auto& memo) {
         EXPECT_DOUBLE_EQ(e.window.height, 2.0);
         EXPECT_DOUBLE_EQ(e.window.sillHeight, 0.0);
         EXPECT_DOUBLE_EQ(memo.params.at(0).value, 0.9);
     }},
    {"window bottom keeps the top and b follows", API_WindowID, 4, 1.0,
     [](auto& e, auto& memo) {
         Open(e, 0.9, 1.5);
         SetParameter(memo, "B", 1.5);
     },
     [](const auto& e, const auto& memo) {
         EXPECT_NEAR(e.window.height, 1.4, 1e-12);
         EXPECT_DOUBLE_EQ(e.window.sillHeight, 1.0);
         EXPECT_NEAR(memo.params.at(0).value, 1.4, 1e-12);
     }},
    {"door bottom at its top keeps the height", API_DoorID, 4, 2.1,
     [](auto& e, auto& memo) {
         Open(e, 0.0, 2.1);
         SetParameter(memo, "B", 2.1);
     },
     [](const auto& e, const auto& memo) {
         EXPECT_DOUBLE_EQ(e.window.height, 2.1);
         EXPECT_DOUBLE_EQ(e.window.sillHeight, 2.1);
         EXPECT_DOUBLE_EQ(memo.params.at(0).value, 2.1);
     }},
    {"zone top above its floor", API_ZoneID, 3, 2.8, [](auto& e, auto&) { Room(e, 0.2, 0.1, 3.0); },
     [](const auto& e, const auto&) {
         EXPECT_NEAR(e.zone.height, 2.5, 1e-12);
         EXPECT_DOUBLE_EQ(e.zone.baseLevel, 0.2);
         EXPECT_DOUBLE_EQ(e.zone.floorThickness, 0.1);
     }},
    {"zone top at its floor keeps a positive height", API_ZoneID, 3, 0.3, [](auto& e, auto&) { Room(e, 0.2, 0.1, 3.0); },
     [](const auto& e, const auto&) {
         EXPECT_DOUBLE_EQ(e.zone.height, 3.0);
         EXPECT_DOUBLE_EQ(e.zone.baseLevel, 0.2);
     }},
    {"zone bottom keeps the top", API_ZoneID, 4, 3.5,
     [](auto& e, auto&) {
         e.zone.head.floorInd = 1;
         Room(e, 0.2, 0.1, 3.0);
     },
     [](const auto& e, const auto&) {
         EXPECT_NEAR(e.zone.height, 2.7, 1e-12);
         EXPECT_DOUBLE_EQ(e.zone.baseLevel, 0.5);
         EXPECT_DOUBLE_EQ(e.zone.floorThickness, 0.1);
     }},
    {"zone bottom above its top keeps a positive height", API_ZoneID, 4, 3.5, [](auto& e, auto&) { Room(e, 0.2, 0.1, 3.0); },
     [](const auto& e, const auto&) {
         EXPECT_DOUBLE_EQ(e.zone.height, 3.0);
         EXPECT_DOUBLE_EQ(e.zone.baseLevel, 3.5);
     }},
    {"shell top sets its level", API_ShellID, 3, 4.2,
     [](auto& e, auto&) {
         e.shell.head.floorInd = 1;
         e.shell.level = 1.0;
     },
     [](const auto& e, const auto&) { EXPECT_NEAR(e.shell.level, 1.2, 1e-12); }},
    {"shell bottom changes nothing", API_ShellID, 4, 2.0, [](auto& e, auto&) { e.shell.level = 1.0; },
     [](const auto& e, const auto&) { EXPECT_DOUBLE_EQ(e.shell.level, 1.0); }},
    {"hotspot keeps its defaults", API_HotspotID, 3, 2.0, [](auto& e, auto&) { e.hotspot.height = 0.4; },
     [](const auto& e, const auto&) { EXPECT_DOUBLE_EQ(e.hotspot.height, 0.4); }},
};

class ElevationTools : public DispatcherFixture, public ::testing::WithParamInterface<ElevationCase>
{};

}  // namespace

TEST_P(ElevationTools, WriteIntoTheToolDefaults)
{
    const ElevationCase& c = GetParam();
    auto& model = host_->host().model_;
    model.content.storeyLevels[1] = 3.0;
    API_DatabaseInfo section {};
    section.typeID = APIWind_SectionID;
    model.currentDatabase = section;
    auto& defaults = model.DefaultsFor(c.tool, 0);
    c.before(defaults.record, defaults.memo);

    StartMode(c.mode, c.tool);
    Shoot({1.0, 1.0, c.measuredZ});

    c.expect(model.DefaultsFor(c.tool, 0).record, model.DefaultsFor(c.tool, 0).memo);
    EXPECT_EQ(model.currentDatabase.typeID, APIWind_SectionID) << "the section comes back";
    EXPECT_EQ(Main().measuringMode, 0);
    EXPECT_EQ(Main().pointStep, 0);
}

INSTANTIATE_TEST_SUITE_P(Dispatcher, ElevationTools, ::testing::ValuesIn(elevationCases), CaseLabelName());
