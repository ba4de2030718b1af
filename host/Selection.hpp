#pragma once
#include "API/AddOnInterface.hpp"
#include "Scenario.hpp"

namespace SimHost {

// HostGetSelection, with the verb
//   select none | <n>... | <n>-<m>...   the user selects these elements (numbered from 1)
// and the fact "selection" (ElementServices).
void FillSelectionServices(HostServiceTable& table);
void AddSelectionVerbs(ScenarioVerbs& verbs);

}  // namespace SimHost
