#pragma once
#include <charconv>
#include <functional>
#include <iosfwd>
#include <limits>
#include <map>
#include <memory>
#include <sstream>
#include <string>

#include "Host.hpp"

namespace SimHost
{

class Scenario;

// A verb gets the rest of its line; it returns false after Scenario::Fail.
using ScenarioVerb = std::function<bool(Scenario& scenario, std::istringstream& args)>;
using ScenarioVerbs = std::map<std::string, ScenarioVerb>;

// Each family of host services adds its own verbs.
void AddFrameVerbs(ScenarioVerbs& verbs);

// Runs a scenario: one host action or expectation per line; blank lines and lines
// starting with # are skipped. The frame's verbs:
//   config <line>            a line of Survanto.cfg (before start)
//   language <code>          the host's language code (before start)
//   tool <type> [variation]  the current toolbox item (a tool change once started)
//   fail-message <name>      registering this window message fails (before start)
//   keep-work-state          the host keeps what an earlier run left in the work
//                            folder (before start; see below)
//   start                    load the add-on and run its entry points
//   new-project | close-project | quit   (saving and opening projects: ProjectFile.hpp)
//   project-event <number>   a project event as the host sends it
//   run                      run the posted add-on commands
//   free                     FreeData and unload the add-on
//   unload                   unload the add-on without FreeData
//   exit                     end the process at once, without FreeData or unloading
//   print [fact]             print all facts, or one
//   expect <fact> = <text>   the fact must read exactly so (the name may hold blanks)
// A scenario starts from a clean host: at its start the host's own state in the work
// folder (its preferences, registry, AppData and installed add-on) is removed, so an
// earlier run in the same folder changes nothing, unless keep-work-state said
// otherwise. The scenario's files there (projects, copies, pictures) stay.
class Scenario
{
public:
    Scenario(Host::Options options, std::ostream& out);
    ~Scenario();

    bool RunFile(const std::string& path);
    bool RunText(const std::string& text, const std::string& origin = "<text>");

    Host* GetHost() { return host_.get(); }
    Host::Options& Options() { return options_; }
    // The scenario's file, or "<text>".
    const std::string& Origin() const { return origin_; }
    std::ostream& Out() { return out_; }
    bool StartHost();
    void KeepWorkState() { keepWorkState_ = true; }
    bool Fail(const std::string& message);
    // Plays the script's next lines while `holds` is true, as the user's hand inside
    // a modal dialog. False when a line failed (the script then stops) or the
    // script ended first.
    bool PlayWhile(const std::function<bool()>& holds);
    static std::string Rest(std::istringstream& in);

    // An optional whole number within [min, max]: absent leaves the value as it was;
    // anything but such a number, also one out of range, is false.
    template <typename T>
    static bool OptionalNumber(std::istringstream& in, T& value, T min = std::numeric_limits<T>::min(),
                               T max = std::numeric_limits<T>::max())
    {
        std::string word;
        if (!(in >> word)) return true;
        T read {};
        const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), read);
        if (error != std::errc() || end != word.data() + word.size() || read < min || read > max) return false;
        value = read;
        return true;
    }

private:
    bool RunLine(const std::string& line);
    // The next line to run, without blanks before it; false at the end.
    bool NextLine(std::string& line);

    Host::Options options_;
    std::ostream& out_;
    std::unique_ptr<Host> host_;
    ScenarioVerbs verbs_;
    std::string origin_;
    int lineNumber_ = 0;
    std::istringstream* lines_ = nullptr;
    bool failed_ = false;
    bool keepWorkState_ = false;
};

}  // namespace SimHost
