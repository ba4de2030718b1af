#pragma once
#include "API/AddOnInterface.hpp"
#include "Host.hpp"
#include "Scenario.hpp"

namespace SimHost
{

// The element, attribute, edit and undo services with their facts and verbs.
void FillElementServices(HostServiceTable& table);
void AddElementFacts(const Host& host, Facts& facts);
void AddElementVerbs(ScenarioVerbs& verbs);

// A user's own actions on elements, as the host's user interface would do them:
// one undo step each, the former state kept as the notified source, and the
// handlers told in one batch while the change is made.
GSErrCode UserEditElement(Host& host, const API_Guid& guid, const API_ActTranPars& transformation);
GSErrCode UserEditElements(Host& host, const std::vector<API_Guid>& guids, const API_ActTranPars& transformation);
GSErrCode UserDeleteElement(Host& host, const API_Guid& guid);
// Copies moved by the displacement; the copies are new elements, observed by nobody.
GSErrCode UserCopyElements(Host& host, const std::vector<API_Guid>& guids, const API_Coord3D& displacement);
// An object of the loaded library part placed with the object tool's defaults.
GSErrCode UserPlaceObject(Host& host, std::int32_t partIndex, const API_Coord3D& position, double angle);

// The selection id of a whole element of that type, 0 for a type without one.
std::int32_t NeigOfElementType(API_ElemTypeID type);
// The element types the host creates elements of.
bool IsKnownType(API_ElemTypeID type);

}  // namespace SimHost
