#include "InstrumentLink.hpp"

#include <cstdlib>
#include <filesystem>

#include "Win/Registry.hpp"
#include "Win/WinStandIns.hpp"
#include "Win/WindowMessages.hpp"

namespace fs = std::filesystem;

namespace SimHost
{

namespace
{

constexpr const char* ToApplicationMessage = "WM_EXTAPP_TO_QUINTAIR_MESSAGE";
constexpr const char* FromApplicationMessage = "WM_QUINTAIR_TO_EXTAPP_MESSAGE";
// Only a guard against a hang: the wait ends as soon as an event comes.
constexpr int DefaultWaitMs = 30000;

// Socket paths are short (108 bytes), so the folder lies in /tmp, not in the work folder.
std::string MakeMessageFolder()
{
    std::string pattern = (fs::temp_directory_path() / "survanto-desktop-XXXXXX").string();
    return mkdtemp(pattern.data()) != nullptr ? pattern : std::string();
}

ScenarioVerb WithHost(std::function<bool(Scenario&, Host&, std::istringstream&)> body)
{
    return [body](Scenario& scenario, std::istringstream& args) {
        Host* host = scenario.GetHost();
        return host != nullptr ? body(scenario, *host, args) : scenario.Fail("this action needs a started host");
    };
}

}  // namespace

InstrumentLink::InstrumentLink(const std::string& workFolder) : messageFolder_(MakeMessageFolder())
{
    if (!messageFolder_.empty()) Win::SetMessageFolder(messageFolder_);
    Win::SetRegistryFile((fs::path(workFolder) / "registry.txt").string());
    listener_ = std::make_unique<Win::MessageReceiver>(Win::RegisterWindowMessage(ToApplicationMessage));
}

InstrumentLink::~InstrumentLink()
{
    listener_.reset();
    Win::SetRegistryFile({});
    if (messageFolder_.empty()) return;
    Win::SetMessageFolder({});
    std::error_code ec;
    fs::remove_all(messageFolder_, ec);
}

bool InstrumentLink::SendEvent(std::uint64_t code, std::uint64_t argument)
{
    return Win::PostMessage(Win::HWND_BROADCAST, Win::RegisterWindowMessage(FromApplicationMessage), code, argument);
}

std::vector<std::string> InstrumentLink::Commands() const
{
    for (const Win::WindowMessage& message : listener_->TakeWaiting()) heard_.push_back(message);
    std::vector<std::string> commands;
    for (const Win::WindowMessage& m : heard_)
        commands.push_back(std::to_string(m.firstParameter) + "/" + std::to_string(m.secondParameter));
    return commands;
}

void AddInstrumentVerbs(ScenarioVerbs& verbs)
{
    verbs["instrument-event"] = WithHost([](Scenario& s, Host& host, std::istringstream& args) {
        std::uint64_t code = 0, argument = 0;
        if (!(args >> code >> argument) || !Scenario::Rest(args).empty()) return s.Fail("instrument-event <code> <argument>");
        if (!InstrumentLink::SendEvent(code, argument)) return s.Fail("the event could not be sent");
        host.RunPendingCommands();
        return true;
    });
    verbs["await-instrument-event"] = WithHost([](Scenario& s, Host& host, std::istringstream& args) {
        int ms = DefaultWaitMs;
        if (!Scenario::OptionalNumber(args, ms, 1, 600000)) return s.Fail("await-instrument-event [ms]");
        if (!Win::WaitForWindowMessage(ms)) return s.Fail("no event came within " + std::to_string(ms) + " ms");
        host.RunPendingCommands();
        return true;
    });
    verbs["registry"] = WithHost([](Scenario& s, Host&, std::istringstream& args) {
        std::string key, name;
        args >> key >> name;
        const std::string text = Scenario::Rest(args);
        return (!key.empty() && !name.empty() && Win::SetRegistryValue(key, name, text)) ||
               s.Fail("registry <key> <name> <text>: a text without tabs and line breaks");
    });
}

void AddInstrumentFacts(const Host& host, Facts& facts)
{
    std::string commands;
    for (const std::string& command : host.Instrument().Commands()) commands += (commands.empty() ? "" : " ") + command;
    facts["instrument-commands"] = commands;
}

}  // namespace SimHost
