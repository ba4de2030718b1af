#pragma once
#include <string>
#include <vector>

#include "Host.hpp"
#include "Scenario.hpp"

namespace SimHost {

// The project's library parts, the one place where they live: the services that
// give a part by its index (with its version) or find it by its unique id and
// hand out its defaults, the facts about them and the placed markers, and the
// verbs that load a library folder or add one part.
//   load-library [folder]    the folder's parts join the project's library, the
//                            add-on's own library beside it when none is named;
//                            the add-on hears of the changed library
//   add-library-part <index> <{main GUID}-{revision GUID}> [version]
//                            one part under that index (from 1), without defaults
//   library-parts            index:unique id of each part, with its version if any
//   markers                  the kinds of the placed markers in element order
//   marker <n>               the nth marker: kind, id, place, layer, pens, switches
//   active-stations          the ids of the station markers flagged active
void FillLibraryServices(HostServiceTable& table);
void AddLibraryFacts(const Host& host, Facts& facts);
void AddLibraryVerbs(ScenarioVerbs& verbs);

// Reads every part file (".gsm") of the folder, in name order. A part file is
// text:
//   GDL object "<name>"
//   unique-id {<main GUID>}-{<revision GUID>}
//   parameters
//     <name> "<description>" <length|real|angle|integer|boolean|pen|string> <value>
//   end
// A string's value is quoted. False with the file, line and reason when a file
// cannot be read or breaks the form; nothing is read then.
// "GLIB" fills a std::vector<API_LibraryInfo> with the folders loaded into the
// project; "ALIB" loads the folder of an IO::Location as load-library does.
GSErrCode LibraryEnvironmentRequest(Host& host, std::int32_t code, void* par1);

bool ReadLibraryFolder(const std::string& folder, std::vector<LibraryPartEntry>& parts, std::string& error);

// Adds the folder's parts to the open project's library under new indices; a
// part already loaded keeps its index. The add-on hears of the change. False,
// with nothing added, when the folder cannot be read.
bool LoadLibraryFolder(Host& host, const std::string& folder, std::string& error);

}  // namespace SimHost
