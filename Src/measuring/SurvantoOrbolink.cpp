#include <sys/utsname.h>

#include <algorithm>
#include <cctype>
#include <vector>

#include "IO/File.hpp"
#include "Win/Process.hpp"
#include "Win/Registry.hpp"
#include "frame/Survanto.hpp"
#include "frame/UInterface.hpp"
#include "measuring/InstrumentApplication.hpp"
#include "measuring/InstrumentEvents.hpp"

namespace
{

constexpr const char* OrbolinkKey = "SOFTWARE\\Quintair\\Orbolink";
constexpr const char* OrbolinkKey32 = "SOFTWARE\\Wow6432Node\\Quintair\\Orbolink";
constexpr std::size_t InstallDirCapacity = 256;
constexpr const char* NewerExecutable = "Orbolink2.exe";
constexpr const char* OlderExecutable = "Orbolink.exe";
constexpr const char* WithTheAddOn = "-pad:quintairpad";
constexpr std::size_t LongestProcessName = 260;

constexpr std::int32_t TextNotFound = 30;
constexpr std::int32_t TitleConnect = 31;
constexpr std::int32_t TextConnect = 32;
constexpr std::int32_t ButtonYes = 33;
constexpr std::int32_t ButtonNo = 34;
constexpr std::int16_t Yes = 1;

constexpr std::uint64_t RestoreConnectionCommand = 16;

std::string UpperCase(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

bool FileExists(const std::string& path) { return IO::File(IO::Location(path)).GetStatus() == 0; }

}  // namespace

// Every process is looked at: a fixed room for process ids would miss a running
// application and start a second one.
std::int32_t IsProcessRunning(const Survanto&, const std::string& executableName)
{
    if (executableName.empty() || executableName.size() > LongestProcessName) return ProcessNameInvalid;
    const std::string wanted = UpperCase(executableName);
    utsname system {};
    if (uname(&system) != 0) return SystemVersionUnreadable;
    std::vector<std::string> names;
    if (!Win::RunningProcessNames(names)) return ProcessListUnreadable;
    return std::any_of(names.begin(), names.end(), [&](const std::string& name) { return UpperCase(name) == wanted; }) ? 1 : 0;
}

std::int16_t Survanto::StartOrbolink()
{
    Win::HKEY key = 0;
    if (Win::RegOpenKeyEx(Win::HKEY_LOCAL_MACHINE, OrbolinkKey, Win::KEY_READ, key) != Win::ERROR_SUCCESS &&
        Win::RegOpenKeyEx(Win::HKEY_LOCAL_MACHINE, OrbolinkKey32, Win::KEY_READ | Win::KEY_WOW64_32KEY, key) !=
            Win::ERROR_SUCCESS)
        return ShowAlert(AlertError, AlertStringListId, AlertErrorTitle, TextNotFound, NoAlertText, AlertOkButton, NoAlertText,
                         NoAlertText, CurrentResourceModule(), AlertStringType);
    std::string folder;
    Win::RegQueryValueEx(key, "InstallDir", InstallDirCapacity, folder);
    const std::string executable = FileExists(folder + NewerExecutable) ? NewerExecutable : OlderExecutable;
    // Any failure of the test counts as running: better a reconnect than a second application.
    if (IsProcessRunning(*this, executable) != 0)
    {
        PostInstrumentCommand(*this, RestoreConnectionCommand, 1);
        PostInstrumentCommand(*this, RestoreConnectionCommand, 2);
    }
    else if (ShowAlert(AlertInformation, AlertStringListId, TitleConnect, TextConnect, NoAlertText, ButtonYes, NoAlertText,
                       ButtonNo, CurrentResourceModule(), AlertStringType) == Yes)
    {
        Win::CreateProcess(folder + executable, WithTheAddOn);
    }
    Win::RegCloseKey(key);
    return 0;
}
