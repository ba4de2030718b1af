#pragma once
#include <vector>

#include "API/AddOnInterface.hpp"
#include "Host.hpp"
#include "ProjectModel.hpp"
#include "Scenario.hpp"

namespace SimHost
{

// Windows and doors live in their wall: a straight or curved wall holds them at
// their position along its reference line, a polygonal wall at their start point
// and direction in its frame. They move with their wall and go with it.

bool IsOpening(API_ElemTypeID type);

// An opening needs a wall as its owner, a polygonal wall its outline; 0 when the
// record may be stored.
GSErrCode CheckWallOrOpening(const ProjectModel& model, const API_Element& element, const API_ElementMemo& memo);

// A polygonal wall takes the begin and end of its outline's first edge.
void FitPolygonalWallToOutline(API_Element& element, const API_ElementMemo& memo);

// A straight wall changed into a trapezoid wall gets its outline in its memo:
// along the left face from begin to end, back along the right one, closed.
void FitTrapezoidWallOutline(API_Element& element, API_ElementMemo& memo);

// A straight or curved wall reports its outline's counts: four corners closed,
// and a curved wall's two faces as arcs.
void ReportWallOutline(API_Element& element);

// The plan outline of a straight or curved wall's body, along its left face
// from begin to end and back along its right one.
std::vector<API_Coord> WallFootprint(const API_WallType& wall);

// The contours of a memo's polygon: coordinates from index 1, each contour ending
// where the end list says, its closing coordinate left out.
std::vector<std::vector<API_Coord>> MemoContours(const API_ElementMemo& memo);

// A wall's plan outline: a polygonal or trapezoid wall's memo polygon, else its footprint.
std::vector<std::vector<API_Coord>> WallContours(const StoredElement& wall);

// The plan outline of an opening in its wall; empty without the wall.
std::vector<API_Coord> OpeningPlanOutline(const ProjectModel& model, const StoredElement& opening);

// The windows (type 4) or doors (type 5) the wall holds, in the project's order.
std::vector<API_Guid> OpeningsOfWall(const ProjectModel& model, const API_Guid& wall, API_ElemTypeID type);

// The box of an opening in its wall; false without the wall.
bool OpeningBox(const ProjectModel& model, const StoredElement& opening, API_Box3D& box);

// An opening alone: a drag moves it along its wall and changes its sill by the
// drag's height, an elevation changes its sill; a turn or a mirror is refused.
GSErrCode EditOpening(const ProjectModel& model, StoredElement& opening, const API_EditPars& edit);

// The openings that the walls hold.
std::vector<API_Guid> OpeningsOfWalls(const ProjectModel& model, const std::vector<API_Guid>& walls);

// "OPAR", "GPVL", "CPAR" and "RPAS"; false for another request.
bool IsOpeningUtilityRequest(std::int32_t code);
GSErrCode OpeningUtilityRequest(ProjectModel& model, std::int32_t code, void* par1);

// Facts:
//   openings        a table of every wall's openings, for a person to read
//   opening <w>.<k> one row of it: the k-th opening (from 1) of the wall that is element w
void AddOpeningFacts(const Host& host, Facts& facts);

// Verbs:
//   add-wall <x1> <y1> <x2> <y2> [thickness [reference-line [storey [bottom-offset]]]]
//   add-curved-wall <x1> <y1> <x2> <y2> <arc angle> <thickness> <height> [storey]
//   add-polygon-wall <storey> <x1> <y1> <x2> <y2> <x3> <y3> [...]   the outline, closed by the host
//   part-parameter <index> <name> <number>|<text>   a GDL parameter of a library part
//   part-value-list <index> <name> <text>[|<text>...]
//   tool-part <4|5|6|7> <index>    the window, door, object or lamp tool places that part
void AddOpeningVerbs(ScenarioVerbs& verbs);

}  // namespace SimHost
