#include "ElementDefaults.hpp"

#include <cstdio>

#include "HostAngles.hpp"

namespace SimHost
{

API_Element InitialDefaults(API_ElemTypeID type, std::int32_t variation)
{
    API_Element e {};
    e.header.typeID = type;
    e.header.variationID = variation;
    e.header.layer = DefaultLayer;
    switch (type)
    {
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

}  // namespace SimHost
