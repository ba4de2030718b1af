// What the user has selected.
#include "Selection.hpp"

#include <algorithm>

#include "ElementServices.hpp"
#include "Host.hpp"
#include "ServiceTable.hpp"

namespace SimHost {

namespace {

// Whole elements only: this host knows no partial selection.
GSErrCode GetSelection(HostToken token, API_SelectionInfo* info, std::vector<API_Neig>* neigs, bool onlyEditable, bool,
                       std::int32_t relativePosition)
{
    if (info == nullptr || relativePosition != 0) return APIERR_BADPARS;
    const ProjectModel& model = Host::From(token).model_;
    std::vector<API_Neig> selected;
    for (const API_Neig& neig : model.selection) {
        const StoredElement* element = model.Find(neig.guid);
        if (element != nullptr && (!onlyEditable || model.CheckChangeable(*element) == NoError)) selected.push_back(neig);
    }
    *info = API_SelectionInfo {};
    info->typeID = selected.empty() ? 0 : 1;
    info->sel_nElem = static_cast<std::int32_t>(selected.size());
    if (neigs != nullptr) *neigs = std::move(selected);
    return NoError;
}

// "n" or "n-m", elements numbered from 1.
bool ReadRange(const std::string& word, std::size_t& from, std::size_t& to)
{
    const std::size_t dash = word.find('-');
    try {
        std::size_t used = 0;
        from = std::stoul(word.substr(0, dash), &used);
        if (used != (dash == std::string::npos ? word.size() : dash)) return false;
        to = from;
        if (dash == std::string::npos) return true;
        to = std::stoul(word.substr(dash + 1), &used);
        return used == word.size() - dash - 1;
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace

void FillSelectionServices(HostServiceTable& table) { SIMHOST_SET_SERVICE(table, HostGetSelection, GetSelection); }

void AddSelectionVerbs(ScenarioVerbs& verbs)
{
    verbs["select"] = [](Scenario& scenario, std::istringstream& args) {
        Host* host = scenario.GetHost();
        if (host == nullptr) return scenario.Fail("this action needs a started host");
        ProjectModel& model = host->model_;
        std::vector<API_Neig> selection;
        std::string word;
        while (args >> word) {
            if (word == "none" && selection.empty()) continue;
            std::size_t from = 0, to = 0;
            if (!ReadRange(word, from, to) || from < 1 || to < from || to > model.content.elements.size())
                return scenario.Fail("select none | <n>... | <n>-<m>... with elements from 1 to " +
                                     std::to_string(model.content.elements.size()));
            for (std::size_t n = from; n <= to; ++n) {
                const API_Element& record = model.content.elements[n - 1].record;
                const auto same = [&record](const API_Neig& n) { return n.guid == record.header.guid; };
                if (std::any_of(selection.begin(), selection.end(), same)) continue;
                API_Neig neig;
                neig.neigID = NeigOfElementType(record.header.typeID);
                neig.guid = record.header.guid;
                selection.push_back(neig);
            }
        }
        model.selection = std::move(selection);
        return true;
    };
}

}  // namespace SimHost
