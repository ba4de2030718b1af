#include "ElementBoxes.hpp"

#include <algorithm>
#include <cmath>
#include <strings.h>
#include <utility>

#include "ElementGeometry.hpp"
#include "HostAngles.hpp"
#include "ShellElements.hpp"

namespace SimHost
{

namespace
{

struct BoxBuilder
{
    API_Box3D box {};
    bool any = false;

    void Add(double x, double y)
    {
        if (!any)
        {
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
    for (const API_Coord3D& v : body.vertices)
    {
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

}  // namespace

bool ElementBox(const StoredElement& element, double level, API_Box3D& box)
{
    const API_Element& e = element.record;
    BoxBuilder b;
    switch (e.header.typeID)
    {
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

}  // namespace SimHost
