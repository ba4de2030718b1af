#pragma once
#include "Scenario.hpp"

namespace SimHost
{

// The axonometric picture: every shell's surface as its tessellation's lines and
// every morph's edges, the walls' outlines around them, seen from the south-east
// and above at 30 degrees, written as PNG (a relative file lies in the work folder).
//   axon-picture <file>
void AddAxonometricPictureVerbs(ScenarioVerbs& verbs);

}  // namespace SimHost
