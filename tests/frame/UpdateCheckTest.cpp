#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>

#include "DG/DG.hpp"
#include "Host.hpp"
#include "PageServer.hpp"
#include "Win/Process.hpp"
#include "Win/WinStandIns.hpp"

namespace
{

using namespace std::chrono_literals;
using PageTest::OkReply;
using PageTest::PageServer;

// Ends the test program when a start-up has not ended long after the check's
// deadline: a hang would otherwise stall the whole suite without a word.
class HangGuard
{
public:
    HangGuard()
        : thread_([this] {
              std::unique_lock<std::mutex> lock(mutex_);
              if (released_.wait_for(lock, 60s, [this] { return done_; })) return;
              std::fprintf(stderr, "the add-on's start did not end within 60 s: the update check hangs\n");
              std::abort();
          })
    {}
    ~HangGuard()
    {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            done_ = true;
        }
        released_.notify_all();
        thread_.join();
    }
    HangGuard(const HangGuard&) = delete;
    HangGuard& operator=(const HangGuard&) = delete;

private:
    std::mutex mutex_;
    std::condition_variable released_;
    bool done_ = false;
    std::thread thread_;
};

// SSL_CERT_FILE for as long as it lives; an empty store leaves the system's.
class CertificateStore
{
public:
    explicit CertificateStore(const std::string& file)
    {
        if (file.empty())
            ::unsetenv("SSL_CERT_FILE");
        else
            ::setenv("SSL_CERT_FILE", file.c_str(), 1);
    }
    ~CertificateStore() { ::unsetenv("SSL_CERT_FILE"); }
    CertificateStore(const CertificateStore&) = delete;
    CertificateStore& operator=(const CertificateStore&) = delete;
};

struct StartUp
{
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
    {
        const HangGuard guard;
        EXPECT_TRUE(host.Start()) << host.LoadError();
    }
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
    struct Case
    {
        const char* label;
        std::string reply;
        std::string newest;  // empty: no alert
    };
    const Case cases[] = {
        {"newer", OkReply("<p>newest version: 22.03 (1)</p>"), "22.03 (1)"},
        {"equal", OkReply("<p>newest version: 22.02 (24)</p>"), ""},
        {"two, newest last", OkReply("newest version: 22.03 (1)<br>newest version: 22.04 (2)<br>"), "22.04 (2)"},
        {"two, newest first", OkReply("newest version: 22.04 (2)<br>newest version: 22.03 (1)<br>"), "22.04 (2)"},
        {"a bare number is old", OkReply("newest version: 5<"), ""},
        {"a bare number above the own", OkReply("newest version: 123<"), "123"},
        {"no closing bracket", OkReply("newest version: 22.03 (1)"), ""},
        {"malformed", OkReply("newest version: soon<newest version: <"), ""},
        {"a long text is cut to 19 characters", OkReply("newest version: 22.03 (1) with a very long tail<"),
         "22.03 (1) with a ve"},
        {"no key", OkReply("<html>nothing here</html>"), ""},
        {"a missing page", "HTTP/1.0 404 Not Found\r\n\r\n<p>newest version: 22.03 (1)</p>", ""},
        {"a server error", "HTTP/1.0 500 Internal Server Error\r\n\r\n<p>newest version: 22.03 (1)</p>", ""},
        {"a redirect", "HTTP/1.0 302 Found\r\nLocation: /elsewhere\r\n\r\n<p>newest version: 22.03 (1)</p>", ""},
        {"no status line", "<p>newest version: 22.03 (1)</p>", ""},
    };
    for (const Case& c : cases)
    {
        PageServer server(c.reply, PageServer::Manner::Whole);
        const StartUp result = StartWithUpdatePage(server.Address());
        EXPECT_EQ(result.alerts, c.newest.empty() ? "" : NewerAlert(c.newest)) << c.label;
        EXPECT_EQ(result.commands, "") << c.label;
    }
}

TEST(UpdateCheck, TheFirstButtonOpensTheDownloadPage)
{
    PageServer server(OkReply("newest version: 22.03 (1)<"), PageServer::Manner::Whole);
    const StartUp result = StartWithUpdatePage(server.Address(), 1);
    EXPECT_EQ(result.alerts, NewerAlert("22.03 (1)"));
    EXPECT_EQ(result.commands, "[cmd.exe /c start https://www.survanto.example/download]");
}

// The page comes only from a server whose certificate the store vouches for,
// issued for the name in the address.
TEST(UpdateCheck, HttpsTrustsOnlyAVerifiedCertificate)
{
    const PageTest::Certificates certificates;
    ASSERT_TRUE(certificates.IsMade()) << certificates.Log();
    struct Case
    {
        const char* label;
        std::string certificate;
        std::string store;  // empty: the system's
        bool shown;
    };
    const Case cases[] = {
        {"signed by the trusted authority", certificates.Signed(), certificates.Authority(), true},
        {"self-signed", certificates.SelfSigned(), certificates.Authority(), false},
        {"signed for another name", certificates.SignedElsewhere(), certificates.Authority(), false},
        {"an authority the system does not know", certificates.Signed(), "", false},
    };
    for (const Case& c : cases)
    {
        const CertificateStore store(c.store);
        PageServer server(OkReply("newest version: 22.03 (1)<"), PageServer::Manner::Whole, {c.certificate, certificates.Key()});
        const StartUp result = StartWithUpdatePage(server.Address("https"), 1);
        EXPECT_EQ(result.alerts, c.shown ? NewerAlert("22.03 (1)") : "") << c.label;
        EXPECT_EQ(result.commands, c.shown ? "[cmd.exe /c start https://www.survanto.example/download]" : "") << c.label;
        EXPECT_EQ(server.Served(), c.shown) << c.label;
    }
}

TEST(UpdateCheck, UnreachablePagesChangeNothing)
{
    for (const std::string& address :
         {std::string(SimHost::LocalUpdateAddress), std::string("http://127.0.0.1:9/x"), std::string("https://127.0.0.1:9/x")})
    {
        const StartUp result = StartWithUpdatePage(address, 1);
        EXPECT_EQ(result.alerts, "") << address;
        EXPECT_EQ(result.commands, "") << address;
    }
}

// A server that takes the connection and then holds it: the start goes on
// after the check's deadline, with nothing shown.
TEST(UpdateCheck, SlowServersDoNotHoldTheStart)
{
    struct Case
    {
        const char* label;
        PageServer::Manner manner;
        const char* scheme;
    };
    const Case cases[] = {
        {"silent", PageServer::Manner::Silent, "http"},
        {"trickling", PageServer::Manner::Trickling, "http"},
        {"silent before the TLS handshake", PageServer::Manner::Silent, "https"},
    };
    for (const Case& c : cases)
    {
        PageServer server(OkReply("newest version: 22.03 (1)<"), c.manner);
        const StartUp result = StartWithUpdatePage(server.Address(c.scheme));
        EXPECT_LT(result.took, 20s) << c.label;
        EXPECT_EQ(result.alerts, "") << c.label;
    }
}

TEST(UpdateCheck, OnlyTheFirst64KiBOfAPageAreRead)
{
    const std::string filler(64 * 1024, 'x');
    PageServer early(OkReply("newest version: 22.03 (1)<" + filler), PageServer::Manner::Whole);
    EXPECT_EQ(StartWithUpdatePage(early.Address()).alerts, NewerAlert("22.03 (1)"));
    PageServer late(OkReply(filler + "newest version: 22.03 (1)<"), PageServer::Manner::Whole);
    EXPECT_EQ(StartWithUpdatePage(late.Address()).alerts, "");
}

// The update alert at start-up shows which texts the current language has.
TEST(LanguageFiles, AMissingOneGivesTheGermanTexts)
{
    PageServer server(OkReply("newest version: 22.03 (1)<"), PageServer::Manner::Whole);
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
