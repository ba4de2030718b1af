
#include "API/AddOnInterface.hpp"
#include "frame/Survanto.hpp"
#include "framework/FloorPlanDatabaseScope.hpp"
#include "framework/HostApiHelpers.hpp"
#include "framework/Tolerance.hpp"

// A new element takes its home storey from the tool defaults; measured outside
// the floor plan it may lie on another storey. It moves to the storey that holds
// its middle height and is raised by the level difference, so it stays in place.

namespace
{

constexpr double StoreyTolerance = GeometricTolerance;

bool IsFloorPlanInFront()
{
    API_DatabaseInfo window {};
    return HostDatabaseRequest(FourCC("GWIN"), &window, nullptr) != NoError || window.typeID == APIWind_FloorPlanID;
}

const API_StoryType* StoreyRecord(const API_StoryInfo& storeys, std::int32_t index)
{
    const std::int32_t offset = index - storeys.firstStory;
    if (index > storeys.lastStory || offset < 0 || static_cast<std::size_t>(offset) >= storeys.data.size()) return nullptr;
    return &storeys.data[static_cast<std::size_t>(offset)];
}

// The first storey from the bottom whose range holds the height; below the first
// storey the first one, above the last storey the last one.
std::int16_t StoreyHolding(const API_StoryInfo& storeys, double height, std::int16_t fallback)
{
    for (std::int32_t i = storeys.firstStory; i <= storeys.lastStory; ++i)
    {
        const API_StoryType* storey = StoreyRecord(storeys, i);
        if (storey == nullptr) break;
        const API_StoryType* next = StoreyRecord(storeys, i + 1);
        const bool fromBelow = i == storeys.firstStory || height >= storey->level - StoreyTolerance;
        const bool belowNext = i == storeys.lastStory || (next != nullptr && height < next->level - StoreyTolerance);
        if (fromBelow && belowNext) return static_cast<std::int16_t>(i);
    }
    return fallback;
}

bool ChangeHomeStorey(API_Element& element)
{
    API_Element mask;
    MarkToChange(mask.header.floorInd);
    return HostChangeElement(&element, &mask, nullptr, 0, true) == NoError;
}

bool RaiseElement(const API_Element& element, double height)
{
    API_Neig neig;
    neig.neigID = ElemTypeToNeig(element.header.typeID);
    neig.guid = element.header.guid;
    API_EditPars edit {};
    edit.typeID = FourCC("ELEV");
    edit.withDelete = true;
    edit.endC.z = height;
    const FloorPlanDatabaseScope floorPlan;
    return HostEditElements(&neig, 1, &edit) == NoError;
}

}  // namespace

void Survanto::FitElementToStorey(API_Element& element)
{
    if (IsFloorPlanInFront()) return;
    API_Box3D box {};
    if (HostDatabaseRequest(FourCC("CABO"), &element.header, &box) != NoError) return;
    const double middle = (box.zMin + box.zMax) / 2.0;

    API_StoryInfo storeys;
    if (HostEnvironmentRequest(FourCC("GSTO"), &storeys, nullptr) != NoError) return;
    const std::int16_t oldIndex = element.header.floorInd;
    const API_StoryType* oldStorey = StoreyRecord(storeys, oldIndex);
    if (oldStorey == nullptr) return;
    const std::int16_t newIndex = StoreyHolding(storeys, middle, oldIndex);
    const double oldLevel = oldStorey->level;
    const double newLevel = StoreyRecord(storeys, newIndex)->level;

    element.header.floorInd = newIndex;
    if (!ChangeHomeStorey(element))
    {
        element.header.floorInd = oldIndex;
        return;
    }
    // A storey change without the matching raise would move the element by the
    // level difference: it goes back to its storey instead.
    if (!RaiseElement(element, oldLevel - newLevel))
    {
        element.header.floorInd = oldIndex;
        ChangeHomeStorey(element);
    }
}
