#pragma once
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

// Runs the parts of one piece of work side by side: part 0 on the caller's thread,
// the others on threads of the pool. Pieces follow each other closely, so the
// threads look out for the next one (and the caller for the end of its piece) for a
// short while before they sleep: waking a sleeping thread costs more than a small
// part's work.
class PartPool
{
public:
    using Work = std::function<void(std::size_t part)>;

    // Helpers: the threads beside the caller's.
    explicit PartPool(std::size_t helpers);
    ~PartPool();
    PartPool(const PartPool&) = delete;
    PartPool& operator=(const PartPool&) = delete;

    // Helpers for work beside that of `busy` other threads: the processor's threads
    // less those, at least one and at most `most`.
    static std::size_t HelpersBeside(std::size_t busy, std::size_t most);

    std::size_t Parts() const { return helpers_.size() + 1; }
    // Runs work(part) for every part from 0 to Parts() - 1. The first exception of a
    // part comes here, once every part has ended.
    void Run(const Work& work);

private:
    void Serve(std::size_t part);
    void Stop();

    std::mutex mutex_;
    std::condition_variable started_;
    std::condition_variable ended_;
    // Set before the piece's count moves on.
    const Work* work_ = nullptr;
    // Pieces counted from the start: a helper takes each once.
    std::atomic<std::uint64_t> piece_ {0};
    std::atomic<std::size_t> running_ {0};
    std::atomic<bool> stopping_ {false};
    std::exception_ptr failure_;
    std::vector<std::thread> helpers_;
};
