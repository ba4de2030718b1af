#pragma once
#include <cstdint>
#include <optional>
#include <vector>

#include "API/AddOnInterface.hpp"
#include "GS/UniString.hpp"
#include "Geometry/Polygon2DData.hpp"
#include "framework/OwnChangeCounter.hpp"
#include "framework/TypVektor.hpp"

// Recurring conversations with the host. None of them shows a message.

// Index of the first GDL parameter with that name, compared without regard to
// letter case; -1 when there is none or no parameter list.
std::int32_t FindMemoParamIndex(const char* name, const API_ElementMemo& memo);
std::int32_t FindParamIndex(const char* name, const std::vector<API_AddParType>* params);

// Element type of a selection id, 0 when the host cannot tell.
API_ElemTypeID NeigToElemType(std::int32_t neigID);
// Selection id of an element type, 0 for a type without one.
std::int32_t ElemTypeToNeig(API_ElemTypeID type);

// Section, elevation and interior elevation windows: views along a line, with
// heights on their vertical axis.
bool IsSectionTypeWindow(std::int32_t windowType);

// A host record's 3 x 4 transformation (a morph's placement, a shell's planes and
// frames) set to the identity without translation.
void SetIdentityTransformation(double (&transformation)[12]);

// Level of a storey, 0 when the index lies outside the storeys.
double GetStoryLevel(std::int16_t storyIndex);

// The project's location offset; none when the host cannot tell.
API_Coord GetLocationOffset();

// The toolbox item chosen now; none when the host cannot tell.
API_ToolBoxItem CurrentToolboxItem();

// The name of a loaded library part; empty when the host does not know the index.
std::optional<GS::UniString> LibraryPartName(std::int32_t libIndex);

// The tool's default settings for a new element of the type, without its memo.
API_Element ElementToolDefaults(API_ElemTypeID type);

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

// The tree item below the parent whose user data's low 32 bits equal the value,
// each item's descendants searched before the item itself; -1 when none.
std::int32_t FindTreeViewItemByUserData(short dialogId, short treeViewItem, std::int32_t parent, std::int32_t userData);

// Pixels per metre of the main screen, 0 when the screen does not tell its size.
double GetScreenPixelsPerMeter();

// Writes the unique id of the element's library part into the text, cut to the
// text's size; leaves the text as it is when the host cannot tell.
void GetElementLibPartId(const API_Elem_Head& header, char* text, std::size_t size);

// The memo's polygon as the host's polygon record, validated; an outline the
// host refuses leaves the record empty.
void MemoPolygonToPolygon2DData(const API_ElementMemo& memo, Geometry::Polygon2DData& polygon);
// Computes the bounding box and orients the contours unless done before; the
// first error, else 0.
GSErrCode ValidatePolygon2DData(Geometry::Polygon2DData& polygon);

// True when the view of the section or elevation looks to the left of the
// segment of its main line that the database shows; false when the memo lacks
// that segment or the distance line.
bool IsSectionViewToLeft(const API_Element& element, const API_ElementMemo& memo, const API_DatabaseInfo& database);
