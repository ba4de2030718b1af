// The services an add-on needs to register itself, install its handlers and ask
// about its environment.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <sstream>

#include "Host.hpp"
#include "LibraryServices.hpp"
#include "RS/ResourceModule.hpp"
#include "ServiceTable.hpp"
#include "Win/WinStandIns.hpp"
#include "Window3DServices.hpp"

namespace SimHost
{

namespace
{

template <typename T, typename F>
std::string Join(const std::vector<T>& items, F format)
{
    std::ostringstream out;
    for (std::size_t i = 0; i < items.size(); ++i) out << (i ? " " : "") << format(items[i]);
    return out.str();
}

std::string Args(std::initializer_list<long long> values)
{
    std::string out;
    for (const long long v : values) out += " " + std::to_string(v);
    return out;
}

GSErrCode RegisterMenu(std::int16_t menu, std::int16_t prompt, std::int32_t position, std::int32_t flags)
{
    Host& host = Host::Current();
    host.Log("HostRegisterMenu" + Args({menu, prompt, position, flags}));
    host.menus_.push_back({menu, prompt, position, flags});
    return NoError;
}

GSErrCode RegisterSubtype(std::int32_t signature, std::int16_t templateFile, bool transparent, std::int16_t stringList,
                          std::int16_t smallIcon, std::int16_t largeIcon, std::int32_t group, std::int32_t enableFlags,
                          std::int16_t defaultsIcon)
{
    Host& host = Host::Current();
    host.Log("HostRegisterSubtype " + FourCCText(signature));
    host.subtypes_.push_back(
        {signature, templateFile, transparent, stringList, smallIcon, largeIcon, group, enableFlags, defaultsIcon});
    return NoError;
}

std::int32_t ReadI32(const std::uint8_t* p)
{
    return std::int32_t(p[0] | (p[1] << 8) | (p[2] << 16) | (std::uint32_t(p[3]) << 24));
}
std::int16_t ReadI16(const std::uint8_t* p) { return std::int16_t(p[0] | (p[1] << 8)); }

// Folder resource 128: int32 byte count, int16 file count, then per file a
// 524-byte UTF-16 name and the int16 id of its file resource.
GSErrCode RegisterBuiltInLibrary(GSResModule module)
{
    Host& host = Host::Current();
    host.Log("HostRegisterBuiltInLibrary");
    constexpr std::size_t NameField = 524;
    std::vector<std::uint8_t> folder;
    if (!RS::GetResourceData(RS::FolderType, 128, module, folder) || folder.size() < 6) return APIERR_GENERAL;
    if (ReadI32(folder.data()) != static_cast<std::int32_t>(folder.size())) return APIERR_GENERAL;
    const int count = ReadI16(folder.data() + 4);
    std::size_t pos = 6;
    for (int i = 0; i < count; ++i)
    {
        if (pos + NameField + 2 > folder.size()) return APIERR_GENERAL;
        std::u16string name;
        for (std::size_t k = 0; k + 1 < NameField; k += 2)
        {
            const char16_t unit = static_cast<char16_t>(folder[pos + k] | (folder[pos + k + 1] << 8));
            if (unit == 0) break;
            name += unit;
        }
        LibraryPart part;
        part.name = GS::Utf16ToUtf8(name);
        if (!RS::GetResourceData(RS::FileType, ReadI16(folder.data() + pos + NameField), module, part.content))
            return APIERR_GENERAL;
        host.library_.push_back(std::move(part));
        pos += NameField + 2;
    }
    return NoError;
}

GSErrCode RegisterAddOnCommand(std::int32_t command, std::int32_t version)
{
    Host& host = Host::Current();
    host.Log("HostRegisterAddOnCommand " + FourCCText(command) + Args({version}));
    host.registeredCommands_.emplace_back(command, version);
    return NoError;
}

GSErrCode KeepInMemory(HostToken token, bool)
{
    ++Host::From(token).keepInMemoryCalls_;
    return NoError;
}

GSErrCode InstallMenuHandler(HostToken token, std::int16_t menu, APIMenuCommandProc handler)
{
    Host& host = Host::From(token);
    host.Log("HostInstallMenuHandler" + Args({menu}));
    host.menuHandlers_.emplace_back(menu, handler);
    return NoError;
}

GSErrCode InstallAddOnCommandHandler(HostToken token, std::int32_t command, std::int32_t version, APIModulCommandProc handler)
{
    Host& host = Host::From(token);
    host.Log("HostInstallAddOnCommandHandler " + FourCCText(command) + Args({version}));
    host.commandHandlers_[command] = handler;
    return NoError;
}

GSErrCode CatchProjectEvents(HostToken token, std::int32_t mask, APIProjectEventHandlerProc handler)
{
    Host& host = Host::From(token);
    host.Log("HostCatchProjectEvents" + Args({mask}));
    host.projectEventMask_ = mask;
    host.projectEventHandler_ = handler;
    return NoError;
}

GSErrCode InstallElementObserver(HostToken token, APIElementEventHandlerProc handler)
{
    Host::From(token).Log("HostInstallElementObserver");
    Host::From(token).elementObserver_ = handler;
    return NoError;
}

GSErrCode CatchToolChange(HostToken token, APIToolChangeHandlerProc handler)
{
    Host::From(token).Log("HostCatchToolChange");
    Host::From(token).toolChangeHandler_ = handler;
    return NoError;
}

GSErrCode InstallModuleDataMergeHandler(HostToken token, APIModuleDataMergeHandlerProc handler)
{
    Host::From(token).Log("HostInstallModuleDataMergeHandler");
    Host::From(token).mergeHandler_ = handler;
    return NoError;
}

GSErrCode CatchSelectionChange(HostToken token, APISelectionChangeHandlerProc handler)
{
    Host::From(token).Log("HostCatchSelectionChange");
    Host::From(token).selectionHandler_ = handler;
    return NoError;
}

GSErrCode CatchViewEvents(HostToken token, std::int32_t mask, std::int32_t map, APIViewEventHandlerProc handler)
{
    Host& host = Host::From(token);
    host.Log("HostCatchViewEvents" + Args({mask, map}));
    host.viewEvents_.push_back({mask, map, handler});
    host.viewEventHandler_ = handler;
    return NoError;
}

GSErrCode CatchNewElement(HostToken token, const API_ToolBoxItem* item, APIElementEventHandlerProc handler)
{
    Host& host = Host::From(token);
    if (item == nullptr) return APIERR_BADPARS;
    host.Log("HostCatchNewElement" + Args({item->typeID}));
    host.newElementCatches_.emplace_back(item->typeID, handler);
    return NoError;
}

GSErrCode EnvironmentRequest(HostToken token, std::int32_t code, void* par1, void* par2)
{
    Host& host = Host::From(token);
    host.Log("HostEnvironmentRequest " + FourCCText(code));
    const bool known = code == FourCC("APPL") || code == FourCC("GSPF") || code == FourCC("GTBX") || code == FourCC("STBX") ||
                       code == FourCC("PROJ") || code == FourCC("SHAR");
    if (code == FourCC("GLIB") || code == FourCC("ALIB") || code == FourCC("SLIB") || code == FourCC("OWLP") ||
        code == FourCC("CFOL") || code == FourCC("CFIL"))
        return LibraryEnvironmentRequest(host, code, par1, par2);
    if (known && par1 == nullptr) return APIERR_BADPARS;
    if (code == FourCC("APPL"))
    {
        auto* info = static_cast<API_ServerApplicationInfo*>(par1);
        info->mainVersion = 22;
        info->language = GS::UniString(host.GetOptions().languageCode);
        return NoError;
    }
    if (code == FourCC("GSPF"))
    {
        auto* request = static_cast<API_SpecFolderRequest*>(par1);
        if (request->folderId == API_DefaultLibraryFolderID)
        {
            request->location = IO::Location(HostLibraryFolderPath(host));
            return NoError;
        }
        IO::Location folder(host.WorkFolder());
        folder.AppendToLocal("AppData");
        folder.AppendToLocal("Folder" + std::to_string(request->folderId));
        if (request->folderId == API_EmbeddedProjectLibraryFolderID) folder = IO::Location(EmbeddedLibraryFolderPath(host));
        std::error_code ec;
        std::filesystem::create_directories(folder.ToPath(), ec);
        request->location = folder;
        return NoError;
    }
    if (code == FourCC("GTBX"))
    {
        *static_cast<API_ToolBoxItem*>(par1) = host.currentTool_;
        return NoError;
    }
    if (code == FourCC("STBX"))
    {
        const API_ToolBoxItem item = *static_cast<const API_ToolBoxItem*>(par1);
        host.SelectTool(item.typeID, item.variationID);
        return NoError;
    }
    if (code == FourCC("PROJ"))
    {
        auto* info = static_cast<API_ProjectInfo*>(par1);
        *info = API_ProjectInfo {};
        if (!host.project_.open) return APIERR_GENERAL;
        info->projectName = std::make_unique<GS::UniString>(host.project_.name);
        // The project's file, once it has one.
        if (!host.model_.projectFile.empty()) info->location = std::make_unique<IO::Location>(host.model_.projectFile);
        host.project_.teamwork.FillProjectInfo(*info);
        return NoError;
    }
    if (code == FourCC("SHAR")) return host.project_.teamwork.FillSharingInfo(*static_cast<API_SharingInfo*>(par1));
    if (code == FourCC("GP3D") || code == FourCC("CP3D")) return Projection3DRequest(host, code, par1, par2);
    return APIERR_BADID;
}

// The one service called from other threads: it touches nothing but the locked queue.
GSErrCode PostAddOnCommand(HostToken token, const API_ModulID*, std::int32_t command, std::int32_t version, bool silentMode)
{
    Host::From(token).PostCommand(command, version, silentMode);
    return NoError;
}

GSErrCode WriteReport(HostToken token, const char* text, bool)
{
    Host::From(token).reportWindow_.push_back(text != nullptr ? text : "");
    return NoError;
}

}  // namespace

void FillFrameServices(HostServiceTable& table)
{
    SIMHOST_SET_SERVICE(table, HostRegisterMenu, RegisterMenu);
    SIMHOST_SET_SERVICE(table, HostRegisterSubtype, RegisterSubtype);
    SIMHOST_SET_SERVICE(table, HostRegisterBuiltInLibraryOf, RegisterBuiltInLibrary);
    SIMHOST_SET_SERVICE(table, HostRegisterAddOnCommand, RegisterAddOnCommand);
    SIMHOST_SET_SERVICE(table, HostKeepInMemory, KeepInMemory);
    SIMHOST_SET_SERVICE(table, HostInstallMenuHandler, InstallMenuHandler);
    SIMHOST_SET_SERVICE(table, HostInstallAddOnCommandHandler, InstallAddOnCommandHandler);
    SIMHOST_SET_SERVICE(table, HostCatchProjectEvents, CatchProjectEvents);
    SIMHOST_SET_SERVICE(table, HostInstallElementObserver, InstallElementObserver);
    SIMHOST_SET_SERVICE(table, HostCatchToolChange, CatchToolChange);
    SIMHOST_SET_SERVICE(table, HostInstallModuleDataMergeHandler, InstallModuleDataMergeHandler);
    SIMHOST_SET_SERVICE(table, HostCatchSelectionChange, CatchSelectionChange);
    SIMHOST_SET_SERVICE(table, HostCatchViewEvents, CatchViewEvents);
    SIMHOST_SET_SERVICE(table, HostCatchNewElement, CatchNewElement);
    SIMHOST_SET_SERVICE(table, HostEnvironmentRequest, EnvironmentRequest);
    SIMHOST_SET_SERVICE(table, HostPostAddOnCommand, PostAddOnCommand);
    SIMHOST_SET_SERVICE(table, HostWriteReport, WriteReport);
}

void AddFrameFacts(const Host& host, Facts& facts)
{
    facts["addon-name"] = host.AddOnName();
    facts["addon-module"] = host.AddOnModuleInMemory() ? "in memory" : "not in memory";
    facts["addon-description"] = host.AddOnDescription();
    facts["check-environment"] = std::to_string(host.CheckResult());
    facts["register-result"] = std::to_string(host.RegisterResult());
    facts["initialize-result"] = std::to_string(host.InitializeResult());
    facts["menus"] = Join(host.menus_, [](const MenuRegistration& m) {
        return std::to_string(m.menuList) + "/" + std::to_string(m.promptList) + "/" + std::to_string(m.position) + "/" +
               std::to_string(m.flags);
    });
    facts["subtypes"] = Join(host.subtypes_, [](const SubtypeRegistration& s) {
        std::ostringstream out;
        out << FourCCText(s.signature) << "/" << s.templateFile << "/" << s.transparent << "/" << s.stringList << "/"
            << s.smallIcon << "/" << s.largeIcon << "/" << s.toolboxGroup << "/" << s.enableFlags << "/" << s.defaultsIcon;
        return out.str();
    });
    facts["library"] = Join(host.library_, [](const LibraryPart& p) { return "\"" + p.name + "\""; });
    facts["commands"] =
        Join(host.registeredCommands_, [](const auto& c) { return FourCCText(c.first) + "/" + std::to_string(c.second); });
    facts["menu-handlers"] = Join(host.menuHandlers_, [](const auto& h) { return std::to_string(h.first); });
    std::vector<std::int32_t> commandIds;
    for (const auto& [id, handler] : host.commandHandlers_) commandIds.push_back(id);
    facts["command-handlers"] = Join(commandIds, [](std::int32_t id) { return FourCCText(id); });
    facts["project-events"] = host.projectEventHandler_ != nullptr ? std::to_string(host.projectEventMask_) : "none";
    facts["element-observer"] = host.elementObserver_ != nullptr ? "yes" : "no";
    facts["tool-change"] = host.toolChangeHandler_ != nullptr ? "yes" : "no";
    facts["merge-handler"] = host.mergeHandler_ != nullptr ? "yes" : "no";
    facts["selection-handler"] = host.selectionHandler_ != nullptr ? "yes" : "no";
    facts["view-events"] =
        Join(host.viewEvents_, [](const ViewEventCatch& v) { return std::to_string(v.mask) + "@" + std::to_string(v.map); });
    facts["new-element"] = Join(host.newElementCatches_, [](const auto& c) { return std::to_string(c.first); });
    facts["message-boxes"] =
        Join(Win::RecordedMessageBoxes(), [](const Win::MessageBoxRecord& b) { return "[" + b.caption + ": " + b.text + "]"; });
    facts["debug-output"] = Join(Win::RecordedDebugOutput(), [](const std::string& s) { return "[" + s + "]"; });
    facts["system-parameters"] = Join(Win::RecordedSystemParameters(), [](const Win::SystemParameterRecord& p) {
        char buf[48];
        std::snprintf(buf, sizeof buf, "0x%X%s%lu%s", p.action, p.query ? "?=" : "=", static_cast<unsigned long>(p.value),
                      (p.flags & Win::SPIF_UPDATEINIFILE) != 0 ? "/profile" : "");
        return std::string(buf);
    });
    facts["gdl-language"] = host.GdlLanguage();
    facts["report-window"] = Join(host.reportWindow_, [](const std::string& s) { return "[" + s + "]"; });
    facts["posted"] = Join(host.postedLog_, [](const std::string& s) { return s; });
    facts["project"] = host.project_.open ? host.project_.name : "none";
    facts["projection-3d"] = Join(host.projections_, [](const ProjectionRequest& p) {
        return APIGuid2GSGuid(p.projection.cameraGuid).ToText(true) + (p.followsCamera ? "/camera" : "/free");
    });
}

}  // namespace SimHost
