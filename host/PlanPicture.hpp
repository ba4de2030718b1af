#pragma once
#include "Scenario.hpp"

namespace SimHost {

// The plan picture: every morph's polygons, every roof's outline and every
// wall's body seen from above, written as PNG.
//   plan-picture <file>
void AddPlanPictureVerbs(ScenarioVerbs& verbs);

}  // namespace SimHost
