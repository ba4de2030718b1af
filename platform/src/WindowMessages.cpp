#include "Win/WindowMessages.hpp"

#include <dirent.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <sstream>
#include <vector>

#include "MessageDispatch.hpp"
#include "Win/WinStandIns.hpp"

namespace Win
{

namespace
{

// At process exit the receivers' table may go before an add-on's receiver does.
bool dispatchGone = false;

struct HandledReceiver
{
    MessageReceiver* receiver = nullptr;
    MessageReceiver::Handler handler;
    int socket = -1;
};

struct Dispatch
{
    ~Dispatch() { dispatchGone = true; }
    std::mutex mutex;
    std::string folder;
    std::uint64_t nextId = 1;
    std::map<std::uint64_t, HandledReceiver> receivers;
};

Dispatch& TheDispatch()
{
    static Dispatch dispatch;
    return dispatch;
}

std::string DefaultMessageFolder()
{
    const char* variable = std::getenv(MessageFolderVariable);
    if (variable != nullptr && *variable != '\0') return variable;
    return "/tmp/survanto-messages-" + std::to_string(getuid());
}

std::string OctalMode(mode_t mode)
{
    std::ostringstream text;
    text << '0' << std::oct << (mode & 0777);
    return text.str();
}

// Whoever made the folder hears every message sent there and may send any: only
// a folder of this user's own that nobody else may enter is used. Empty when
// it is sound.
std::string WhyFolderIsUnsafe(const std::string& folder)
{
    struct stat status
    {};
    if (lstat(folder.c_str(), &status) != 0) return std::string("it cannot be examined: ") + std::strerror(errno);
    if (S_ISLNK(status.st_mode)) return "it is a symbolic link";
    if (!S_ISDIR(status.st_mode)) return "it is not a folder";
    if (status.st_uid != geteuid()) return "it belongs to user " + std::to_string(status.st_uid);
    if ((status.st_mode & (S_IRWXG | S_IRWXO)) != 0) return "other users may enter it (mode " + OctalMode(status.st_mode) + ")";
    return {};
}

void PutLittleEndian(std::uint64_t value, unsigned char* bytes)
{
    for (int i = 0; i < 8; ++i) bytes[i] = static_cast<unsigned char>(value >> (8 * i));
}

std::vector<std::string> ReceiverSockets(const std::string& folder)
{
    std::vector<std::string> sockets;
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) return sockets;
    while (const dirent* entry = readdir(dir))
        if (entry->d_name[0] != '.') sockets.push_back(folder + "/" + entry->d_name);
    closedir(dir);
    return sockets;
}

bool FillAddress(const std::string& path, sockaddr_un& address)
{
    address = sockaddr_un {};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) return false;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return true;
}

// A socket whose receiver ended without removing it refuses: it goes. A full
// queue drops the message, as a window's full queue refuses a post.
void SendTo(int sender, const std::string& path, const unsigned char* bytes)
{
    sockaddr_un address;
    if (!FillAddress(path, address)) return;
    const ssize_t sent =
        sendto(sender, bytes, MessageBytes, MSG_DONTWAIT, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    if (sent < 0 && errno == ECONNREFUSED) unlink(path.c_str());
}

}  // namespace

void SetMessageFolder(const std::string& folder)
{
    auto& d = TheDispatch();
    std::lock_guard<std::mutex> lock(d.mutex);
    d.folder = folder;
}

std::string MessageFolder()
{
    auto& d = TheDispatch();
    std::lock_guard<std::mutex> lock(d.mutex);
    return d.folder.empty() ? DefaultMessageFolder() : d.folder;
}

std::string MessageSubFolder(const std::string& messageName, std::string& error)
{
    const std::string folder = MessageFolder();
    const std::string sub = folder + "/" + messageName;
    for (const std::string& path : {folder, sub})
    {
        if (mkdir(path.c_str(), 0700) != 0 && errno != EEXIST)
        {
            error = "cannot make the message folder " + path + ": " + std::strerror(errno);
            return {};
        }
        const std::string unsafe = WhyFolderIsUnsafe(path);
        if (!unsafe.empty())
        {
            error = "the message folder " + path + " is refused: " + unsafe;
            return {};
        }
    }
    return sub;
}

bool PostMessage(WindowHandle window, std::uint32_t message, std::uint64_t firstParameter, std::uint64_t secondParameter)
{
    const std::string name = RegisteredMessageName(message);
    if (window != HWND_BROADCAST || name.empty()) return false;
    std::string error;
    const std::string folder = MessageSubFolder(name, error);
    if (folder.empty())
    {
        OutputDebugString("Survanto: " + error);
        return false;
    }
    const int sender = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (sender < 0) return false;
    unsigned char bytes[MessageBytes];
    PutLittleEndian(firstParameter, bytes);
    PutLittleEndian(secondParameter, bytes + 8);
    for (const std::string& path : ReceiverSockets(folder)) SendTo(sender, path, bytes);
    close(sender);
    return true;
}

std::uint64_t AddHandledReceiver(MessageReceiver& receiver, MessageReceiver::Handler handler, int socket)
{
    auto& d = TheDispatch();
    std::lock_guard<std::mutex> lock(d.mutex);
    const std::uint64_t id = d.nextId++;
    d.receivers.emplace(id, HandledReceiver {&receiver, std::move(handler), socket});
    return id;
}

void RemoveHandledReceiver(std::uint64_t id)
{
    if (dispatchGone) return;
    auto& d = TheDispatch();
    std::lock_guard<std::mutex> lock(d.mutex);
    d.receivers.erase(id);
}

// Messages are taken under the lock and handled without it: a handler may post,
// and may open a modal alert that the host answers.
int DispatchWindowMessages()
{
    auto& d = TheDispatch();
    std::vector<std::pair<std::uint64_t, WindowMessage>> waiting;
    {
        std::lock_guard<std::mutex> lock(d.mutex);
        for (auto& [id, handled] : d.receivers)
            for (const WindowMessage& message : handled.receiver->TakeWaiting()) waiting.emplace_back(id, message);
    }
    int handled = 0;
    for (const auto& [id, message] : waiting)
    {
        MessageReceiver::Handler handler;
        {
            std::lock_guard<std::mutex> lock(d.mutex);
            const auto it = d.receivers.find(id);
            if (it == d.receivers.end()) continue;
            handler = it->second.handler;
        }
        handler(message);
        ++handled;
    }
    return handled;
}

bool WaitForWindowMessage(int timeoutMs)
{
    std::vector<pollfd> sockets;
    {
        auto& d = TheDispatch();
        std::lock_guard<std::mutex> lock(d.mutex);
        for (const auto& [id, handled] : d.receivers) sockets.push_back({handled.socket, POLLIN, 0});
    }
    if (sockets.empty()) return false;
    return poll(sockets.data(), sockets.size(), timeoutMs) > 0;
}

}  // namespace Win
