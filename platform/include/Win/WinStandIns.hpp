#pragma once
#include <cstdint>
#include <string>
#include <vector>

// What the add-on asks of Windows, recorded so that the host and the tests can see
// it: registered window messages, message boxes, system parameters, debug output.
// Recording is safe from any thread; the Recorded... calls hand out copies.
namespace Win
{

constexpr int IDOK = 1;
constexpr std::uint32_t SPI_GETACTIVEWINDOWTRACKING = 0x1000;
constexpr std::uint32_t SPI_SETACTIVEWINDOWTRACKING = 0x1001;
constexpr std::uint32_t SPI_GETACTIVEWNDTRKZORDER = 0x100C;
constexpr std::uint32_t SPI_SETACTIVEWNDTRKZORDER = 0x100D;
constexpr std::uint32_t SPI_GETACTIVEWNDTRKTIMEOUT = 0x2002;
constexpr std::uint32_t SPI_SETACTIVEWNDTRKTIMEOUT = 0x2003;
// A setting's flags: written to the user profile, broadcast as changed.
constexpr std::uint32_t SPIF_UPDATEINIFILE = 1;
constexpr std::uint32_t SPIF_SENDCHANGE = 2;

// 0 when the registration fails (see FailMessageRegistration); the same name gives the same number.
std::uint32_t RegisterWindowMessage(const std::string& name);
void FailMessageRegistration(const std::string& name, bool fail);
// The name registered under the number; empty for a number never handed out.
std::string RegisteredMessageName(std::uint32_t number);

struct MessageBoxRecord
{
    std::string caption;
    std::string text;
    std::uint32_t type = 0;
};
int MessageBox(const std::string& text, const std::string& caption, std::uint32_t type);
std::vector<MessageBoxRecord> RecordedMessageBoxes();

// The active-window tracking settings are kept as Windows keeps them: a setting
// changes what the queries read. A query's record holds the value it read.
struct SystemParameterRecord
{
    std::uint32_t action = 0;
    std::uintptr_t value = 0;
    std::uint32_t flags = 0;
    bool query = false;
};
// Windows' own shape: a setting's value travels in `pvParam`; a query writes its
// answer where `pvParam` points (a 32-bit BOOL or DWORD). An unknown action is refused.
bool SystemParametersInfoA(std::uint32_t action, std::uint32_t uiParam, void* pvParam, std::uint32_t winIni);
// A setting without flags: in force until Windows restarts.
bool SystemParametersInfo(std::uint32_t action, std::uintptr_t value);
std::vector<SystemParameterRecord> RecordedSystemParameters();

// Sounds are recorded, not played: the path as asked and the flags.
struct SoundRecord
{
    std::string path;
    std::uint32_t flags = 0;
};
bool PlaySound(const std::string& path, std::uint32_t flags);
std::vector<SoundRecord> RecordedSounds();

void OutputDebugString(const std::string& text);
std::vector<std::string> RecordedDebugOutput();

// Forgets the records and the failing registrations.
void ClearRecords();

}  // namespace Win
