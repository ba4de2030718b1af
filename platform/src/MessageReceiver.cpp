#include "Win/MessageReceiver.hpp"

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>

#include "MessageDispatch.hpp"
#include "Win/WinStandIns.hpp"

namespace Win
{

namespace
{

std::atomic<std::uint32_t> receiversMade {0};

std::uint64_t LittleEndian(const unsigned char* bytes)
{
    std::uint64_t value = 0;
    for (int i = 7; i >= 0; --i) value = (value << 8) | bytes[i];
    return value;
}

}  // namespace

MessageReceiver::MessageReceiver(std::uint32_t message, Handler handler)
{
    const std::string name = RegisteredMessageName(message);
    if (name.empty())
    {
        error_ = "message " + std::to_string(message) + " is not registered";
        return;
    }
    const std::string folder = MessageSubFolder(name, error_);
    if (folder.empty()) return;
    path_ = folder + "/" + std::to_string(getpid()) + "-" + std::to_string(++receiversMade);
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    if (path_.size() >= sizeof address.sun_path)
    {
        error_ = "the socket path is too long: " + path_;
        return;
    }
    std::memcpy(address.sun_path, path_.c_str(), path_.size() + 1);
    const int made = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (made < 0 || bind(made, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
    {
        error_ = "cannot listen at " + path_ + ": " + std::strerror(errno);
        if (made >= 0) close(made);
        return;
    }
    // Only this user may send to it, whatever the umask gave.
    if (chmod(path_.c_str(), 0600) != 0)
    {
        error_ = "cannot close " + path_ + " to other users: " + std::strerror(errno);
        close(made);
        unlink(path_.c_str());
        return;
    }
    socket_ = made;
    if (handler) dispatchId_ = AddHandledReceiver(*this, std::move(handler), socket_);
}

MessageReceiver::~MessageReceiver()
{
    if (dispatchId_ != 0) RemoveHandledReceiver(dispatchId_);
    if (socket_ < 0) return;
    close(socket_);
    unlink(path_.c_str());
}

// A datagram of another length is no message of this transport and is dropped.
std::vector<WindowMessage> MessageReceiver::TakeWaiting()
{
    std::vector<WindowMessage> messages;
    if (socket_ < 0) return messages;
    unsigned char bytes[MessageBytes + 1];
    for (;;)
    {
        const ssize_t got = recv(socket_, bytes, sizeof bytes, 0);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return messages;
        if (got == static_cast<ssize_t>(MessageBytes)) messages.push_back({LittleEndian(bytes), LittleEndian(bytes + 8)});
    }
}

}  // namespace Win
