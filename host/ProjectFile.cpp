#include "ProjectFile.hpp"

#include <cstring>
#include <filesystem>
#include <limits>
#include <type_traits>

#include <nlohmann/json.hpp>

#include "ElementDescriptions.hpp"
#include "HostFiles.hpp"
#include "LibraryServices.hpp"
#include "MorphBodies.hpp"
#include "ShellElements.hpp"

namespace SimHost
{

namespace
{

using nlohmann::json;

// A whole number of the field's own type; anything else (a fraction, a number
// out of the type's range, a text) refuses the file rather than wrapping.
template <typename T>
T IntegerFrom(const json& value, const std::string& what)
{
    static_assert(std::is_integral_v<T>);
    const auto outOfRange = [&] { return std::runtime_error(what + " is out of range: " + value.dump()); };
    if (value.is_number_unsigned())
    {
        if (value.get<std::uint64_t>() > static_cast<std::uint64_t>(std::numeric_limits<T>::max())) throw outOfRange();
    }
    else if (value.is_number_integer())
    {
        const auto number = value.get<std::int64_t>();
        if (number < static_cast<std::int64_t>(std::numeric_limits<T>::min()) ||
            (number > 0 && static_cast<std::uint64_t>(number) > static_cast<std::uint64_t>(std::numeric_limits<T>::max())))
            throw outOfRange();
    }
    else if (value.is_number())
    {
        throw outOfRange();
    }
    else
    {
        throw std::runtime_error(what + " is no number: " + value.dump());
    }
    return value.get<T>();
}

template <typename T>
std::vector<T> IntegersFrom(const json& list, const std::string& what)
{
    if (!list.is_array()) throw std::runtime_error(what + " is no list");
    std::vector<T> numbers;
    for (const json& value : list) numbers.push_back(IntegerFrom<T>(value, what));
    return numbers;
}

// An optional whole number, its fallback when the field is missing.
template <typename T>
T IntegerOr(const json& object, const char* key, T fallback, const std::string& what)
{
    return object.contains(key) ? IntegerFrom<T>(object.at(key), what) : fallback;
}

json CoordsJson(const std::vector<API_Coord>& coords)
{
    json list = json::array();
    for (const API_Coord& c : coords) list.push_back({c.x, c.y});
    return list;
}

std::vector<API_Coord> CoordsFrom(const json& list)
{
    std::vector<API_Coord> coords;
    for (const json& c : list) coords.push_back({c.at(0).get<double>(), c.at(1).get<double>()});
    return coords;
}

std::vector<std::uint8_t> HexFrom(const json& text, const std::string& what)
{
    std::vector<std::uint8_t> bytes;
    if (!BytesFromHex(text.get<std::string>(), bytes)) throw std::runtime_error(what + " is no hex text");
    return bytes;
}

std::string GuidText(const API_Guid& guid) { return APIGuid2GSGuid(guid).ToText(true); }

API_Guid GuidFrom(const json& text, const std::string& what)
{
    const std::string braced = text.get<std::string>();
    GS::Guid guid;
    if (braced.size() != 38 || !guid.FromText(braced.substr(1, 36))) throw std::runtime_error(what + " is no GUID: " + braced);
    return GSGuid2APIGuid(guid);
}

// A morph's body and its material table; nothing when the memo holds no body.
json MorphBodyJson(const API_ElementMemo& memo)
{
    const API_MorphBody& body = memo.morphBody;
    json out {{"vertices", json::array()}, {"edges", json::array()}, {"polygons", json::array()}, {"materials", json::array()}};
    for (const API_Coord3D& v : body.vertices) out["vertices"].push_back({v.x, v.y, v.z});
    for (const auto& edge : body.edges) out["edges"].push_back(edge);
    for (const API_MorphPolygon& polygon : body.polygons)
        out["polygons"].push_back({{"edges", polygon.edges}, {"material", polygon.materialIndex}});
    for (const API_OverriddenAttribute& material : memo.morphMaterialMapTable)
        out["materials"].push_back({material.attributeIndex, material.overridden});
    return out;
}

void MorphBodyFrom(const json& in, API_ElementMemo& memo)
{
    API_MorphBody& body = memo.morphBody;
    for (const json& v : in.at("vertices"))
        body.vertices.push_back({v.at(0).get<double>(), v.at(1).get<double>(), v.at(2).get<double>()});
    for (const json& edge : in.at("edges"))
        body.edges.push_back(
            {IntegerFrom<std::int32_t>(edge.at(0), "a morph edge"), IntegerFrom<std::int32_t>(edge.at(1), "a morph edge")});
    for (const json& polygon : in.at("polygons"))
        body.polygons.push_back({IntegersFrom<std::int32_t>(polygon.at("edges"), "a morph polygon's edge"),
                                 IntegerFrom<std::int32_t>(polygon.at("material"), "a morph polygon's material")});
    for (const json& material : in.at("materials"))
        memo.morphMaterialMapTable.push_back(
            {IntegerFrom<std::int16_t>(material.at(0), "a morph material"), material.at(1).get<bool>()});
}

// Every kind of parameter: numbers and texts, and arrays of either with their
// dimensions (a photo object keeps its location's names in text arrays).
json ParamsJson(const std::vector<API_AddParType>& params)
{
    json list = json::array();
    for (const API_AddParType& p : params)
        list.push_back({{"name", std::string(p.name, strnlen(p.name, sizeof p.name))},
                        {"type", p.typeID},
                        {"value", p.value},
                        {"text", p.text.ToUtf8()},
                        {"description", p.description.ToUtf8()},
                        {"flags", p.flags},
                        {"dim1", p.dim1},
                        {"dim2", p.dim2},
                        {"arrayValues", p.arrayValues},
                        {"arrayTexts", HexText(p.arrayTexts)}});
    return list;
}

std::vector<API_AddParType> ParamsFrom(const json& list)
{
    std::vector<API_AddParType> params;
    for (const json& p : list)
    {
        API_AddParType parameter;
        const std::string name = p.at("name").get<std::string>();
        if (name.size() >= sizeof parameter.name) throw std::runtime_error("parameter name too long: " + name);
        std::memcpy(parameter.name, name.data(), name.size());
        parameter.typeID = IntegerFrom<std::int32_t>(p.at("type"), "a parameter's type");
        parameter.value = p.at("value").get<double>();
        parameter.text = GS::UniString(p.at("text").get<std::string>());
        parameter.description = GS::UniString(p.value("description", std::string()));
        parameter.flags = IntegerOr<std::int32_t>(p, "flags", 0, "a parameter's flags");
        parameter.dim1 = IntegerOr<std::int32_t>(p, "dim1", 0, "a parameter's first dimension");
        parameter.dim2 = IntegerOr<std::int32_t>(p, "dim2", 0, "a parameter's second dimension");
        if (parameter.dim1 < 0 || parameter.dim2 < 0) throw std::runtime_error("parameter " + name + " has a negative dimension");
        parameter.arrayValues = p.value("arrayValues", json::array()).get<std::vector<double>>();
        if (p.contains("arrayTexts")) parameter.arrayTexts = HexFrom(p.at("arrayTexts"), "a parameter's texts");
        params.push_back(std::move(parameter));
    }
    return params;
}

API_PolyArc ArcFrom(const json& arc)
{
    return {IntegerFrom<std::int32_t>(arc.at(0), "an arc's first point"),
            IntegerFrom<std::int32_t>(arc.at(1), "an arc's last point"), arc.at(2).get<double>()};
}

json MemoJson(const API_ElementMemo& memo)
{
    json out = json::object();
    if (!memo.coords.empty()) out["coords"] = CoordsJson(memo.coords);
    if (!memo.pends.empty()) out["pends"] = memo.pends;
    for (const API_PolyArc& arc : memo.parcs) out["parcs"].push_back({arc.begIndex, arc.endIndex, arc.arcAngle});
    if (!memo.params.empty()) out["params"] = ParamsJson(memo.params);
    for (const API_SectionSegment& s : memo.sectionSegments) out["sectionSegments"].push_back(s.mainCoordCount);
    if (!memo.sectionMainCoords.empty()) out["sectionMainCoords"] = CoordsJson(memo.sectionMainCoords);
    if (!memo.sectionDistCoords.empty()) out["sectionDistCoords"] = CoordsJson(memo.sectionDistCoords);
    if (!memo.sectionDepthCoords.empty()) out["sectionDepthCoords"] = CoordsJson(memo.sectionDepthCoords);
    if (!memo.pictureData.empty()) out["pictureData"] = HexText(memo.pictureData);
    if (!memo.morphBody.polygons.empty()) out["morphBody"] = MorphBodyJson(memo);
    return out;
}

API_ElementMemo MemoFrom(const json& in)
{
    API_ElementMemo memo;
    memo.coords = CoordsFrom(in.value("coords", json::array()));
    memo.pends = IntegersFrom<std::int32_t>(in.value("pends", json::array()), "a polygon's end");
    for (const json& arc : in.value("parcs", json::array())) memo.parcs.push_back(ArcFrom(arc));
    memo.params = ParamsFrom(in.value("params", json::array()));
    for (const json& count : in.value("sectionSegments", json::array()))
        memo.sectionSegments.push_back({IntegerFrom<std::int32_t>(count, "a section segment's point count")});
    memo.sectionMainCoords = CoordsFrom(in.value("sectionMainCoords", json::array()));
    memo.sectionDistCoords = CoordsFrom(in.value("sectionDistCoords", json::array()));
    memo.sectionDepthCoords = CoordsFrom(in.value("sectionDepthCoords", json::array()));
    if (in.contains("pictureData")) memo.pictureData = HexFrom(in.at("pictureData"), "picture data");
    if (in.contains("morphBody")) MorphBodyFrom(in.at("morphBody"), memo);
    return memo;
}

json ShellPolygonJson(const ShellPolygon& polygon)
{
    json out {{"coords", CoordsJson(polygon.coords)},
              {"ends", polygon.ends},
              {"flags", polygon.bodyFlags},
              {"plane", std::vector<double>(std::begin(polygon.plane), std::end(polygon.plane))}};
    out["arcs"] = json::array();
    for (const API_PolyArc& arc : polygon.arcs) out["arcs"].push_back({arc.begIndex, arc.endIndex, arc.arcAngle});
    return out;
}

ShellPolygon ShellPolygonFrom(const json& in)
{
    ShellPolygon polygon;
    polygon.coords = CoordsFrom(in.at("coords"));
    polygon.ends = IntegersFrom<std::int32_t>(in.at("ends"), "a shell polygon's end");
    polygon.bodyFlags = IntegersFrom<std::uint8_t>(in.at("flags"), "a shell polygon's flag");
    const std::vector<double> plane = in.at("plane").get<std::vector<double>>();
    if (plane.size() != 12) throw std::runtime_error("a shell polygon's plane has not 12 values");
    std::copy(plane.begin(), plane.end(), std::begin(polygon.plane));
    for (const json& arc : in.at("arcs")) polygon.arcs.push_back(ArcFrom(arc));
    return polygon;
}

json ElementJson(const StoredElement& element)
{
    std::vector<std::uint8_t> record(sizeof(API_Element));
    std::memcpy(record.data(), &element.record, sizeof(API_Element));
    json out {{"description", DescribeElement(element)},
              {"guid", APIGuid2GSGuid(element.record.header.guid).ToText(true)},
              {"record", HexText(record)},
              {"memo", MemoJson(element.memo)},
              {"observed", element.observed}};
    for (const ShellPolygon& shape : element.shell.shapes) out["shellShapes"].push_back(ShellPolygonJson(shape));
    for (const ShellPolygon& contour : element.shell.contours) out["shellContours"].push_back(ShellPolygonJson(contour));
    for (const ElementLink& link : element.links) out["links"].push_back({{"to", GuidText(link.to)}, {"flags", link.flags}});
    if (element.view)
        out["view"] = {{"type", element.view->typeID},
                       {"element", GuidText(element.view->elementGuid)},
                       {"database", GuidText(element.view->databaseUnId)},
                       {"segment", element.view->segmentNumber}};
    const API_ElementUserData& user = element.userData;
    if (user.dataVersion != 0 || user.platformSign != 0 || !user.data.empty())
        out["userData"] = {{"version", user.dataVersion}, {"platformSign", user.platformSign}, {"data", HexText(user.data)}};
    return out;
}

StoredElement ElementFrom(const json& in)
{
    StoredElement element;
    const std::vector<std::uint8_t> record = HexFrom(in.at("record"), "an element record");
    if (record.size() != sizeof(API_Element))
        throw std::runtime_error("an element record has " + std::to_string(record.size()) + " bytes, not " +
                                 std::to_string(sizeof(API_Element)));
    std::memcpy(static_cast<void*>(&element.record), record.data(), record.size());
    element.memo = MemoFrom(in.value("memo", json::object()));
    if (element.record.header.typeID == API_MorphID &&
        !IsUsableMorphBody(element.memo.morphBody, element.memo.morphMaterialMapTable.size()))
        throw std::runtime_error("a morph without a usable body");
    for (const json& shape : in.value("shellShapes", json::array())) element.shell.shapes.push_back(ShellPolygonFrom(shape));
    for (const json& contour : in.value("shellContours", json::array()))
        element.shell.contours.push_back(ShellPolygonFrom(contour));
    if (element.record.header.typeID == API_ShellID && !IsSoundShellGeometry(element.record, element.shell))
        throw std::runtime_error("a shell whose shapes or contour cannot be read");
    element.observed = in.value("observed", false);
    for (const json& link : in.value("links", json::array()))
        element.links.push_back(
            {GuidFrom(link.at("to"), "a link's element"), IntegerFrom<std::uint32_t>(link.at("flags"), "a link's flags")});
    if (in.contains("view"))
    {
        const json& view = in.at("view");
        API_DatabaseInfo database {};
        database.typeID = IntegerFrom<std::int32_t>(view.at("type"), "a view's type");
        database.elementGuid = GuidFrom(view.at("element"), "a view's element");
        if (view.contains("database")) database.databaseUnId = GuidFrom(view.at("database"), "a view's database");
        database.segmentNumber = IntegerOr<std::int32_t>(view, "segment", 0, "a view's segment");
        element.view = database;
    }
    if (in.contains("userData"))
    {
        const json& user = in.at("userData");
        element.userData.dataVersion = IntegerFrom<std::int32_t>(user.at("version"), "a user data version");
        element.userData.platformSign = IntegerFrom<std::int32_t>(user.at("platformSign"), "a user data platform sign");
        element.userData.data = HexFrom(user.at("data"), "element user data");
    }
    return element;
}

json ProjectJson(const ProjectModel& model)
{
    json out {{"elements", json::array()},
              {"views", json::array()},
              {"layers", json::array()},
              {"storeys", json::array()},
              {"moduleData", json::array()}};
    for (const StoredElement& element : model.content.elements) out["elements"].push_back(ElementJson(element));
    for (const ViewDatabase& view : model.content.views)
        out["views"].push_back({{"type", view.type},
                                {"database", GuidText(view.unId)},
                                {"element", GuidText(view.owner)},
                                {"name", view.name},
                                {"ref", view.ref}});
    for (const auto& [index, layer] : model.content.layers)
        out["layers"].push_back({{"index", index}, {"name", layer.name}, {"flags", layer.flags}});
    for (const auto& [index, level] : model.content.storeyLevels)
    {
        const auto name = model.content.storeyNames.find(index);
        out["storeys"].push_back({{"index", index},
                                  {"level", level},
                                  {"name", name != model.content.storeyNames.end() ? name->second : std::string()}});
    }
    for (const LibraryFolder& folder : model.libraryFolders)
        out["libraries"].push_back({{"path", folder.path},
                                    {"name", folder.name},
                                    {"type", folder.type},
                                    {"available", folder.available},
                                    {"readOnly", folder.readOnly}});
    for (const auto& [index, part] : model.libraryParts)
        out["libraryParts"].push_back({{"index", index},
                                       {"uniqueId", part.uniqueId},
                                       {"version", part.version},
                                       {"name", part.name},
                                       {"a", part.sizeA},
                                       {"b", part.sizeB},
                                       {"params", ParamsJson(part.params)},
                                       {"type", part.typeID},
                                       {"path", part.path}});
    for (const auto& [name, stored] : model.moduleData)
        out["moduleData"].push_back({{"name", name.ToUtf8()},
                                     {"version", stored.dataVersion},
                                     {"platformSign", PlatformSignJson(stored.platformSign)},
                                     {"data", HexText(stored.bytes)}});
    return out;
}

ProjectModel ProjectFrom(const json& in)
{
    if (!in.is_object()) throw std::runtime_error("not a project");
    ProjectModel model;
    for (const json& element : in.at("elements")) model.content.elements.push_back(ElementFrom(element));
    for (const json& view : in.value("views", json::array()))
        model.content.views.push_back(ViewDatabase {IntegerFrom<std::int32_t>(view.at("type"), "a view's type"),
                                                    GuidFrom(view.at("database"), "a view"),
                                                    GuidFrom(view.at("element"), "a view's element"),
                                                    view.at("name").get<std::string>(), view.at("ref").get<std::string>()});
    model.content.layers.clear();
    for (const json& layer : in.at("layers"))
        model.content.layers[IntegerFrom<std::int16_t>(layer.at("index"), "a layer index")] =
            LayerEntry {layer.at("name").get<std::string>(), IntegerFrom<std::int32_t>(layer.at("flags"), "a layer's flags")};
    model.content.storeyLevels.clear();
    model.content.storeyNames.clear();
    for (const json& storey : in.at("storeys"))
    {
        const auto index = IntegerFrom<std::int16_t>(storey.at("index"), "a storey index");
        model.content.storeyLevels[index] = storey.at("level").get<double>();
        model.content.storeyNames[index] = storey.value("name", std::string());
    }
    for (const json& folder : in.value("libraries", json::array()))
        model.libraryFolders.push_back({folder.at("path").get<std::string>(), folder.at("name").get<std::string>(),
                                        IntegerFrom<std::int32_t>(folder.at("type"), "a library's type"),
                                        folder.at("available").get<bool>(), folder.at("readOnly").get<bool>()});
    for (const json& part : in.value("libraryParts", json::array()))
    {
        LibraryPartEntry entry {part.at("uniqueId").get<std::string>(),
                                IntegerOr<std::int32_t>(part, "version", 0, "a library part's version"),
                                part.value("name", std::string()),
                                part.value("a", 0.0),
                                part.value("b", 0.0),
                                ParamsFrom(part.value("params", json::array()))};
        entry.typeID = IntegerOr<std::int32_t>(part, "type", APILib_ObjectID, "a library part's type");
        entry.path = part.value("path", std::string());
        model.libraryParts[IntegerFrom<std::int32_t>(part.at("index"), "a library part's index")] = std::move(entry);
    }
    ReloadLibraryParts(model);
    for (const json& data : in.at("moduleData"))
        model.moduleData[GS::UniString(data.at("name").get<std::string>())] =
            StoredModuleData {IntegerFrom<std::int32_t>(data.at("version"), "a module data version"),
                              PlatformSignFrom(data.at("platformSign")), HexFrom(data.at("data"), "module data")};
    return model;
}

ScenarioVerb WithHost(std::function<bool(Scenario&, Host&, const std::string&)> body)
{
    return [body](Scenario& scenario, std::istringstream& args) {
        Host* host = scenario.GetHost();
        if (host == nullptr) return scenario.Fail("this action needs a started host");
        const std::string file = Scenario::Rest(args);
        return !file.empty() ? body(scenario, *host, file) : scenario.Fail("a project file is needed");
    };
}

}  // namespace

std::uint16_t PlatformSignFrom(const json& sign)
{
    if (sign.is_number()) return IntegerFrom<std::uint16_t>(sign, "a platform sign");
    const std::string text = sign.get<std::string>();
    if (text.size() != 2) throw std::runtime_error("a platform sign is two characters: " + text);
    return static_cast<std::uint16_t>((static_cast<unsigned char>(text[0]) << 8) | static_cast<unsigned char>(text[1]));
}

json PlatformSignJson(std::uint16_t sign)
{
    const std::string text = PlatformSignText(sign);
    return text.size() == 2 ? json(text) : json(sign);
}

bool SaveProjectFile(const ProjectModel& model, const std::string& path, std::string& error)
{
    return WriteFileSafely(path, ProjectJson(model).dump(2) + "\n", error);
}

bool ReadProjectFile(const std::string& path, ProjectModel& model, std::string& error)
{
    std::string text;
    if (!ReadWholeFile(path, text))
    {
        error = "cannot read project file " + path;
        return false;
    }
    try
    {
        model = ProjectFrom(json::parse(text));
        return true;
    }
    catch (const std::exception& e)
    {
        error = "project file " + path + ": " + e.what();
        return false;
    }
}

std::string WorkPath(const Host& host, const std::string& path)
{
    const std::filesystem::path given(path);
    return given.is_absolute() ? path : (std::filesystem::path(host.WorkFolder()) / given).string();
}

std::optional<std::string> FileFact(const Host& host, const std::string& name)
{
    const std::string prefix = "file ";
    if (name.compare(0, prefix.size(), prefix) != 0) return std::nullopt;
    std::string content;
    if (!ReadWholeFile(WorkPath(host, name.substr(prefix.size())), content)) return std::string("none");
    return HexText(std::vector<std::uint8_t>(content.begin(), content.end()));
}

void AddProjectFileVerbs(ScenarioVerbs& verbs)
{
    verbs["save-project"] = WithHost([](Scenario& scenario, Host& host, const std::string& file) {
        std::string error;
        if (!SaveProjectFile(host.model_, WorkPath(host, file), error)) return scenario.Fail(error);
        host.model_.projectFile = WorkPath(host, file);
        return true;
    });
    verbs["open-project"] = WithHost([](Scenario& scenario, Host& host, const std::string& file) {
        ProjectModel model;
        std::string error;
        if (!ReadProjectFile(WorkPath(host, file), model, error)) return scenario.Fail(error);
        model.projectFile = WorkPath(host, file);
        host.OpenProject(file, std::move(model));
        return true;
    });
}

}  // namespace SimHost
