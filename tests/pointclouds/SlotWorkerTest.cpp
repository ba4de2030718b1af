#include <gtest/gtest.h>

#include <array>
#include <future>
#include <stdexcept>
#include <utility>
#include <vector>

#include "Waiting.hpp"
#include "pointclouds/SlotWorker.hpp"

namespace
{

using Worked = std::vector<std::pair<std::size_t, int>>;

// Seven slots through a ring of three: given in the ring's order, worked on in the
// order handed over, each with what the caller put in before handing it over.
TEST(SlotWorker, WorksOnTheSlotsInTheOrderHandedOver)
{
    std::array<int, 3> values {};
    Worked worked;
    SlotWorker worker(3, [&](std::size_t slot) { worked.emplace_back(slot, values[slot]); });
    std::vector<std::size_t> given;
    for (int value = 10; value < 17; ++value)
    {
        const std::size_t slot = worker.NextFree();
        given.push_back(slot);
        values[slot] = value;
        worker.HandOver();
    }
    worker.Finish();
    EXPECT_EQ(given, (std::vector<std::size_t> {0, 1, 2, 0, 1, 2, 0}));
    EXPECT_EQ(worked, (Worked {{0, 10}, {1, 11}, {2, 12}, {0, 13}, {1, 14}, {2, 15}, {0, 16}}));
}

// While the work holds the first slot, the caller fills the other two without
// waiting; the first slot comes back only once its work is done.
TEST(SlotWorker, TheCallerFillsTheOtherSlotsWhileOneIsWorkedOn)
{
    Gate entered, release;
    std::array<int, 3> values {};
    std::array<bool, 3> done {};
    Worked worked;
    SlotWorker worker(3, [&](std::size_t slot) {
        if (values[slot] == 1)
        {
            entered.Open();
            release.Wait();
        }
        worked.emplace_back(slot, values[slot]);
        done[slot] = true;
    });
    values[worker.NextFree()] = 1;
    worker.HandOver();
    ASSERT_TRUE(entered.Wait());
    auto fillingTheOthers = std::async(std::launch::async, [&] {
        std::vector<std::size_t> given;
        for (int value = 2; value <= 3; ++value)
        {
            const std::size_t slot = worker.NextFree();
            given.push_back(slot);
            values[slot] = value;
            worker.HandOver();
        }
        return given;
    });
    const bool filled = fillingTheOthers.wait_for(HangGuard) == std::future_status::ready;
    release.Open();
    ASSERT_TRUE(filled);
    EXPECT_EQ(fillingTheOthers.get(), (std::vector<std::size_t> {1, 2}));
    EXPECT_EQ(worker.NextFree(), 0u);
    EXPECT_TRUE(done[0]);
    values[0] = 4;
    worker.HandOver();
    worker.Finish();
    EXPECT_EQ(worked, (Worked {{0, 1}, {1, 2}, {2, 3}, {0, 4}}));
}

// The second slot's work fails: the caller learns it at its next wait, the slot
// handed over after it is not worked on, and every later wait fails the same way.
TEST(SlotWorker, AFailureReachesTheCallerAndEndsTheWork)
{
    std::array<int, 3> values {};
    Worked worked;
    SlotWorker worker(3, [&](std::size_t slot) {
        if (values[slot] == 2) throw std::runtime_error("broken");
        worked.emplace_back(slot, values[slot]);
    });
    for (int value = 1; value <= 3; ++value)
    {
        values[worker.NextFree()] = value;
        worker.HandOver();
    }
    EXPECT_THROW(worker.Finish(), std::runtime_error);
    EXPECT_THROW(worker.NextFree(), std::runtime_error);
    EXPECT_THROW(worker.AwaitDone(1), std::runtime_error);
    EXPECT_EQ(worked, (Worked {{0, 1}}));
}

}  // namespace
