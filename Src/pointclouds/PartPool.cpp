#include "pointclouds/PartPool.hpp"

#include <algorithm>
#include <chrono>
#include <utility>

namespace
{

// How long a thread looks out before it sleeps: about a small part's work.
constexpr std::chrono::microseconds LookOut {50};

// True once the condition holds, false when the look-out ended first. Yields
// between looks, so that a busy processor's other threads go on.
template <typename Condition>
bool LookOutFor(Condition condition)
{
    const auto until = std::chrono::steady_clock::now() + LookOut;
    for (;;)
    {
        for (int look = 0; look < 16; ++look)
        {
            if (condition()) return true;
            std::this_thread::yield();
        }
        if (std::chrono::steady_clock::now() >= until) return condition();
    }
}

}  // namespace

PartPool::PartPool(std::size_t helpers)
{
    helpers_.reserve(helpers);
    try
    {
        for (std::size_t part = 1; part <= helpers; ++part) helpers_.emplace_back([this, part] { Serve(part); });
    }
    catch (...)
    {
        // The helpers that did start must end before the pool goes.
        Stop();
        throw;
    }
}

PartPool::~PartPool() { Stop(); }

void PartPool::Stop()
{
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        stopping_.store(true, std::memory_order_release);
    }
    started_.notify_all();
    for (std::thread& helper : helpers_) helper.join();
}

std::size_t PartPool::HelpersBeside(std::size_t busy, std::size_t most)
{
    const std::size_t threads = std::thread::hardware_concurrency();
    return std::clamp<std::size_t>(threads > busy ? threads - busy : 0, 1, std::max<std::size_t>(most, 1));
}

void PartPool::Run(const Work& work)
{
    work_ = &work;
    failure_ = nullptr;
    running_.store(helpers_.size(), std::memory_order_relaxed);
    {
        // Under the lock: a helper that is about to sleep sees the piece first.
        const std::lock_guard<std::mutex> lock(mutex_);
        piece_.fetch_add(1, std::memory_order_release);
    }
    started_.notify_all();
    std::exception_ptr own;
    try
    {
        work(0);
    }
    catch (...)
    {
        own = std::current_exception();
    }
    const auto ended = [this] { return running_.load(std::memory_order_acquire) == 0; };
    if (!LookOutFor(ended))
    {
        std::unique_lock<std::mutex> lock(mutex_);
        ended_.wait(lock, ended);
    }
    if (own != nullptr) std::rethrow_exception(own);
    if (failure_ != nullptr) std::rethrow_exception(std::exchange(failure_, nullptr));
}

void PartPool::Serve(std::size_t part)
{
    std::uint64_t taken = 0;
    const auto called = [&] {
        return stopping_.load(std::memory_order_acquire) || piece_.load(std::memory_order_acquire) != taken;
    };
    for (;;)
    {
        if (!LookOutFor(called))
        {
            std::unique_lock<std::mutex> lock(mutex_);
            started_.wait(lock, called);
        }
        if (stopping_.load(std::memory_order_acquire)) return;
        taken = piece_.load(std::memory_order_acquire);
        try
        {
            (*work_)(part);
        }
        catch (...)
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            if (failure_ == nullptr) failure_ = std::current_exception();
        }
        if (running_.fetch_sub(1, std::memory_order_acq_rel) == 1)
        {
            // Under the lock: the caller cannot be between its look and its sleep.
            const std::lock_guard<std::mutex> lock(mutex_);
            ended_.notify_one();
        }
    }
}
