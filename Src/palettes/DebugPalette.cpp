#include "palettes/DebugPalette.hpp"

#include <cmath>
#include <optional>
#include <vector>

#include "API/AddOnInterface.hpp"
#include "DG/DG.hpp"
#include "frame/AddOnGlobals.hpp"
#include "frame/PaletteGuids.hpp"
#include "frame/Survanto.hpp"
#include "framework/AngleConstants.hpp"
#include "framework/HostApiHelpers.hpp"
#include "measuring/InstrumentEvents.hpp"
#include "measuring/MeasuringState.hpp"

namespace
{

enum Item : std::int16_t
{
    XField = 2,
    YField = 4,
    ZField = 6,
    ShotButton = 7,
    PlanCoordinateButton = 8,
    HeightButton = 9,
    ShockButton = 10,
    TestFunctionButton = 11,
    Coordinate3DButton = 12,
    NewStationButton = 13,
    Shot3DButton = 14,
    Shot2DButton = 15,
};

// The client size of the dialog resource, which the palette keeps.
constexpr std::int16_t ResourceWidth = 220;
constexpr std::int16_t ResourceHeight = 162;
constexpr std::int16_t InstrumentStationMode = 1;
constexpr std::uint64_t MeasuredPointEvent = 10;
constexpr std::uint64_t BumpEvent = 12;

double Field(std::int16_t item) { return DG::GetItemValue(DebugPalette::DialogId, item); }
void SetField(std::int16_t item, double value) { DG::SetItemValue(DebugPalette::DialogId, item, value); }

bool AtInstrumentStation() { return measuringState.stationMode == InstrumentStationMode; }

std::optional<API_Coord3D> PickPoint()
{
    API_GetPointType input {};
    if (HostInterfaceRequest(FourCC("IPOI"), &input, nullptr) != NoError) return std::nullopt;
    return input.pos;
}

std::int32_t FrontWindowType()
{
    API_DatabaseInfo window {};
    if (HostDatabaseRequest(FourCC("GWIN"), &window, nullptr) != NoError) return 0;
    return window.typeID;
}

// The picked point's height in the window, relative to the station in mode 1.
std::optional<double> PickedHeight(const API_Coord3D& picked, std::int32_t windowType)
{
    std::optional<double> height;
    if (windowType == APIWind_3DModelID) height = picked.z;
    if (IsSectionTypeWindow(windowType)) height = picked.y;
    if (height && AtInstrumentStation()) *height -= measuringState.stationZ;
    return height;
}

// A picked plan point in instrument coordinates; the location offset is not added back.
void WritePlanCoordinates(const API_Coord3D& picked)
{
    double dx = picked.x;
    double dy = picked.y;
    if (AtInstrumentStation())
    {
        dx -= measuringState.stationX;
        dy -= measuringState.stationY;
    }
    const double b = -(TwoPi - measuringState.stationAngle);
    SetField(XField, dx * std::cos(b) + dy * std::sin(b));
    SetField(YField, dy * std::cos(b) - dx * std::sin(b));
}

// Held while the user picks, so that the main object leaves the input alone.
class BusyWhilePicking
{
public:
    BusyWhilePicking() { SetBusy(true); }
    BusyWhilePicking(const BusyWhilePicking&) = delete;
    BusyWhilePicking& operator=(const BusyWhilePicking&) = delete;
    ~BusyWhilePicking() { SetBusy(false); }

private:
    static void SetBusy(bool busy)
    {
        if (Survanto* survanto = theSurvanto.load()) survanto->busy = busy;
    }
};

std::optional<API_StoryType> StoreyOf(const API_StoryInfo& storeys, std::int32_t index)
{
    const std::int32_t offset = index - storeys.firstStory;
    if (index > storeys.lastStory || offset < 0 || static_cast<std::size_t>(offset) >= storeys.data.size()) return std::nullopt;
    return storeys.data[static_cast<std::size_t>(offset)];
}

// Onto the storey above and raised by the levels between; an element on the
// top storey has none above it and stays where it is.
void RaiseOneStorey(const API_Neig& selected, const API_StoryInfo& storeys)
{
    API_Element element {};
    element.header.guid = selected.guid;
    if (HostGetElement(&element) != NoError) return;
    const std::optional<API_StoryType> former = StoreyOf(storeys, element.header.floorInd);
    const std::optional<API_StoryType> above = StoreyOf(storeys, element.header.floorInd + 1);
    if (!former || !above) return;
    element.header.floorInd = static_cast<std::int16_t>(element.header.floorInd + 1);
    API_Element mask {};
    MarkToChange(mask.header.floorInd);
    if (!ForceChangeElement(&element, &mask, nullptr)) return;
    API_Neig neig = selected;
    API_EditPars edit {};
    edit.typeID = FourCC("ELEV");
    edit.withDelete = true;
    edit.endC.z = above->level - former->level;
    HostEditElements(&neig, 1, &edit);
}

}  // namespace

DebugPalette::DebugPalette()
{
    SetDialogId(DialogId);
    SetPaletteGuid(debugPaletteGuid);
}

std::int16_t DebugPalette::DialogCallback(std::int16_t message, std::int16_t dialogId, std::int16_t item, std::intptr_t)
{
    if (dialogId != DialogId && message != DG::MsgInit) return 0;
    if (message == DG::MsgResize && !DG::IsPaletteDocked(GetPaletteGuid()))
        DG::SetClientSize(DialogId, ResourceWidth, ResourceHeight);
    if (message != DG::MsgClick) return 0;
    Survanto* survanto = theSurvanto.load();
    switch (item)
    {
        case DG::CloseBox: return -1;
        case ShotButton: Shoot(); break;
        case PlanCoordinateButton: PickPlanCoordinate(false); break;
        case HeightButton: PickPlanCoordinate(true); break;
        case ShockButton: OnInstrumentEvent(BumpEvent, 0); break;
        case TestFunctionButton: RaiseSelectionOneStorey(); break;
        case Coordinate3DButton: PickPoint3D(); break;
        case NewStationButton:
            TakeTypedPoint();
            if (survanto != nullptr) survanto->SetStationFromMeasuredPoint();
            break;
        case Shot3DButton: ShootPickedPoints(true); break;
        case Shot2DButton: ShootPickedPoints(false); break;
        default: break;
    }
    return 0;
}

void DebugPalette::TakeTypedPoint()
{
    const double x = Field(XField);
    const double y = Field(YField);
    const double z = Field(ZField);
    const double a = TwoPi - measuringState.stationAngle;
    const API_Coord offset = GetLocationOffset();
    measuringState.rawMeasuredZ = z;
    measuringState.measuredX = x * std::cos(a) + y * std::sin(a) - offset.x;
    measuringState.measuredY = y * std::cos(a) - x * std::sin(a) - offset.y;
    measuringState.measuredZ = z;
    if (!AtInstrumentStation()) return;
    measuringState.measuredX += measuringState.stationX;
    measuringState.measuredY += measuringState.stationY;
    measuringState.measuredZ = z + measuringState.stationZ;
}

void DebugPalette::PickPlanCoordinate(bool z)
{
    const BusyWhilePicking busy;
    const std::optional<API_Coord3D> picked = PickPoint();
    if (!picked) return;
    const std::int32_t windowType = FrontWindowType();
    if (!z)
    {
        WritePlanCoordinates(*picked);
        return;
    }
    double height = IsSectionTypeWindow(windowType) ? picked->y : picked->z;
    if (AtInstrumentStation()) height -= measuringState.stationZ;
    SetField(ZField, height);
}

void DebugPalette::PickPoint3D()
{
    const BusyWhilePicking busy;
    const std::optional<API_Coord3D> picked = PickPoint();
    if (!picked || FrontWindowType() != APIWind_3DModelID) return;
    WritePlanCoordinates(*picked);
    SetField(ZField, *PickedHeight(*picked, APIWind_3DModelID));
}

void DebugPalette::ShootPickedPoints(bool z)
{
    double height = 0.0;
    while (const std::optional<API_Coord3D> picked = PickPoint())
    {
        WritePlanCoordinates(*picked);
        if (const std::optional<double> taken = PickedHeight(*picked, FrontWindowType())) height = *taken;
        if (z) SetField(ZField, height);
        Shoot();
    }
}

void DebugPalette::RaiseSelectionOneStorey()
{
    Survanto* survanto = theSurvanto.load();
    API_SelectionInfo info;
    std::vector<API_Neig> selection;
    if (survanto == nullptr || HostGetSelection(&info, &selection, false, true) != NoError || selection.empty()) return;
    API_StoryInfo storeys;
    if (HostEnvironmentRequest(FourCC("GSTO"), &storeys, nullptr) != NoError) return;
    survanto->RunCreationCommand([&selection, &storeys] {
        for (const API_Neig& selected : selection) RaiseOneStorey(selected, storeys);
    });
}

void DebugPalette::Shoot()
{
    Survanto* survanto = theSurvanto.load();
    if (survanto == nullptr) return;
    TakeTypedPoint();
    survanto->OnMeasuredPoint(static_cast<std::int32_t>(MeasuredPointEvent));
    survanto->curvePalette.UpdateItems();
    survanto->sectionPalette.curvePalette.UpdateItems();
}
