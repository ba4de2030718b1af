#include <cmath>
#include <cstdint>

#include "API/AddOnInterface.hpp"
#include "frame/Survanto.hpp"
#include "framework/HostApiHelpers.hpp"
#include "framework/ScopedElementMemo.hpp"
#include "framework/Tolerance.hpp"
#include "framework/VektorConversions.hpp"
#include "measuring/MainPaletteItems.hpp"

// Sizes and angles measured into the tool defaults: each change marks only the
// fields it sets. A tool ends its own mode.

namespace
{

using namespace MainPaletteItems;

double PlanDistance(const API_Coord3D& a, const API_Coord3D& b) { return std::hypot(b.x - a.x, b.y - a.y); }

void ChangeDefaults(API_Element& element, const API_Element& mask) { HostChangeElementDefaults(&element, nullptr, &mask); }

bool IsObjectTool(std::int32_t toolType) { return toolType == API_ObjectID || toolType == API_LampID; }

// Sets a GDL parameter of the object or lamp defaults; defaults without it stay.
void SetDefaultParameter(std::int32_t toolType, const char* name, double value)
{
    API_Element defaults;
    defaults.header.typeID = static_cast<API_ElemTypeID>(toolType);
    ScopedElementMemo memo;
    if (HostGetElementDefaults(&defaults, &*memo) == NoError)
    {
        const std::int32_t index = FindMemoParamIndex(name, *memo);
        if (index >= 0)
        {
            memo->params[static_cast<std::size_t>(index)].value = value;
            const API_Element mask;
            HostChangeElementDefaults(&defaults, &*memo, &mask);
        }
    }
}

void MeasureColumnOrObjectSize(Survanto& survanto, std::int32_t toolType, bool width)
{
    const double d = PlanDistance(survanto.actionPoints[0], survanto.actionPoints[1]);
    if (toolType == API_ColumnID)
    {
        API_Element column;
        API_Element mask;
        column.header.typeID = API_ColumnID;
        if (width)
        {
            column.column.width = d;
            MarkToChange(mask.column.width);
        }
        else
        {
            column.column.depth = d;
            MarkToChange(mask.column.depth);
        }
        ChangeDefaults(column, mask);
    }
    else if (IsObjectTool(toolType))
    {
        SetDefaultParameter(toolType, width ? "a" : "b", d);
    }
}

void EndTool(Survanto& survanto, std::int16_t item)
{
    survanto.pointStep = 0;
    survanto.measuringMode = 0;
    survanto.SetMainPaletteItemValue(item, 0.0);
}

}  // namespace

void Survanto::MeasureBeamWidth()
{
    SetMainPaletteItemValue(BeamWidthItem, 0.0);
    API_Element beam;
    API_Element mask;
    beam.header.typeID = API_BeamID;
    beam.beam.width = PlanDistance(actionPoints[0], actionPoints[1]);
    MarkToChange(mask.beam.width);
    ChangeDefaults(beam, mask);
    EndTool(*this, BeamWidthItem);
}

// The distance of the third point from the line through the first two; none when
// those two coincide.
void Survanto::MeasureBeamHeight()
{
    SetMainPaletteItemValue(BeamHeightItem, 0.0);
    const Vektor3D a = SpaceVektor(actionPoints[0]);
    const Vektor3D along = SpaceVektor(actionPoints[1]) - a;
    if (along.GetLength() >= GeometricTolerance)
    {
        API_Element beam;
        API_Element mask;
        beam.header.typeID = API_BeamID;
        beam.beam.height = (SpaceVektor(actionPoints[2]) - a).CrossProduct(along).GetLength() / along.GetLength();
        MarkToChange(mask.beam.height);
        ChangeDefaults(beam, mask);
    }
    EndTool(*this, BeamHeightItem);
}

void Survanto::MeasureColumnOrObjectWidth(std::int32_t toolType)
{
    MeasureColumnOrObjectSize(*this, toolType, true);
    EndTool(*this, WidthModeItem);
}

void Survanto::MeasureColumnOrObjectDepth(std::int32_t toolType)
{
    MeasureColumnOrObjectSize(*this, toolType, false);
    EndTool(*this, DepthModeItem);
}

void Survanto::MeasureRotationAngle(std::int32_t toolType)
{
    const double angle = (PlanVektor(actionPoints[1]) - PlanVektor(actionPoints[0])).GetAngle();
    API_Element defaults;
    API_Element mask;
    defaults.header.typeID = static_cast<API_ElemTypeID>(toolType);
    if (toolType == API_ColumnID)
    {
        defaults.column.axisRotationAngle = angle;
        MarkToChange(mask.column.axisRotationAngle);
        ChangeDefaults(defaults, mask);
    }
    else if (IsObjectTool(toolType))
    {
        defaults.object.angle = angle;
        MarkToChange(mask.object.angle);
        ChangeDefaults(defaults, mask);
    }
    EndTool(*this, RotationModeItem);
}
