#pragma once
#include <condition_variable>
#include <cstddef>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

// Fills slots on a thread of its own while the caller works on the slots filled
// before, so that reading and working overlap with the memory of the given slots
// alone. Slots reach the caller in the order they were filled. When the filling
// throws, the caller first gets the slot it was filling (as far as it got), then
// the exception; a slot's filler must keep it usable up to the point it failed.
template <typename Slot>
class ReadAhead {
public:
    // Fills one slot; false when it was the last.
    using Fill = std::function<bool(Slot&)>;

    ReadAhead(std::vector<std::unique_ptr<Slot>> slots, Fill fill) : slots_(std::move(slots)), fill_(std::move(fill))
    {
        filler_ = std::thread([this] { Run(); });
    }

    // Stops the filling after the slot it is at.
    ~ReadAhead()
    {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            stopped_ = true;
        }
        changed_.notify_all();
        filler_.join();
    }

    ReadAhead(const ReadAhead&) = delete;
    ReadAhead& operator=(const ReadAhead&) = delete;

    // Gives back the slot returned before and waits for the next one: nullptr after
    // the last; the filling's exception once every slot filled before it was taken.
    Slot* Next()
    {
        std::unique_lock<std::mutex> lock(mutex_);
        if (holding_) {
            holding_ = false;
            head_ = (head_ + 1) % slots_.size();
            --filled_;
            changed_.notify_all();
        }
        changed_.wait(lock, [this] { return filled_ > 0 || finished_; });
        if (filled_ > 0) {
            holding_ = true;
            return slots_[head_].get();
        }
        if (error_) std::rethrow_exception(std::exchange(error_, nullptr));
        return nullptr;
    }

private:
    void Run()
    {
        std::size_t tail = 0;
        for (;;) {
            {
                std::unique_lock<std::mutex> lock(mutex_);
                changed_.wait(lock, [this] { return stopped_ || filled_ < slots_.size(); });
                if (stopped_) return;
            }
            bool more = false;
            std::exception_ptr error;
            try {
                more = fill_(*slots_[tail]);
            } catch (...) {
                error = std::current_exception();
            }
            {
                const std::lock_guard<std::mutex> lock(mutex_);
                ++filled_;
                if (!more) {
                    finished_ = true;
                    error_ = error;
                }
            }
            changed_.notify_all();
            if (!more) return;
            tail = (tail + 1) % slots_.size();
        }
    }

    std::vector<std::unique_ptr<Slot>> slots_;
    Fill fill_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::size_t head_ = 0;
    // Filled and not yet given back, the caller's slot included.
    std::size_t filled_ = 0;
    bool holding_ = false;
    bool finished_ = false;
    bool stopped_ = false;
    std::exception_ptr error_;
    std::thread filler_;
};
