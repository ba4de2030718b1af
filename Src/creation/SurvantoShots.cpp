#include <optional>

#include "API/AddOnInterface.hpp"
#include "creation/SectionViewLine.hpp"
#include "frame/Survanto.hpp"
#include "measuring/MainPaletteItems.hpp"
#include "measuring/MeasuringState.hpp"

// "Shot 3D" and "Shot 2D": points picked in any window run through the dispatcher
// as measured points until the user cancels the input. A point picked in a
// section-type view goes back onto its section line, its y the height.

using namespace MainPaletteItems;

void Survanto::ShootPickedPoints(bool takeHeight)
{
    for (;;)
    {
        API_GetPointType input {};
        if (HostInterfaceRequest(FourCC("IPOI"), &input, nullptr) != NoError) return;
        API_DatabaseInfo window {};
        HostDatabaseRequest(FourCC("GWIN"), &window, nullptr);
        Vektor2D plan(input.pos.x, input.pos.y);
        double pickedHeight = input.pos.z;
        if (const std::optional<SectionViewLine> section = SectionViewLine::OfFrontWindow())
        {
            plan = section->PlanPointAt(input.pos.x);
            pickedHeight = input.pos.y;
        }
        const double height =
            window.typeID == APIWind_FloorPlanID ? MainPaletteItemValue(ShotHeightItem) : pickedHeight - measuringState.stationZ;
        if (takeHeight) SetMainPaletteItemValue(ShotHeightItem, height);
        measuringState.measuredX = plan.x;
        measuringState.measuredY = plan.y;
        measuringState.measuredZ = MainPaletteItemValue(ShotHeightItem);
        OnMeasuredPoint(10);
        curvePalette.UpdateItems();
        sectionPalette.curvePalette.UpdateItems();
    }
}
