#include "SectionViews.hpp"

#include <cmath>
#include <sstream>
#include <vector>

namespace SimHost {

namespace {

constexpr double DistanceLineOffset = 1.0;

struct CutPlaneKind {
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

// The points and the side word at the end of the line.
bool ReadLine(std::istringstream& args, std::vector<API_Coord>& points, bool& left)
{
    std::vector<std::string> words;
    for (std::string word; args >> word;) words.push_back(word);
    if (words.size() < 5 || words.size() % 2 == 0) return false;
    const std::string& side = words.back();
    if (side != "left" && side != "right") return false;
    left = side == "left";
    for (std::size_t i = 0; i + 1 < words.size(); i += 2) {
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

API_ElemTypeID CutPlaneTypeOfWindow(std::int32_t windowKind)
{
    for (const CutPlaneKind& kind : CutPlaneKinds)
        if (kind.window == windowKind) return kind.type;
    return 0;
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
        if (kind == nullptr || !ReadLine(args, points, left)) return s.Fail(usage);
        if (kind->type != API_InteriorElevationID && points.size() != 2) return s.Fail("a section or elevation has one segment");

        ProjectModel& model = host->model_;
        StoredElement element;
        element.record.header.typeID = kind->type;
        element.record.header.guid = model.NewGuid();
        element.record.header.layer = model.content.layers.empty() ? 0 : model.content.layers.begin()->first;
        element.record.header.floorInd = model.content.storeyLevels.empty() ? 0 : model.content.storeyLevels.begin()->first;
        element.record.cutPlane.segmentCount = static_cast<std::int32_t>(points.size() - 1);
        for (std::size_t i = 0; i + 1 < points.size(); ++i) {
            element.memo.sectionSegments.push_back({2});
            element.memo.sectionMainCoords.push_back(points[i]);
            element.memo.sectionMainCoords.push_back(points[i + 1]);
        }
        const double dx = points[1].x - points[0].x, dy = points[1].y - points[0].y;
        const double length = std::hypot(dx, dy);
        const double side = left ? DistanceLineOffset : -DistanceLineOffset;
        const API_Coord shift {-dy / length * side, dx / length * side};
        for (std::size_t i = 0; i < 2; ++i) element.memo.sectionDistCoords.push_back({points[i].x + shift.x, points[i].y + shift.y});
        model.content.elements.push_back(std::move(element));
        return true;
    };
}

}  // namespace SimHost
