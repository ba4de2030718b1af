#pragma once
#include "API/AddOnInterface.hpp"
#include "Scenario.hpp"

namespace SimHost {

// HostGetLibraryPart, with the verb
//   place-object <library index> <x> <y> <elevation> [storey]   the user places an object
void FillLibraryPartServices(HostServiceTable& table);
void AddLibraryPartVerbs(ScenarioVerbs& verbs);

// The "COMP" answer for two unique ids: the same part, another revision of it, or
// another part.
GSErrCode CompareLibraryPartIds(const char* first, const char* second);

}  // namespace SimHost
