#pragma once
#include "Host.hpp"
#include "Scenario.hpp"

namespace SimHost {

// The host's interactive input: a point the user picks in a window ('IPOI'),
// answered from the queue of the verb
//   pick <x> <y> <z> | pick cancel     one answer to the next point input; an
//                                      input without an answer is cancelled
void FillInterfaceServices(HostServiceTable& table);
void AddInterfaceVerbs(ScenarioVerbs& verbs);

}  // namespace SimHost
