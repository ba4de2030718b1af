// The services through which an add-on reads and changes the project's elements,
// layers, storeys and views, and runs its undoable commands.
#include "ElementServices.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <unordered_set>

#include "AttributeServices.hpp"
#include "ElementBoxes.hpp"
#include "ElementDescriptions.hpp"
#include "ElementEdits.hpp"
#include "ElementGeometry.hpp"
#include "ElementNotifications.hpp"
#include "GS/Guid.hpp"
#include "LibraryParts.hpp"
#include "OpeningElements.hpp"
#include "PictureElements.hpp"
#include "PolylineElements.hpp"
#include "SectionViews.hpp"
#include "SelectionServices.hpp"
#include "ServiceTable.hpp"
#include "ShellElements.hpp"
#include "ViewDatabases.hpp"
#include "Window3DServices.hpp"

namespace SimHost
{

namespace
{

HostServiceSignature::HostDatabaseRequest frameDatabaseRequest = nullptr;
HostServiceSignature::HostEnvironmentRequest frameEnvironmentRequest = nullptr;

ProjectModel& ModelOf(HostToken token) { return Host::From(token).model_; }

// Sections and elevations are made only with their marker; their tools have defaults.
bool HasToolDefaults(API_ElemTypeID type) { return IsKnownType(type) || IsCutPlaneType(type); }

bool IsDrawingType(API_ElemTypeID type)
{
    switch (type)
    {
        case API_LevelDimensionID:
        case API_HatchID:
        case API_LineID:
        case API_PolyLineID:
        case API_ArcID:
        case API_CircleID:
        case API_SplineID:
        case API_HotspotID:
        case API_PictureID: return true;
        default: return false;
    }
}

// The host's selection ids of whole elements, by element type.
constexpr std::pair<API_ElemTypeID, std::int32_t> NeigOfType[] = {
    {1, 1},   {2, 5},   {3, 6},   {4, 9},   {5, 11},  {6, 13},  {7, 14},  {8, 15},  {9, 17},
    {10, 21}, {11, 26}, {12, 28}, {13, 29}, {14, 30}, {15, 32}, {16, 33}, {17, 34}, {18, 38},
    {19, 40}, {21, 44}, {22, 46}, {23, 48}, {24, 50}, {25, 51}, {26, 53}, {27, 54}};

void KeepNotifiedSource(ProjectModel& model, const StoredElement& element)
{
    auto& sources = model.notifiedSources;
    sources.erase(std::remove_if(sources.begin(), sources.end(),
                                 [&](const StoredElement& s) { return s.record.header.guid == element.record.header.guid; }),
                  sources.end());
    sources.push_back(element);
}

GSErrCode GetElement(HostToken token, API_Element* element)
{
    if (element == nullptr) return APIERR_BADPARS;
    const StoredElement* stored = ModelOf(token).Find(element->header.guid);
    if (stored == nullptr) return APIERR_BADID;
    *element = stored->record;
    return NoError;
}

GSErrCode GetElementHeader(HostToken token, API_Elem_Head* header)
{
    if (header == nullptr) return APIERR_BADPARS;
    const StoredElement* stored = ModelOf(token).Find(header->guid);
    if (stored == nullptr) return APIERR_BADID;
    *header = stored->record.header;
    return NoError;
}

// The memo's content for the new element. A picture's data is taken over, not
// copied: the caller only disposes of the memo after, and a copy of a large
// picture costs as much as writing it.
void TakeMemo(API_ElementMemo& memo, API_ElementMemo& stored)
{
    std::vector<std::uint8_t> picture = std::move(memo.pictureData);
    memo.pictureData.clear();
    stored = memo;
    stored.pictureData = std::move(picture);
}

GSErrCode CreateElement(HostToken token, API_Element* element, API_ElementMemo* memo)
{
    ProjectModel& model = ModelOf(token);
    if (element == nullptr || !IsKnownType(element->header.typeID)) return APIERR_BADPARS;
    if (model.content.layers.count(element->header.layer) == 0) return APIERR_BADPARS;
    if (model.content.storeyLevels.count(element->header.floorInd) == 0) return APIERR_BADINDEX;
    if (!HasFiniteGeometry(*element, memo) || !HasConsistentPolygon(*element, memo)) return APIERR_BADPARS;
    if (element->header.typeID == API_PictureID && !IsPlaceablePicture(*element, memo)) return APIERR_BADPARS;
    const API_ElementMemo noMemo;
    if (const GSErrCode refusal = CheckWallOrOpening(model, *element, memo != nullptr ? *memo : noMemo); refusal != NoError)
        return refusal;
    StoredElement stored;
    if (element->header.typeID == API_ShellID && !TakeShellGeometry(*element, memo, stored.shell)) return APIERR_BADPARS;
    stored.record = *element;
    stored.record.header.guid = model.NewGuid();
    if (memo != nullptr) TakeMemo(*memo, stored.memo);
    ForgetShellMemo(stored.memo);
    ReportWallOutline(stored.record);
    FitPolygonalWallToOutline(stored.record, stored.memo);
    if (IsDrawingType(element->header.typeID) && IsViewDatabase(model.currentDatabase)) stored.view = model.currentDatabase;
    stored.record.header.hasMemo = memo != nullptr && (!stored.memo.coords.empty() || !stored.memo.params.empty() ||
                                                       !stored.memo.morphBody.polygons.empty() ||
                                                       !stored.memo.pictureData.empty() || !stored.shell.shapes.empty());
    *element = stored.record;
    model.content.elements.push_back(std::move(stored));
    model.MarkChanged();
    Host::From(token).Log("HostCreateElement " + ElemTypeName(element->header.typeID));
    return NoError;
}

GSErrCode ChangeElement(HostToken token, API_Element* element, const API_Element* mask, const API_ElementMemo* memo,
                        std::uint64_t memoMask, bool withDelete)
{
    ProjectModel& model = ModelOf(token);
    if (element == nullptr || mask == nullptr) return APIERR_BADPARS;
    StoredElement* stored = model.Find(element->header.guid);
    if (stored == nullptr) return APIERR_BADID;
    if (const GSErrCode refusal = model.CheckChangeable(*stored); refusal != NoError) return refusal;
    StoredElement changed = *stored;
    ApplyChangeMask(changed.record, *element, *mask);
    if (memo != nullptr) ApplyMemo(changed.memo, *memo, memoMask);
    if (model.content.layers.count(changed.record.header.layer) == 0 ||
        model.content.storeyLevels.count(changed.record.header.floorInd) == 0 ||
        !HasFiniteGeometry(changed.record, &changed.memo) || !HasConsistentPolygon(changed.record, &changed.memo))
        return APIERR_BADPARS;
    if (const GSErrCode refusal = CheckWallOrOpening(model, changed.record, changed.memo); refusal != NoError) return refusal;
    FitPolygonalWallToOutline(changed.record, changed.memo);
    FitTrapezoidWallOutline(changed.record, changed.memo);
    ReportWallOutline(changed.record);
    if (withDelete)
    {
        *stored = std::move(changed);
        *element = stored->record;
    }
    else
    {
        changed.record.header.guid = model.NewGuid();
        changed.observed = false;
        *element = changed.record;
        model.content.elements.push_back(std::move(changed));
    }
    model.MarkChanged();
    return NoError;
}

GSErrCode DeleteElements(HostToken token, const API_Elem_Head* headers, std::int32_t count)
{
    ProjectModel& model = ModelOf(token);
    if (headers == nullptr || count <= 0) return APIERR_BADPARS;
    const Teamwork& teamwork = Host::From(token).project_.teamwork;
    for (std::int32_t i = 0; i < count; ++i)
    {
        const StoredElement* stored = model.Find(headers[i].guid);
        if (stored == nullptr) return APIERR_BADID;
        if (const GSErrCode refusal = model.CheckChangeable(*stored); refusal != NoError) return refusal;
        // What another user holds stays theirs.
        const std::optional<std::int16_t> holder = teamwork.HolderOf(headers[i].guid);
        if (holder && *holder != teamwork.CurrentUserId()) return APIERR_REFUSEDCMD;
    }
    // Openings go with their walls.
    std::vector<API_Guid> going;
    for (std::int32_t i = 0; i < count; ++i) going.push_back(headers[i].guid);
    for (const API_Guid& opening : OpeningsOfWalls(model, going)) going.push_back(opening);
    const std::unordered_set<API_Guid, GuidHash> gone(going.begin(), going.end());
    model.content.elements.EraseIf([&](const StoredElement& e) { return gone.count(e.record.header.guid) != 0; });
    for (const API_Guid& guid : going)
    {
        DropElementView(model, guid);
        model.selection.erase(
            std::remove_if(model.selection.begin(), model.selection.end(), [&](const API_Neig& n) { return n.guid == guid; }),
            model.selection.end());
    }
    model.MarkChanged();
    return NoError;
}

GSErrCode GetConnectedElements(HostToken token, const API_Guid* guid, API_ElemTypeID typeID, std::vector<API_Guid>* connected,
                               std::int32_t filterBits, std::int32_t variationID, const API_Guid* renovationFilter)
{
    const ProjectModel& model = ModelOf(token);
    if (guid == nullptr || connected == nullptr || filterBits != 0 || variationID != 0 ||
        (renovationFilter != nullptr && *renovationFilter != APINULLGuid))
        return APIERR_BADPARS;
    if (model.Find(*guid) == nullptr) return APIERR_BADID;
    *connected = OpeningsOfWall(model, *guid, typeID);
    return NoError;
}

GSErrCode GetElementDefaults(HostToken token, API_Element* element, API_ElementMemo* memo)
{
    if (element == nullptr || !HasToolDefaults(element->header.typeID)) return APIERR_BADPARS;
    const ToolDefaults& defaults = ModelOf(token).DefaultsFor(element->header.typeID, element->header.variationID);
    // The shell tool answers with the defaults of the class asked for.
    const std::int32_t shellClass = element->shell.shellClass;
    *element = defaults.record;
    if (element->header.typeID == API_ShellID) element->shell.shellClass = shellClass;
    if (memo != nullptr) *memo = defaults.memo;
    return NoError;
}

GSErrCode ChangeElementDefaults(HostToken token, API_Element* element, const API_ElementMemo* memo, const API_Element* mask)
{
    if (element == nullptr || mask == nullptr || !HasToolDefaults(element->header.typeID)) return APIERR_BADPARS;
    ToolDefaults& defaults = ModelOf(token).DefaultsFor(element->header.typeID, element->header.variationID);
    ApplyChangeMask(defaults.record, *element, *mask);
    if (memo != nullptr)
    {
        defaults.memo = *memo;
        ForgetShellMemo(defaults.memo);
    }
    return NoError;
}

GSErrCode GetElementMemo(HostToken token, const API_Guid* guid, API_ElementMemo* memo, std::uint64_t memoMask)
{
    if (guid == nullptr || memo == nullptr) return APIERR_BADPARS;
    const StoredElement* stored = ModelOf(token).Find(*guid);
    if (stored == nullptr) return APIERR_BADID;
    *memo = CopyMemo(stored->memo, memoMask);
    return NoError;
}

GSErrCode ChangeElementMemo(HostToken token, const API_Guid* guid, std::uint64_t memoMask, const API_ElementMemo* memo)
{
    ProjectModel& model = ModelOf(token);
    if (guid == nullptr || memo == nullptr) return APIERR_BADPARS;
    StoredElement* stored = model.Find(*guid);
    if (stored == nullptr) return APIERR_BADID;
    if (const GSErrCode refusal = model.CheckChangeable(*stored); refusal != NoError) return refusal;
    ApplyMemo(stored->memo, *memo, memoMask);
    model.MarkChanged();
    return NoError;
}

GSErrCode DisposeElementMemo(HostToken, API_ElementMemo* memo)
{
    if (memo == nullptr) return NoError;
    FreeShellMemo(*memo);
    *memo = API_ElementMemo {};
    return NoError;
}

LayerEntry* FindLayer(ProjectModel& model, const API_Attr_Head& head)
{
    if (head.typeID != API_LayerID) return nullptr;
    const auto it = model.content.layers.find(head.index);
    return it != model.content.layers.end() ? &it->second : nullptr;
}

GSErrCode GetAttribute(HostToken token, API_Attribute* attribute)
{
    if (attribute == nullptr) return APIERR_BADPARS;
    ++ModelOf(token).attributeRequests[{attribute->header.typeID, attribute->header.index}];
    if (attribute->header.typeID != API_LayerID) return GetStoredAttribute(ModelOf(token), attribute);
    const LayerEntry* layer = FindLayer(ModelOf(token), attribute->header);
    if (layer == nullptr) return APIERR_DELETED;
    attribute->header.flags = layer->flags;
    if (attribute->header.uniStringNamePtr != nullptr) *attribute->header.uniStringNamePtr = GS::UniString(layer->name);
    return NoError;
}

GSErrCode ModifyAttribute(HostToken token, const API_Attribute* attribute)
{
    ProjectModel& model = ModelOf(token);
    if (attribute == nullptr) return APIERR_BADPARS;
    LayerEntry* layer = FindLayer(model, attribute->header);
    if (layer == nullptr) return APIERR_DELETED;
    layer->flags = attribute->header.flags & (APILay_Hidden | APILay_Locked);
    model.MarkChanged();
    return NoError;
}

GSErrCode EditElements(HostToken token, const API_Neig* neigs, std::int32_t count, const API_EditPars* pars)
{
    ProjectModel& model = ModelOf(token);
    if (neigs == nullptr || pars == nullptr || count <= 0) return APIERR_BADPARS;
    std::vector<StoredElement> edited;
    for (std::int32_t i = 0; i < count; ++i)
    {
        const StoredElement* stored = model.Find(neigs[i].guid);
        if (stored == nullptr) return APIERR_BADID;
        if (pars->withDelete)
        {
            if (const GSErrCode refusal = model.CheckChangeable(*stored); refusal != NoError) return refusal;
        }
        // An opening edited with its wall moves with the wall.
        if (IsOpening(stored->record.header.typeID) &&
            std::any_of(neigs, neigs + count, [stored](const API_Neig& n) { return n.guid == stored->record.window.owner; }))
            continue;
        edited.push_back(*stored);
        if (IsOpening(stored->record.header.typeID))
        {
            if (const GSErrCode refusal = EditOpening(model, edited.back(), *pars); refusal != NoError) return refusal;
        }
        else if (!ApplyEdit(edited.back(), *pars))
        {
            return APIERR_BADPARS;
        }
    }
    for (StoredElement& e : edited)
    {
        if (pars->withDelete)
        {
            *model.Find(e.record.header.guid) = std::move(e);
        }
        else
        {
            e.record.header.guid = model.NewGuid();
            e.observed = false;
            model.content.elements.push_back(std::move(e));
        }
    }
    model.MarkChanged();
    return NoError;
}

GSErrCode SelectElements(HostToken token, const API_Neig* neigs, std::int32_t count, bool add)
{
    ProjectModel& model = ModelOf(token);
    if (count < 0 || (count > 0 && neigs == nullptr)) return APIERR_BADPARS;
    if (count == 0 && !add)
    {
        model.selection.clear();
        return NoError;
    }
    auto& sel = model.selection;
    if (!add)
    {
        std::unordered_set<API_Guid, GuidHash> going;
        for (std::int32_t i = 0; i < count; ++i) going.insert(neigs[i].guid);
        sel.erase(std::remove_if(sel.begin(), sel.end(), [&](const API_Neig& n) { return going.count(n.guid) != 0; }), sel.end());
        return NoError;
    }
    // A set beside the list, so that a selection of many elements grows in linear time.
    std::unordered_set<API_Guid, GuidHash> selected;
    for (const API_Neig& n : sel) selected.insert(n.guid);
    for (std::int32_t i = 0; i < count; ++i)
        if (model.Find(neigs[i].guid) != nullptr && selected.insert(neigs[i].guid).second) sel.push_back(neigs[i]);
    return NoError;
}

bool IsKnownTool(std::int32_t tool)
{
    return tool == APITool_Lock || tool == APITool_Unlock || tool == APITool_ResetOrder || tool == APITool_BringToFront;
}

// Display order: 0 is the tool's own order; bringing to the front puts the
// element above every other.
std::int16_t FrontDrawIndex(const ProjectModel& model)
{
    std::int16_t front = 0;
    for (const StoredElement& e : model.content.elements) front = std::max(front, e.record.header.drawIndex);
    return front == std::numeric_limits<std::int16_t>::max() ? front : static_cast<std::int16_t>(front + 1);
}

GSErrCode ApplyElementTool(HostToken token, const API_Elem_Head* headers, std::int32_t count, std::int32_t tool)
{
    ProjectModel& model = ModelOf(token);
    if (headers == nullptr || count <= 0 || !IsKnownTool(tool)) return APIERR_BADPARS;
    for (std::int32_t i = 0; i < count; ++i)
        if (model.Find(headers[i].guid) == nullptr) return APIERR_BADID;
    for (std::int32_t i = 0; i < count; ++i)
    {
        API_Elem_Head& header = model.Find(headers[i].guid)->record.header;
        if (tool == APITool_Lock || tool == APITool_Unlock) header.lockId = tool == APITool_Lock ? 1 : 0;
        if (tool == APITool_ResetOrder) header.drawIndex = 0;
        if (tool == APITool_BringToFront) header.drawIndex = FrontDrawIndex(model);
    }
    model.MarkChanged();
    return NoError;
}

GSErrCode GetEditTransformation(HostToken token, API_ActTranPars* transformation)
{
    const ProjectModel& model = ModelOf(token);
    if (transformation == nullptr) return APIERR_BADPARS;
    if (model.runningTransformation.typeID == 0) return APIERR_GENERAL;
    *transformation = model.runningTransformation;
    return NoError;
}

GSErrCode GetNotifiedElementSource(HostToken token, API_Element* element, API_ElementMemo* memo, std::uint64_t memoMask,
                                   API_ElementUserData* userData)
{
    if (element == nullptr) return APIERR_BADPARS;
    const StoredElement* source = ModelOf(token).FindNotifiedSource(element->header.guid);
    if (source == nullptr) return APIERR_BADID;
    *element = source->record;
    if (memo != nullptr) *memo = CopyMemo(source->memo, memoMask);
    if (userData != nullptr) *userData = source->userData;
    return NoError;
}

GSErrCode SetElementUserData(HostToken token, const API_Elem_Head* header, const API_ElementUserData* userData)
{
    ProjectModel& model = ModelOf(token);
    if (header == nullptr || userData == nullptr) return APIERR_BADPARS;
    StoredElement* stored = model.Find(header->guid);
    if (stored == nullptr) return APIERR_BADID;
    stored->userData = *userData;
    model.MarkChanged();
    return NoError;
}

GSErrCode AttachElementObserver(HostToken token, const API_Elem_Head* header, std::uint32_t)
{
    if (header == nullptr) return APIERR_BADPARS;
    StoredElement* stored = ModelOf(token).Find(header->guid);
    if (stored == nullptr) return APIERR_BADID;
    stored->observed = true;
    return NoError;
}

GSErrCode CallUndoableCommand(HostToken token, const GS::UniString&, const APIUndoableCommand& command)
{
    Host::From(token).Log("HostCallUndoableCommand");
    return ModelOf(token).RunUndoable(command);
}

GSErrCode AutomationRequest(HostToken token, std::int32_t code, void* par1, void*)
{
    if (code == FourCC("RDRW")) return Redraw3DWindow(Host::From(token));
    if (code != FourCC("ZOOM") && code != FourCC("CHWD")) return APIERR_BADID;
    if (par1 == nullptr) return APIERR_BADPARS;
    if (code == FourCC("CHWD")) return ChangeWindow(Host::From(token), *static_cast<const API_WindowInfo*>(par1));
    ModelOf(token).zoom = *static_cast<const API_Box*>(par1);
    return NoError;
}

// Placed elements live in the floor plan's database; elsewhere the host does not find them.
GSErrCode LibraryPartUniqueId(const ProjectModel& model, const API_Elem_Head& header, char* text)
{
    const StoredElement* stored = model.currentDatabase.typeID == APIWind_FloorPlanID ? model.Find(header.guid) : nullptr;
    if (stored == nullptr) return APIERR_BADID;
    const LibraryPartEntry* part = model.LibraryPartOf(stored->record);
    if (part == nullptr) return APIERR_BADINDEX;
    std::snprintf(text, API_UniIDLength, "%s", part->uniqueId.c_str());
    return NoError;
}

// The part, or one of the parts it descends from, is the ancestor (any revision).
GSErrCode SubtypeOf(const ProjectModel& model, const std::string& part, const std::string& ancestor)
{
    std::string current = part;
    for (std::size_t step = 0; !current.empty() && step <= model.libraryParts.size(); ++step)
    {
        const GSErrCode same = CompareLibraryPartIds(current.c_str(), ancestor.c_str());
        if (same == NoError || same == APIERR_COMPATIBLEPART) return NoError;
        const auto known = std::find_if(model.libraryParts.begin(), model.libraryParts.end(),
                                        [&](const auto& entry) { return entry.second.uniqueId == current; });
        current = known != model.libraryParts.end() ? known->second.parentUniqueId : std::string();
    }
    return APIERR_GENERAL;
}

GSErrCode UtilityRequest(HostToken token, std::int32_t code, void* par1, void* par2)
{
    if (IsOpeningUtilityRequest(code)) return OpeningUtilityRequest(ModelOf(token), code, par1);
    if (code != FourCC("NTOE") && code != FourCC("GELU") && code != FourCC("COMP") && code != FourCC("CLPS")) return APIERR_BADID;
    if (par1 == nullptr || par2 == nullptr) return APIERR_BADPARS;
    if (code == FourCC("COMP")) return CompareLibraryPartIds(static_cast<const char*>(par1), static_cast<const char*>(par2));
    if (code == FourCC("CLPS")) return SubtypeOf(ModelOf(token), static_cast<const char*>(par1), static_cast<const char*>(par2));
    if (code == FourCC("GELU"))
        return LibraryPartUniqueId(ModelOf(token), *static_cast<const API_Elem_Head*>(par1), static_cast<char*>(par2));
    const std::int32_t neig = *static_cast<const std::int32_t*>(par1);
    for (const auto& [type, id] : NeigOfType)
        if (id == neig)
        {
            *static_cast<API_ElemTypeID*>(par2) = type;
            return NoError;
        }
    return APIERR_BADPARS;
}

GSErrCode GetElementList(HostToken token, API_ElemTypeID type, std::vector<API_Guid>* guids)
{
    if (guids == nullptr) return APIERR_BADPARS;
    guids->clear();
    for (const StoredElement& e : ModelOf(token).content.elements)
        if (type == 0 || e.record.header.typeID == type) guids->push_back(e.record.header.guid);
    return NoError;
}

// The front window shows the plan at 100 pixels a metre, the origin at (400, 300),
// y growing downwards.
API_Pixel ModelToPixel(const API_Coord& c)
{
    API_Pixel pixel;
    pixel.x = 400 + static_cast<std::int32_t>(std::lround(c.x * 100.0));
    pixel.y = 300 - static_cast<std::int32_t>(std::lround(c.y * 100.0));
    return pixel;
}

GSErrCode DatabaseRequest(HostToken token, std::int32_t code, void* par1, void* par2)
{
    ProjectModel& model = ModelOf(token);
    if (IsViewDatabaseRequest(code)) return ViewDatabaseRequest(Host::From(token), code, par1, par2);
    if (code == FourCC("GDAT") || code == FourCC("GOFS") || code == FourCC("CABO"))
    {
        if (par1 == nullptr) return APIERR_BADPARS;
    }
    if (code == FourCC("GDAT"))
    {
        *static_cast<API_DatabaseInfo*>(par1) = model.currentDatabase;
        return NoError;
    }
    if (code == FourCC("GOFS"))
    {
        *static_cast<API_Coord*>(par1) = model.content.locationOffset;
        return NoError;
    }
    if (code == FourCC("CTOP"))
    {
        if (par1 == nullptr || par2 == nullptr) return APIERR_BADPARS;
        *static_cast<API_Pixel*>(par2) = ModelToPixel(*static_cast<const API_Coord*>(par1));
        return NoError;
    }
    if (code == FourCC("RFSH"))
    {
        if (par1 == nullptr) return APIERR_BADPARS;
        const API_Elem_Head& header = *static_cast<const API_Elem_Head*>(par1);
        if (model.Find(header.guid) == nullptr) return APIERR_BADID;
        Host::From(token).Log("HostDatabaseRequest RFSH " + ElemTypeName(header.typeID));
        return NoError;
    }
    if (code == FourCC("CABO"))
    {
        if (par2 == nullptr) return APIERR_BADPARS;
        const StoredElement* stored = model.Find(static_cast<const API_Elem_Head*>(par1)->guid);
        if (stored == nullptr) return APIERR_BADID;
        if (IsOpening(stored->record.header.typeID))
            return OpeningBox(model, *stored, *static_cast<API_Box3D*>(par2)) ? NoError : APIERR_GENERAL;
        return ElementBox(*stored, model.StoreyLevel(stored->record.header.floorInd), *static_cast<API_Box3D*>(par2))
                   ? NoError
                   : APIERR_GENERAL;
    }
    return frameDatabaseRequest != nullptr ? frameDatabaseRequest(token, code, par1, par2) : APIERR_BADID;
}

// Showing another storey's floor plan.
GSErrCode GoToStorey(ProjectModel& model, const API_StoryCmdType& command)
{
    if (command.action != APIStory_GoTo) return APIERR_BADPARS;
    if (model.content.storeyLevels.count(command.index) == 0) return APIERR_BADINDEX;
    model.currentStorey = command.index;
    return NoError;
}

GSErrCode EnvironmentRequest(HostToken token, std::int32_t code, void* par1, void* par2)
{
    if (code == FourCC("CSTO"))
    {
        Host::From(token).Log("HostEnvironmentRequest CSTO");
        return par1 != nullptr ? GoToStorey(ModelOf(token), *static_cast<const API_StoryCmdType*>(par1)) : APIERR_BADPARS;
    }
    if (code != FourCC("GSTO"))
        return frameEnvironmentRequest != nullptr ? frameEnvironmentRequest(token, code, par1, par2) : APIERR_BADID;
    if (par1 == nullptr) return APIERR_BADPARS;
    const auto& levels = ModelOf(token).content.storeyLevels;
    if (levels.empty()) return APIERR_GENERAL;
    auto& info = *static_cast<API_StoryInfo*>(par1);
    info.firstStory = levels.begin()->first;
    info.lastStory = levels.rbegin()->first;
    info.actStory = ModelOf(token).currentStorey;
    info.skipNullFloor = ModelOf(token).storeysNumberedFromOne;
    info.data.clear();
    for (const auto& [index, level] : levels)
        info.data.push_back({index, level, GS::UniString(ModelOf(token).StoreyName(index))});
    return NoError;
}

}  // namespace

bool IsKnownType(API_ElemTypeID type)
{
    switch (type)
    {
        case API_WallID:
        case API_ColumnID:
        case API_BeamID:
        case API_ObjectID:
        case API_LampID:
        case API_SlabID:
        case API_RoofID:
        case API_MeshID:
        case API_LevelDimensionID:
        case API_LineID:
        case API_ArcID:
        case API_CircleID:
        case API_HotspotID:
        case API_MorphID:
        case API_WindowID:
        case API_DoorID:
        case API_ZoneID:
        case API_ShellID:
        case API_HatchID:
        case API_SplineID:
        case API_PictureID: return true;
        default: return IsPolylineType(type);
    }
}

std::int32_t NeigOfElementType(API_ElemTypeID type)
{
    for (const auto& [elementType, neig] : NeigOfType)
        if (elementType == type) return neig;
    return 0;
}

GSErrCode UserEditElement(Host& host, const API_Guid& guid, const API_ActTranPars& transformation)
{
    return UserEditElements(host, {guid}, transformation);
}

GSErrCode UserEditElements(Host& host, const std::vector<API_Guid>& guids, const API_ActTranPars& transformation)
{
    ProjectModel& model = host.model_;
    std::vector<StoredElement> before;
    for (const API_Guid& guid : guids)
    {
        const StoredElement* stored = model.Find(guid);
        if (stored == nullptr) return APIERR_BADID;
        if (const GSErrCode refusal = model.CheckChangeable(*stored); refusal != NoError) return refusal;
        before.push_back(*stored);
    }
    return model.RunUndoable([&] {
        std::vector<ElementNotice> notices;
        for (const API_Guid& guid : guids)
        {
            StoredElement* target = model.Find(guid);
            if (IsOpening(target->record.header.typeID))
            {
                if (const GSErrCode refusal = EditOpening(model, *target, EditOfTransformation(transformation));
                    refusal != NoError)
                    return refusal;
            }
            else if (!ApplyEdit(*target, EditOfTransformation(transformation)))
            {
                return APIERR_BADPARS;
            }
            if (auto notice = NoticeOf(host, *target, APINotifyElement_Edit)) notices.push_back(*notice);
        }
        model.MarkChanged();
        for (const StoredElement& source : before) KeepNotifiedSource(model, source);
        model.runningTransformation = transformation;
        NotifyBatch(host, notices);
        return NoError;
    });
}

GSErrCode UserDeleteElement(Host& host, const API_Guid& guid)
{
    ProjectModel& model = host.model_;
    const StoredElement* stored = model.Find(guid);
    if (stored == nullptr) return APIERR_BADID;
    const StoredElement before = *stored;
    API_Elem_Head header = before.record.header;
    const GSErrCode result = model.RunUndoable([&] {
        if (const GSErrCode refusal = DeleteElements(&host, &header, 1); refusal != NoError) return refusal;
        KeepNotifiedSource(model, before);
        std::vector<ElementNotice> notices;
        if (auto notice = NoticeOf(host, before, APINotifyElement_Delete)) notices.push_back(*notice);
        NotifyBatch(host, notices);
        return NoError;
    });
    if (result != NoError) return result;
    if (IsCutPlaneType(before.record.header.typeID)) NotifyViewEvent(host, 4);
    return NoError;
}

GSErrCode UserCopyElements(Host& host, const std::vector<API_Guid>& guids, const API_Coord3D& displacement)
{
    ProjectModel& model = host.model_;
    for (const API_Guid& guid : guids)
        if (model.Find(guid) == nullptr) return APIERR_BADID;
    API_EditPars drag {};
    drag.typeID = FourCC("DRAG");
    drag.endC = displacement;
    return model.RunUndoable([&] {
        std::vector<ElementNotice> notices;
        for (const API_Guid& guid : guids)
        {
            StoredElement copy = *model.Find(guid);
            if (!ApplyEdit(copy, drag)) return APIERR_BADPARS;
            copy.record.header.guid = model.NewGuid();
            copy.observed = false;
            copy.links.clear();
            model.content.elements.push_back(copy);
            if (auto notice = NoticeOf(host, copy, APINotifyElement_New)) notices.push_back(*notice);
        }
        model.MarkChanged();
        NotifyBatch(host, notices);
        return NoError;
    });
}

GSErrCode UserPlaceObject(Host& host, std::int32_t partIndex, const API_Coord3D& position, double angle)
{
    ProjectModel& model = host.model_;
    const auto part = model.libraryParts.find(partIndex);
    if (part == model.libraryParts.end()) return APIERR_BADINDEX;
    return model.RunUndoable([&] {
        StoredElement placed;
        placed.record = model.DefaultsFor(API_ObjectID, 0).record;
        placed.record.header.guid = model.NewGuid();
        placed.record.header.floorInd = model.currentStorey;
        placed.record.object.libraryPartIndex = partIndex;
        placed.record.object.position = {position.x, position.y};
        placed.record.object.elevation = position.z;
        placed.record.object.angle = angle;
        placed.record.object.sizeA = part->second.sizeA;
        placed.record.object.sizeB = part->second.sizeB;
        placed.memo.params = part->second.params;
        placed.record.header.hasMemo = !placed.memo.params.empty();
        model.content.elements.push_back(placed);
        model.MarkChanged();
        std::vector<ElementNotice> notices;
        if (auto notice = NoticeOf(host, placed, APINotifyElement_New)) notices.push_back(*notice);
        NotifyBatch(host, notices);
        return NoError;
    });
}

void FillElementServices(HostServiceTable& table)
{
    frameDatabaseRequest = reinterpret_cast<HostServiceSignature::HostDatabaseRequest>(
        table[static_cast<std::size_t>(HostSlot::HostDatabaseRequest)]);
    frameEnvironmentRequest = reinterpret_cast<HostServiceSignature::HostEnvironmentRequest>(
        table[static_cast<std::size_t>(HostSlot::HostEnvironmentRequest)]);
    SIMHOST_SET_SERVICE(table, HostGetElement, GetElement);
    SIMHOST_SET_SERVICE(table, HostGetElementHeader, GetElementHeader);
    SIMHOST_SET_SERVICE(table, HostCreateElement, CreateElement);
    SIMHOST_SET_SERVICE(table, HostChangeElement, ChangeElement);
    SIMHOST_SET_SERVICE(table, HostDeleteElements, DeleteElements);
    SIMHOST_SET_SERVICE(table, HostGetConnectedElements, GetConnectedElements);
    SIMHOST_SET_SERVICE(table, HostGetElementDefaults, GetElementDefaults);
    SIMHOST_SET_SERVICE(table, HostChangeElementDefaults, ChangeElementDefaults);
    SIMHOST_SET_SERVICE(table, HostGetElementMemo, GetElementMemo);
    SIMHOST_SET_SERVICE(table, HostChangeElementMemo, ChangeElementMemo);
    SIMHOST_SET_SERVICE(table, HostDisposeElementMemo, DisposeElementMemo);
    SIMHOST_SET_SERVICE(table, HostGetAttribute, GetAttribute);
    SIMHOST_SET_SERVICE(table, HostModifyAttribute, ModifyAttribute);
    SIMHOST_SET_SERVICE(table, HostEditElements, EditElements);
    SIMHOST_SET_SERVICE(table, HostSelectElements, SelectElements);
    SIMHOST_SET_SERVICE(table, HostApplyElementTool, ApplyElementTool);
    SIMHOST_SET_SERVICE(table, HostGetEditTransformation, GetEditTransformation);
    SIMHOST_SET_SERVICE(table, HostGetNotifiedElementSource, GetNotifiedElementSource);
    SIMHOST_SET_SERVICE(table, HostSetElementUserData, SetElementUserData);
    SIMHOST_SET_SERVICE(table, HostAttachElementObserver, AttachElementObserver);
    SIMHOST_SET_SERVICE(table, HostCallUndoableCommand, CallUndoableCommand);
    SIMHOST_SET_SERVICE(table, HostAutomationRequest, AutomationRequest);
    SIMHOST_SET_SERVICE(table, HostUtilityRequest, UtilityRequest);
    SIMHOST_SET_SERVICE(table, HostGetElementList, GetElementList);
    SIMHOST_SET_SERVICE(table, HostDatabaseRequest, DatabaseRequest);
    SIMHOST_SET_SERVICE(table, HostEnvironmentRequest, EnvironmentRequest);
    FillSelectionServices(table);
    FillSectionServices(table);
}

}  // namespace SimHost
