#pragma once
#include "API/AddOnInterface.hpp"
#include "Host.hpp"
#include "Scenario.hpp"

namespace SimHost
{

// The selection as the add-on reads it, teamwork reservations and the element
// filter. This host keeps no partial selections, so leaving them out changes nothing.
void FillSelectionServices(HostServiceTable& table);

// Verbs:
//   select [n ...]            the user selects the nth elements (from 1), nothing without numbers
//   reserve <n> me|other|free  the nth element reserved by the current user, by a colleague, or by nobody
// Fact: reservations ("n:user id" each, or none).
void AddSelectionVerbs(ScenarioVerbs& verbs);
void AddSelectionFacts(const Host& host, Facts& facts);

}  // namespace SimHost
