#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <mutex>
#include <set>
#include <stdexcept>
#include <thread>
#include <vector>

#include "Waiting.hpp"
#include "pointclouds/PartPool.hpp"

namespace
{

// Each part waits until all four have begun, which only parts run side by side
// can do; every part runs once a piece, piece after piece.
TEST(PartPool, RunsEveryPartOnceAPieceSideBySide)
{
    PartPool pool(3);
    ASSERT_EQ(pool.Parts(), 4u);
    std::atomic<int> begun {0};
    std::mutex mutex;
    std::set<std::thread::id> threads;
    std::array<bool, 4> allBegun {};
    pool.Run([&](std::size_t part) {
        ++begun;
        allBegun[part] = WaitUntil([&] { return begun == 4; });
        const std::lock_guard<std::mutex> lock(mutex);
        threads.insert(std::this_thread::get_id());
    });
    EXPECT_EQ(allBegun, (std::array<bool, 4> {true, true, true, true}));
    EXPECT_EQ(threads.size(), 4u);
    EXPECT_EQ(threads.count(std::this_thread::get_id()), 1u);

    std::array<std::atomic<int>, 4> runs {};
    for (int piece = 0; piece < 200; ++piece) pool.Run([&](std::size_t part) { ++runs[part]; });
    for (const auto& count : runs) EXPECT_EQ(count, 200);
}

// A part that fails, on a helper or on the caller's thread, fails the piece, but
// only once every other part has ended; the next piece runs as if nothing was.
TEST(PartPool, AFailingPartFailsThePieceOnceEveryPartHasEnded)
{
    PartPool pool(2);
    for (const std::size_t failing : {std::size_t {0}, std::size_t {2}})
    {
        Gate failed;
        std::atomic<bool> otherEnded {false};
        const std::size_t other = failing == 0 ? 1 : 0;
        EXPECT_THROW(pool.Run([&](std::size_t part) {
            if (part == failing)
            {
                failed.Open();
                throw std::runtime_error("part failed");
            }
            if (part == other && failed.Wait()) otherEnded = true;
        }),
                     std::runtime_error)
            << failing;
        EXPECT_TRUE(otherEnded) << failing;
        std::atomic<int> runs {0};
        pool.Run([&](std::size_t) { ++runs; });
        EXPECT_EQ(runs, 3) << failing;
    }
}

}  // namespace
