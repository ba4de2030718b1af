#include "ElementGeometry.hpp"

#include <cmath>
#include <initializer_list>

namespace SimHost {

namespace {

bool AllFinite(std::initializer_list<double> values)
{
    for (const double value : values)
        if (!std::isfinite(value)) return false;
    return true;
}

bool Finite(const API_Coord& c) { return AllFinite({c.x, c.y}); }

bool Finite(const std::vector<API_Coord>& coords)
{
    for (const API_Coord& c : coords)
        if (!Finite(c)) return false;
    return true;
}

bool Finite(const std::vector<API_PolyArc>& arcs)
{
    for (const API_PolyArc& arc : arcs)
        if (!std::isfinite(arc.arcAngle)) return false;
    return true;
}

bool RecordIsFinite(const API_Element& e)
{
    switch (e.header.typeID) {
        case API_WallID:
            return Finite(e.wall.begC) && Finite(e.wall.endC) &&
                   AllFinite({e.wall.arcAngle, e.wall.slantAngle, e.wall.thickness, e.wall.height, e.wall.bottomOffset});
        case API_ColumnID:
            return Finite(e.column.origin) && AllFinite({e.column.axisRotationAngle, e.column.width, e.column.depth, e.column.slantAngle,
                                                         e.column.slantDirectionAngle, e.column.height, e.column.bottomOffset});
        case API_BeamID:
            return Finite(e.beam.begC) && Finite(e.beam.endC) &&
                   AllFinite({e.beam.width, e.beam.height, e.beam.bottomOffset, e.beam.slantAngle});
        case API_SlabID: return AllFinite({e.slab.thickness, e.slab.bottomOffset});
        case API_MeshID: return AllFinite({e.mesh.skirtHeight, e.mesh.bottomOffset});
        case API_RoofID:
            return Finite(e.roof.baseLineBegC) && Finite(e.roof.baseLineEndC) &&
                   AllFinite({e.roof.thickness, e.roof.bottomOffset, e.roof.slopeAngle});
        case API_ObjectID:
        case API_LampID:
            return Finite(e.object.position) && AllFinite({e.object.elevation, e.object.angle, e.object.sizeA, e.object.sizeB});
        case API_WindowID:
        case API_DoorID:
            return Finite(e.window.startPoint) && Finite(e.window.direction) &&
                   AllFinite({e.window.width, e.window.height, e.window.sillHeight, e.window.position, e.window.revealDepth});
        case API_ZoneID: return AllFinite({e.zone.baseLevel, e.zone.height, e.zone.floorThickness});
        case API_ShellID: return AllFinite({e.shell.level});
        case API_LineID: return Finite(e.line.begC) && Finite(e.line.endC);
        case API_ArcID:
        case API_CircleID:
            return Finite(e.arc.centre) && AllFinite({e.arc.radius, e.arc.axisRatio, e.arc.begAngle, e.arc.endAngle});
        case API_HotspotID: return Finite(e.hotspot.position) && AllFinite({e.hotspot.height});
        case API_LevelDimensionID: return Finite(e.levelDimension.position) && AllFinite({e.levelDimension.level});
        case API_MorphID:
            for (const double value : e.morph.transformation)
                if (!std::isfinite(value)) return false;
            return true;
        default: return true;
    }
}

}  // namespace

bool HasFiniteGeometry(const API_Element& element, const API_ElementMemo* memo)
{
    if (!RecordIsFinite(element)) return false;
    if (memo == nullptr) return true;
    return Finite(memo->coords) && Finite(memo->parcs) && Finite(memo->sectionMainCoords) && Finite(memo->sectionDistCoords);
}

}  // namespace SimHost
