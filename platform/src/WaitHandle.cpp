#include "Win/WaitHandle.hpp"

#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

namespace Win
{

WaitHandle::~WaitHandle()
{
    if (descriptor_ >= 0) ::close(descriptor_);
}

void WaitHandle::Invalidate()
{
    if (descriptor_ >= 0) ::close(descriptor_);
    descriptor_ = -1;
}

std::uint32_t WaitForMultipleObjects(std::initializer_list<const WaitHandle*> handles)
{
    std::vector<pollfd> waits;
    for (const WaitHandle* handle : handles)
    {
        if (handle == nullptr || !handle->Valid()) return WAIT_FAILED;
        waits.push_back({handle->Descriptor(), POLLIN, 0});
    }
    for (;;)
    {
        const int ready = ::poll(waits.data(), waits.size(), -1);
        if (ready < 0 && errno == EINTR) continue;
        if (ready < 0) return WAIT_FAILED;
        for (std::size_t i = 0; i < waits.size(); ++i)
        {
            if ((waits[i].revents & POLLIN) != 0) return WAIT_OBJECT_0 + static_cast<std::uint32_t>(i);
            if (waits[i].revents != 0) return WAIT_FAILED;
        }
    }
}

}  // namespace Win
