#include "ElementDescriptions.hpp"

#include <cstring>
#include <sstream>

#include "NumberText.hpp"
#include "PictureElements.hpp"
#include "PolylineElements.hpp"
#include "ShellElements.hpp"

namespace SimHost
{

namespace
{

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

std::string ElemTypeName(API_ElemTypeID type)
{
    switch (type)
    {
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
    switch (e.header.typeID)
    {
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
