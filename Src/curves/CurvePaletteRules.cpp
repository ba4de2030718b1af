#include "curves/CurvePaletteRules.hpp"

#include <initializer_list>

#include "API/Types.hpp"

namespace
{

enum Item : std::int16_t
{
    Create = 1,
    Cancel = 2,
    Dimension2D = 3,
    Dimension3D = 4,
    Open = 5,
    Closed = 6,
    FirstSeparator = 7,
    EndPointMethod = 8,
    TwoPointMethod = 9,
    SplineMethod = 10,
    PlaneMethod = 11,
    SecondSeparator = 12,
    FirstStep = 13,
    SecondStep = 14,
    ThirdStep = 15,
    FourthStep = 16,
    ThirdSeparator = 17,
    Prompt = 18,
    CeilingMethod = 19,
};

bool IsOneOf(std::int32_t value, std::initializer_list<std::int32_t> values)
{
    for (const std::int32_t v : values)
        if (v == value) return true;
    return false;
}

void Set(std::bitset<20>& items, std::initializer_list<std::int16_t> numbers, bool on = true)
{
    for (const std::int16_t item : numbers) items[static_cast<std::size_t>(item)] = on;
}

void ShowSteps(CurvePaletteView& view, std::initializer_list<std::pair<std::int16_t, std::int16_t>> stepsWithIcons)
{
    for (const auto& [item, icon] : stepsWithIcons)
    {
        Set(view.shown, {item});
        Set(view.enabled, {item});
        view.icons[static_cast<std::size_t>(item)] = icon;
    }
}

// The methods' step buttons; the tangential arc needs a vertex with a direction.
void ShowStepsOfMethod(CurvePaletteView& view, const CurvePaletteState& s)
{
    switch (s.curveMode)
    {
        case EndPointMethod:
            ShowSteps(view, {{FirstStep, 32628}, {SecondStep, 32629}, {ThirdStep, 32630}});
            view.enabled[SecondStep] = s.vertexCount > 1;
            break;
        case TwoPointMethod: ShowSteps(view, {{FirstStep, 32649}, {SecondStep, 32650}}); break;
        case SplineMethod: ShowSteps(view, {{FirstStep, 32648}}); break;
        case PlaneMethod: ShowSteps(view, {{FirstStep, 32637}, {SecondStep, 32638}, {ThirdStep, 32639}}); break;
        default: break;
    }
}

std::int16_t EndPointPrompt(const CurvePaletteState& s)
{
    if (s.curveDimension == Dimension2D && s.vertexCount == 0) return s.curveStep == FirstStep ? 21 : 14;
    switch (s.curveStep)
    {
        case FirstStep: return 10;
        case SecondStep: return 11;
        case ThirdStep: return s.arcPointCount == 1 ? 12 : 13;
        default: return 0;
    }
}

std::int16_t TwoPointPrompt(const CurvePaletteState& s)
{
    if (s.curveStep == FirstStep) return s.segmentPointCount == 0 ? 15 : 16;
    if (s.curveStep == SecondStep && s.segmentPointCount < 3) return static_cast<std::int16_t>(17 + s.segmentPointCount);
    return 0;
}

std::int16_t PlanePrompt(const CurvePaletteState& s)
{
    switch (s.curveStep)
    {
        case 0: return 0;  // no step: the dimension's prompt, which knows whether the plane is there
        case FirstStep: return 5;
        case SecondStep: return s.planePointCount < 3 ? static_cast<std::int16_t>(5 + s.planePointCount) : 0;
        case ThirdStep: return s.planePointCount < 2 ? static_cast<std::int16_t>(5 + s.planePointCount) : 0;
        default: return 0;
    }
}

// The method's own prompt; 0 where its state has none.
std::int16_t MethodPrompt(const CurvePaletteState& s)
{
    const bool in2D = s.curveDimension == Dimension2D;
    switch (s.curveMode)
    {
        case EndPointMethod: return in2D || s.curveDimension == Dimension3D ? EndPointPrompt(s) : 0;
        case TwoPointMethod: return in2D ? TwoPointPrompt(s) : 0;
        case SplineMethod: return in2D && s.curveStep == FirstStep ? 20 : 0;
        case PlaneMethod: return PlanePrompt(s);
        default: return 0;
    }
}

std::int16_t PromptIndex(const CurvePaletteState& s)
{
    if (const std::int16_t method = MethodPrompt(s); method != 0) return method;
    if (s.curveDimension == Dimension2D) return s.planeDefined ? 2 : 4;
    if (s.curveDimension == Dimension3D) return 3;
    return 1;
}

}  // namespace

CurvePaletteView DescribeCurvePalette(const CurvePaletteState& s)
{
    CurvePaletteView view;
    const bool planeUse =
        s.mainPaletteOpen && (s.tool == API_MorphID || (s.tool == API_WallID && s.mainSecondOption) ||
                              (s.tool == API_PolyLineID && s.mainFirstOption) || (s.tool == API_HatchID && s.mainSecondOption) ||
                              (s.tool == API_SlabID && s.mainSecondOption));
    const bool free3D = s.tool == API_MorphID && !s.sectionMode;
    const bool ceilingAllowed =
        IsOneOf(s.tool, {API_PolyLineID, API_HatchID, API_SlabID}) || (s.tool == API_MorphID && s.sectionMode);

    Set(view.shown,
        {Create, Cancel, Dimension2D, Dimension3D, Open, Closed, FirstSeparator, SecondSeparator, ThirdSeparator, Prompt});
    view.enabled[Dimension2D] = planeUse;
    view.enabled[Dimension3D] = free3D;
    Set(view.enabled, {Create, Cancel, Open, Closed, FirstSeparator, SecondSeparator, ThirdSeparator, Prompt},
        planeUse || free3D);

    if (s.curveDimension == Dimension3D && free3D)
    {
        Set(view.shown, {EndPointMethod});
        Set(view.enabled, {EndPointMethod, Open, Closed});
        if (s.curveMode == EndPointMethod) ShowStepsOfMethod(view, s);
    }
    else if (s.curveDimension == Dimension2D && planeUse)
    {
        Set(view.shown, {EndPointMethod, TwoPointMethod, SplineMethod, CeilingMethod});
        view.shown[PlaneMethod] = !IsOneOf(s.tool, {API_WallID, API_PolyLineID, API_HatchID, API_SlabID});
        Set(view.enabled, {Open, Closed, PlaneMethod});
        if (s.planeDefined)
        {
            Set(view.enabled, {EndPointMethod, TwoPointMethod});
            view.enabled[SplineMethod] = !s.sectionMode;
            view.enabled[CeilingMethod] = ceilingAllowed;
        }
        const bool methodEnabled = s.curveMode > 0 && s.curveMode < 20 && view.enabled[static_cast<std::size_t>(s.curveMode)];
        if (methodEnabled) ShowStepsOfMethod(view, s);
    }

    view.polygonClosure = s.polygonClosure;
    if (IsOneOf(s.tool, {API_SlabID, API_HatchID}) || s.sectionMode)
    {
        view.polygonClosure = Closed;
        view.enabled[Open] = false;
    }
    view.pressed[view.polygonClosure == Open ? Open : Closed] = true;
    if (IsOneOf(s.curveStep, {FirstStep, SecondStep, ThirdStep, FourthStep}))
        view.pressed[static_cast<std::size_t>(s.curveStep)] = true;
    if (IsOneOf(s.curveMode, {EndPointMethod, TwoPointMethod, SplineMethod, PlaneMethod, CeilingMethod}))
        view.pressed[static_cast<std::size_t>(s.curveMode)] = true;
    view.promptIndex = PromptIndex(s);
    return view;
}
