#include "SystemUtilities.hpp"

#include <dlfcn.h>
#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "Win/Process.hpp"
#include "Win/WinStandIns.hpp"

namespace {

constexpr std::uint32_t SoundFromFileName = 0x20000;

// The command buffers, each with room for its terminator.
constexpr std::size_t RunCommandBuffer = 2500;
constexpr std::size_t BatchCommandBuffer = 3500;
constexpr std::size_t RequestBuffer = 2000;
constexpr std::size_t ReceiveChunk = 10000;

// Empty when the line would not fit its buffer: a cut command would run something else.
std::string CommandLine(const std::string& prefix, const std::string& text, const std::string& suffix, std::size_t buffer)
{
    const std::string line = prefix + text + suffix;
    return line.size() < buffer ? line : std::string();
}

// A quote inside the path would end the quoted argument early.
std::string BatchCommandLine(const char* path)
{
    if (path == nullptr || std::strchr(path, '"') != nullptr) return {};
    return CommandLine("cmd.exe /c call \"", path, "\"", BatchCommandBuffer);
}

class Socket {
public:
    explicit Socket(int fd) : fd_(fd) {}
    ~Socket()
    {
        if (fd_ >= 0) ::close(fd_);
    }
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;
    int fd() const { return fd_; }

private:
    int fd_;
};

struct AddressListDeleter {
    void operator()(addrinfo* list) const { ::freeaddrinfo(list); }
};
using AddressList = std::unique_ptr<addrinfo, AddressListDeleter>;

AddressList Resolve(const HttpTarget& target)
{
    addrinfo hints {};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICSERV;
    addrinfo* list = nullptr;
    if (::getaddrinfo(target.host.c_str(), std::to_string(target.port).c_str(), &hints, &list) != 0) return nullptr;
    return AddressList(list);
}

using Deadline = std::chrono::steady_clock::time_point;

int MillisecondsLeft(Deadline deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    return static_cast<int>(std::max<std::chrono::milliseconds::rep>(0, left.count()));
}

bool WaitFor(int fd, short events, Deadline deadline)
{
    pollfd entry {fd, events, 0};
    int ready = 0;
    do {
        ready = ::poll(&entry, 1, MillisecondsLeft(deadline));
    } while (ready < 0 && errno == EINTR);
    return ready > 0;
}

// Connects without blocking past the deadline.
bool Connect(const Socket& socket, const addrinfo& address, Deadline deadline)
{
    const int flags = ::fcntl(socket.fd(), F_GETFL, 0);
    if (flags < 0 || ::fcntl(socket.fd(), F_SETFL, flags | O_NONBLOCK) < 0) return false;
    if (::connect(socket.fd(), address.ai_addr, address.ai_addrlen) != 0) {
        if (errno != EINPROGRESS || !WaitFor(socket.fd(), POLLOUT, deadline)) return false;
        int error = 0;
        socklen_t length = sizeof error;
        if (::getsockopt(socket.fd(), SOL_SOCKET, SO_ERROR, &error, &length) != 0 || error != 0) return false;
    }
    return true;
}

// Sends all of it: a stream socket may take a request in several parts.
bool SendAll(const Socket& socket, const char* data, std::size_t size, Deadline deadline)
{
    while (size > 0) {
        const ssize_t sent = ::send(socket.fd(), data, size, MSG_NOSIGNAL);
        if (sent > 0) {
            data += sent;
            size -= static_cast<std::size_t>(sent);
        } else if (sent < 0 && errno == EINTR) {
            continue;
        } else if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (!WaitFor(socket.fd(), POLLOUT, deadline)) return false;
        } else {
            return false;
        }
    }
    return true;
}

// Until the peer closes, a receive fails, the deadline passes or the most a
// response may hold has come; false only when nothing at all arrived in time.
// A server trickling bytes cannot hold the caller past the deadline.
bool ReceiveAll(const Socket& socket, std::string& output, Deadline deadline)
{
    char chunk[ReceiveChunk + 1];
    bool anything = false;
    std::size_t total = 0;
    while (total < HttpMaxResponse) {
        if (!WaitFor(socket.fd(), POLLIN, deadline)) return anything;
        const ssize_t received = ::recv(socket.fd(), chunk, std::min(ReceiveChunk, HttpMaxResponse - total), 0);
        if (received < 0 && (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK)) continue;
        if (received <= 0) return true;
        anything = true;
        total += static_cast<std::size_t>(received);
        chunk[received] = '\0';
        // Text up to the chunk's first zero byte, as the page is read as text.
        output.append(chunk, std::strlen(chunk));
    }
    return true;
}

}  // namespace

void RunCommand(const char* text)
{
    const std::string line = CommandLine("cmd.exe /c start ", text == nullptr ? "" : text, "", RunCommandBuffer);
    if (!line.empty()) Win::WinExec(line, Win::SW_HIDE);
}

bool CallBatchFile(const char* path)
{
    const std::string line = BatchCommandLine(path);
    if (line.empty()) return false;
    Win::WinExec(line, Win::SW_HIDE);
    return true;
}

std::uint32_t CallBatchFileEx(const char* path)
{
    const std::string line = BatchCommandLine(path);
    return line.empty() ? 0 : Win::WinExec(line, Win::SW_HIDE);
}

DynamicLibrary LoadDynamicLibrary(const char* path)
{
    return path == nullptr ? nullptr : ::dlopen(path, RTLD_NOW | RTLD_LOCAL);
}

LibraryFunction GetLibraryFunction(DynamicLibrary library, const char* name)
{
    return library == nullptr || name == nullptr ? nullptr : ::dlsym(library, name);
}

void FreeDynamicLibrary(DynamicLibrary library)
{
    if (library != nullptr) ::dlclose(library);
}

HttpTarget SplitHttpUrl(const std::string& url)
{
    HttpTarget target;
    std::string rest = url;
    if (url.rfind("http://", 0) == 0) {
        rest = url.substr(7);
    } else if (url.rfind("https://", 0) == 0) {
        rest = url.substr(8);
        target.port = 443;
    }
    const std::size_t slash = rest.find('/');
    target.host = rest.substr(0, slash);
    if (slash != std::string::npos) target.path = rest.substr(slash + 1);
    const std::size_t colon = target.host.rfind(':');
    if (colon != std::string::npos) {
        const std::string port = target.host.substr(colon + 1);
        const bool digits = !port.empty() && port.size() <= 5 && port.find_first_not_of("0123456789") == std::string::npos;
        if (digits && std::stoul(port) > 0 && std::stoul(port) <= 65535) {
            target.port = static_cast<std::uint16_t>(std::stoul(port));
            target.host.erase(colon);
        }
    }
    return target;
}

bool HttpGet(const char* url, std::string& output)
{
    output.clear();
    return url != nullptr && HttpGetFrom(SplitHttpUrl(url), output);
}

bool HttpGetFrom(const HttpTarget& target, std::string& output, std::chrono::milliseconds timeout)
{
    output.clear();
    const Deadline deadline = std::chrono::steady_clock::now() + timeout;
    char request[RequestBuffer];
    const int length = std::snprintf(request, sizeof request, "GET /%s HTTP/1.0\r\nHost: %s\r\nConnection: close\r\n\r\n",
                                     target.path.c_str(), target.host.c_str());
    if (length < 0 || static_cast<std::size_t>(length) >= sizeof request) return false;

    const AddressList addresses = Resolve(target);
    if (addresses == nullptr) return false;
    const addrinfo& first = *addresses;
    const Socket socket(::socket(first.ai_family, first.ai_socktype | SOCK_CLOEXEC, first.ai_protocol));
    if (socket.fd() < 0 || !Connect(socket, first, deadline)) return false;
    if (!SendAll(socket, request, static_cast<std::size_t>(length), deadline)) return false;
    return ReceiveAll(socket, output, deadline);
}

bool PlaySoundFile(const char* path) { return Win::PlaySound(path == nullptr ? "" : path, SoundFromFileName); }
