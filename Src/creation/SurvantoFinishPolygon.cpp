#include <cstdint>

#include "frame/Survanto.hpp"
#include "measuring/MainPaletteItems.hpp"

// The polygon buttons end a collection of points: the current tool's creator
// takes them, and the next point starts a new polygon.

namespace
{

using namespace MainPaletteItems;

// The mesh creator reads its own point list, which lasts only for this creation.
void FinishMesh(Survanto& survanto)
{
    survanto.meshPoints[0] = survanto.actionPoints;
    survanto.CreateMesh();
    survanto.meshPoints[0].Clear();
}

struct PolygonCreator
{
    std::int32_t tool;
    void (*create)(Survanto& survanto);
};

const PolygonCreator PolygonCreators[] = {
    {API_WallID, [](Survanto& s) { s.CreateWall(); }},
    {API_ColumnID, [](Survanto& s) { s.CreateColumn(); }},
    {API_BeamID, [](Survanto& s) { s.CreateBeam(); }},
    {API_SlabID, [](Survanto& s) { s.CreateSlab(); }},
    {API_MeshID, FinishMesh},
    {API_HatchID, [](Survanto& s) { s.CreateFill(); }},
    {API_SplineID, [](Survanto& s) { s.CreateSpline(); }},
    {API_MorphID, [](Survanto& s) { s.CreateMorphFromPoints(&s.actionPoints); }},
};

}  // namespace

// Whatever the creator made of them, the buttons go off and the points are dropped.
void Survanto::FinishPolygon()
{
    for (const PolygonCreator& creator : PolygonCreators)
        if (creator.tool == currentTool) creator.create(*this);
    for (const std::int16_t item : {FinishOpenPolygonItem, FinishClosedPolygonItem, ConnectItem})
        SetMainPaletteItemValue(item, 0.0);
    actionPoints.Clear();
}
