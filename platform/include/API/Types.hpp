#pragma once
#include <cstdint>
#include <cstring>

#include "GS/Guid.hpp"
#include "GS/UniString.hpp"
#include "IO/Location.hpp"

// The plain records and codes of the host's add-on interface.

using GSErrCode = std::int32_t;
using GSResModule = std::int32_t;
using API_ElemTypeID = std::int32_t;

constexpr GSErrCode NoError = 0;
constexpr GSErrCode APIERR_GENERAL = static_cast<GSErrCode>(0x81060001);
constexpr GSErrCode APIERR_MEMFULL = static_cast<GSErrCode>(0x81060002);
constexpr GSErrCode APIERR_BADPARS = static_cast<GSErrCode>(0x81060005);
constexpr GSErrCode APIERR_BADID = static_cast<GSErrCode>(0x8106000A);
constexpr GSErrCode APIERR_BADINDEX = static_cast<GSErrCode>(0x8106000B);
constexpr GSErrCode APIERR_DELETED = static_cast<GSErrCode>(0x81060023);
constexpr GSErrCode APIERR_IRREGULARPOLY = static_cast<GSErrCode>(0x81060069);
constexpr GSErrCode APIERR_CANCEL = static_cast<GSErrCode>(0x81060080);
constexpr GSErrCode APIERR_REFUSEDCMD = static_cast<GSErrCode>(0x81060081);
constexpr GSErrCode APIERR_COMPATIBLEPART = static_cast<GSErrCode>(0x810600D2);
constexpr GSErrCode APIERR_PAGELOCKED = static_cast<GSErrCode>(0x8106012F);
// An element change outside an undoable command and outside a notification.
constexpr GSErrCode APIERR_NEEDSUNDOSCOPE = static_cast<GSErrCode>(0x81060183);
constexpr GSErrCode APIERR_MISSINGCODE = static_cast<GSErrCode>(0x81060387);

// Four-character codes are the 32-bit values whose big-endian bytes spell them.
constexpr std::int32_t FourCC(const char (&code)[5])
{
    return static_cast<std::int32_t>((std::uint32_t(std::uint8_t(code[0])) << 24) | (std::uint32_t(std::uint8_t(code[1])) << 16) |
                                     (std::uint32_t(std::uint8_t(code[2])) << 8) | std::uint32_t(std::uint8_t(code[3])));
}

enum ElemType : API_ElemTypeID
{
    API_ZombieElemID = 0,
    API_WallID = 1,
    API_ColumnID = 2,
    API_BeamID = 3,
    API_WindowID = 4,
    API_DoorID = 5,
    API_ObjectID = 6,
    API_LampID = 7,
    API_SlabID = 8,
    API_RoofID = 9,
    API_MeshID = 10,
    API_LevelDimensionID = 13,
    API_ZoneID = 17,
    API_HatchID = 18,
    API_LineID = 19,
    API_PolyLineID = 20,
    API_ArcID = 21,
    API_CircleID = 22,
    API_SplineID = 23,
    API_HotspotID = 24,
    API_CutPlaneID = 25,
    API_CameraID = 26,
    API_CamSetID = 27,
    API_PictureID = 31,
    API_ElevationID = 33,
    API_InteriorElevationID = 34,
    API_ShellID = 43,
    API_MorphID = 45,
};

struct API_Guid
{
    std::uint32_t time_low = 0;
    std::uint16_t time_mid = 0;
    std::uint16_t time_hi_and_version = 0;
    std::uint8_t clock_seq[2] {};
    std::uint8_t node[6] {};

    bool operator==(const API_Guid& o) const { return std::memcmp(this, &o, sizeof(API_Guid)) == 0; }
    bool operator!=(const API_Guid& o) const { return !(*this == o); }
};
static_assert(sizeof(API_Guid) == 16, "a GUID is 16 bytes");

constexpr API_Guid APINULLGuid {};
API_Guid GSGuid2APIGuid(const GS::Guid& guid);
GS::Guid APIGuid2GSGuid(const API_Guid& guid);
inline API_Guid APIGuidFromString(const char* text) { return GSGuid2APIGuid(GS::Guid(text)); }

struct API_Coord
{
    double x = 0.0;
    double y = 0.0;
};

struct API_Coord3D
{
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
};

// A plan rectangle.
struct API_Box
{
    double xMin;
    double yMin;
    double xMax;
    double yMax;
};

struct API_ModulID
{
    std::uint32_t developerID = 0;
    std::uint32_t localID = 0;
};

// Filled by CheckEnvironment: the host sets the application kind, the add-on its name.
struct API_EnvirParams
{
    std::int32_t serverApplication = 0;
    GS::UniString addOnName;
    GS::UniString addOnDescription;
};

struct API_MenuParams
{
    std::int16_t menuResID = 0;
    std::int32_t itemIndex = 0;
};

// 'SMIT': one item of an add-on menu, its new text the request's second parameter
// (8-bit, UTF-8).
struct API_MenuItemRef
{
    std::int16_t menuResID = 0;
    std::int32_t itemIndex = 0;
};

struct API_ToolBoxItem
{
    API_ElemTypeID typeID = 0;
    std::int32_t variationID = 0;  // an add-on subtype's signature, else 0
};

// 'APPL': the host's application information.
struct API_ServerApplicationInfo
{
    std::int32_t mainVersion = 0;
    std::int32_t releaseVersion = 0;
    GS::UniString language;  // three-letter language code such as "GER"
};

// 'GSPF': a special folder of the host.
struct API_SpecFolderRequest
{
    std::int32_t folderId = 0;
    IO::Location location;
};

// Project events as the host numbers them.
enum ProjectEvent : std::int32_t
{
    APINotify_New = 1,
    APINotify_NewAndReset = 2,
    APINotify_Open = 4,
    APINotify_Close = 32,
    APINotify_Quit = 64,
    APINotify_ChangeLibrary = 0x200000,
    APINotify_UnitChanged = 0x800000,
};

struct API_Neig
{
    std::int32_t neigID = 0;
    API_Guid guid {};
    std::int32_t inIndex = 0;
};

struct API_NotifyElementType
{
    std::int32_t notifID = 0;
    API_Guid guid {};
    API_ElemTypeID typeID = 0;
};

struct API_NotifyViewEventType
{
    std::int32_t notifID = 0;
    std::int32_t mapId = 0;
    API_Guid itemGuid {};
};
