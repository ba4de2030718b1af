#include <cstdint>
#include <optional>
#include <string>

#include "API/AddOnInterface.hpp"
#include "creation/OpeningRules.hpp"
#include "creation/ParameterValueList.hpp"
#include "creation/WallSearch.hpp"
#include "frame/Survanto.hpp"
#include "frame/UInterface.hpp"
#include "framework/FloorPlanDatabaseScope.hpp"
#include "framework/HostApiHelpers.hpp"
#include "framework/OwnChangeScope.hpp"
#include "framework/ScopedElementMemo.hpp"
#include "measuring/MainPaletteItems.hpp"
#include "measuring/MeasuringState.hpp"

// Windows and doors measured in their host wall: the measurement is read from
// the points, the palette, the wall and the tool's defaults, placed by the
// opening rules and made in one undoable command. Openings take their wall's
// storey and owner; neither the layer check nor the storey fit applies.

namespace
{

using namespace MainPaletteItems;

constexpr std::int32_t OnOutsideFace = 0;
constexpr std::int32_t OnInsideFace = 2;
constexpr std::int32_t PlacementSetting = 1;
constexpr std::uint64_t AllMemoParts = 0x07FFFFFFBFFFFFFFull;

enum AlertEntry : std::int32_t
{
    TextReferenceLineNotOnFace = 10,
    TextWallNotFound = 13,
};

void ShowOpeningAlert(std::int32_t text)
{
    ShowAlert(AlertError, AlertStringListId, AlertErrorTitle, text, NoAlertText, AlertOkButton, NoAlertText, NoAlertText,
              CurrentResourceModule(), AlertStringType);
}

OpeningMeasurement::Palette ReadPalette(const Survanto& s)
{
    OpeningMeasurement::Palette palette;
    palette.diagonalPoints = s.MainPaletteItemValue(DiagonalPointsItem) != 0.0;
    palette.sidePoints = s.MainPaletteItemValue(SidePointsItem) != 0.0;
    palette.measuredFrom = s.MainPaletteEntry(OpeningSideItem);
    palette.revealKind = s.MainPaletteEntry(RevealKindItem);
    palette.revealDepthLeft = s.MainPaletteItemValue(RevealDepthItem);
    palette.revealWidthLeft = s.MainPaletteItemValue(RevealWidthItem);
    palette.revealDepthRight = s.MainPaletteItemValue(SecondRevealDepthItem);
    palette.revealWidthRight = s.MainPaletteItemValue(SecondRevealWidthItem);
    palette.nicheDepth = s.MainPaletteItemValue(NicheDepthItem);
    palette.nicheHeight = s.MainPaletteItemValue(NicheHeightItem);
    palette.sillBoardDepth = s.MainPaletteItemValue(SillDepthItem);
    palette.sillBoardThickness = s.MainPaletteItemValue(SillThicknessItem);
    return palette;
}

std::optional<double> ParameterValue(const API_ElementMemo& memo, const char* name)
{
    const std::int32_t index = FindMemoParamIndex(name, memo);
    if (index < 0) return std::nullopt;
    return memo.params[static_cast<std::size_t>(index)].value;
}

OpeningMeasurement::Part ReadPart(const API_ElementMemo& memo)
{
    OpeningMeasurement::Part part;
    part.frameThickness = ParameterValue(memo, "gs_frame_thk");
    part.revealType = ParameterValue(memo, "gs_reveal_type_int");
    part.revealLeft = ParameterValue(memo, "gs_reveal_left");
    part.revealRight = ParameterValue(memo, "gs_reveal_right");
    part.revealTop = ParameterValue(memo, "gs_reveal_top");
    part.revealBottom = ParameterValue(memo, "gs_reveal_bottom");
    return part;
}

void WriteParameters(const OpeningPlacement& placement, API_ElementMemo& memo)
{
    for (const auto& [name, value] : placement.parameters)
    {
        const std::int32_t index = FindMemoParamIndex(name.c_str(), memo);
        if (index >= 0) memo.params[static_cast<std::size_t>(index)].value = value;
    }
}

// The chosen entry of the reveal type's value list goes into the parameter's
// text, cut to what the parameter holds.
void WriteRevealTypeText(std::int32_t libraryPartIndex, std::int32_t entry, API_ElementMemo& memo)
{
    const std::int32_t index = FindMemoParamIndex("gs_reveal_type_new", memo);
    if (index < 0 || entry < 0) return;
    const ParameterValueList list(libraryPartIndex, "gs_reveal_type_new");
    if (const std::optional<std::u16string> text = list.Text(entry, API_AddParTextLength - 1))
        memo.params[static_cast<std::size_t>(index)].text = GS::UniString(*text);
}

// The first two parameters of an opening's part are its width and height.
void WriteSizeParameters(API_Element& opening, API_ElementMemo& memo)
{
    if (memo.params.size() > 0) memo.params[0].value = opening.window.width;
    if (memo.params.size() > 1) memo.params[1].value = opening.window.height;
}

class OpeningCreation
{
public:
    OpeningCreation(Survanto& survanto, API_ElemTypeID type) : s_(survanto), type_(type) {}

    void Run();

private:
    bool ReadPoints();
    bool FindHostWall();
    bool HostWallIsGone() const;
    bool ReadDefaults();
    void ApplyPlacement(const OpeningPlacement& placement);
    void CreateInCommand();

    Survanto& s_;
    const API_ElemTypeID type_;
    OpeningMeasurement m_;
    API_Element wall_;
    API_Element opening_;
    ScopedElementMemo memo_;
};

bool OpeningCreation::ReadPoints()
{
    const std::uint32_t needed = type_ == API_DoorID ? 3 : 2;
    if (s_.actionPoints.GetSize() < needed) return false;
    m_.p0 = s_.actionPoints[0];
    m_.p1 = s_.actionPoints[1];
    m_.p2 = type_ == API_DoorID ? s_.actionPoints[2] : API_Coord3D {};
    const API_Coord offset = GetLocationOffset();
    m_.station = {measuringState.stationX - offset.x, measuringState.stationY - offset.y};
    m_.palette = ReadPalette(s_);
    return true;
}

bool OpeningCreation::ReadDefaults()
{
    opening_.header.typeID = type_;
    if (HostGetElementDefaults(&opening_, &*memo_) != NoError) return false;
    m_.defaultSillHeight = opening_.window.sillHeight;
    m_.defaultHeight = opening_.window.height;
    m_.defaultStoreyLevel = GetStoryLevel(opening_.header.floorInd);
    return true;
}

// No wall holds the opening: the window tells so; either way the action starts
// again, so that its points do not pile up.
bool OpeningCreation::FindHostWall()
{
    double low = 0.0, high = 0.0;
    s_.GetOpeningSearchHeights(low, high);
    double depth = 0.0;
    bool stationSide = true;
    const double x = (m_.p0.x + m_.p1.x) / 2.0, y = (m_.p0.y + m_.p1.y) / 2.0;
    if (!FindWallAtPoint(s_, x, y, low, high, wall_, m_.positionAlongWall, depth, stationSide))
    {
        if (type_ == API_WindowID) ShowOpeningAlert(TextWallNotFound);
        return false;
    }
    const std::int32_t referenceLine = wall_.wall.referenceLineCode;
    if (referenceLine != OnOutsideFace && referenceLine != OnInsideFace)
    {
        ShowOpeningAlert(TextReferenceLineNotOnFace);
        return false;
    }
    m_.wall = wall_.wall;
    m_.wallStoreyLevel = GetStoryLevel(wall_.header.floorInd);
    ScopedElementMemo wallMemo;
    if (HostGetElementMemo(&wall_.header.guid, &*wallMemo, AllMemoParts) == NoError)
        MemoPolygonToPolygon2DData(*wallMemo, m_.outline);
    return true;
}

void OpeningCreation::ApplyPlacement(const OpeningPlacement& placement)
{
    API_WindowType& o = opening_.window;
    opening_.header.floorInd = wall_.header.floorInd;
    o.owner = wall_.header.guid;
    o.placementSetting = PlacementSetting;
    if (type_ == API_WindowID)
    {
        o.placementGuid = APINULLGuid;
        if (m_.part.revealType) o.placementFlag = true;
    }
    else
    {
        o.placementFlag = true;
    }
    o.width = placement.width;
    o.height = placement.height;
    o.sillHeight = placement.sillHeight;
    o.revealDepth = placement.revealDepth;
    WriteParameters(placement, *memo_);
    if (placement.inPolygonalWall)
    {
        o.startPoint = placement.startPoint;
        o.direction = placement.direction;
        if (type_ == API_DoorID)
        {
            o.mirrored = placement.mirrored;
            o.openingSide = placement.openingSide;
            o.referenceSide = placement.referenceSide;
        }
        return;
    }
    o.position = placement.position;
    s_.SetOpeningSides(wall_, opening_, placement.outsideMeasured, placement.invertBoth, placement.invertFirst);
    WriteRevealTypeText(o.libraryPartIndex, placement.revealTypeEntry, *memo_);
}

bool OpeningCreation::HostWallIsGone() const
{
    API_Element wall {};
    wall.header.guid = wall_.header.guid;
    return HostGetElement(&wall) != NoError || wall.header.typeID != API_WallID;
}

// The command answers 0 whatever the host did when the wall is gone; only an
// opening the host made counts as made. Any other failure ends the command with
// an error, so that the host takes back what it did.
void OpeningCreation::CreateInCommand()
{
    bool created = false;
    HostCallUndoableCommand(GS::UniString(), [this, &created]() -> GSErrCode {
        const OwnChangeScope ownChange;
        GSErrCode result = NoError;
        try
        {
            WriteSizeParameters(opening_, *memo_);
            created = HostCreateElement(&opening_, &*memo_) == NoError;
            if (created) HostUtilityRequest(FourCC("RPAS"), &opening_.header, nullptr);
        }
        catch (...)
        {
            if (!HostWallIsGone())
            {
                created = false;
                result = APIERR_GENERAL;
            }
            else if (type_ == API_WindowID)
            {
                ShowOpeningAlert(TextWallNotFound);
            }
        }
        memo_.Dispose();
        return result;
    });
    if (created) s_.elementCreated = true;
}

void OpeningCreation::Run()
{
    const FloorPlanDatabaseScope floorPlan;
    if (!ReadPoints() || !FindHostWall() || !ReadDefaults()) return;
    m_.part = ReadPart(*memo_);
    const OpeningPlacement placement = type_ == API_WindowID ? PlaceWindow(m_) : PlaceDoor(m_);
    if (!placement.placed) return;
    ApplyPlacement(placement);
    CreateInCommand();
}

}  // namespace

void Survanto::GetOpeningSearchHeights(double& low, double& high) const
{
    OpeningMeasurement m;
    m.palette.diagonalPoints = MainPaletteItemValue(DiagonalPointsItem) != 0.0;
    m.palette.sidePoints = MainPaletteItemValue(SidePointsItem) != 0.0;
    if (actionPoints.GetSize() >= 2)
    {
        m.p0 = actionPoints[0];
        m.p1 = actionPoints[1];
    }
    if (!m.palette.diagonalPoints && m.palette.sidePoints && (currentTool == API_WindowID || currentTool == API_DoorID))
    {
        API_Element defaults;
        defaults.header.typeID = currentTool;
        if (HostGetElementDefaults(&defaults, nullptr) != NoError) return;
        m.defaultSillHeight = defaults.window.sillHeight;
        m.defaultHeight = defaults.window.height;
        m.defaultStoreyLevel = GetStoryLevel(defaults.header.floorInd);
    }
    const OpeningSearchHeights heights = SearchHeightsOf(m, currentTool);
    low = heights.low;
    high = heights.high;
}

void Survanto::CreateWindowFromPoints()
{
    OpeningCreation(*this, API_WindowID).Run();
    pointStep = 0;
}

void Survanto::CreateDoorFromPoints()
{
    OpeningCreation(*this, API_DoorID).Run();
    pointStep = 0;
}
