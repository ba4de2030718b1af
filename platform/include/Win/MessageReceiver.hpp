#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// A message-only window for one registered message: its socket in the message's
// sub-folder. With a handler, DispatchWindowMessages serves it; without one the
// owner takes the waiting messages itself.
namespace Win
{

struct WindowMessage
{
    std::uint64_t firstParameter = 0;
    std::uint64_t secondParameter = 0;
};

class MessageReceiver
{
public:
    using Handler = std::function<void(const WindowMessage& message)>;

    MessageReceiver(std::uint32_t message, Handler handler = {});
    MessageReceiver(const MessageReceiver&) = delete;
    MessageReceiver& operator=(const MessageReceiver&) = delete;
    ~MessageReceiver();

    bool IsListening() const { return socket_ >= 0; }
    // Why the receiver does not listen.
    const std::string& Error() const { return error_; }
    // The messages waiting now, oldest first.
    std::vector<WindowMessage> TakeWaiting();

private:
    int socket_ = -1;
    std::string path_;
    std::string error_;
    std::uint64_t dispatchId_ = 0;
};

}  // namespace Win
