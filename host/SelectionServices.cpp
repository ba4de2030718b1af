#include "SelectionServices.hpp"

#include <sstream>

#include "ElementServices.hpp"
#include "ServiceTable.hpp"

namespace SimHost
{

namespace
{

constexpr std::int32_t KnownFilterBits = APIFilt_IsEditable | APIFilt_HasAccessRight;

// In a solo project the user holds everything.
bool HeldByCurrentUser(const Host& host, const API_Guid& guid)
{
    const Teamwork& teamwork = host.project_.teamwork;
    if (!teamwork.IsShared()) return true;
    const std::optional<std::int16_t> holder = teamwork.HolderOf(guid);
    return holder && *holder == teamwork.CurrentUserId();
}

bool IsEditable(const Host& host, const StoredElement& element)
{
    return host.model_.CheckChangeable(element) == NoError && HeldByCurrentUser(host, element.record.header.guid);
}

GSErrCode GetSelection(HostToken token, API_SelectionInfo* info, std::vector<API_Neig>* neigs, bool onlyEditable, bool)
{
    const Host& host = Host::From(token);
    API_SelectionInfo counts;
    std::vector<API_Neig> reported;
    for (const API_Neig& neig : host.model_.selection)
    {
        const StoredElement* element = host.model_.Find(neig.guid);
        if (element == nullptr) continue;
        const bool editable = IsEditable(host, *element);
        ++counts.sel_nElem;
        if (editable) ++counts.sel_nElemEdit;
        if (editable || !onlyEditable) reported.push_back(neig);
    }
    if (info != nullptr) *info = counts;
    if (neigs != nullptr) *neigs = std::move(reported);
    return NoError;
}

// Only a teamwork project has reservations; an element another user holds stays theirs.
GSErrCode ReserveElements(HostToken token, const std::vector<API_Guid>* guids, std::vector<API_Guid>* conflicts)
{
    Host& host = Host::From(token);
    if (guids == nullptr) return APIERR_BADPARS;
    host.Log("HostReserveElements " + std::to_string(guids->size()));
    Teamwork& teamwork = host.project_.teamwork;
    if (!teamwork.IsShared()) return APIERR_REFUSEDCMD;
    for (const API_Guid& guid : *guids)
        if (host.model_.Find(guid) == nullptr) return APIERR_BADID;
    if (conflicts != nullptr) conflicts->clear();
    for (const API_Guid& guid : *guids)
    {
        const std::optional<std::int16_t> holder = teamwork.HolderOf(guid);
        if (holder && *holder != teamwork.CurrentUserId())
        {
            if (conflicts != nullptr) conflicts->push_back(guid);
            continue;
        }
        teamwork.Hold(guid, teamwork.CurrentUserId());
    }
    return NoError;
}

GSErrCode FilterElement(HostToken token, const API_Guid* guid, std::int32_t filterBits, std::int32_t, const API_Guid*,
                        bool* passes)
{
    const Host& host = Host::From(token);
    if (guid == nullptr || passes == nullptr || (filterBits & ~KnownFilterBits) != 0) return APIERR_BADPARS;
    const StoredElement* element = host.model_.Find(*guid);
    if (element == nullptr) return APIERR_BADID;
    bool result = true;
    if ((filterBits & APIFilt_IsEditable) != 0) result = result && IsEditable(host, *element);
    if ((filterBits & APIFilt_HasAccessRight) != 0) result = result && HeldByCurrentUser(host, *guid);
    *passes = result;
    return NoError;
}

StoredElement* NumberedElement(ProjectModel& model, const std::string& word)
{
    std::istringstream in(word);
    std::size_t n = 0;
    if (!(in >> n) || !in.eof() || n < 1 || n > model.content.elements.size()) return nullptr;
    return &model.content.elements[n - 1];
}

}  // namespace

void FillSelectionServices(HostServiceTable& table)
{
    SIMHOST_SET_SERVICE(table, HostGetSelection, GetSelection);
    SIMHOST_SET_SERVICE(table, HostReserveElements, ReserveElements);
    SIMHOST_SET_SERVICE(table, HostFilterElement, FilterElement);
}

void AddSelectionVerbs(ScenarioVerbs& verbs)
{
    verbs["select"] = [](Scenario& s, std::istringstream& args) {
        Host* host = s.GetHost();
        if (host == nullptr) return s.Fail("this action needs a started host");
        std::vector<API_Neig> chosen;
        for (std::string word; args >> word;)
        {
            const StoredElement* element = NumberedElement(host->model_, word);
            if (element == nullptr) return s.Fail("no element " + word);
            API_Neig neig;
            neig.neigID = NeigOfElementType(element->record.header.typeID);
            neig.guid = element->record.header.guid;
            chosen.push_back(neig);
        }
        host->model_.selection = chosen;
        if (host->selectionHandler_ != nullptr) host->selectionHandler_(chosen.empty() ? nullptr : &chosen.front());
        return true;
    };
    verbs["reserve"] = [](Scenario& s, std::istringstream& args) {
        Host* host = s.GetHost();
        if (host == nullptr || !host->project_.teamwork.IsShared()) return s.Fail("reserve needs a teamwork project");
        std::string number, who;
        args >> number >> who;
        const StoredElement* element = NumberedElement(host->model_, number);
        if (element == nullptr || (who != "me" && who != "other" && who != "free") || !Scenario::Rest(args).empty())
            return s.Fail("reserve <n> me|other|free");
        Teamwork& teamwork = host->project_.teamwork;
        const API_Guid guid = element->record.header.guid;
        if (who == "free")
            teamwork.Release(guid);
        else
            teamwork.Hold(guid, who == "me" ? teamwork.CurrentUserId() : teamwork.SomeoneElse());
        return true;
    };
}

void AddSelectionFacts(const Host& host, Facts& facts)
{
    std::string text;
    const auto& elements = host.model_.content.elements;
    for (std::size_t i = 0; i < elements.size(); ++i)
    {
        const std::optional<std::int16_t> holder = host.project_.teamwork.HolderOf(elements[i].record.header.guid);
        if (holder) text += (text.empty() ? "" : " ") + std::to_string(i + 1) + ":" + std::to_string(*holder);
    }
    facts["reservations"] = text.empty() ? "none" : text;
}

}  // namespace SimHost
