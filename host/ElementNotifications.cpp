// Element notifications in batches, and the undo scope that element changes need.
#include "ElementNotifications.hpp"

#include <algorithm>

#include "ServiceTable.hpp"

namespace SimHost
{

namespace
{

HostServiceSignature::HostCreateElement innerCreate = nullptr;
HostServiceSignature::HostChangeElement innerChange = nullptr;
HostServiceSignature::HostDeleteElements innerDelete = nullptr;
HostServiceSignature::HostChangeElementMemo innerChangeMemo = nullptr;
HostServiceSignature::HostEditElements innerEdit = nullptr;

constexpr std::int32_t BatchBegins = -1;
constexpr std::int32_t BatchEnds = -2;

APIElementEventHandlerProc HandlerOf(const Host& host, const ElementNotice& notice)
{
    if (notice.kind == APINotifyElement_New)
    {
        for (const auto& [type, handler] : host.newElementCatches_)
            if (type == notice.typeID) return handler;
        return nullptr;
    }
    return host.elementObserver_;
}

void Tell(APIElementEventHandlerProc handler, std::int32_t kind, const API_Guid& guid = APINULLGuid, API_ElemTypeID type = 0)
{
    API_NotifyElementType notification;
    notification.notifID = kind;
    notification.guid = guid;
    notification.typeID = type;
    handler(&notification);
}

// The element at the end of the list, which a creation or copy just appended.
void NoticeNew(Host& host, std::size_t countBefore, std::vector<ElementNotice>& notices)
{
    const auto& elements = host.model_.content.elements;
    for (std::size_t i = countBefore; i < elements.size(); ++i)
        if (auto notice = NoticeOf(host, elements[i], APINotifyElement_New)) notices.push_back(*notice);
}

void NoticeChanged(Host& host, const API_Guid& guid, std::int32_t kind, std::vector<ElementNotice>& notices)
{
    const StoredElement* element = host.model_.Find(guid);
    if (element == nullptr) return;
    if (auto notice = NoticeOf(host, *element, kind)) notices.push_back(*notice);
}

GSErrCode CreateElement(HostToken token, API_Element* element, API_ElementMemo* memo)
{
    Host& host = Host::From(token);
    if (!host.model_.ChangesAllowed()) return APIERR_NEEDSUNDOSCOPE;
    const std::size_t before = host.model_.content.elements.size();
    const GSErrCode result = innerCreate(token, element, memo);
    if (result != NoError) return result;
    std::vector<ElementNotice> notices;
    NoticeNew(host, before, notices);
    NotifyBatch(host, notices);
    return NoError;
}

GSErrCode ChangeElement(HostToken token, API_Element* element, const API_Element* mask, const API_ElementMemo* memo,
                        std::uint64_t memoMask, bool withDelete)
{
    Host& host = Host::From(token);
    if (!host.model_.ChangesAllowed()) return APIERR_NEEDSUNDOSCOPE;
    const std::size_t before = host.model_.content.elements.size();
    const GSErrCode result = innerChange(token, element, mask, memo, memoMask, withDelete);
    if (result != NoError) return result;
    std::vector<ElementNotice> notices;
    if (withDelete)
        NoticeChanged(host, element->header.guid, APINotifyElement_Change, notices);
    else
        NoticeNew(host, before, notices);
    NotifyBatch(host, notices);
    return NoError;
}

GSErrCode DeleteElements(HostToken token, const API_Elem_Head* headers, std::int32_t count)
{
    Host& host = Host::From(token);
    if (!host.model_.ChangesAllowed()) return APIERR_NEEDSUNDOSCOPE;
    std::vector<ElementNotice> notices;
    for (std::int32_t i = 0; headers != nullptr && i < count; ++i)
        NoticeChanged(host, headers[i].guid, APINotifyElement_Delete, notices);
    const GSErrCode result = innerDelete(token, headers, count);
    if (result != NoError) return result;
    NotifyBatch(host, notices);
    return NoError;
}

GSErrCode ChangeElementMemo(HostToken token, const API_Guid* guid, std::uint64_t memoMask, const API_ElementMemo* memo)
{
    Host& host = Host::From(token);
    if (!host.model_.ChangesAllowed()) return APIERR_NEEDSUNDOSCOPE;
    const GSErrCode result = innerChangeMemo(token, guid, memoMask, memo);
    if (result != NoError) return result;
    std::vector<ElementNotice> notices;
    NoticeChanged(host, *guid, APINotifyElement_Change, notices);
    NotifyBatch(host, notices);
    return NoError;
}

GSErrCode EditElements(HostToken token, const API_Neig* neigs, std::int32_t count, const API_EditPars* pars)
{
    Host& host = Host::From(token);
    if (!host.model_.ChangesAllowed()) return APIERR_NEEDSUNDOSCOPE;
    const std::size_t before = host.model_.content.elements.size();
    const GSErrCode result = innerEdit(token, neigs, count, pars);
    if (result != NoError) return result;
    std::vector<ElementNotice> notices;
    if (pars->withDelete)
    {
        for (std::int32_t i = 0; i < count; ++i) NoticeChanged(host, neigs[i].guid, APINotifyElement_Edit, notices);
    }
    else
    {
        NoticeNew(host, before, notices);
    }
    NotifyBatch(host, notices);
    return NoError;
}

}  // namespace

std::optional<ElementNotice> NoticeOf(const Host& host, const StoredElement& element, std::int32_t kind)
{
    const ElementNotice notice {element.record.header.guid, element.record.header.typeID, kind};
    if (kind != APINotifyElement_New && !element.observed) return std::nullopt;
    if (HandlerOf(host, notice) == nullptr) return std::nullopt;
    return notice;
}

void NotifyBatch(Host& host, const std::vector<ElementNotice>& notices)
{
    if (notices.empty()) return;
    std::vector<APIElementEventHandlerProc> handlers;
    for (const ElementNotice& notice : notices)
    {
        const APIElementEventHandlerProc handler = HandlerOf(host, notice);
        if (handler != nullptr && std::find(handlers.begin(), handlers.end(), handler) == handlers.end())
            handlers.push_back(handler);
    }
    host.model_.EnterNotification();
    for (const APIElementEventHandlerProc handler : handlers) Tell(handler, BatchBegins);
    for (const ElementNotice& notice : notices)
        if (const APIElementEventHandlerProc handler = HandlerOf(host, notice))
            Tell(handler, notice.kind, notice.guid, notice.typeID);
    for (const APIElementEventHandlerProc handler : handlers) Tell(handler, BatchEnds);
    host.model_.LeaveNotification();
}

void FillElementNotificationServices(HostServiceTable& table)
{
    const auto slot = [&table](HostSlot s) { return table[static_cast<std::size_t>(s)]; };
    innerCreate = reinterpret_cast<HostServiceSignature::HostCreateElement>(slot(HostSlot::HostCreateElement));
    innerChange = reinterpret_cast<HostServiceSignature::HostChangeElement>(slot(HostSlot::HostChangeElement));
    innerDelete = reinterpret_cast<HostServiceSignature::HostDeleteElements>(slot(HostSlot::HostDeleteElements));
    innerChangeMemo = reinterpret_cast<HostServiceSignature::HostChangeElementMemo>(slot(HostSlot::HostChangeElementMemo));
    innerEdit = reinterpret_cast<HostServiceSignature::HostEditElements>(slot(HostSlot::HostEditElements));
    SIMHOST_SET_SERVICE(table, HostCreateElement, CreateElement);
    SIMHOST_SET_SERVICE(table, HostChangeElement, ChangeElement);
    SIMHOST_SET_SERVICE(table, HostDeleteElements, DeleteElements);
    SIMHOST_SET_SERVICE(table, HostChangeElementMemo, ChangeElementMemo);
    SIMHOST_SET_SERVICE(table, HostEditElements, EditElements);
}

}  // namespace SimHost
