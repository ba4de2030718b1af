// The project's module data and the add-on's preferences, which the host keeps in
// its work folder so that a later host on the same folder finds them.
#include "ModuleDataServices.hpp"

#include <cstring>
#include <filesystem>
#include <iomanip>

#include <nlohmann/json.hpp>

#include "HostFiles.hpp"
#include "ProjectFile.hpp"
#include "ServiceTable.hpp"

namespace SimHost
{

namespace
{

constexpr const char* PreferencesFileName = "Preferences.json";

std::string PreferencesPath(const Host& host)
{
    return (std::filesystem::path(host.WorkFolder()) / PreferencesFileName).string();
}

GSErrCode StoreModuleData(HostToken token, const API_ModulData* info, const GS::UniString& name)
{
    Host& host = Host::From(token);
    host.Log("HostStoreModuleData \"" + name.ToUtf8() + "\"");
    if (info == nullptr || info->dataHdl == nullptr) return APIERR_BADPARS;
    const auto size = static_cast<std::size_t>(BMGetHandleSize(info->dataHdl));
    StoredModuleData stored;
    stored.dataVersion = info->dataVersion;
    stored.platformSign = info->platformSign;
    stored.bytes.assign(*info->dataHdl, *info->dataHdl + size);
    host.model_.moduleData[name] = std::move(stored);
    return NoError;
}

// A record whose handle holds a copy of the stored bytes; the receiver frees it.
GSErrCode FillRecord(const StoredModuleData& stored, API_ModulData& info)
{
    GSHandle handle = BMAllocateHandle(static_cast<GSSize>(stored.bytes.size()), ALLCLEAR);
    if (handle == nullptr) return APIERR_GENERAL;
    if (!stored.bytes.empty()) std::memcpy(*handle, stored.bytes.data(), stored.bytes.size());
    info.dataVersion = stored.dataVersion;
    info.platformSign = stored.platformSign;
    info.dataHdl = handle;
    return NoError;
}

GSErrCode GetModuleData(HostToken token, API_ModulData* info, const GS::UniString& name)
{
    Host& host = Host::From(token);
    host.Log("HostGetModuleData \"" + name.ToUtf8() + "\"");
    if (info == nullptr) return APIERR_BADPARS;
    const auto it = host.model_.moduleData.find(name);
    if (it == host.model_.moduleData.end()) return APIERR_NOMODULEDATA;
    return FillRecord(it->second, *info);
}

bool WritePreferencesFile(const Host& host, const StoredPreferences& preferences, std::string& error)
{
    const nlohmann::json file {{"version", preferences.version}, {"data", HexText(preferences.bytes)}};
    return WriteFileSafely(PreferencesPath(host), file.dump(2) + "\n", error);
}

GSErrCode SetPreferences(HostToken token, std::int32_t version, GSSize size, const void* data)
{
    Host& host = Host::From(token);
    host.Log("HostSetPreferences " + std::to_string(version) + " " + std::to_string(size));
    if (size < 0 || (size > 0 && data == nullptr)) return APIERR_BADPARS;
    StoredPreferences preferences;
    preferences.version = version;
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    if (size > 0) preferences.bytes.assign(bytes, bytes + size);
    std::string error;
    if (!WritePreferencesFile(host, preferences, error))
    {
        host.Log("preferences not kept: " + error);
        return APIERR_GENERAL;
    }
    host.preferences_ = std::move(preferences);
    return NoError;
}

GSErrCode GetPreferences(HostToken token, std::int32_t* version, GSSize* size, void* data)
{
    Host& host = Host::From(token);
    host.Log(std::string("HostGetPreferences") + (data == nullptr ? " size" : ""));
    if (version == nullptr || size == nullptr) return APIERR_BADPARS;
    if (!host.preferences_)
    {
        *version = 0;
        *size = 0;
        return NoError;
    }
    const auto stored = static_cast<GSSize>(host.preferences_->bytes.size());
    if (data != nullptr)
    {
        if (*size < stored) return APIERR_BADPARS;
        if (stored > 0) std::memcpy(data, host.preferences_->bytes.data(), host.preferences_->bytes.size());
    }
    *version = host.preferences_->version;
    *size = stored;
    return NoError;
}

std::string Quoted(const GS::UniString& name) { return "\"" + name.ToUtf8() + "\""; }

ScenarioVerb WithHost(std::function<bool(Scenario&, Host&, std::istringstream&)> body)
{
    return [body](Scenario& scenario, std::istringstream& args) {
        Host* host = scenario.GetHost();
        return host != nullptr ? body(scenario, *host, args) : scenario.Fail("this action needs a started host");
    };
}

// The module data of that name as a merge block; an empty block when there is none.
API_ModulData MergeBlock(const ProjectModel& model, const GS::UniString& name)
{
    API_ModulData block;
    const auto it = model.moduleData.find(name);
    if (it != model.moduleData.end()) FillRecord(it->second, block);
    return block;
}

bool Merge(Scenario& scenario, Host& host, std::istringstream& args)
{
    std::int32_t mode = 0;
    std::string name;
    if (!(args >> mode >> std::quoted(name))) return scenario.Fail("merge <mode> <module> <project file>");
    const std::string file = Scenario::Rest(args);
    if (file.empty()) return scenario.Fail("merge <mode> <module> <project file>");
    ProjectModel incoming;
    std::string error;
    if (!ReadProjectFile(WorkPath(host, file), incoming, error)) return scenario.Fail(error);
    GSErrCode result = NoError;
    return MergeModuleData(host, mode, GS::UniString(name), incoming, result) ||
           scenario.Fail("the add-on installed no merge handler");
}

}  // namespace

void LoadPreferences(Host& host)
{
    std::string text;
    if (!ReadWholeFile(PreferencesPath(host), text)) return;
    const nlohmann::json file = nlohmann::json::parse(text, nullptr, false);
    StoredPreferences preferences;
    const bool valid = file.is_object() && file.contains("version") && file["version"].is_number_integer() &&
                       file.contains("data") && file["data"].is_string() &&
                       BytesFromHex(file["data"].get<std::string>(), preferences.bytes);
    if (!valid)
    {
        host.Log("preferences file unreadable, none used: " + PreferencesPath(host));
        return;
    }
    preferences.version = file["version"].get<std::int32_t>();
    host.preferences_ = std::move(preferences);
}

bool MergeModuleData(Host& host, std::int32_t mode, const GS::UniString& name, const ProjectModel& incoming, GSErrCode& result)
{
    if (host.mergeHandler_ == nullptr) return false;
    API_ModulData base = MergeBlock(host.model_, name);
    API_ModulData toMerge = MergeBlock(incoming, name);
    API_ModulData destination;
    destination.dataVersion = toMerge.dataVersion;
    destination.platformSign = toMerge.platformSign;
    result = host.mergeHandler_(mode, &name, &base, &toMerge, &destination);
    host.lastMergeResult_ = result;
    host.Log("merge " + std::to_string(mode) + " " + Quoted(name) + " -> " + std::to_string(result));
    if (destination.dataHdl != nullptr)
    {
        const auto size = static_cast<std::size_t>(BMGetHandleSize(destination.dataHdl));
        host.model_.moduleData[name] =
            StoredModuleData {destination.dataVersion, destination.platformSign,
                              std::vector<std::uint8_t>(*destination.dataHdl, *destination.dataHdl + size)};
    }
    BMKillHandle(&base.dataHdl);
    BMKillHandle(&toMerge.dataHdl);
    BMKillHandle(&destination.dataHdl);
    return true;
}

void FillModuleDataServices(HostServiceTable& table)
{
    SIMHOST_SET_SERVICE(table, HostStoreModuleData, StoreModuleData);
    SIMHOST_SET_SERVICE(table, HostGetModuleData, GetModuleData);
    SIMHOST_SET_SERVICE(table, HostSetPreferences, SetPreferences);
    SIMHOST_SET_SERVICE(table, HostGetPreferences, GetPreferences);
}

void AddModuleDataFacts(const Host& host, Facts& facts)
{
    std::string list;
    for (const auto& [name, stored] : host.model_.moduleData)
    {
        list += (list.empty() ? "" : " ") + Quoted(name) + ":" + std::to_string(stored.bytes.size());
        facts["module-data " + Quoted(name)] = HexText(stored.bytes);
        facts["module-data-header " + Quoted(name)] =
            "version " + std::to_string(stored.dataVersion) + ", sign " + PlatformSignText(stored.platformSign);
    }
    facts["module-data"] = list.empty() ? "none" : list;
    facts["preferences"] = host.preferences_ ? HexText(host.preferences_->bytes) : "none";
    facts["preferences-version"] = host.preferences_ ? std::to_string(host.preferences_->version) : "none";
    facts["merge-result"] = host.lastMergeResult_ ? std::to_string(*host.lastMergeResult_) : "none";
}

void AddModuleDataVerbs(ScenarioVerbs& verbs) { verbs["merge"] = WithHost(Merge); }

}  // namespace SimHost
