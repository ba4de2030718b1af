#pragma once
#include "API/AddOnInterface.hpp"
#include "Host.hpp"
#include "ProjectModel.hpp"
#include "Scenario.hpp"

namespace SimHost
{

// The host's profile library: profile attributes (type 11), each a name and a
// drawing of fills and lines. A new project has "Gesims" and "Sockel".
void AddStandardProfiles(ProjectContent& content);

// HostGetAttributeCount (the highest index of the type), HostGetAttributeDefinitions
// (a profile's drawing, handed out until HostDisposeAttributeDefinitions) and
// the verb
//   add-profile-attribute <name> [<x1> <y1> <x2> <y2> <x3> <y3> ... [line <x1> <y1> <x2> <y2>]...]
//                              a profile of one filled outline and lines under the
//                              next index; without corners its drawing cannot be read
// Fact "profile-attributes": "index:name" each, in index order.
void FillProfileLibraryServices(HostServiceTable& table);
void AddProfileLibraryVerbs(ScenarioVerbs& verbs);
void AddProfileLibraryFacts(const Host& host, Facts& facts);

}  // namespace SimHost
