#pragma once
#include <condition_variable>
#include <cstddef>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

// Works on a ring of slots on a thread of its own, one slot after the other in the
// order the caller hands them over, while the caller fills the next: the caller only
// waits when every slot is handed over and not yet done. No memory beyond the ring.
class SlotWorker
{
public:
    using Work = std::function<void(std::size_t slot)>;

    SlotWorker(std::size_t slots, Work work);
    // Stops after the slot in hand; the slots handed over after it stay undone.
    ~SlotWorker();
    SlotWorker(const SlotWorker&) = delete;
    SlotWorker& operator=(const SlotWorker&) = delete;

    // The next slot in the ring's order, once the work on what it held is done.
    // The work's exception comes here and at every wait after it: no slot is
    // worked on after a failure.
    std::size_t NextFree();
    // Hands over the slot that NextFree gave.
    void HandOver();
    // Waits until the first `count` slots handed over are done.
    void AwaitDone(std::size_t count);
    // Waits until every slot handed over is done.
    void Finish();

private:
    void Run();

    const std::size_t slots_;
    const Work work_;
    std::mutex mutex_;
    std::condition_variable changed_;
    // Counted from the start; a slot is the count modulo the ring's size.
    std::size_t handedOver_ = 0;
    std::size_t done_ = 0;
    bool stopping_ = false;
    std::exception_ptr failure_;
    std::thread thread_;
};
