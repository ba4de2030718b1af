#include "FTM/FileTypeManager.hpp"

#include <cstring>

namespace FTM
{

TypeID FileTypeManager::SearchForMime(const char* mimeType)
{
    if (mimeType == nullptr) return UnknownType;
    if (std::strcmp(mimeType, "image/bmp") == 0) return Bmp;
    if (std::strcmp(mimeType, "image/png") == 0) return Png;
    return UnknownType;
}

FileTypeManager::FileTypeManager(const char* name) : name_(name == nullptr ? "" : name) {}

GroupID FileTypeManager::AddGroup(const GS::UniString& name, GroupID parent)
{
    groups_.push_back({name, parent});
    return static_cast<GroupID>(groups_.size());
}

TypeID FileTypeManager::AddType(const FileType& type, GroupID group)
{
    types_.push_back({type, group});
    return static_cast<TypeID>(types_.size());
}

std::vector<GroupID> FileTypeManager::ChildGroups(GroupID parent) const
{
    std::vector<GroupID> children;
    if (parent == UnknownGroup) return children;
    for (std::size_t i = 0; i < groups_.size(); ++i)
        if (groups_[i].parent == parent) children.push_back(static_cast<GroupID>(i + 1));
    return children;
}

std::vector<TypeID> FileTypeManager::ChildTypes(GroupID parent) const
{
    std::vector<TypeID> children;
    if (parent == UnknownGroup) return children;
    for (std::size_t i = 0; i < types_.size(); ++i)
        if (types_[i].group == parent) children.push_back(static_cast<TypeID>(i + 1));
    return children;
}

GS::UniString FileTypeManager::GroupName(GroupID group) const
{
    if (group < 1 || static_cast<std::size_t>(group) > groups_.size()) return {};
    return groups_[static_cast<std::size_t>(group - 1)].name;
}

GS::UniString FileTypeManager::TypeText(TypeID type) const
{
    if (type < 1 || static_cast<std::size_t>(type) > types_.size()) return {};
    const FileType& file = types_[static_cast<std::size_t>(type - 1)].type;
    return file.description + GS::UniString(" (*." + file.extension + ")");
}

}  // namespace FTM
