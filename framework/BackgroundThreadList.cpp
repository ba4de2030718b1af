#include "framework/BackgroundThreadList.hpp"

#include <exception>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace
{

struct BackgroundThread
{
    std::thread thread;
    BackgroundThreadStop stop;
};

// Stops and joins a thread that can be stopped; a detached one is only forgotten.
void Finish(std::unique_ptr<BackgroundThread> entry)
{
    if (entry == nullptr || !entry->thread.joinable()) return;
    entry->stop();
    entry->thread.join();
}

// At process exit the list may go before the add-on's unload hook clears it.
bool listGone = false;

class BackgroundThreadList
{
public:
    // A host that exits without FreeData and without unloading comes here before
    // the add-on's unload hook runs: the threads are stopped and joined here then.
    ~BackgroundThreadList()
    {
        Clear();
        listGone = true;
    }

    // Leaves the entry with the caller when the list cannot grow.
    std::int32_t Append(std::unique_ptr<BackgroundThread>& entry)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        entries_.push_back(std::move(entry));
        return static_cast<std::int32_t>(entries_.size());
    }

    std::unique_ptr<BackgroundThread> Take(std::int32_t number)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (number < 1 || static_cast<std::size_t>(number) > entries_.size()) return nullptr;
        return std::move(entries_[static_cast<std::size_t>(number) - 1]);
    }

    // Every thread is told to stop before the first is waited for. The emptied
    // entries stay, so no number is given again. The threads never touch the list,
    // so waiting under the lock is safe.
    void Clear()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        for (auto& entry : entries_)
            if (entry != nullptr && entry->thread.joinable()) entry->stop();
        for (auto& entry : entries_)
        {
            if (entry != nullptr && entry->thread.joinable()) entry->thread.join();
            entry.reset();
        }
    }

private:
    std::mutex mutex_;
    std::vector<std::unique_ptr<BackgroundThread>> entries_;
};

BackgroundThreadList& TheList()
{
    static BackgroundThreadList list;
    return list;
}

}  // namespace

std::int32_t StartBackgroundThread(BackgroundThreadFunction function, BackgroundThreadStop stop)
{
    auto entry = std::make_unique<BackgroundThread>();
    entry->stop = std::move(stop);
    try
    {
        entry->thread = std::thread([function = std::move(function)] { function(); });
    }
    catch (const std::exception&)
    {
        return 0;
    }
    if (!entry->thread.joinable()) return 0;
    if (!entry->stop) entry->thread.detach();
    try
    {
        return TheList().Append(entry);
    }
    catch (const std::exception&)
    {
        Finish(std::move(entry));
        return 0;
    }
}

bool RemoveBackgroundThread(std::int32_t number)
{
    Finish(TheList().Take(number));
    return true;
}

void ClearBackgroundThreadList()
{
    if (!listGone) TheList().Clear();
}
