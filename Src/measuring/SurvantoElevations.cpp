#include "API/AddOnInterface.hpp"
#include "API/Elements.hpp"
#include "frame/Survanto.hpp"
#include "framework/FloorPlanDatabaseScope.hpp"
#include "framework/HostApiHelpers.hpp"
#include "framework/ScopedElementMemo.hpp"
#include "framework/Tolerance.hpp"
#include "measuring/MeasuringState.hpp"

// A measured height becomes the top or the bottom of the current tool's defaults.

namespace
{

constexpr double Tolerance = GeometricTolerance;

// A GDL parameter of the tool's memo, when the library part has it.
double* MemoParameter(API_ElementMemo& memo, const char* name)
{
    const std::int32_t index = FindMemoParamIndex(name, memo);
    if (index < 0 || static_cast<std::size_t>(index) >= memo.params.size()) return nullptr;
    return &memo.params[static_cast<std::size_t>(index)].value;
}

// Walls and columns stand on their bottom offset.
template <typename Record>
void MeasureStandingTop(Record& record, Record& mask, double h)
{
    if (h - record.bottomOffset > Tolerance)
    {
        record.height = h - record.bottomOffset;
        MarkToChange(mask.height);
    }
    else
    {
        record.bottomOffset = h - record.height;
        MarkToChange(mask.bottomOffset);
    }
}

template <typename Record>
void MeasureStandingBottom(Record& record, Record& mask, double h)
{
    const double oldBottom = record.bottomOffset;
    record.bottomOffset = h;
    MarkToChange(mask.bottomOffset);
    if (oldBottom + record.height - h > Tolerance)
    {
        record.height = oldBottom + record.height - h;
        MarkToChange(mask.height);
    }
}

// Beams, slabs and meshes hang from their level, which is their top.
void MeasureHangingTop(double& level, double& depth, double& levelMask, double& depthMask, double h)
{
    if (depth - (level - h) > Tolerance)
    {
        depth -= level - h;
        MarkToChange(depthMask);
    }
    level = h;
    MarkToChange(levelMask);
}

void MeasureHangingBottom(double& level, double& depth, double& levelMask, double& depthMask, double h)
{
    if (level - h > Tolerance)
    {
        depth = level - h;
        MarkToChange(depthMask);
    }
    else
    {
        level = depth + h;
        MarkToChange(levelMask);
    }
}

bool MeasurePlacedTop(API_ObjectType& object, API_ObjectType& mask, API_ElementMemo& memo, double h)
{
    double* zzyzx = MemoParameter(memo, "zzyzx");
    if (h - object.elevation > Tolerance)
    {
        if (zzyzx == nullptr) return false;
        *zzyzx = h - object.elevation;
        return true;
    }
    if (zzyzx == nullptr) return false;
    object.elevation = h - *zzyzx;
    MarkToChange(mask.elevation);
    return true;
}

bool MeasurePlacedBottom(API_ObjectType& object, API_ObjectType& mask, API_ElementMemo& memo, double h)
{
    const double oldLevel = object.elevation;
    object.elevation = h;
    MarkToChange(mask.elevation);
    double* zzyzx = MemoParameter(memo, "zzyzx");
    if (zzyzx != nullptr && *zzyzx + oldLevel - h > Tolerance) *zzyzx = *zzyzx + oldLevel - h;
    return true;
}

// Windows and doors: the opening's height also goes into the library part's "b".
void SetOpeningHeight(API_WindowType& opening, API_WindowType& mask, API_ElementMemo& memo, double height)
{
    opening.height = height;
    MarkToChange(mask.height);
    if (double* b = MemoParameter(memo, "b")) *b = height;
}

void MeasureOpeningTop(API_WindowType& opening, API_WindowType& mask, API_ElementMemo& memo, double h)
{
    if (h - opening.sillHeight > Tolerance)
    {
        SetOpeningHeight(opening, mask, memo, h - opening.sillHeight);
        return;
    }
    opening.sillHeight = h - opening.height;
    MarkToChange(mask.sillHeight);
}

void MeasureOpeningBottom(API_WindowType& opening, API_WindowType& mask, API_ElementMemo& memo, double h)
{
    const double oldSill = opening.sillHeight;
    opening.sillHeight = h;
    MarkToChange(mask.sillHeight);
    if (opening.height + oldSill - h > Tolerance) SetOpeningHeight(opening, mask, memo, opening.height + oldSill - h);
}

// A zone's height never drops to zero or below: a top at or under its floor
// changes nothing, a bottom at or above its top keeps the height.
bool MeasureZoneTop(API_ZoneType& zone, API_ZoneType& mask, double h)
{
    const double height = h - zone.baseLevel - zone.floorThickness;
    if (height <= Tolerance) return false;
    zone.height = height;
    MarkToChange(mask.height);
    return true;
}

bool MeasureZoneBottom(API_ZoneType& zone, API_ZoneType& mask, double h)
{
    const double height = zone.height - (h - zone.baseLevel);
    zone.baseLevel = h;
    MarkToChange(mask.baseLevel);
    if (height > Tolerance)
    {
        zone.height = height;
        MarkToChange(mask.height);
    }
    return true;
}

// Changes the fields of the tool's defaults that a measured top or bottom moves;
// false for tools whose defaults stay as they are.
bool ApplyMeasuredElevation(bool top, API_Element& element, API_Element& mask, API_ElementMemo& memo, double h)
{
    switch (element.header.typeID)
    {
        case API_WallID:
            top ? MeasureStandingTop(element.wall, mask.wall, h) : MeasureStandingBottom(element.wall, mask.wall, h);
            return true;
        case API_ColumnID:
            top ? MeasureStandingTop(element.column, mask.column, h) : MeasureStandingBottom(element.column, mask.column, h);
            return true;
        case API_BeamID:
            (top ? MeasureHangingTop : MeasureHangingBottom)(element.beam.level, element.beam.height, mask.beam.level,
                                                             mask.beam.height, h);
            return true;
        case API_SlabID:
            (top ? MeasureHangingTop : MeasureHangingBottom)(element.slab.bottomOffset, element.slab.thickness,
                                                             mask.slab.bottomOffset, mask.slab.thickness, h);
            return true;
        case API_MeshID:
            (top ? MeasureHangingTop : MeasureHangingBottom)(element.mesh.bottomOffset, element.mesh.skirtHeight,
                                                             mask.mesh.bottomOffset, mask.mesh.skirtHeight, h);
            return true;
        case API_ObjectID:
        case API_LampID:
            return top ? MeasurePlacedTop(element.object, mask.object, memo, h)
                       : MeasurePlacedBottom(element.object, mask.object, memo, h);
        case API_WindowID:
        case API_DoorID:
            top ? MeasureOpeningTop(element.window, mask.window, memo, h)
                : MeasureOpeningBottom(element.window, mask.window, memo, h);
            return true;
        case API_ZoneID: return top ? MeasureZoneTop(element.zone, mask.zone, h) : MeasureZoneBottom(element.zone, mask.zone, h);
        case API_ShellID:
            if (!top) return false;
            element.shell.level = h;
            MarkToChange(mask.shell.level);
            return true;
        case API_RoofID:
            if (top) return false;
            element.roof.bottomOffset = h;
            MarkToChange(mask.roof.bottomOffset);
            return true;
        default: return false;
    }
}

void MeasureToolElevation(std::int32_t currentTool, bool top)
{
    const FloorPlanDatabaseScope floorPlan;  // the elevation tools work on the floor plan's defaults
    API_Element element;
    element.header.typeID = currentTool;
    element.header.variationID = CurrentToolboxItem().variationID;
    ScopedElementMemo memo;
    if (HostGetElementDefaults(&element, &*memo) != NoError) return;
    const double h = measuringState.measuredZ - GetStoryLevel(element.header.floorInd);
    API_Element mask;
    if (ApplyMeasuredElevation(top, element, mask, *memo, h))
        HostChangeElementDefaults(&element, memo->params.empty() ? nullptr : &*memo, &mask);
}

}  // namespace

void Survanto::MeasureTopElevation() { MeasureToolElevation(currentTool, true); }

void Survanto::MeasureBottomElevation() { MeasureToolElevation(currentTool, false); }
