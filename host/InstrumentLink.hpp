#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "Scenario.hpp"
#include "Win/MessageReceiver.hpp"

namespace SimHost
{

// The desktop that the host gives the add-on and the instrument application: a
// message folder of the host's own (so that hosts running side by side do not
// hear each other), a listener that hears the commands broadcast to the
// instrument application, and the registry file in the work folder.
class InstrumentLink
{
public:
    explicit InstrumentLink(const std::string& workFolder);
    InstrumentLink(const InstrumentLink&) = delete;
    InstrumentLink& operator=(const InstrumentLink&) = delete;
    ~InstrumentLink();

    // Sends an event as the instrument application does: a broadcast of the
    // application's registered message.
    static bool SendEvent(std::uint64_t code, std::uint64_t argument);
    // The commands heard so far, "code/argument" each, oldest first.
    std::vector<std::string> Commands() const;

private:
    std::string messageFolder_;
    std::unique_ptr<Win::MessageReceiver> listener_;
    mutable std::vector<Win::WindowMessage> heard_;
};

// The instrument application's side, played by scenarios:
//   instrument-event <code> <argument>   the application sends an event; the event loop runs
//   await-instrument-event [ms]          waits for an event of a started application and runs the event loop
//   registry <key> <name> <text>         a registry value ("HKEY_LOCAL_MACHINE\SOFTWARE\...")
// and the fact instrument-commands.
void AddInstrumentVerbs(ScenarioVerbs& verbs);
void AddInstrumentFacts(const Host& host, Facts& facts);

}  // namespace SimHost
