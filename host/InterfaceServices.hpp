#pragma once
#include "Host.hpp"
#include "Scenario.hpp"

namespace SimHost {

// The host's interactive input and its windows for add-ons: a point the user
// picks in a window ('IPOI'), the progress window ('IPWD', 'SPRP', 'IPRV',
// 'CPWD'), the end of a running input ('INCA') and the host's own controls on
// an add-on's dialog items ('SUCC': kind 18 turns the item into the layer
// chooser, whose value is a layer index). Point inputs are answered from the
// queue of the verb
//   pick <x> <y> <z> | pick cancel     one answer to the next point input; an
//                                      input without an answer is cancelled
// Fact "progress": the progress window's title, phase, value of maximum and
// whether it is open, "none" when none was opened.
void FillInterfaceServices(HostServiceTable& table);
void AddInterfaceFacts(const Host& host, Facts& facts);
void AddInterfaceVerbs(ScenarioVerbs& verbs);

}  // namespace SimHost
