#include <algorithm>
#include <cmath>
#include <optional>
#include <string>

#include "API/AddOnInterface.hpp"
#include "API/Database.hpp"
#include "API/Elements.hpp"
#include "DG/DG.hpp"
#include "frame/Survanto.hpp"
#include "framework/AngleConstants.hpp"
#include "framework/FiniteCoord.hpp"
#include "framework/HostApiHelpers.hpp"
#include "framework/SystemUtilities.hpp"
#include "framework/Tolerance.hpp"
#include "measuring/MainPaletteItems.hpp"
#include "measuring/MeasuringState.hpp"

namespace
{

constexpr std::int32_t PointMeasuredCode = 10;
constexpr std::int32_t ExchangeFilePointCode = 5000;
constexpr double Tolerance = GeometricTolerance;
constexpr std::int32_t PhotoSubtype = FourCC("SVPH");

using namespace MainPaletteItems;

struct SoundFiles
{
    std::string measured;
    std::string completed;
    std::string noCommand;
    std::string angleSnap;
};

SoundFiles BuildSoundPaths()
{
    IO::Location folder = HostGetOwnLocation();
    folder.DeleteLastLocalName();
    folder.AppendToLocal("sounds");
    const auto path = [&folder](const char* name) {
        IO::Location file = folder;
        file.AppendToLocal(name);
        return file.ToPath();
    };
    return {path("measurement_1.wav"), path("measurement_2.wav"), path("messung_nocommand.wav"), path("winkelfang.wav")};
}

bool IsPointCode(std::int32_t code) { return code == PointMeasuredCode || code == ExchangeFilePointCode; }

double PlanDistance(const API_Coord3D& a, const API_Coord3D& b) { return std::hypot(b.x - a.x, b.y - a.y); }

double SpatialDistance(const API_Coord3D& a, const API_Coord3D& b)
{
    return std::sqrt((b.x - a.x) * (b.x - a.x) + (b.y - a.y) * (b.y - a.y) + (b.z - a.z) * (b.z - a.z));
}

// Level of the storey on which the tool places its elements; nothing when the
// host does not hand out the tool's defaults.
std::optional<double> ToolStoreyLevel(API_ElemTypeID tool)
{
    API_Element defaults;
    defaults.header.typeID = tool;
    if (HostGetElementDefaults(&defaults, nullptr) != NoError) return std::nullopt;
    return GetStoryLevel(defaults.header.floorInd);
}

// What one measured point means in the running mode. The words follow the mode
// tables: append, "at step n" (tested after the append; marks completion),
// advance (+1) and end (mode button off, mode and step 0).
class PointHandling
{
public:
    PointHandling(Survanto& survanto, const API_Coord3D& point, const SoundFiles& sounds)
        : s_(survanto), point_(point), sounds_(sounds)
    {}

    void ByMode();

    bool completed = false;
    bool noCommand = false;

private:
    void Append() { s_.actionPoints.Add(point_); }
    void Advance() { ++s_.pointStep; }
    bool AtStep(std::int16_t step)
    {
        if (s_.pointStep != step) return false;
        completed = true;
        return true;
    }
    void End(std::int16_t modeItem)
    {
        s_.measuringMode = 0;
        s_.pointStep = 0;
        s_.SetMainPaletteItemValue(modeItem, 0.0);
    }
    const API_Coord3D& Point(std::uint32_t index) const { return s_.actionPoints[index]; }
    std::int32_t PopupEntry(std::int16_t item) const { return s_.MainPaletteEntry(item); }
    bool EvenPointCount() const { return s_.actionPoints.GetSize() % 2 == 0; }
    // The palette shows the state the point left, whichever way the point came in.
    void HandToCurvePalette(Curve3DPalette& palette)
    {
        std::uint8_t figureDone = completed ? 1 : 0;
        palette.AddMeasuredPoint(point_, &figureDone);
        completed = figureDone != 0;
        palette.UpdateItems();
    }

    void NoCommand();
    void Alignment();
    void Distance();
    void Angle();
    void AbsoluteZ();
    void Reveal();
    void ReferenceHeight();
    void FreeAreaHeight();
    void RadiatorNiche();
    void WindowSill();
    void MorphFromActivatedPoints();
    void MorphWithSidePlanes();
    void SingleStep(std::int16_t step, void (Survanto::*operation)());
    void ToolMeasurement(void (Survanto::*measurement)(std::int32_t));
    void FirstOption();
    void SecondOption();
    void ShapeOption(std::int16_t mode);
    void Opening(std::int16_t finishStep, void (Survanto::*finish)());
    void Object();

    Survanto& s_;
    const API_Coord3D point_;
    const SoundFiles& sounds_;
};

void PointHandling::ByMode()
{
    switch (s_.measuringMode)
    {
        case AlignInstrumentItem: Alignment(); break;
        case TopElevationItem:
            s_.MeasureTopElevation();
            End(TopElevationItem);
            break;
        case BottomElevationItem:
            s_.MeasureBottomElevation();
            End(BottomElevationItem);
            break;
        case DistanceModeItem: Distance(); break;
        case AngleModeItem: Angle(); break;
        case AbsoluteZModeItem: AbsoluteZ(); break;
        case FirstOptionItem: FirstOption(); break;
        case SecondOptionItem: SecondOption(); break;
        case ThirdOptionItem:
        case FourthOptionItem:
        case FifthOptionItem: ShapeOption(s_.measuringMode); break;
        case RevealItem: Reveal(); break;
        case WallThicknessItem:
            Append();
            if (s_.pointStep == 1)
            {
                s_.SetWallThickness();
                End(WallThicknessItem);
            }
            Advance();
            break;
        case TrapezoidWallItem:
            Append();
            if (AtStep(2))
            {
                s_.SetTrapezoidWallThickness();
                End(TrapezoidWallItem);
            }
            Advance();
            break;
        case ReferenceHeightModeItem: ReferenceHeight(); break;
        case FreeAreaHeightModeItem: FreeAreaHeight(); break;
        case WidthModeItem: ToolMeasurement(&Survanto::MeasureColumnOrObjectWidth); break;
        case DepthModeItem: ToolMeasurement(&Survanto::MeasureColumnOrObjectDepth); break;
        case RotationModeItem: ToolMeasurement(&Survanto::MeasureRotationAngle); break;
        case PolygonWallItem:
            Append();
            s_.AddPointToPolygonWall();
            s_.actionPoints.Clear();
            Advance();
            break;
        case RadiatorNicheItem: RadiatorNiche(); break;
        case WindowSillItem: WindowSill(); break;
        case MorphPointsItem:
        case CollectMorphPointsItem:
            Append();
            Advance();
            break;
        case MorphFromMarkersItem: MorphFromActivatedPoints(); break;
        case BeamWidthItem: SingleStep(2, &Survanto::MeasureBeamWidth); break;
        case BeamHeightItem: SingleStep(3, &Survanto::MeasureBeamHeight); break;
        case MorphSidePlanesItem: MorphWithSidePlanes(); break;
        default: NoCommand(); break;
    }
}

void PointHandling::NoCommand()
{
    if (s_.sounds) PlaySoundFile(sounds_.noCommand.c_str());
    noCommand = true;
}

void PointHandling::SingleStep(std::int16_t step, void (Survanto::*operation)())
{
    Append();
    if (AtStep(step)) (s_.*operation)();
    Advance();
}

void PointHandling::ToolMeasurement(void (Survanto::*measurement)(std::int32_t))
{
    Append();
    if (AtStep(2)) (s_.*measurement)(s_.currentTool);
    Advance();
}

void PointHandling::Alignment() { SingleStep(2, &Survanto::AlignInstrument); }

void PointHandling::Distance()
{
    Append();
    if (AtStep(2))
    {
        s_.SetMainPaletteItemValue(PlanDistanceItem, PlanDistance(Point(0), Point(1)));
        s_.SetMainPaletteItemValue(SpatialDistanceItem, SpatialDistance(Point(0), Point(1)));
        End(5);
    }
    Advance();
}

// Two points at one place give no direction: the measurement ends without a value.
void PointHandling::Angle()
{
    Append();
    if (s_.pointStep == 2)
    {
        const double dx = Point(1).x - Point(0).x;
        const double dy = Point(1).y - Point(0).y;
        const double dz = Point(1).z - Point(0).z;
        const double length = std::sqrt(dx * dx + dy * dy + dz * dz);
        if (length > Tolerance)
        {
            completed = true;
            const double angle = measuringState.stationAngle;
            const double cosine = (dx * std::cos(angle) + dy * std::sin(angle)) / length;
            s_.SetMainPaletteItemValue(AngleItem, std::acos(ClampToUnit(cosine)) * DegreesPerRadian);
        }
        End(6);
    }
    Advance();
}

void PointHandling::AbsoluteZ()
{
    const double previous = s_.MainPaletteItemValue(AbsoluteZItem);
    s_.SetMainPaletteItemValue(AbsoluteZItem, measuringState.measuredZ);
    s_.SetMainPaletteItemValue(HeightDifferenceItem, measuringState.measuredZ - previous);
    End(7);
}

void PointHandling::Reveal()
{
    Append();
    switch (PopupEntry(RevealKindItem))
    {
        case 1:
            if (s_.pointStep == 1)
            {
                s_.SetMainPaletteItemValue(RevealDepthItem, s_.MeasureRevealDepth());
                End(22);
            }
            break;
        case 2:
            if (AtStep(2))
            {
                s_.SetMainPaletteItemValue(RevealDepthItem, s_.MeasureRevealDepth());
                s_.SetMainPaletteItemValue(RevealWidthItem, s_.MeasureRevealWidth());
                End(22);
            }
            break;
        case 3:
            if (AtStep(2))
            {
                s_.SetMainPaletteItemValue(RevealDepthItem, s_.MeasureRevealDepth());
                s_.SetMainPaletteItemValue(RevealWidthItem, s_.MeasureRevealWidth());
                s_.actionPoints.Clear();
            }
            else if (AtStep(4))
            {
                s_.SetMainPaletteItemValue(SecondRevealDepthItem, s_.MeasureRevealDepth());
                s_.SetMainPaletteItemValue(SecondRevealWidthItem, s_.MeasureRevealWidth());
                End(22);
            }
            break;
        default: break;
    }
    Advance();
}

void PointHandling::ReferenceHeight()
{
    measuringState.referenceHeight = s_.MainPaletteItemValue(ReferenceHeightItem);
    measuringState.stationZ = measuringState.referenceHeight - measuringState.rawMeasuredZ;
    s_.ReplaceStationMarker();
    s_.SetMainPaletteItemValue(ReferenceHeightModeItem, 0.0);
    measuringState.referenceHeightPending = 0;
    s_.pointStep = 0;
    s_.measuringMode = 0;
}

void PointHandling::FreeAreaHeight()
{
    s_.SetMainPaletteItemValue(FreeAreaHeightItem, measuringState.measuredZ);
    End(41);
}

// The niche's height counts from the storey the window tool places on; without
// that storey the measurement ends with both values as they were.
void PointHandling::RadiatorNiche()
{
    Append();
    if (AtStep(2))
    {
        if (const std::optional<double> storeyLevel = ToolStoreyLevel(API_WindowID))
        {
            s_.SetMainPaletteItemValue(NicheDepthItem, PlanDistance(Point(0), Point(1)));
            s_.SetMainPaletteItemValue(NicheHeightItem, Point(0).z - *storeyLevel);
        }
        End(53);
    }
    Advance();
}

void PointHandling::WindowSill()
{
    Append();
    if (AtStep(2))
    {
        s_.SetMainPaletteItemValue(SillThicknessItem, std::fabs(Point(0).z - Point(1).z));
        s_.SetMainPaletteItemValue(SillDepthItem, PlanDistance(Point(0), Point(1)));
        End(56);
    }
    Advance();
}

void PointHandling::MorphFromActivatedPoints()
{
    if (PopupEntry(MorphKindItem) != 2) return;
    Append();
    if (AtStep(2))
    {
        s_.CreateMorphFromPoints(nullptr);
        s_.pointStep = 0;
    }
    Advance();
    s_.ShowMeasuringPrompt();
}

void PointHandling::MorphWithSidePlanes()
{
    Append();
    const std::int32_t kind = PopupEntry(MorphKindItem);
    if ((kind == 1 && AtStep(6)) || (kind == 2 && AtStep(8)))
    {
        s_.CreateMorphFromPoints(nullptr);
        s_.pointStep = 0;
    }
    Advance();
}

// Windows and doors first ask whether the point lies on a usable host wall.
void PointHandling::Opening(std::int16_t finishStep, void (Survanto::*finish)())
{
    if (s_.pointStep == 1)
    {
        bool discard = false;
        s_.openingWallUsable = true;
        s_.CheckOpeningHostWall(point_, s_.openingWallUsable, discard);
        if (discard) return;
    }
    Append();
    if (s_.pointStep == finishStep)
    {
        if (s_.openingWallUsable)
        {
            completed = true;
            (s_.*finish)();
        }
        else
        {
            s_.openingWallUsable = true;
            s_.pointStep = 0;
        }
    }
    Advance();
}

void PointHandling::Object()
{
    Append();
    if (CurrentToolboxItem().variationID == PhotoSubtype)
    {
        if (AtStep(2)) s_.PlacePhotoObject();
    }
    else
    {
        s_.CreateObject();
    }
    Advance();
}

void PointHandling::FirstOption()
{
    switch (s_.currentTool)
    {
        case API_WallID: SingleStep(2, &Survanto::CreateWall); break;
        case API_ColumnID: SingleStep(3, &Survanto::CreateColumn); break;
        case API_BeamID: SingleStep(2, &Survanto::CreateBeam); break;
        case API_WindowID: Opening(2, &Survanto::FinishWindowMeasurement); break;
        case API_DoorID: Opening(3, &Survanto::FinishDoorMeasurement); break;
        case API_ObjectID: Object(); break;
        case API_LampID:
            Append();
            s_.CreateLamp();
            Advance();
            break;
        case API_SlabID:
            Append();
            completed = EvenPointCount();
            Advance();
            break;
        case API_RoofID: SingleStep(3, &Survanto::CreateRoof); break;
        case API_MeshID:
        case API_HatchID:
        case API_SplineID:
            Append();
            Advance();
            break;
        case API_LevelDimensionID:
            Append();
            s_.CreateLevelDimension();
            Advance();
            break;
        case API_LineID: SingleStep(2, &Survanto::CreateLine); break;
        case API_PolyLineID:
            Append();
            Advance();
            HandToCurvePalette(s_.curvePalette);
            s_.DrawCurvePolyline(false);
            break;
        case API_ArcID: SingleStep(3, &Survanto::CreateCircleOrArc); break;
        case API_HotspotID:
            Append();
            s_.CreateHotspot();
            Advance();
            break;
        case API_ShellID: SingleStep(7, &Survanto::CreateExtrudedShellFittedToWalls); break;
        case API_MorphID: HandToCurvePalette(s_.sectionPalette.curvePalette); break;
        default: break;
    }
}

void PointHandling::SecondOption()
{
    switch (s_.currentTool)
    {
        case API_WallID:
            Append();
            Advance();
            completed = EvenPointCount();
            break;
        case API_BeamID:
            Append();
            completed = EvenPointCount();
            Advance();
            break;
        case API_ColumnID: SingleStep(3, &Survanto::CreateColumn); break;
        case API_WindowID: Opening(2, &Survanto::FinishWindowMeasurement); break;
        case API_DoorID: Opening(3, &Survanto::FinishDoorMeasurement); break;
        case API_ObjectID: SingleStep(3, &Survanto::CreateObject); break;
        case API_LampID: SingleStep(3, &Survanto::CreateLamp); break;
        case API_ArcID: SingleStep(3, &Survanto::CreateCircleOrArc); break;
        case API_ShellID: SingleStep(8, &Survanto::CreateRuledShellBetweenWalls); break;
        case API_MorphID:
            HandToCurvePalette(s_.curvePalette);
            Advance();
            break;
        case API_SlabID:
        case API_HatchID:
            Append();
            Advance();
            HandToCurvePalette(s_.curvePalette);
            s_.DrawCurvePolyline(true);
            break;
        default: break;
    }
}

// Options 3 to 5: the same tools with other point counts give other shapes.
void PointHandling::ShapeOption(std::int16_t mode)
{
    switch (s_.currentTool)
    {
        case API_WallID: SingleStep(3, &Survanto::CreateWall); break;
        case API_ColumnID:
            if (mode == 16)
            {
                SingleStep(5, &Survanto::CreateColumn);
            }
            else if (mode == 17)
            {
                SingleStep(2, &Survanto::CreateColumn);
            }
            else
            {
                Append();
                if (s_.pointStep == 1) s_.CreateColumn();
                Advance();
            }
            break;
        case API_BeamID:
            Append();
            if (mode == 16 && AtStep(2)) s_.CreateBeam();
            Advance();
            break;
        case API_ShellID:
            if (mode == 16) SingleStep(5, &Survanto::CreateDomeFromFivePoints);
            if (mode == 17) SingleStep(2, &Survanto::CreateDomeOnCurvedWall);
            if (mode == 18) SingleStep(9, &Survanto::CreateDomeSegment);
            break;
        default: break;
    }
}

}  // namespace

double Survanto::MainPaletteItemValue(std::int16_t item) const
{
    DG::GetDialog(MainPaletteDialogId, resourceModules[0]);
    return DG::GetItemValue(MainPaletteDialogId, item);
}

void Survanto::SetMainPaletteItemValue(std::int16_t item, double value)
{
    DG::GetDialog(MainPaletteDialogId, resourceModules[0]);
    DG::SetItemValue(MainPaletteDialogId, item, value);
}

std::int16_t Survanto::MainPaletteEntry(std::int16_t item) const
{
    DG::GetDialog(MainPaletteDialogId, resourceModules[0]);
    return DG::PopupGetSelected(MainPaletteDialogId, item);
}

void Survanto::OnMeasuredPoint(std::int32_t eventCode)
{
    const SoundFiles soundFiles = BuildSoundPaths();
    if (pointStep == 0)
    {
        if (IsPointCode(eventCode) && sounds) PlaySoundFile(soundFiles.noCommand.c_str());
        return;
    }
    if (pointStep == 1) actionPoints.Clear();
    const API_Coord3D point {measuringState.measuredX, measuringState.measuredY, measuringState.measuredZ};
    if (!IsPointCode(eventCode)) return;
    // A point without a place would carry NaN into every element made from it.
    if (!IsFinite(point))
    {
        if (sounds) PlaySoundFile(soundFiles.noCommand.c_str());
        return;
    }
    if (measuringMode != 1)
    {
        // A placement that makes no marker leaves none behind: an earlier point's
        // marker is never taken for this point's.
        lastMeasuredPointMarker = APINULLGuid;
        PlaceMeasuredPointMarker();
    }

    PointHandling handling(*this, point, soundFiles);
    handling.ByMode();

    if (!handling.noCommand && sounds)
    {
        if (MainPaletteItemValue(AngleSnapItem) != 0.0)
            PlaySoundFile(soundFiles.angleSnap.c_str());
        else
            PlaySoundFile(handling.completed ? soundFiles.completed.c_str() : soundFiles.measured.c_str());
    }
    ShowMeasuringPrompt();
    UpdateMainPalette();

    const API_ToolBoxItem toolboxItem = CurrentToolboxItem();
    const bool keepsProfileMeasuring = measuringMode == 14 && currentTool == API_MorphID;
    if (!keepsProfileMeasuring && pointStep <= 1) OnToolChanged(currentTool, toolboxItem.variationID);
}
