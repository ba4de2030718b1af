#pragma once
#include <string>
#include <vector>

#include "Host.hpp"

// The add-on's object library as the build installs it beside the add-on.
std::string OwnLibraryFolder();
// Loads it into the host's project; fails the test when it cannot.
void LoadOwnLibrary(SimHost::Host& host);

// The objects placed from the library part of that unique id, in element order.
std::vector<const SimHost::StoredElement*> PlacedObjectsOf(const SimHost::ProjectModel& model, const char* uniqueId);
// A GDL parameter of a number (a length, a boolean as 0 or 1, ...), as an
// object's memo carries it.
API_AddParType MakeParameter(const char* name, std::int32_t type, double value);
// A GDL parameter of a placed object: its number, or its text for a string.
double NumberParameter(const SimHost::StoredElement& element, const char* name);
std::string TextParameter(const SimHost::StoredElement& element, const char* name);
