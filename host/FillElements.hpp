#pragma once
#include <string>

#include "Scenario.hpp"

namespace SimHost
{

// The user draws fills and hotspots with the tools' settings, each one undo step:
//   add-fill <x1> <y1> <x2> <y2> <x3> <y3> [...] [hole <x> <y> ...] [arc <vertex> <angle>]...
//                               an outline and its holes, each closed by the host;
//                               an arc bends the edge from the vertex (from 1, over
//                               all rings) to the next
//   add-hotspot <x> <y>
void AddFillVerbs(ScenarioVerbs& verbs);

// A number written as one word of a scenario line, and nothing else.
bool ReadNumberWord(const std::string& word, double& value);

}  // namespace SimHost
