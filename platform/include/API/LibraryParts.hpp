#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "API/Elements.hpp"
#include "API/Types.hpp"
#include "GS/UniString.hpp"
#include "IO/Location.hpp"

// Records of the host's libraries and library parts.

// Library part types.
constexpr std::int32_t APILib_ObjectID = 4;
constexpr std::int32_t APILib_DataFileID = 11;

// A library part of the loaded libraries. HostGetLibraryPart takes the index
// (from 1) and fills in the rest; HostSearchLibraryPart takes the unique id, or
// without one the name, and fills in the rest. A location the host puts into the
// record belongs to the caller.
struct API_LibPart
{
    std::int32_t typeID = 0;
    std::int32_t index = 0;
    char uniqueId[API_UniIDLength] {};  // "{main GUID}-{revision GUID}"
    GS::UniString name;
    std::int32_t version = 0;
    GS::UniString fileName;  // its file's name in its folder
    std::unique_ptr<IO::Location> location;
    char parentUniqueId[API_UniIDLength] {};
    bool isPlaceable = false;
    std::int16_t formatVersion = 0;
    std::uint16_t platformSign = 0;
};

// A section of a library part: its four-character type and its sub-identifier.
struct API_LibPartSection
{
    std::int32_t sectType = 0;
    std::int16_t subIdent = 0;
};

// What the parameter section says beside the parameters.
struct API_LibPartDetails
{
    bool autoHotspot = false;
    bool fixSize = false;
};

// "GLIB" (environment request): par1 receives the loaded libraries, par2 (an
// int32, when given) the index of the project's embedded library among them.
// "SLIB": par1 the libraries to load instead. "ALIB": par1 the IO::Location of a
// folder to add.
constexpr std::int32_t APILibrary_Local = 1;
constexpr std::int32_t APILibrary_Embedded = 3;

struct API_LibraryInfo
{
    IO::Location location;
    GS::UniString name;
    std::int32_t libraryType = APILibrary_Local;
    bool available = true;
    bool readOnly = false;
};

// "OWLP" (environment request): par1 a bool, whether creating a library part may
// replace an existing file.

// "GSPF": the folder of the host's own library, a folder for the add-ons' own
// files, and the root of the project's embedded library.
constexpr std::int32_t API_DefaultLibraryFolderID = 27;
constexpr std::int32_t API_ApplicationDataFolderID = 7;
constexpr std::int32_t API_EmbeddedProjectLibraryFolderID = 13;

// "CFOL": par1 the IO::Location of a folder to make in the project's embedded
// library. "CFIL": par1 the IO::Location of a folder of the embedded library,
// par2 an API_FileCopyRequest: the files copied into it.
struct API_FileCopyRequest
{
    std::vector<IO::Location> files;
    bool overwrite = true;
};

// Library part type of a picture.
constexpr std::int32_t APILib_PictID = 11;

// Element links: a link from one element to another carries 32 bits of flags.

// "SNVI" (navigator request): par1 the item to search for (its type, map,
// database type and element GUID), par2 a std::vector<API_NavigatorItem> that
// receives the items found. "GNIT": par1 an item GUID, par2 the item.
constexpr std::int32_t API_CameraNavItem = 10;
constexpr std::int32_t API_ProjectMap = 1;

struct API_NavigatorItem
{
    std::int32_t itemType = 0;
    std::int32_t mapId = 0;
    std::int32_t dbTypeID = 0;
    API_Guid guid {};
    API_Guid elementGuid {};
    GS::UniString uName;
};

// "GOVW" (automation request): par1 the zero-terminated GUID text of a navigator
// item, whose view opens. "ZTEL": par1 a std::vector<API_Guid> of the elements to
// zoom to.
