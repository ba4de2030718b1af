#include "RS/ResourceModule.hpp"

#include <algorithm>
#include <map>
#include <mutex>

#include "SafeFiles.hpp"
#include "Win/WinStandIns.hpp"

namespace RS
{

namespace
{

std::uint32_t ReadU32(const std::uint8_t* p)
{
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[3]) << 24);
}

// At process exit the registry may go before an add-on's unload hook closes its module.
bool registryGone = false;

struct Registry
{
    ~Registry() { registryGone = true; }
    std::mutex mutex;
    std::map<ResModule, std::unique_ptr<ResourceBundle>> modules;
    ResModule next = 1;
};

Registry& TheRegistry()
{
    static Registry registry;
    return registry;
}

ResModule Add(std::unique_ptr<ResourceBundle> bundle)
{
    auto& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    const ResModule id = reg.next++;
    reg.modules.emplace(id, std::move(bundle));
    return id;
}

// A string list's data: uint32 count, then per string uint32 length and UTF-8 bytes.
bool StringAt(const Resource& list, std::uint32_t wanted, GS::UniString& text)
{
    const auto& d = list.data;
    if (d.size() < 4) return false;
    const std::uint32_t count = ReadU32(d.data());
    std::size_t pos = 4;
    for (std::uint32_t i = 0; i < count; ++i)
    {
        if (pos + 4 > d.size()) return false;
        const std::uint32_t len = ReadU32(d.data() + pos);
        pos += 4;
        if (len > d.size() - pos) return false;
        if (i == wanted)
        {
            text = GS::UniString(std::string(reinterpret_cast<const char*>(d.data() + pos), len));
            return true;
        }
        pos += len;
    }
    return false;
}

// The first damage of a string list's data, in words; its entries before it stay readable.
bool StringListIsWhole(const std::uint8_t* data, std::size_t size, std::string& damage)
{
    if (size < 4)
    {
        damage = "holds no count; it is ignored";
        return false;
    }
    const std::uint32_t count = ReadU32(data);
    std::size_t pos = 4;
    for (std::uint32_t i = 0; i < count; ++i)
    {
        if (size - pos < 4 || ReadU32(data + pos) > size - pos - 4)
        {
            damage = "is cut short at its entry " + std::to_string(i + 1) + " of " + std::to_string(count) +
                     "; the entries from there on are ignored";
            return false;
        }
        pos += 4 + ReadU32(data + pos);
    }
    return true;
}

// Damages are told one a line.
void Note(std::string& damage, const std::string& text) { damage += (damage.empty() ? "" : "\n") + text; }

// A language file too large to be one is not read into memory.
constexpr std::uint64_t LargestResourceFile = 64u << 20;

// The bytes of a bundle up to its first damaged resource, with the count of the
// sound ones; every damage is noted in words with the byte it lies at. Empty when
// the bytes are no bundle at all.
std::string SoundPart(const std::string& bytes, std::string& damage)
{
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
    const std::size_t size = bytes.size();
    if (size < 12 || bytes.compare(0, 4, "SVRS") != 0)
    {
        Note(damage, "not a resource file; nothing in it is used");
        return {};
    }
    const std::uint32_t count = ReadU32(data + 8);
    std::size_t pos = 12;
    std::uint32_t sound = 0;
    for (; sound < count; ++sound)
    {
        const std::size_t start = pos;
        if (size - pos < 10 || ReadU32(data + pos + 6) > size - pos - 10)
        {
            Note(damage, "byte " + std::to_string(start) + ": resource " + std::to_string(sound + 1) + " of " +
                             std::to_string(count) + " is cut short; it and the " + std::to_string(count - sound - 1) +
                             " behind it are ignored");
            break;
        }
        const std::uint32_t length = ReadU32(data + pos + 6);
        std::string listDamage;
        if (ReadU32(data + pos) == StringListType && !StringListIsWhole(data + pos + 10, length, listDamage))
        {
            const int id = static_cast<std::int16_t>(data[pos + 4] | (data[pos + 5] << 8));
            Note(damage, "byte " + std::to_string(start) + ": string list " + std::to_string(id) + " " + listDamage);
        }
        pos += 10 + std::size_t(length);
    }
    if (sound == count && pos < size)
        Note(damage, "byte " + std::to_string(pos) + ": the " + std::to_string(size - pos) +
                         " bytes behind the last resource are ignored");
    std::string part = bytes.substr(0, pos);
    for (int b = 0; b < 4; ++b) part[8 + std::size_t(b)] = static_cast<char>((sound >> (8 * b)) & 0xFF);
    return part;
}

}  // namespace

bool ResourceBundle::Parse(const std::uint8_t* bytes, std::size_t size)
{
    resources_.clear();
    if (size < 12 || bytes[0] != 'S' || bytes[1] != 'V' || bytes[2] != 'R' || bytes[3] != 'S') return false;
    const std::uint32_t count = ReadU32(bytes + 8);
    std::size_t pos = 12;
    std::vector<Resource> parsed;
    for (std::uint32_t i = 0; i < count; ++i)
    {
        if (size - pos < 10) return false;
        Resource r;
        r.type = ReadU32(bytes + pos);
        r.id = static_cast<std::int16_t>(bytes[pos + 4] | (bytes[pos + 5] << 8));
        const std::uint32_t length = ReadU32(bytes + pos + 6);
        pos += 10;
        if (length > size - pos) return false;
        r.data.assign(bytes + pos, bytes + pos + length);
        pos += length;
        parsed.push_back(std::move(r));
    }
    resources_ = std::move(parsed);
    return true;
}

const Resource* ResourceBundle::Find(ResType type, std::int16_t id) const
{
    for (const auto& r : resources_)
        if (r.type == type && r.id == id) return &r;
    return nullptr;
}

bool ResourceBundle::GetString(std::int16_t listId, std::int16_t index, GS::UniString& text) const
{
    const Resource* list = Find(StringListType, listId);
    if (list == nullptr || index < 1) return false;
    return StringAt(*list, static_cast<std::uint32_t>(index - 1), text);
}

std::uint32_t ResourceBundle::GetStringCount(std::int16_t listId) const
{
    const Resource* list = Find(StringListType, listId);
    return list == nullptr || list->data.size() < 4 ? 0 : ReadU32(list->data.data());
}

ResModule RegisterEmbeddedModule(const std::uint8_t* bytes, std::size_t size)
{
    auto bundle = std::make_unique<ResourceBundle>();
    if (!bundle->Parse(bytes, size)) return 0;
    return Add(std::move(bundle));
}

ResModule OpenResourceFile(const std::string& path)
{
    std::string bytes;
    const SafeFiles::Refusal refusal = SafeFiles::ReadRegular(path, bytes, LargestResourceFile);
    if (refusal == SafeFiles::Refusal::Missing) return 0;
    if (refusal != SafeFiles::Refusal::None)
    {
        Win::OutputDebugString(path + ": " + SafeFiles::RefusalText(refusal) + "; its texts are not used");
        return 0;
    }
    std::string damage;
    const std::string sound = SoundPart(bytes, damage);
    for (std::size_t from = 0; from < damage.size();)
    {
        const std::size_t end = std::min(damage.find('\n', from), damage.size());
        Win::OutputDebugString(path + ": " + damage.substr(from, end - from));
        from = end + 1;
    }
    return RegisterEmbeddedModule(reinterpret_cast<const std::uint8_t*>(sound.data()), sound.size());
}

void CloseResourceModule(ResModule module)
{
    if (registryGone) return;
    auto& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    reg.modules.erase(module);
}

const ResourceBundle* GetModule(ResModule module)
{
    auto& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    const auto it = reg.modules.find(module);
    return it == reg.modules.end() ? nullptr : it->second.get();
}

bool GetIndString(GS::UniString& text, std::int16_t listId, std::int16_t index, ResModule module)
{
    const ResourceBundle* bundle = GetModule(module);
    return bundle != nullptr && bundle->GetString(listId, index, text);
}

GS::UniString GetIndString(std::int16_t listId, std::int16_t index, ResModule module)
{
    GS::UniString text;
    GetIndString(text, listId, index, module);
    return text;
}

bool GetResourceData(ResType type, std::int16_t id, ResModule module, std::vector<std::uint8_t>& data)
{
    const ResourceBundle* bundle = GetModule(module);
    const Resource* r = bundle == nullptr ? nullptr : bundle->Find(type, id);
    if (r == nullptr) return false;
    data = r->data;
    return true;
}

}  // namespace RS
