// A stand-in for the instrument application: it hears the add-on's commands and
// sends events, as the file "instrument.script" beside it says, one rule a line:
//   send <code> <argument>                        sent once it listens
//   on <code> <argument> send <code> <argument>   sent whenever that command comes
// It writes "instrument.log" beside it: "pid <id>", "started <arguments>" and
// "command <code> <argument>" for each command heard. It ends when its message
// folder goes away, after a minute, or when it is told to terminate.
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "Win/MessageReceiver.hpp"
#include "Win/WinStandIns.hpp"
#include "Win/WindowMessages.hpp"

namespace fs = std::filesystem;

namespace
{

constexpr auto Lifetime = std::chrono::seconds(60);
constexpr int PollMs = 100;

struct Event
{
    std::uint64_t code = 0;
    std::uint64_t argument = 0;
};

struct Reply
{
    Event command;
    Event event;
};

struct Script
{
    std::vector<Event> atStart;
    std::vector<Reply> replies;
};

Script ReadScript(const fs::path& path)
{
    Script script;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line))
    {
        std::istringstream words(line);
        std::string first, second;
        Reply reply;
        if (!(words >> first)) continue;
        if (first == "send" && words >> reply.event.code >> reply.event.argument) script.atStart.push_back(reply.event);
        if (first == "on" && words >> reply.command.code >> reply.command.argument >> second && second == "send" &&
            words >> reply.event.code >> reply.event.argument)
            script.replies.push_back(reply);
    }
    return script;
}

class Application
{
public:
    explicit Application(const fs::path& folder)
        : script_(ReadScript(folder / "instrument.script")), log_(folder / "instrument.log", std::ios::app),
          events_(Win::RegisterWindowMessage("WM_QUINTAIR_TO_EXTAPP_MESSAGE")),
          receiver_(Win::RegisterWindowMessage("WM_EXTAPP_TO_QUINTAIR_MESSAGE"),
                    [this](const Win::WindowMessage& m) { OnCommand(m); })
    {}

    int Run(const std::string& arguments)
    {
        Log("pid " + std::to_string(getpid()));
        if (!receiver_.IsListening())
        {
            Log("cannot listen: " + receiver_.Error());
            return 1;
        }
        Log("started " + arguments);
        for (const Event& event : script_.atStart) Send(event);
        const std::string folder = Win::MessageFolder();
        const auto end = std::chrono::steady_clock::now() + Lifetime;
        while (std::chrono::steady_clock::now() < end && fs::exists(folder))
        {
            if (Win::WaitForWindowMessage(PollMs)) Win::DispatchWindowMessages();
        }
        return 0;
    }

private:
    void OnCommand(const Win::WindowMessage& m)
    {
        Log("command " + std::to_string(m.firstParameter) + " " + std::to_string(m.secondParameter));
        for (const Reply& reply : script_.replies)
            if (reply.command.code == m.firstParameter && reply.command.argument == m.secondParameter) Send(reply.event);
    }
    void Send(const Event& event) { Win::PostMessage(Win::HWND_BROADCAST, events_, event.code, event.argument); }
    void Log(const std::string& line) { log_ << line << std::endl; }

    Script script_;
    std::ofstream log_;
    std::uint32_t events_;
    Win::MessageReceiver receiver_;
};

}  // namespace

int main(int argc, char** argv)
{
    std::string arguments;
    for (int i = 1; i < argc; ++i) arguments += (i > 1 ? " " : "") + std::string(argv[i]);
    const fs::path folder = fs::read_symlink("/proc/self/exe").parent_path();
    return Application(folder).Run(arguments);
}
