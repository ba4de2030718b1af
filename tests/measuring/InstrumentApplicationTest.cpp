#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "DG/DG.hpp"
#include "MainObjectFixture.hpp"
#include "Waiting.hpp"
#include "Win/Process.hpp"
#include "Win/Registry.hpp"
#include "Win/WindowMessages.hpp"
#include "measuring/InstrumentApplication.hpp"
#include "measuring/InstrumentEvents.hpp"
#include "measuring/MeasuringState.hpp"

namespace fs = std::filesystem;

namespace
{

constexpr short Palette = Survanto::MainPaletteDialogId;
constexpr const char* OrbolinkKey = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Quintair\\Orbolink";
const std::string Question = "[Messgerät Verbindungsaufbau: Es ist noch kein Messgerät verbunden. Möchten Sie die "
                             "Verbindung herstellen?]";

std::vector<std::string> Lines(const fs::path& file)
{
    std::vector<std::string> lines;
    std::ifstream in(file);
    std::string line;
    // A line the application is still writing is not read yet.
    while (std::getline(in, line) && !in.eof()) lines.push_back(line);
    return lines;
}

bool Holds(const std::vector<std::string>& lines, const std::string& line)
{
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

// Started programs are children of this process and stay so until waited for.
bool HasChildProcess()
{
    siginfo_t info {};
    return ::waitid(P_ALL, 0, &info, WEXITED | WNOHANG | WNOWAIT) == 0;
}

std::string Alerts()
{
    std::string shown;
    for (const DG::AlertRecord& a : DG::RecordedAlerts()) shown += "[" + a.title.ToUtf8() + ": " + a.text1.ToUtf8() + "]";
    return shown;
}

// The instrument application installed in a folder of its own and named in the
// registry, as its installer leaves it; the main palette opened at an
// instrument station, as after closing a project.
class InstrumentApplication : public MainObjectFixture
{
protected:
    void SetUp() override
    {
        MainObjectFixture::SetUp();
        before_ = measuringState;
        instrumentConnected = distoConnected = 0;
        DG::ClearRecordedAlerts();
        Host().CloseProject();
        ASSERT_EQ(measuringState.stationMode, 1);
    }
    void TearDown() override
    {
        for (const int process : started_) EndProcess(process);
        MainObjectFixture::TearDown();
        measuringState = before_;
    }

    fs::path Folder() const { return folder_.path(); }
    fs::path Log() const { return Folder() / "instrument.log"; }

    void Install(const std::string& name, const std::string& script = {})
    {
        fs::copy_file(INSTRUMENT_APPLICATION_PATH, Folder() / name, fs::copy_options::overwrite_existing);
        std::ofstream(Folder() / "instrument.script") << script;
        ASSERT_TRUE(Win::SetRegistryValue(OrbolinkKey, "InstallDir", Folder().string() + "/"));
    }
    void OpenPalette(std::vector<short> answers = {})
    {
        for (const short answer : answers) DG::QueueAlertAnswer(answer);
        Main().HandleMenuCommand({32500, 1});
        ASSERT_TRUE(DG::IsOpen(Palette));
    }
    // Waits for the condition, serving the host's event loop meanwhile.
    bool Await(const std::function<bool()>& condition)
    {
        const auto end = std::chrono::steady_clock::now() + HangGuard;
        while (!condition())
        {
            if (std::chrono::steady_clock::now() > end) return false;
            Win::WaitForWindowMessage(50);
            Host().RunPendingCommands();
        }
        return true;
    }
    // Once it listens, the started application's process id, kept for the end.
    int AwaitStart()
    {
        int process = 0;
        const bool listening = Await([&] {
            const std::vector<std::string> lines = Lines(Log());
            return lines.size() >= 2 && lines[1].rfind("started", 0) == 0;
        });
        if (listening) process = std::stoi(Lines(Log()).front().substr(4));
        if (process != 0) started_.push_back(process);
        return process;
    }
    static void EndProcess(int process)
    {
        kill(process, SIGTERM);
        waitpid(process, nullptr, 0);
    }

private:
    MeasuringState before_;
    TempFolder folder_;
    std::vector<int> started_;
};

TEST_F(InstrumentApplication, WithoutItsRegistryKeyTheUserIsTold)
{
    OpenPalette();
    EXPECT_EQ(Alerts(), "[Survanto - Fehler!: Orbolink wurde nicht gefunden.]");
}

// "Ja" starts the newer program when it is there, with the add-on's argument;
// "Nein" starts nothing.
TEST_F(InstrumentApplication, TheUserDecidesWhetherItStarts)
{
    const struct
    {
        std::vector<std::string> installed;
        short answer;
        const char* started;
    } cases[] = {
        {{"Orbolink.exe"}, 1, "Orbolink.exe"},
        {{"Orbolink.exe", "Orbolink2.exe"}, 1, "Orbolink2.exe"},
        {{"Orbolink.exe"}, 3, nullptr},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.installed.back() + " answered " + std::to_string(c.answer));
        for (const std::string& name : c.installed) Install(name);
        fs::remove(Log());
        Host().CloseProject();
        DG::ClearRecordedAlerts();
        const std::string heardBefore = Host().Fact("instrument-commands");
        OpenPalette({c.answer});
        EXPECT_EQ(Alerts(), Question);
        if (c.started != nullptr)
        {
            const int process = AwaitStart();
            ASSERT_NE(process, 0) << "not listening after " << HangGuard.count() << " s";
            EXPECT_EQ(Lines(Log())[1], "started -pad:quintairpad");
            const fs::path executable = fs::read_symlink("/proc/" + std::to_string(process) + "/exe");
            EXPECT_EQ(executable.filename().string(), c.started);
            EndProcess(process);
        }
        else
        {
            EXPECT_FALSE(HasChildProcess()) << "a program was started";
            EXPECT_FALSE(fs::exists(Log()));
        }
        EXPECT_EQ(Host().Fact("instrument-commands"), heardBefore) << "a start sends nothing";
        for (const std::string& name : c.installed) fs::remove(Folder() / name);
    }
}

// A running application, also under another letter case, is asked to reconnect
// both devices; its answers come back as events.
TEST_F(InstrumentApplication, ARunningApplicationReconnectsBothDevices)
{
    Install("oRBOLINK.EXE", "on 16 1 send 14 1\non 16 2 send 14 2\n");
    ASSERT_NE(Win::CreateProcess((Folder() / "oRBOLINK.EXE").string(), ""), 0);
    ASSERT_NE(AwaitStart(), 0);
    fs::rename(Folder() / "oRBOLINK.EXE", Folder() / "Orbolink.exe");

    OpenPalette();
    ASSERT_TRUE(Await([] { return DG::RecordedAlerts().size() >= 2; })) << Alerts();
    EXPECT_EQ(Alerts(), "[Survanto - Meldung.: Geräte verbunden.][Survanto - Meldung.: Disto verbunden.]");
    ASSERT_TRUE(Await([&] { return Holds(Lines(Log()), "command 14 0"); }));
    const std::vector<std::string> lines = Lines(Log());
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 2, lines.end()),
              (std::vector<std::string> {"command 16 1", "command 16 2", "command 14 0"}));
    EXPECT_EQ(Host().Fact("instrument-commands"), "16/1 16/2 14/0");
}

TEST_F(InstrumentApplication, ProcessNamesAsCases)
{
    Install("oRBOLINK.EXE");
    ASSERT_NE(Win::CreateProcess((Folder() / "oRBOLINK.EXE").string(), ""), 0);
    ASSERT_NE(AwaitStart(), 0);
    const struct
    {
        std::string name;
        std::int32_t result;
    } cases[] = {
        {"Orbolink.exe", 1},      {"orbolink.EXE", 1},        {"Orbolink2.exe", 0},
        {"", ProcessNameInvalid}, {std::string(260, 'x'), 0}, {std::string(261, 'x'), ProcessNameInvalid},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name.substr(0, 20) + " of " + std::to_string(c.name.size()));
        EXPECT_EQ(IsProcessRunning(Main(), c.name), c.result);
    }
}

}  // namespace
