#pragma once
#include <cstdint>
#include <vector>

#include "API/AddOnInterface.hpp"
#include "GS/UniString.hpp"
#include "OwnChangeCounter.hpp"
#include "TypVektor.hpp"

// Recurring conversations with the host. None of them shows a message.

// Index of the first GDL parameter with that name, compared without regard to
// letter case; -1 when there is none or no parameter list.
std::int32_t FindMemoParamIndex(const char* name, const API_ElementMemo& memo);
std::int32_t FindParamIndex(const char* name, const std::vector<API_AddParType>* params);

// Element type of a selection id, 0 when the host cannot tell.
API_ElemTypeID NeigToElemType(std::int32_t neigID);
// Selection id of an element type, 0 for a type without one.
std::int32_t ElemTypeToNeig(API_ElemTypeID type);

// Level of a storey, 0 when the index lies outside the storeys.
double GetStoryLevel(std::int16_t storyIndex);

// Changes and deletions that unlock the element's layer (and the element) for one
// retry when the host refuses, and lock them again as they were.
bool ForceChangeElement(API_Element* element, API_Element* mask, API_ElementMemo* memo);
bool ForceChangeElementMemo(const API_Guid& guid, API_ElementMemo* memo, std::uint64_t memoMask);
bool ForceDeleteElement(const API_Elem_Head& header);

// Undoes a user's change, edit or deletion of an observed element; the result is
// the element's GUID afterwards.
API_Guid RevertElementChange(const API_NotifyElementType& notification, const API_ActTranPars* transformation);

// Selects the objects and, with zoom set, shows them in the window.
void SelectAndZoomObjects(TypVektor<API_Guid> guids, bool zoom);

// Reads a number from text that may hold units and a decimal comma; 1 when a
// number was read, else 0 with the target untouched.
int ParseDouble(const char* text, double* value);

// Appends the words of the text, separated by white space of any length.
void SplitAtWhiteSpace(const GS::UniString& text, TypVektor<GS::UniString>& words);
