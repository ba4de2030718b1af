// The facts scenarios read of the project's elements, layers, storeys and views,
// and the verbs with which a scenario sets them up or acts as the user.
#include "ElementServices.hpp"

#include <cmath>
#include <map>
#include <sstream>

#include "ElementDescriptions.hpp"
#include "HostAngles.hpp"
#include "NumberText.hpp"
#include "OpeningElements.hpp"
#include "PictureElements.hpp"
#include "SectionViews.hpp"
#include "SelectionServices.hpp"
#include "ViewDatabases.hpp"

namespace SimHost
{

namespace
{

std::string Join(const std::vector<std::string>& parts, const std::string& none = "none")
{
    if (parts.empty()) return none;
    std::string out;
    for (const std::string& p : parts) out += (out.empty() ? "" : " ") + p;
    return out;
}

std::string DatabaseName(std::int32_t type) { return DatabaseKindName(type); }

std::string ParameterOf(const ToolDefaults& defaults, const char* name)
{
    for (const API_AddParType& p : defaults.memo.params)
        if (std::string(p.name) == name) return NumberText(p.value, 12);
    return "-";
}

// The sizes and angles that the measuring tools write into a tool's defaults.
std::string DefaultSizes(API_ElemTypeID type, const ToolDefaults& defaults)
{
    const API_Element& e = defaults.record;
    switch (type)
    {
        case API_BeamID: return "width " + NumberText(e.beam.width, 12) + " height " + NumberText(e.beam.height, 12);
        case API_ColumnID:
            return "size " + NumberText(e.column.width, 12) + "x" + NumberText(e.column.depth, 12) + " rotation " +
                   NumberText(e.column.axisRotationAngle, 12);
        default:
            return "angle " + NumberText(e.object.angle, 12) + " a " + ParameterOf(defaults, "a") + " b " +
                   ParameterOf(defaults, "b");
    }
}

int ElementNumber(const ProjectModel& model, const API_Guid& guid)
{
    for (std::size_t i = 0; i < model.content.elements.size(); ++i)
        if (model.content.elements[i].record.header.guid == guid) return static_cast<int>(i) + 1;
    return 0;
}

using ModelVerb = std::function<bool(Scenario&, Host&, ProjectModel&, std::istringstream&)>;

ScenarioVerb OnModel(ModelVerb body)
{
    return [body](Scenario& scenario, std::istringstream& args) {
        Host* host = scenario.GetHost();
        if (host == nullptr) return scenario.Fail("this action needs a started host");
        return body(scenario, *host, host->model_, args);
    };
}

ScenarioVerb LayerFlagVerb(std::int32_t flag, bool set)
{
    return OnModel([flag, set](Scenario& scenario, Host&, ProjectModel& model, std::istringstream& args) {
        int index = 0;
        if (!(args >> index)) return scenario.Fail("a layer index is needed");
        const auto it = model.content.layers.find(static_cast<std::int16_t>(index));
        if (it == model.content.layers.end()) return scenario.Fail("no layer " + std::to_string(index));
        it->second.flags = set ? (it->second.flags | flag) : (it->second.flags & ~flag);
        return true;
    });
}

StoredElement* NthElement(Scenario& scenario, ProjectModel& model, std::istringstream& args)
{
    std::size_t n = 0;
    if (!(args >> n) || n < 1 || n > model.content.elements.size())
    {
        scenario.Fail("no such element");
        return nullptr;
    }
    return &model.content.elements[n - 1];
}

// The element whose view a section-type window shows, and for an interior
// elevation the segment (from 1); a window without an element shows none.
bool ReadViewOwner(Scenario& scenario, ProjectModel& model, std::istringstream& args, API_DatabaseInfo& view)
{
    std::size_t n = 0;
    if (!(args >> n)) return true;
    if (n < 1 || n > model.content.elements.size() || CutPlaneTypeOfWindow(view.typeID) == 0 ||
        model.content.elements[n - 1].record.header.typeID != CutPlaneTypeOfWindow(view.typeID))
        return scenario.Fail("element " + std::to_string(n) + " has no view of that kind");
    const StoredElement& owner = model.content.elements[n - 1];
    view.elementGuid = owner.record.header.guid;
    std::int32_t segment = 1;
    if (!Scenario::OptionalNumber(args, segment, 1, std::max(1, owner.record.cutPlane.segmentCount)))
        return scenario.Fail("no such segment");
    view.segmentNumber = segment - 1;
    return true;
}

// "3" or "3,4": elements by their number (from 1).
bool ElementsListed(Scenario& scenario, ProjectModel& model, std::istringstream& args, std::vector<API_Guid>& guids)
{
    std::string list;
    args >> list;
    std::istringstream numbers(list);
    for (std::string number; std::getline(numbers, number, ',');)
    {
        std::istringstream one(number);
        if (NthElement(scenario, model, one) == nullptr) return false;
        guids.push_back(model.content.elements[std::stoul(number) - 1].record.header.guid);
    }
    return !guids.empty() || scenario.Fail("no such element");
}

bool ReadUserTransformation(std::istringstream& args, API_ActTranPars& t)
{
    std::string kind;
    args >> kind;
    t = API_ActTranPars {};
    if (kind == "drag")
    {
        t.typeID = FourCC("DRAG");
        return static_cast<bool>(args >> t.displacement.x >> t.displacement.y >> t.displacementZ);
    }
    if (kind == "elevate")
    {
        t.typeID = FourCC("ELEV");
        return static_cast<bool>(args >> t.displacementZ);
    }
    if (kind == "rotate")
    {
        double degrees = 0.0;
        t.typeID = FourCC("ROTZ");
        if (!(args >> t.origin.x >> t.origin.y >> degrees)) return false;
        t.cosAngle = std::cos(degrees * Pi / 180.0);
        t.sinAngle = std::sin(degrees * Pi / 180.0);
        return true;
    }
    if (kind == "mirror")
    {
        t.typeID = FourCC("MIRR");
        return static_cast<bool>(args >> t.origin.x >> t.origin.y >> t.axisVector.x >> t.axisVector.y);
    }
    return false;
}

}  // namespace

void AddElementFacts(const Host& host, Facts& facts)
{
    const ProjectModel& model = host.model_;
    std::map<API_ElemTypeID, int> counts;
    for (const StoredElement& e : model.content.elements) ++counts[e.record.header.typeID];
    std::vector<std::string> parts;
    for (const auto& [type, count] : counts) parts.push_back(ElemTypeName(type) + ":" + std::to_string(count));
    facts["elements"] = Join(parts);
    for (std::size_t i = 0; i < model.content.elements.size(); ++i)
    {
        const StoredElement& element = model.content.elements[i];
        facts["element " + std::to_string(i + 1)] = DescribeElement(element) + ViewText(model, element);
        // A plain wall's description leaves its thickness out.
        if (element.record.header.typeID == API_WallID)
            facts["thickness " + std::to_string(i + 1)] = NumberText(element.record.wall.thickness, 12);
    }
    facts["undo-steps"] = std::to_string(model.undoSteps.size());
    for (const API_ElemTypeID type : {API_BeamID, API_ColumnID, API_ObjectID, API_LampID})
    {
        const auto defaults = model.content.defaults.find({type, 0});
        if (defaults != model.content.defaults.end())
            facts["defaults " + ElemTypeName(type)] = DefaultSizes(type, defaults->second);
    }
    parts.clear();
    for (const auto& [index, layer] : model.content.layers)
    {
        std::string text = std::to_string(index) + ":" + layer.name;
        if ((layer.flags & APILay_Hidden) != 0) text += "[hidden]";
        if ((layer.flags & APILay_Locked) != 0) text += "[locked]";
        parts.push_back(text);
    }
    facts["layers"] = Join(parts);
    parts.clear();
    for (const API_Neig& n : model.selection) parts.push_back(std::to_string(ElementNumber(model, n.guid)));
    facts["selection"] = Join(parts);
    facts["zoom"] = model.zoom ? "(" + NumberText(model.zoom->xMin, 12) + "," + NumberText(model.zoom->yMin, 12) + ")-(" +
                                     NumberText(model.zoom->xMax, 12) + "," + NumberText(model.zoom->yMax, 12) + ")"
                               : "none";
    parts.clear();
    for (const auto& [index, level] : model.content.storeyLevels)
        parts.push_back(std::to_string(index) + ":" + NumberText(level, 12));
    facts["storeys"] = Join(parts);
    facts["front-window"] = DatabaseName(model.frontWindow);
    facts["database"] = DatabaseName(model.currentDatabase.typeID);
    facts["offset"] = NumberText(model.content.locationOffset.x, 12) + " " + NumberText(model.content.locationOffset.y, 12);
    AddSelectionFacts(host, facts);
    AddViewFacts(host, facts);
    AddPictureFacts(host, facts);
    AddOpeningFacts(host, facts);
}

// Verbs:
//   add-layer <index> <name>  |  hide-layer, show-layer, lock-layer, unlock-layer, delete-layer <index>
//   tool-layer <type> <layer>        the tool default's layer
//   add-storey <index> <level> [name]   storeys stay contiguous
//   name-storey <index> <name>
//   storey-numbers-from-one          the storey numbering counts storey 0 as 1
//   front-window <floorplan|section|3d|elevation|interior-elevation> [n [segment]]
//                                    a section-type window shows the view of the nth
//                                    element (from 1), an interior elevation one segment (from 1)
//   offset <x> <y>                   the project location offset
//   lock-element <n>                 the nth element (from 1)
//   unlock-element <n>
//   user-edit <n>[,<m>...] drag dx dy dz | elevate dz | rotate cx cy degrees | mirror px py ax ay
//                                    one edit of all of them
//   user-delete <n>
//   user-copy <n>[,<m>...] <dx> <dy> <dz>   copies, moved
//   user-place <library index> <x> <y> <z> [degrees]   an object placed from the library
//   undo
void AddElementVerbs(ScenarioVerbs& verbs)
{
    AddSelectionVerbs(verbs);
    AddSectionVerbs(verbs);
    AddViewVerbs(verbs);
    AddPictureVerbs(verbs);
    AddOpeningVerbs(verbs);
    verbs["add-layer"] = OnModel([](Scenario& scenario, Host&, ProjectModel& model, std::istringstream& args) {
        int index = 0;
        if (!(args >> index) || index <= 0 || index > 32767) return scenario.Fail("a layer index from 1 is needed");
        model.content.layers[static_cast<std::int16_t>(index)] = LayerEntry {Scenario::Rest(args), 0};
        return true;
    });
    verbs["hide-layer"] = LayerFlagVerb(APILay_Hidden, true);
    verbs["show-layer"] = LayerFlagVerb(APILay_Hidden, false);
    verbs["lock-layer"] = LayerFlagVerb(APILay_Locked, true);
    verbs["unlock-layer"] = LayerFlagVerb(APILay_Locked, false);
    verbs["delete-layer"] = OnModel([](Scenario& scenario, Host&, ProjectModel& model, std::istringstream& args) {
        int index = 0;
        if (!(args >> index) || model.content.layers.erase(static_cast<std::int16_t>(index)) == 0)
            return scenario.Fail("no such layer");
        return true;
    });
    verbs["tool-layer"] = OnModel([](Scenario& scenario, Host&, ProjectModel& model, std::istringstream& args) {
        int type = 0, layer = 0;
        if (!(args >> type >> layer) || !IsKnownType(type)) return scenario.Fail("tool-layer <type> <layer>");
        model.DefaultsFor(type, 0).record.header.layer = static_cast<std::int16_t>(layer);
        return true;
    });
    verbs["add-storey"] = OnModel([](Scenario& scenario, Host&, ProjectModel& model, std::istringstream& args) {
        int index = 0;
        double level = 0.0;
        if (!(args >> index >> level)) return scenario.Fail("add-storey <index> <level> [name]");
        auto& levels = model.content.storeyLevels;
        if (!levels.empty() && levels.count(static_cast<std::int16_t>(index)) == 0 && index != levels.begin()->first - 1 &&
            index != levels.rbegin()->first + 1)
            return scenario.Fail("storeys must stay contiguous");
        levels[static_cast<std::int16_t>(index)] = level;
        model.content.storeyNames[static_cast<std::int16_t>(index)] = Scenario::Rest(args);
        return true;
    });
    verbs["name-storey"] = OnModel([](Scenario& scenario, Host&, ProjectModel& model, std::istringstream& args) {
        int index = 0;
        if (!(args >> index) || model.content.storeyLevels.count(static_cast<std::int16_t>(index)) == 0)
            return scenario.Fail("name-storey <index of a storey> <name>");
        model.content.storeyNames[static_cast<std::int16_t>(index)] = Scenario::Rest(args);
        return true;
    });
    verbs["storey-numbers-from-one"] = OnModel([](Scenario&, Host&, ProjectModel& model, std::istringstream&) {
        model.storeysNumberedFromOne = true;
        return true;
    });
    verbs["front-window"] = OnModel([](Scenario& scenario, Host&, ProjectModel& model, std::istringstream& args) {
        std::string name;
        args >> name;
        for (const std::int32_t type :
             {APIWind_FloorPlanID, APIWind_SectionID, APIWind_3DModelID, APIWind_ElevationID, APIWind_InteriorElevationID})
            if (DatabaseName(type) == name)
            {
                API_DatabaseInfo view {};
                view.typeID = type;
                if (!ReadViewOwner(scenario, model, args, view)) return false;
                CompleteDatabase(model, view);
                model.frontWindow = type;
                model.frontWindowUnId = view.databaseUnId;
                model.currentDatabase = view;
                return true;
            }
        return scenario.Fail("unknown window '" + name + "'");
    });
    verbs["offset"] = OnModel([](Scenario& scenario, Host&, ProjectModel& model, std::istringstream& args) {
        API_Coord offset;
        if (!(args >> offset.x >> offset.y)) return scenario.Fail("offset <x> <y>");
        model.content.locationOffset = offset;
        return true;
    });
    verbs["lock-element"] = OnModel([](Scenario& scenario, Host&, ProjectModel& model, std::istringstream& args) {
        StoredElement* element = NthElement(scenario, model, args);
        if (element == nullptr) return false;
        element->record.header.lockId = 1;
        return true;
    });
    verbs["unlock-element"] = OnModel([](Scenario& scenario, Host&, ProjectModel& model, std::istringstream& args) {
        StoredElement* element = NthElement(scenario, model, args);
        if (element == nullptr) return false;
        element->record.header.lockId = 0;
        return true;
    });
    verbs["user-edit"] = OnModel([](Scenario& scenario, Host& host, ProjectModel& model, std::istringstream& args) {
        std::vector<API_Guid> guids;
        API_ActTranPars transformation;
        if (!ElementsListed(scenario, model, args, guids)) return false;
        if (!ReadUserTransformation(args, transformation)) return scenario.Fail("unknown or incomplete edit");
        const GSErrCode result = UserEditElements(host, guids, transformation);
        return result == NoError || scenario.Fail("the host refused the edit: " + std::to_string(result));
    });
    verbs["user-copy"] = OnModel([](Scenario& scenario, Host& host, ProjectModel& model, std::istringstream& args) {
        std::vector<API_Guid> guids;
        API_Coord3D displacement;
        if (!ElementsListed(scenario, model, args, guids)) return false;
        if (!(args >> displacement.x >> displacement.y >> displacement.z))
            return scenario.Fail("user-copy <n>[,<m>...] <dx> <dy> <dz>");
        const GSErrCode result = UserCopyElements(host, guids, displacement);
        return result == NoError || scenario.Fail("the host refused the copy: " + std::to_string(result));
    });
    verbs["user-place"] = OnModel([](Scenario& scenario, Host& host, ProjectModel&, std::istringstream& args) {
        std::int32_t index = 0;
        API_Coord3D position;
        double angle = 0.0;
        if (!(args >> index >> position.x >> position.y >> position.z))
            return scenario.Fail("user-place <library index> <x> <y> <z> [degrees]");
        if (args >> angle) angle *= Pi / 180.0;
        const GSErrCode result = UserPlaceObject(host, index, position, angle);
        return result == NoError || scenario.Fail("the host refused the placement: " + std::to_string(result));
    });
    verbs["user-delete"] = OnModel([](Scenario& scenario, Host& host, ProjectModel& model, std::istringstream& args) {
        StoredElement* element = NthElement(scenario, model, args);
        if (element == nullptr) return false;
        const GSErrCode result = UserDeleteElement(host, element->record.header.guid);
        return result == NoError || scenario.Fail("the host refused the deletion: " + std::to_string(result));
    });
    verbs["undo"] = OnModel([](Scenario& scenario, Host&, ProjectModel& model, std::istringstream&) {
        return model.Undo() || scenario.Fail("nothing to undo");
    });
}

}  // namespace SimHost
