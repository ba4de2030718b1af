#include "SectionViews.hpp"

#include <cmath>
#include <cstdio>
#include <sstream>
#include <vector>

#include "ElementDescriptions.hpp"
#include "ServiceTable.hpp"
#include "ViewDatabases.hpp"

namespace SimHost
{

namespace
{

constexpr double DistanceLineOffset = 1.0;

struct CutPlaneKind
{
    const char* name;
    API_ElemTypeID type;
    std::int32_t window;
};

constexpr CutPlaneKind CutPlaneKinds[] = {
    {"section", API_CutPlaneID, APIWind_SectionID},
    {"elevation", API_ElevationID, APIWind_ElevationID},
    {"interior-elevation", API_InteriorElevationID, APIWind_InteriorElevationID},
};

const CutPlaneKind* KindNamed(const std::string& name)
{
    for (const CutPlaneKind& kind : CutPlaneKinds)
        if (name == kind.name) return &kind;
    return nullptr;
}

// The points, the side word behind them and the name that follows it.
bool ReadLine(std::istringstream& args, std::vector<API_Coord>& points, bool& left, std::string& name)
{
    std::vector<std::string> words;
    std::string word;
    while (args >> word && word != "left" && word != "right") words.push_back(word);
    if (word != "left" && word != "right") return false;
    left = word == "left";
    name = Scenario::Rest(args);
    if (words.size() < 4 || words.size() % 2 != 0) return false;
    for (std::size_t i = 0; i + 1 < words.size(); i += 2)
    {
        API_Coord p;
        std::istringstream x(words[i]), y(words[i + 1]);
        if (!(x >> p.x) || !(y >> p.y) || !x.eof() || !y.eof() || !std::isfinite(p.x) || !std::isfinite(p.y)) return false;
        points.push_back(p);
    }
    for (std::size_t i = 0; i + 1 < points.size(); ++i)
        if (std::hypot(points[i + 1].x - points[i].x, points[i + 1].y - points[i].y) == 0.0) return false;
    return true;
}

}  // namespace

bool IsCutPlaneType(API_ElemTypeID type)
{
    return type == API_CutPlaneID || type == API_ElevationID || type == API_InteriorElevationID;
}

API_ElemTypeID CutPlaneTypeOfWindow(std::int32_t windowKind)
{
    for (const CutPlaneKind& kind : CutPlaneKinds)
        if (kind.window == windowKind) return kind.type;
    return 0;
}

namespace
{

bool IsMadeWithMarker(API_ElemTypeID type) { return type == API_CutPlaneID || type == API_ElevationID; }

bool IsLine(const std::vector<API_Coord>& coords)
{
    return coords.size() == 2 && std::isfinite(coords[0].x) && std::isfinite(coords[0].y) && std::isfinite(coords[1].x) &&
           std::isfinite(coords[1].y) && std::hypot(coords[1].x - coords[0].x, coords[1].y - coords[0].y) > 0.0;
}

bool HasMainMarker(std::int32_t subCount, const API_SubElement* subElements)
{
    return subCount == 1 && subElements != nullptr && subElements[0].subType == APISubElement_MainMarker;
}

GSErrCode GetDefaultsWithMarker(HostToken token, API_Element* element, API_ElementMemo* memo, std::int32_t subCount,
                                API_SubElement* subElements)
{
    if (element == nullptr || !IsMadeWithMarker(element->header.typeID) || subCount < 0 ||
        (subCount > 0 && subElements == nullptr))
        return APIERR_BADPARS;
    const ToolDefaults& defaults = Host::From(token).model_.DefaultsFor(element->header.typeID, 0);
    *element = defaults.record;
    if (memo != nullptr) *memo = defaults.memo;
    for (std::int32_t i = 0; i < subCount; ++i)
    {
        subElements[i].subElem = API_Element {};
        subElements[i].subElem.header.typeID = API_ObjectID;
        subElements[i].memo = API_ElementMemo {};
    }
    return NoError;
}

GSErrCode CreateWithMarker(HostToken token, API_Element* element, API_ElementMemo* memo, std::int32_t subCount,
                           API_SubElement* subElements)
{
    Host& host = Host::From(token);
    ProjectModel& model = host.model_;
    if (element == nullptr || memo == nullptr || !IsMadeWithMarker(element->header.typeID) ||
        !HasMainMarker(subCount, subElements))
        return APIERR_BADPARS;
    if (model.currentDatabase.typeID != APIWind_FloorPlanID) return APIERR_REFUSEDCMD;
    const API_CutPlaneType& cut = element->cutPlane;
    if (model.content.layers.count(element->header.layer) == 0) return APIERR_BADPARS;
    if (model.content.storeyLevels.count(element->header.floorInd) == 0) return APIERR_BADINDEX;
    if (!IsLine(memo->sectionMainCoords) || !IsLine(memo->sectionDistCoords) ||
        (!memo->sectionDepthCoords.empty() && !IsLine(memo->sectionDepthCoords)) || !std::isfinite(cut.lowerLimit) ||
        !std::isfinite(cut.upperLimit) || cut.lowerLimit > cut.upperLimit)
        return APIERR_BADPARS;
    StoredElement stored;
    stored.record = *element;
    stored.record.header.guid = model.NewGuid();
    stored.record.header.hasMemo = true;
    stored.record.cutPlane.segmentCount = 1;
    stored.memo = *memo;
    stored.memo.sectionSegments = {API_SectionSegment {2}};
    model.content.elements.push_back(std::move(stored));
    MakeElementView(model, model.content.elements.back());
    *element = model.content.elements.back().record;
    model.MarkChanged();
    host.Log("HostCreateElementWithSubElements " + ElemTypeName(element->header.typeID));
    return NoError;
}

}  // namespace

void FillSectionServices(HostServiceTable& table)
{
    SIMHOST_SET_SERVICE(table, HostGetElementDefaultsWithSubElements, GetDefaultsWithMarker);
    SIMHOST_SET_SERVICE(table, HostCreateElementWithSubElements, CreateWithMarker);
}

void AddSectionVerbs(ScenarioVerbs& verbs)
{
    verbs["add-section"] = [](Scenario& s, std::istringstream& args) {
        const char* usage = "add-section <section|elevation|interior-elevation> x1 y1 x2 y2 [x3 y3 ...] left|right";
        Host* host = s.GetHost();
        if (host == nullptr) return s.Fail("this action needs a started host");
        std::string name;
        args >> name;
        const CutPlaneKind* kind = KindNamed(name);
        std::vector<API_Coord> points;
        bool left = true;
        std::string viewName;
        if (kind == nullptr || !ReadLine(args, points, left, viewName)) return s.Fail(usage);
        if (kind->type != API_InteriorElevationID && points.size() != 2) return s.Fail("a section or elevation has one segment");

        ProjectModel& model = host->model_;
        StoredElement element;
        element.record.header.typeID = kind->type;
        element.record.header.guid = model.NewGuid();
        element.record.header.layer = model.content.layers.empty() ? 0 : model.content.layers.begin()->first;
        element.record.header.floorInd = model.content.storeyLevels.empty() ? 0 : model.content.storeyLevels.begin()->first;
        element.record.cutPlane.segmentCount = static_cast<std::int32_t>(points.size() - 1);
        std::snprintf(element.record.cutPlane.name, sizeof element.record.cutPlane.name, "%s", viewName.c_str());
        for (std::size_t i = 0; i + 1 < points.size(); ++i)
        {
            element.memo.sectionSegments.push_back({2});
            element.memo.sectionMainCoords.push_back(points[i]);
            element.memo.sectionMainCoords.push_back(points[i + 1]);
        }
        const double dx = points[1].x - points[0].x, dy = points[1].y - points[0].y;
        const double length = std::hypot(dx, dy);
        const double side = left ? DistanceLineOffset : -DistanceLineOffset;
        const API_Coord shift {-dy / length * side, dx / length * side};
        for (std::size_t i = 0; i < 2; ++i)
            element.memo.sectionDistCoords.push_back({points[i].x + shift.x, points[i].y + shift.y});
        model.content.elements.push_back(std::move(element));
        MakeElementView(model, model.content.elements.back());
        NotifyViewEvent(*host, 1);
        return true;
    };
    verbs["tool-reference"] = [](Scenario& s, std::istringstream& args) {
        Host* host = s.GetHost();
        if (host == nullptr) return s.Fail("this action needs a started host");
        std::string name;
        args >> name;
        const CutPlaneKind* kind = KindNamed(name);
        const std::string reference = Scenario::Rest(args);
        if (kind == nullptr || reference.empty() || reference.size() >= sizeof(API_CutPlaneType::referenceId))
            return s.Fail("tool-reference <section|elevation> <reference id>");
        API_CutPlaneType& defaults = host->model_.DefaultsFor(kind->type, 0).record.cutPlane;
        std::snprintf(defaults.referenceId, sizeof defaults.referenceId, "%s", reference.c_str());
        return true;
    };
}

}  // namespace SimHost
