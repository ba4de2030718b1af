#include <cmath>
#include <cstdint>

#include "API/AddOnInterface.hpp"
#include "frame/Survanto.hpp"
#include "framework/HostApiHelpers.hpp"
#include "framework/ScopedElementMemo.hpp"
#include "framework/Tolerance.hpp"
#include "framework/Vektor2D.hpp"
#include "framework/VektorConversions.hpp"
#include "measuring/MainPaletteItems.hpp"

// Objects and lamps from measured points: placed by one insertion point (option 14)
// or fitted to three corners (option 15). The host places a new element by its
// own reference point, so the element is made first and then moved and turned by
// its 3D box. An element the host did not make, or whose box it cannot tell, is
// not edited: a box of no element would move it anywhere.

namespace
{

using namespace MainPaletteItems;

constexpr std::int32_t NoAnchorIcon = 4;

// The point of the box that the anchor pop-up's icon names.
Vektor2D AnchorPointOf(const API_Box3D& box, std::int32_t anchorCode)
{
    const double midX = (box.xMin + box.xMax) / 2.0;
    const double midY = (box.yMin + box.yMax) / 2.0;
    switch (anchorCode)
    {
        case 0: return {box.xMin, box.yMax};
        case 1: return {midX, box.yMax};
        case 2: return {box.xMax, box.yMax};
        case 3: return {box.xMin, midY};
        case 5: return {box.xMax, midY};
        case 6: return {box.xMin, box.yMin};
        case 7: return {midX, box.yMin};
        case 8: return {box.xMax, box.yMin};
        default: return {midX, midY};
    }
}

class PlacedElement
{
public:
    PlacedElement(Survanto& survanto, API_ElemTypeID type) : s_(survanto)
    {
        element_.header.typeID = type;
        defaultsRead_ = HostGetElementDefaults(&element_, &*memo_) == NoError;
    }
    PlacedElement(const PlacedElement&) = delete;
    PlacedElement& operator=(const PlacedElement&) = delete;

    void ByInsertionPoint(const API_Coord3D& p0);
    void ByThreeCorners(const API_Coord3D& p0, const API_Coord3D& p1, const API_Coord3D& p2);

private:
    // False when the host made nothing.
    bool Create()
    {
        const GSErrCode created = HostCreateElement(&element_, &*memo_);
        s_.CompleteCreation(created, element_, true);
        return created == NoError;
    }
    bool ReadBox(API_Box3D& box) { return HostDatabaseRequest(FourCC("CABO"), &element_.header, &box) == NoError; }
    void Edit(std::int32_t kind, const Vektor2D& centre, const Vektor2D& from, const Vektor2D& to)
    {
        API_Neig neig;
        neig.neigID = ElemTypeToNeig(element_.header.typeID);
        neig.guid = element_.header.guid;
        API_EditPars edit {};
        edit.typeID = kind;
        edit.withDelete = true;
        edit.origC = {centre.x, centre.y, 0.0};
        edit.begC = {from.x, from.y, 0.0};
        edit.endC = {to.x, to.y, 0.0};
        HostEditElements(&neig, 1, &edit);
    }
    void Drag(const Vektor2D& from, const Vektor2D& to) { Edit(FourCC("DRAG"), {0.0, 0.0}, from, to); }
    void Turn(const Vektor2D& centre, double angle)
    {
        Edit(FourCC("ROTZ"), centre, centre + Vektor2D(1.0, 0.0), centre + Vektor2D(std::cos(angle), std::sin(angle)));
    }

    Survanto& s_;
    API_Element element_;
    ScopedElementMemo memo_;
    bool defaultsRead_ = false;
};

// The box's anchor point goes onto the measured point, and the element turns
// about it back to the tool's angle: the anchor stays where it was measured.
void PlacedElement::ByInsertionPoint(const API_Coord3D& p0)
{
    if (element_.header.typeID == API_ObjectID && !defaultsRead_) return;
    element_.object.elevation = p0.z - GetStoryLevel(element_.header.floorInd);
    element_.object.position = {p0.x, p0.y};
    const double toolAngle = element_.object.angle;
    element_.object.angle = 0.0;
    if (!Create()) return;
    API_Box3D box {};
    if (!ReadBox(box)) return;
    std::int32_t anchorCode = NoAnchorIcon;
    s_.GetSelectedAnchor(nullptr, &anchorCode);
    const Vektor2D measured = PlanVektor(p0);
    const Vektor2D anchor = AnchorPointOf(box, anchorCode);
    Drag(measured, measured + (measured - anchor));
    Turn(measured, toolAngle);
}

// P0 and P1 on one side, P2 across: the element is made unturned at the origin,
// turned about its box corner and moved with that corner onto the start corner.
void PlacedElement::ByThreeCorners(const API_Coord3D& p0, const API_Coord3D& p1, const API_Coord3D& p2)
{
    const Vektor2D a = PlanVektor(p1) - PlanVektor(p0);
    const Vektor2D b = PlanVektor(p2) - PlanVektor(p1);
    element_.object.position = {0.0, 0.0};
    element_.object.sizeA = a.GetLength();
    element_.object.sizeB = b.GetLength();
    element_.object.angle = 0.0;
    if (!Create()) return;
    API_Box3D box {};
    if (!ReadBox(box)) return;
    const Vektor2D corner(box.xMin, box.yMin);
    const bool left = !(a.CrossProduct(b) < -GeometricTolerance);
    Turn(corner, left ? a.GetAngle() : (-a).GetAngle());
    Drag(corner, PlanVektor(left ? p0 : p1));
}

void CreatePlacedElement(Survanto& survanto, API_ElemTypeID type)
{
    if (!survanto.AcceptToolLayer(type)) return;
    survanto.RunCreationCommand([&survanto, type] {
        PlacedElement placed(survanto, type);
        const TypVektor<API_Coord3D>& points = survanto.actionPoints;
        if (survanto.MainPaletteItemValue(OnePointObjectItem) != 0.0)
        {
            if (points.GetSize() >= 1) placed.ByInsertionPoint(points[0]);
        }
        else if (survanto.MainPaletteItemValue(ThreePointObjectItem) != 0.0)
        {
            if (points.GetSize() >= 3) placed.ByThreeCorners(points[0], points[1], points[2]);
        }
    });
}

}  // namespace

void Survanto::CreateObject()
{
    CreatePlacedElement(*this, API_ObjectID);
    pointStep = 0;
}

void Survanto::CreateLamp()
{
    CreatePlacedElement(*this, API_LampID);
    pointStep = 0;
}
