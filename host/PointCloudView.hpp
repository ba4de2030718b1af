#pragma once
#include "Host.hpp"
#include "Scenario.hpp"

namespace SimHost
{

// What the host's 3D engine makes of placed point-cloud objects: each object's
// library part names its point files in the active "POINTCLOUD" calls of its 3D
// script, and the points lie relative to the object's place.
//   cloud-png <file> [<pixels>]   the clouds seen from above, in their colours, as PNG
//   png-3d <file> [<width> [<height>]]
//                                 the 3D window through its sight's camera: the clouds whose
//                                 "show3D" is 1, in perspective, as PNG (640 x 480 unless given)
// Fact: clouds (per placed cloud: its part's name and its points per file).
void AddPointCloudViewVerbs(ScenarioVerbs& verbs);
void AddPointCloudViewFacts(const Host& host, Facts& facts);

}  // namespace SimHost
