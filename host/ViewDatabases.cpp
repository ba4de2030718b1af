#include "ViewDatabases.hpp"

#include <algorithm>
#include <cmath>
#include <sstream>

#include "HostAngles.hpp"

namespace SimHost
{

namespace
{

constexpr std::int32_t ViewInserted = 1;
constexpr std::int32_t ViewDeleted = 4;

// The element type whose views a database kind shows, 0 for kinds of their own.
API_ElemTypeID OwnerTypeOf(std::int32_t type)
{
    switch (type)
    {
        case APIWind_SectionID: return API_CutPlaneID;
        case APIWind_ElevationID: return API_ElevationID;
        case APIWind_InteriorElevationID: return API_InteriorElevationID;
        default: return 0;
    }
}

std::int32_t ViewKindOfElement(API_ElemTypeID type)
{
    switch (type)
    {
        case API_CutPlaneID: return APIWind_SectionID;
        case API_ElevationID: return APIWind_ElevationID;
        case API_InteriorElevationID: return APIWind_InteriorElevationID;
        default: return 0;
    }
}

bool IsOwnKind(std::int32_t type) { return type == APIWind_LayoutID || type == APIWind_WorksheetID; }

bool IsDatabaseKind(std::int32_t type)
{
    return type == APIWind_FloorPlanID || type == APIWind_3DModelID || OwnerTypeOf(type) != 0 || IsOwnKind(type);
}

// The kind of the database list a request asks for.
std::int32_t ListedKind(std::int32_t code)
{
    if (code == FourCC("GSDI")) return APIWind_SectionID;
    if (code == FourCC("GEDI")) return APIWind_ElevationID;
    if (code == FourCC("GIED")) return APIWind_InteriorElevationID;
    if (code == FourCC("GLDI")) return APIWind_LayoutID;
    if (code == FourCC("GWDI")) return APIWind_WorksheetID;
    return 0;
}

std::string CText(const char* text, std::size_t size) { return std::string(text, strnlen(text, size)); }

void FillFrom(const ViewDatabase& view, API_DatabaseInfo& database)
{
    database.typeID = view.type;
    database.databaseUnId = view.unId;
    database.elementGuid = view.owner;
    database.name = GS::UniString(view.name);
    database.ref = GS::UniString(view.ref);
}

int ElementNumber(const ProjectModel& model, const API_Guid& guid)
{
    for (std::size_t i = 0; i < model.content.elements.size(); ++i)
        if (model.content.elements[i].record.header.guid == guid) return static_cast<int>(i) + 1;
    return 0;
}

GSErrCode FrontWindow(const ProjectModel& model, API_DatabaseInfo& window)
{
    window = API_DatabaseInfo {};
    window.typeID = model.frontWindow;
    window.databaseUnId = model.frontWindowUnId;
    if (const ViewDatabase* view = FindView(model, model.frontWindowUnId)) FillFrom(*view, window);
    return NoError;
}

GSErrCode MakeCurrent(ProjectModel& model, const API_DatabaseInfo& wanted)
{
    if (!IsDatabaseKind(wanted.typeID)) return APIERR_BADPARS;
    API_DatabaseInfo database = wanted;
    if (!CompleteDatabase(model, database)) return APIERR_BADID;
    model.currentDatabase = database;
    return NoError;
}

GSErrCode DatabaseInfo(const ProjectModel& model, API_DatabaseInfo& database)
{
    const ViewDatabase* view = FindView(model, database.databaseUnId);
    if (view == nullptr || view->type != database.typeID) return APIERR_BADID;
    FillFrom(*view, database);
    return NoError;
}

GSErrCode ListViews(const ProjectModel& model, std::int32_t kind, std::vector<API_Guid>& list)
{
    list.clear();
    for (const ViewDatabase& view : model.content.views)
        if (view.type == kind) list.push_back(view.unId);
    return NoError;
}

GSErrCode NewView(ProjectModel& model, API_DatabaseInfo& database)
{
    if (!IsOwnKind(database.typeID)) return APIERR_BADPARS;
    ViewDatabase view;
    view.type = database.typeID;
    view.unId = model.NewGuid();
    view.name = database.name.ToUtf8();
    view.ref = database.ref.ToUtf8();
    model.content.views.push_back(view);
    model.MarkChanged();
    FillFrom(view, database);
    return NoError;
}

GSErrCode ContainingDatabase(const ProjectModel& model, const API_Guid& element, API_DatabaseInfo& database)
{
    const StoredElement* stored = model.Find(element);
    if (stored == nullptr) return APIERR_BADID;
    database = API_DatabaseInfo {};
    if (stored->view)
    {
        database = *stored->view;
        CompleteDatabase(model, database);
    }
    else
    {
        database.typeID = APIWind_FloorPlanID;
    }
    return NoError;
}

// Only the floor plan's view is turned; every other view shows its plane as it is.
void ViewTransformation(const ProjectModel& model, API_Tranmat& tranmat)
{
    const double angle = model.currentDatabase.typeID == APIWind_FloorPlanID ? model.planRotation : 0.0;
    const double c = std::cos(angle), s = std::sin(angle);
    const double rows[12] = {c, -s, 0, 0, s, c, 0, 0, 0, 0, 1, 0};
    std::copy(std::begin(rows), std::end(rows), std::begin(tranmat.tmx));
}

GSErrCode Zoom(const ProjectModel& model, API_Box* box, API_Tranmat* tranmat)
{
    if (box != nullptr) *box = model.zoom ? *model.zoom : API_Box {0.0, 0.0, 10.0, 10.0};
    if (tranmat != nullptr) ViewTransformation(model, *tranmat);
    return NoError;
}

void DeleteView(ProjectModel& model, const ViewDatabase& view)
{
    const API_Guid unId = view.unId;
    const API_Guid owner = view.owner;
    model.content.elements.EraseIf([&](const StoredElement& e) {
        return (owner != APINULLGuid && e.record.header.guid == owner) || (e.view && e.view->databaseUnId == unId);
    });
    if (owner != APINULLGuid) DropElementView(model, owner);
    auto& views = model.content.views;
    views.erase(std::remove_if(views.begin(), views.end(), [&](const ViewDatabase& v) { return v.unId == unId; }), views.end());
    model.MarkChanged();
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

}  // namespace

const ViewDatabase* FindView(const ProjectModel& model, const API_Guid& unId)
{
    if (unId == APINULLGuid) return nullptr;
    for (const ViewDatabase& view : model.content.views)
        if (view.unId == unId) return &view;
    return nullptr;
}

const ViewDatabase* ViewOfElement(const ProjectModel& model, const API_Guid& owner)
{
    if (owner == APINULLGuid) return nullptr;
    for (const ViewDatabase& view : model.content.views)
        if (view.owner == owner) return &view;
    return nullptr;
}

void MakeElementView(ProjectModel& model, StoredElement& element)
{
    const std::int32_t kind = ViewKindOfElement(element.record.header.typeID);
    if (kind == 0 || ViewOfElement(model, element.record.header.guid) != nullptr) return;
    ViewDatabase view;
    view.type = kind;
    view.unId = model.NewGuid();
    view.owner = element.record.header.guid;
    view.name = CText(element.record.cutPlane.name, sizeof element.record.cutPlane.name);
    view.ref = CText(element.record.cutPlane.referenceId, sizeof element.record.cutPlane.referenceId);
    model.content.views.push_back(view);
    element.record.cutPlane.viewDatabase = view.unId;
}

void DropElementView(ProjectModel& model, const API_Guid& owner)
{
    auto& views = model.content.views;
    const auto found = std::find_if(views.begin(), views.end(), [&](const ViewDatabase& v) { return v.owner == owner; });
    if (found == views.end()) return;
    const API_Guid unId = found->unId;
    views.erase(found);
    model.content.elements.EraseIf(
        [&](const StoredElement& e) { return e.view && (e.view->elementGuid == owner || e.view->databaseUnId == unId); });
}

bool CompleteDatabase(const ProjectModel& model, API_DatabaseInfo& database)
{
    if (database.typeID == APIWind_FloorPlanID || database.typeID == APIWind_3DModelID) return true;
    const ViewDatabase* view = FindView(model, database.databaseUnId);
    if (view == nullptr && database.databaseUnId == APINULLGuid) view = ViewOfElement(model, database.elementGuid);
    if (view != nullptr && view->type == database.typeID)
    {
        const std::int32_t segment = database.segmentNumber;
        FillFrom(*view, database);
        database.segmentNumber = segment;
        return true;
    }
    // A view named by an element the project does not know stays as it was given.
    return database.databaseUnId == APINULLGuid && !IsOwnKind(database.typeID);
}

bool IsViewDatabase(const API_DatabaseInfo& database)
{
    if (OwnerTypeOf(database.typeID) != 0) return database.elementGuid != APINULLGuid;
    return IsOwnKind(database.typeID) && database.databaseUnId != APINULLGuid;
}

bool IsViewDatabaseRequest(std::int32_t code)
{
    return code == FourCC("GWIN") || code == FourCC("CDAT") || code == FourCC("GDBI") || ListedKind(code) != 0 ||
           code == FourCC("NDAT") || code == FourCC("GCDB") || code == FourCC("GZOM");
}

GSErrCode ViewDatabaseRequest(Host& host, std::int32_t code, void* par1, void* par2)
{
    ProjectModel& model = host.model_;
    host.Log("HostDatabaseRequest " + FourCCText(code));
    if (code == FourCC("GZOM")) return Zoom(model, static_cast<API_Box*>(par1), static_cast<API_Tranmat*>(par2));
    if (par1 == nullptr) return APIERR_BADPARS;
    if (code == FourCC("GWIN")) return FrontWindow(model, *static_cast<API_DatabaseInfo*>(par1));
    if (code == FourCC("CDAT")) return MakeCurrent(model, *static_cast<const API_DatabaseInfo*>(par1));
    if (code == FourCC("GDBI")) return DatabaseInfo(model, *static_cast<API_DatabaseInfo*>(par1));
    if (ListedKind(code) != 0) return ListViews(model, ListedKind(code), *static_cast<std::vector<API_Guid>*>(par1));
    if (code == FourCC("NDAT")) return NewView(model, *static_cast<API_DatabaseInfo*>(par1));
    if (par2 == nullptr) return APIERR_BADPARS;
    return ContainingDatabase(model, *static_cast<const API_Guid*>(par1), *static_cast<API_DatabaseInfo*>(par2));
}

GSErrCode ChangeWindow(Host& host, const API_WindowInfo& window)
{
    ProjectModel& model = host.model_;
    host.Log("HostAutomationRequest CHWD " + DatabaseKindName(window.typeID));
    API_DatabaseInfo database = window;
    if (!IsDatabaseKind(database.typeID)) return APIERR_BADPARS;
    if (!CompleteDatabase(model, database)) return APIERR_BADID;
    if (database.typeID != APIWind_FloorPlanID && database.typeID != APIWind_3DModelID && !IsViewDatabase(database))
        return APIERR_BADID;
    model.frontWindow = database.typeID;
    model.frontWindowUnId = database.databaseUnId;
    model.currentDatabase = database;
    return NoError;
}

void NotifyViewEvent(Host& host, std::int32_t event)
{
    constexpr std::int32_t ProjectMap = 1;
    const std::vector<ViewEventCatch> catches = host.viewEvents_;
    for (const ViewEventCatch& caught : catches)
    {
        if ((caught.mask & event) == 0 || caught.map != ProjectMap || caught.handler == nullptr) continue;
        API_NotifyViewEventType notification;
        notification.notifID = event;
        notification.mapId = caught.map;
        caught.handler(&notification);
    }
}

std::string DatabaseKindName(std::int32_t type)
{
    switch (type)
    {
        case APIWind_FloorPlanID: return "floorplan";
        case APIWind_SectionID: return "section";
        case APIWind_3DModelID: return "3d";
        case APIWind_LayoutID: return "layout";
        case APIWind_ElevationID: return "elevation";
        case APIWind_InteriorElevationID: return "interior-elevation";
        case APIWind_WorksheetID: return "worksheet";
        default: return std::to_string(type);
    }
}

std::string ViewText(const ProjectModel& model, const StoredElement& element)
{
    if (!element.view) return "";
    const API_DatabaseInfo& view = *element.view;
    if (IsOwnKind(view.typeID))
    {
        const ViewDatabase* own = FindView(model, view.databaseUnId);
        return " in " + DatabaseKindName(view.typeID) + " " + Quoted(own != nullptr ? own->name : "?");
    }
    std::string text =
        " in " + DatabaseKindName(view.typeID) + " of element " + std::to_string(ElementNumber(model, view.elementGuid));
    if (view.typeID == APIWind_InteriorElevationID) text += " segment " + std::to_string(view.segmentNumber + 1);
    return text;
}

namespace
{

std::string ViewName(const ProjectModel& model, std::int32_t kind, const API_Guid& unId)
{
    std::string text = DatabaseKindName(kind);
    if (const ViewDatabase* view = FindView(model, unId)) text += " " + Quoted(view->name);
    return text;
}

ScenarioVerb OnHost(std::function<bool(Scenario&, Host&, std::istringstream&)> body)
{
    return [body](Scenario& scenario, std::istringstream& args) {
        Host* host = scenario.GetHost();
        return host != nullptr ? body(scenario, *host, args) : scenario.Fail("this action needs a started host");
    };
}

}  // namespace

void AddViewFacts(const Host& host, Facts& facts)
{
    const ProjectModel& model = host.model_;
    std::string views;
    for (const ViewDatabase& view : model.content.views)
        views += (views.empty() ? "" : " ") + DatabaseKindName(view.type) + ":" + Quoted(view.name) + "[" + view.ref + "]";
    facts["views"] = views.empty() ? "none" : views;
    facts["front-view"] = ViewName(model, model.frontWindow, model.frontWindowUnId);
    facts["current-view"] = ViewName(model, model.currentDatabase.typeID, model.currentDatabase.databaseUnId);
}

void AddViewVerbs(ScenarioVerbs& verbs)
{
    verbs["add-view"] = OnHost([](Scenario& s, Host& host, std::istringstream& args) {
        std::string kind;
        args >> kind;
        const std::string name = Scenario::Rest(args);
        API_DatabaseInfo database {};
        database.typeID = kind == "layout" ? APIWind_LayoutID : kind == "worksheet" ? APIWind_WorksheetID : 0;
        if (database.typeID == 0 || name.empty()) return s.Fail("add-view layout|worksheet <name>");
        database.name = GS::UniString(name);
        database.ref = GS::UniString(name);
        if (NewView(host.model_, database) != NoError) return s.Fail("the host made no view");
        NotifyViewEvent(host, ViewInserted);
        return true;
    });
    verbs["delete-view"] = OnHost([](Scenario& s, Host& host, std::istringstream& args) {
        const std::string name = Scenario::Rest(args);
        for (const ViewDatabase& view : host.model_.content.views)
            if (view.name == name)
            {
                DeleteView(host.model_, ViewDatabase(view));
                NotifyViewEvent(host, ViewDeleted);
                return true;
            }
        return s.Fail("no view named \"" + name + "\"");
    });
    verbs["view-rotation"] = OnHost([](Scenario& s, Host& host, std::istringstream& args) {
        double degrees = 0.0;
        if (!(args >> degrees) || !std::isfinite(degrees)) return s.Fail("view-rotation <degrees>");
        host.model_.planRotation = degrees * Pi / 180.0;
        return true;
    });
}

}  // namespace SimHost
