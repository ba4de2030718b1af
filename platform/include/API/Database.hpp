#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "API/Elements.hpp"
#include "API/Types.hpp"

// Records of the host's database, environment and automation requests.

// Database and window kinds.
enum APIDatabaseKind : std::int32_t
{
    APIWind_FloorPlanID = 1,
    APIWind_SectionID = 2,
    APIWind_3DModelID = 4,
    APIWind_LayoutID = 5,
    APIWind_ElevationID = 10,
    APIWind_InteriorElevationID = 11,
    APIWind_WorksheetID = 12,
};

// "GDAT" (current database), "CDAT" (make current), "GWIN" (front window).
// A section's or elevation's database belongs to its element. "GDBI" fills the
// name and reference id of the database its type and identity name; "NDAT" makes
// a worksheet or layout database of that type, name and reference id and gives
// its identity. "GCDB": par1 an element's GUID, par2 the database it lies in.
// "GSDI", "GEDI", "GIED", "GLDI", "GWDI": par1 a std::vector<API_Guid> that
// receives the identities of every section, elevation, interior elevation,
// layout or worksheet database.
struct API_DatabaseInfo
{
    std::int32_t typeID;
    std::int32_t index;
    API_Guid elementGuid;
    std::int32_t segmentNumber;  // interior elevations: the segment shown, from 0
    API_Guid databaseUnId;       // the view database's identity; "GDBI" looks it up
    GS::UniString name;
    GS::UniString ref;
};

// "CHWD" (automation request): par1 the window to bring to the front, by its
// database type and identity; the floor plan shows the current storey.
using API_WindowInfo = API_DatabaseInfo;

// "GZOM": par1 the plan box the current view shows (may be null), par2 the
// view's transformation, three rows of four numbers, translation last.
struct API_Tranmat
{
    double tmx[12];
};

// "CABO": par1 an element header, par2 the box. Six doubles in this order.
struct API_Box3D
{
    double xMin;
    double yMin;
    double zMin;
    double xMax;
    double yMax;
    double zMax;
};

// "GOFS": par1 an API_Coord that receives the project location offset.

// "GSTO" (environment request): the storeys, one record per storey from the first.
struct API_StoryType
{
    std::int16_t index = 0;
    double level = 0.0;
    GS::UniString uName;
};

struct API_StoryInfo
{
    std::int16_t firstStory = 0;
    std::int16_t lastStory = 0;
    std::int16_t actStory = 0;   // the storey of the floor plan shown
    bool skipNullFloor = false;  // storeys from index 0 are numbered from 1
    std::vector<API_StoryType> data;
};

// "CSTO" (environment request): a storey command; action 0 shows the storey of
// the index in the floor plan.
constexpr std::int32_t APIStory_GoTo = 0;
struct API_StoryCmdType
{
    std::int32_t action = APIStory_GoTo;
    std::int16_t index = 0;
};

// "ZOOM" (automation request): par1 the plan box to show (API_Box).

// "NTOE" (utility request): par1 a selection id (int32), par2 the element type.

// "PROJ" (environment request): the project information. The host makes the
// objects behind the pointers; they go with the record.
struct API_ProjectInfo
{
    bool teamwork = false;                   // a shared project
    std::int16_t userId = 0;                 // the current user's id among the teamwork users
    std::unique_ptr<IO::Location> location;  // the project file; none while it has none
    std::unique_ptr<GS::UniString> projectName;
};

// One teamwork user of "SHAR": 1072 bytes, the login name as zero-terminated
// UTF-16 at 0, the user's GUID at 1024, the user's id at 1040.
struct API_UserInfo
{
    char16_t loginName[512];
    API_Guid guid;
    std::int16_t userId;
    std::uint8_t reserved[30];
};
static_assert(sizeof(API_UserInfo) == 1072, "a teamwork user entry is 1072 bytes");
static_assert(offsetof(API_UserInfo, guid) == 1024 && offsetof(API_UserInfo, userId) == 1040, "teamwork user entry layout");

// "SHAR" (environment request): the teamwork users of a shared project.
struct API_SharingInfo
{
    std::int32_t nUsers = 0;
    std::vector<API_UserInfo> users;
};

// "SUCC" (interface request): par1 turns a dialog item into one of the host's
// controls; kind 18 is the layer chooser, whose value is a layer index, kind 0
// the pen chooser, whose value is a pen index.
struct API_UCCallbackType
{
    std::int32_t type;
    std::int16_t dialogID;
    std::int16_t itemID;
};

// The progress window: "IPWD" par1 the title (GS::UniString), par2 the number of
// phases (int16); "SPRP" par1 the phase's text (GS::UniString), par2 its maximum
// (int32); "IPRV" par1 the steps to advance by (int32); "SPRV" par1 the value to
// set (int32); "CANC" par1 a bool that tells whether the user cancelled; "CPWD"
// closes it.

// The 3D window's perspective: view cone in degrees, lengths in metres, heights
// above the project zero, positions in plan.
struct API_PerspPars
{
    double viewCone;
    double distance;
    double cameraZ;
    double targetZ;
    API_Coord pos;
    API_Coord target;
};

// "GP3D" (environment request): par1 receives the 3D window's projection.
// "CP3D": par1 the 3D projection to set, par2 a bool that is true when the
// projection follows the camera element it names.
struct API_3DProjectionInfo
{
    API_Guid cameraGuid;
    bool isPersp;
    API_PerspPars persp;
};

// "IPOI" (interface request): par1 the point input; the host lets the user pick
// a point in a window and answers with it, or with APIERR_CANCEL. With changePlane
// the picked point lies on the plane through planeOrigin with planeNormal.
struct API_GetPointType
{
    API_Coord3D pos;
    bool changePlane = false;
    bool changeFilter = false;
    API_Coord3D planeOrigin;
    API_Coord3D planeNormal;
};

// "IPOL" (interface request): par1 the polygon input; the user draws an outline
// from startCoord on the plane with planeNormal, by method 0 free polygon, 1
// rectangle, 2 rotated rectangle. The answer is the host's polygon (coordinates
// from index 1, the first again at the end) with its arcs, which the caller takes
// over, or APIERR_CANCEL.
struct API_GetPolyType
{
    API_Coord3D planeNormal;
    API_Coord3D startCoord;
    std::int32_t method = 0;
    bool useStartCoord = false;
    bool onPlane = false;
    std::int32_t nCoords = 0;
    std::int32_t nArcs = 0;
    std::vector<API_Coord> coords;
    std::vector<API_PolyArc> parcs;
};

// "INCA" (interface request): ends the running interactive input as cancelled.

// "CTOP" (database request): par1 a model point (API_Coord), par2 its pixel
// position in the front window (API_Pixel).
struct API_Pixel
{
    std::int32_t x = 0;
    std::int32_t y = 0;
};
