#include "BackgroundThreadList.hpp"

#include <memory>
#include <mutex>
#include <exception>
#include <thread>
#include <vector>

namespace {

class BackgroundThreadList {
public:
    // Whatever is left runs out with the add-on's unloading.
    ~BackgroundThreadList() { Clear(); }

    std::int32_t Append(std::unique_ptr<std::thread> thread)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        threads_.push_back(std::move(thread));
        return static_cast<std::int32_t>(threads_.size());
    }

    std::unique_ptr<std::thread> Take(std::int32_t number)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (number < 1 || static_cast<std::size_t>(number) > threads_.size()) return nullptr;
        return std::move(threads_[static_cast<std::size_t>(number) - 1]);
    }

    void Clear()
    {
        std::vector<std::unique_ptr<std::thread>> remaining;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            remaining.swap(threads_);
        }
        for (auto& thread : remaining) Finish(std::move(thread));
    }

    // A joinable thread must have been told to stop; deleting it unjoined would end the process.
    static void Finish(std::unique_ptr<std::thread> thread)
    {
        if (thread != nullptr && thread->joinable()) thread->join();
    }

private:
    std::mutex mutex_;
    std::vector<std::unique_ptr<std::thread>> threads_;
};

BackgroundThreadList& TheList()
{
    static BackgroundThreadList list;
    return list;
}

}  // namespace

std::int32_t StartBackgroundThread(BackgroundThreadFunction function, BackgroundThreadEnd end)
{
    std::unique_ptr<std::thread> thread;
    try {
        thread = std::make_unique<std::thread>([function = std::move(function)] { function(); });
    } catch (const std::exception&) {
        return 0;
    }
    if (!thread->joinable()) return 0;
    if (end == BackgroundThreadEnd::Detached) thread->detach();
    return TheList().Append(std::move(thread));
}

bool RemoveBackgroundThread(std::int32_t number)
{
    BackgroundThreadList::Finish(TheList().Take(number));
    return true;
}

void ClearBackgroundThreadList() { TheList().Clear(); }
