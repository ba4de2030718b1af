#include "Host.hpp"
#include "PhotoVerbs.hpp"

#include <dlfcn.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "AttributeServices.hpp"
#include "CameraServices.hpp"
#include "DG/DG.hpp"
#include "DialogAnswers.hpp"
#include "DialogVerbs.hpp"
#include "ElementNotifications.hpp"
#include "ElementServices.hpp"
#include "ExchangeVerbs.hpp"
#include "InstrumentLink.hpp"
#include "InterfaceServices.hpp"
#include "LibraryServices.hpp"
#include "MorphBodies.hpp"
#include "PointCloudView.hpp"
#include "ProfileLibrary.hpp"
#include "ProjectFile.hpp"
#include "TeamworkVerbs.hpp"
#include "Win/WinStandIns.hpp"
#include "Win/WindowMessages.hpp"
#include "Window3DServices.hpp"

namespace fs = std::filesystem;

namespace SimHost
{

namespace
{
Host* currentHost = nullptr;
constexpr const char* LibraryFolderName = "Survanto Library";
constexpr const char* GdlExtensionName = "Survanto.gdx";
}  // namespace

std::string FourCCText(std::int32_t code)
{
    const auto u = static_cast<std::uint32_t>(code);
    return {char(u >> 24), char((u >> 16) & 0xFF), char((u >> 8) & 0xFF), char(u & 0xFF)};
}

Host& Host::Current() { return *currentHost; }

std::string Host::InstalledLibraryFolder() const { return (fs::path(installFolder_) / LibraryFolderName).string(); }

Host::Host(Options options) : options_(std::move(options))
{
    currentHost = this;
    currentTool_.typeID = options_.currentTool;
    if (options_.workFolder.empty())
    {
        options_.workFolder = (fs::temp_directory_path() / ("survanto-host-" + std::to_string(::getpid()) + "-" +
                                                            std::to_string(reinterpret_cast<std::uintptr_t>(this))))
                                  .string();
        ownsWorkFolder_ = true;
    }
    // The add-on keeps paths below it for later; a relative one would change meaning.
    options_.workFolder = fs::absolute(options_.workFolder).string();
    fs::create_directories(options_.workFolder);
    // The host's own folders exist, as in an installed host: the add-on watches one of them.
    fs::create_directories(fs::path(options_.workFolder) / "AppData");
    instrument_ = std::make_unique<InstrumentLink>(options_.workFolder);
    LoadPreferences(*this);
}

Host::~Host()
{
    Shutdown();
    if (currentHost == this) currentHost = nullptr;
    std::error_code ec;
    if (ownsWorkFolder_) fs::remove_all(options_.workFolder, ec);
}

void Host::FillServiceTable()
{
    std::fill(std::begin(table_), std::end(table_), nullptr);
    FillFrameServices(table_);
    FillElementServices(table_);
    FillMorphBodyServices(table_);
    FillModuleDataServices(table_);
    FillPaletteServices(table_);
    FillAttributeServices(table_);
    FillProfileLibraryServices(table_);
    FillLibraryServices(table_);
    FillCameraServices(table_);
    FillInterfaceServices(table_);
    FillWindow3DServices(table_);
    // Over every other element service, so that each change is in scope and told.
    FillElementNotificationServices(table_);
    for (const HostSlot slot : failedSlots_) table_[static_cast<std::size_t>(slot)] = nullptr;
}

// Copies the add-on with its language files into the host's own add-on folder, so
// that its configuration file is this host's alone.
bool Host::InstallAddOn(std::string& installedPath)
{
    const fs::path source(options_.addOnPath);
    installFolder_ = (fs::path(options_.workFolder) / "Add-Ons").string();
    std::error_code ec;
    fs::create_directories(installFolder_, ec);
    for (const char* name : {"SurvantoInt.lng", "SurvantoFra.lng", GdlExtensionName})
    {
        const fs::path lng = source.parent_path() / name;
        if (fs::exists(lng)) fs::copy_file(lng, fs::path(installFolder_) / name, fs::copy_options::overwrite_existing, ec);
    }
    for (const char* folder : {"sounds", LibraryFolderName})
    {
        const fs::path beside = source.parent_path() / folder;
        if (fs::exists(beside))
            fs::copy(beside, fs::path(installFolder_) / folder,
                     fs::copy_options::recursive | fs::copy_options::overwrite_existing, ec);
    }
    installedPath = (fs::path(installFolder_) / source.filename()).string();
    installedPath_ = installedPath;
    fs::copy_file(source, installedPath, fs::copy_options::overwrite_existing, ec);
    if (ec)
    {
        loadError_ = "cannot install " + source.string() + ": " + ec.message();
        return false;
    }
    std::ofstream cfg(fs::path(installFolder_) / "Survanto.cfg", std::ios::trunc);
    for (const auto& line : options_.configLines) cfg << line << "\n";
    // Last, so that a test's own address comes first: nothing a test or demo
    // starts leaves this machine or asks a name server.
    cfg << "UpdateAddress " << LocalUpdateAddress << "\n";
    return true;
}

bool Host::Load()
{
    std::string installed;
    if (!InstallAddOn(installed)) return false;
    library_handle_ = dlopen(installed.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library_handle_ == nullptr)
    {
        loadError_ = dlerror();
        return false;
    }
    AddOnExports exports;
    exports.getExportedFuncAddrs = reinterpret_cast<GetExportedFuncAddrsFn>(dlsym(library_handle_, "GetExportedFuncAddrs"));
    exports.setImportedFuncAddrs = reinterpret_cast<SetImportedFuncAddrsFn>(dlsym(library_handle_, "SetImportedFuncAddrs"));
    if (exports.getExportedFuncAddrs == nullptr || exports.setImportedFuncAddrs == nullptr)
    {
        loadError_ = "the module does not export the add-on interface";
        Unload();
        return false;
    }
    return LoadStatic(exports);
}

bool Host::LoadStatic(const AddOnExports& exports)
{
    exports_ = exports;
    std::memset(&entry_, 0xCD, sizeof entry_);
    exports_.getExportedFuncAddrs(1, &entry_);
    if (entry_.interfaceWord != AddOnInterfaceWord || entry_.apiVersion != HostApiVersion)
    {
        loadError_ = "unknown interface word or API version";
        return false;
    }
    FillServiceTable();
    exports_.setImportedFuncAddrs(1, &table_);
    Log("SetImportedFuncAddrs");
    return true;
}

std::int32_t Host::CheckEnvironment(std::int32_t applicationKind)
{
    API_EnvirParams envir;
    envir.serverApplication = applicationKind;
    checkResult_ = entry_.checkEnvironment(&envir);
    addOnName_ = envir.addOnName.ToUtf8();
    addOnDescription_ = envir.addOnDescription.ToUtf8();
    return checkResult_;
}

GSErrCode Host::RegisterInterface()
{
    currentHost = this;
    menus_.clear();
    menuTexts_.clear();
    subtypes_.clear();
    library_.clear();
    registeredCommands_.clear();
    return registerResult_ = entry_.registerInterface();
}

GSErrCode Host::Initialize()
{
    viewEvents_.clear();
    initializeResult_ = entry_.initialize(this);
    initialized_ = true;
    return initializeResult_;
}

GSErrCode Host::FreeData()
{
    freeResult_ = entry_.freeData();
    initialized_ = false;
    return freeResult_;
}

void Host::Unload()
{
    if (library_handle_ != nullptr)
    {
        dlclose(library_handle_);
        library_handle_ = nullptr;
    }
    exports_ = {};
    if (gdlExtension_ != nullptr)
    {
        dlclose(gdlExtension_);
        gdlExtension_ = nullptr;
    }
    DG::ForgetAllDialogs();
}

bool Host::Start()
{
    if (!(library_handle_ != nullptr || exports_.getExportedFuncAddrs != nullptr) && !Load()) return false;
    if (CheckEnvironment() == 0)
    {
        loadError_ = "the add-on refused the environment";
        return false;
    }
    LoadGdlExtension();
    RegisterInterface();
    Initialize();
    return true;
}

// The GDL interpreter loads the extension beside the add-on and keeps it; an
// add-on linked into the host's own program has it beside the program.
void Host::LoadGdlExtension()
{
    if (gdlExtension_ != nullptr) return;
    const fs::path folder = installedPath_.empty() ? fs::read_symlink("/proc/self/exe").parent_path() : fs::path(installFolder_);
    const fs::path extension = folder / GdlExtensionName;
    if (fs::exists(extension)) gdlExtension_ = dlopen(extension.c_str(), RTLD_NOW | RTLD_LOCAL);
}

std::string Host::GdlLanguage() const
{
    using LanguageCodeFn = std::uint16_t (*)();
    const auto read = gdlExtension_ == nullptr ? nullptr : reinterpret_cast<LanguageCodeFn>(dlsym(gdlExtension_, "LanguageCode"));
    return read == nullptr ? "none" : std::to_string(read());
}

void Host::Shutdown()
{
    if (initialized_)
    {
        RunPendingCommands();
        FreeData();
    }
    Unload();
    ClearRegistrations();
}

bool Host::AddOnModuleInMemory() const
{
    if (installedPath_.empty()) return false;
    void* handle = dlopen(installedPath_.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (handle != nullptr) dlclose(handle);
    return handle != nullptr;
}

void Host::UnloadWithoutFreeData()
{
    initialized_ = false;
    Unload();
    ClearRegistrations();
}

void Host::ClearRegistrations()
{
    menuHandlers_.clear();
    commandHandlers_.clear();
    projectEventHandler_ = nullptr;
    elementObserver_ = nullptr;
    toolChangeHandler_ = nullptr;
    mergeHandler_ = nullptr;
    selectionHandler_ = nullptr;
    viewEventHandler_ = nullptr;
    newElementCatches_.clear();
    palettes_.clear();
}

void Host::FireProjectEvent(std::int32_t event)
{
    if (projectEventHandler_ != nullptr && (projectEventMask_ & event) != 0) projectEventHandler_(event, 0);
}

void Host::NewProject()
{
    if (project_.open) CloseProject();
    project_ = Project {true, "Untitled", {}};
    model_ = ProjectModel {};
    FireProjectEvent(APINotify_New);
}

void Host::OpenProject(const std::string& name, ProjectModel content)
{
    if (project_.open) CloseProject();
    project_ = Project {true, name, {}};
    model_ = std::move(content);
    FireProjectEvent(APINotify_Open);
}

void Host::CloseProject()
{
    FireProjectEvent(APINotify_Close);
    project_ = Project {};
}

void Host::Quit()
{
    if (project_.open) CloseProject();
    FireProjectEvent(APINotify_Quit);
}

void Host::SelectTool(API_ElemTypeID type, std::int32_t variation)
{
    currentTool_.typeID = type;
    currentTool_.variationID = variation;
    if (toolChangeHandler_ != nullptr) toolChangeHandler_(&currentTool_);
}

void Host::PostCommand(std::int32_t command, std::int32_t version, bool silentMode)
{
    {
        std::lock_guard<std::mutex> lock(postMutex_);
        posted_.push_back({command, version, silentMode});
    }
    postSignal_.notify_all();
}

int Host::RunPendingCommands()
{
    int ran = 0;
    for (;;)
    {
        Win::DispatchWindowMessages();
        PostedCommand posted;
        {
            std::lock_guard<std::mutex> lock(postMutex_);
            if (posted_.empty()) return ran;
            posted = posted_.front();
            posted_.pop_front();
        }
        postedLog_.push_back(FourCCText(posted.command));
        const auto handler = commandHandlers_.find(posted.command);
        if (handler != commandHandlers_.end() && handler->second != nullptr) handler->second(nullptr, nullptr, posted.silentMode);
        ++ran;
    }
}

bool Host::WaitForPostedCommand(int timeoutMs)
{
    std::unique_lock<std::mutex> lock(postMutex_);
    return postSignal_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return !posted_.empty(); });
}

Facts Host::Facts() const
{
    SimHost::Facts facts;
    AddFrameFacts(*this, facts);
    AddTeamworkFacts(*this, facts);
    AddExchangeFacts(*this, facts);
    AddElementFacts(*this, facts);
    AddModuleDataFacts(*this, facts);
    AddPaletteFacts(*this, facts);
    AddLibraryFacts(*this, facts);
    AddAttributeFacts(*this, facts);
    AddProfileLibraryFacts(*this, facts);
    AddDialogAnswerFacts(*this, facts);
    AddCameraFacts(*this, facts);
    AddInterfaceFacts(*this, facts);
    AddDialogFacts(*this, facts);
    AddPointCloudViewFacts(*this, facts);
    AddInstrumentFacts(*this, facts);
    AddWindow3DFacts(*this, facts);
    return facts;
}

std::string Host::Fact(const std::string& name) const
{
    if (const std::optional<std::string> fact = DialogFact(name)) return *fact;
    if (const std::optional<std::string> fact = LibraryFact(*this, name)) return *fact;
    if (const std::optional<std::string> fact = TreeFact(name)) return *fact;
    if (const std::optional<std::string> fact = FileFact(*this, name)) return *fact;
    if (const std::optional<std::string> fact = PhotoFact(*this, name)) return *fact;
    const auto facts = Facts();
    const auto it = facts.find(name);
    return it == facts.end() ? "<unknown fact " + name + ">" : it->second;
}

}  // namespace SimHost
