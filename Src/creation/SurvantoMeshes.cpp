#include <cmath>
#include <cstdint>
#include <vector>

#include "API/AddOnInterface.hpp"
#include "API/Database.hpp"
#include "Geometry/Geometry.hpp"
#include "frame/Survanto.hpp"
#include "frame/UInterface.hpp"
#include "framework/HostApiHelpers.hpp"
#include "framework/ScopedElementMemo.hpp"
#include "framework/Tolerance.hpp"
#include "measuring/MainPaletteItems.hpp"
#include "measuring/MarkerPart.hpp"

// A free-area mesh from measured terrain points: its outline is the drawn boundary
// or the points' convex hull, points on the outline give its heights, the others
// become level points. The skirt reaches down to the reference height.

namespace
{

using namespace MainPaletteItems;

constexpr std::int16_t SurfaceOnlyEntry = 1;  // "Nur Oberfläche"; entry 2 is "Vollkörper"
constexpr std::int16_t SurfaceOnlySkirt = 3;
constexpr std::int16_t SolidSkirt = 1;
constexpr std::int32_t TextReferenceBetweenPoints = 8;
constexpr std::uint32_t FewestMeshPoints = 4;
// Markers count however few elements the selection holds.
constexpr std::int32_t AnySelection = 0;
constexpr std::size_t FewestCorners = 3;

TypVektor<API_Coord3D>& MeshPoints(Survanto& survanto) { return survanto.meshPoints[0]; }
TypVektor<API_Coord3D>& MeshBoundary(Survanto& survanto) { return survanto.meshPoints[1]; }

class MeshElement
{
public:
    MeshElement()
    {
        element.header.typeID = API_MeshID;
        HostGetElementDefaults(&element, &*memo);
    }
    MeshElement(const MeshElement&) = delete;
    MeshElement& operator=(const MeshElement&) = delete;

    API_Element element;
    ScopedElementMemo memo;
};

struct HeightRange
{
    double low;
    double high;
};

HeightRange RangeOf(const TypVektor<API_Coord3D>& points)
{
    HeightRange range {points[0].z, points[0].z};
    for (std::uint32_t i = 1; i < points.GetSize(); ++i)
    {
        if (points[i].z < range.low - GeometricTolerance)
            range.low = points[i].z;
        else if (points[i].z > range.high + GeometricTolerance)
            range.high = points[i].z;
    }
    return range;
}

std::vector<API_Coord3D> OutlineOf(Survanto& survanto)
{
    TypVektor<API_Coord3D>& boundary = MeshBoundary(survanto);
    std::vector<API_Coord3D> outline;
    if (boundary.GetSize() > 0)
    {
        for (std::uint32_t i = 0; i + 1 < boundary.GetSize(); ++i) outline.push_back(boundary[i]);
        return outline;
    }
    Geometry::ConvexHull2DCreator hull;
    const TypVektor<API_Coord3D>& points = MeshPoints(survanto);
    for (std::uint32_t i = 0; i < points.GetSize(); ++i) hull.AddPoint(points[i].x, points[i].y, points[i].z);
    for (const Geometry::Coord3D& c : hull.CalcConvexHull()) outline.push_back({c.x, c.y, c.z});
    return outline;
}

bool CountsOnce(const std::vector<API_Coord3D>& outline)
{
    std::size_t distinct = 0;
    for (std::size_t i = 0; i < outline.size(); ++i)
    {
        bool seen = false;
        for (std::size_t j = 0; j < i && !seen; ++j)
            seen = std::fabs(outline[i].x - outline[j].x) < GeometricTolerance &&
                   std::fabs(outline[i].y - outline[j].y) < GeometricTolerance;
        if (!seen) ++distinct;
    }
    return distinct >= FewestCorners;
}

void WriteOutline(const std::vector<API_Coord3D>& outline, API_MeshType& mesh, API_ElementMemo& memo)
{
    const auto k = static_cast<std::int32_t>(outline.size());
    memo.coords.assign(1, API_Coord {});
    memo.vertexIDs.assign(1, 0);
    for (std::int32_t i = 0; i < k; ++i)
    {
        memo.coords.push_back({outline[static_cast<std::size_t>(i)].x, outline[static_cast<std::size_t>(i)].y});
        memo.vertexIDs.push_back(i + 1);
    }
    memo.coords.push_back(memo.coords[1]);
    memo.vertexIDs.push_back(1);
    memo.pends = {0, k + 1};
    memo.parcs.clear();
    mesh.poly = {k + 1, 1, 0};
}

// Outline heights above the lowest point; a measured point on an outline corner
// gives it its height and is no level point.
void WriteHeights(const std::vector<API_Coord3D>& outline, double low, TypVektor<API_Coord3D>& points, API_ElementMemo& memo)
{
    memo.meshPolyZ.assign(outline.size() + 2, 0.0);
    std::vector<API_Coord3D> left(points.begin(), points.end());
    for (std::size_t i = 0; i < outline.size(); ++i)
    {
        double& height = memo.meshPolyZ[i + 1];
        height = outline[i].z - low;
        std::vector<API_Coord3D> kept;
        for (const API_Coord3D& p : left)
        {
            if (std::fabs(p.x - outline[i].x) < GeometricTolerance && std::fabs(p.y - outline[i].y) < GeometricTolerance)
                height = p.z - low;
            else
                kept.push_back(p);
        }
        left = std::move(kept);
    }
    points.Clear();
    for (const API_Coord3D& p : left) points.Add(p);
}

void WriteLevelPoints(const TypVektor<API_Coord3D>& inner, double low, API_MeshType& mesh, API_ElementMemo& memo)
{
    const auto outlineIds = static_cast<std::int32_t>(memo.coords.size() - 1);
    memo.meshLevelCoords.clear();
    memo.meshLevelEnds.clear();
    for (std::uint32_t q = 0; q < inner.GetSize(); ++q)
    {
        const std::int32_t id = outlineIds + static_cast<std::int32_t>(q) + 1;
        memo.meshLevelCoords.push_back({{inner[q].x, inner[q].y, inner[q].z - low}, id});
        memo.meshLevelEnds.push_back(static_cast<std::int32_t>(q) + 1);
        memo.vertexIDs.push_back(id);
    }
    const auto count = static_cast<std::int32_t>(inner.GetSize());
    memo.vertexIDs[0] = outlineIds + count + 1;
    mesh.levelPointCount = count;
    mesh.levelLineCount = count;
}

void ShowReferenceBetweenPointsAlert()
{
    ShowAlert(AlertError, AlertStringListId, AlertErrorTitle, TextReferenceBetweenPoints, NoAlertText, AlertOkButton, NoAlertText,
              NoAlertText, CurrentResourceModule(), AlertStringType);
}

void CreateMeshElement(Survanto& survanto)
{
    TypVektor<API_Coord3D>& points = MeshPoints(survanto);
    if (points.GetSize() < FewestMeshPoints) return;
    double reference = survanto.MainPaletteItemValue(FreeAreaHeightItem);
    const HeightRange range = RangeOf(points);
    MeshElement mesh;
    std::int16_t skirt = survanto.MainPaletteEntry(MeshKindItem) == SurfaceOnlyEntry ? SurfaceOnlySkirt : SolidSkirt;
    if (reference > range.low + GeometricTolerance && reference < range.high - GeometricTolerance)
    {
        reference = range.low;
        if (skirt == SolidSkirt) ShowReferenceBetweenPointsAlert();
        skirt = SurfaceOnlySkirt;
    }
    const std::vector<API_Coord3D> outline = OutlineOf(survanto);
    if (!CountsOnce(outline)) return;
    API_MeshType& record = mesh.element.mesh;
    record.skirt = skirt;
    WriteOutline(outline, record, *mesh.memo);
    WriteHeights(outline, range.low, points, *mesh.memo);
    WriteLevelPoints(points, range.low, record, *mesh.memo);
    record.bottomOffset = range.low - GetStoryLevel(record.head.floorInd);
    record.skirtHeight = range.low - reference;
    survanto.CompleteCreation(HostCreateElement(&mesh.element, &*mesh.memo), mesh.element, true);
    points.Clear();
}

double NearestHeight(const TypVektor<API_Coord3D>& points, const API_Coord& c)
{
    double height = points[0].z;
    double nearest = std::hypot(points[0].x - c.x, points[0].y - c.y);
    for (std::uint32_t i = 1; i < points.GetSize(); ++i)
    {
        const double distance = std::hypot(points[i].x - c.x, points[i].y - c.y);
        if (distance < nearest - GeometricTolerance)
        {
            nearest = distance;
            height = points[i].z;
        }
    }
    return height;
}

// The boundary the user draws on the level of the lowest point; none when the
// input is cancelled.
void DrawBoundary(Survanto& survanto)
{
    const TypVektor<API_Coord3D>& points = MeshPoints(survanto);
    API_GetPointType start;
    start.changePlane = true;
    start.planeOrigin = {0.0, 0.0, RangeOf(points).low};
    start.planeNormal = {0.0, 0.0, 1.0};
    if (HostInterfaceRequest(FourCC("IPOI"), &start, nullptr) != NoError) return;
    API_GetPolyType outline;
    outline.planeNormal = {0.0, 0.0, 1.0};
    outline.startCoord = start.pos;
    outline.useStartCoord = true;
    outline.onPlane = true;
    if (HostInterfaceRequest(FourCC("IPOL"), &outline, nullptr) != NoError) return;
    for (std::int32_t i = 1; i <= outline.nCoords && static_cast<std::size_t>(i) < outline.coords.size(); ++i)
    {
        const API_Coord& c = outline.coords[static_cast<std::size_t>(i)];
        MeshBoundary(survanto).Add({c.x, c.y, NearestHeight(points, c)});
    }
}

}  // namespace

void Survanto::CreateMesh()
{
    if (AcceptToolLayer(API_MeshID)) RunCreationCommand([this] { CreateMeshElement(*this); });
    pointStep = 0;
}

void Survanto::CreateMeshFromActivatedPoints(bool withBoundary)
{
    if (!AcceptToolLayer(API_MeshID)) return;
    MeshPoints(*this).Clear();
    MeshBoundary(*this).Clear();
    busy = true;
    MarkerPart::GatherSelectedMeasuredPoints(MeshPoints(*this), AnySelection);
    if (withBoundary && MeshPoints(*this).GetSize() > 0) DrawBoundary(*this);
    if (MeshPoints(*this).GetSize() > 0) CreateMesh();
    busy = false;
    MeshPoints(*this).Clear();
    MeshBoundary(*this).Clear();
}
