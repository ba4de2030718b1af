// Objects the user places from the project's library parts, and their comparison.
#include "LibraryParts.hpp"

#include <cstring>

#include "Host.hpp"

namespace SimHost {

namespace {

// "{main GUID}": the part whatever its revision.
constexpr std::size_t MainIdLength = 38;

}  // namespace

GSErrCode CompareLibraryPartIds(const char* first, const char* second)
{
    if (first == nullptr || second == nullptr) return APIERR_BADPARS;
    if (std::strcmp(first, second) == 0) return NoError;
    if (std::strlen(first) > MainIdLength && std::strncmp(first, second, MainIdLength) == 0) return APIERR_COMPATIBLEPART;
    return APIERR_GENERAL;
}

void AddLibraryPartVerbs(ScenarioVerbs& verbs)
{
    verbs["place-object"] = [](Scenario& scenario, std::istringstream& args) {
        Host* host = scenario.GetHost();
        if (host == nullptr) return scenario.Fail("this action needs a started host");
        ProjectModel& model = host->model_;
        std::int32_t index = 0;
        API_Coord position;
        double elevation = 0.0;
        std::int16_t storey = 0;
        if (!(args >> index >> position.x >> position.y >> elevation) || !Scenario::OptionalNumber(args, storey) ||
            !Scenario::Rest(args).empty())
            return scenario.Fail("place-object <library index> <x> <y> <elevation> [storey]");
        if (model.libraryParts.count(index) == 0) return scenario.Fail("no library part " + std::to_string(index));
        if (model.content.storeyLevels.count(storey) == 0)
            return scenario.Fail("no storey " + std::to_string(storey));
        const GSErrCode result = model.RunUndoable([&] {
            StoredElement placed;
            placed.record = model.DefaultsFor(API_ObjectID, 0).record;
            placed.record.header.guid = model.NewGuid();
            placed.record.header.floorInd = storey;
            placed.record.object.libraryPartIndex = index;
            placed.record.object.position = position;
            placed.record.object.elevation = elevation;
            model.content.elements.push_back(std::move(placed));
            model.MarkChanged();
            return NoError;
        });
        return result == NoError || scenario.Fail("the host refused the object");
    };
}

}  // namespace SimHost
