#pragma once
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

// How long a test waits for another thread or process before it calls it a hang.
constexpr std::chrono::seconds HangGuard {30};
constexpr int HangGuardMs = static_cast<int>(std::chrono::milliseconds(HangGuard).count());

// Waits until the condition holds, looking again every few milliseconds, for
// state another thread sets without a signal. The deadline only guards against
// a hang: false when it passed.
template <typename Condition>
bool WaitUntil(Condition condition, std::chrono::seconds deadline = HangGuard)
{
    const auto until = std::chrono::steady_clock::now() + deadline;
    while (!condition())
    {
        if (std::chrono::steady_clock::now() >= until) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

// A gate one thread waits at until another opens it; it stays open.
class Gate
{
public:
    void Open()
    {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            open_ = true;
        }
        opened_.notify_all();
    }
    // False when the deadline passed with the gate still shut.
    bool Wait(std::chrono::seconds deadline = HangGuard)
    {
        std::unique_lock<std::mutex> lock(mutex_);
        return opened_.wait_for(lock, deadline, [this] { return open_; });
    }

private:
    std::mutex mutex_;
    std::condition_variable opened_;
    bool open_ = false;
};
