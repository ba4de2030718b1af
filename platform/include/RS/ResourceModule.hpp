#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "GS/UniString.hpp"

// Resource modules: the add-on's own resources (built into the add-on) and the
// language files beside it. A module holds string lists, dialog descriptions,
// icons and binary file and folder resources, each under a 16-bit id.
namespace RS
{

using ResModule = std::int32_t;  // 0: no module
using ResType = std::uint32_t;

constexpr ResType StringListType = 0x53545223;  // "STR#"
constexpr ResType DialogType = 0x444c4f47;      // "DLOG"
constexpr ResType FileType = 0x46494c45;        // "FILE"
constexpr ResType FolderType = 0x464f4c44;      // "FOLD"
constexpr ResType ModuleIdType = 0x4d444944;    // "MDID": developer id, local id
constexpr ResType TooltipType = 0x444c4748;     // "DLGH": a dialog's tooltips, under the dialog's id
constexpr ResType IconType = 0x4749434e;        // "GICN": width, height (uint16), RGBA rows from the top

struct Resource
{
    ResType type = 0;
    std::int16_t id = 0;
    std::vector<std::uint8_t> data;
};

// A parsed resource bundle (the format rescomp writes).
class ResourceBundle
{
public:
    // False when the bytes are not a bundle; the bundle is then empty.
    bool Parse(const std::uint8_t* bytes, std::size_t size);

    const Resource* Find(ResType type, std::int16_t id) const;
    bool GetString(std::int16_t listId, std::int16_t index, GS::UniString& text) const;
    std::uint32_t GetStringCount(std::int16_t listId) const;

private:
    std::vector<Resource> resources_;
};

ResModule RegisterEmbeddedModule(const std::uint8_t* bytes, std::size_t size);
ResModule OpenResourceFile(const std::string& path);  // 0 when it cannot be read
void CloseResourceModule(ResModule module);
const ResourceBundle* GetModule(ResModule module);

// 1-based index, as the host's string-list lookup; false when absent.
bool GetIndString(GS::UniString& text, std::int16_t listId, std::int16_t index, ResModule module);
GS::UniString GetIndString(std::int16_t listId, std::int16_t index, ResModule module);
bool GetResourceData(ResType type, std::int16_t id, ResModule module, std::vector<std::uint8_t>& data);

}  // namespace RS
