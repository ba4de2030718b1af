#pragma once
#include <optional>
#include <string>

#include "Host.hpp"
#include "Scenario.hpp"

namespace SimHost {

// Libraries as folders on disk and the library parts in them: the project's
// loaded libraries ("GLIB", "SLIB"), parts found by unique id or name, generated
// section by section and saved as files that the next host process finds again.
void FillLibraryServices(HostServiceTable& table);
void AddLibraryFacts(const Host& host, Facts& facts);
// "library-part <index>", "library-part <index> section <type> [sub]",
// "library-part <index> parameter <name>", "library-part-named <name>".
std::optional<std::string> LibraryFact(const Host& host, const std::string& name);

// Verbs:
//   add-library [read-only] [unavailable] <folder>   loads a folder of the work folder
//   copy-in <source> <target>   copies a file or folder, given relative to the
//                               scenario's own folder, into the work folder
void AddLibraryVerbs(ScenarioVerbs& verbs);

// Adds a folder to the project's loaded libraries and loads its parts; false when
// it is no folder.
bool AddLibraryFolder(Host& host, const std::string& path, bool readOnly = false, bool available = true);

// Loads the parts of the project's library folders again, after a project was opened.
void ReloadLibraryParts(ProjectModel& model);

}  // namespace SimHost
