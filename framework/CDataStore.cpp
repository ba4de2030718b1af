#include "framework/CDataStore.hpp"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

#include "API/AddOnInterface.hpp"
#include "GS/PlatformSign.hpp"

namespace
{

constexpr std::size_t MaxNameBytes = 30;
constexpr char HeaderMark[] = "Modul Header";
constexpr std::uint8_t WrittenPlatform = 1;

std::int32_t PlatformSignOf(std::uint8_t platform)
{
    switch (platform)
    {
        case 2: return GS::Mac_Platform_Sign;
        case 3: return GS::Mactel_Platform_Sign;
        default: return GS::Win_Platform_Sign;
    }
}

// A handle that is freed when it goes out of scope.
class OwnedHandle
{
public:
    explicit OwnedHandle(GSHandle handle) : handle_(handle) {}
    OwnedHandle(const OwnedHandle&) = delete;
    OwnedHandle& operator=(const OwnedHandle&) = delete;
    ~OwnedHandle() { BMKillHandle(&handle_); }
    GSHandle get() const { return handle_; }

private:
    GSHandle handle_;
};

}  // namespace

CDataStore::CDataStore(const char* name, std::int32_t bufferSize) : recorder_(CDataRecorder::EncodingCodePage)
{
    recorder_.SetBufferSize(bufferSize);
    const std::size_t nameBytes = name != nullptr ? std::min(std::strlen(name), MaxNameBytes) : 0;
    header_ = {0x11, 0x30};
    header_.insert(header_.end(), name, name + nameBytes);
    header_.insert(header_.end(), HeaderMark, HeaderMark + std::strlen(HeaderMark));
    header_.push_back(0x0C);
    header_.push_back(0x07);
}

CDataStore::~CDataStore() = default;

bool CDataStore::Register(IFileIO* object, std::int32_t key, bool required)
{
    const bool present = std::any_of(entries_.begin(), entries_.end(), [key](const Entry& e) { return e.key == key; });
    if (object == nullptr || present) return false;
    entries_.push_back({object, key, required, false});
    return true;
}

bool CDataStore::WriteObjects()
{
    for (const Entry& entry : entries_)
    {
        const bool framed = recorder_.WriteBytes(header_.data(), header_.size()) && recorder_.WriteByte(WrittenPlatform) &&
                            recorder_.WriteLong(entry.key);
        if (!framed || !entry.object->Write(recorder_)) return false;
    }
    return true;
}

bool CDataStore::ReadObjects()
{
    for (Entry& entry : entries_) entry.read = false;
    while (recorder_.FindBytes(header_.data(), header_.size()))
    {
        std::uint8_t platform = 0;
        std::int32_t key = 0;
        if (!recorder_.ReadByte(platform)) break;
        recorder_.SetPlatformSign(PlatformSignOf(platform));
        if (!recorder_.ReadLong(key)) break;
        const auto entry = std::find_if(entries_.begin(), entries_.end(), [key](const Entry& e) { return e.key == key; });
        if (entry != entries_.end() && entry->object->Read(recorder_)) entry->read = true;
    }
    return std::all_of(entries_.begin(), entries_.end(), [](const Entry& e) { return !e.required || e.read; });
}

bool CDataStore::WriteBlock(std::vector<char>& block)
{
    recorder_.SetMode(CDataRecorder::ModeCount);
    recorder_.SetMemory(nullptr, 0);
    if (!WriteObjects()) return false;
    const std::int32_t size = recorder_.GetSize();
    std::vector<char> written;
    try
    {
        written.resize(static_cast<std::size_t>(size));
    }
    catch (const std::bad_alloc&)
    {
        return false;
    }
    recorder_.SetMode(CDataRecorder::ModeMemory);
    recorder_.SetMemory(written.data(), size);
    const bool filled = WriteObjects() && recorder_.GetPosition() == size;
    recorder_.SetMemory(nullptr, 0);
    if (!filled) return false;
    block = std::move(written);
    return true;
}

bool CDataStore::Save(const GS::UniString& moduleName)
{
    std::vector<char> block;
    if (!WriteBlock(block)) return false;
    OwnedHandle handle(BMAllocateHandle(static_cast<GSSize>(block.size()), ALLCLEAR));
    if (handle.get() == nullptr) return false;
    if (!block.empty()) std::memcpy(*handle.get(), block.data(), block.size());
    API_ModulData info;
    info.dataVersion = 1;
    info.platformSign = GS::Win_Platform_Sign;
    info.dataHdl = handle.get();
    return HostStoreModuleData(&info, moduleName) == NoError;
}

bool CDataStore::SaveToPreferences(std::int32_t version)
{
    recorder_.SetPurpose(PreferencesPurpose);
    std::vector<char> block;
    if (!WriteBlock(block)) return false;
    return HostSetPreferences(version, static_cast<GSSize>(block.size()), block.data()) == NoError;
}

bool CDataStore::Load(const GS::UniString& moduleName)
{
    recorder_.SetMode(CDataRecorder::ModeMemory);
    API_ModulData info;
    if (HostGetModuleData(&info, moduleName) != NoError) return false;
    OwnedHandle handle(info.dataHdl);
    const GSSize size = BMGetHandleSize(handle.get());
    if (handle.get() == nullptr || size > std::numeric_limits<std::int32_t>::max()) return false;
    recorder_.SetMemory(*handle.get(), static_cast<std::int32_t>(size));
    ReadObjects();
    const bool everyObjectRead = std::all_of(entries_.begin(), entries_.end(), [](const Entry& e) { return e.read; });
    damagedBlock_.clear();
    if (size > 0 && (!everyObjectRead || recorder_.GetPosition() != size))
        damagedBlock_.assign(*handle.get(), *handle.get() + size);
    recorder_.SetMemory(nullptr, 0);
    return true;
}

bool CDataStore::LoadFromPreferences()
{
    recorder_.SetPurpose(PreferencesPurpose);
    recorder_.SetMode(CDataRecorder::ModeMemory);
    std::int32_t version = 1;
    GSSize size = 0;
    if (HostGetPreferences(&version, &size, nullptr) != NoError || size <= 0 || size > std::numeric_limits<std::int32_t>::max())
        return false;
    OwnedHandle block(BMAllocateHandle(size, ALLCLEAR));
    if (block.get() == nullptr) return false;
    GSSize fetched = size;
    if (HostGetPreferences(&version, &fetched, *block.get()) != NoError || fetched <= 0 || fetched > size) return false;
    recorder_.SetMemory(*block.get(), static_cast<std::int32_t>(fetched));
    ReadObjects();
    recorder_.SetMemory(nullptr, 0);
    return true;
}
