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

#include "BackgroundThreadList.hpp"
#include "SystemUtilities.hpp"
#include "Waiting.hpp"
#include "Win/Process.hpp"

namespace {

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

TEST(HttpGet, SplitsTheUrlIntoHostPathAndPort)
{
    struct Case {
        const char* url;
        const char* host;
        const char* path;
        std::uint16_t port;
    };
    const Case cases[] = {
        {"updates.example.org", "updates.example.org", "", 80},
        {"http://updates.example.org/survanto/version.txt", "updates.example.org", "survanto/version.txt", 80},
        {"https://updates.example.org/v", "updates.example.org", "v", 443},
        {"updates.example.org/", "updates.example.org", "", 80},
        {"http://127.0.0.1:8047/update.html", "127.0.0.1", "update.html", 8047},
        {"https://127.0.0.1:9", "127.0.0.1", "", 9},
        {"http://host:99999/x", "host:99999", "x", 80},
    };
    for (const Case& c : cases) {
        const HttpTarget target = SplitHttpUrl(c.url);
        EXPECT_EQ(target.host, c.host) << c.url;
        EXPECT_EQ(target.path, c.path) << c.url;
        EXPECT_EQ(target.port, c.port) << c.url;
    }
}

// A server on the loopback address for one connection.
class LoopbackServer {
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
            while (request_.find("\r\n\r\n") == std::string::npos) {
                const ssize_t got = ::recv(client, buffer, sizeof buffer, 0);
                if (got <= 0) break;
                request_.append(buffer, static_cast<std::size_t>(got));
            }
            for (std::size_t at = 0; at < reply.size(); at += 7000)
                ::send(client, reply.data() + at, std::min<std::size_t>(7000, reply.size() - at), MSG_NOSIGNAL);
            ::close(client);
        });
    }

    HttpTarget Target(const std::string& path) const { return HttpTarget {"127.0.0.1", path, port_}; }
    const std::string& Request() const { return request_; }

private:
    int fd_ = -1;
    std::uint16_t port_ = 0;
    std::thread thread_;
    std::string request_;
};

TEST(HttpGet, ReadsTheWholeResponseAcrossFullChunks)
{
    LoopbackServer server;
    // Exactly two full receive chunks and a bit: the chunk end must not run past its buffer.
    const std::string reply = "HTTP/1.0 200 OK\r\n\r\nnewest version: 22.03\n" + std::string(20000 - 40, 'x') + "tail";
    server.Answer(reply);
    std::string output = "old";
    EXPECT_TRUE(HttpGetFrom(server.Target("survanto/version.txt"), output));
    EXPECT_EQ(output, reply);
    EXPECT_EQ(server.Request(), "GET /survanto/version.txt HTTP/1.0\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n");
}

TEST(HttpGet, ASilentServerEndsInATimeoutNotAHang)
{
    LoopbackServer server;  // listens, never accepts nor answers
    std::string output;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(HttpGetFrom(server.Target(""), output, std::chrono::milliseconds(300)));
    // Without the timeout the call would never return: any bound of seconds tells the two apart.
    EXPECT_LT(std::chrono::steady_clock::now() - start, HangGuard) << "the timeout of 300 ms did not end the wait";
    EXPECT_TRUE(output.empty());
}

TEST(HttpGet, FailuresAreReportedAsFailures)
{
    std::string output = "old";
    EXPECT_FALSE(HttpGet("http://nonexistent.invalid/version.txt", output)) << "an unresolvable host";
    EXPECT_TRUE(output.empty());

    LoopbackServer server;
    server.Answer("HTTP/1.0 200 OK\r\n\r\n");
    EXPECT_FALSE(HttpGetFrom(server.Target(std::string(2000, 'p')), output)) << "a request that does not fit";
    EXPECT_TRUE(HttpGetFrom(server.Target(""), output));
    EXPECT_EQ(server.Request().rfind("GET / HTTP/1.0\r\n", 0), 0u);
}

}  // namespace
