#pragma once
#include "Host.hpp"
#include "Scenario.hpp"

namespace SimHost {

// The host's interactive input: a point the user picks in a window ('IPOI'), an
// outline drawn on a plane ('IPOL'), and 'INCA', which ends the waiting input as
// cancelled. Inputs are answered, in order, from the queue of the verbs
//   pick <x> <y> <z> | pick cancel        a point (on the input's plane, when it
//                                         asks for one), or a cancel
//   pick-polygon <x> <y> ... | pick-polygon cancel
//                                         an outline of plan corners, or a cancel
//   pick-click <dialog> <item>            a click on a palette made while the
//                                         next input waits
// An input without a fitting answer is cancelled.
void FillInterfaceServices(HostServiceTable& table);
void AddInterfaceVerbs(ScenarioVerbs& verbs);

}  // namespace SimHost
