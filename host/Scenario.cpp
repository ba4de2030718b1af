#include "Scenario.hpp"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <limits>

#include "AxonometricPicture.hpp"
#include "DialogAnswers.hpp"
#include "DialogLists.hpp"
#include "DialogVerbs.hpp"
#include "ElementServices.hpp"
#include "ExchangeVerbs.hpp"
#include "FillElements.hpp"
#include "InstrumentLink.hpp"
#include "InterfaceServices.hpp"
#include "LibraryParts.hpp"
#include "LibraryServices.hpp"
#include "ModuleDataServices.hpp"
#include "OrthophotoJobs.hpp"
#include "PaletteVerbs.hpp"
#include "PhotoVerbs.hpp"
#include "PlanPicture.hpp"
#include "PointCloudView.hpp"
#include "ProfileLibrary.hpp"
#include "ProjectFile.hpp"
#include "TeamworkVerbs.hpp"
#include "Win/Process.hpp"
#include "Win/WinStandIns.hpp"
#include "Window3DServices.hpp"

namespace SimHost
{

std::string Scenario::Rest(std::istringstream& in)
{
    std::string rest;
    std::getline(in >> std::ws, rest);
    return rest;
}

Scenario::Scenario(Host::Options options, std::ostream& out) : options_(std::move(options)), out_(out)
{
    // Each scenario plays a fresh process: nothing Windows recorded for an earlier one carries over.
    Win::ClearRecords();
    Win::ClearRecordedCommands();
    AddFrameVerbs(verbs_);
    AddExchangeVerbs(verbs_);
    AddElementVerbs(verbs_);
    AddPaletteVerbs(verbs_);
    AddModuleDataVerbs(verbs_);
    AddProjectFileVerbs(verbs_);
    AddTeamworkVerbs(verbs_);
    AddPlanPictureVerbs(verbs_);
    AddAxonometricPictureVerbs(verbs_);
    AddLibraryVerbs(verbs_);
    AddInterfaceVerbs(verbs_);
    AddListVerbs(verbs_);
    AddOrthophotoJobVerbs(verbs_);
    AddFillVerbs(verbs_);
    AddDialogAnswerVerbs(verbs_);
    AddProfileLibraryVerbs(verbs_);
    AddDialogVerbs(verbs_);
    AddPointCloudViewVerbs(verbs_);
    AddInstrumentVerbs(verbs_);
    AddWindow3DVerbs(verbs_);
    AddPhotoVerbs(verbs_);
}

Scenario::~Scenario() = default;

bool Scenario::RunFile(const std::string& path)
{
    std::ifstream in(path);
    if (!in)
    {
        out_ << "cannot read scenario " << path << "\n";
        return false;
    }
    std::stringstream text;
    text << in.rdbuf();
    return RunText(text.str(), path);
}

bool Scenario::RunText(const std::string& text, const std::string& origin)
{
    origin_ = origin;
    lineNumber_ = 0;
    failed_ = false;
    std::istringstream lines(text);
    lines_ = &lines;
    bool played = true;
    for (std::string line; played && NextLine(line);) played = RunLine(line) && !failed_;
    lines_ = nullptr;
    return played;
}

bool Scenario::NextLine(std::string& line)
{
    while (lines_ != nullptr && std::getline(*lines_, line))
    {
        ++lineNumber_;
        // A script written on Windows ends its lines with CR LF.
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const auto first = line.find_first_not_of(" \t\r");
        if (first == std::string::npos || line[first] == '#') continue;
        line.erase(0, first);
        return true;
    }
    return false;
}

bool Scenario::PlayWhile(const std::function<bool()>& holds)
{
    std::string line;
    while (!failed_ && holds())
    {
        if (!NextLine(line)) return false;
        if (!RunLine(line)) failed_ = true;
    }
    return !failed_;
}

bool Scenario::Fail(const std::string& message)
{
    out_ << origin_ << ":" << lineNumber_ << ": " << message << "\n";
    return false;
}

namespace
{

// What the host keeps in its work folder from one run to the next, as an installed
// host keeps it in the user's folders.
void ForgetHostState(const std::string& workFolder)
{
    if (workFolder.empty()) return;
    for (const char* name : {"Preferences.json", "registry.txt", "AppData", "Add-Ons"})
    {
        std::error_code ec;
        std::filesystem::remove_all(std::filesystem::path(workFolder) / name, ec);
    }
}

}  // namespace

bool Scenario::StartHost()
{
    if (!keepWorkState_) ForgetHostState(options_.workFolder);
    host_ = std::make_unique<Host>(options_);
    return host_->Start() || Fail("the add-on did not start: " + host_->LoadError());
}

bool Scenario::RunLine(const std::string& line)
{
    std::istringstream in(line);
    std::string verb;
    in >> verb;
    const auto it = verbs_.find(verb);
    if (it == verbs_.end()) return Fail("unknown action '" + verb + "'");
    return it->second(*this, in);
}

namespace
{

// Wraps a verb that needs a started host.
ScenarioVerb WithHost(std::function<bool(Scenario&, Host&, std::istringstream&)> body)
{
    return [body](Scenario& scenario, std::istringstream& args) {
        Host* host = scenario.GetHost();
        return host != nullptr ? body(scenario, *host, args) : scenario.Fail("this action needs a started host");
    };
}

}  // namespace

void AddFrameVerbs(ScenarioVerbs& verbs)
{
    verbs["config"] = [](Scenario& s, std::istringstream& args) {
        if (s.GetHost() != nullptr) return s.Fail("config belongs before start");
        s.Options().configLines.push_back(Scenario::Rest(args));
        return true;
    };
    verbs["language"] = [](Scenario& s, std::istringstream& args) {
        std::string code;
        if (s.GetHost() != nullptr) return s.Fail("language belongs before start");
        if (!(args >> code)) return s.Fail("language <code>");
        s.Options().languageCode = code;
        return true;
    };
    verbs["fail-message"] = [](Scenario&, std::istringstream& args) {
        Win::FailMessageRegistration(Scenario::Rest(args), true);
        return true;
    };
    verbs["tool"] = [](Scenario& s, std::istringstream& args) {
        API_ElemTypeID type = 0;
        std::int32_t variation = 0;
        if (!(args >> type)) return s.Fail("tool <type> [variation]");
        if (!Scenario::OptionalNumber(args, variation)) return s.Fail("tool <type> [variation]");
        s.Options().currentTool = type;
        if (Host* host = s.GetHost()) host->SelectTool(type, variation);
        return true;
    };
    verbs["keep-work-state"] = [](Scenario& s, std::istringstream&) {
        if (s.GetHost() != nullptr) return s.Fail("keep-work-state belongs before start");
        s.KeepWorkState();
        return true;
    };
    verbs["start"] = [](Scenario& s, std::istringstream&) {
        return s.GetHost() == nullptr ? s.StartHost() : s.Fail("the host is already started");
    };
    verbs["print"] = [](Scenario& s, std::istringstream& args) {
        const std::string fact = Scenario::Rest(args);
        Host* host = s.GetHost();
        if (host == nullptr) return s.Fail("nothing to print before start");
        if (!fact.empty())
            s.Out() << fact << ": " << host->Fact(fact) << "\n";
        else
            for (const auto& [name, value] : host->Facts()) s.Out() << name << ": " << value << "\n";
        return true;
    };
    verbs["new-project"] = WithHost([](Scenario&, Host& host, std::istringstream&) {
        host.NewProject();
        return true;
    });
    verbs["close-project"] = WithHost([](Scenario&, Host& host, std::istringstream&) {
        host.CloseProject();
        return true;
    });
    verbs["quit"] = WithHost([](Scenario&, Host& host, std::istringstream&) {
        host.Quit();
        return true;
    });
    verbs["project-event"] = WithHost([](Scenario& s, Host& host, std::istringstream& args) {
        const std::string word = Scenario::Rest(args);
        char* end = nullptr;
        const long event = std::strtol(word.c_str(), &end, 0);
        if (word.empty() || *end != '\0' || event < std::numeric_limits<std::int32_t>::min() ||
            event > std::numeric_limits<std::int32_t>::max())
            return s.Fail("project-event <number>, decimal or 0x hexadecimal");
        host.FireProjectEvent(static_cast<std::int32_t>(event));
        return true;
    });
    verbs["run"] = WithHost([](Scenario&, Host& host, std::istringstream&) {
        host.RunPendingCommands();
        return true;
    });
    verbs["free"] = WithHost([](Scenario&, Host& host, std::istringstream&) {
        host.Shutdown();
        return true;
    });
    verbs["unload"] = WithHost([](Scenario&, Host& host, std::istringstream&) {
        host.UnloadWithoutFreeData();
        return true;
    });
    // Ends the process on the spot, as a host that crashes out or exits without
    // FreeData and without unloading: only process exit tears the add-on down.
    verbs["exit"] = WithHost([](Scenario& s, Host&, std::istringstream&) {
        s.Out().flush();
        std::exit(0);
        return true;
    });
    // The fact's name may hold blanks ("element 2"); " = " ends it.
    verbs["expect"] = WithHost([](Scenario& s, Host& host, std::istringstream& args) {
        const std::string line = Scenario::Rest(args);
        std::size_t equals = line.find(" =");
        while (equals != std::string::npos && equals + 2 < line.size() && line[equals + 2] != ' ')
            equals = line.find(" =", equals + 1);
        if (equals == std::string::npos) return s.Fail("expect <fact> = <text>");
        const std::string fact = line.substr(0, equals);
        const std::string wanted = equals + 3 <= line.size() ? line.substr(equals + 3) : std::string();
        const std::string actual = host.Fact(fact);
        return actual == wanted || s.Fail("expected " + fact + " = " + wanted + "\n    but it is " + actual);
    });
}

}  // namespace SimHost
