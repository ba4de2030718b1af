// The project's library parts as placed objects name them.
#include "LibraryParts.hpp"

#include <cstdio>
#include <cstring>
#include <filesystem>

#include "Host.hpp"
#include "ServiceTable.hpp"

namespace SimHost {

namespace {

// "{main GUID}": the part whatever its revision.
constexpr std::size_t MainIdLength = 38;

GSErrCode GetLibraryPart(HostToken token, API_LibPart* part)
{
    if (part == nullptr) return APIERR_BADPARS;
    Host& host = Host::From(token);
    const auto it = host.model_.libraryParts.find(part->index);
    if (it == host.model_.libraryParts.end()) return APIERR_BADINDEX;
    std::snprintf(part->ownUnID, sizeof part->ownUnID, "%s", it->second.uniqueId.c_str());
    const auto file = std::filesystem::path(host.WorkFolder()) / "Library" / ("part-" + std::to_string(part->index) + ".gsm");
    part->location = new IO::Location(file.string());
    return NoError;
}

}  // namespace

GSErrCode CompareLibraryPartIds(const char* first, const char* second)
{
    if (first == nullptr || second == nullptr) return APIERR_BADPARS;
    if (std::strcmp(first, second) == 0) return NoError;
    if (std::strlen(first) > MainIdLength && std::strncmp(first, second, MainIdLength) == 0) return APIERR_COMPATIBLEPART;
    return APIERR_GENERAL;
}

void FillLibraryPartServices(HostServiceTable& table) { SIMHOST_SET_SERVICE(table, HostGetLibraryPart, GetLibraryPart); }

void AddLibraryPartVerbs(ScenarioVerbs& verbs)
{
    verbs["place-object"] = [](Scenario& scenario, std::istringstream& args) {
        Host* host = scenario.GetHost();
        if (host == nullptr) return scenario.Fail("this action needs a started host");
        ProjectModel& model = host->model_;
        std::int32_t index = 0;
        API_Coord position;
        double elevation = 0.0;
        int storey = 0;
        if (!(args >> index >> position.x >> position.y >> elevation))
            return scenario.Fail("place-object <library index> <x> <y> <elevation> [storey]");
        if (!(args >> storey) && !args.eof()) return scenario.Fail("the storey must be a number");
        if (model.libraryParts.count(index) == 0) return scenario.Fail("no library part " + std::to_string(index));
        if (model.content.storeyLevels.count(static_cast<std::int16_t>(storey)) == 0)
            return scenario.Fail("no storey " + std::to_string(storey));
        const GSErrCode result = model.RunUndoable([&] {
            StoredElement placed;
            placed.record = model.DefaultsFor(API_ObjectID, 0).record;
            placed.record.header.guid = model.NewGuid();
            placed.record.header.floorInd = static_cast<std::int16_t>(storey);
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
