#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <memory>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "Waiting.hpp"
#include "Win/Process.hpp"
#include "framework/BackgroundThreadList.hpp"
#include "framework/SystemUtilities.hpp"

namespace
{

std::string LastCommand()
{
    const auto commands = Win::RecordedCommands();
    return commands.empty() ? std::string() : commands.back().commandLine;
}

TEST(Commands, RunCommandStartsTheTextHiddenAndRefusesWhatDoesNotFit)
{
    Win::ClearRecordedCommands();
    RunCommand("0123456789");
    ASSERT_EQ(Win::RecordedCommands().size(), 1u);
    EXPECT_EQ(LastCommand(), "cmd.exe /c start 0123456789");
    EXPECT_EQ(LastCommand().size(), 27u);
    EXPECT_EQ(Win::RecordedCommands().back().showMode, Win::SW_HIDE);

    RunCommand(std::string(2482, 'a').c_str());
    EXPECT_EQ(LastCommand(), "cmd.exe /c start " + std::string(2482, 'a'));
    RunCommand(std::string(2483, 'b').c_str());
    EXPECT_EQ(Win::RecordedCommands().size(), 2u) << "a cut command would run something else";
}

TEST(Commands, BatchFilesAreCalledQuotedAndLongOrQuotedPathsRefused)
{
    Win::ClearRecordedCommands();
    EXPECT_TRUE(CallBatchFile("C:\\Survanto\\Handbuch.bat"));
    EXPECT_EQ(LastCommand(), "cmd.exe /c call \"C:\\Survanto\\Handbuch.bat\"");
    EXPECT_GT(CallBatchFileEx("TeamViewerQS.exe"), 31u);
    EXPECT_EQ(LastCommand(), "cmd.exe /c call \"TeamViewerQS.exe\"");

    const std::string longest(3481, 'p');
    EXPECT_TRUE(CallBatchFile(longest.c_str()));
    EXPECT_EQ(LastCommand().size(), 3499u);
    EXPECT_FALSE(CallBatchFile((longest + "p").c_str()));
    EXPECT_EQ(CallBatchFileEx((longest + "p").c_str()), 0u);
    EXPECT_FALSE(CallBatchFile("a\" & del x & \"b"));
    EXPECT_EQ(Win::RecordedCommands().size(), 3u);
}

TEST(BackgroundThreads, NumbersAreNeverReusedAndRemovingTwiceDeletesOnce)
{
    // Shared: a detached thread may still count after a failed test has returned.
    const auto ran = std::make_shared<std::atomic<int>>(0);
    const auto count = [ran] { return ++*ran, 0; };
    const std::int32_t first = StartBackgroundThread(count);
    const std::int32_t second = StartBackgroundThread(count);
    ASSERT_GT(first, 0);
    EXPECT_EQ(second, first + 1);
    EXPECT_TRUE(RemoveBackgroundThread(first));
    EXPECT_TRUE(RemoveBackgroundThread(first));
    EXPECT_EQ(StartBackgroundThread(count), first + 2);
    for (const std::int32_t ignored : {0, -1, first + 1000}) EXPECT_TRUE(RemoveBackgroundThread(ignored));
    EXPECT_TRUE(WaitUntil([&ran] { return *ran == 3; })) << "only " << *ran << " of 3 threads ran";
}

// The thread ends only when its stop opens the gate; one that gave up waiting
// does not count as stopped.
TEST(BackgroundThreads, RemovingAStoppableThreadStopsItAndWaitsForItsEnd)
{
    Gate stop;
    std::atomic<bool> ended {false};
    const std::int32_t number = StartBackgroundThread(
        [&] {
            ended = stop.Wait();
            return 0;
        },
        [&] { stop.Open(); });
    ASSERT_GT(number, 0);
    RemoveBackgroundThread(number);
    EXPECT_TRUE(ended);
}

TEST(BackgroundThreads, ClearingTheListStopsAndJoinsEveryStoppableThread)
{
    Gate stop;
    std::atomic<int> ended {0};
    const auto waitForStop = [&] {
        if (stop.Wait()) ++ended;
        return 0;
    };
    for (int i = 0; i < 3; ++i) ASSERT_GT(StartBackgroundThread(waitForStop, [&] { stop.Open(); }), 0);
    ClearBackgroundThreadList();
    EXPECT_EQ(ended, 3);
}

TEST(DynamicLibraries, LoadsAnExportAndAnswersNullForWhatIsMissing)
{
    const DynamicLibrary library = LoadDynamicLibrary("libm.so.6");
    ASSERT_NE(library, nullptr);
    const auto cosine = reinterpret_cast<double (*)(double)>(GetLibraryFunction(library, "cos"));
    ASSERT_NE(cosine, nullptr);
    EXPECT_DOUBLE_EQ(cosine(0.0), 1.0);
    EXPECT_EQ(GetLibraryFunction(library, "NoSuchExport"), nullptr);
    FreeDynamicLibrary(library);
    EXPECT_EQ(GetLibraryFunction(nullptr, "cos"), nullptr);
    EXPECT_EQ(LoadDynamicLibrary("/nonexistent/Survanto.gdx"), nullptr);
    FreeDynamicLibrary(nullptr);
}

// A server on the loopback address for one connection.
class LoopbackServer
{
public:
    LoopbackServer()
    {
        fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (::bind(fd_, reinterpret_cast<sockaddr*>(&address), length) != 0 || ::listen(fd_, 1) != 0 ||
            ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
            ADD_FAILURE() << "no loopback server";
        port_ = ntohs(address.sin_port);
    }
    ~LoopbackServer()
    {
        if (thread_.joinable()) thread_.join();
        ::close(fd_);
    }

    // Answers the request with the reply, written in parts.
    void Answer(std::string reply)
    {
        thread_ = std::thread([this, reply = std::move(reply)] {
            const int client = ::accept(fd_, nullptr, nullptr);
            if (client < 0) return;
            char buffer[4096];
            while (request_.find("\r\n\r\n") == std::string::npos)
            {
                const ssize_t got = ::recv(client, buffer, sizeof buffer, 0);
                if (got <= 0) break;
                request_.append(buffer, static_cast<std::size_t>(got));
            }
            for (std::size_t at = 0; at < reply.size(); at += 7000)
                ::send(client, reply.data() + at, std::min<std::size_t>(7000, reply.size() - at), MSG_NOSIGNAL);
            ::close(client);
        });
    }

    std::string Url(const std::string& rest) const { return "127.0.0.1:" + std::to_string(port_) + rest; }
    const std::string& Request() const { return request_; }

private:
    int fd_ = -1;
    std::uint16_t port_ = 0;
    std::thread thread_;
    std::string request_;
};

TEST(HttpGet, GivesTheBodyOfA200AnswerUpTo64KiB)
{
    struct Case
    {
        const char* label;
        std::string body;
        std::size_t kept;
    };
    const Case cases[] = {
        {"written in parts", "newest version: 22.03\n" + std::string(20000, 'x') + "tail", 20026},
        {"empty", "", 0},
        {"a zero byte inside", std::string("a\0b", 3), 3},
        {"longer than the cap", std::string(HttpMaxResponse + 9000, 'y'), HttpMaxResponse},
    };
    for (const Case& c : cases)
    {
        LoopbackServer server;
        server.Answer("HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n\r\n" + c.body);
        std::string output = "old";
        EXPECT_TRUE(HttpGet(("http://" + server.Url("/survanto/version.txt")).c_str(), output)) << c.label;
        EXPECT_EQ(output, c.body.substr(0, c.kept)) << c.label;
    }
}

TEST(HttpGet, OnlyA200AnswerCounts)
{
    const char* const replies[] = {
        "HTTP/1.0 404 Not Found\r\n\r\nnewest version: 22.03 (1)<",
        "HTTP/1.0 500 Internal Server Error\r\n\r\nnewest version: 22.03 (1)<",
        "HTTP/1.0 302 Found\r\nLocation: /elsewhere\r\n\r\nnewest version: 22.03 (1)<",
        "HTTP/1.0 204 No Content\r\n\r\n",
        "newest version: 22.03 (1)<",
    };
    for (const char* reply : replies)
    {
        LoopbackServer server;
        server.Answer(reply);
        std::string output = "old";
        EXPECT_FALSE(HttpGet(("http://" + server.Url("/")).c_str(), output)) << reply;
        EXPECT_EQ(output, "") << reply;
    }
}

TEST(HttpGet, AsksForThePathOfTheAddress)
{
    struct Case
    {
        const char* rest;
        const char* requestLine;
    };
    const Case cases[] = {
        {"/survanto/update.html", "GET /survanto/update.html HTTP/1.0\r\n"},
        {"", "GET / HTTP/1.0\r\n"},
    };
    for (const char* scheme : {"http://", ""})
        for (const Case& c : cases)
        {
            LoopbackServer server;
            server.Answer("HTTP/1.0 200 OK\r\n\r\npage");
            const std::string url = scheme + server.Url(c.rest);
            std::string output;
            EXPECT_TRUE(HttpGet(url.c_str(), output)) << url;
            EXPECT_EQ(output, "page") << url;
            EXPECT_EQ(server.Request().rfind(c.requestLine, 0), 0u) << server.Request();
            EXPECT_NE(server.Request().find("\r\nHost: 127.0.0.1:"), std::string::npos) << server.Request();
        }
}

TEST(HttpGet, ASilentServerEndsInATimeoutNotAHang)
{
    LoopbackServer server;  // listens, never accepts nor answers
    std::string output = "old";
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(HttpGetWithin(("http://" + server.Url("/")).c_str(), output, std::chrono::milliseconds(300)));
    // Without the timeout the call would never return: any bound of seconds tells the two apart.
    EXPECT_LT(std::chrono::steady_clock::now() - start, HangGuard) << "the timeout of 300 ms did not end the wait";
    EXPECT_TRUE(output.empty());
}

TEST(HttpGet, FailuresAreReportedAsFailures)
{
    std::string output = "old";
    EXPECT_FALSE(HttpGet("http://nonexistent.invalid/version.txt", output)) << "an unresolvable host";
    EXPECT_TRUE(output.empty());
    EXPECT_FALSE(HttpGet(nullptr, output));
    EXPECT_FALSE(HttpGet("http://127.0.0.1:9/x", output)) << "nobody listening";

    LoopbackServer server;  // never asked
    EXPECT_FALSE(HttpGet(("ftp://" + server.Url("/")).c_str(), output)) << "a scheme other than http and https";
    EXPECT_TRUE(output.empty());
}

}  // namespace
