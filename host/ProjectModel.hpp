#pragma once
#include <algorithm>
#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "API/AddOnInterface.hpp"
#include "LibraryParts.hpp"
#include "ShellGeometry.hpp"
#include "VectorImage/VectorImage.hpp"

namespace SimHost
{

// A link from an element to another, with its flags.
struct ElementLink
{
    API_Guid to {};
    std::uint32_t flags = 0;
};

struct StoredElement
{
    API_Element record {};
    API_ElementMemo memo;
    API_ElementUserData userData;
    bool observed = false;
    // A 2D element drawn in the view of a section, elevation or interior elevation
    // belongs to that view; every other element to the model.
    std::optional<API_DatabaseInfo> view;
    // How often the add-on ran the parameter script of its library part.
    int parameterScriptRuns = 0;
    std::vector<ElementLink> links;
    ShellGeometry shell;
};

struct GuidHash
{
    std::size_t operator()(const API_Guid& guid) const;
};

// The project's elements in creation order, with an index by GUID kept in step with
// every addition and removal, so that finding one takes the same time in any project.
// An element keeps its GUID while it is listed. Kept in blocks: adding one never
// moves the others, however many there are.
class ElementList
{
public:
    using iterator = std::deque<StoredElement>::iterator;
    using const_iterator = std::deque<StoredElement>::const_iterator;

    iterator begin() { return elements_.begin(); }
    iterator end() { return elements_.end(); }
    const_iterator begin() const { return elements_.begin(); }
    const_iterator end() const { return elements_.end(); }
    std::size_t size() const { return elements_.size(); }
    bool empty() const { return elements_.empty(); }
    StoredElement& operator[](std::size_t i) { return elements_[i]; }
    const StoredElement& operator[](std::size_t i) const { return elements_[i]; }
    StoredElement& front() { return elements_.front(); }
    const StoredElement& front() const { return elements_.front(); }
    StoredElement& back() { return elements_.back(); }
    const StoredElement& back() const { return elements_.back(); }

    void push_back(StoredElement element);
    void clear();
    // Removes every element the predicate holds for, the others keep their order.
    template <typename Predicate>
    void EraseIf(Predicate predicate)
    {
        elements_.erase(std::remove_if(elements_.begin(), elements_.end(), predicate), elements_.end());
        Reindex();
    }

    StoredElement* Find(const API_Guid& guid);
    const StoredElement* Find(const API_Guid& guid) const;

private:
    void Reindex();

    std::deque<StoredElement> elements_;
    std::unordered_map<API_Guid, std::size_t, GuidHash> positions_;
};

struct LayerEntry
{
    std::string name;
    std::int32_t flags = 0;
};

struct ToolDefaults
{
    API_Element record {};
    API_ElementMemo memo;
};

// One module data of the project, stored under its name.
struct StoredModuleData
{
    std::int32_t dataVersion = 0;
    std::uint16_t platformSign = 0;
    std::vector<std::uint8_t> bytes;
};

// A view database: a section's, elevation's or interior elevation's view, which
// belongs to its element, or a layout or worksheet of its own.
struct ViewDatabase
{
    std::int32_t type = 0;  // APIWind_...
    API_Guid unId {};
    API_Guid owner {};  // null for layouts and worksheets
    std::string name;
    std::string ref;
};

// What an undo step restores: everything the project holds.
struct ProjectContent
{
    ElementList elements;
    std::vector<ViewDatabase> views;  // in creation order
    std::map<std::pair<API_ElemTypeID, std::int32_t>, ToolDefaults> defaults;
    std::map<std::int16_t, LayerEntry> layers;
    std::map<std::pair<std::int32_t, std::int16_t>, API_Attribute> attributes;  // pens, line types, fills, fonts, profiles
    std::map<std::int16_t, VectorImage> profileDrawings;  // by profile index; a profile without one cannot be read
    std::map<std::int16_t, double> storeyLevels;          // contiguous indices
    std::map<std::int16_t, std::string> storeyNames;      // storeys without a name are not here
    API_Coord locationOffset {};
};

// The project of the simulated host: elements with their memos, tool defaults,
// layers, storeys, the views' state and the undo steps.
class ProjectModel
{
public:
    ProjectModel();

    ProjectContent content;
    API_DatabaseInfo currentDatabase {};
    std::int32_t frontWindow = APIWind_FloorPlanID;
    API_Guid frontWindowUnId {};  // the view database the front window shows
    double planRotation = 0.0;    // the floor plan's view turned by this angle
    std::int16_t currentStorey = 0;
    bool storeysNumberedFromOne = false;
    std::vector<API_Neig> selection;
    std::optional<API_Box> zoom;
    API_Guid openedView {};   // the navigator item whose view was opened last
    std::string projectFile;  // where the project was saved or read from; empty for a new one
    std::vector<ProjectContent> undoSteps;
    std::map<std::int32_t, LibraryPartEntry> libraryParts;  // by library index, from 1
    std::int32_t openParameterList = 0;                     // the part whose parameter list is open, 0 none
    std::vector<LibraryFolder> libraryFolders;              // the loaded libraries, in order
    std::optional<LibraryPartCreation> libraryPartCreation;
    bool overwriteLibraryParts = false;
    // Add-ons store their data outside the undo steps, as the host does.
    std::map<GS::UniString, StoredModuleData> moduleData;
    // HostGetAttribute requests by type and index.
    std::map<std::pair<std::int32_t, std::int16_t>, int> attributeRequests;

    // The state before the user's last action on an element, and its transformation.
    std::vector<StoredElement> notifiedSources;
    API_ActTranPars runningTransformation {};

    StoredElement* Find(const API_Guid& guid);
    const StoredElement* FindNotifiedSource(const API_Guid& guid) const;
    const StoredElement* Find(const API_Guid& guid) const;
    API_Guid NewGuid();

    // Changes are counted so that a command that changed nothing records no step.
    void MarkChanged() { ++changeCount_; }
    std::uint64_t ChangeCount() const { return changeCount_; }

    GSErrCode RunUndoable(const APIUndoableCommand& command);
    // An add-on changes elements only inside an undoable command or inside a
    // notification batch the host delivers.
    bool ChangesAllowed() const { return commandDepth_ > 0 || notificationDepth_ > 0; }
    void EnterNotification() { ++notificationDepth_; }
    void LeaveNotification() { --notificationDepth_; }
    bool Undo();

    ToolDefaults& DefaultsFor(API_ElemTypeID type, std::int32_t variation);
    double StoreyLevel(std::int16_t index) const;
    std::string StoreyName(std::int16_t index) const;
    bool IsLayerLocked(std::int16_t layer) const;
    // 0 when the element may be changed or deleted, else the host's refusal.
    GSErrCode CheckChangeable(const StoredElement& element) const;
    // The library part a placed element names; null for other elements and unknown indices.
    const LibraryPartEntry* LibraryPartOf(const API_Element& element) const;

private:
    void DropVanishedFromSelection();

    std::uint32_t guidCounter_ = 0;
    std::uint64_t changeCount_ = 0;
    int commandDepth_ = 0;
    int notificationDepth_ = 0;
};

}  // namespace SimHost
