#include <cctype>
#include <cmath>

#include "DispatcherFixture.hpp"
#include "ReplacedServices.hpp"
#include "measuring/MeasuringState.hpp"

namespace
{

struct ValueCase
{
    const char* label;
    std::int16_t mode;
    std::vector<std::pair<std::int16_t, double>> before;
    std::vector<API_Coord3D> points;
    std::vector<std::pair<std::int16_t, double>> expected;
};

constexpr double Unchanged = 7.0;

// Single-shot measurements and the palette fields they fill.
const ValueCase valueCases[] = {
    {"distance", 5, {}, {{0, 0, 0}, {3, 4, 12}}, {{11, 5.0}, {8, 13.0}}},
    {"distance straight up", 5, {}, {{2, 2, 1.5}, {2, 2, 4.0}}, {{11, 0.0}, {8, 2.5}}},
    {"angle rising at 45 degrees", 6, {}, {{1, 1, 0}, {2, 1, 1}}, {{9, 45.0}}},
    {"angle falling backwards", 6, {}, {{0, 0, 0}, {-1, 0, 0}}, {{9, 180.0}}},
    {"angle of one place gives no value", 6, {{9, Unchanged}}, {{1, 1, 1}, {1, 1, 1}}, {{9, Unchanged}}},
    {"absolute z keeps the difference", 7, {{10, 1.5}}, {{0, 0, 4.0}}, {{10, 4.0}, {51, 2.5}}},
    {"free-area height", 41, {}, {{5, 5, 2.25}}, {{42, 2.25}}},
    {"window sill", 56, {}, {{0, 0, 1.0}, {0.3, 0.4, 0.97}}, {{58, 0.03}, {57, 0.5}}},
    {"radiator niche", 53, {}, {{0, 0, 0.2}, {0, 0.25, 0.9}}, {{54, 0.25}, {55, 0.2}}},
};

class MeasuredValues : public DispatcherFixture, public ::testing::WithParamInterface<ValueCase>
{};

// The host refusing the window tool's defaults, serving every other tool's.
HostServiceSignature::HostGetElementDefaults hostDefaults = nullptr;
GSErrCode WindowDefaultsRefused(HostToken token, API_Element* element, API_ElementMemo* memo)
{
    return element->header.typeID == API_WindowID ? APIERR_GENERAL : hostDefaults(token, element, memo);
}

}  // namespace

TEST_P(MeasuredValues, GoIntoTheirPaletteFields)
{
    const ValueCase& c = GetParam();
    StartMode(c.mode);
    for (const auto& [item, value] : c.before) SetItem(item, value);
    for (const auto& point : c.points) Shoot(point);
    for (const auto& [item, value] : c.expected)
    {
        EXPECT_FALSE(std::isnan(Item(item))) << "item " << item;
        EXPECT_NEAR(Item(item), value, 1e-9) << "item " << item;
    }
    EXPECT_EQ(Main().measuringMode, 0) << "single shots end themselves";
    EXPECT_EQ(Item(c.mode), 0.0);
}

INSTANTIATE_TEST_SUITE_P(Dispatcher, MeasuredValues, ::testing::ValuesIn(valueCases), CaseLabelName());

using MeasuredValueFixture = DispatcherFixture;

TEST_F(MeasuredValueFixture, AngleCountsFromTheStationsDirection)
{
    measuringState.stationAngle = M_PI / 2.0;
    StartMode(6);
    Shoot({0, 0, 0});
    Shoot({0, 2, 0});
    EXPECT_NEAR(Item(9), 0.0, 1e-9);
}

TEST_F(MeasuredValueFixture, ADegenerateAngleEndsTheActionWithoutCompleting)
{
    StartMode(6);
    Shoot({1, 1, 1});
    Shoot({1, 1, 1});
    EXPECT_EQ(SoundLetters(), "11");
    EXPECT_EQ(Main().pointStep, 1);
}

TEST_F(MeasuredValueFixture, ReferenceHeightSetsTheStationHeight)
{
    SetItem(32, 10.0);
    measuringState.rawMeasuredZ = 1.5;
    StartMode(40);
    Shoot({3, 4, 99});
    EXPECT_DOUBLE_EQ(measuringState.referenceHeight, 10.0);
    EXPECT_DOUBLE_EQ(measuringState.stationZ, 8.5);
    EXPECT_EQ(measuringState.referenceHeightPending, 0);
    EXPECT_EQ(Item(40), 0.0);
    EXPECT_EQ(Main().pointStep, 0);
    EXPECT_EQ(Main().measuringMode, 0);
}

// The niche's height counts from the window tool's storey; when the host does not
// tell that storey, the measurement ends without writing a height from a guessed
// one, and its depth stays with it.
TEST_F(MeasuredValueFixture, ARadiatorNicheWithoutTheWindowToolsStoreyWritesNothing)
{
    ReplacedServices replaced(host_->host());
    hostDefaults = REPLACE_HOST_SERVICE(replaced, HostGetElementDefaults, WindowDefaultsRefused);
    StartMode(53);
    SetItem(54, Unchanged);
    SetItem(55, Unchanged);
    Shoot({0, 0, 0.2});
    Shoot({0, 0.25, 0.9});
    EXPECT_EQ(Item(54), Unchanged);
    EXPECT_EQ(Item(55), Unchanged);
    EXPECT_EQ(Main().measuringMode, 0);
    EXPECT_EQ(Item(53), 0.0) << "the mode button goes off";
}
