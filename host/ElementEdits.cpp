#include "ElementEdits.hpp"

#include <cmath>
#include <cstddef>
#include <cstring>
#include <vector>

namespace SimHost
{

namespace
{

struct Field
{
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
    switch (type)
    {
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
struct PlanMap
{
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
    if (edit.typeID == FourCC("DRAG"))
    {
        map.shift = {edit.endC.x - edit.begC.x, edit.endC.y - edit.begC.y};
        map.dz = edit.endC.z - edit.begC.z;
        return true;
    }
    if (edit.typeID == FourCC("ELEV"))
    {
        map.dz = edit.endC.z - edit.begC.z;
        return true;
    }
    if (edit.typeID == FourCC("ROTZ"))
    {
        const double from = std::atan2(edit.begC.y - edit.origC.y, edit.begC.x - edit.origC.x);
        const double to = std::atan2(edit.endC.y - edit.origC.y, edit.endC.x - edit.origC.x);
        map.turn = to - from;
        map.pivot = {edit.origC.x, edit.origC.y};
        const double c = std::cos(map.turn), s = std::sin(map.turn);
        map.m[0] = c, map.m[1] = -s, map.m[2] = s, map.m[3] = c;
        return true;
    }
    if (edit.typeID == FourCC("MIRR"))
    {
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
    switch (e.header.typeID)
    {
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
        case API_CircleID:
        {
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

}  // namespace

void ApplyChangeMask(API_Element& target, const API_Element& source, const API_Element& mask)
{
    CopyMarkedFields(target, source, mask, HeaderFields());
    CopyMarkedFields(target, source, mask, TypeFields(target.header.typeID));
}

void ApplyMemo(API_ElementMemo& target, const API_ElementMemo& source, std::uint64_t memoMask)
{
    if ((memoMask & APIMemoMask_Polygon) != 0)
    {
        target.coords = source.coords;
        target.pends = source.pends;
        target.parcs = source.parcs;
    }
    if ((memoMask & APIMemoMask_AddPars) != 0) target.params = source.params;
    if ((memoMask & APIMemoMask_Section) != 0)
    {
        target.sectionSegments = source.sectionSegments;
        target.sectionMainCoords = source.sectionMainCoords;
        target.sectionDistCoords = source.sectionDistCoords;
        target.sectionDepthCoords = source.sectionDepthCoords;
    }
    if ((memoMask & APIMemoMask_Picture) != 0) target.pictureData = source.pictureData;
    if ((memoMask & APIMemoMask_MorphBody) != 0)
    {
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
    if (t.typeID == FourCC("DRAG"))
    {
        edit.endC = {t.displacement.x, t.displacement.y, t.displacementZ};
    }
    else if (t.typeID == FourCC("ELEV"))
    {
        edit.endC = {0.0, 0.0, t.displacementZ};
    }
    else if (t.typeID == FourCC("ROTZ"))
    {
        edit.origC = {t.origin.x, t.origin.y, 0.0};
        edit.begC = {t.origin.x + 1.0, t.origin.y, 0.0};
        edit.endC = {t.origin.x + t.cosAngle, t.origin.y + t.sinAngle, 0.0};
    }
    else if (t.typeID == FourCC("MIRR"))
    {
        edit.begC = {t.origin.x, t.origin.y, 0.0};
        edit.endC = {t.origin.x + t.axisVector.x, t.origin.y + t.axisVector.y, 0.0};
    }
    return edit;
}

}  // namespace SimHost
