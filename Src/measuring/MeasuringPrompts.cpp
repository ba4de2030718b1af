#include "measuring/MeasuringPrompts.hpp"

#include <climits>
#include <vector>

#include "API/Types.hpp"
#include "measuring/MainPaletteItems.hpp"

namespace
{

using namespace MainPaletteItems;

constexpr std::int16_t ChooseFunctionPrompt = 4;
constexpr std::int16_t AnyStep = SHRT_MIN;
constexpr std::int32_t AnyTool = -1;
constexpr std::int32_t PhotoSubtype = FourCC("SVPH");

enum class Variation
{
    Any,
    Photo,
    OtherThanPhoto
};

// A further item state a rule needs besides its own item being on.
struct Condition
{
    enum Test
    {
        Off,
        Entry,
        NotEntry
    };
    std::int16_t item;
    Test test;
    std::int16_t entry = 0;
};

// While the rule's item is on: the prompts of the steps from firstStep on, and
// for any other step from otherFrom on the other prompt (0: none).
struct PromptRule
{
    std::int32_t tool;
    std::int16_t item;
    std::int16_t firstStep;
    std::vector<std::int16_t> prompts;
    std::int16_t otherFrom = AnyStep;
    std::int16_t other = 0;
    std::vector<Condition> when = {};
    Variation variation = Variation::Any;
};

PromptRule Steps(std::int32_t tool, std::int16_t item, std::vector<std::int16_t> prompts, std::int16_t otherwise = 0)
{
    return {tool, item, 1, std::move(prompts), AnyStep, otherwise};
}

PromptRule Always(std::int32_t tool, std::int16_t item, std::int16_t prompt) { return {tool, item, 1, {}, AnyStep, prompt}; }

PromptRule From(std::int32_t tool, std::int16_t item, std::int16_t step, std::int16_t prompt)
{
    return {tool, item, 1, {}, step, prompt};
}

PromptRule When(PromptRule rule, std::vector<Condition> conditions)
{
    rule.when = std::move(conditions);
    return rule;
}

PromptRule For(PromptRule rule, Variation variation)
{
    rule.variation = variation;
    return rule;
}

const Condition NoPolygonPalette[] = {{FirstOptionItem, Condition::Off}, {SecondOptionItem, Condition::Off}};

std::vector<Condition> MorphConditions(std::vector<Condition> more)
{
    std::vector<Condition> all(std::begin(NoPolygonPalette), std::end(NoPolygonPalette));
    all.insert(all.end(), more.begin(), more.end());
    return all;
}

// The first of these whose item is on decides.
const std::vector<PromptRule>& SingleMeasurements()
{
    static const std::vector<PromptRule> rules {
        Always(AnyTool, AbsoluteZModeItem, 33),   Steps(AnyTool, DistanceModeItem, {17, 18}),
        Steps(AnyTool, AngleModeItem, {19, 20}),  Always(AnyTool, TopElevationItem, 15),
        Always(AnyTool, BottomElevationItem, 25),
    };
    return rules;
}

// Each of these that applies overwrites the ones before it.
const std::vector<PromptRule>& GeneralModes()
{
    static const std::vector<PromptRule> rules {
        Steps(AnyTool, AlignInstrumentItem, {55, 56}),
        Always(AnyTool, ReferenceHeightModeItem, 67),
        Always(AnyTool, PickPointsItem, 115),
    };
    return rules;
}

const std::vector<PromptRule>& ToolRules()
{
    static const std::vector<PromptRule> rules {
        Steps(API_WallID, FirstOptionItem, {7, 8}),
        Steps(API_WallID, SecondOptionItem, {7}, 22),
        Steps(API_WallID, ThirdOptionItem, {7, 61, 8}),
        Steps(API_WallID, FourthOptionItem, {7, 61, 8}),
        Steps(API_WallID, FifthOptionItem, {7, 8, 60}),
        Steps(API_WallID, WallThicknessItem, {57}),
        Steps(API_WallID, TrapezoidWallItem, {57, 58}),
        From(API_WallID, PolygonWallItem, 1, 87),

        Steps(API_ColumnID, FirstOptionItem, {30, 31, 32}),
        Always(API_ColumnID, SecondOptionItem, 3),
        Steps(API_ColumnID, ThirdOptionItem, {30, 31, 43, 44, 45}),
        Steps(API_ColumnID, FourthOptionItem, {46, 47}),
        From(API_ColumnID, WidthModeItem, 1, 85),
        From(API_ColumnID, DepthModeItem, 1, 86),
        Steps(API_ColumnID, RotationModeItem, {151, 152}),

        Steps(API_BeamID, FirstOptionItem, {9, 10}),
        Steps(API_BeamID, ThirdOptionItem, {9, 10}),
        Steps(API_BeamID, SecondOptionItem, {48, 49, 50, 51}),
        Steps(API_BeamID, BeamWidthItem, {140, 141}),
        Steps(API_BeamID, BeamHeightItem, {142, 143, 144}),

        Steps(API_WindowID, FirstOptionItem, {26, 27}),
        Steps(API_WindowID, SecondOptionItem, {28, 29}),
        When(Always(API_WindowID, RevealItem, 59), {{RevealKindItem, Condition::Entry, 1}}),
        When(Steps(API_WindowID, RevealItem, {62, 63}), {{RevealKindItem, Condition::NotEntry, 1}}),
        Steps(API_WindowID, RadiatorNicheItem, {136, 137}),
        Steps(API_WindowID, WindowSillItem, {138, 139}),

        Steps(API_DoorID, FirstOptionItem, {39, 40, 81}),
        Steps(API_DoorID, SecondOptionItem, {41, 42, 81}),
        When(Always(API_DoorID, RevealItem, 59), {{RevealKindItem, Condition::Entry, 1}}),
        When(Steps(API_DoorID, RevealItem, {62, 63}), {{RevealKindItem, Condition::NotEntry, 1}}),

        // The first option wins over the second for objects: it comes last.
        For(Steps(API_ObjectID, FirstOptionItem, {116, 117}), Variation::Photo),
        For(Steps(API_ObjectID, SecondOptionItem, {77, 78}, 79), Variation::OtherThanPhoto),
        For(Always(API_ObjectID, FirstOptionItem, 80), Variation::OtherThanPhoto),

        Always(API_LampID, FirstOptionItem, 5),

        {API_SlabID, FirstOptionItem, 1, {11, 12, 12}, 4, 23},

        {API_RoofID, FirstOptionItem, 0, {82, 82, 82, 82}, 4, 83},
        From(API_RoofID, FreeAreaHeightModeItem, 1, 85),

        Steps(API_MeshID, FirstOptionItem, {64, 65, 65}, 66),
        Always(API_LevelDimensionID, FirstOptionItem, 54),
        Steps(API_HatchID, FirstOptionItem, {71, 72}, 73),
        Steps(API_LineID, FirstOptionItem, {1, 2}),
        Steps(API_ArcID, FirstOptionItem, {74, 75}, 76),
        Steps(API_ArcID, SecondOptionItem, {74, 75}, 76),
        Steps(API_SplineID, FirstOptionItem, {68, 69}, 70),
        Always(API_HotspotID, FirstOptionItem, 6),

        // For shells the first item that is on decides: listed last first.
        Steps(API_ShellID, FifthOptionItem, {95, 96, 97, 98, 99, 102, 103, 104, 105}),
        Steps(API_ShellID, FourthOptionItem, {100, 101}),
        Steps(API_ShellID, ThirdOptionItem, {95, 96, 97, 98, 99}),
        Steps(API_ShellID, SecondOptionItem, {106, 107, 108, 109, 106, 107, 108, 109}),
        Steps(API_ShellID, FirstOptionItem, {89, 90, 93, 94, 95, 96, 97}),

        When(Steps(API_MorphID, MorphFromMarkersItem, {128, 129}), MorphConditions({{MorphKindItem, Condition::Entry, 2}})),
        When(Steps(API_MorphID, MorphSidePlanesItem, {130, 131, 132, 133, 134, 135}),
             MorphConditions({{MorphFromMarkersItem, Condition::Off}})),
        When(PromptRule {API_MorphID, MorphSidePlanesItem, 7, {128, 129}},
             MorphConditions({{MorphFromMarkersItem, Condition::Off}, {MorphKindItem, Condition::Entry, 2}})),
    };
    return rules;
}

bool Holds(const Condition& condition, const PromptSituation& situation)
{
    switch (condition.test)
    {
        case Condition::Off: return !situation.isOn(condition.item);
        case Condition::Entry: return situation.entryOf(condition.item) == condition.entry;
        case Condition::NotEntry: return situation.entryOf(condition.item) != condition.entry;
    }
    return false;
}

bool Concerns(const PromptRule& rule, const PromptSituation& situation)
{
    if (rule.tool != AnyTool && rule.tool != situation.tool) return false;
    if (rule.variation == Variation::Photo && situation.variation != PhotoSubtype) return false;
    if (rule.variation == Variation::OtherThanPhoto && situation.variation == PhotoSubtype) return false;
    if (!situation.isOn(rule.item)) return false;
    for (const Condition& condition : rule.when)
        if (!Holds(condition, situation)) return false;
    return true;
}

// The rule's prompt at the step; 0 when the step has none.
std::int16_t PromptAt(const PromptRule& rule, std::int16_t step)
{
    const int index = step - rule.firstStep;
    if (index >= 0 && static_cast<std::size_t>(index) < rule.prompts.size()) return rule.prompts[static_cast<std::size_t>(index)];
    return step >= rule.otherFrom ? rule.other : 0;
}

}  // namespace

std::int16_t ChooseMeasuringPrompt(const PromptSituation& situation)
{
    std::int16_t prompt = ChooseFunctionPrompt;
    for (const PromptRule& rule : SingleMeasurements())
    {
        if (!Concerns(rule, situation)) continue;
        if (const std::int16_t found = PromptAt(rule, situation.step)) prompt = found;
        break;
    }
    for (const PromptRule& rule : GeneralModes())
        if (Concerns(rule, situation))
            if (const std::int16_t found = PromptAt(rule, situation.step)) prompt = found;
    if (situation.mode == 0) prompt = ChooseFunctionPrompt;
    for (const PromptRule& rule : ToolRules())
        if (Concerns(rule, situation))
            if (const std::int16_t found = PromptAt(rule, situation.step)) prompt = found;
    return prompt;
}
