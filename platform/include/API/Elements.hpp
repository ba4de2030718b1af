#pragma once
#include <array>
#include <cstdint>
#include <cstring>
#include <vector>

#include "API/Types.hpp"
#include "GS/BM.hpp"
#include "GS/UniString.hpp"

// Element records as the host hands them out. An `API_Element` starts cleared; a
// change mask is a second cleared record in which the first byte of every field to
// change is 0xFF.

constexpr std::uint8_t APIMaskMarker = 0xFF;

// Marks one field of a change mask.
template <typename Field>
void MarkToChange(Field& maskField)
{
    reinterpret_cast<std::uint8_t*>(&maskField)[0] = APIMaskMarker;
}

struct API_Elem_Head
{
    API_ElemTypeID typeID;
    std::int32_t variationID;  // an add-on subtype's signature, else 0
    API_Guid guid;
    std::int16_t layer;     // layer attribute index
    std::int16_t floorInd;  // home storey index
    std::int16_t lockId;    // above 0: the element is locked
    std::int16_t drawIndex;
    bool hasMemo;
};

// The counts of a polygon whose points lie in the memo: coordinates with the
// closing ones (entry 0 not counted), sub-polygons, arcs.
struct API_Polygon
{
    std::int32_t nCoords;
    std::int32_t nSubPolys;
    std::int32_t nArcs;
};

struct API_WallType
{
    API_Elem_Head head;
    API_Coord begC;
    API_Coord endC;
    double arcAngle;            // radians, 0 for a straight wall
    std::int32_t geometryKind;  // 0 straight or curved, 1 trapezoid, 2 polygonal
    // Where the reference line lies: 0 outside face, 1 centre, 2 inside face, 3 core
    // outside, 4 core centre, 5 core inside. Unflipped, the outside face is the left
    // one seen from begin to end.
    std::int32_t referenceLineCode;
    bool flipped;
    std::int16_t profileCode;  // 0 straight, 3 inclined
    double slantAngle;         // radians, inclined walls
    double thickness;          // at the begin point
    double thickness1;         // at the end point; differs for trapezoid walls
    double height;
    double bottomOffset;  // above the home storey's level
    API_Polygon poly;     // trapezoid and polygonal walls: the outline in the memo
};

// Column anchors: 0 middle; 1..8 corners and edge middles of the footprint.
struct API_ColumnType
{
    API_Elem_Head head;
    API_Coord origin;  // middle of the footprint on the bottom plane
    double axisRotationAngle;
    double width;  // along the column's own x axis
    double depth;  // along its own y axis
    bool circleBased;
    bool slanted;
    double slantAngle;  // angle to the horizontal plane, π/2 upright
    double slantDirectionAngle;
    std::int16_t anchor;
    double height;
    double bottomOffset;
};

// A beam hangs from its level: the height of its top along the reference line,
// at the begin point, above the home storey's level. It rises by tan(slantAngle)
// per metre from begin to end.
struct API_BeamType
{
    API_Elem_Head head;
    API_Coord begC;
    API_Coord endC;
    double width;
    double height;
    double level;
    double offset;  // of the beam's middle, to the left of its reference line
    bool isSlanted;
    double slantAngle;
};

// Slabs keep their outline in the memo's polygon.
struct API_SlabType
{
    API_Elem_Head head;
    double thickness;
    double bottomOffset;
    API_Polygon poly;
};

// Meshes keep their outline in the memo's polygon, with a height above the level
// for each outline point and the level points inside. The skirt hangs skirtHeight
// below the level: a surface only (skirt 3) or a solid body (skirt 1).
struct API_MeshType
{
    API_Elem_Head head;
    double skirtHeight;
    double bottomOffset;  // the level, above the home storey's level
    std::int16_t skirt;
    API_Polygon poly;
    std::int32_t levelPointCount;
    std::int32_t levelLineCount;
};

// A plane roof rises from its pivot line, which lies at bottomOffset above the
// home storey's level; posSign: it rises to the left of begin to end.
struct API_RoofType
{
    API_Elem_Head head;
    std::int32_t roofClass;  // 0 plane
    double thickness;
    double bottomOffset;
    double slopeAngle;
    API_Coord baseLineBegC;
    API_Coord baseLineEndC;
    bool posSign;
    API_Polygon poly;
};

// Objects and lamps: a placed library part.
struct API_ObjectType
{
    API_Elem_Head head;
    API_Coord position;
    double elevation;  // above the home storey's level
    double angle;
    double sizeA;
    double sizeB;
    std::int32_t libraryPartIndex;
    std::int16_t pen;
    bool mirrored;
};

// Windows (type 4) and doors (type 5): an opening placed in its owner wall, its
// sill height counted from the wall's base. In a straight or curved wall it lies
// at its position along the wall; in a polygonal wall its start point lies on the
// wall's outer face and its direction runs across the wall, both in the wall's
// frame (API/OpeningFrame.hpp). The placement setting, GUID and flag are kept as
// given; the host gives them no meaning.
struct API_WindowType
{
    API_Elem_Head head;
    API_Guid owner;  // the wall that holds the opening
    std::int32_t libraryPartIndex;
    std::int32_t placementSetting;
    API_Guid placementGuid;
    bool placementFlag;
    double width;
    double height;
    double sillHeight;
    double position;  // along the owner's reference line from its begin point
    double revealDepth;
    API_Coord startPoint;  // in a polygonal wall: in the frame of the wall's direction
    API_Coord direction;
    bool mirrored;
    bool openingSide;
    bool referenceSide;
};

// Zones keep their outline in the memo's polygon.
struct API_ZoneType
{
    API_Elem_Head head;
    double baseLevel;  // above the home storey's level
    double height;
    double floorThickness;
};

// A revolved shell turns its shape (in the memo's first shell shape: x along the
// axis, y away from it) about the x axis of its axis frame, from the begin angle
// by the revolution angle. The host keeps the segmentation and distortion values
// as given.
struct API_RevolvedShellData
{
    double slantAngle;
    double revolutionAngle;
    double distortionAngle;
    bool segmentedSurfaces;
    std::int32_t segmentType;
    std::int32_t segmentsByCircle;
    API_Polygon shapePoly;
    double axisBase[12];
    API_Coord distortionVector;
    double begAngle;
};

// An extruded shell pushes its shape (the memo's first shell shape, in the plane
// across the extrusion: x across, y up, its top point at the origin) from the
// begin point along the extrusion vector. The two plane tilts and the two codes
// are kept as given.
struct API_ExtrudedShellData
{
    double begPlaneTilt;
    double endPlaneTilt;
    API_Polygon shapePoly;
    API_Coord3D begC;
    API_Coord3D extrudedDirection;
    std::int32_t profileCode;
    std::int32_t edgeCode;
};

// A ruled shell joins its two shapes (the memo's first two shell shapes), each in
// its own plane given by a 3 x 4 transformation.
struct API_RuledShellData
{
    API_Polygon shape1Poly;
    double plane1[12];
    API_Polygon shape2Poly;
    double plane2[12];
};

// Shell classes: 0 extruded, 1 revolved, 2 ruled; the shapes live in the memo.
// Every 3 x 4 transformation is stored row by row with the translation in the
// fourth column. The base plane places the shell's own frame above the home
// storey's level; a contour (in the memo) clips the shell in plan.
struct API_ShellType
{
    API_Elem_Head head;
    std::int32_t shellClass;
    double level;  // above the home storey's level
    double basePlane[12];
    bool isFlipped;
    bool hasContour;
    API_RevolvedShellData revolved;
    API_ExtrudedShellData extruded;
    API_RuledShellData ruled;
};

// Polylines keep their polygon in the memo.
struct API_PolyLineType
{
    API_Elem_Head head;
    API_Polygon poly;
};

struct API_LineType
{
    API_Elem_Head head;
    API_Coord begC;
    API_Coord endC;
    std::int16_t pen;
};

// Circles (type 22) and arcs (type 21); a circle runs from 0 to 2π.
struct API_ArcType
{
    API_Elem_Head head;
    API_Coord centre;
    double radius;
    double axisRatio;
    double begAngle;
    double endAngle;
    std::int16_t pen;
};

// Fills keep their outline in the memo's polygon. `pen` draws the contour in the
// line type `ltypeInd`; the fill attribute `fillInd` is drawn with the pens
// `fillPen` and `fillBGPen` (0: none).
struct API_HatchType
{
    API_Elem_Head head;
    API_Polygon poly;
    std::int16_t pen;
    std::int16_t fillPen;
    std::int16_t fillBGPen;
    std::int16_t fillInd;
    std::int16_t ltypeInd;
};

// A spline through the memo's coordinates, which start at index 0.
struct API_SplineType
{
    API_Elem_Head head;
    bool closed;
    std::int16_t pen;
};

struct API_HotspotType
{
    API_Elem_Head head;
    API_Coord position;
    double height;
    std::int16_t pen;
};

// A text placed with an element; contentSetting is the host's and kept as given.
struct API_NoteType
{
    std::int32_t contentSetting;
    char content[256];  // a C string
};

// A level dimension shows its two notes; markerSetting and customText are the
// host's and kept as given.
struct API_LevelDimensionType
{
    API_Elem_Head head;
    API_Coord position;
    double level;  // the dimensioned height
    std::int16_t pen;
    API_NoteType note1;
    API_NoteType note2;
    std::int32_t markerSetting;
    bool customText;
};

// A morph's placement: 3 x 4, row by row, translation in the fourth column.
struct API_MorphType
{
    API_Elem_Head head;
    double transformation[12];
};

// Sections (type 25), elevations (33) and interior elevations (34): a main line of
// one segment, or of several for an interior elevation, whose points lie in the
// memo with the distance line, which lies on the side the view looks at.
// Each makes its view when it is made: the view takes the element's name and
// reference id (UTF-8 C strings) and shows the vertical range from the lower to
// the upper limit; the kind tells a section's (2) or an elevation's (1) marker.
// The host gives the view's identity.
struct API_CutPlaneType
{
    API_Elem_Head head;
    std::int32_t segmentCount;
    API_Guid viewDatabase;
    std::int32_t kind;
    double lowerLimit;
    double upperLimit;
    char name[256];
    char referenceId[256];
};

// A picture (type 31): its image lies in the memo's picture data; it fills the
// destination rectangle, turned by the rotation angle about its lower left
// corner, and shows the source rectangle of the image's plan extent.
struct API_PictureType
{
    API_Elem_Head head;
    API_Box destBox;
    API_Box origBox;
    double rotAngle;
    bool mirrored;
    bool transparent;
    bool directSize;
    std::int32_t anchorPoint;
    std::int32_t colorDepth;
    std::int32_t storageFormat;
    char name[64];  // a C string
};

// Cameras (type 26): a perspective camera, one of the cameras of a camera set.
struct API_CameraType
{
    API_Elem_Head head;
    API_Guid camSetGuid;
    API_Coord position;
    API_Coord target;
    double cameraZ;  // heights above the project zero
    double targetZ;
    double viewCone;  // radians
    double inFrames;  // the path's pace before and after the camera
    double outFrames;
    double azimuth;    // radians, the direction of view in plan
    API_Guid nextCam;  // the camera after this one in its set
    double rollAngle;  // radians, the picture turned about the direction of view
};

// Camera sets (type 27): a named path of cameras.
constexpr std::size_t API_CamSetNameLength = 256;
struct API_CamSetType
{
    API_Elem_Head head;
    char16_t name[API_CamSetNameLength];  // zero-terminated
    bool showCams;
    bool closedPath;
    bool smoothPath;
    std::int16_t bezierSteps;
    std::int32_t framesPerCamera;
    bool smoothTarget;
};

union API_Element
{
    // Every record starts cleared.
    API_Element() { std::memset(static_cast<void*>(this), 0, sizeof(API_Element)); }

    API_Elem_Head header;
    API_WallType wall;
    API_ColumnType column;
    API_BeamType beam;
    API_SlabType slab;
    API_MeshType mesh;
    API_RoofType roof;
    API_ObjectType object;  // objects and lamps
    API_WindowType window;  // windows and doors
    API_ZoneType zone;
    API_ShellType shell;
    API_PolyLineType polyLine;
    API_LineType line;
    API_ArcType arc;      // arcs and circles
    API_HatchType hatch;  // fills
    API_SplineType spline;
    API_HotspotType hotspot;
    API_LevelDimensionType levelDimension;
    API_MorphType morph;
    API_CutPlaneType cutPlane;  // sections, elevations, interior elevations
    API_PictureType picture;
    API_CameraType camera;
    API_CamSetType camset;
};

// GDL parameter kinds.
enum APIParType : std::int32_t
{
    APIParT_Real = 1,
    APIParT_Integer = 2,
    APIParT_Boolean = 3,
    APIParT_Length = 4,
    APIParT_Angle = 5,
    APIParT_PenColor = 6,
    APIParT_String = 7,
    APIParT_Material = 8,
};

// One GDL parameter of a placed library part or of a library part's parameter
// list. An array parameter has dimensions and its values row by row.
struct API_AddParType
{
    char name[32] {};
    std::int32_t typeID = APIParT_Real;
    double value = 0.0;  // numbers; booleans as 0.0 and 1.0
    GS::UniString text;  // string parameters
    GS::UniString description;
    std::int32_t flags = 0;
    std::int32_t dim1 = 0;
    std::int32_t dim2 = 0;
    std::vector<double> arrayValues;
    // Arrays of texts: dim1 zero-terminated UTF-16 texts, one after the other,
    // in one zero-filled block.
    std::vector<std::uint8_t> arrayTexts;
};

struct API_PolyArc
{
    std::int32_t begIndex = 0;
    std::int32_t endIndex = 0;
    double arcAngle = 0.0;
};

// One segment of a section's main line: how many of the main-line points are its own.
struct API_SectionSegment
{
    std::int32_t mainCoordCount = 0;
};

// An attribute of a polygon or surface, and whether it overrides the element's own.
struct API_OverriddenAttribute
{
    std::int16_t attributeIndex = 0;
    bool overridden = false;
};

// One polygon of a morph's body: its edges by index (from 1; negative runs the
// edge backwards, 0 separates the contours of one polygon) and its material as an
// index into the body's material table (from 0).
struct API_MorphPolygon
{
    std::vector<std::int32_t> edges;
    std::int32_t materialIndex = 0;
};

// A morph's body as the host's body builder makes it, in the morph's own frame.
// Vertices and edges are named by their index from 1; an edge runs from its first
// vertex to its second. A body without polygons is a handle that is not set.
struct API_MorphBody
{
    std::vector<API_Coord3D> vertices;
    std::vector<std::array<std::int32_t, 2>> edges;
    std::vector<API_MorphPolygon> polygons;
};

// A level point of a mesh: its height above the mesh's level and its vertex id.
struct API_MeshLevelCoord
{
    API_Coord3D c;
    std::int32_t vertexID = 0;
};

// A body under construction in the host; only the host sees inside.
struct API_BodyBuilderData;
using API_BodyBuilder = API_BodyBuilderData*;

// A shell's shape polygon, each part a handle of the host's memory: coordinates
// (API_Coord) and sub-polygon ends (std::int32_t) from entry 1, arcs
// (API_PolyArc) from entry 0, and one body flag byte per coordinate from entry 1.
struct API_ShellShapeHandles
{
    GSHandle coords;
    GSHandle pends;
    GSHandle parcs;
    GSHandle bodyFlags;
};

// A shell's contour: a plan polygon in its own plane, with handles as a shape's.
struct API_ShellContour
{
    API_Polygon poly;
    double plane[12];
    GSHandle coords;
    GSHandle pends;
    GSHandle parcs;
};

// Which parts of a memo a call reads or writes.
constexpr std::uint64_t APIMemoMask_Polygon = 1;
constexpr std::uint64_t APIMemoMask_AddPars = 4;
constexpr std::uint64_t APIMemoMask_Section = 8;  // segments, main line and distance line
constexpr std::uint64_t APIMemoMask_Picture = 32;
constexpr std::uint64_t APIMemoMask_MorphBody = 16;  // the body and its material table
constexpr std::uint64_t APIMemoMask_All = ~std::uint64_t {0};

// The variable part of an element. Polygons use the host's form: coordinates from
// index 1 (entry 0 unused), the closing coordinate equal to the first, and the
// sub-polygon end list (0, count). An empty list is a handle that is not set.
struct API_ElementMemo
{
    std::vector<API_Coord> coords;
    std::vector<std::int32_t> pends;
    std::vector<API_PolyArc> parcs;
    std::vector<API_AddParType> params;
    // Sections, elevations and interior elevations: the segments, the main-line
    // points of all segments in order (from index 0) and the distance line.
    std::vector<API_SectionSegment> sectionSegments;
    std::vector<API_Coord> sectionMainCoords;
    std::vector<API_Coord> sectionDistCoords;
    // Morphs: the body and the materials its polygons name.
    API_MorphBody morphBody;
    std::vector<API_OverriddenAttribute> morphMaterialMapTable;
    // Meshes: outline heights (entry i for coordinate i), level points and the ends
    // of their level lines, and vertex ids (entry 0 the id count).
    std::vector<double> meshPolyZ;
    std::vector<API_MeshLevelCoord> meshLevelCoords;
    std::vector<std::int32_t> meshLevelEnds;
    std::vector<std::int32_t> vertexIDs;
    std::vector<API_Coord> sectionDepthCoords;  // how far the view reaches, when given
    // Pictures: the image as a file of the type the picture was given ("image/bmp").
    // Creating the element hands it to the host: the memo holds none after.
    std::vector<std::uint8_t> pictureData;
    // Shells: their shapes and their contour, in the host's memory; the memo's
    // disposal frees them.
    API_ShellShapeHandles shellShapes[2] {};
    API_ShellContour* shellContours = nullptr;
};

// A part made together with its element: a section's or elevation's marker.
constexpr std::uint32_t APISubElement_MainMarker = 1;
struct API_SubElement
{
    API_Element subElem;
    API_ElementMemo memo;
    std::uint32_t subType = 0;
};

// Data an add-on keeps on an element.
struct API_ElementUserData
{
    std::int32_t dataVersion = 0;
    std::int32_t platformSign = 0;
    std::vector<std::uint8_t> data;
};

// Kinds of element notifications.
enum APINotifyElementKind : std::int32_t
{
    APINotifyElement_New = 1,
    APINotifyElement_Copy = 2,
    APINotifyElement_Change = 3,
    APINotifyElement_Edit = 4,
    APINotifyElement_Delete = 5,
};

// Selection ids ("neig") of whole elements.
constexpr std::int32_t APINeig_Wall = 1;
constexpr std::int32_t APINeig_Symb = 13;  // objects

// The transformation of a user's edit: type "DRAG", "ELEV", "ROTZ", "MIRR",
// "STRE", "VSTR" or "GENE".
struct API_ActTranPars
{
    std::int32_t typeID;
    API_Coord displacement;
    double displacementZ;
    API_Coord origin;
    API_Coord axisVector;
    double cosAngle;
    double sinAngle;
};

// An edit the add-on applies: type "DRAG" (begC to endC), "ELEV" (endC.z - begC.z),
// "ROTZ" (about origC, from begC's direction to endC's) or "MIRR" (over begC-endC).
struct API_EditPars
{
    std::int32_t typeID;
    bool withDelete;  // move the elements instead of copying them
    API_Coord3D origC;
    API_Coord3D begC;
    API_Coord3D endC;
};

// Element tools of HostApplyElementTool: locking, and the display order (back
// to the tool's own order, or to the front).
constexpr std::int32_t APITool_Unlock = FourCC("ULCK");
constexpr std::int32_t APITool_Lock = FourCC("LOCK");
constexpr std::int32_t APITool_ResetOrder = FourCC("ORST");
constexpr std::int32_t APITool_BringToFront = FourCC("OFR0");

// "GELU" (utility request): par1 a placed element's header, par2 a text of
// API_UniIDLength characters that receives the unique id of its library part,
// "{main GUID}-{revision GUID}".
constexpr std::size_t API_UniIDLength = 128;

// "COMP" (utility request): par1 and par2 two unique ids. NoError when they name
// the same part, APIERR_COMPATIBLEPART when the first is another revision of the
// second, APIERR_GENERAL when they name different parts.
// "CLPS" (utility request): par1 and par2 two unique ids. NoError when the first
// part is the second or descends from it, else APIERR_GENERAL.

// What HostGetSelection reports beside the entries: how many elements are
// selected and how many of them the user may edit.
struct API_SelectionInfo
{
    std::int32_t sel_nElem = 0;
    std::int32_t sel_nElemEdit = 0;
};

// Filter bits of HostFilterElement: the user may edit the element; the element
// is reserved for the user (in a solo project every element is).
constexpr std::int32_t APIFilt_IsEditable = 1;
constexpr std::int32_t APIFilt_HasAccessRight = 16;

// The parameter list of a library part, one open at a time: "OPAR" (utility
// request) opens it, par1 the part's index (std::int32_t); "GPVL" reads the value
// list of one of its parameters, par1 an API_GetParamValuesType; "CPAR" closes it.
// The host fills the count and two handles that the caller frees with
// BMKillHandle: the numbers (one double each) and the texts (zero-terminated
// UTF-16 texts, one after the other). "RPAS": par1 a placed element's header; the
// host runs its part's parameter script.
struct API_GetParamValuesType
{
    char name[32] {};
    std::int32_t nValues = 0;
    GSHandle realValues = nullptr;
    GSHandle uniStringValues = nullptr;
};

// The UTF-16 units a text parameter's value holds, its terminator included.
constexpr std::size_t API_AddParTextLength = 256;
