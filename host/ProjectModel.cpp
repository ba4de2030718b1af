#include "ProjectModel.hpp"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <sstream>
#include <strings.h>

#include "AttributeServices.hpp"
#include "ElementGeometry.hpp"
#include "NumberText.hpp"
#include "PictureElements.hpp"
#include "PolylineElements.hpp"
#include "ShellElements.hpp"

namespace SimHost {

namespace {

constexpr double Pi = 3.14159265358979323846;
constexpr std::int16_t DefaultLayer = 1;

API_Element InitialDefaults(API_ElemTypeID type, std::int32_t variation)
{
    API_Element e {};
    e.header.typeID = type;
    e.header.variationID = variation;
    e.header.layer = DefaultLayer;
    switch (type) {
        case API_WallID:
            e.wall.thickness = 0.3;
            e.wall.thickness1 = 0.3;
            e.wall.height = 3.0;
            e.wall.slantAngle = Pi / 2;
            break;
        case API_ColumnID:
            e.column.width = 0.5;
            e.column.depth = 0.5;
            e.column.height = 3.0;
            e.column.slantAngle = Pi / 2;
            break;
        case API_BeamID:
            e.beam.width = 0.25;
            e.beam.height = 0.5;
            break;
        case API_SlabID: e.slab.thickness = 0.25; break;
        case API_MeshID:
            e.mesh.skirtHeight = 0.5;
            e.mesh.skirt = 3;
            break;
        case API_RoofID:
            e.roof.thickness = 0.25;
            e.roof.slopeAngle = Pi / 6;
            break;
        case API_ObjectID:
        case API_LampID:
            e.object.sizeA = 1.0;
            e.object.sizeB = 1.0;
            e.object.pen = 1;
            break;
        case API_WindowID:
            e.window.width = 1.0;
            e.window.height = 1.5;
            e.window.sillHeight = 0.9;
            break;
        case API_DoorID:
            e.window.width = 0.9;
            e.window.height = 2.1;
            break;
        case API_ZoneID: e.zone.height = 3.0; break;
        case API_LineID: e.line.pen = 1; break;
        case API_HatchID:
            e.hatch.pen = 1;
            e.hatch.fillPen = 1;
            e.hatch.fillInd = 3;
            e.hatch.ltypeInd = 1;
            break;
        case API_SplineID: e.spline.pen = 1; break;
        case API_ArcID:
        case API_CircleID:
            e.arc.axisRatio = 1.0;
            e.arc.endAngle = 2 * Pi;
            e.arc.pen = 1;
            break;
        case API_HotspotID: e.hotspot.pen = 1; break;
        case API_LevelDimensionID: e.levelDimension.pen = 1; break;
        case API_MorphID: e.morph.transformation[0] = e.morph.transformation[5] = e.morph.transformation[10] = 1.0; break;
        case API_CutPlaneID: std::snprintf(e.cutPlane.referenceId, sizeof e.cutPlane.referenceId, "%s", "S-01"); break;
        case API_ElevationID: std::snprintf(e.cutPlane.referenceId, sizeof e.cutPlane.referenceId, "%s", "E-01"); break;
        case API_InteriorElevationID: std::snprintf(e.cutPlane.referenceId, sizeof e.cutPlane.referenceId, "%s", "IE-01"); break;
        default: break;
    }
    return e;
}

struct Field {
    std::size_t offset;
    std::size_t size;
};

#define SIMHOST_FIELD(member)                                                                                                    \
    Field { offsetof(API_Element, member), sizeof(API_Element::member) }

const std::vector<Field>& HeaderFields()
{
    static const std::vector<Field> fields {SIMHOST_FIELD(header.layer), SIMHOST_FIELD(header.floorInd),
                                            SIMHOST_FIELD(header.drawIndex)};
    return fields;
}

std::vector<Field> TypeFields(API_ElemTypeID type)
{
    switch (type) {
        case API_WallID:
            return {SIMHOST_FIELD(wall.begC),
                    SIMHOST_FIELD(wall.endC),
                    SIMHOST_FIELD(wall.arcAngle),
                    SIMHOST_FIELD(wall.geometryKind),
                    SIMHOST_FIELD(wall.referenceLineCode),
                    SIMHOST_FIELD(wall.flipped),
                    SIMHOST_FIELD(wall.profileCode),
                    SIMHOST_FIELD(wall.slantAngle),
                    SIMHOST_FIELD(wall.thickness),
                    SIMHOST_FIELD(wall.thickness1),
                    SIMHOST_FIELD(wall.height),
                    SIMHOST_FIELD(wall.bottomOffset),
                    SIMHOST_FIELD(wall.poly)};
        case API_ColumnID:
            return {SIMHOST_FIELD(column.origin),     SIMHOST_FIELD(column.axisRotationAngle),   SIMHOST_FIELD(column.width),
                    SIMHOST_FIELD(column.depth),      SIMHOST_FIELD(column.circleBased),         SIMHOST_FIELD(column.slanted),
                    SIMHOST_FIELD(column.slantAngle), SIMHOST_FIELD(column.slantDirectionAngle), SIMHOST_FIELD(column.anchor),
                    SIMHOST_FIELD(column.height),     SIMHOST_FIELD(column.bottomOffset)};
        case API_BeamID:
            return {SIMHOST_FIELD(beam.begC),      SIMHOST_FIELD(beam.endC),      SIMHOST_FIELD(beam.width),
                    SIMHOST_FIELD(beam.height),    SIMHOST_FIELD(beam.level),     SIMHOST_FIELD(beam.offset),
                    SIMHOST_FIELD(beam.isSlanted), SIMHOST_FIELD(beam.slantAngle)};
        case API_SlabID: return {SIMHOST_FIELD(slab.thickness), SIMHOST_FIELD(slab.bottomOffset), SIMHOST_FIELD(slab.poly)};
        case API_HatchID:
            return {SIMHOST_FIELD(hatch.poly),      SIMHOST_FIELD(hatch.pen),     SIMHOST_FIELD(hatch.fillPen),
                    SIMHOST_FIELD(hatch.fillBGPen), SIMHOST_FIELD(hatch.fillInd), SIMHOST_FIELD(hatch.ltypeInd)};
        case API_SplineID: return {SIMHOST_FIELD(spline.closed), SIMHOST_FIELD(spline.pen)};
        case API_MeshID:
            return {SIMHOST_FIELD(mesh.skirtHeight), SIMHOST_FIELD(mesh.bottomOffset),    SIMHOST_FIELD(mesh.skirt),
                    SIMHOST_FIELD(mesh.poly),        SIMHOST_FIELD(mesh.levelPointCount), SIMHOST_FIELD(mesh.levelLineCount)};
        case API_RoofID:
            return {SIMHOST_FIELD(roof.roofClass),  SIMHOST_FIELD(roof.thickness),    SIMHOST_FIELD(roof.bottomOffset),
                    SIMHOST_FIELD(roof.slopeAngle), SIMHOST_FIELD(roof.baseLineBegC), SIMHOST_FIELD(roof.baseLineEndC),
                    SIMHOST_FIELD(roof.posSign),    SIMHOST_FIELD(roof.poly)};
        case API_ObjectID:
        case API_LampID:
            return {SIMHOST_FIELD(object.position), SIMHOST_FIELD(object.elevation), SIMHOST_FIELD(object.angle),
                    SIMHOST_FIELD(object.sizeA),    SIMHOST_FIELD(object.sizeB),     SIMHOST_FIELD(object.libraryPartIndex),
                    SIMHOST_FIELD(object.pen),      SIMHOST_FIELD(object.mirrored)};
        case API_WindowID:
        case API_DoorID:
            return {SIMHOST_FIELD(window.owner),
                    SIMHOST_FIELD(window.libraryPartIndex),
                    SIMHOST_FIELD(window.placementSetting),
                    SIMHOST_FIELD(window.placementGuid),
                    SIMHOST_FIELD(window.placementFlag),
                    SIMHOST_FIELD(window.width),
                    SIMHOST_FIELD(window.height),
                    SIMHOST_FIELD(window.sillHeight),
                    SIMHOST_FIELD(window.position),
                    SIMHOST_FIELD(window.revealDepth),
                    SIMHOST_FIELD(window.startPoint),
                    SIMHOST_FIELD(window.direction),
                    SIMHOST_FIELD(window.mirrored),
                    SIMHOST_FIELD(window.openingSide),
                    SIMHOST_FIELD(window.referenceSide)};
        case API_ZoneID: return {SIMHOST_FIELD(zone.baseLevel), SIMHOST_FIELD(zone.height), SIMHOST_FIELD(zone.floorThickness)};
        case API_ShellID: return {SIMHOST_FIELD(shell.shellClass), SIMHOST_FIELD(shell.level)};
        case API_LineID: return {SIMHOST_FIELD(line.begC), SIMHOST_FIELD(line.endC), SIMHOST_FIELD(line.pen)};
        case API_ArcID:
        case API_CircleID:
            return {SIMHOST_FIELD(arc.centre),   SIMHOST_FIELD(arc.radius),   SIMHOST_FIELD(arc.axisRatio),
                    SIMHOST_FIELD(arc.begAngle), SIMHOST_FIELD(arc.endAngle), SIMHOST_FIELD(arc.pen)};
        case API_HotspotID: return {SIMHOST_FIELD(hotspot.position), SIMHOST_FIELD(hotspot.height), SIMHOST_FIELD(hotspot.pen)};
        case API_LevelDimensionID:
            return {SIMHOST_FIELD(levelDimension.position),  SIMHOST_FIELD(levelDimension.level),
                    SIMHOST_FIELD(levelDimension.pen),       SIMHOST_FIELD(levelDimension.note1),
                    SIMHOST_FIELD(levelDimension.note2),     SIMHOST_FIELD(levelDimension.markerSetting),
                    SIMHOST_FIELD(levelDimension.customText)};
        case API_MorphID: return {SIMHOST_FIELD(morph.transformation)};
        case API_CutPlaneID:
        case API_ElevationID:
        case API_InteriorElevationID:
            return {SIMHOST_FIELD(cutPlane.kind), SIMHOST_FIELD(cutPlane.lowerLimit), SIMHOST_FIELD(cutPlane.upperLimit),
                    SIMHOST_FIELD(cutPlane.name), SIMHOST_FIELD(cutPlane.referenceId)};
        case API_PictureID:
            return {SIMHOST_FIELD(picture.destBox),     SIMHOST_FIELD(picture.origBox),     SIMHOST_FIELD(picture.rotAngle),
                    SIMHOST_FIELD(picture.mirrored),    SIMHOST_FIELD(picture.transparent), SIMHOST_FIELD(picture.directSize),
                    SIMHOST_FIELD(picture.anchorPoint), SIMHOST_FIELD(picture.colorDepth),  SIMHOST_FIELD(picture.storageFormat),
                    SIMHOST_FIELD(picture.name)};
        default: return {};
    }
}

#undef SIMHOST_FIELD

void CopyMarkedFields(API_Element& target, const API_Element& source, const API_Element& mask, const std::vector<Field>& fields)
{
    auto* to = reinterpret_cast<unsigned char*>(&target);
    const auto* from = reinterpret_cast<const unsigned char*>(&source);
    const auto* marks = reinterpret_cast<const unsigned char*>(&mask);
    for (const Field& field : fields)
        if (marks[field.offset] == APIMaskMarker) std::memcpy(to + field.offset, from + field.offset, field.size);
}

// The plan map of an edit: x' = m·(x - pivot) + pivot + shift, angles turned or mirrored.
struct PlanMap {
    double m[4] = {1, 0, 0, 1};
    API_Coord pivot {};
    API_Coord shift {};
    double dz = 0.0;
    double turn = 0.0;
    bool mirror = false;
    double mirrorAngle = 0.0;

    API_Coord Point(const API_Coord& p) const
    {
        const double x = p.x - pivot.x, y = p.y - pivot.y;
        return {m[0] * x + m[1] * y + pivot.x + shift.x, m[2] * x + m[3] * y + pivot.y + shift.y};
    }
    double Angle(double a) const { return mirror ? 2 * mirrorAngle - a : a + turn; }
    void Vector(double& x, double& y) const
    {
        const double nx = m[0] * x + m[1] * y, ny = m[2] * x + m[3] * y;
        x = nx;
        y = ny;
    }
};

bool MapOfEdit(const API_EditPars& edit, PlanMap& map)
{
    if (edit.typeID == FourCC("DRAG")) {
        map.shift = {edit.endC.x - edit.begC.x, edit.endC.y - edit.begC.y};
        map.dz = edit.endC.z - edit.begC.z;
        return true;
    }
    if (edit.typeID == FourCC("ELEV")) {
        map.dz = edit.endC.z - edit.begC.z;
        return true;
    }
    if (edit.typeID == FourCC("ROTZ")) {
        const double from = std::atan2(edit.begC.y - edit.origC.y, edit.begC.x - edit.origC.x);
        const double to = std::atan2(edit.endC.y - edit.origC.y, edit.endC.x - edit.origC.x);
        map.turn = to - from;
        map.pivot = {edit.origC.x, edit.origC.y};
        const double c = std::cos(map.turn), s = std::sin(map.turn);
        map.m[0] = c, map.m[1] = -s, map.m[2] = s, map.m[3] = c;
        return true;
    }
    if (edit.typeID == FourCC("MIRR")) {
        const double dx = edit.endC.x - edit.begC.x, dy = edit.endC.y - edit.begC.y;
        if (std::hypot(dx, dy) < 1e-9) return false;
        map.mirror = true;
        map.mirrorAngle = std::atan2(dy, dx);
        map.pivot = {edit.begC.x, edit.begC.y};
        const double c = std::cos(2 * map.mirrorAngle), s = std::sin(2 * map.mirrorAngle);
        map.m[0] = c, map.m[1] = s, map.m[2] = s, map.m[3] = -c;
        return true;
    }
    return false;
}

// Polygons keep entry 0 unused; a spline's points start there.
void MapPolygon(std::vector<API_Coord>& coords, const PlanMap& map, std::size_t first = 1)
{
    for (std::size_t i = first; i < coords.size(); ++i) coords[i] = map.Point(coords[i]);
}

void MapMorph(double (&t)[12], const PlanMap& map)
{
    for (int column = 0; column < 3; ++column) map.Vector(t[column], t[4 + column]);
    const API_Coord moved = map.Point({t[3], t[7]});
    t[3] = moved.x;
    t[7] = moved.y;
    t[11] += map.dz;
}

// False for an element this host cannot move.
bool ApplyMap(StoredElement& element, const PlanMap& map)
{
    API_Element& e = element.record;
    switch (e.header.typeID) {
        case API_WallID:
            e.wall.begC = map.Point(e.wall.begC);
            e.wall.endC = map.Point(e.wall.endC);
            if (map.mirror) e.wall.arcAngle = -e.wall.arcAngle;
            e.wall.bottomOffset += map.dz;
            MapPolygon(element.memo.coords, map);
            break;
        case API_ColumnID:
            e.column.origin = map.Point(e.column.origin);
            e.column.axisRotationAngle = map.Angle(e.column.axisRotationAngle);
            e.column.slantDirectionAngle = map.Angle(e.column.slantDirectionAngle);
            e.column.bottomOffset += map.dz;
            break;
        case API_BeamID:
            e.beam.begC = map.Point(e.beam.begC);
            e.beam.endC = map.Point(e.beam.endC);
            e.beam.level += map.dz;
            break;
        case API_SlabID:
            e.slab.bottomOffset += map.dz;
            MapPolygon(element.memo.coords, map);
            break;
        case API_MeshID:
            e.mesh.bottomOffset += map.dz;
            MapPolygon(element.memo.coords, map);
            break;
        case API_RoofID:
            e.roof.bottomOffset += map.dz;
            e.roof.baseLineBegC = map.Point(e.roof.baseLineBegC);
            e.roof.baseLineEndC = map.Point(e.roof.baseLineEndC);
            if (map.mirror) e.roof.posSign = !e.roof.posSign;
            MapPolygon(element.memo.coords, map);
            break;
        case API_ObjectID:
        case API_LampID:
            e.object.position = map.Point(e.object.position);
            e.object.angle = map.Angle(e.object.angle);
            if (map.mirror) e.object.mirrored = !e.object.mirrored;
            e.object.elevation += map.dz;
            break;
        case API_LineID:
            e.line.begC = map.Point(e.line.begC);
            e.line.endC = map.Point(e.line.endC);
            break;
        // A camera moves with its target; its azimuth turns with the plan.
        case API_CameraID:
            e.camera.position = map.Point(e.camera.position);
            e.camera.target = map.Point(e.camera.target);
            e.camera.azimuth = map.Angle(e.camera.azimuth);
            e.camera.cameraZ += map.dz;
            e.camera.targetZ += map.dz;
            break;
        case API_HatchID: MapPolygon(element.memo.coords, map); break;
        case API_SplineID: MapPolygon(element.memo.coords, map, 0); break;
        case API_ArcID:
        case API_CircleID: {
            e.arc.centre = map.Point(e.arc.centre);
            const double begin = map.Angle(e.arc.begAngle), end = map.Angle(e.arc.endAngle);
            e.arc.begAngle = map.mirror ? end : begin;
            e.arc.endAngle = map.mirror ? begin : end;
            break;
        }
        case API_HotspotID:
            e.hotspot.position = map.Point(e.hotspot.position);
            e.hotspot.height += map.dz;
            break;
        case API_LevelDimensionID: e.levelDimension.position = map.Point(e.levelDimension.position); break;
        case API_MorphID: MapMorph(e.morph.transformation, map); break;
        case API_ShellID:
            MapMorph(e.shell.basePlane, map);
            e.shell.level += map.dz;
            break;
        case API_ZoneID:
            e.zone.baseLevel += map.dz;
            MapPolygon(element.memo.coords, map);
            break;
        default: return false;
    }
    return true;
}

struct BoxBuilder {
    API_Box3D box {};
    bool any = false;

    void Add(double x, double y)
    {
        if (!any) {
            box.xMin = box.xMax = x;
            box.yMin = box.yMax = y;
            any = true;
            return;
        }
        box.xMin = std::min(box.xMin, x), box.xMax = std::max(box.xMax, x);
        box.yMin = std::min(box.yMin, y), box.yMax = std::max(box.yMax, y);
    }
    void Add(const API_Coord& p, double grow = 0.0)
    {
        Add(p.x - grow, p.y - grow);
        Add(p.x + grow, p.y + grow);
    }
    void AddRectangle(const API_Coord& corner, double a, double b, double angle)
    {
        const double c = std::cos(angle), s = std::sin(angle);
        for (const auto& [u, v] : {std::pair {0.0, 0.0}, {a, 0.0}, {0.0, b}, {a, b}})
            Add(corner.x + u * c - v * s, corner.y + u * s + v * c);
    }
    void AddPolygon(const std::vector<API_Coord>& coords, std::size_t first = 1)
    {
        for (std::size_t i = first; i < coords.size(); ++i) Add(coords[i]);
    }
    bool Finish(double zBottom, double zTop, API_Box3D& out)
    {
        if (!any) return false;
        box.zMin = std::min(zBottom, zTop);
        box.zMax = std::max(zBottom, zTop);
        out = box;
        return true;
    }
};

// The box of the body's vertices, placed by the morph's transformation above its
// home storey like every element's heights.
bool MorphBox(const double (&t)[12], const API_MorphBody& body, double level, API_Box3D& box)
{
    bool any = false;
    for (const API_Coord3D& v : body.vertices) {
        API_Coord3D p = Transformed(t, v);
        p.z += level;
        Enclose(box, any, p);
    }
    return any;
}

// GDL names are case-insensitive: "ZZYZX" and "zzyzx" are one parameter.
double ParameterValue(const API_ElementMemo& memo, const char* name)
{
    for (const API_AddParType& p : memo.params)
        if (strncasecmp(p.name, name, sizeof p.name) == 0) return p.value;
    return 0.0;
}

void AddColumnFootprint(BoxBuilder& b, const API_ColumnType& c, double rise)
{
    const double a = c.axisRotationAngle;
    const API_Coord corner {c.origin.x - (c.width / 2) * std::cos(a) + (c.depth / 2) * std::sin(a),
                            c.origin.y - (c.width / 2) * std::sin(a) - (c.depth / 2) * std::cos(a)};
    b.AddRectangle(corner, c.width, c.depth, a);
    if (!c.slanted || std::fabs(std::sin(c.slantAngle)) < 1e-9) return;
    const double lean = rise * std::cos(c.slantAngle) / std::sin(c.slantAngle);
    const double d = c.slantDirectionAngle + Pi / 2;
    b.AddRectangle({corner.x + lean * std::cos(d), corner.y + lean * std::sin(d)}, c.width, c.depth, a);
}

std::string Point(const API_Coord& p) { return "(" + NumberText(p.x, 6) + "," + NumberText(p.y, 6) + ")"; }

// The points of a memo's list from the first one given, each after a blank.
std::string Points(const std::vector<API_Coord>& coords, std::size_t first)
{
    std::string text;
    for (std::size_t i = first; i < coords.size(); ++i) text += " " + Point(coords[i]);
    return text;
}

// The ring ends of a polygon with holes.
std::string RingEnds(const API_ElementMemo& memo)
{
    if (memo.pends.size() <= 2) return {};
    std::string text = " ends";
    for (std::size_t i = 1; i < memo.pends.size(); ++i) text += " " + std::to_string(memo.pends[i]);
    return text;
}

// A mesh's outline heights, one per outline point, and its level points with
// their vertex ids.
std::string MeshHeights(const API_ElementMemo& memo)
{
    std::string text = " heights";
    for (std::size_t i = 1; i + 1 < memo.meshPolyZ.size(); ++i) text += " " + NumberText(memo.meshPolyZ[i], 6);
    text += " level points";
    if (memo.meshLevelCoords.empty()) text += " none";
    for (const API_MeshLevelCoord& p : memo.meshLevelCoords)
        text += " (" + NumberText(p.c.x, 6) + "," + NumberText(p.c.y, 6) + "," + NumberText(p.c.z, 6) + ")#" +
                std::to_string(p.vertexID);
    return text;
}

std::string NoteText(const API_NoteType& note) { return std::string(note.content, strnlen(note.content, sizeof note.content)); }
std::string CText(const char* text, std::size_t size) { return std::string(text, strnlen(text, size)); }

}  // namespace

ProjectModel::ProjectModel()
{
    content.layers[DefaultLayer] = LayerEntry {"Archicad-Ebene", 0};
    AddStandardAttributes(content);
    content.storeyLevels[0] = 0.0;
    content.storeyNames[0] = "Erdgeschoss";
    currentDatabase.typeID = APIWind_FloorPlanID;
}

std::size_t GuidHash::operator()(const API_Guid& guid) const
{
    std::uint64_t halves[2];
    std::memcpy(halves, &guid, sizeof halves);
    return std::hash<std::uint64_t>()(halves[0] ^ (halves[1] * 0x9E3779B97F4A7C15ull));
}

void ElementList::push_back(StoredElement element)
{
    positions_.emplace(element.record.header.guid, elements_.size());
    elements_.push_back(std::move(element));
}

void ElementList::clear()
{
    elements_.clear();
    positions_.clear();
}

void ElementList::Reindex()
{
    positions_.clear();
    for (std::size_t i = 0; i < elements_.size(); ++i) positions_.emplace(elements_[i].record.header.guid, i);
}

StoredElement* ElementList::Find(const API_Guid& guid)
{
    const auto found = positions_.find(guid);
    if (found == positions_.end()) return nullptr;
    return &elements_[found->second];
}

const StoredElement* ElementList::Find(const API_Guid& guid) const { return const_cast<ElementList*>(this)->Find(guid); }

StoredElement* ProjectModel::Find(const API_Guid& guid) { return content.elements.Find(guid); }

const StoredElement* ProjectModel::Find(const API_Guid& guid) const { return content.elements.Find(guid); }

const StoredElement* ProjectModel::FindNotifiedSource(const API_Guid& guid) const
{
    for (const StoredElement& e : notifiedSources)
        if (e.record.header.guid == guid) return &e;
    return nullptr;
}

// Elements of an opened project keep their GUIDs, so a new one skips those in use.
API_Guid ProjectModel::NewGuid()
{
    API_Guid guid;
    guid.time_mid = 0x51D0;
    guid.time_hi_and_version = 0x4000;
    guid.clock_seq[0] = 0x80;
    std::memcpy(guid.node, "SimHst", 6);
    const auto isView = [this](const API_Guid& g) {
        return std::any_of(content.views.begin(), content.views.end(), [&](const ViewDatabase& v) { return v.unId == g; });
    };
    do {
        guid.time_low = 0x5EED0000u + ++guidCounter_;
    } while (Find(guid) != nullptr || isView(guid));
    return guid;
}

// Runs a command as one undo step. A nested command belongs to the outer step; a
// failed command, nested or not, is rolled back; a command that changed nothing
// records no step.
GSErrCode ProjectModel::RunUndoable(const APIUndoableCommand& command)
{
    if (!command) return APIERR_BADPARS;
    ProjectContent before = content;
    const std::uint64_t changesBefore = changeCount_;
    ++commandDepth_;
    const GSErrCode result = command();
    --commandDepth_;
    if (result != NoError) {
        content = std::move(before);
        DropVanishedFromSelection();
        return result;
    }
    if (commandDepth_ == 0 && changeCount_ != changesBefore) undoSteps.push_back(std::move(before));
    return NoError;
}

void ProjectModel::DropVanishedFromSelection()
{
    selection.erase(
        std::remove_if(selection.begin(), selection.end(), [this](const API_Neig& n) { return Find(n.guid) == nullptr; }),
        selection.end());
}

bool ProjectModel::Undo()
{
    if (undoSteps.empty()) return false;
    content = std::move(undoSteps.back());
    undoSteps.pop_back();
    selection.clear();
    return true;
}

ToolDefaults& ProjectModel::DefaultsFor(API_ElemTypeID type, std::int32_t variation)
{
    const auto key = std::make_pair(type, variation);
    auto it = content.defaults.find(key);
    if (it == content.defaults.end()) {
        ToolDefaults defaults;
        const auto plain = content.defaults.find(std::make_pair(type, 0));
        defaults.record = plain != content.defaults.end() ? plain->second.record : InitialDefaults(type, variation);
        defaults.record.header.variationID = variation;
        it = content.defaults.emplace(key, std::move(defaults)).first;
    }
    return it->second;
}

double ProjectModel::StoreyLevel(std::int16_t index) const
{
    const auto it = content.storeyLevels.find(index);
    return it != content.storeyLevels.end() ? it->second : 0.0;
}

std::string ProjectModel::StoreyName(std::int16_t index) const
{
    const auto it = content.storeyNames.find(index);
    return it != content.storeyNames.end() ? it->second : std::string();
}

bool ProjectModel::IsLayerLocked(std::int16_t layer) const
{
    const auto it = content.layers.find(layer);
    return it != content.layers.end() && (it->second.flags & APILay_Locked) != 0;
}

GSErrCode ProjectModel::CheckChangeable(const StoredElement& element) const
{
    if (IsLayerLocked(element.record.header.layer) || element.record.header.lockId > 0) return APIERR_PAGELOCKED;
    return NoError;
}

const LibraryPartEntry* ProjectModel::LibraryPartOf(const API_Element& element) const
{
    std::int32_t index = 0;
    switch (element.header.typeID) {
        case API_ObjectID:
        case API_LampID: index = element.object.libraryPartIndex; break;
        case API_WindowID:
        case API_DoorID: index = element.window.libraryPartIndex; break;
        default: return nullptr;
    }
    const auto it = libraryParts.find(index);
    return it != libraryParts.end() ? &it->second : nullptr;
}

void ApplyChangeMask(API_Element& target, const API_Element& source, const API_Element& mask)
{
    CopyMarkedFields(target, source, mask, HeaderFields());
    CopyMarkedFields(target, source, mask, TypeFields(target.header.typeID));
}

void ApplyMemo(API_ElementMemo& target, const API_ElementMemo& source, std::uint64_t memoMask)
{
    if ((memoMask & APIMemoMask_Polygon) != 0) {
        target.coords = source.coords;
        target.pends = source.pends;
        target.parcs = source.parcs;
    }
    if ((memoMask & APIMemoMask_AddPars) != 0) target.params = source.params;
    if ((memoMask & APIMemoMask_Section) != 0) {
        target.sectionSegments = source.sectionSegments;
        target.sectionMainCoords = source.sectionMainCoords;
        target.sectionDistCoords = source.sectionDistCoords;
        target.sectionDepthCoords = source.sectionDepthCoords;
    }
    if ((memoMask & APIMemoMask_Picture) != 0) target.pictureData = source.pictureData;
    if ((memoMask & APIMemoMask_MorphBody) != 0) {
        target.morphBody = source.morphBody;
        target.morphMaterialMapTable = source.morphMaterialMapTable;
    }
}

API_ElementMemo CopyMemo(const API_ElementMemo& source, std::uint64_t memoMask)
{
    API_ElementMemo copy;
    ApplyMemo(copy, source, memoMask);
    return copy;
}

bool ElementBox(const StoredElement& element, double level, API_Box3D& box)
{
    const API_Element& e = element.record;
    BoxBuilder b;
    switch (e.header.typeID) {
        case API_WallID:
            b.Add(e.wall.begC, std::max(e.wall.thickness, e.wall.thickness1));
            b.Add(e.wall.endC, std::max(e.wall.thickness, e.wall.thickness1));
            return b.Finish(level + e.wall.bottomOffset, level + e.wall.bottomOffset + e.wall.height, box);
        case API_ColumnID:
            AddColumnFootprint(b, e.column, e.column.height);
            return b.Finish(level + e.column.bottomOffset, level + e.column.bottomOffset + e.column.height, box);
        case API_BeamID:
            b.Add(e.beam.begC, e.beam.width / 2);
            b.Add(e.beam.endC, e.beam.width / 2);
            return b.Finish(level + e.beam.level - e.beam.height, level + e.beam.level, box);
        case API_SlabID:
            b.AddPolygon(element.memo.coords);
            return b.Finish(level + e.slab.bottomOffset, level + e.slab.bottomOffset + e.slab.thickness, box);
        case API_MeshID:
            b.AddPolygon(element.memo.coords);
            return b.Finish(level + e.mesh.bottomOffset, level + e.mesh.bottomOffset + e.mesh.skirtHeight, box);
        case API_RoofID:
            b.AddPolygon(element.memo.coords);
            return b.Finish(level + e.roof.bottomOffset, level + e.roof.bottomOffset + e.roof.thickness, box);
        case API_ObjectID:
        case API_LampID:
            b.AddRectangle(e.object.position, e.object.mirrored ? -e.object.sizeA : e.object.sizeA, e.object.sizeB,
                           e.object.angle);
            return b.Finish(level + e.object.elevation, level + e.object.elevation + ParameterValue(element.memo, "zzyzx"), box);
        case API_ZoneID:
            b.AddPolygon(element.memo.coords);
            return b.Finish(level + e.zone.baseLevel, level + e.zone.baseLevel + e.zone.height, box);
        case API_LineID:
            b.Add(e.line.begC);
            b.Add(e.line.endC);
            return b.Finish(level, level, box);
        case API_HatchID: b.AddPolygon(element.memo.coords); return b.Finish(level, level, box);
        case API_SplineID: b.AddPolygon(element.memo.coords, 0); return b.Finish(level, level, box);
        case API_ArcID:
        case API_CircleID: b.Add(e.arc.centre, e.arc.radius); return b.Finish(level, level, box);
        case API_HotspotID: b.Add(e.hotspot.position); return b.Finish(level + e.hotspot.height, level + e.hotspot.height, box);
        case API_LevelDimensionID:
            b.Add(e.levelDimension.position);
            return b.Finish(level + e.levelDimension.level, level + e.levelDimension.level, box);
        case API_MorphID: return MorphBox(e.morph.transformation, element.memo.morphBody, level, box);
        case API_ShellID: return ShellBox(element, level, box);
        default: return false;
    }
}

bool ApplyEdit(StoredElement& element, const API_EditPars& edit)
{
    PlanMap map;
    return MapOfEdit(edit, map) && ApplyMap(element, map);
}

// The edit that repeats a user's transformation.
API_EditPars EditOfTransformation(const API_ActTranPars& t)
{
    API_EditPars edit {};
    edit.typeID = t.typeID;
    edit.withDelete = true;
    if (t.typeID == FourCC("DRAG")) {
        edit.endC = {t.displacement.x, t.displacement.y, t.displacementZ};
    } else if (t.typeID == FourCC("ELEV")) {
        edit.endC = {0.0, 0.0, t.displacementZ};
    } else if (t.typeID == FourCC("ROTZ")) {
        edit.origC = {t.origin.x, t.origin.y, 0.0};
        edit.begC = {t.origin.x + 1.0, t.origin.y, 0.0};
        edit.endC = {t.origin.x + t.cosAngle, t.origin.y + t.sinAngle, 0.0};
    } else if (t.typeID == FourCC("MIRR")) {
        edit.begC = {t.origin.x, t.origin.y, 0.0};
        edit.endC = {t.origin.x + t.axisVector.x, t.origin.y + t.axisVector.y, 0.0};
    }
    return edit;
}

std::string ElemTypeName(API_ElemTypeID type)
{
    switch (type) {
        case API_WallID: return "wall";
        case API_ColumnID: return "column";
        case API_BeamID: return "beam";
        case API_WindowID: return "window";
        case API_DoorID: return "door";
        case API_ObjectID: return "object";
        case API_LampID: return "lamp";
        case API_SlabID: return "slab";
        case API_RoofID: return "roof";
        case API_MeshID: return "mesh";
        case API_LevelDimensionID: return "level-dimension";
        case API_ZoneID: return "zone";
        case API_HatchID: return "fill";
        case API_PolyLineID: return "polyline";
        case API_SplineID: return "spline";
        case API_CutPlaneID: return "section";
        case API_ElevationID: return "elevation";
        case API_InteriorElevationID: return "interior-elevation";
        case API_LineID: return "line";
        case API_ArcID: return "arc";
        case API_CircleID: return "circle";
        case API_HotspotID: return "hotspot";
        case API_ShellID: return "shell";
        case API_MorphID: return "morph";
        case API_CameraID: return "camera";
        case API_CamSetID: return "camera-set";
        case API_PictureID: return "picture";
        default: return "type" + std::to_string(type);
    }
}

std::string DescribeElement(const StoredElement& element)
{
    const API_Element& e = element.record;
    std::ostringstream out;
    out << ElemTypeName(e.header.typeID);
    switch (e.header.typeID) {
        case API_WallID:
            out << " " << Point(e.wall.begC) << "-" << Point(e.wall.endC) << " arc " << NumberText(e.wall.arcAngle, 6) << " kind "
                << e.wall.geometryKind << " ref " << e.wall.referenceLineCode << " profile " << e.wall.profileCode << " slant "
                << NumberText(e.wall.slantAngle, 6) << " offset " << NumberText(e.wall.bottomOffset, 6);
            // A trapezoid or polygonal wall shows its thicknesses, its flip and its outline.
            if (e.wall.geometryKind != 0)
                out << " thickness " << NumberText(e.wall.thickness, 6) << ".." << NumberText(e.wall.thickness1, 6) << " flipped "
                    << e.wall.flipped << " outline" << Points(element.memo.coords, 1);
            break;
        case API_ColumnID:
            out << " " << Point(e.column.origin) << " rotation " << NumberText(e.column.axisRotationAngle, 6) << " size "
                << NumberText(e.column.width, 6) << "x" << NumberText(e.column.depth, 6) << " round " << e.column.circleBased
                << " slanted " << e.column.slanted << " slant " << NumberText(e.column.slantAngle, 6) << " direction "
                << NumberText(e.column.slantDirectionAngle, 6) << " anchor " << e.column.anchor << " offset "
                << NumberText(e.column.bottomOffset, 6);
            break;
        case API_BeamID:
            out << " " << Point(e.beam.begC) << "-" << Point(e.beam.endC) << " level " << NumberText(e.beam.level, 6)
                << " offset " << NumberText(e.beam.offset, 6) << " slanted " << e.beam.isSlanted << " slope "
                << NumberText(e.beam.slantAngle, 6);
            break;
        case API_SlabID:
            out << Points(element.memo.coords, 1) << DescribePolygonArcs(element.memo) << " offset "
                << NumberText(e.slab.bottomOffset, 6);
            break;
        case API_HatchID:
            out << Points(element.memo.coords, 1) << DescribePolygonArcs(element.memo) << RingEnds(element.memo);
            break;
        case API_MeshID:
            out << Points(element.memo.coords, 1) << MeshHeights(element.memo) << " level " << NumberText(e.mesh.bottomOffset, 6)
                << " skirt " << e.mesh.skirt << " at " << NumberText(e.mesh.skirtHeight, 6);
            break;
        case API_RoofID:
            out << Points(element.memo.coords, 1) << " pivot " << Point(e.roof.baseLineBegC) << "-" << Point(e.roof.baseLineEndC)
                << " slope " << NumberText(e.roof.slopeAngle, 6) << " rises " << (e.roof.posSign ? "left" : "right");
            break;
        case API_SplineID: out << (e.spline.closed ? " closed" : " open") << Points(element.memo.coords, 0); break;
        case API_ObjectID:
        case API_LampID:
            out << " " << Point(e.object.position) << " elevation " << NumberText(e.object.elevation, 6) << " angle "
                << NumberText(e.object.angle, 6) << " mirrored " << e.object.mirrored;
            break;
        case API_WindowID:
        case API_DoorID:
            out << " size " << NumberText(e.window.width, 6) << "x" << NumberText(e.window.height, 6) << " sill "
                << NumberText(e.window.sillHeight, 6) << " at " << NumberText(e.window.position, 6);
            break;
        case API_ZoneID:
            out << " base " << NumberText(e.zone.baseLevel, 6) << " height " << NumberText(e.zone.height, 6) << " floor "
                << NumberText(e.zone.floorThickness, 6);
            if (element.memo.coords.size() > 1) out << " points " << element.memo.coords.size() - 1;
            break;
        case API_ShellID:
            out << " class " << e.shell.shellClass << " level " << NumberText(e.shell.level, 6) << DescribeShell(element);
            break;
        case API_PolyLineID: out << " " << DescribePolygonMemo(element.memo); break;
        case API_MorphID:
            out << " vertices " << element.memo.morphBody.vertices.size() << " edges " << element.memo.morphBody.edges.size()
                << " polygons " << element.memo.morphBody.polygons.size();
            break;
        case API_CameraID:
            out << " " << Point(e.camera.position) << " height " << NumberText(e.camera.cameraZ, 6) << " target "
                << Point(e.camera.target) << " height " << NumberText(e.camera.targetZ, 6) << " cone "
                << NumberText(e.camera.viewCone, 6) << " azimuth " << NumberText(e.camera.azimuth, 6);
            break;
        case API_CamSetID:
            out << " \"" << GS::Utf16ToUtf8(std::u16string(e.camset.name, std::char_traits<char16_t>::length(e.camset.name)))
                << "\"";
            return out.str();
        case API_LineID: out << " " << Point(e.line.begC) << "-" << Point(e.line.endC); break;
        case API_ArcID:
        case API_CircleID:
            out << " " << Point(e.arc.centre) << " r " << NumberText(e.arc.radius, 6) << " " << NumberText(e.arc.begAngle, 6)
                << ".." << NumberText(e.arc.endAngle, 6);
            break;
        case API_HotspotID: out << " " << Point(e.hotspot.position) << " height " << NumberText(e.hotspot.height, 6); break;
        case API_LevelDimensionID:
            out << " " << Point(e.levelDimension.position) << " level " << NumberText(e.levelDimension.level, 6) << " notes \""
                << NoteText(e.levelDimension.note1) << "\" \"" << NoteText(e.levelDimension.note2) << "\"";
            break;
        case API_CutPlaneID:
        case API_ElevationID:
        case API_InteriorElevationID:
            out << Points(element.memo.sectionMainCoords, 0) << " seen from" << Points(element.memo.sectionDistCoords, 0);
            if (e.cutPlane.name[0] != 0 || e.cutPlane.referenceId[0] != 0)
                out << " \"" << CText(e.cutPlane.name, sizeof e.cutPlane.name) << "\" ["
                    << CText(e.cutPlane.referenceId, sizeof e.cutPlane.referenceId) << "] range "
                    << NumberText(e.cutPlane.lowerLimit, 6) << ".." << NumberText(e.cutPlane.upperLimit, 6);
            break;
        case API_PictureID: out << " " << DescribePicture(element); break;
        default:
            if (element.memo.coords.size() > 1) out << " points " << element.memo.coords.size() - 1;
            break;
    }
    out << " storey " << e.header.floorInd << " layer " << e.header.layer;
    if (e.header.lockId > 0) out << " locked";
    return out.str();
}

}  // namespace SimHost
