#pragma once
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "API/AddOnInterface.hpp"
#include "MorphBodies.hpp"
#include "ProjectModel.hpp"
#include "Teamwork.hpp"
#include "Window3D.hpp"

namespace SimHost
{

class InstrumentLink;

// The update page address written into every Survanto.cfg the host installs:
// the discard port on this machine, refused at once unless a test serves it.
constexpr const char* LocalUpdateAddress = "http://127.0.0.1:9/survanto/update.html";

// One scripted answer to an interactive input: a picked point, a drawn polygon
// (plan coordinates, closed by the host), a cancel, or a click on a palette item
// made while the input waits.
struct InputAnswer
{
    enum Kind
    {
        Point,
        Polygon,
        Cancel,
        Click
    } kind = Cancel;
    API_Coord3D point {};
    std::vector<API_Coord> corners;
    std::int16_t dialog = 0;
    std::int16_t item = 0;

    static InputAnswer Picked(const API_Coord3D& point)
    {
        InputAnswer answer;
        answer.kind = Point;
        answer.point = point;
        return answer;
    }
};

// One scripted answer to a modal dialog: the user's steps on its items (type a
// text, choose a list entry, click, write a user item's picture), then the item
// that closes it.
struct DialogAnswer
{
    struct Step
    {
        std::string action;  // text, select, click, picture
        std::int16_t item = 0;
        std::string argument;
    };
    std::int16_t dialog = 0;
    std::vector<Step> steps;
    std::int16_t closing = 0;
    // Played by the script's lines that follow the one that opened the dialog.
    bool scripted = false;
};

struct PolygonInputRequest
{
    API_Coord3D planeNormal;
    API_Coord3D startCoord;
    std::int32_t method = 0;
};

// What an add-on module hands the host: its two exports.
struct AddOnExports
{
    GetExportedFuncAddrsFn getExportedFuncAddrs = nullptr;
    SetImportedFuncAddrsFn setImportedFuncAddrs = nullptr;
};

struct MenuRegistration
{
    std::int16_t menuList = 0;
    std::int16_t promptList = 0;
    std::int32_t position = 0;
    std::int32_t flags = 0;
};

struct SubtypeRegistration
{
    std::int32_t signature = 0;
    std::int16_t templateFile = 0;
    bool transparent = false;
    std::int16_t stringList = 0;
    std::int16_t smallIcon = 0;
    std::int16_t largeIcon = 0;
    std::int32_t toolboxGroup = 0;
    std::int32_t enableFlags = 0;
    std::int16_t defaultsIcon = 0;
};

using Facts = std::map<std::string, std::string>;

struct LibraryPart
{
    std::string name;
    std::vector<std::uint8_t> content;
};

struct ViewEventCatch
{
    std::int32_t mask = 0;
    std::int32_t map = 0;
    APIViewEventHandlerProc handler = nullptr;
};

// A 3D projection the add-on set ('CP3D'), and whether it follows its camera.
struct ProjectionRequest
{
    API_3DProjectionInfo projection {};
    bool followsCamera = false;
};

// A palette the add-on registered, so that the host closes, hides, shows and
// disables it with its own windows.
struct PaletteRegistration
{
    std::int16_t dialogId = 0;
    APIPaletteControlProc callback = nullptr;
    std::int32_t flags = 0;
    GS::Guid guid;
};

// The progress window an add-on opened, as far as it went, and the user's
// cancel: from the cancelAt-th cancel query on (counted from 1), the user has
// cancelled.
struct ProgressWindow
{
    bool open = false;
    std::string title;
    std::int16_t phases = 0;
    std::string phase;
    std::int32_t maximum = 0;
    std::int32_t value = 0;
    int opened = 0;  // how often it was opened
    int cancelQueries = 0;
    int cancelAt = 0;
    std::vector<std::string> log;  // what the add-on showed, one entry per request
};

struct Project
{
    bool open = false;
    std::string name;
    Teamwork teamwork;
};

// The add-on's preferences as the host keeps them for its work folder.
struct StoredPreferences
{
    std::int32_t version = 0;
    std::vector<std::uint8_t> bytes;
};

// A simulated host: loads an add-on, serves its service table, keeps the project,
// runs posted commands from its event loop and fires project events.
class Host
{
public:
    struct Options
    {
        std::string addOnPath;   // the built Survanto.apx; its language files lie beside it
        std::string workFolder;  // the host's own folders; created when missing
        std::string languageCode = "GER";
        API_ElemTypeID currentTool = 0;
        std::vector<std::string> configLines;  // written to Survanto.cfg beside the installed add-on, before LocalUpdateAddress
    };

    explicit Host(Options options);
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;
    ~Host();

    // The host's order: load, exports, CheckEnvironment, RegisterInterface, Initialize.
    bool Load();
    bool LoadStatic(const AddOnExports& exports);
    std::int32_t CheckEnvironment(std::int32_t applicationKind = 1);
    GSErrCode RegisterInterface();
    GSErrCode Initialize();
    GSErrCode FreeData();
    void Unload();
    bool Start();
    void Shutdown();
    // As a host that drops the add-on without FreeData: only its unload hook runs.
    void UnloadWithoutFreeData();

    const API_ExportedFuncs& EntryRecord() const { return entry_; }
    const std::string& LoadError() const { return loadError_; }

    void NewProject();
    // Opens a project with the given content, a new empty one unless given.
    void OpenProject(const std::string& name, ProjectModel content = ProjectModel {});
    void CloseProject();
    void Quit();
    // A project event as the host sends it, to a handler that asked for it.
    void FireProjectEvent(std::int32_t event);
    void SelectTool(API_ElemTypeID type, std::int32_t variation = 0);

    // Posting is safe from any thread; running happens on the caller's thread,
    // which plays the host's user-interface thread. The same loop serves the
    // window messages that wait for the add-on's receivers.
    void PostCommand(std::int32_t command, std::int32_t version, bool silentMode = true);
    int RunPendingCommands();
    bool WaitForPostedCommand(int timeoutMs);

    // Everything the add-on asked of the host, one line per call, in order.
    const std::vector<std::string>& CallLog() const { return callLog_; }
    SimHost::Facts Facts() const;
    std::int32_t CheckResult() const { return checkResult_; }
    GSErrCode RegisterResult() const { return registerResult_; }
    GSErrCode InitializeResult() const { return initializeResult_; }
    const std::string& AddOnName() const { return addOnName_; }
    const std::string& AddOnDescription() const { return addOnDescription_; }
    std::string Fact(const std::string& name) const;

    const std::vector<MenuRegistration>& Menus() const { return menus_; }
    const std::vector<LibraryPart>& Library() const { return library_; }
    const std::string& InstalledAddOnFolder() const { return installFolder_; }
    // The add-on's object library as installed beside it.
    std::string InstalledLibraryFolder() const;
    // Whether the installed module is in the process's memory: it stays after an
    // unload only when something pins it there.
    bool AddOnModuleInMemory() const;
    const std::string& WorkFolder() const { return options_.workFolder; }
    const InstrumentLink& Instrument() const { return *instrument_; }
    // The language code the GDL extension received, "none" without an extension.
    std::string GdlLanguage() const;
    void FailService(HostSlot slot) { failedSlots_.push_back(slot); }

    // Service implementations reach the host through the token (or, for the
    // registrations, which carry none, through the one host that is loading).
    static Host& From(HostToken token) { return *static_cast<Host*>(token); }
    static Host& Current();

    void Log(const std::string& line) { callLog_.push_back(line); }

    // State the services keep.
    std::vector<MenuRegistration> menus_;
    std::vector<SubtypeRegistration> subtypes_;
    std::vector<LibraryPart> library_;
    std::vector<std::pair<std::int32_t, std::int32_t>> registeredCommands_;
    std::vector<std::pair<std::int16_t, APIMenuCommandProc>> menuHandlers_;
    std::map<std::int32_t, APIModulCommandProc> commandHandlers_;
    std::int32_t projectEventMask_ = 0;
    APIProjectEventHandlerProc projectEventHandler_ = nullptr;
    APIElementEventHandlerProc elementObserver_ = nullptr;
    APIToolChangeHandlerProc toolChangeHandler_ = nullptr;
    APIModuleDataMergeHandlerProc mergeHandler_ = nullptr;
    APISelectionChangeHandlerProc selectionHandler_ = nullptr;
    std::vector<ViewEventCatch> viewEvents_;
    APIViewEventHandlerProc viewEventHandler_ = nullptr;
    std::vector<std::pair<API_ElemTypeID, APIElementEventHandlerProc>> newElementCatches_;
    std::vector<PaletteRegistration> palettes_;
    int keepInMemoryCalls_ = 0;
    API_ToolBoxItem currentTool_ {};
    Project project_;
    std::vector<std::string> postedLog_;
    ProjectModel model_;
    std::vector<std::unique_ptr<API_BodyBuilderData>> bodyBuilders_;
    std::optional<StoredPreferences> preferences_;  // kept in the work folder's preferences file
    std::optional<GSErrCode> lastMergeResult_;
    // The user's answers to interactive inputs, in order, and what each polygon
    // input asked for; an input cancelled by "INCA" ends when its click is done.
    std::deque<InputAnswer> inputAnswers_;
    std::vector<PolygonInputRequest> polygonInputs_;
    // Answers to the next modal dialogs, in order, and what went wrong playing them.
    std::deque<DialogAnswer> dialogAnswers_;
    std::vector<std::string> dialogAnswerErrors_;
    bool inputCancelRequested_ = false;
    std::vector<ProjectionRequest> projections_;
    Window3D window3D_;
    ProgressWindow progress_;
    // Texts the add-on gave its menu items ('SMIT'), by menu and item.
    std::map<std::pair<std::int16_t, std::int32_t>, std::string> menuTexts_;
    // What the add-on wrote to the report window, one entry a call.
    std::vector<std::string> reportWindow_;

    const Options& GetOptions() const { return options_; }

private:
    void FillServiceTable();
    void LoadGdlExtension();
    bool InstallAddOn(std::string& installedPath);
    void ClearRegistrations();

    Options options_;
    std::string installFolder_;
    std::string installedPath_;
    std::string loadError_;
    void* library_handle_ = nullptr;
    void* gdlExtension_ = nullptr;
    AddOnExports exports_;
    API_ExportedFuncs entry_ {};
    HostServiceTable table_ {};
    std::vector<HostSlot> failedSlots_;
    bool initialized_ = false;
    bool ownsWorkFolder_ = false;
    std::unique_ptr<InstrumentLink> instrument_;

    std::vector<std::string> callLog_;
    std::string addOnName_, addOnDescription_;
    std::int32_t checkResult_ = 0;
    GSErrCode registerResult_ = 0, initializeResult_ = 0, freeResult_ = 0;

    std::mutex postMutex_;
    std::condition_variable postSignal_;
    struct PostedCommand
    {
        std::int32_t command = 0;
        std::int32_t version = 0;
        bool silentMode = true;
    };
    std::deque<PostedCommand> posted_;
};

// Each family of services lives in its own file: it fills its slots of the
// service table and tells its facts (named texts that scenarios can expect).
void FillFrameServices(HostServiceTable& table);
void AddFrameFacts(const Host& host, Facts& facts);
void FillModuleDataServices(HostServiceTable& table);
void AddModuleDataFacts(const Host& host, Facts& facts);
// Reads the work folder's preferences file into the host; a missing file leaves none.
void LoadPreferences(Host& host);
void FillPaletteServices(HostServiceTable& table);
void AddPaletteFacts(const Host& host, Facts& facts);
// Facts asked for by name only: "item <dialog> <item> <field>" and "dialog <id>".
std::optional<std::string> DialogFact(const std::string& name);

std::string FourCCText(std::int32_t code);

}  // namespace SimHost
