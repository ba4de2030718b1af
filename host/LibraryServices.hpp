#pragma once
#include <optional>
#include <string>
#include <vector>

#include "API/LibraryParts.hpp"
#include "Host.hpp"
#include "Scenario.hpp"

namespace SimHost
{

// The project's libraries and their parts, the one place where they live:
// libraries as folders on disk, parts given by index (with their version), found
// by unique id or name with their defaults, generated section by section and
// saved as files that the next host process finds again; the placed markers.
void FillLibraryServices(HostServiceTable& table);

// Facts: library-parts (index:unique id of each part, with its version if any),
// libraries, library-overwrite, markers, marker <n>, active-stations.
void AddLibraryFacts(const Host& host, Facts& facts);
// "library-part <index>", "library-part <index> section <type> [sub]",
// "library-part <index> parameter <name>", "library-part-named <name>".
std::optional<std::string> LibraryFact(const Host& host, const std::string& name);

// Verbs:
//   load-library [read-only] [unavailable] [folder]
//                            the folder (of the work folder) joins the loaded
//                            libraries with its parts, the add-on's own library
//                            when none is named; the add-on hears of it
//   add-library-part <index> <{main GUID}-{revision GUID}> [version]
//                            one part under that index (from 1), without defaults
//   place-object <library index> <x> <y> <elevation> [storey]
//                            the user places an object of a part
//   copy-in <source> <target>   copies a file or folder, given relative to the
//                               scenario's own folder, into the work folder
void AddLibraryVerbs(ScenarioVerbs& verbs);

// "GLIB" fills a std::vector<API_LibraryInfo> with the loaded libraries, the
// project's embedded library first; "SLIB" sets them; "ALIB" loads the folder of
// an IO::Location as load-library does; "OWLP" switches whether a new part may
// replace an existing file; "CFOL" makes a folder and "CFIL" copies files into
// one, both inside the embedded library only.
GSErrCode LibraryEnvironmentRequest(Host& host, std::int32_t code, void* par1, void* par2);

// Adds the folder and its parts (of its subfolders too) to the open project's
// libraries; a part already loaded keeps its index. The add-on hears of the
// change. False, with nothing added, when the folder or one of its part files
// cannot be read. An unavailable folder is listed without its parts.
bool LoadLibraryFolder(Host& host, const std::string& folder, std::string& error, bool readOnly = false, bool available = true);

// Loads the parts of the project's library folders again, after a project was opened.
void ReloadLibraryParts(ProjectModel& model);

// The libraries as "GLIB" lists them, the project's embedded library first.
std::vector<API_LibraryInfo> LoadedLibraries(const Host& host);
// Whether the path is the folder or lies somewhere below it.
bool LiesIn(const std::string& path, const std::string& folder);

// The host's own library folder ("GSPF").
std::string HostLibraryFolderPath(const Host& host);
// The root of the project's embedded library, folders on disk ("GSPF" 13).
std::string EmbeddedLibraryFolderPath(const Host& host);

}  // namespace SimHost
