#include "pointclouds/SlotWorker.hpp"

#include <utility>

SlotWorker::SlotWorker(std::size_t slots, Work work) : slots_(slots > 0 ? slots : 1), work_(std::move(work))
{
    thread_ = std::thread([this] { Run(); });
}

SlotWorker::~SlotWorker()
{
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

std::size_t SlotWorker::NextFree()
{
    std::size_t handedOver = 0;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        handedOver = handedOver_;
    }
    if (handedOver >= slots_) AwaitDone(handedOver - slots_ + 1);
    return handedOver % slots_;
}

void SlotWorker::HandOver()
{
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        ++handedOver_;
    }
    changed_.notify_all();
}

void SlotWorker::AwaitDone(std::size_t count)
{
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this, count] { return failure_ || done_ >= count; });
    if (failure_) std::rethrow_exception(failure_);
}

void SlotWorker::Finish()
{
    std::size_t handedOver = 0;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        handedOver = handedOver_;
    }
    AwaitDone(handedOver);
}

void SlotWorker::Run()
{
    for (;;)
    {
        std::size_t slot = 0;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            changed_.wait(lock, [this] { return stopping_ || done_ < handedOver_; });
            if (stopping_) return;
            slot = done_ % slots_;
        }
        std::exception_ptr failure;
        try
        {
            work_(slot);
        }
        catch (...)
        {
            failure = std::current_exception();
        }
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            if (failure)
                failure_ = failure;
            else
                ++done_;
        }
        changed_.notify_all();
        if (failure) return;
    }
}
