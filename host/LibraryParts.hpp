#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "API/AddOnInterface.hpp"

namespace SimHost {

// One section of a library part: scripts and the parameter section hold UTF-8
// text, pictures any bytes.
struct LibraryPartSection {
    std::int32_t type = 0;
    std::int16_t subIdent = 0;
    std::vector<char> bytes;
};

// A library part that placed objects, lamps, windows and doors name by index. A
// part known only by its unique id has no file and no sections; a data file
// (type 11) has a file and no sections.
struct LibraryPartEntry {
    std::string uniqueId;  // "{main GUID}-{revision GUID}"
    std::int32_t typeID = APILib_ObjectID;
    std::string name = {};
    std::string parentUniqueId = {};
    std::string path = {};  // its file
    bool placeable = false;
    std::int16_t formatVersion = 0;
    std::uint16_t platformSign = 0;
    API_LibPartDetails details = {};
    std::vector<LibraryPartSection> sections = {};

    const LibraryPartSection* Section(std::int32_t type, std::int16_t subIdent) const;
    void SetSection(const LibraryPartSection& section);
};

// A folder of the loaded libraries.
struct LibraryFolder {
    std::string path;
    std::string name;
    std::int32_t type = APILibrary_Local;
    bool available = true;
    bool readOnly = false;
};

// A library part being generated: created, then given its sections, then saved.
struct LibraryPartCreation {
    LibraryPartEntry part;
    std::optional<LibraryPartSection> openSection;
};

// The parameter section's content: the part's parameters and its width and depth.
struct ParameterList {
    double a = 0.0;
    double b = 0.0;
    std::vector<API_AddParType> parameters;
};

std::vector<char> ParameterSectionBytes(const ParameterList& list);
// False when the bytes are no parameter section.
bool ReadParameterSection(const std::vector<char>& bytes, ParameterList& list);

// The host's library part files: readable JSON, each section as text or hex.
bool SaveLibraryPartFile(const LibraryPartEntry& part, std::string& error);
// The part in the file; false, with the reason, when it is no library part.
bool ReadLibraryPartFile(const std::string& path, LibraryPartEntry& part, std::string& error);

}  // namespace SimHost
