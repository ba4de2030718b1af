#include <cstring>

#include "API/AddOnInterface.hpp"
#include "DG/DG.hpp"
#include "frame/Survanto.hpp"
#include "framework/HostApiHelpers.hpp"

// Lines, hotspots and level dimensions on measured points. Lines and hotspots
// are drawn in the view in front, so their points are first taken into the plane
// of a section, elevation or interior elevation; a level dimension shows the
// measured height and stays in the plan.

namespace
{

constexpr std::int32_t LengthDecimals = 3;

// The height as the host writes lengths: metres with three decimals.
void WriteHeightText(double height, API_NoteType& note)
{
    DGUnitData unit;
    unit.lengthUnit = DG_UNIT_METER;
    unit.lengthDecimals = LengthDecimals;
    const std::string text = DGDoubleToStringUnit(&height, DG_ET_LENGTH, &unit).ToUtf8();
    std::strncpy(note.content, text.c_str(), sizeof note.content - 1);
    note.content[sizeof note.content - 1] = '\0';
}

}  // namespace

void Survanto::CreateLine()
{
    if (!AcceptToolLayer(API_LineID)) return;
    ProjectPointsToSectionView();
    RunCreationCommand([this] {
        if (actionPoints.GetSize() >= 2)
        {
            API_Element line = ElementToolDefaults(API_LineID);
            line.line.begC = {actionPoints[0].x, actionPoints[0].y};
            line.line.endC = {actionPoints[1].x, actionPoints[1].y};
            ApplyAngleSnap(line);
            CompleteCreation(HostCreateElement(&line, nullptr), line, false);
        }
        pointStep = 0;
    });
}

void Survanto::CreateHotspot()
{
    if (AcceptToolLayer(API_HotspotID))
    {
        ProjectPointsToSectionView();
        RunCreationCommand([this] {
            if (actionPoints.IsEmpty()) return;
            API_Element hotspot = ElementToolDefaults(API_HotspotID);
            hotspot.hotspot.position = {actionPoints[0].x, actionPoints[0].y};
            CompleteCreation(HostCreateElement(&hotspot, nullptr), hotspot, false);
        });
    }
    pointStep = 0;
}

// The level is the measured height itself, not its height above the storey.
void Survanto::CreateLevelDimension()
{
    if (AcceptToolLayer(API_LevelDimensionID))
    {
        RunCreationCommand([this] {
            if (actionPoints.IsEmpty()) return;
            const API_Coord3D& p0 = actionPoints[0];
            API_Element dimension = ElementToolDefaults(API_LevelDimensionID);
            API_LevelDimensionType& level = dimension.levelDimension;
            level.position = {p0.x, p0.y};
            level.level = p0.z;
            level.note1.contentSetting = 0;
            level.note2.contentSetting = 0;
            level.markerSetting = 0;
            level.customText = true;
            WriteHeightText(p0.z, level.note1);
            std::memcpy(level.note2.content, level.note1.content, sizeof level.note2.content);
            CompleteCreation(HostCreateElement(&dimension, nullptr), dimension, false);
        });
    }
    pointStep = 0;
}
