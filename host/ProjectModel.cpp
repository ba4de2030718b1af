#include "ProjectModel.hpp"

#include <algorithm>
#include <cstring>

#include "AttributeServices.hpp"
#include "ElementDefaults.hpp"

namespace SimHost
{

ProjectModel::ProjectModel()
{
    content.layers[DefaultLayer] = LayerEntry {"Archicad-Ebene", 0};
    AddStandardAttributes(content);
    content.storeyLevels[0] = 0.0;
    content.storeyNames[0] = "Erdgeschoss";
    currentDatabase.typeID = APIWind_FloorPlanID;
}

std::size_t GuidHash::operator()(const API_Guid& guid) const
{
    std::uint64_t halves[2];
    std::memcpy(halves, &guid, sizeof halves);
    return std::hash<std::uint64_t>()(halves[0] ^ (halves[1] * 0x9E3779B97F4A7C15ull));
}

void ElementList::push_back(StoredElement element)
{
    positions_.emplace(element.record.header.guid, elements_.size());
    elements_.push_back(std::move(element));
}

void ElementList::clear()
{
    elements_.clear();
    positions_.clear();
}

void ElementList::Reindex()
{
    positions_.clear();
    for (std::size_t i = 0; i < elements_.size(); ++i) positions_.emplace(elements_[i].record.header.guid, i);
}

StoredElement* ElementList::Find(const API_Guid& guid)
{
    const auto found = positions_.find(guid);
    if (found == positions_.end()) return nullptr;
    return &elements_[found->second];
}

const StoredElement* ElementList::Find(const API_Guid& guid) const { return const_cast<ElementList*>(this)->Find(guid); }

StoredElement* ProjectModel::Find(const API_Guid& guid) { return content.elements.Find(guid); }

const StoredElement* ProjectModel::Find(const API_Guid& guid) const { return content.elements.Find(guid); }

const StoredElement* ProjectModel::FindNotifiedSource(const API_Guid& guid) const
{
    for (const StoredElement& e : notifiedSources)
        if (e.record.header.guid == guid) return &e;
    return nullptr;
}

// Elements of an opened project keep their GUIDs, so a new one skips those in use.
API_Guid ProjectModel::NewGuid()
{
    API_Guid guid;
    guid.time_mid = 0x51D0;
    guid.time_hi_and_version = 0x4000;
    guid.clock_seq[0] = 0x80;
    std::memcpy(guid.node, "SimHst", 6);
    const auto isView = [this](const API_Guid& g) {
        return std::any_of(content.views.begin(), content.views.end(), [&](const ViewDatabase& v) { return v.unId == g; });
    };
    do {
        guid.time_low = 0x5EED0000u + ++guidCounter_;
    } while (Find(guid) != nullptr || isView(guid));
    return guid;
}

// Runs a command as one undo step. A nested command belongs to the outer step; a
// failed command, nested or not, is rolled back; a command that changed nothing
// records no step.
GSErrCode ProjectModel::RunUndoable(const APIUndoableCommand& command)
{
    if (!command) return APIERR_BADPARS;
    ProjectContent before = content;
    const std::uint64_t changesBefore = changeCount_;
    ++commandDepth_;
    const GSErrCode result = command();
    --commandDepth_;
    if (result != NoError)
    {
        content = std::move(before);
        DropVanishedFromSelection();
        return result;
    }
    if (commandDepth_ == 0 && changeCount_ != changesBefore) undoSteps.push_back(std::move(before));
    return NoError;
}

void ProjectModel::DropVanishedFromSelection()
{
    selection.erase(
        std::remove_if(selection.begin(), selection.end(), [this](const API_Neig& n) { return Find(n.guid) == nullptr; }),
        selection.end());
}

bool ProjectModel::Undo()
{
    if (undoSteps.empty()) return false;
    content = std::move(undoSteps.back());
    undoSteps.pop_back();
    selection.clear();
    return true;
}

ToolDefaults& ProjectModel::DefaultsFor(API_ElemTypeID type, std::int32_t variation)
{
    const auto key = std::make_pair(type, variation);
    auto it = content.defaults.find(key);
    if (it == content.defaults.end())
    {
        ToolDefaults defaults;
        const auto plain = content.defaults.find(std::make_pair(type, 0));
        defaults.record = plain != content.defaults.end() ? plain->second.record : InitialDefaults(type, variation);
        defaults.record.header.variationID = variation;
        it = content.defaults.emplace(key, std::move(defaults)).first;
    }
    return it->second;
}

double ProjectModel::StoreyLevel(std::int16_t index) const
{
    const auto it = content.storeyLevels.find(index);
    return it != content.storeyLevels.end() ? it->second : 0.0;
}

std::string ProjectModel::StoreyName(std::int16_t index) const
{
    const auto it = content.storeyNames.find(index);
    return it != content.storeyNames.end() ? it->second : std::string();
}

bool ProjectModel::IsLayerLocked(std::int16_t layer) const
{
    const auto it = content.layers.find(layer);
    return it != content.layers.end() && (it->second.flags & APILay_Locked) != 0;
}

GSErrCode ProjectModel::CheckChangeable(const StoredElement& element) const
{
    if (IsLayerLocked(element.record.header.layer) || element.record.header.lockId > 0) return APIERR_PAGELOCKED;
    return NoError;
}

const LibraryPartEntry* ProjectModel::LibraryPartOf(const API_Element& element) const
{
    std::int32_t index = 0;
    switch (element.header.typeID)
    {
        case API_ObjectID:
        case API_LampID: index = element.object.libraryPartIndex; break;
        case API_WindowID:
        case API_DoorID: index = element.window.libraryPartIndex; break;
        default: return nullptr;
    }
    const auto it = libraryParts.find(index);
    return it != libraryParts.end() ? &it->second : nullptr;
}

}  // namespace SimHost
