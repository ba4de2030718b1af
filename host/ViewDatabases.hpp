#pragma once
#include <string>

#include "API/AddOnInterface.hpp"
#include "Host.hpp"
#include "ProjectModel.hpp"
#include "Scenario.hpp"

namespace SimHost
{

// The project's view databases and windows: every section, elevation and
// interior elevation makes its view when it is made and takes it along when it
// is deleted, with the drawings made there; layouts and worksheets are views of
// their own. A window shows the floor plan of the current storey, the 3D model
// or one view; bringing it to the front makes its database current.

const ViewDatabase* FindView(const ProjectModel& model, const API_Guid& unId);
const ViewDatabase* ViewOfElement(const ProjectModel& model, const API_Guid& owner);
// The view of a new section, elevation or interior elevation, named as its record.
void MakeElementView(ProjectModel& model, StoredElement& element);
// Forgets the element's view and deletes the elements drawn in it.
void DropElementView(ProjectModel& model, const API_Guid& owner);

// A database given by its identity or its element, completed with the other
// and with its names; false for a view the project does not have. The floor
// plan and the 3D model are always there.
bool CompleteDatabase(const ProjectModel& model, API_DatabaseInfo& database);
// Whether an element made while the database is current is drawn in a view.
bool IsViewDatabase(const API_DatabaseInfo& database);

// "GWIN", "CDAT", "GDBI", "GSDI", "GEDI", "GIED", "GLDI", "GWDI", "NDAT", "GCDB",
// "GZOM" of the database requests, and "CHWD" of the automation requests.
bool IsViewDatabaseRequest(std::int32_t code);
GSErrCode ViewDatabaseRequest(Host& host, std::int32_t code, void* par1, void* par2);
GSErrCode ChangeWindow(Host& host, const API_WindowInfo& window);

// Tells the add-on's view-event handlers that a view was inserted (1) or
// deleted (4) in the project's view map (1).
void NotifyViewEvent(Host& host, std::int32_t event);

std::string DatabaseKindName(std::int32_t type);
// " in <kind> of element n [segment s]" or " in <kind> "<name>"" for an element
// drawn in a view, else empty.
std::string ViewText(const ProjectModel& model, const StoredElement& element);

// Facts: "views" (kind, name and reference id of each view), "front-view" and
// "current-view" (the front window's and the current database's view).
// Verbs:
//   add-view layout|worksheet <name>   a view of its own, its reference id its name
//   delete-view <name>                 deletes the view of that name, with its
//                                      element and everything drawn in it
//   view-rotation <degrees>            turns the floor plan's view
void AddViewFacts(const Host& host, Facts& facts);
void AddViewVerbs(ScenarioVerbs& verbs);

}  // namespace SimHost
