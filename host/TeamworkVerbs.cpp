#include "TeamworkVerbs.hpp"

#include <climits>

namespace SimHost
{

void AddTeamworkVerbs(ScenarioVerbs& verbs)
{
    verbs["teamwork-user"] = [](Scenario& s, std::istringstream& args) {
        Host* host = s.GetHost();
        if (host == nullptr || !host->project_.open) return s.Fail("teamwork-user needs an open project");
        long id = 0;
        if (!(args >> id) || id < 0 || id > SHRT_MAX) return s.Fail("teamwork-user <id 0..32767> <name>");
        const std::string name = Scenario::Rest(args);
        if (name.empty()) return s.Fail("teamwork-user <id 0..32767> <name>");
        host->project_.teamwork.SetCurrentUser(static_cast<std::int16_t>(id), name);
        return true;
    };
}

void AddTeamworkFacts(const Host& host, Facts& facts)
{
    const Teamwork& teamwork = host.project_.teamwork;
    if (!teamwork.IsShared())
    {
        facts["teamwork"] = "solo";
        return;
    }
    std::string text = std::to_string(teamwork.CurrentUserId());
    for (const TeamworkUser& user : teamwork.Users())
        text += " " + std::to_string(user.id) + ":" + user.name + ":" + APIGuid2GSGuid(user.guid).ToText();
    facts["teamwork"] = text;
}

}  // namespace SimHost
