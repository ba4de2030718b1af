#pragma once
#include <optional>
#include <vector>

#include "Host.hpp"

namespace SimHost
{

// One element notification of a batch.
struct ElementNotice
{
    API_Guid guid {};
    API_ElemTypeID typeID = 0;
    std::int32_t kind = 0;
};

// The notice of a change to the element, when a handler wants it: an observed
// element's change, edit or deletion, or a new element of a type caught as new.
std::optional<ElementNotice> NoticeOf(const Host& host, const StoredElement& element, std::int32_t kind);

// Tells each handler its notices between a begin (-1) and an end (-2), while the
// change is being made. The handlers may change elements throughout.
void NotifyBatch(Host& host, const std::vector<ElementNotice>& notices);

// Installed over the element services: a create, change, deletion or edit is
// refused outside an undoable command and outside a notification, and each one
// made tells its batch.
void FillElementNotificationServices(HostServiceTable& table);

}  // namespace SimHost
