// Windows and doors owned by their walls, the walls' outlines, the parameter
// lists of the opening parts and the parameter scripts the add-on runs.
#include "OpeningElements.hpp"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>
#include <sstream>

#include "API/OpeningFrame.hpp"
#include "ElementDescriptions.hpp"
#include "GS/BM.hpp"
#include "NumberText.hpp"

namespace SimHost
{

namespace
{

constexpr std::int32_t TrapezoidWall = 1;
constexpr std::int32_t PolygonalWall = 2;
constexpr double Eps = 1e-9;

struct Plan
{
    double x = 0.0, y = 0.0;
};

Plan operator+(Plan a, Plan b) { return {a.x + b.x, a.y + b.y}; }
Plan operator-(Plan a, Plan b) { return {a.x - b.x, a.y - b.y}; }
Plan operator*(Plan a, double k) { return {a.x * k, a.y * k}; }
double Dot(Plan a, Plan b) { return a.x * b.x + a.y * b.y; }
double Cross(Plan a, Plan b) { return a.x * b.y - a.y * b.x; }
Plan Left(Plan a) { return {-a.y, a.x}; }
Plan Of(const API_Coord& c) { return {c.x, c.y}; }

Plan Unit(Plan a)
{
    const double length = std::hypot(a.x, a.y);
    return length < Eps ? Plan {} : a * (1.0 / length);
}

const StoredElement* OwnerWall(const ProjectModel& model, const API_Element& opening)
{
    const StoredElement* wall = model.Find(opening.window.owner);
    return wall != nullptr && wall->record.header.typeID == API_WallID ? wall : nullptr;
}

// A point of the wall's reference line at a distance along it, with the line's direction there.
struct LinePoint
{
    Plan point;
    Plan along;
};

LinePoint PointAlongWall(const API_WallType& wall, double position)
{
    Geometry::GenArc arc;
    if (std::fabs(wall.arcAngle) >= 1e-5 &&
        Geometry::SetGenArc({wall.begC.x, wall.begC.y}, {wall.endC.x, wall.endC.y}, wall.arcAngle, &arc) && arc.r > Eps)
    {
        const double angle = arc.begAng + position / arc.r;
        const Plan radial {std::cos(angle), std::sin(angle)};
        return {Plan {arc.origo.x, arc.origo.y} + radial * arc.r, Left(radial)};
    }
    const Plan along = Unit(Of(wall.endC) - Of(wall.begC));
    return {Of(wall.begC) + along * position, along};
}

// Where the wall's body lies across its reference line, as offsets to its left,
// for a thickness. Unflipped, the outside face is the left one seen from begin to end.
std::pair<double, double> BodyAcross(const API_WallType& wall, double t)
{
    std::pair<double, double> body {-t, 0.0};
    const std::int32_t face = wall.referenceLineCode % 3;
    if (face == 1) body = {-t / 2, t / 2};
    if (face == 2) body = {0.0, t};
    if (wall.flipped) body = {-body.second, -body.first};
    return body;
}

// An opening in a polygonal wall: its start point on the outer face and its unit
// direction across the wall, in plan.
std::optional<LinePoint> PlacementInPolygonalWall(const API_WallType& wall, const API_WindowType& opening)
{
    Geometry::TRANMAT frame;
    if (!PolygonalWallFrame(wall.begC, wall.endC, &frame)) return std::nullopt;
    const Geometry::Coord3D start = Geometry::TMBVect(frame, {opening.startPoint.x, opening.startPoint.y, 0.0});
    const Geometry::Coord3D across = Geometry::TMBVect(frame, {opening.direction.x, opening.direction.y, 0.0});
    return LinePoint {Of(wall.begC) + Plan {start.x, start.y}, Unit({across.x, across.y})};
}

// How far the outline lies ahead of the point along the direction; 0 when it does not.
double DepthToOutline(const std::vector<API_Coord>& coords, Plan from, Plan direction)
{
    std::optional<double> nearest;
    for (std::size_t j = 1; j + 1 < coords.size(); ++j)
    {
        const Plan a = Of(coords[j]), edge = Of(coords[j + 1]) - a;
        const double denominator = Cross(direction, edge);
        if (std::fabs(denominator) < Eps) continue;
        const double s = Cross(a - from, edge) / denominator;
        const double r = Cross(a - from, direction) / denominator;
        if (s > 1e-6 && r >= -Eps && r <= 1.0 + Eps && (!nearest || s < *nearest)) nearest = s;
    }
    return nearest.value_or(0.0);
}

struct BoxPlan
{
    Plan corners[4];
};

std::optional<BoxPlan> OpeningFootprint(const StoredElement& wall, const API_WindowType& opening)
{
    const double half = opening.width / 2;
    if (wall.record.wall.geometryKind == PolygonalWall)
    {
        const std::optional<LinePoint> start = PlacementInPolygonalWall(wall.record.wall, opening);
        if (!start) return std::nullopt;
        const Plan side = Left(start->along) * half;
        const Plan through = start->along * DepthToOutline(wall.memo.coords, start->point, start->along);
        return BoxPlan {{start->point - side, start->point + side, start->point + through - side, start->point + through + side}};
    }
    const LinePoint at = PointAlongWall(wall.record.wall, opening.position);
    const auto [near, far] = BodyAcross(wall.record.wall, wall.record.wall.thickness);
    const Plan left = Left(at.along);
    const Plan side = at.along * half;
    return BoxPlan {{at.point - side + left * near, at.point + side + left * near, at.point - side + left * far,
                     at.point + side + left * far}};
}

std::string PointText(const API_Coord& c) { return "(" + NumberText(c.x, 6) + "," + NumberText(c.y, 6) + ")"; }

int NumberOf(const ProjectModel& model, const API_Guid& guid)
{
    for (std::size_t i = 0; i < model.content.elements.size(); ++i)
        if (model.content.elements[i].record.header.guid == guid) return static_cast<int>(i) + 1;
    return 0;
}

std::string ParametersText(const API_ElementMemo& memo)
{
    std::string text;
    for (const API_AddParType& p : memo.params)
    {
        const std::string name(p.name, strnlen(p.name, sizeof p.name));
        text += (text.empty() ? "" : " ") + name + "=" +
                (p.typeID == APIParT_String ? "\"" + p.text.ToUtf8() + "\"" : NumberText(p.value, 6));
    }
    return text.empty() ? "none" : text;
}

std::string OpeningRow(const ProjectModel& model, const StoredElement& element)
{
    const API_WindowType& o = element.record.window;
    const StoredElement* wall = OwnerWall(model, element.record);
    std::ostringstream row;
    row << ElemTypeName(element.record.header.typeID) << " in wall "
        << (wall != nullptr ? NumberOf(model, wall->record.header.guid) : 0) << " | ";
    if (wall != nullptr && wall->record.wall.geometryKind == PolygonalWall)
        row << "start " << PointText(o.startPoint) << " direction " << PointText(o.direction);
    else
        row << "at " << NumberText(o.position, 6);
    row << " | width " << NumberText(o.width, 6) << " | height " << NumberText(o.height, 6) << " | sill "
        << NumberText(o.sillHeight, 6) << " | reveal " << NumberText(o.revealDepth, 6) << " | mirrored " << o.mirrored
        << " opening-side " << o.openingSide << " reference-side " << o.referenceSide << " | setting " << o.placementSetting
        << " flag " << o.placementFlag << " | storey " << element.record.header.floorInd << " | scripts "
        << element.parameterScriptRuns << " | " << ParametersText(element.memo);
    return row.str();
}

GSErrCode OpenParameterList(ProjectModel& model, const void* par1)
{
    if (par1 == nullptr) return APIERR_BADPARS;
    const std::int32_t index = *static_cast<const std::int32_t*>(par1);
    if (model.libraryParts.count(index) == 0) return APIERR_BADINDEX;
    model.openParameterList = index;
    return NoError;
}

GSHandle TextsHandle(const std::vector<GS::UniString>& texts)
{
    std::u16string units;
    for (const GS::UniString& text : texts) units += text.Units() + u'\0';
    GSHandle handle = BMAllocateHandle(static_cast<GSSize>(units.size() * sizeof(char16_t)), ALLCLEAR);
    if (handle != nullptr && !units.empty()) std::memcpy(*handle, units.data(), units.size() * sizeof(char16_t));
    return handle;
}

GSErrCode GetParameterValueList(ProjectModel& model, void* par1)
{
    if (par1 == nullptr) return APIERR_BADPARS;
    const auto part = model.libraryParts.find(model.openParameterList);
    if (model.openParameterList == 0 || part == model.libraryParts.end()) return APIERR_GENERAL;
    auto& request = *static_cast<API_GetParamValuesType*>(par1);
    const std::string name(request.name, strnlen(request.name, sizeof request.name));
    const auto& parameters = part->second.params;
    if (std::none_of(parameters.begin(), parameters.end(), [&](const API_AddParType& p) { return name == p.name; }))
        return APIERR_BADPARS;
    const auto list = part->second.valueLists.find(name);
    const std::vector<GS::UniString> texts = list != part->second.valueLists.end() ? list->second : std::vector<GS::UniString> {};
    request.nValues = static_cast<std::int32_t>(texts.size());
    request.realValues = BMAllocateHandle(static_cast<GSSize>(texts.size() * sizeof(double)), ALLCLEAR);
    request.uniStringValues = TextsHandle(texts);
    return NoError;
}

GSErrCode RunParameterScript(ProjectModel& model, const void* par1)
{
    if (par1 == nullptr) return APIERR_BADPARS;
    StoredElement* element = model.Find(static_cast<const API_Elem_Head*>(par1)->guid);
    if (element == nullptr) return APIERR_BADID;
    const API_ElemTypeID type = element->record.header.typeID;
    if (!IsOpening(type) && type != API_ObjectID && type != API_LampID) return APIERR_BADPARS;
    ++element->parameterScriptRuns;
    return NoError;
}

using ModelVerb = std::function<bool(Scenario&, ProjectModel&, std::istringstream&)>;

ScenarioVerb OnModel(ModelVerb body)
{
    return [body](Scenario& scenario, std::istringstream& args) {
        Host* host = scenario.GetHost();
        if (host == nullptr) return scenario.Fail("this action needs a started host");
        return body(scenario, host->model_, args);
    };
}

// The user draws a wall: one undo step.
bool AddWall(Scenario& scenario, ProjectModel& model, StoredElement wall)
{
    if (model.content.storeyLevels.count(wall.record.header.floorInd) == 0)
        return scenario.Fail("no storey " + std::to_string(wall.record.header.floorInd));
    wall.record.header.guid = model.NewGuid();
    ReportWallOutline(wall.record);
    FitPolygonalWallToOutline(wall.record, wall.memo);
    const GSErrCode result = model.RunUndoable([&] {
        model.content.elements.push_back(wall);
        model.MarkChanged();
        return NoError;
    });
    return result == NoError || scenario.Fail("the host refused the wall");
}

LibraryPartEntry* PartOf(Scenario& scenario, ProjectModel& model, std::int32_t index)
{
    const auto it = model.libraryParts.find(index);
    if (it != model.libraryParts.end()) return &it->second;
    scenario.Fail("no library part " + std::to_string(index));
    return nullptr;
}

// Every word of the rest of the line as a number; false when one is none.
bool ReadNumbers(std::istringstream& args, std::vector<double>& values)
{
    std::string word;
    while (args >> word)
    {
        std::istringstream in(word);
        double value = 0.0;
        if (!(in >> value) || !(in >> std::ws).eof()) return false;
        values.push_back(value);
    }
    return true;
}

bool ParseNumber(const std::string& text, double& value)
{
    std::istringstream in(text);
    return static_cast<bool>(in >> value) && (in >> std::ws).eof();
}

}  // namespace

bool IsOpening(API_ElemTypeID type) { return type == API_WindowID || type == API_DoorID; }

GSErrCode CheckWallOrOpening(const ProjectModel& model, const API_Element& element, const API_ElementMemo& memo)
{
    if (IsOpening(element.header.typeID)) return OwnerWall(model, element) != nullptr ? NoError : APIERR_BADPARS;
    if (element.header.typeID != API_WallID || element.wall.geometryKind != PolygonalWall) return NoError;
    const auto& coords = memo.coords;
    if (coords.size() < 5) return APIERR_BADPARS;
    const bool closed = coords[1].x == coords.back().x && coords[1].y == coords.back().y;
    return closed ? NoError : APIERR_IRREGULARPOLY;
}

void FitPolygonalWallToOutline(API_Element& element, const API_ElementMemo& memo)
{
    if (element.header.typeID != API_WallID || element.wall.geometryKind != PolygonalWall || memo.coords.size() < 3) return;
    element.wall.begC = memo.coords[1];
    element.wall.endC = memo.coords[2];
}

void ReportWallOutline(API_Element& element)
{
    API_WallType& wall = element.wall;
    if (element.header.typeID != API_WallID || wall.geometryKind != 0) return;
    wall.poly = {5, 1, std::fabs(wall.arcAngle) >= 1e-5 ? 2 : 0};
}

void FitTrapezoidWallOutline(API_Element& element, API_ElementMemo& memo)
{
    const API_WallType& wall = element.wall;
    if (element.header.typeID != API_WallID || wall.geometryKind != TrapezoidWall || std::fabs(wall.arcAngle) >= 1e-5) return;
    const Plan begin = Of(wall.begC), end = Of(wall.endC);
    const Plan left = Left(Unit(end - begin));
    const auto [beginRight, beginLeft] = BodyAcross(wall, wall.thickness);
    const auto [endRight, endLeft] = BodyAcross(wall, wall.thickness1);
    const auto at = [&left](Plan p, double across) {
        const Plan c = p + left * across;
        return API_Coord {c.x, c.y};
    };
    memo.coords = {{}, at(begin, beginLeft), at(end, endLeft), at(end, endRight), at(begin, beginRight), at(begin, beginLeft)};
    memo.pends = {0, 5};
    memo.parcs.clear();
    element.wall.poly = {5, 1, 0};
    element.header.hasMemo = true;
}

std::vector<API_Coord> OpeningPlanOutline(const ProjectModel& model, const StoredElement& opening)
{
    const StoredElement* wall = OwnerWall(model, opening.record);
    const std::optional<BoxPlan> footprint = wall != nullptr ? OpeningFootprint(*wall, opening.record.window) : std::nullopt;
    if (!footprint) return {};
    const Plan* c = footprint->corners;
    return {{c[0].x, c[0].y}, {c[1].x, c[1].y}, {c[3].x, c[3].y}, {c[2].x, c[2].y}};
}

std::vector<API_Coord> WallFootprint(const API_WallType& wall)
{
    constexpr int ArcSteps = 24;
    const bool curved = std::fabs(wall.arcAngle) >= 1e-5;
    Geometry::GenArc arc;
    if (curved && !Geometry::SetGenArc({wall.begC.x, wall.begC.y}, {wall.endC.x, wall.endC.y}, wall.arcAngle, &arc)) return {};
    const double length =
        curved ? arc.r * std::fabs(wall.arcAngle) : std::hypot(wall.endC.x - wall.begC.x, wall.endC.y - wall.begC.y);
    const int steps = curved ? ArcSteps : 1;
    std::vector<API_Coord> left, right;
    for (int i = 0; i <= steps; ++i)
    {
        const double along = length * i / steps;
        const LinePoint at = PointAlongWall(wall, along);
        const double thickness =
            wall.thickness + (wall.thickness1 - wall.thickness) * (wall.geometryKind == TrapezoidWall ? along / length : 0.0);
        const auto [near, far] = BodyAcross(wall, thickness);
        const Plan l = at.point + Left(at.along) * far, r = at.point + Left(at.along) * near;
        left.push_back({l.x, l.y});
        right.push_back({r.x, r.y});
    }
    left.insert(left.end(), right.rbegin(), right.rend());
    return left;
}

std::vector<std::vector<API_Coord>> MemoContours(const API_ElementMemo& memo)
{
    std::vector<std::vector<API_Coord>> contours;
    const auto& ends = memo.pends;
    for (std::size_t i = 1; i < ends.size(); ++i)
    {
        std::vector<API_Coord> contour;
        for (std::int32_t k = ends[i - 1] + 1; k < ends[i] && static_cast<std::size_t>(k) < memo.coords.size(); ++k)
            contour.push_back(memo.coords[static_cast<std::size_t>(k)]);
        if (!contour.empty()) contours.push_back(contour);
    }
    return contours;
}

std::vector<std::vector<API_Coord>> WallContours(const StoredElement& wall)
{
    if (wall.memo.coords.size() > 1 && wall.record.wall.geometryKind != 0) return MemoContours(wall.memo);
    return {WallFootprint(wall.record.wall)};
}

std::vector<API_Guid> OpeningsOfWall(const ProjectModel& model, const API_Guid& wall, API_ElemTypeID type)
{
    std::vector<API_Guid> openings;
    for (const StoredElement& e : model.content.elements)
        if (e.record.header.typeID == type && IsOpening(type) && e.record.window.owner == wall)
            openings.push_back(e.record.header.guid);
    return openings;
}

bool OpeningBox(const ProjectModel& model, const StoredElement& opening, API_Box3D& box)
{
    const StoredElement* wall = OwnerWall(model, opening.record);
    if (wall == nullptr) return false;
    const API_WindowType& o = opening.record.window;
    const std::optional<BoxPlan> footprint = OpeningFootprint(*wall, o);
    if (!footprint) return false;
    box.xMin = box.xMax = footprint->corners[0].x;
    box.yMin = box.yMax = footprint->corners[0].y;
    for (const Plan& corner : footprint->corners)
    {
        box.xMin = std::min(box.xMin, corner.x), box.xMax = std::max(box.xMax, corner.x);
        box.yMin = std::min(box.yMin, corner.y), box.yMax = std::max(box.yMax, corner.y);
    }
    const double base = model.StoreyLevel(wall->record.header.floorInd) + wall->record.wall.bottomOffset + o.sillHeight;
    box.zMin = base;
    box.zMax = base + o.height;
    return true;
}

GSErrCode EditOpening(const ProjectModel& model, StoredElement& opening, const API_EditPars& edit)
{
    const StoredElement* wall = OwnerWall(model, opening.record);
    if (wall == nullptr) return APIERR_BADID;
    API_WindowType& o = opening.record.window;
    const double rise = edit.endC.z - edit.begC.z;
    if (edit.typeID == FourCC("ELEV"))
    {
        o.sillHeight += rise;
        return NoError;
    }
    if (edit.typeID != FourCC("DRAG")) return APIERR_REFUSEDCMD;
    const Plan move {edit.endC.x - edit.begC.x, edit.endC.y - edit.begC.y};
    if (wall->record.wall.geometryKind == PolygonalWall)
    {
        const std::optional<LinePoint> start = PlacementInPolygonalWall(wall->record.wall, o);
        Geometry::TRANMAT frame, inverse;
        if (!start || !PolygonalWallFrame(wall->record.wall.begC, wall->record.wall.endC, &frame) ||
            !Geometry::InvMat(&inverse, frame))
            return APIERR_BADPARS;
        const Plan along = Left(start->along);
        const Plan shift = along * Dot(move, along);
        const Geometry::Coord3D inFrame = Geometry::TMBVect(inverse, {shift.x, shift.y, 0.0});
        o.startPoint = {o.startPoint.x + inFrame.x, o.startPoint.y + inFrame.y};
    }
    else
    {
        o.position += Dot(move, PointAlongWall(wall->record.wall, o.position).along);
    }
    o.sillHeight += rise;
    return NoError;
}

std::vector<API_Guid> OpeningsOfWalls(const ProjectModel& model, const std::vector<API_Guid>& walls)
{
    std::vector<API_Guid> openings;
    for (const StoredElement& e : model.content.elements)
        if (IsOpening(e.record.header.typeID) && std::find(walls.begin(), walls.end(), e.record.window.owner) != walls.end())
            openings.push_back(e.record.header.guid);
    return openings;
}

bool IsOpeningUtilityRequest(std::int32_t code)
{
    return code == FourCC("OPAR") || code == FourCC("GPVL") || code == FourCC("CPAR") || code == FourCC("RPAS");
}

GSErrCode OpeningUtilityRequest(ProjectModel& model, std::int32_t code, void* par1)
{
    if (code == FourCC("OPAR")) return OpenParameterList(model, par1);
    if (code == FourCC("GPVL")) return GetParameterValueList(model, par1);
    if (code == FourCC("RPAS")) return RunParameterScript(model, par1);
    if (code != FourCC("CPAR")) return APIERR_BADID;
    if (model.openParameterList == 0) return APIERR_GENERAL;
    model.openParameterList = 0;
    return NoError;
}

void AddOpeningFacts(const Host& host, Facts& facts)
{
    const ProjectModel& model = host.model_;
    std::string table;
    for (const StoredElement& wall : model.content.elements)
    {
        if (wall.record.header.typeID != API_WallID) continue;
        const std::string number = std::to_string(NumberOf(model, wall.record.header.guid));
        int k = 0;
        for (const StoredElement& e : model.content.elements)
        {
            if (!IsOpening(e.record.header.typeID) || e.record.window.owner != wall.record.header.guid) continue;
            const std::string row = OpeningRow(model, e);
            facts["opening " + number + "." + std::to_string(++k)] = row;
            table += "\n  " + row;
        }
    }
    facts["openings"] = table.empty() ? "none" : table;
}

void AddOpeningVerbs(ScenarioVerbs& verbs)
{
    verbs["add-wall"] = OnModel([](Scenario& scenario, ProjectModel& model, std::istringstream& args) {
        StoredElement wall;
        wall.record = model.DefaultsFor(API_WallID, 0).record;
        API_WallType& w = wall.record.wall;
        std::vector<double> values;
        if (!ReadNumbers(args, values) || values.size() < 4 || values.size() > 8 || (values.size() > 4 && values[4] <= 0.0))
            return scenario.Fail("add-wall <x1> <y1> <x2> <y2> [thickness [reference-line [storey [bottom-offset]]]]");
        w.begC = {values[0], values[1]};
        w.endC = {values[2], values[3]};
        if (values.size() > 4) w.thickness = w.thickness1 = values[4];
        if (values.size() > 5) w.referenceLineCode = static_cast<std::int32_t>(values[5]);
        if (values.size() > 6) wall.record.header.floorInd = static_cast<std::int16_t>(values[6]);
        if (values.size() > 7) w.bottomOffset = values[7];
        w.geometryKind = 0;
        return AddWall(scenario, model, std::move(wall));
    });
    verbs["add-curved-wall"] = OnModel([](Scenario& scenario, ProjectModel& model, std::istringstream& args) {
        StoredElement wall;
        wall.record = model.DefaultsFor(API_WallID, 0).record;
        API_WallType& w = wall.record.wall;
        std::vector<double> values;
        if (!ReadNumbers(args, values) || values.size() < 7 || values.size() > 8 || std::fabs(values[4]) < 1e-5 ||
            values[5] <= 0.0 || values[6] <= 0.0)
            return scenario.Fail("add-curved-wall <x1> <y1> <x2> <y2> <arc angle> <thickness> <height> [storey]");
        w.begC = {values[0], values[1]};
        w.endC = {values[2], values[3]};
        w.arcAngle = values[4];
        w.thickness = w.thickness1 = values[5];
        w.height = values[6];
        if (values.size() > 7) wall.record.header.floorInd = static_cast<std::int16_t>(values[7]);
        w.geometryKind = 0;
        return AddWall(scenario, model, std::move(wall));
    });
    verbs["add-polygon-wall"] = OnModel([](Scenario& scenario, ProjectModel& model, std::istringstream& args) {
        StoredElement wall;
        wall.record = model.DefaultsFor(API_WallID, 0).record;
        std::vector<double> values;
        if (!ReadNumbers(args, values) || values.size() < 7 || values.size() % 2 == 0)
            return scenario.Fail("add-polygon-wall <storey> <x1> <y1> <x2> <y2> <x3> <y3> [...]");
        wall.memo.coords.push_back({});
        for (std::size_t i = 1; i + 1 < values.size(); i += 2) wall.memo.coords.push_back({values[i], values[i + 1]});
        wall.memo.coords.push_back(wall.memo.coords[1]);
        wall.memo.pends = {0, static_cast<std::int32_t>(wall.memo.coords.size() - 1)};
        wall.record.header.floorInd = static_cast<std::int16_t>(values[0]);
        wall.record.header.hasMemo = true;
        wall.record.wall.poly = {static_cast<std::int32_t>(wall.memo.coords.size() - 1), 1, 0};
        wall.record.wall.geometryKind = PolygonalWall;
        return AddWall(scenario, model, std::move(wall));
    });
    verbs["part-parameter"] = OnModel([](Scenario& scenario, ProjectModel& model, std::istringstream& args) {
        std::int32_t index = 0;
        std::string name;
        if (!(args >> index >> name) || name.size() >= sizeof(API_AddParType::name))
            return scenario.Fail("part-parameter <index> <name> <number>|<text>");
        LibraryPartEntry* part = PartOf(scenario, model, index);
        if (part == nullptr) return false;
        const std::string value = Scenario::Rest(args);
        API_AddParType parameter;
        std::memcpy(parameter.name, name.data(), name.size());
        if (ParseNumber(value, parameter.value))
        {
            parameter.typeID = APIParT_Real;
        }
        else
        {
            parameter.typeID = APIParT_String;
            parameter.text = GS::UniString(value);
        }
        auto& parameters = part->params;
        const auto same =
            std::find_if(parameters.begin(), parameters.end(), [&](const API_AddParType& p) { return name == p.name; });
        if (same != parameters.end())
            *same = parameter;
        else
            parameters.push_back(parameter);
        return true;
    });
    verbs["part-value-list"] = OnModel([](Scenario& scenario, ProjectModel& model, std::istringstream& args) {
        std::int32_t index = 0;
        std::string name;
        if (!(args >> index >> name)) return scenario.Fail("part-value-list <index> <name> <text>[|<text>...]");
        LibraryPartEntry* part = PartOf(scenario, model, index);
        if (part == nullptr) return false;
        std::vector<GS::UniString> texts;
        std::istringstream entries(Scenario::Rest(args));
        for (std::string entry; std::getline(entries, entry, '|');) texts.emplace_back(entry);
        part->valueLists[name] = texts;
        return true;
    });
    verbs["tool-part"] = OnModel([](Scenario& scenario, ProjectModel& model, std::istringstream& args) {
        API_ElemTypeID type = 0;
        std::int32_t index = 0;
        const bool read = static_cast<bool>(args >> type >> index);
        const bool placesObject = type == API_ObjectID || type == API_LampID;
        if (!read || !(IsOpening(type) || placesObject)) return scenario.Fail("tool-part <4|5|6|7> <index>");
        const LibraryPartEntry* part = PartOf(scenario, model, index);
        if (part == nullptr) return false;
        ToolDefaults& defaults = model.DefaultsFor(type, 0);
        if (placesObject)
            defaults.record.object.libraryPartIndex = index;
        else
            defaults.record.window.libraryPartIndex = index;
        defaults.memo.params = part->params;
        return true;
    });
}

}  // namespace SimHost
