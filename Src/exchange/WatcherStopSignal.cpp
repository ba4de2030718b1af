#include "exchange/WatcherStopSignal.hpp"

#include <sys/eventfd.h>
#include <unistd.h>

#include <cstdint>

WatcherStopSignal::WatcherStopSignal() : fd_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

WatcherStopSignal::~WatcherStopSignal()
{
    if (fd_ >= 0) ::close(fd_);
}

void WatcherStopSignal::Raise()
{
    const std::uint64_t stop = 1;
    [[maybe_unused]] const ssize_t written = ::write(fd_, &stop, sizeof stop);
}
