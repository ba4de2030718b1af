#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "GS/UniString.hpp"

namespace FTM
{

using TypeID = std::int32_t;
using GroupID = std::int32_t;
constexpr TypeID UnknownType = 0;
// The root of every manager's groups, and the group of types no manager claims.
constexpr GroupID RootGroup = 0;
constexpr GroupID UnknownGroup = -1;

// A kind of file: its description and its extension without the dot.
struct FileType
{
    FileType(GS::UniString description, std::string extension)
        : description(std::move(description)), extension(std::move(extension))
    {}

    GS::UniString description;
    std::string extension;
};

// The file types the host's image library reads and writes, found by MIME type;
// and a named set of file types in groups, for the filters of a file dialog.
class FileTypeManager
{
public:
    static constexpr TypeID Bmp = 1;
    static constexpr TypeID Png = 2;

    // UnknownType for a MIME type not known here.
    static TypeID SearchForMime(const char* mimeType);

    explicit FileTypeManager(const char* name);

    GroupID AddGroup(const GS::UniString& name, GroupID parent = RootGroup);
    TypeID AddType(const FileType& type, GroupID group);

    // The groups and types directly below a group; none below UnknownGroup here.
    std::vector<GroupID> ChildGroups(GroupID parent) const;
    std::vector<TypeID> ChildTypes(GroupID parent) const;
    GS::UniString GroupName(GroupID group) const;
    // The type's description and extension as a filter shows them: "text (*.ext)".
    GS::UniString TypeText(TypeID type) const;

private:
    struct Group
    {
        GS::UniString name;
        GroupID parent = RootGroup;
    };
    struct Member
    {
        FileType type;
        GroupID group = RootGroup;
    };

    std::string name_;
    std::vector<Group> groups_;  // group i + 1
    std::vector<Member> types_;  // type i + 1
};

}  // namespace FTM
