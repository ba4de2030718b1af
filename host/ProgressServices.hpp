#pragma once
#include "Host.hpp"
#include "Scenario.hpp"

namespace SimHost {

// The interface requests of the progress window: "IPWD" opens it, "SPRP" starts a
// phase, "SPRV" sets the value, "CANC" asks whether the user cancelled, "CPWD"
// closes it.
void FillProgressServices(HostServiceTable& table);
// Facts: progress (open or closed, title, phase, value), progress-log.
void AddProgressFacts(const Host& host, Facts& facts);

// Verbs:
//   cancel-progress-at <n>   the user cancels at the n-th cancel query from now on
void AddProgressVerbs(ScenarioVerbs& verbs);

}  // namespace SimHost
