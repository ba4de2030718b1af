#include "PageServer.hpp"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <openssl/ssl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include <gtest/gtest.h>

namespace PageTest
{

namespace
{

// Only against a hang: a test that works never comes near it.
constexpr int GuardMs = 30000;
constexpr int TrickleMs = 100;

// The authority, and the extensions each server certificate carries.
constexpr const char* OpensslConfiguration = R"([req]
distinguished_name = name
prompt = no
[name]
CN = Survanto Test
[authority]
basicConstraints = critical, CA:TRUE
keyUsage = critical, keyCertSign, cRLSign
subjectKeyIdentifier = hash
[server]
basicConstraints = CA:FALSE
keyUsage = critical, digitalSignature
extendedKeyUsage = serverAuth
subjectAltName = IP:127.0.0.1, DNS:localhost
[elsewhere]
basicConstraints = CA:FALSE
keyUsage = critical, digitalSignature
extendedKeyUsage = serverAuth
subjectAltName = DNS:updates.elsewhere.example
)";

constexpr const char* NewKey = "-newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes";

struct ContextDeleter
{
    void operator()(SSL_CTX* context) const { SSL_CTX_free(context); }
};
struct SslDeleter
{
    void operator()(SSL* ssl) const { SSL_free(ssl); }
};

bool HasWholeRequest(const std::string& request) { return request.find("\r\n\r\n") != std::string::npos; }

}  // namespace

std::string OkReply(const std::string& page) { return "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n" + page; }

Certificates::Certificates()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "survanto-certificates-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr)
    {
        log_ = "no folder for the certificates";
        return;
    }
    folder_ = pattern;
    std::ofstream(folder_ + "/openssl.cnf") << OpensslConfiguration;
    const std::string days = " -days 2 -config openssl.cnf";
    made_ =
        Run(std::string("req -x509 ") + NewKey + " -keyout authority.key -out authority.crt -extensions authority" + days +
            " -subj /CN=Survanto-Test-Authority") &&
        Run(std::string("req -new ") + NewKey + " -keyout server.key -out server.csr -config openssl.cnf -subj /CN=localhost") &&
        Run("x509 -req -in server.csr -CA authority.crt -CAkey authority.key -CAcreateserial -out signed.crt -days 2"
            " -extfile openssl.cnf -extensions server") &&
        Run("x509 -req -in server.csr -CA authority.crt -CAkey authority.key -CAcreateserial -out elsewhere.crt -days 2"
            " -extfile openssl.cnf -extensions elsewhere") &&
        Run("req -x509 -key server.key -out self.crt -extensions server" + days + " -subj /CN=localhost");
    if (made_) return;
    std::ostringstream words;
    words << std::ifstream(folder_ + "/openssl.log").rdbuf();
    log_ = words.str();
}

Certificates::~Certificates()
{
    if (folder_.empty()) return;
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

bool Certificates::Run(const std::string& arguments)
{
    const std::string command = "cd '" + folder_ + "' && openssl " + arguments + " >>openssl.log 2>&1";
    return std::system(command.c_str()) == 0;
}

PageServer::PageServer(std::string reply, Manner manner, TlsIdentity tls)
    : reply_(std::move(reply)), manner_(manner), tls_(std::move(tls))
{
    // A client that refuses the certificate hangs up while TLS still writes to it.
    std::signal(SIGPIPE, SIG_IGN);
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    stop_ = ::eventfd(0, EFD_CLOEXEC);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (stop_ < 0 || ::bind(listener_, reinterpret_cast<sockaddr*>(&address), length) != 0 || ::listen(listener_, 1) != 0 ||
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        ADD_FAILURE() << "no loopback server";
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { Serve(); });
}

PageServer::~PageServer()
{
    const std::uint64_t one = 1;
    if (::write(stop_, &one, sizeof one) != sizeof one) ADD_FAILURE() << "the server cannot be stopped";
    thread_.join();
    ::close(listener_);
    ::close(stop_);
}

std::string PageServer::Address(const char* scheme) const
{
    return std::string(scheme) + "://127.0.0.1:" + std::to_string(port_) + "/survanto/update.html";
}

PageServer::Ready PageServer::WaitFor(int descriptor, int milliseconds) const
{
    pollfd entries[] = {{descriptor, POLLIN, 0}, {stop_, POLLIN, 0}};
    const int ready = ::poll(entries, 2, milliseconds);
    if (ready < 0 || entries[1].revents != 0) return Ready::Stopped;
    return ready == 0 ? Ready::Quiet : Ready::Readable;
}

void PageServer::Serve()
{
    if (WaitFor(listener_, GuardMs) != Ready::Readable) return;
    const int client = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    if (client < 0) return;
    const timeval guard {GuardMs / 1000, 0};
    ::setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, &guard, sizeof guard);
    ::setsockopt(client, SOL_SOCKET, SO_SNDTIMEO, &guard, sizeof guard);
    if (manner_ != Manner::Whole)
        WaitForHangUp(client);
    else if (tls_.certificate.empty())
        ServePlain(client);
    else
        ServeTls(client);
    ::close(client);
}

// The request is read first: closing on unread bytes would reset the connection
// and could lose the reply.
void PageServer::ServePlain(int client)
{
    std::string request;
    char buffer[4096];
    while (!HasWholeRequest(request))
    {
        const ssize_t got = ::recv(client, buffer, sizeof buffer, 0);
        if (got <= 0) return;
        request.append(buffer, static_cast<std::size_t>(got));
    }
    for (std::size_t at = 0; at < reply_.size();)
    {
        const ssize_t sent = ::send(client, reply_.data() + at, reply_.size() - at, MSG_NOSIGNAL);
        if (sent <= 0) return;
        at += static_cast<std::size_t>(sent);
    }
    served_ = true;
}

void PageServer::ServeTls(int client)
{
    const std::unique_ptr<SSL_CTX, ContextDeleter> context(SSL_CTX_new(TLS_server_method()));
    if (context == nullptr || SSL_CTX_use_certificate_chain_file(context.get(), tls_.certificate.c_str()) != 1 ||
        SSL_CTX_use_PrivateKey_file(context.get(), tls_.key.c_str(), SSL_FILETYPE_PEM) != 1)
    {
        ADD_FAILURE() << "the server cannot use " << tls_.certificate;
        return;
    }
    const std::unique_ptr<SSL, SslDeleter> ssl(SSL_new(context.get()));
    if (ssl == nullptr || SSL_set_fd(ssl.get(), client) != 1 || SSL_accept(ssl.get()) != 1) return;
    std::string request;
    char buffer[4096];
    while (!HasWholeRequest(request))
    {
        const int got = SSL_read(ssl.get(), buffer, sizeof buffer);
        if (got <= 0) return;
        request.append(buffer, static_cast<std::size_t>(got));
    }
    if (SSL_write(ssl.get(), reply_.data(), static_cast<int>(reply_.size())) != static_cast<int>(reply_.size())) return;
    served_ = true;
    SSL_shutdown(ssl.get());
}

void PageServer::WaitForHangUp(int client)
{
    char buffer[4096];
    for (std::size_t at = 0;;)
    {
        const Ready ready = WaitFor(client, manner_ == Manner::Trickling ? TrickleMs : GuardMs);
        if (ready == Ready::Stopped) return;
        if (ready == Ready::Quiet)
        {
            if (manner_ != Manner::Trickling || reply_.empty()) return;
            if (::send(client, &reply_[at++ % reply_.size()], 1, MSG_NOSIGNAL) <= 0) return;
            continue;
        }
        if (::recv(client, buffer, sizeof buffer, 0) <= 0) return;
    }
}

}  // namespace PageTest
