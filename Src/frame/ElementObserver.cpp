#include "frame/ElementObserver.hpp"

#include <cstdio>

#include "RS/ResourceModule.hpp"
#include "frame/Survanto.hpp"
#include "frame/UInterface.hpp"
#include "framework/FloorPlanDatabaseScope.hpp"
#include "framework/HostApiHelpers.hpp"
#include "framework/ScopedElementMemo.hpp"
#include "measuring/MarkerPart.hpp"
#include "pointclouds/PointCloudTemplate.hpp"
#include "pointclouds/ScannerCamera.hpp"

namespace
{

constexpr std::int32_t BatchBegins = -1;
constexpr std::int32_t BatchEnds = -2;
// Raised once directly and once as an own change: the observer's own undoing and
// placing inside the batch look like the add-on's to everyone else.
constexpr std::int32_t BatchRaise = 2;

constexpr std::int32_t ActiveMarkerText = 5;
constexpr std::int32_t MovedAloneText = 106;
constexpr std::int32_t PlaceAtOriginText = 107;

bool IsObject(const API_NotifyElementType& n) { return n.typeID == API_ObjectID; }
bool IsCameraOrObject(const API_NotifyElementType& n) { return n.typeID == API_ObjectID || n.typeID == API_CameraID; }

bool Contains(const TypVektor<API_Guid>& list, const API_Guid& guid)
{
    for (std::uint32_t i = 0; i < list.GetSize(); ++i)
        if (list[i] == guid) return true;
    return false;
}

void ShowObserverAlert(std::int32_t text)
{
    ShowAlert(AlertError, AlertStringListId, AlertErrorTitle, text, NoAlertText, AlertOkButton, NoAlertText, NoAlertText,
              CurrentResourceModule(), AlertStringType);
}

// A GDL parameter of a placed object, when it has it.
const API_AddParType* Parameter(const API_ElementMemo& memo, const char* name)
{
    const std::int32_t index = FindMemoParamIndex(name, memo);
    return index < 0 ? nullptr : &memo.params[static_cast<std::size_t>(index)];
}

double ValueOr(const API_ElementMemo& memo, const char* name, double missing)
{
    const API_AddParType* parameter = Parameter(memo, name);
    return parameter != nullptr ? parameter->value : missing;
}

bool IsPointCloudObject(const API_NotifyElementType& notification)
{
    API_Elem_Head header {};
    header.typeID = notification.typeID;
    header.guid = notification.guid;
    char placedId[API_UniIDLength] {};
    GetElementLibPartId(header, placedId, sizeof placedId);
    if (placedId[0] == '\0') return false;
    char templateId[API_UniIDLength] {};
    std::snprintf(templateId, sizeof templateId, "%s", PointCloudTemplateId);
    return HostUtilityRequest(FourCC("CLPS"), placedId, templateId) == NoError;
}

std::int32_t StationMarkerPartIndex()
{
    API_LibPart part;
    std::snprintf(part.uniqueId, sizeof part.uniqueId, "%s", MarkerPart::InstrumentStation);
    return HostSearchLibraryPart(&part) == NoError ? part.index : 0;
}

// Moves a point cloud the user placed to the position recorded in it, level, with
// its planes raised by the recorded height, and gives it its scanner camera.
void PlaceAtRecordedPosition(const API_Guid& guid)
{
    API_Element object;
    object.header.guid = guid;
    ScopedElementMemo memo;
    if (HostGetElement(&object) != NoError || HostGetElementMemo(&guid, &*memo, APIMemoMask_AddPars) != NoError) return;
    const double x = ValueOr(*memo, "project0X", 0.0);
    const double y = ValueOr(*memo, "project0Y", 0.0);
    const double z = ValueOr(*memo, "project0Z", 0.0);

    API_Neig neig;
    neig.neigID = APINeig_Symb;
    neig.guid = guid;
    API_EditPars drag {};
    drag.typeID = FourCC("DRAG");
    drag.withDelete = true;
    drag.begC = {object.object.position.x, object.object.position.y, 0.0};
    drag.endC = {x, y, 0.0};
    HostEditElements(&neig, 1, &drag);

    for (const char* plane : {"upperPlaneHeight", "lowerPlaneHeight"})
    {
        const std::int32_t index = FindMemoParamIndex(plane, *memo);
        if (index >= 0) (*memo).params[static_cast<std::size_t>(index)].value += z;
    }
    API_Element level;
    level.header = object.header;
    level.object.angle = 0.0;
    API_Element mask {};
    MarkToChange(mask.object.angle);
    HostChangeElement(&level, &mask, &*memo, APIMemoMask_AddPars, true);

    const API_AddParType* scanner = Parameter(*memo, "hasScannerPos");
    if (scanner == nullptr || scanner->value != 0.0) CreateScannerCamera(guid, x, y, z);
}

}  // namespace

void ElementObserver::Notify(const API_NotifyElementType& notification, Survanto* survanto)
{
    if (survanto != nullptr && survanto->blockedState != 0) return;
    if (notification.notifID == BatchBegins)
    {
        Begin();
    }
    else if (notification.notifID == BatchEnds)
    {
        End(survanto);
    }
    else if (!InOwnBatch())
    {
        Collect(notification);
    }
    HostKeepInMemory(true);
}

// Outside any batch the add-on's own changes are told by the counter alone.
bool ElementObserver::InOwnBatch() const { return open_.empty() ? GetOwnChangeCounter() > 0 : open_.back().own; }

void ElementObserver::Begin()
{
    if (GetOwnChangeCounter() > 0)
    {
        open_.push_back({true, 0});
        return;
    }
    IncrementOwnChangeCounter("");
    BeginOwnChange("ElementEventHandler");
    open_.push_back({false, BatchRaise});
    activeMarkerTouched_ = false;
    navigatorRefreshNeeded_ = false;
    newPointClouds_.Clear();
    editedLinked_.Clear();
    linkedNotifications_.Clear();
    linkedTransformations_.Clear();
}

void ElementObserver::Collect(const API_NotifyElementType& notification)
{
    const std::int32_t kind = notification.notifID;
    if (!IsCameraOrObject(notification)) return;
    if (kind == APINotifyElement_Edit) CollectLinkedEdit(notification);
    if (kind == APINotifyElement_Delete) navigatorRefreshNeeded_ = true;
    if (IsObject(notification) &&
        (kind == APINotifyElement_New || kind == APINotifyElement_Edit || kind == APINotifyElement_Delete))
        GuardObject(notification);
}

void ElementObserver::CollectLinkedEdit(const API_NotifyElementType& notification)
{
    const FloorPlanDatabaseScope floorPlan;
    std::vector<API_Guid> linked;
    if (HostGetElementLinks(&notification.guid, &linked) != NoError || linked.empty()) return;
    API_ActTranPars transformation {};
    // An edit whose transformation the host does not tell is kept as no edit: it cannot be undone.
    if (HostGetEditTransformation(&transformation) != NoError) transformation = API_ActTranPars {};
    linkedTransformations_.Add(transformation);
    editedLinked_.Add(notification.guid);
    linkedNotifications_.Add(notification);
}

void ElementObserver::GuardObject(const API_NotifyElementType& notification)
{
    const FloorPlanDatabaseScope floorPlan;
    const bool created = notification.notifID == APINotifyElement_New;
    if (created && IsPointCloudObject(notification)) newPointClouds_.Add(notification.guid);

    const std::int32_t markerPart = StationMarkerPartIndex();
    if (markerPart == 0) return;
    API_Element object;
    object.header.guid = notification.guid;
    // A deleted marker is known only by what it was.
    const GSErrCode read = notification.notifID == APINotifyElement_Delete
                               ? HostGetNotifiedElementSource(&object, nullptr, 0, nullptr)
                               : HostGetElement(&object);
    if (read != NoError || object.object.libraryPartIndex != markerPart) return;
    if (created)
    {
        ForceDeleteElement(object.header);
        return;
    }
    ScopedElementMemo memo;
    const GSErrCode memoRead = notification.notifID == APINotifyElement_Delete
                                   ? HostGetNotifiedElementSource(&object, &*memo, APIMemoMask_AddPars, nullptr)
                                   : HostGetElementMemo(&notification.guid, &*memo, APIMemoMask_AddPars);
    if (memoRead != NoError || ValueOr(*memo, "bIsActual", 0.0) == 0.0) return;
    RevertElementChange(notification, nullptr);
    activeMarkerTouched_ = true;
}

void ElementObserver::End(Survanto* survanto)
{
    const bool stray = open_.empty();
    const OpenBatch batch = stray ? OpenBatch {} : open_.back();
    if (!stray) open_.pop_back();
    // An own batch passes whole; a stray end while the add-on works is its own too.
    if (batch.own || (stray && GetOwnChangeCounter() > 0)) return;

    if (activeMarkerTouched_) ShowObserverAlert(ActiveMarkerText);
    activeMarkerTouched_ = false;
    {
        const FloorPlanDatabaseScope floorPlan;
        const bool movedAlone = UndoLoneMoves();
        OfferRecordedPositions();
        if (movedAlone) ShowObserverAlert(MovedAloneText);
        if (navigatorRefreshNeeded_ && survanto != nullptr) survanto->navigatorPalette.Refresh();
        navigatorRefreshNeeded_ = false;
    }
    // Only what this batch's begin raised comes down again.
    if (batch.raised == BatchRaise)
    {
        EndOwnChange();
        DecrementOwnChangeCounter();
    }
}

bool ElementObserver::UndoLoneMoves()
{
    bool movedAlone = false;
    for (std::uint32_t i = 0; i < editedLinked_.GetSize(); ++i)
    {
        std::vector<API_Guid> linked;
        // An element whose partner is gone keeps its move.
        if (HostGetElementLinks(&editedLinked_[i], &linked) != NoError || linked.empty()) continue;
        if (Contains(editedLinked_, linked.front())) continue;
        RevertElementChange(linkedNotifications_[i], &linkedTransformations_[i]);
        movedAlone = true;
    }
    editedLinked_.Clear();
    linkedNotifications_.Clear();
    linkedTransformations_.Clear();
    return movedAlone;
}

void ElementObserver::OfferRecordedPositions()
{
    if (newPointClouds_.IsEmpty()) return;
    const std::int16_t answer = ShowAlert(AlertError, AlertStringListId, AlertErrorTitle, PlaceAtOriginText, NoAlertText,
                                          AlertYesButton, AlertNoButton, NoAlertText, CurrentResourceModule(), AlertStringType);
    if (answer == 1)
        for (std::uint32_t i = 0; i < newPointClouds_.GetSize(); ++i) PlaceAtRecordedPosition(newPointClouds_[i]);
    newPointClouds_.Clear();
}
