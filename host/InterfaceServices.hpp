#pragma once
#include "Host.hpp"
#include "Scenario.hpp"

namespace SimHost
{

// The host's interactive input: a point the user picks in a window ('IPOI'), an
// outline drawn on a plane ('IPOL'), and 'INCA', which ends the waiting input as
// cancelled. Inputs are answered, in order, from the queue of the verbs
//   pick <x> <y> <z> | pick cancel        a point (on the input's plane, when it
//                                         asks for one), or a cancel
//   pick-polygon <x> <y> ... | pick-polygon cancel
//                                         an outline of plan corners, or a cancel
//   pick-click <dialog> <item>            a click on a palette made while the
//                                         next input waits
//   cancel-progress-at <n>                the user cancels at the n-th cancel
//                                         query ('CANC') from now on
// An input without a fitting answer is cancelled. The progress window ('IPWD',
// 'SPRP', 'IPRV', 'SPRV', 'CANC', 'CPWD') and the host's own controls on an
// add-on's dialog items ('SUCC': kind 18 turns the item into the layer chooser,
// whose value is a layer index, kind 0 into the pen chooser, whose value is a pen
// from 1 to 255) are kept here too. Fact "progress": the progress
// window's title, phase, value of maximum and whether it is open, "none" when
// none was opened; "progress-log": what the add-on showed, request by request.
void FillInterfaceServices(HostServiceTable& table);
void AddInterfaceFacts(const Host& host, Facts& facts);
void AddInterfaceVerbs(ScenarioVerbs& verbs);

}  // namespace SimHost
