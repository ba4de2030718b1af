#include "framework/HostApiHelpers.hpp"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <limits>
#include <utility>

#include "DG/DG.hpp"
#include "Win/Display.hpp"
#include "framework/FloorPlanDatabaseScope.hpp"
#include "framework/ScopedElementMemo.hpp"

namespace
{

// Element type to selection id; a type outside the table has none.
constexpr std::pair<API_ElemTypeID, std::int32_t> NeigOfType[] = {
    {1, 1},   {2, 5},   {3, 6},   {4, 9},   {5, 11},  {6, 13},  {7, 14},  {8, 15},  {9, 17},
    {10, 21}, {11, 26}, {12, 28}, {13, 29}, {14, 30}, {15, 32}, {16, 33}, {17, 34}, {18, 38},
    {19, 40}, {21, 44}, {22, 46}, {23, 48}, {24, 50}, {25, 51}, {26, 53}, {27, 54}};

bool EqualIgnoringCase(const char* wanted, const char (&name)[32])
{
    const std::size_t length = strnlen(name, sizeof name);
    if (std::strlen(wanted) != length) return false;
    for (std::size_t i = 0; i < length; ++i)
        if (std::tolower(static_cast<unsigned char>(wanted[i])) != std::tolower(static_cast<unsigned char>(name[i])))
            return false;
    return true;
}

// A layer whose flags were cleared for a retry, and what they were.
struct ClearedLayer
{
    API_Attribute attribute {};
    std::int32_t formerFlags = 0;
    bool changed = false;
};

ClearedLayer ClearLayerFlags(std::int16_t layer, std::int32_t flagsToClear)
{
    ClearedLayer cleared;
    cleared.attribute.header.typeID = API_LayerID;
    cleared.attribute.header.index = layer;
    if (HostGetAttribute(&cleared.attribute) != NoError) return cleared;
    cleared.formerFlags = cleared.attribute.header.flags;
    if ((cleared.formerFlags & flagsToClear) == 0) return cleared;
    cleared.attribute.header.flags = cleared.formerFlags & ~flagsToClear;
    HostModifyAttribute(&cleared.attribute);
    cleared.changed = true;
    return cleared;
}

void RestoreLayerFlags(ClearedLayer& cleared)
{
    if (!cleared.changed) return;
    cleared.attribute.header.flags = cleared.formerFlags;
    HostModifyAttribute(&cleared.attribute);
}

bool UnlockElement(const API_Elem_Head& header)
{
    return header.lockId > 0 && HostApplyElementTool(&header, 1, APITool_Unlock) == NoError;
}

void LockElement(const API_Elem_Head& header) { HostApplyElementTool(&header, 1, APITool_Lock); }

GSErrCode ChangeOnce(API_Element* element, API_Element* mask, API_ElementMemo* memo)
{
    if (memo != nullptr && !memo->params.empty()) return HostChangeElement(element, mask, memo, APIMemoMask_AddPars, true);
    return HostChangeElement(element, mask, nullptr, 0, true);
}

// The edit that takes back a user's transformation; false for kinds it cannot invert.
bool InverseEdit(const API_ActTranPars& t, API_EditPars& edit)
{
    edit = API_EditPars {};
    edit.typeID = t.typeID;
    edit.withDelete = true;
    if (t.typeID == FourCC("DRAG"))
    {
        edit.endC = {-t.displacement.x, -t.displacement.y, -t.displacementZ};
    }
    else if (t.typeID == FourCC("ELEV"))
    {
        edit.endC = {0.0, 0.0, -t.displacementZ};
    }
    else if (t.typeID == FourCC("MIRR"))
    {
        edit.begC = {t.origin.x, t.origin.y, 0.0};
        edit.endC = {t.origin.x - t.axisVector.x, t.origin.y - t.axisVector.y, 0.0};
    }
    else if (t.typeID == FourCC("ROTZ"))
    {
        edit.origC = {t.origin.x, t.origin.y, 0.0};
        edit.begC = {t.origin.x + 1.0, t.origin.y, 0.0};
        edit.endC = {t.origin.x + t.cosAngle, t.origin.y - t.sinAngle, 0.0};
    }
    else
    {
        return false;
    }
    return true;
}

bool IsWhiteSpace(char16_t c)
{
    return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x85 || c == 0xA0 || c == 0x1680 || (c >= 0x2000 && c <= 0x200A) ||
           c == 0x2028 || c == 0x2029 || c == 0x202F || c == 0x205F || c == 0x3000;
}

}  // namespace

std::int32_t FindParamIndex(const char* name, const std::vector<API_AddParType>* params)
{
    if (name == nullptr || params == nullptr) return -1;
    for (std::size_t i = 0; i < params->size(); ++i)
        if (EqualIgnoringCase(name, (*params)[i].name)) return static_cast<std::int32_t>(i);
    return -1;
}

std::int32_t FindMemoParamIndex(const char* name, const API_ElementMemo& memo) { return FindParamIndex(name, &memo.params); }

API_ElemTypeID NeigToElemType(std::int32_t neigID)
{
    API_ElemTypeID type = 0;
    return HostUtilityRequest(FourCC("NTOE"), &neigID, &type) == NoError ? type : 0;
}

std::int32_t ElemTypeToNeig(API_ElemTypeID type)
{
    for (const auto& [elemType, neig] : NeigOfType)
        if (elemType == type) return neig;
    return 0;
}

void SetIdentityTransformation(double (&transformation)[12])
{
    std::fill(std::begin(transformation), std::end(transformation), 0.0);
    transformation[0] = transformation[5] = transformation[10] = 1.0;
}

double GetStoryLevel(std::int16_t storyIndex)
{
    API_StoryInfo info;
    if (HostEnvironmentRequest(FourCC("GSTO"), &info, nullptr) != NoError) return 0.0;
    if (storyIndex < info.firstStory || storyIndex > info.lastStory) return 0.0;
    const std::size_t position = static_cast<std::size_t>(storyIndex - info.firstStory);
    return position < info.data.size() ? info.data[position].level : 0.0;
}

API_Coord GetLocationOffset()
{
    API_Coord offset;
    if (HostDatabaseRequest(FourCC("GOFS"), &offset, nullptr) != NoError) return API_Coord {};
    return offset;
}

API_ToolBoxItem CurrentToolboxItem()
{
    API_ToolBoxItem item {};
    if (HostEnvironmentRequest(FourCC("GTBX"), &item, nullptr) != NoError) return API_ToolBoxItem {};
    return item;
}

std::optional<GS::UniString> LibraryPartName(std::int32_t libIndex)
{
    API_LibPart part;
    part.index = libIndex;
    if (HostGetLibraryPart(&part) != NoError) return std::nullopt;
    return part.name;
}

API_Element ElementToolDefaults(API_ElemTypeID type)
{
    API_Element element;
    element.header.typeID = type;
    HostGetElementDefaults(&element, nullptr);
    return element;
}

bool ForceChangeElement(API_Element* element, API_Element* mask, API_ElementMemo* memo)
{
    if (element == nullptr || mask == nullptr) return false;
    if (ChangeOnce(element, mask, memo) == NoError) return true;
    const API_Elem_Head header = element->header;
    API_Elem_Head current = header;
    HostGetElementHeader(&current);
    ClearedLayer layer = ClearLayerFlags(current.layer, APILay_Hidden | APILay_Locked);
    const bool unlocked = UnlockElement(header);
    bool changed = false;
    if (layer.changed || unlocked) changed = ChangeOnce(element, mask, memo) == NoError;
    if (unlocked) LockElement(header);
    RestoreLayerFlags(layer);
    return changed;
}

bool ForceChangeElementMemo(const API_Guid& guid, API_ElementMemo* memo, std::uint64_t memoMask)
{
    const std::uint64_t mask = memoMask | APIMemoMask_AddPars;
    const GSErrCode first = HostChangeElementMemo(&guid, mask, memo);
    if (first == NoError) return true;
    if (first != APIERR_PAGELOCKED) return false;
    API_Element element {};
    element.header.guid = guid;
    HostGetElementHeader(&element.header);
    const API_Elem_Head header = element.header;
    ClearedLayer layer = ClearLayerFlags(header.layer, APILay_Locked);
    const bool unlocked = UnlockElement(header);
    const bool changed = HostChangeElementMemo(&guid, mask, memo) == NoError;
    if (unlocked) LockElement(header);
    RestoreLayerFlags(layer);
    return changed;
}

bool ForceDeleteElement(const API_Elem_Head& header)
{
    const GSErrCode first = HostDeleteElements(&header, 1);
    if (first == NoError) return true;
    if (first != APIERR_PAGELOCKED) return false;
    ClearedLayer layer = ClearLayerFlags(header.layer, APILay_Locked);
    const bool unlocked = UnlockElement(header);
    const bool deleted = HostDeleteElements(&header, 1) == NoError;
    // A deleted element can no longer be locked; one that stayed is locked again.
    if (unlocked && !deleted) LockElement(header);
    RestoreLayerFlags(layer);
    return deleted;
}

API_Guid RevertElementChange(const API_NotifyElementType& notification, const API_ActTranPars* transformation)
{
    const std::int32_t kind = notification.notifID;
    if (kind != APINotifyElement_Change && kind != APINotifyElement_Edit && kind != APINotifyElement_Delete)
        return notification.guid;
    API_Element former {};
    former.header.guid = notification.guid;
    former.header.typeID = notification.typeID;
    ScopedElementMemo memo;
    API_ElementUserData userData;
    if (HostGetNotifiedElementSource(&former, &*memo, APIMemoMask_AddPars, &userData) != NoError) return notification.guid;

    API_ActTranPars tran {};
    if (kind == APINotifyElement_Edit)
    {
        if (transformation != nullptr)
            tran = *transformation;
        else
            HostGetEditTransformation(&tran);
    }
    API_Guid result = notification.guid;
    API_EditPars edit;
    if (kind == APINotifyElement_Delete)
    {
        former.header.guid = APINULLGuid;
        if (HostCreateElement(&former, &*memo) == NoError)
        {
            HostAttachElementObserver(&former.header, 0);
            result = former.header.guid;
            HostSetElementUserData(&former.header, &userData);
        }
    }
    else if (kind == APINotifyElement_Edit && InverseEdit(tran, edit))
    {
        API_Neig neig;
        neig.neigID = APINeig_Symb;
        neig.guid = notification.guid;
        HostEditElements(&neig, 1, &edit);
    }
    else if (kind == APINotifyElement_Change || tran.typeID == FourCC("STRE") || tran.typeID == FourCC("VSTR") ||
             tran.typeID == FourCC("GENE"))
    {
        HostGetElementHeader(&former.header);
        API_Element mask;
        std::memset(static_cast<void*>(&mask), APIMaskMarker, sizeof mask);
        ForceChangeElement(&former, &mask, &*memo);
        HostSetElementUserData(&former.header, &userData);
    }
    return result;
}

void SelectAndZoomObjects(TypVektor<API_Guid> guids, bool zoom)
{
    if (guids.IsEmpty()) return;
    std::vector<API_Neig> neigs;
    for (std::uint32_t i = 0; i < guids.GetSize(); ++i)
    {
        API_Neig neig;
        neig.neigID = APINeig_Symb;
        neig.guid = guids[i];
        neigs.push_back(neig);
    }
    HostSelectElements(nullptr, 0, false);
    HostSelectElements(neigs.data(), static_cast<std::int32_t>(neigs.size()), true);
    if (!zoom) return;

    // Objects whose bounds the host cannot give are left out of the zoom box.
    API_Box box {};
    bool any = false;
    for (const API_Neig& neig : neigs)
    {
        API_Elem_Head header {};
        header.typeID = API_ObjectID;
        header.guid = neig.guid;
        API_Box3D bounds {};
        if (HostGetElementHeader(&header) != NoError || HostDatabaseRequest(FourCC("CABO"), &header, &bounds) != NoError)
            continue;
        if (!any)
        {
            box = {bounds.xMin, bounds.yMin, bounds.xMax, bounds.yMax};
            any = true;
            continue;
        }
        box.xMin = std::min(box.xMin, bounds.xMin), box.yMin = std::min(box.yMin, bounds.yMin);
        box.xMax = std::max(box.xMax, bounds.xMax), box.yMax = std::max(box.yMax, bounds.yMax);
    }
    if (!any) return;
    const double marginX = 0.05 * (box.xMax - box.xMin), marginY = 0.05 * (box.yMax - box.yMin);
    API_Box zoomBox {box.xMin - marginX, box.yMin - marginY, box.xMax + marginX, box.yMax + marginY};
    HostAutomationRequest(FourCC("ZOOM"), &zoomBox, nullptr);
}

int ParseDouble(const char* text, double* value)
{
    if (text == nullptr || value == nullptr) return 0;
    char buffer[50] {};
    std::size_t length = 0;
    for (const char* p = text; *p != '\0' && length < sizeof buffer - 1; ++p)
    {
        const char c = *p;
        if (std::isdigit(static_cast<unsigned char>(c)) || c == '.' || c == '-' || c == '+')
            buffer[length++] = c;
        else if (c == ',')
            buffer[length++] = '.';
    }
    double parsed = 0.0;
    if (std::sscanf(buffer, "%lf", &parsed) != 1) return 0;
    *value = parsed;
    return 1;
}

void SplitAtWhiteSpace(const GS::UniString& text, TypVektor<GS::UniString>& words)
{
    const std::uint32_t length = text.GetLength();
    std::uint32_t i = 0;
    while (i < length)
    {
        while (i < length && IsWhiteSpace(text[i])) ++i;
        const std::uint32_t start = i;
        while (i < length && !IsWhiteSpace(text[i])) ++i;
        if (i > start) words.Add(text.GetSubstring(start, i - start));
    }
}

std::int32_t FindTreeViewItemByUserData(short dialogId, short treeViewItem, std::int32_t parent, std::int32_t userData)
{
    for (std::int32_t child = DG::TreeViewGetItem(dialogId, treeViewItem, parent, DG::TreeFirstChild); child != DG::TreeItemNone;
         child = DG::TreeViewGetItem(dialogId, treeViewItem, child, DG::TreeNextSibling))
    {
        const std::int32_t below = FindTreeViewItemByUserData(dialogId, treeViewItem, child, userData);
        if (below != DG::TreeItemNone) return below;
        const auto lowWord = static_cast<std::uint32_t>(DG::TreeViewGetItemUserData(dialogId, treeViewItem, child));
        if (static_cast<std::int32_t>(lowWord) == userData) return child;
    }
    return DG::TreeItemNone;
}

double GetScreenPixelsPerMeter()
{
    const Win::HDC screen = Win::GetDC(nullptr);
    const int millimetres = Win::GetDeviceCaps(screen, Win::HORZSIZE);
    const int pixels = Win::GetDeviceCaps(screen, Win::HORZRES);
    Win::ReleaseDC(nullptr, screen);
    if (millimetres <= 0 || pixels <= 0) return 0.0;
    const double perInch = std::floor(25.399 * pixels / millimetres + 0.5);
    if (perInch > std::numeric_limits<std::int16_t>::max()) return 0.0;
    return static_cast<std::int16_t>(perInch) / 0.0254;
}

void GetElementLibPartId(const API_Elem_Head& header, char* text, std::size_t size)
{
    if (text == nullptr || size == 0) return;
    const FloorPlanDatabaseScope floorPlan;
    API_Elem_Head request = header;
    char uniqueId[API_UniIDLength] {};
    if (HostUtilityRequest(FourCC("GELU"), &request, uniqueId) != NoError) return;
    uniqueId[API_UniIDLength - 1] = '\0';
    std::snprintf(text, size, "%s", uniqueId);
}

void MemoPolygonToPolygon2DData(const API_ElementMemo& memo, Geometry::Polygon2DData& polygon)
{
    Geometry::InitPolygon2DData(&polygon);
    std::vector<Geometry::Point2<double>> vertices;
    vertices.reserve(memo.coords.size());
    for (const API_Coord& c : memo.coords) vertices.push_back({c.x, c.y});
    std::vector<Geometry::PolyArcRec> arcs;
    arcs.reserve(memo.parcs.size());
    for (const API_PolyArc& arc : memo.parcs) arcs.push_back({arc.begIndex, arc.endIndex, arc.arcAngle});
    Geometry::ConvertToPolygon2DData(std::move(vertices), std::move(arcs), memo.pends, &polygon);
    ValidatePolygon2DData(polygon);
}

GSErrCode ValidatePolygon2DData(Geometry::Polygon2DData& polygon)
{
    GSErrCode error = NoError;
    if ((polygon.status & Geometry::PolyStatus_BoundBox) == 0)
    {
        error = Geometry::GetPolygon2DDataBoundBox(polygon, &polygon.boundBox);
        if (error == NoError) polygon.status |= Geometry::PolyStatus_BoundBox;
    }
    if (error == NoError && (polygon.status & Geometry::PolyStatus_Oriented) == 0)
    {
        error = Geometry::OrientPolygon2DData(&polygon);
        if (error == NoError) polygon.status |= Geometry::PolyStatus_Oriented;
    }
    return error;
}

bool IsSectionTypeWindow(std::int32_t windowType)
{
    return windowType == APIWind_SectionID || windowType == APIWind_ElevationID || windowType == APIWind_InteriorElevationID;
}

bool IsSectionViewToLeft(const API_Element& element, const API_ElementMemo& memo, const API_DatabaseInfo& database)
{
    // An interior elevation's segments share one list of main-line points.
    std::size_t first = 0;
    if (database.typeID == APIWind_InteriorElevationID)
    {
        const auto& segments = memo.sectionSegments;
        for (std::int32_t i = 0; i < element.cutPlane.segmentCount && i != database.segmentNumber; ++i)
        {
            const auto segment = static_cast<std::size_t>(i);
            if (segment >= segments.size() || segments[segment].mainCoordCount < 0) return false;
            first += static_cast<std::size_t>(segments[segment].mainCoordCount);
        }
    }
    const auto& main = memo.sectionMainCoords;
    const auto& distance = memo.sectionDistCoords;
    if (first + 1 >= main.size() || distance.size() < 2) return false;
    const API_Coord along {main[first + 1].x - main[first].x, main[first + 1].y - main[first].y};
    const API_Coord toDistance {distance[1].x - main[first].x, distance[1].y - main[first].y};
    return along.x * toDistance.y - along.y * toDistance.x > 0;
}
