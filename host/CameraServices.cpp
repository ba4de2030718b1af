// Cameras, camera sets, element links and the navigator's camera views.
#include "CameraServices.hpp"

#include <cmath>
#include <cstring>
#include <sstream>

#include "ElementBoxes.hpp"
#include "ElementDescriptions.hpp"
#include "ServiceTable.hpp"
#include "Window3DServices.hpp"

namespace SimHost
{

namespace
{

HostServiceSignature::HostCreateElement earlierCreateElement = nullptr;
HostServiceSignature::HostGetElementDefaults earlierGetElementDefaults = nullptr;
HostServiceSignature::HostAutomationRequest earlierAutomationRequest = nullptr;

ProjectModel& ModelOf(HostToken token) { return Host::From(token).model_; }

bool IsCameraKind(API_ElemTypeID type) { return type == API_CameraID || type == API_CamSetID; }

bool IsFinite(const API_CameraType& c)
{
    for (const double v : {c.position.x, c.position.y, c.target.x, c.target.y, c.cameraZ, c.targetZ, c.viewCone, c.inFrames,
                           c.outFrames, c.azimuth})
        if (!std::isfinite(v)) return false;
    return true;
}

bool HasName(const API_CamSetType& set)
{
    return set.name[0] != 0 && std::char_traits<char16_t>::find(set.name, API_CamSetNameLength, 0) != nullptr;
}

// A camera stands in an existing camera set; a set has a name.
GSErrCode CheckCameraKind(const ProjectModel& model, const API_Element& element)
{
    if (element.header.typeID == API_CamSetID) return HasName(element.camset) ? NoError : APIERR_BADPARS;
    const StoredElement* set = model.Find(element.camera.camSetGuid);
    if (set == nullptr || set->record.header.typeID != API_CamSetID) return APIERR_BADPARS;
    if (model.content.layers.count(element.header.layer) == 0) return APIERR_BADPARS;
    if (model.content.storeyLevels.count(element.header.floorInd) == 0) return APIERR_BADINDEX;
    return IsFinite(element.camera) ? NoError : APIERR_BADPARS;
}

GSErrCode CreateElement(HostToken token, API_Element* element, API_ElementMemo* memo)
{
    if (element == nullptr || !IsCameraKind(element->header.typeID))
        return earlierCreateElement != nullptr ? earlierCreateElement(token, element, memo) : APIERR_BADPARS;
    ProjectModel& model = ModelOf(token);
    if (const GSErrCode refusal = CheckCameraKind(model, *element); refusal != NoError) return refusal;
    StoredElement stored;
    stored.record = *element;
    stored.record.header.guid = model.NewGuid();
    *element = stored.record;
    model.content.elements.push_back(std::move(stored));
    model.MarkChanged();
    Host::From(token).Log("HostCreateElement " + ElemTypeName(element->header.typeID));
    return NoError;
}

GSErrCode GetElementDefaults(HostToken token, API_Element* element, API_ElementMemo* memo)
{
    if (element == nullptr || !IsCameraKind(element->header.typeID))
        return earlierGetElementDefaults != nullptr ? earlierGetElementDefaults(token, element, memo) : APIERR_BADPARS;
    *element = ModelOf(token).DefaultsFor(element->header.typeID, 0).record;
    if (memo != nullptr) *memo = API_ElementMemo {};
    return NoError;
}

GSErrCode LinkElements(HostToken token, const API_Guid* from, const API_Guid* to, std::uint32_t flags)
{
    ProjectModel& model = ModelOf(token);
    if (from == nullptr || to == nullptr || *from == *to) return APIERR_BADPARS;
    StoredElement* source = model.Find(*from);
    if (source == nullptr || model.Find(*to) == nullptr) return APIERR_BADID;
    for (ElementLink& link : source->links)
        if (link.to == *to)
        {
            link.flags = flags;
            model.MarkChanged();
            return NoError;
        }
    source->links.push_back({*to, flags});
    model.MarkChanged();
    return NoError;
}

// Links to elements that are gone are not told.
GSErrCode GetElementLinks(HostToken token, const API_Guid* from, std::vector<API_Guid>* linked)
{
    const ProjectModel& model = ModelOf(token);
    if (from == nullptr || linked == nullptr) return APIERR_BADPARS;
    const StoredElement* source = model.Find(*from);
    if (source == nullptr) return APIERR_BADID;
    linked->clear();
    for (const ElementLink& link : source->links)
        if (model.Find(link.to) != nullptr) linked->push_back(link.to);
    return NoError;
}

GSErrCode GetElementLinkFlags(HostToken token, const API_Guid* from, const API_Guid* to, std::uint32_t* flags)
{
    const ProjectModel& model = ModelOf(token);
    if (from == nullptr || to == nullptr || flags == nullptr) return APIERR_BADPARS;
    const StoredElement* source = model.Find(*from);
    if (source == nullptr || model.Find(*to) == nullptr) return APIERR_BADID;
    for (const ElementLink& link : source->links)
        if (link.to == *to)
        {
            *flags = link.flags;
            return NoError;
        }
    return APIERR_BADID;
}

std::vector<API_NavigatorItem> CameraViews(const ProjectModel& model)
{
    std::vector<API_NavigatorItem> items;
    for (const StoredElement& element : model.content.elements)
        if (element.record.header.typeID == API_CameraID) items.push_back(CameraViewItem(element));
    return items;
}

bool Matches(const API_NavigatorItem& item, const API_NavigatorItem& wanted)
{
    return item.itemType == wanted.itemType && item.mapId == wanted.mapId && item.dbTypeID == wanted.dbTypeID &&
           item.elementGuid == wanted.elementGuid;
}

GSErrCode NavigatorRequest(HostToken token, std::int32_t code, void* par1, void* par2)
{
    const ProjectModel& model = ModelOf(token);
    if (code != FourCC("SNVI") && code != FourCC("GNIT")) return APIERR_BADID;
    if (par1 == nullptr || par2 == nullptr) return APIERR_BADPARS;
    if (code == FourCC("SNVI"))
    {
        const auto& wanted = *static_cast<const API_NavigatorItem*>(par1);
        auto& found = *static_cast<std::vector<API_NavigatorItem>*>(par2);
        found.clear();
        for (const API_NavigatorItem& item : CameraViews(model))
            if (Matches(item, wanted)) found.push_back(item);
        return NoError;
    }
    const API_Guid wanted = *static_cast<const API_Guid*>(par1);
    for (const API_NavigatorItem& item : CameraViews(model))
        if (item.guid == wanted)
        {
            *static_cast<API_NavigatorItem*>(par2) = item;
            return NoError;
        }
    return APIERR_BADID;
}

// The 3D window comes to the front and looks through the view's camera.
GSErrCode OpenView(Host& host, const char* text)
{
    ProjectModel& model = host.model_;
    GS::Guid guid;
    if (!guid.FromText(text)) return APIERR_BADPARS;
    for (const API_NavigatorItem& item : CameraViews(model))
        if (item.guid == GSGuid2APIGuid(guid))
        {
            model.openedView = item.guid;
            model.frontWindow = APIWind_3DModelID;
            LookThroughCameraElement(host, item.elementGuid);
            return NoError;
        }
    return APIERR_BADID;
}

GSErrCode ZoomToElements(ProjectModel& model, const std::vector<API_Guid>& guids)
{
    API_Box zoom {};
    bool any = false;
    for (const API_Guid& guid : guids)
    {
        const StoredElement* element = model.Find(guid);
        if (element == nullptr) return APIERR_BADID;
        API_Box3D box {};
        if (!ElementBox(*element, model.StoreyLevel(element->record.header.floorInd), box)) continue;
        zoom = any ? API_Box {std::min(zoom.xMin, box.xMin), std::min(zoom.yMin, box.yMin), std::max(zoom.xMax, box.xMax),
                              std::max(zoom.yMax, box.yMax)}
                   : API_Box {box.xMin, box.yMin, box.xMax, box.yMax};
        any = true;
    }
    if (any) model.zoom = zoom;
    return NoError;
}

GSErrCode AutomationRequest(HostToken token, std::int32_t code, void* par1, void* par2)
{
    if (code != FourCC("GOVW") && code != FourCC("ZTEL"))
        return earlierAutomationRequest != nullptr ? earlierAutomationRequest(token, code, par1, par2) : APIERR_BADID;
    if (par1 == nullptr) return APIERR_BADPARS;
    Host::From(token).Log("HostAutomationRequest " + FourCCText(code));
    if (code == FourCC("GOVW")) return OpenView(Host::From(token), static_cast<const char*>(par1));
    return ZoomToElements(ModelOf(token), *static_cast<const std::vector<API_Guid>*>(par1));
}

int ElementNumber(const ProjectModel& model, const API_Guid& guid)
{
    for (std::size_t i = 0; i < model.content.elements.size(); ++i)
        if (model.content.elements[i].record.header.guid == guid) return static_cast<int>(i) + 1;
    return 0;
}

}  // namespace

API_NavigatorItem CameraViewItem(const StoredElement& camera)
{
    API_NavigatorItem item;
    item.itemType = API_CameraNavItem;
    item.mapId = API_ProjectMap;
    item.dbTypeID = APIWind_3DModelID;
    item.elementGuid = camera.record.header.guid;
    item.guid = camera.record.header.guid;
    item.guid.time_hi_and_version ^= 0x0F0F;
    item.uName = GS::UniString("Kamera");
    return item;
}

void FillCameraServices(HostServiceTable& table)
{
    earlierCreateElement =
        reinterpret_cast<HostServiceSignature::HostCreateElement>(table[static_cast<std::size_t>(HostSlot::HostCreateElement)]);
    earlierGetElementDefaults = reinterpret_cast<HostServiceSignature::HostGetElementDefaults>(
        table[static_cast<std::size_t>(HostSlot::HostGetElementDefaults)]);
    earlierAutomationRequest = reinterpret_cast<HostServiceSignature::HostAutomationRequest>(
        table[static_cast<std::size_t>(HostSlot::HostAutomationRequest)]);
    SIMHOST_SET_SERVICE(table, HostCreateElement, CreateElement);
    SIMHOST_SET_SERVICE(table, HostGetElementDefaults, GetElementDefaults);
    SIMHOST_SET_SERVICE(table, HostAutomationRequest, AutomationRequest);
    SIMHOST_SET_SERVICE(table, HostLinkElements, LinkElements);
    SIMHOST_SET_SERVICE(table, HostGetElementLinks, GetElementLinks);
    SIMHOST_SET_SERVICE(table, HostGetElementLinkFlags, GetElementLinkFlags);
    SIMHOST_SET_SERVICE(table, HostNavigatorRequest, NavigatorRequest);
}

void AddCameraFacts(const Host& host, Facts& facts)
{
    const ProjectModel& model = host.model_;
    std::string links;
    for (const StoredElement& element : model.content.elements)
        for (const ElementLink& link : element.links)
            links += (links.empty() ? "" : " ") + std::to_string(ElementNumber(model, element.record.header.guid)) + "->" +
                     std::to_string(ElementNumber(model, link.to)) + "/" + std::to_string(link.flags);
    facts["links"] = links.empty() ? "none" : links;
    std::string views;
    for (const API_NavigatorItem& item : CameraViews(model))
        views += (views.empty() ? "" : " ") + std::to_string(ElementNumber(model, item.elementGuid));
    facts["navigator-items"] = views.empty() ? "none" : "camera views of elements " + views;
    std::string opened = "none";
    for (const API_NavigatorItem& item : CameraViews(model))
        if (item.guid == model.openedView)
            opened = "camera view of element " + std::to_string(ElementNumber(model, item.elementGuid));
    facts["opened-view"] = opened;
}

}  // namespace SimHost
