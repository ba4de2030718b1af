#pragma once
#include <string>

#include "API/AddOnInterface.hpp"
#include "Host.hpp"
#include "Scenario.hpp"

namespace SimHost
{

// Sections, elevations and interior elevations: elements whose views a window
// can show. The element type of the window kind's elements, 0 for other windows.
API_ElemTypeID CutPlaneTypeOfWindow(std::int32_t windowKind);

bool IsCutPlaneType(API_ElemTypeID type);

// Sections and elevations made by an add-on with their marker (slots 110 and
// 111): in the floor plan only, along a main line of two points with a distance
// line of two points; each makes its view, named as the record.
void FillSectionServices(HostServiceTable& table);

// Verbs:
//   add-section <section|elevation|interior-elevation> x1 y1 x2 y2 [x3 y3 ...] left|right [name]
//       a section or elevation along one segment, an interior elevation along the
//       segments between consecutive points; the distance line runs 1 m beside the
//       first segment, on the side the view looks at. Its view takes the name.
//   tool-reference <section|elevation> <reference id>
//       the reference id the tool gives its next view
void AddSectionVerbs(ScenarioVerbs& verbs);

}  // namespace SimHost
