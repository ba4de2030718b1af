#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <vector>

#include "pointclouds/ReadAhead.hpp"

namespace {

// Opened once by one thread, waited for by another; the wait's deadline only keeps a
// broken pipeline from hanging the test.
class Gate {
public:
    void Open()
    {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            open_ = true;
        }
        opened_.notify_all();
    }

    bool Wait()
    {
        std::unique_lock<std::mutex> lock(mutex_);
        return opened_.wait_for(lock, std::chrono::seconds(10), [this] { return open_; });
    }

private:
    std::mutex mutex_;
    std::condition_variable opened_;
    bool open_ = false;
};

struct Slot {
    int number = 0;
    int values = 0;
};

std::vector<std::unique_ptr<Slot>> Slots(std::size_t count)
{
    std::vector<std::unique_ptr<Slot>> slots;
    for (std::size_t i = 0; i < count; ++i) slots.push_back(std::make_unique<Slot>());
    return slots;
}

}  // namespace

// The caller works on a slot while the next is filled, and the filler never runs
// more slots ahead than it has: fill k waits until the caller gave back slot k - 2,
// which it does when it asks for slot k - 1.
TEST(ReadAhead, FillsTheNextSlotWhileTheCallerHoldsOne)
{
    constexpr int Last = 6;
    Gate callerHoldsFirst, secondFilled;
    std::atomic<int> asked {0};
    std::atomic<bool> ranAhead {false}, gateMissed {false};
    {
        ReadAhead<Slot> pipeline(Slots(2), [&, number = 0](Slot& slot) mutable {
            ++number;
            if (number > 2 && asked.load() < number - 1) ranAhead = true;
            if (number == 2 && !callerHoldsFirst.Wait()) gateMissed = true;
            slot.number = number;
            if (number == 2) secondFilled.Open();
            return number < Last;
        });
        ++asked;
        Slot* first = pipeline.Next();
        ASSERT_NE(first, nullptr);
        EXPECT_EQ(first->number, 1);
        callerHoldsFirst.Open();
        ASSERT_TRUE(secondFilled.Wait()) << "the second slot was never filled";
        // The slot held was not filled again meanwhile.
        EXPECT_EQ(first->number, 1);
        for (int expected = 2; expected <= Last; ++expected) {
            ++asked;
            Slot* slot = pipeline.Next();
            ASSERT_NE(slot, nullptr) << expected;
            EXPECT_EQ(slot->number, expected);
        }
        ++asked;
        EXPECT_EQ(pipeline.Next(), nullptr);
    }
    EXPECT_FALSE(gateMissed) << "the caller got no slot while the filler was busy";
    EXPECT_FALSE(ranAhead);
}

// A failing fill hands on the slot as far as it got, then the exception.
TEST(ReadAhead, AnErrorComesAfterTheSlotsFilledBeforeIt)
{
    ReadAhead<Slot> pipeline(Slots(3), [number = 0](Slot& slot) mutable {
        slot.number = ++number;
        slot.values = 0;
        for (int value = 0; value < 5; ++value) {
            if (number == 2 && value == 3) throw std::runtime_error("damaged");
            ++slot.values;
        }
        return true;
    });
    const Slot* first = pipeline.Next();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->values, 5);
    const Slot* second = pipeline.Next();
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->number, 2);
    EXPECT_EQ(second->values, 3);
    EXPECT_THROW(pipeline.Next(), std::runtime_error);
}

// A caller that stops early ends the filling, also when it waits for a free slot.
TEST(ReadAhead, StoppingEarlyEndsTheFilling)
{
    std::atomic<int> fills {0};
    {
        ReadAhead<Slot> pipeline(Slots(1), [&](Slot& slot) {
            slot.number = ++fills;
            return true;
        });
        ASSERT_NE(pipeline.Next(), nullptr);
    }
    // One slot, held by the caller: the filler could fill it once and not again.
    EXPECT_EQ(fills.load(), 1);
}
