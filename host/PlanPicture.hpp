#pragma once
#include "Scenario.hpp"

namespace SimHost
{

// The plan picture: every morph's polygons, every roof's outline, every wall's
// body and every window's and door's place in it seen from above, written as PNG
// (a relative file lies in the work folder).
//   plan-picture <file>
void AddPlanPictureVerbs(ScenarioVerbs& verbs);

}  // namespace SimHost
