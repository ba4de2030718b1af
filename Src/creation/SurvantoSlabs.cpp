#include <cstdint>

#include "API/AddOnInterface.hpp"
#include "Geometry/Geometry.hpp"
#include "frame/Survanto.hpp"
#include "framework/ScopedElementMemo.hpp"
#include "measuring/MainPaletteItems.hpp"

// Slabs, fills and splines from a collected polygon. Slabs and fills read the
// points as corners ("Polygon beenden") or as pairs on the outline's edges, whose
// consecutive lines meet in the corners. An outline of fewer than three corners
// is no area and is not made.

namespace
{

using namespace MainPaletteItems;

constexpr std::uint32_t FewestCorners = 3;

Geometry::Sector LineThrough(const API_Coord3D& a, const API_Coord3D& b) { return {{a.x, a.y}, {b.x, b.y}}; }

// The corner where two measured lines meet; the fallback point where they run parallel.
API_Coord3D Corner(const Geometry::Sector& first, const Geometry::Sector& second, const API_Coord3D& fallback)
{
    Geometry::Coord crossing;
    if (!Geometry::XLines(first, second, &crossing)) return fallback;
    return {crossing.x, crossing.y, 0.0};
}

// Corner k of the edge pairs: the first one where the first and the last line
// meet, each further one where a pair's line meets the line before it. False
// when the list cannot take them all.
bool CornersFromEdgePoints(const TypVektor<API_Coord3D>& p, TypVektor<API_Coord3D>& corners)
{
    const std::uint32_t n = p.GetSize();
    for (std::uint32_t k = 1; k + 1 <= n; k += 2)
    {
        const API_Coord3D corner = k == 1 ? Corner(LineThrough(p[0], p[1]), LineThrough(p[n - 1], p[n - 2]), p[0])
                                          : Corner(LineThrough(p[k], p[k - 1]), LineThrough(p[k - 2], p[k - 3]), p[k - 2]);
        if (!corners.Add(corner)) return false;
    }
    return true;
}

// The host's polygon: entry 0 unused, the corners, the first corner again.
void WriteOutline(const TypVektor<API_Coord3D>& corners, API_Polygon& poly, API_ElementMemo& memo)
{
    memo.coords.assign(1, API_Coord {});
    for (std::uint32_t i = 0; i < corners.GetSize(); ++i) memo.coords.push_back({corners[i].x, corners[i].y});
    memo.coords.push_back(memo.coords[1]);
    const auto count = static_cast<std::int32_t>(corners.GetSize() + 1);
    memo.pends = {0, count};
    memo.parcs.clear();
    poly = {count, 1, 0};
}

class OutlineElement
{
public:
    explicit OutlineElement(API_ElemTypeID type)
    {
        element.header.typeID = type;
        HostGetElementDefaults(&element, &*memo);
    }
    OutlineElement(const OutlineElement&) = delete;
    OutlineElement& operator=(const OutlineElement&) = delete;

    API_Element element;
    ScopedElementMemo memo;
};

// The outline the points give: themselves as corners, or the corners of their
// edge pairs, gathered in the corner list.
const TypVektor<API_Coord3D>* OutlineOf(Survanto& survanto)
{
    if (survanto.MainPaletteItemValue(FinishOpenPolygonItem) != 0.0) return &survanto.actionPoints;
    survanto.slabPoints.Clear();
    if (!CornersFromEdgePoints(survanto.actionPoints, survanto.slabPoints)) return nullptr;
    return &survanto.slabPoints;
}

void CreateSlabElement(Survanto& survanto)
{
    survanto.slabPoints.Clear();
    if (survanto.MainPaletteItemValue(CollectPolygonItem) == 0.0) return;
    if (survanto.actionPoints.GetSize() < FewestCorners) return;
    survanto.SnapPointPairs();
    OutlineElement slab(API_SlabID);
    if (survanto.MainPaletteItemValue(FinishOpenPolygonItem) == 0.0) survanto.SnapPointPairs();
    const TypVektor<API_Coord3D>* corners = OutlineOf(survanto);
    if (corners != nullptr && corners->GetSize() >= FewestCorners)
    {
        WriteOutline(*corners, slab.element.slab.poly, *slab.memo);
        survanto.CompleteCreation(HostCreateElement(&slab.element, &*slab.memo), slab.element, true);
    }
    survanto.pointStep = 0;
}

void CreateFillElement(Survanto& survanto)
{
    OutlineElement fill(API_HatchID);
    survanto.SnapPointPairs();
    const TypVektor<API_Coord3D>* corners = OutlineOf(survanto);
    if (corners == nullptr || corners->GetSize() < FewestCorners) return;
    WriteOutline(*corners, fill.element.hatch.poly, *fill.memo);
    survanto.CompleteCreation(HostCreateElement(&fill.element, &*fill.memo), fill.element, false);
}

// Every point in measuring order, from the list's first entry; closed after
// "Polygon schließen" or "Verbinden".
void CreateSplineElement(Survanto& survanto)
{
    OutlineElement spline(API_SplineID);
    spline.element.spline.closed = survanto.polygonFinish;
    spline.memo->coords.clear();
    for (std::uint32_t i = 0; i < survanto.actionPoints.GetSize(); ++i)
        spline.memo->coords.push_back({survanto.actionPoints[i].x, survanto.actionPoints[i].y});
    survanto.CompleteCreation(HostCreateElement(&spline.element, &*spline.memo), spline.element, false);
}

}  // namespace

void Survanto::CreateSlab()
{
    if (!AcceptToolLayer(API_SlabID)) return;
    RunCreationCommand([this] { CreateSlabElement(*this); });
    pointStep = 0;
}

void Survanto::CreateFill()
{
    if (!AcceptToolLayer(API_HatchID)) return;
    ProjectPointsToSectionView();
    RunCreationCommand([this] { CreateFillElement(*this); });
    pointStep = 0;
}

void Survanto::CreateSpline()
{
    if (!AcceptToolLayer(API_SplineID)) return;
    ProjectPointsToSectionView();
    RunCreationCommand([this] { CreateSplineElement(*this); });
    pointStep = 0;
}
