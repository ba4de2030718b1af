#pragma once
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "API/AddOnInterface.hpp"

namespace SimHost
{

// One section of a library part: scripts and the parameter section hold UTF-8
// text, pictures any bytes.
struct LibraryPartSection
{
    std::int32_t type = 0;
    std::int16_t subIdent = 0;
    std::vector<char> bytes;
};

// A library part that placed objects, lamps, windows and doors name by index,
// with its version, name, default sizes and GDL parameters. A part read from a
// library folder or saved by the host has its file; a generated part has its
// sections (the parameter section among them); a data file (type 11) has a file
// and no sections; a part known only by its unique id has neither.
struct LibraryPartEntry
{
    std::string uniqueId;  // "{main GUID}-{revision GUID}"
    std::int32_t version = 0;
    std::string name {};
    double sizeA = 0.0;
    double sizeB = 0.0;
    std::vector<API_AddParType> params {};
    // The value lists of some of its parameters.
    std::map<std::string, std::vector<GS::UniString>> valueLists {};
    std::int32_t typeID = APILib_ObjectID;
    std::string parentUniqueId {};
    std::string path {};  // its file
    bool placeable = false;
    std::int16_t formatVersion = 0;
    std::uint16_t platformSign = 0;
    API_LibPartDetails details {};
    std::vector<LibraryPartSection> sections {};

    const LibraryPartSection* Section(std::int32_t type, std::int16_t subIdent) const;
    // A parameter section given also sets the sizes and parameters.
    void SetSection(const LibraryPartSection& section);
};

// A folder of the loaded libraries.
struct LibraryFolder
{
    std::string path;
    std::string name;
    std::int32_t type = APILibrary_Local;
    bool available = true;
    bool readOnly = false;
};

// A library part being generated: created, then given its sections, then saved.
struct LibraryPartCreation
{
    LibraryPartEntry part;
    std::optional<LibraryPartSection> openSection;
};

// The parameter section's content: the part's parameters and its width and depth.
struct ParameterList
{
    double a = 0.0;
    double b = 0.0;
    std::vector<API_AddParType> parameters;
};

std::vector<char> ParameterSectionBytes(const ParameterList& list);
// False when the bytes are no parameter section.
bool ReadParameterSection(const std::vector<char>& bytes, ParameterList& list);

// Library part files (".gsm") come in two forms. Written by hand:
//   GDL object "<name>"
//   unique-id {<main GUID>}-{<revision GUID>}
//   parameters
//     <name> "<description>" <length|real|angle|integer|boolean|pen|string> <value>
//   end
// (a string's value is quoted; "!" starts a comment line). Saved by the host:
// readable JSON with each section as text or hex. SaveLibraryPartFile writes
// the second form aside and puts it in place.
bool SaveLibraryPartFile(const LibraryPartEntry& part, std::string& error);
// The part in the file, in either form; false, with the file, line and reason,
// when it is no library part.
bool ReadLibraryPartFile(const std::string& path, LibraryPartEntry& part, std::string& error);

// "{main GUID}-{revision GUID}", each GUID in braces.
bool IsLibraryPartUniqueId(const std::string& text);

// The "COMP" answer for two unique ids: the same part, another revision of it, or
// another part.
GSErrCode CompareLibraryPartIds(const char* first, const char* second);

}  // namespace SimHost
