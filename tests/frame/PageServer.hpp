#pragma once
#include <atomic>
#include <cstdint>
#include <string>
#include <thread>

// A web server on the loopback address for one connection, plain or over TLS,
// and the certificates it may show.
namespace PageTest
{

// "HTTP/1.0 200 OK" and the page.
std::string OkReply(const std::string& page);

// A test authority, a server certificate it signed for 127.0.0.1 and localhost,
// one it signed for another name, and a self-signed one; all for one key. Made
// with the openssl tool in a folder of their own, removed at the end.
class Certificates
{
public:
    Certificates();
    ~Certificates();
    Certificates(const Certificates&) = delete;
    Certificates& operator=(const Certificates&) = delete;

    // False when they could not be made; the tool's words are in Log().
    bool IsMade() const { return made_; }
    const std::string& Log() const { return log_; }
    std::string Authority() const { return folder_ + "/authority.crt"; }
    std::string Signed() const { return folder_ + "/signed.crt"; }
    std::string SignedElsewhere() const { return folder_ + "/elsewhere.crt"; }
    std::string SelfSigned() const { return folder_ + "/self.crt"; }
    std::string Key() const { return folder_ + "/server.key"; }

private:
    bool Run(const std::string& arguments);

    std::string folder_;
    std::string log_;
    bool made_ = false;
};

struct TlsIdentity
{
    std::string certificate;
    std::string key;
};

class PageServer
{
public:
    // Whole: the reply once the request is in. Silent: accepts and answers
    // nothing until the client hangs up. Trickling: a byte of the reply now and
    // then until the client hangs up.
    enum class Manner
    {
        Whole,
        Silent,
        Trickling
    };

    PageServer(std::string reply, Manner manner, TlsIdentity tls = {});
    ~PageServer();
    PageServer(const PageServer&) = delete;
    PageServer& operator=(const PageServer&) = delete;

    std::string Address(const char* scheme = "http") const;
    // Whether the whole reply went out.
    bool Served() const { return served_; }

private:
    void Serve();
    void ServePlain(int client);
    void ServeTls(int client);
    // Until the client hangs up or the server stops; a byte of the reply each
    // time the client is quiet for a while when trickling.
    void WaitForHangUp(int client);
    enum class Ready
    {
        Readable,
        Stopped,
        Quiet
    };
    Ready WaitFor(int descriptor, int milliseconds) const;

    std::string reply_;
    Manner manner_;
    TlsIdentity tls_;
    int listener_ = -1;
    int stop_ = -1;
    std::uint16_t port_ = 0;
    std::atomic<bool> served_ {false};
    std::thread thread_;
};

}  // namespace PageTest
