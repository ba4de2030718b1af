// The add-on's boundary with the host: the two exports, the four entry points,
// the registrations, the start-up and shutdown, and the host handlers.
#include <dlfcn.h>

#include <algorithm>
#include <cstring>

#include "API/AddOnInterface.hpp"
#include "RS/ResourceModule.hpp"
#include "Win/MessageReceiver.hpp"
#include "Win/WinStandIns.hpp"
#include "addon/OwnModule.hpp"
#include "exchange/PointCabImport.hpp"
#include "frame/AddOnGlobals.hpp"
#include "frame/ElementObserver.hpp"
#include "frame/Survanto.hpp"
#include "framework/BackgroundThreadList.hpp"
#include "framework/CAttributeData.hpp"
#include "framework/HostApiHelpers.hpp"
#include "measuring/InstrumentEvents.hpp"
#include "measuring/MeasuringState.hpp"

extern const std::uint8_t SurvantoResources[];
extern const std::size_t SurvantoResourcesSize;

std::atomic<Survanto*> theSurvanto {nullptr};
API_3DProjectionInfo keptProjection;
std::atomic<bool> quitting {false};
CAttributeData* theAttributeData = nullptr;
std::uint32_t quintairToExtAppMessage = 0;
std::uint32_t extAppToQuintairMessage = 0;
std::uint8_t cameraUpdateBusy = 0;

namespace
{

constexpr std::int32_t NoEnvironment = 0;
constexpr std::int32_t NormalMenuAddOn = 2;

// The loader's own text, valid while the module is loaded. A plain pointer: at
// process exit the unload hook runs after every object with a destructor is gone.
const char* modulePath = "";
GSResModule ownResourceModule = 0;

struct MenuRegistration
{
    std::int16_t menuList;
    std::int16_t promptList;
    std::int32_t flags;
};

constexpr MenuRegistration StandardMenus[] = {
    {32500, 32510, 0}, {32520, 32531, 1}, {32502, 32512, 1}, {32503, 32513, 0},
    {32508, 32518, 1}, {32505, 32515, 1}, {32509, 32519, 0}, {32506, 32516, 1},
};
constexpr MenuRegistration DebugMenus[] = {{32501, 32511, 1}, {32507, 32517, 0}};
constexpr std::int16_t HandledMenus[] = {32500, 32503, 32505, 32508, 32509, 32502, 32520, 32506};
constexpr std::int16_t HandledDebugMenus[] = {32501, 32507};
constexpr std::int32_t AddOnCommands[] = {FourCC("OPNE"), FourCC("NEWP"), FourCC("ALRT"), FourCC("CAMR"), FourCC("PHTN")};

Survanto* MainObject() { return theSurvanto.load(); }

// The instrument application's events reach the add-on through this message-only
// window, served by the host's event loop on its user-interface thread.
std::unique_ptr<Win::MessageReceiver> instrumentReceiver;

void ReceiveInstrumentEvents()
{
    if (quintairToExtAppMessage == 0) return;
    instrumentReceiver = std::make_unique<Win::MessageReceiver>(quintairToExtAppMessage, [](const Win::WindowMessage& m) {
        try
        {
            OnInstrumentEvent(m.firstParameter, m.secondParameter);
        }
        catch (...)
        {
            Win::OutputDebugString("Survanto: an instrument event failed");
        }
    });
    if (!instrumentReceiver->IsListening()) Win::OutputDebugString("Survanto: " + instrumentReceiver->Error());
}

// In the blocked state only the way to support stays open.
constexpr std::int16_t MenusOpenWhenBlocked[] = {32505, 32508, 32509};

bool OpenWhenBlocked(std::int16_t menu)
{
    return std::find(std::begin(MenusOpenWhenBlocked), std::end(MenusOpenWhenBlocked), menu) != std::end(MenusOpenWhenBlocked);
}

enum ViewEvent : std::int32_t
{
    ViewInserted = 1,
    ViewChanged = 2,
    ViewDeleted = 4,
    ViewOpened = 8
};
constexpr std::int32_t NavigatorPublisherMap = 5;
constexpr std::int32_t NoSelection = 0;

// A project starts without an instrument prompt sent and without elements made.
void ForgetProjectSession(Survanto& survanto)
{
    survanto.instrumentPromptSent = false;
    survanto.elementCreated = false;
}

void ProjectClosed(Survanto& survanto)
{
    for (CDialogBase* palette : {static_cast<CDialogBase*>(&survanto), static_cast<CDialogBase*>(&survanto.debugPalette),
                                 static_cast<CDialogBase*>(&survanto.importPalette)})
        if (palette->GetOpenMode() != CDialogBase::Closed) palette->Close();
    survanto.ResetStationState();
    survanto.elementCreated = false;
    survanto.instrumentBumped = false;
    survanto.refreshItems = true;
    survanto.instrumentPromptSent = false;
    survanto.importPalette.importData.jobFolder.Clear();
    survanto.importPalette.importData.jobs.Clear();
}

// ---- Handlers -------------------------------------------------------------

GSErrCode MenuCommandHandler(const API_MenuParams* params)
{
    HostKeepInMemory(true);
    Survanto* survanto = MainObject();
    if (survanto == nullptr) return 1;
    if (params == nullptr) return NoError;
    if (survanto->blockedState != 0 && !OpenWhenBlocked(params->menuResID))
    {
        survanto->ShowLibraryAlert();
        return NoError;
    }
    survanto->HandleMenuCommand(*params);
    return NoError;
}

GSErrCode OpenCommandHandler(const void*, void*, bool)
{
    Survanto* survanto = MainObject();
    if (survanto == nullptr) return NoError;
    ForgetProjectSession(*survanto);
    survanto->ResetMeasuringSession();
    if (survanto->activeStationId != "0") survanto->refreshItems = true;
    survanto->UpdateMainPalette();
    return NoError;
}

GSErrCode NewPointsCommandHandler(const void*, void*, bool)
{
    PollPointCabFile();
    return NoError;
}
GSErrCode AlertCommandHandler(const void*, void*, bool)
{
    ShowPointCabWatchAlert(1);
    return NoError;
}
// The projection follows the camera that the view tracking keeps.
GSErrCode CameraCommandHandler(const void*, void*, bool)
{
    if (MainObject() == nullptr) return NoError;
    bool followsCamera = true;
    HostEnvironmentRequest(FourCC("CP3D"), &keptProjection, &followsCamera);
    return NoError;
}

// The thumbnail loader posts this when thumbnails wait for the photo folder palette.
GSErrCode PhotoThumbnailsCommandHandler(const void*, void*, bool)
{
    if (Survanto* survanto = MainObject()) survanto->photoFolderDialog.TakeFinishedThumbnails();
    return NoError;
}

GSErrCode ProjectEventHandler(std::int32_t notifID, std::int32_t)
{
    HostKeepInMemory(true);
    if (MainObject() == nullptr) return NoError;
    Survanto& survanto = *MainObject();
    switch (notifID)
    {
        case APINotify_New:
        case APINotify_NewAndReset:
            ForgetProjectSession(survanto);
            survanto.ResetMeasuringSession();
            break;
        // The reset waits for the host to finish opening, so that it sees the project's data.
        case APINotify_Open:
        {
            const API_ModulID own = OwnModuleId();
            HostPostAddOnCommand(&own, FourCC("OPNE"), 1, true);
            break;
        }
        case APINotify_Close: ProjectClosed(survanto); break;
        case APINotify_Quit:
            quitting = true;
            survanto.StopPointCabWatcher();
            break;
        case APINotify_ChangeLibrary: survanto.CheckLibrary(); break;
        case APINotify_UnitChanged: survanto.SetPaletteItemFonts(); break;
        default: break;
    }
    return NoError;
}

// Created on the first notification and kept while the add-on is loaded.
GSErrCode ElementEventHandler(const API_NotifyElementType* notification)
{
    static ElementObserver observer;
    if (notification == nullptr)
    {
        HostKeepInMemory(true);
        return NoError;
    }
    observer.Notify(*notification, MainObject());
    return NoError;
}

GSErrCode ToolChangeHandler(const API_ToolBoxItem* item)
{
    Survanto* survanto = MainObject();
    if (survanto != nullptr && item != nullptr) survanto->OnToolChanged(item->typeID, item->variationID);
    return NoError;
}

GSErrCode ModuleDataMergeHandler(std::int32_t mode, const GS::UniString* moduleName, const API_ModulData* base,
                                 const API_ModulData* toMerge, API_ModulData* destination)
{
    HostKeepInMemory(true);
    Survanto* survanto = MainObject();
    if (survanto == nullptr) return NoError;
    const GS::UniString name = moduleName != nullptr ? *moduleName : GS::UniString();
    return survanto->MergeModuleData(mode, name, base, toMerge, destination);
}

GSErrCode SelectionChangeHandler(const API_Neig* selection)
{
    Survanto* survanto = MainObject();
    if (survanto != nullptr && selection != nullptr && selection->neigID != NoSelection) survanto->ShowSelectedPhoto(*selection);
    return NoError;
}

GSErrCode ViewEventHandler(const API_NotifyViewEventType* event)
{
    Survanto* survanto = MainObject();
    if (survanto == nullptr || event == nullptr) return NoError;
    const std::int32_t kind = event->notifID;
    const bool viewsChanged = kind == ViewInserted || kind == ViewChanged || kind == ViewDeleted;
    if (event->mapId != NavigatorPublisherMap && viewsChanged && survanto->importPalette.GetOpenMode() != CDialogBase::Closed)
        survanto->importPalette.UpdateTargetControls(0);
    if (kind == ViewOpened) survanto->OnCameraViewOpened(*event);
    return NoError;
}

// Nothing the add-on throws may reach the host: a handler that fails answers
// with an error code instead.
template <auto Handler>
struct Guarded;

template <typename... Args, GSErrCode (*Handler)(Args...)>
struct Guarded<Handler>
{
    static GSErrCode Call(Args... args) noexcept
    {
        try
        {
            return Handler(args...);
        }
        catch (...)
        {
            return APIERR_GENERAL;
        }
    }
};

// ---- Entry points ---------------------------------------------------------

std::int32_t CheckEnvironment(API_EnvirParams* envir)
{
    if (envir == nullptr || envir->serverApplication != 1) return NoEnvironment;
    // Before the main object exists no language module is current: the add-on's own texts serve.
    const GSResModule module = CurrentResourceModule() != 0 ? CurrentResourceModule() : HostGetOwnResourceModule();
    envir->addOnName = RS::GetIndString(32542, 1, module);
    envir->addOnDescription = RS::GetIndString(32542, 2, module);
    return NormalMenuAddOn;
}

GSErrCode RegisterInterface()
{
    for (const auto& menu : StandardMenus) HostRegisterMenu(menu.menuList, menu.promptList, 0, menu.flags);
    HostRegisterSubtype(FourCC("SVPH"), 32503, true, 32552, 32686, 32687, 1, 351, 32503);
    ReadConfigFile();
    if (measuringState.debugMode != 0)
        for (const auto& menu : DebugMenus) HostRegisterMenu(menu.menuList, menu.promptList, 0, menu.flags);
    const GSErrCode result = HostRegisterBuiltInLibrary();
    for (const std::int32_t command : AddOnCommands) HostRegisterAddOnCommand(command, 1);
    return result;
}

void RegisterWindowMessageOrTell(const char* name, std::uint32_t& number)
{
    number = Win::RegisterWindowMessage(name);
    if (number == 0) Win::MessageBox(std::string("Failed to register Message ") + name, "Survanto", 0);
}

void InstallHandlers()
{
    for (const std::int16_t menu : HandledMenus) HostInstallMenuHandler(menu, Guarded<MenuCommandHandler>::Call);
    ReadConfigFile();
    if (measuringState.debugMode != 0)
        for (const std::int16_t menu : HandledDebugMenus) HostInstallMenuHandler(menu, Guarded<MenuCommandHandler>::Call);
    HostInstallAddOnCommandHandler(FourCC("OPNE"), 1, Guarded<OpenCommandHandler>::Call);
    HostInstallAddOnCommandHandler(FourCC("NEWP"), 1, Guarded<NewPointsCommandHandler>::Call);
    HostInstallAddOnCommandHandler(FourCC("ALRT"), 1, Guarded<AlertCommandHandler>::Call);
    HostInstallAddOnCommandHandler(FourCC("CAMR"), 1, Guarded<CameraCommandHandler>::Call);
    HostInstallAddOnCommandHandler(FourCC("PHTN"), 1, Guarded<PhotoThumbnailsCommandHandler>::Call);
    HostCatchProjectEvents(-1, Guarded<ProjectEventHandler>::Call);
    HostInstallElementObserver(Guarded<ElementEventHandler>::Call);
    HostCatchToolChange(Guarded<ToolChangeHandler>::Call);
    HostInstallModuleDataMergeHandler(Guarded<ModuleDataMergeHandler>::Call);
    HostCatchSelectionChange(Guarded<SelectionChangeHandler>::Call);
}

GSErrCode CatchViewEvents()
{
    HostCatchViewEvents(7, 1, Guarded<ViewEventHandler>::Call);
    GSErrCode result = NoError;
    for (std::int32_t map = 1; map <= 5; ++map) result = HostCatchViewEvents(8, map, Guarded<ViewEventHandler>::Call);
    return result;
}

GSErrCode Initialize()
{
    quitting = false;
    auto survanto = std::make_unique<Survanto>();
    theSurvanto = survanto.release();
    MainObject()->LoadPreferences();
    HostKeepInMemory(true);
    RegisterWindowMessageOrTell("WM_QUINTAIR_TO_EXTAPP_MESSAGE", quintairToExtAppMessage);
    RegisterWindowMessageOrTell("WM_EXTAPP_TO_QUINTAIR_MESSAGE", extAppToQuintairMessage);
    ReceiveInstrumentEvents();
    InstallHandlers();
    const GSErrCode result = CatchViewEvents();
    API_ToolBoxItem objects;
    objects.typeID = API_ObjectID;
    HostCatchNewElement(&objects, Guarded<ElementEventHandler>::Call);
    theAttributeData = std::make_unique<CAttributeData>().release();
    MainObject()->currentTool = CurrentToolboxItem().typeID;
    return result;
}

GSErrCode FreeData()
{
    instrumentReceiver.reset();
    // Cleared before the object goes, so the watcher never sees a dying object.
    std::unique_ptr<Survanto> survanto(theSurvanto.exchange(nullptr));
    survanto.reset();
    std::unique_ptr<CAttributeData> attributes(theAttributeData);
    theAttributeData = nullptr;
    attributes.reset();
    Win::SystemParametersInfo(Win::SPI_SETACTIVEWINDOWTRACKING, 0);
    Win::SystemParametersInfo(Win::SPI_SETACTIVEWNDTRKZORDER, 0);
    return NoError;
}

// ---- Entry wrappers: nothing runs before the host handed over its services. ----

std::int32_t CheckEnvironmentWrapper(API_EnvirParams* envir) noexcept
{
    try
    {
        return AddOnInterface::IsServiceTableFilled() ? CheckEnvironment(envir) : 0;
    }
    catch (...)
    {
        return 0;
    }
}

GSErrCode RegisterInterfaceWrapper() noexcept
{
    if (!AddOnInterface::IsServiceTableFilled()) return APIERR_GENERAL;
    return Guarded<RegisterInterface>::Call();
}

GSErrCode InitializeWrapper(HostToken token) noexcept
{
    if (!AddOnInterface::IsServiceTableFilled()) return APIERR_GENERAL;
    AddOnInterface::SetHostToken(token);
    return Guarded<Initialize>::Call();
}

GSErrCode FreeDataWrapper() noexcept
{
    if (!AddOnInterface::IsServiceTableFilled()) return APIERR_GENERAL;
    const GSErrCode result = Guarded<FreeData>::Call();
    AddOnInterface::SetHostToken(nullptr);
    return result;
}

// ---- Library load and unload ----------------------------------------------

__attribute__((constructor)) void OnLibraryLoad()
{
    Dl_info info {};
    if (dladdr(reinterpret_cast<void*>(&OnLibraryLoad), &info) != 0 && info.dli_fname != nullptr) modulePath = info.dli_fname;
    ownResourceModule = RS::RegisterEmbeddedModule(SurvantoResources, SurvantoResourcesSize);
    AddOnInterface::SetOwnModule(IO::Location(std::string(modulePath)), ownResourceModule);
}

// A host that unloads the add-on without FreeData leaves the main object alive; its
// threads must still end here, before their code goes away.
__attribute__((destructor)) void OnLibraryUnload()
{
    ClearBackgroundThreadList();
    RS::CloseResourceModule(ownResourceModule);
    if (AddOnInterface::GetHostToken() != nullptr)
        Win::OutputDebugString(std::string("Abnormal add-on termination (\"") + modulePath + "\")");
}

}  // namespace

API_ModulID OwnModuleId()
{
    API_ModulID id;
    std::vector<std::uint8_t> data;
    if (RS::GetResourceData(RS::ModuleIdType, 32500, HostGetOwnResourceModule(), data) && data.size() == 8)
    {
        std::memcpy(&id.developerID, data.data(), 4);
        std::memcpy(&id.localID, data.data() + 4, 4);
    }
    return id;
}

extern "C" __attribute__((visibility("default"))) GSErrCode GetExportedFuncAddrs(std::int32_t, API_ExportedFuncs* exported)
{
    if (exported == nullptr) return APIERR_BADPARS;
    std::memset(exported, 0, sizeof(API_ExportedFuncs));
    exported->interfaceWord = AddOnInterfaceWord;
    exported->checkEnvironment = CheckEnvironmentWrapper;
    exported->registerInterface = RegisterInterfaceWrapper;
    exported->initialize = InitializeWrapper;
    exported->freeData = FreeDataWrapper;
    exported->apiVersion = HostApiVersion;
    return NoError;
}

extern "C" __attribute__((visibility("default"))) GSErrCode SetImportedFuncAddrs(std::int32_t, const HostServiceTable* table)
{
    if (table == nullptr) return APIERR_BADPARS;
    AddOnInterface::SetServiceTable(table);
    return NoError;
}
