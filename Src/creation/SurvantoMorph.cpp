#include "API/AddOnInterface.hpp"
#include "frame/Survanto.hpp"
#include "frame/UInterface.hpp"
#include "framework/HostApiHelpers.hpp"
#include "measuring/MainPaletteItems.hpp"
#include "measuring/MarkerPart.hpp"
#include "measuring/MeasuringState.hpp"

// A morph from measured points: those handed over, or the positions of the
// measured-point markers the user selected.

namespace
{

using namespace MainPaletteItems;

using Point = MorphMeshBuilder::Point;

constexpr std::int32_t FewestSelectedElements = 3;

enum AlertEntry : std::int32_t
{
    TextPointsAtOnePlanPosition = 114,
    TextPointsInOneVerticalPlane = 115,
};

MorphSettings ReadMorphSettings(const Survanto& survanto)
{
    MorphSettings settings;
    settings.thickness = survanto.MainPaletteItemValue(MorphDepthItem);
    settings.sidePlanes = survanto.MainPaletteItemValue(MorphSidePlanesItem) == 1.0;
    settings.morphType = survanto.MainPaletteEntry(MorphKindItem);
    const API_Coord offset = GetLocationOffset();
    settings.station = {measuringState.stationX - offset.x, measuringState.stationY - offset.y, measuringState.stationZ};
    return settings;
}

// One alert for each kind of what the build could not use, not one per point.
void TellOmissions(const MorphMeshBuilder::Omissions& omitted)
{
    if (omitted.oneVerticalPlane)
        ShowAlert(AlertWarning, AlertStringListId, AlertWarningTitle, TextPointsInOneVerticalPlane, NoAlertText, AlertOkButton,
                  NoAlertText, NoAlertText, CurrentResourceModule(), AlertStringType);
    if (omitted.samePlanPosition)
        ShowAlert(AlertInformation, AlertStringListId, AlertMessageTitle, TextPointsAtOnePlanPosition, NoAlertText, AlertOkButton,
                  NoAlertText, NoAlertText, CurrentResourceModule(), AlertStringType);
}

}  // namespace

void Survanto::CreateMorphFromPoints(const TypVektor<API_Coord3D>* given)
{
    TypVektor<API_Coord3D> selected;
    if (given == nullptr)
    {
        MarkerPart::GatherSelectedMeasuredPoints(selected, FewestSelectedElements);
        given = &selected;
    }
    TypVektor<Point> points;
    for (const API_Coord3D& p : *given) points.Add({p.x, p.y, p.z});
    meshBuilder.Build(points, ReadMorphSettings(*this), actionPoints);
    TellOmissions(meshBuilder.Omitted());
    meshBuilder.CreateMorph(*this);
    for (const std::int16_t item : {MorphFromMarkersItem, MorphSidePlanesItem, CollectMorphPointsItem})
        SetMainPaletteItemValue(item, 0.0);
}
