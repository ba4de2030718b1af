#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "API/Types.hpp"
#include "GS/UniString.hpp"
#include "IO/Location.hpp"

// Records of the host's libraries and library parts.

// Library part types.
constexpr std::int32_t APILib_ObjectID = 4;
constexpr std::int32_t APILib_DataFileID = 11;

// A library part as the host describes it. A location the host puts into the
// record belongs to the caller, who deletes it.
struct API_LibPart {
    std::int32_t typeID = 0;
    std::int32_t index = 0;              // in the loaded library, from 1
    GS::UniString docuName;              // the part's name
    GS::UniString fileName;              // its file's name in its folder
    std::unique_ptr<IO::Location> location;
    std::string ownUnID;                 // "{main GUID}-{revision GUID}"
    std::string parentUnID;
    bool isPlaceable = false;
    std::int16_t formatVersion = 0;
    std::uint16_t platformSign = 0;
};

// A section of a library part: its four-character type and its sub-identifier.
struct API_LibPartSection {
    std::int32_t sectType = 0;
    std::int16_t subIdent = 0;
};

// What the parameter section says beside the parameters.
struct API_LibPartDetails {
    bool autoHotspot = false;
    bool fixSize = false;
};

// "GLIB" (environment request): par1 receives the loaded libraries, par2 (an
// int32) the index of the project's embedded library among them, -1 without one.
// "SLIB": par1 the libraries to load instead.
constexpr std::int32_t APILibrary_Local = 1;
constexpr std::int32_t APILibrary_Embedded = 3;

struct API_LibraryInfo {
    IO::Location location;
    GS::UniString name;
    std::int32_t libraryType = APILibrary_Local;
    bool available = true;
    bool readOnly = false;
};

// "OWLP" (environment request): par1 a bool, whether creating a library part may
// replace an existing file.

// "GSPF": the folder of the host's own library.
constexpr std::int32_t API_DefaultLibraryFolderID = 27;

// Element links: a link from one element to another carries 32 bits of flags.

// "SNVI" (navigator request): par1 the item to search for (its type, map,
// database type and element GUID), par2 a std::vector<API_NavigatorItem> that
// receives the items found. "GNIT": par1 an item GUID, par2 the item.
constexpr std::int32_t API_CameraNavItem = 10;
constexpr std::int32_t API_ProjectMap = 1;

struct API_NavigatorItem {
    std::int32_t itemType = 0;
    std::int32_t mapId = 0;
    std::int32_t dbTypeID = 0;
    API_Guid guid {};
    API_Guid elementGuid {};
    GS::UniString uName;
};

// The progress window of long commands (interface requests): "IPWD" opens it
// (par1 the title, par2 the int16 number of phases), "SPRP" starts a phase (par1
// an API_ProgressPhase), "SPRV" sets the value (par1 an int32), "CANC" tells into
// par1 (a bool) whether the user cancelled, "CPWD" closes it.
struct API_ProgressPhase {
    GS::UniString text;
    std::int32_t maxValue = 0;
    bool showPercent = false;
};

// "GOVW" (automation request): par1 the zero-terminated GUID text of a navigator
// item, whose view opens. "ZTEL": par1 a std::vector<API_Guid> of the elements to
// zoom to.
