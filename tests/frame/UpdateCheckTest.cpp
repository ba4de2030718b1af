#include <gtest/gtest.h>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "DG/DG.hpp"
#include "Host.hpp"
#include "Win/Process.hpp"
#include "Win/WinStandIns.hpp"

namespace {

using namespace std::chrono_literals;

// One connection on the loopback address, answered whole, never, or a byte at a time.
class PageServer {
public:
    enum class Manner { Whole, Silent, Trickling };

    PageServer(std::string page, Manner manner) : page_(std::move(page)), manner_(manner)
    {
        listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), length) != 0 || ::listen(listener_, 1) != 0 ||
            ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
            ADD_FAILURE() << "no loopback server";
        port_ = ntohs(address.sin_port);
        thread_ = std::thread([this] { Serve(); });
    }
    ~PageServer()
    {
        stop_ = true;
        ::shutdown(listener_, SHUT_RDWR);
        thread_.join();
        ::close(listener_);
    }

    std::string Address() const { return "http://127.0.0.1:" + std::to_string(port_) + "/survanto/update.html"; }

private:
    void Serve()
    {
        pollfd waiting {listener_, POLLIN, 0};
        if (::poll(&waiting, 1, 10000) <= 0 || stop_) return;
        const int client = ::accept(listener_, nullptr, nullptr);
        if (client < 0) return;
        const std::string reply = "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n" + page_;
        if (manner_ == Manner::Whole) {
            for (std::size_t at = 0; at < reply.size() && !stop_;) {
                const ssize_t sent = ::send(client, reply.data() + at, reply.size() - at, MSG_NOSIGNAL);
                if (sent <= 0) break;
                at += static_cast<std::size_t>(sent);
            }
        } else {
            // Just inside a receive timeout, again and again, until the client gives up.
            for (std::size_t at = 0; !stop_; ++at) {
                std::this_thread::sleep_for(manner_ == Manner::Silent ? 50ms : 900ms);
                if (manner_ == Manner::Trickling && ::send(client, &reply[at % reply.size()], 1, MSG_NOSIGNAL) <= 0) break;
            }
        }
        ::close(client);
    }

    std::string page_;
    Manner manner_;
    int listener_ = -1;
    std::uint16_t port_ = 0;
    std::atomic<bool> stop_ {false};
    std::thread thread_;
};

struct StartUp {
    std::string alerts;
    std::string commands;
    std::chrono::steady_clock::duration took {};
};

// Starts the add-on with the page's address in its configuration; the alert is answered with the button.
StartUp StartWithUpdatePage(const std::string& address, short button = 2)
{
    DG::ClearRecordedAlerts();
    Win::ClearRecordedCommands();
    DG::QueueAlertAnswer(button);
    SimHost::Host::Options options;
    options.addOnPath = SURVANTO_APX_PATH;
    options.configLines = {"UpdateAddress " + address};
    SimHost::Host host(options);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(host.Start()) << host.LoadError();
    StartUp result;
    result.took = std::chrono::steady_clock::now() - start;
    for (const DG::AlertRecord& alert : DG::RecordedAlerts())
        result.alerts += "[" + alert.title.ToUtf8() + ": " + alert.text1.ToUtf8() + " | " + alert.text2.ToUtf8() + " | " +
                         alert.button1.ToUtf8() + "/" + alert.button2.ToUtf8() + "/" + alert.button3.ToUtf8() + "]";
    for (const Win::CommandRecord& command : Win::RecordedCommands()) result.commands += "[" + command.commandLine + "]";
    DG::ClearRecordedAlerts();
    DG::QueueAlertAnswer(1);
    return result;
}

std::string NewerAlert(const std::string& newest)
{
    return "[Survanto - Information: Es ist eine neue Version des Survanto verfügbar. | Ihre Versionsnummer  22.02 (24)\r\n"
           "Neueste Versionsnummer " +
           newest + " | Neueste Version herunterladen/Abbrechen/]";
}

}  // namespace

TEST(UpdateCheck, PagesAsCases)
{
    struct Case {
        const char* label;
        std::string page;
        std::string newest;  // empty: no alert
    };
    const Case cases[] = {
        {"newer", "<p>newest version: 22.03 (1)</p>", "22.03 (1)"},
        {"equal", "<p>newest version: 22.02 (24)</p>", ""},
        {"two, newest last", "newest version: 22.03 (1)<br>newest version: 22.04 (2)<br>", "22.04 (2)"},
        {"two, newest first", "newest version: 22.04 (2)<br>newest version: 22.03 (1)<br>", "22.04 (2)"},
        {"a bare number is old", "newest version: 5<", ""},
        {"a bare number above the own", "newest version: 123<", "123"},
        {"no closing bracket", "newest version: 22.03 (1)", ""},
        {"malformed", "newest version: soon<newest version: <", ""},
        {"a long text is cut to 19 characters", "newest version: 22.03 (1) with a very long tail<", "22.03 (1) with a ve"},
        {"no key", "<html>nothing here</html>", ""},
    };
    for (const Case& c : cases) {
        PageServer server(c.page, PageServer::Manner::Whole);
        const StartUp result = StartWithUpdatePage(server.Address());
        EXPECT_EQ(result.alerts, c.newest.empty() ? "" : NewerAlert(c.newest)) << c.label;
        EXPECT_EQ(result.commands, "") << c.label;
    }
}

TEST(UpdateCheck, TheFirstButtonOpensTheDownloadPage)
{
    PageServer server("newest version: 22.03 (1)<", PageServer::Manner::Whole);
    const StartUp result = StartWithUpdatePage(server.Address(), 1);
    EXPECT_EQ(result.alerts, NewerAlert("22.03 (1)"));
    EXPECT_EQ(result.commands, "[cmd.exe /c start https://www.survanto.example/download]");
}

TEST(UpdateCheck, UnreachablePagesChangeNothing)
{
    for (const std::string& address : {std::string(SimHost::LocalUpdateAddress), std::string("http://127.0.0.1:9/x")}) {
        const StartUp result = StartWithUpdatePage(address, 1);
        EXPECT_EQ(result.alerts, "") << address;
        EXPECT_LT(result.took, 2s) << address;
    }
}

TEST(UpdateCheck, SlowServersHoldTheStartAtMostThreeSeconds)
{
    for (const PageServer::Manner manner : {PageServer::Manner::Silent, PageServer::Manner::Trickling}) {
        PageServer server("newest version: 22.03 (1)<", manner);
        const StartUp result = StartWithUpdatePage(server.Address());
        EXPECT_LT(result.took, 4500ms) << static_cast<int>(manner);
        EXPECT_EQ(result.alerts, "") << static_cast<int>(manner);
    }
}

TEST(UpdateCheck, OnlyTheFirst64KiBOfAPageAreRead)
{
    const std::string filler(64 * 1024, 'x');
    PageServer early("newest version: 22.03 (1)<" + filler, PageServer::Manner::Whole);
    EXPECT_EQ(StartWithUpdatePage(early.Address()).alerts, NewerAlert("22.03 (1)"));
    PageServer late(filler + "newest version: 22.03 (1)<", PageServer::Manner::Whole);
    EXPECT_EQ(StartWithUpdatePage(late.Address()).alerts, "");
}

// The update alert at start-up shows which texts the current language has.
TEST(LanguageFiles, AMissingOneGivesTheGermanTexts)
{
    PageServer server("newest version: 22.03 (1)<", PageServer::Manner::Whole);
    DG::ClearRecordedAlerts();
    DG::QueueAlertAnswer(2);
    SimHost::Host::Options options;
    options.addOnPath = SURVANTO_APX_PATH;
    options.languageCode = "FRA";
    options.configLines = {"UpdateAddress " + server.Address()};
    SimHost::Host host(options);
    ASSERT_TRUE(host.Load());
    ASSERT_EQ(host.CheckEnvironment(), 2);
    host.RegisterInterface();
    std::filesystem::remove(std::filesystem::path(host.InstalledAddOnFolder()) / "SurvantoFra.lng");
    host.Initialize();
    ASSERT_EQ(DG::RecordedAlerts().size(), 1u);
    EXPECT_EQ(DG::RecordedAlerts().front().title.ToUtf8(), "Survanto - Information");
    EXPECT_EQ(DG::RecordedAlerts().front().text1.ToUtf8(), "Es ist eine neue Version des Survanto verfügbar.");
    DG::ClearRecordedAlerts();
}
