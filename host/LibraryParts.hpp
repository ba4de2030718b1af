#pragma once
#include "API/AddOnInterface.hpp"
#include "Scenario.hpp"

namespace SimHost {

// Objects of the project's library parts, with the verb
//   place-object <library index> <x> <y> <elevation> [storey]   the user places an object
// (the parts themselves: HostGetLibraryPart and add-library-part in ElementServices).
void AddLibraryPartVerbs(ScenarioVerbs& verbs);

// The "COMP" answer for two unique ids: the same part, another revision of it, or
// another part.
GSErrCode CompareLibraryPartIds(const char* first, const char* second);

}  // namespace SimHost
