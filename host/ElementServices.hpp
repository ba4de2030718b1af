#pragma once
#include "API/AddOnInterface.hpp"
#include "Host.hpp"
#include "Scenario.hpp"

namespace SimHost {

// The element, attribute, edit and undo services with their facts and verbs.
void FillElementServices(HostServiceTable& table);
void AddElementFacts(const Host& host, Facts& facts);
void AddElementVerbs(ScenarioVerbs& verbs);

// A user's own actions on an element, as the host's user interface would do them:
// one undo step each, the former state kept as the notified source, and the
// element's observer told.
GSErrCode UserEditElement(Host& host, const API_Guid& guid, const API_ActTranPars& transformation);
GSErrCode UserDeleteElement(Host& host, const API_Guid& guid);

// The selection id of a whole element of that type, 0 for a type without one.
std::int32_t NeigOfElementType(API_ElemTypeID type);

}  // namespace SimHost
