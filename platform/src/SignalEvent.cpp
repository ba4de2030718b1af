#include "Win/SignalEvent.hpp"

#include <sys/eventfd.h>
#include <unistd.h>

#include <cstdint>

namespace Win
{

SignalEvent::SignalEvent() : WaitHandle(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

// Nobody reads the counter, so the event stays readable: signalled for good.
void SignalEvent::Set()
{
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = ::write(Descriptor(), &one, sizeof one);
}

}  // namespace Win
