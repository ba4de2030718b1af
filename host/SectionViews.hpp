#pragma once
#include <string>

#include "API/AddOnInterface.hpp"
#include "Scenario.hpp"

namespace SimHost {

// Sections, elevations and interior elevations: elements whose views a window
// can show. The element type of the window kind's elements, 0 for other windows.
API_ElemTypeID CutPlaneTypeOfWindow(std::int32_t windowKind);

// Verb:
//   add-section <section|elevation|interior-elevation> x1 y1 x2 y2 [x3 y3 ...] left|right
//       a section or elevation along one segment, an interior elevation along the
//       segments between consecutive points; the distance line runs 1 m beside the
//       first segment, on the side the view looks at.
void AddSectionVerbs(ScenarioVerbs& verbs);

}  // namespace SimHost
