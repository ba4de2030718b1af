#include <optional>

#include "API/AddOnInterface.hpp"
#include "curves/Curve3DPalette.hpp"
#include "curves/ViewProjection.hpp"
#include "frame/AddOnGlobals.hpp"
#include "frame/Survanto.hpp"
#include "framework/FloorPlanDatabaseScope.hpp"
#include "framework/HostApiHelpers.hpp"
#include "framework/ScopedElementMemo.hpp"
#include "measuring/MainPaletteItems.hpp"

// The palette's way in, a measured point for the running method, and its way out,
// the curve handed to the current tool's creator.

namespace
{

constexpr std::uint32_t CeilingPointCount = 3;

// A point taken while a section, elevation or interior elevation is in front lands
// in that view's own coordinates; the view's element is read in the floor plan,
// and the database that was current is current again afterwards. Nothing when the
// host cannot tell the view or its element: the point's place in it is unknown.
std::optional<API_Coord3D> InFrontView(const API_Coord3D& point)
{
    API_DatabaseInfo window {};
    API_DatabaseInfo database {};
    if (HostDatabaseRequest(FourCC("GWIN"), &window, nullptr) != NoError) return std::nullopt;
    const bool databaseRead = HostDatabaseRequest(FourCC("GDAT"), &database, nullptr) == NoError;
    if (!IsSectionTypeWindow(window.typeID)) return point;
    if (!databaseRead) return std::nullopt;
    if (database.elementGuid == APINULLGuid) return point;
    ScopedElementMemo memo;
    API_Element element;
    element.header.guid = database.elementGuid;
    {
        const FloorPlanDatabaseScope floorPlan;
        if (HostGetElementMemo(&database.elementGuid, &*memo, APIMemoMask_All) != NoError) return std::nullopt;
        if (HostGetElement(&element) != NoError) return std::nullopt;
    }
    API_Coord3D inView = point;
    const std::optional<std::size_t> first =
        Curves::ViewLineStart(window.typeID, *memo, element.cutPlane.segmentCount, database.segmentNumber);
    if (first)
    {
        const bool toLeft = IsSectionViewToLeft(element, *memo, database);
        inView = Curves::ToViewCoordinates(point, memo->sectionMainCoords[*first], memo->sectionMainCoords[*first + 1], toLeft);
    }
    memo.Dispose();
    return inView;
}

}  // namespace

void Curve3DPalette::AddMeasuredPoint(API_Coord3D point, std::uint8_t* segmentCompleted)
{
    const std::optional<API_Coord3D> inView = InFrontView(point);
    if (!inView) return;
    point = *inView;
    const std::uint32_t verticesBefore = curve.points.GetSize();
    switch (curveMode)
    {
        case EndPointMethodItem: AddEndPointPolygonPoint(point); break;
        case TwoPointMethodItem: AddTwoPointSegmentPoint(point); break;
        case SplineMethodItem: AddSplinePoint(point); break;
        case PlaneMethodItem: AddPlanePoint(point); break;
        case CeilingMethodItem:
            ceilingPoints.Add(point);
            if (ceilingPoints.GetSize() < CeilingPointCount) break;
            // Three points without a direction in plan make no rectangle: they are dropped.
            if (!BuildCeilingRectangle(ceilingPoints, curve))
            {
                ceilingPoints.Clear();
                break;
            }
            CreateElements();
            Close();
            break;
        default: break;
    }
    if (segmentCompleted != nullptr && curveMode == TwoPointMethodItem && curve.points.GetSize() > verticesBefore)
        *segmentCompleted = 1;
}

std::int16_t Curve3DPalette::CreateElements()
{
    Survanto* survanto = theSurvanto.load();
    if (survanto == nullptr) return 1;
    std::int16_t released = 0;
    switch (survanto->currentTool)
    {
        case API_WallID:
            survanto->CreateWallsFromCurve();
            released = MainPaletteItems::SecondOptionItem;
            break;
        case API_SlabID:
            survanto->CreateSlabFromCurve();
            released = MainPaletteItems::SecondOptionItem;
            break;
        case API_HatchID:
            survanto->CreateFillFromCurve();
            released = MainPaletteItems::SecondOptionItem;
            break;
        case API_PolyLineID:
            survanto->DrawCurvePolyline(false);
            released = MainPaletteItems::FirstOptionItem;
            break;
        case API_MorphID:
            if (sectionMode)
            {
                survanto->sectionPalette.CreateMeasuredProfile();
                break;
            }
            if (curve.points.GetSize() > 1)
            {
                survanto->BuildMorphProfile();
                survanto->BuildMorphRail();
                survanto->CreateMorphAlongRail();
            }
            released = MainPaletteItems::SecondOptionItem;
            break;
        default: break;
    }
    if (released != 0) survanto->SetMainPaletteItemValue(released, 0.0);
    ClearCurve();
    survanto->measuringMode = 0;
    survanto->pointStep = 1;
    return 1;
}
