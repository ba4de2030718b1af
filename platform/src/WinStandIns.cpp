#include "Win/WinStandIns.hpp"

#include <cstdio>
#include <map>
#include <mutex>
#include <set>

namespace Win
{

namespace
{
// At process exit the records may go before an add-on's unload hook writes its last words.
bool stateGone = false;

struct State
{
    ~State() { stateGone = true; }
    std::mutex mutex;
    std::map<std::string, std::uint32_t> messages;
    std::set<std::string> failing;
    std::vector<MessageBoxRecord> boxes;
    std::vector<SystemParameterRecord> parameters;
    std::map<std::uint32_t, std::uint32_t> settings;
    std::vector<std::string> debugOutput;
    std::vector<SoundRecord> sounds;
};

State& TheState()
{
    static State state;
    return state;
}

// A copy taken under the lock: other threads may record while the host reads.
template <typename T>
std::vector<T> Copied(std::vector<T> State::*records)
{
    auto& s = TheState();
    std::lock_guard<std::mutex> lock(s.mutex);
    return s.*records;
}
}  // namespace

std::uint32_t RegisterWindowMessage(const std::string& name)
{
    auto& s = TheState();
    std::lock_guard<std::mutex> lock(s.mutex);
    if (s.failing.count(name) != 0) return 0;
    const auto it = s.messages.find(name);
    if (it != s.messages.end()) return it->second;
    const auto number = static_cast<std::uint32_t>(0xC000 + s.messages.size());
    s.messages.emplace(name, number);
    return number;
}

std::string RegisteredMessageName(std::uint32_t number)
{
    auto& s = TheState();
    std::lock_guard<std::mutex> lock(s.mutex);
    for (const auto& [name, registered] : s.messages)
        if (registered == number) return name;
    return {};
}

void FailMessageRegistration(const std::string& name, bool fail)
{
    auto& s = TheState();
    std::lock_guard<std::mutex> lock(s.mutex);
    if (fail)
        s.failing.insert(name);
    else
        s.failing.erase(name);
}

int MessageBox(const std::string& text, const std::string& caption, std::uint32_t type)
{
    auto& s = TheState();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.boxes.push_back({caption, text, type});
    return IDOK;
}

std::vector<MessageBoxRecord> RecordedMessageBoxes() { return Copied(&State::boxes); }

bool SystemParametersInfoA(std::uint32_t action, std::uint32_t, void* pvParam, std::uint32_t winIni)
{
    // Each query reads the setting one above it.
    const bool query =
        action == SPI_GETACTIVEWINDOWTRACKING || action == SPI_GETACTIVEWNDTRKZORDER || action == SPI_GETACTIVEWNDTRKTIMEOUT;
    const bool setting =
        action == SPI_SETACTIVEWINDOWTRACKING || action == SPI_SETACTIVEWNDTRKZORDER || action == SPI_SETACTIVEWNDTRKTIMEOUT;
    if ((!query && !setting) || (query && pvParam == nullptr)) return false;
    auto& s = TheState();
    std::lock_guard<std::mutex> lock(s.mutex);
    if (query)
    {
        const std::uint32_t value = s.settings[action + 1];
        *static_cast<std::uint32_t*>(pvParam) = value;
        s.parameters.push_back({action, value, winIni, true});
        return true;
    }
    const auto value = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(pvParam));
    s.settings[action] = value;
    s.parameters.push_back({action, value, winIni, false});
    return true;
}

bool SystemParametersInfo(std::uint32_t action, std::uintptr_t value)
{
    return SystemParametersInfoA(action, 0, reinterpret_cast<void*>(value), 0);
}

std::vector<SystemParameterRecord> RecordedSystemParameters() { return Copied(&State::parameters); }

bool PlaySound(const std::string& path, std::uint32_t flags)
{
    auto& s = TheState();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.sounds.push_back({path, flags});
    return true;
}

std::vector<SoundRecord> RecordedSounds() { return Copied(&State::sounds); }

// Also where an attached debugger would show it: the process's error output.
void OutputDebugString(const std::string& text)
{
    std::fprintf(stderr, "%s\n", text.c_str());
    if (stateGone) return;
    auto& s = TheState();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.debugOutput.push_back(text);
}

std::vector<std::string> RecordedDebugOutput() { return Copied(&State::debugOutput); }

void ClearRecords()
{
    auto& s = TheState();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.failing.clear();
    s.boxes.clear();
    s.parameters.clear();
    s.settings.clear();
    s.debugOutput.clear();
    s.sounds.clear();
}

}  // namespace Win
