#include <cmath>
#include <cstdint>

#include "API/AddOnInterface.hpp"
#include "API/Database.hpp"
#include "Geometry/Geometry.hpp"
#include "frame/Survanto.hpp"
#include "framework/AngleConstants.hpp"
#include "framework/HostApiHelpers.hpp"
#include "framework/ScopedElementMemo.hpp"
#include "framework/Tolerance.hpp"
#include "framework/VektorConversions.hpp"
#include "measuring/MainPaletteItems.hpp"
#include "palettes/PolyCreatePetPalette.hpp"

// A plane roof through three measured points: the plane gives the pivot line, the
// slope and the side it rises on; the user draws the outline on that plane while
// the pet palette switches the way the outline is drawn.

namespace
{

using namespace MainPaletteItems;

constexpr std::uint32_t PlanePointCount = 3;
constexpr std::int32_t PetPaletteFlags = 5;
constexpr std::int16_t PetPaletteRight = 40;
constexpr std::int16_t PetPaletteUp = 60;

struct RoofPlane
{
    API_Coord3D points[PlanePointCount];
    Vektor3D normal;
};

Geometry::Coord3D GeometryPoint(const API_Coord3D& p) { return {p.x, p.y, p.z}; }

// The line where the roof plane meets the level of the pivot; a horizontal roof
// plane never meets it, and its pivot then runs along x through the first point.
Geometry::Sector PivotLevelLine(const RoofPlane& plane, double pivotHeight)
{
    const API_Coord3D& a = plane.points[0];
    Geometry::Plane roof;
    roof.point = GeometryPoint(a);
    roof.normal = {plane.normal.x, plane.normal.y, plane.normal.z};
    Geometry::Plane level;
    level.point = {a.x, a.y, pivotHeight};
    level.normal = {0.0, 0.0, 1.0};
    Geometry::Sector3D line;
    if (!Geometry::XPlanes(roof, level, &line)) return {{a.x, a.y}, {a.x + 1.0, a.y}};
    return {{line.c1.x, line.c1.y}, {line.c2.x, line.c2.y}};
}

double Dot(const Geometry::Coord& a, const Geometry::Coord& b) { return a.x * b.x + a.y * b.y; }
Geometry::Coord Minus(const Geometry::Coord& a, const Geometry::Coord& b) { return {a.x - b.x, a.y - b.y}; }

// The pivot line over the outer projections of the three points, pointing the way
// the level line points.
Geometry::Sector PivotLine(const RoofPlane& plane, const Geometry::Sector& levelLine)
{
    Geometry::Coord r[PlanePointCount];
    for (std::uint32_t i = 0; i < PlanePointCount; ++i)
        r[i] = Geometry::CoordProjSector({plane.points[i].x, plane.points[i].y}, levelLine);
    const Geometry::Coord direction = Minus(levelLine.c2, levelLine.c1);
    for (std::uint32_t i = 0; i < PlanePointCount; ++i)
    {
        const std::uint32_t p = (i + PlanePointCount - 1) % PlanePointCount;
        const std::uint32_t q = (i + 1) % PlanePointCount;
        if (Dot(Minus(r[q], r[i]), Minus(r[p], r[i])) > GeometricTolerance) continue;
        if (Dot(direction, Minus(r[p], r[i])) > GeometricTolerance) return {r[q], r[p]};
        return {r[p], r[q]};
    }
    return levelLine;
}

void SetRoofGeometry(const RoofPlane& plane, API_RoofType& roof)
{
    const double pivotHeight = GetStoryLevel(roof.head.floorInd) + roof.bottomOffset;
    const Geometry::Sector pivot = PivotLine(plane, PivotLevelLine(plane, pivotHeight));
    roof.baseLineBegC = {pivot.c1.x, pivot.c1.y};
    roof.baseLineEndC = {pivot.c2.x, pivot.c2.y};
    const Vektor3D horizontal(plane.normal.x, plane.normal.y, 0.0);
    roof.slopeAngle = HalfPi - std::fabs(plane.normal.GetAngle(horizontal));
    const Geometry::Coord along = Minus(pivot.c2, pivot.c1);
    bool risesLeft = along.x * horizontal.y - along.y * horizontal.x > GeometricTolerance;
    if (plane.normal.z > GeometricTolerance) risesLeft = !risesLeft;
    roof.posSign = risesLeft;
}

class RoofElement
{
public:
    RoofElement()
    {
        element.header.typeID = API_RoofID;
        HostGetElementDefaults(&element, &*memo);
    }
    RoofElement(const RoofElement&) = delete;
    RoofElement& operator=(const RoofElement&) = delete;

    API_Element element;
    ScopedElementMemo memo;
};

void BuildRoof(Survanto& survanto, const RoofPlane& plane, API_GetPolyType& outline)
{
    RoofElement roof;
    roof.element.roof.roofClass = 0;
    roof.memo->coords = std::move(outline.coords);
    roof.memo->parcs = std::move(outline.parcs);
    roof.memo->pends = {0, outline.nCoords};
    roof.element.roof.poly = {outline.nCoords, 1, outline.nArcs};
    SetRoofGeometry(plane, roof.element.roof);
    survanto.CompleteCreation(HostCreateElement(&roof.element, &*roof.memo), roof.element, true);
}

bool PickOutlineStart(const RoofPlane& plane, API_Coord3D& start)
{
    API_GetPointType input;
    input.changePlane = true;
    input.planeOrigin = plane.points[0];
    input.planeNormal = {plane.normal.x, plane.normal.y, plane.normal.z};
    if (HostInterfaceRequest(FourCC("IPOI"), &input, nullptr) != NoError) return false;
    start = input.pos;
    return true;
}

void OpenNextToPick(Survanto& survanto, PolyCreatePetPalette& palette, const API_Coord3D& pick)
{
    API_Coord planPosition {pick.x, pick.y};
    API_Pixel pixel;
    // Where the pick lies on screen is known only from the host; otherwise the palette opens where it was.
    if (HostDatabaseRequest(FourCC("CTOP"), &planPosition, &pixel) == NoError)
        palette.SetSavedPosition(static_cast<std::int16_t>(pixel.x + PetPaletteRight),
                                 static_cast<std::int16_t>(pixel.y - PetPaletteUp));
    palette.SetResourceModules(survanto.resourceModules[0], survanto.resourceModules[1]);
    palette.OpenPalette(PetPaletteFlags);
}

// Runs the outline input until it gives an outline, or is cancelled without a
// new choice in the pet palette.
void DrawOutline(Survanto& survanto, const RoofPlane& plane, PolyCreatePetPalette& palette, const API_Coord3D& start)
{
    for (;;)
    {
        const std::int16_t mode = palette.GetMode();
        API_GetPolyType input;
        input.planeNormal = {plane.normal.x, plane.normal.y, plane.normal.z};
        input.startCoord = start;
        input.method = palette.InputMethod();
        input.useStartCoord = true;
        input.onPlane = true;
        if (HostInterfaceRequest(FourCC("IPOL"), &input, nullptr) == NoError)
        {
            BuildRoof(survanto, plane, input);
            return;
        }
        if (palette.GetMode() == mode) return;
    }
}

void CreateRoofElement(Survanto& survanto)
{
    if (survanto.MainPaletteItemValue(RoofThreePointsItem) == 0.0) return;
    if (survanto.actionPoints.GetSize() != PlanePointCount) return;
    RoofPlane plane;
    for (std::uint32_t i = 0; i < PlanePointCount; ++i) plane.points[i] = survanto.actionPoints[i];
    const Vektor3D a = SpaceVektor(plane.points[0]);
    plane.normal = (SpaceVektor(plane.points[1]) - a).CrossProduct(SpaceVektor(plane.points[2]) - a);
    if (plane.normal.GetLength() < GeometricTolerance) return;
    PolyCreatePetPalette palette;
    ++survanto.pointStep;
    survanto.ShowMeasuringPrompt();
    API_Coord3D start;
    if (PickOutlineStart(plane, start))
    {
        OpenNextToPick(survanto, palette, start);
        DrawOutline(survanto, plane, palette, start);
    }
    palette.Close();
}

}  // namespace

void Survanto::CreateRoof()
{
    if (!AcceptToolLayer(API_RoofID)) return;
    busy = true;
    RunCreationCommand([this] { CreateRoofElement(*this); });
    pointStep = 0;
    busy = false;
}
