#pragma once
#include "Scenario.hpp"

namespace SimHost
{

// Sharing the open project, played by scenarios:
//   teamwork-user <id> <name>   the project becomes a teamwork project and the
//                               user of that id (added, or renamed) works here
// Fact "teamwork": "solo", or the current user's id, then id:name:GUID of each user.
void AddTeamworkVerbs(ScenarioVerbs& verbs);
void AddTeamworkFacts(const Host& host, Facts& facts);

}  // namespace SimHost
