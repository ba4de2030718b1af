#include <gtest/gtest.h>

#include <cstdint>
#include <iterator>
#include <new>
#include <string>

#include "framework/TypVektor.hpp"

namespace
{

// Makes the n-th allocation from now on fail, to see how the list survives exhaustion.
int allocationsUntilFailure = -1;

// Holds memory of its own, so a copy that is never destroyed shows as a leak.
struct CopyBomb
{
    static int copiesUntilThrow;
    int value = 0;
    std::string payload = std::string(64, 'p');
    explicit CopyBomb(int v) : value(v) {}
    CopyBomb(const CopyBomb& other) : value(other.value), payload(other.payload)
    {
        if (copiesUntilThrow >= 0 && copiesUntilThrow-- == 0) throw std::runtime_error("copy failed");
    }
    CopyBomb& operator=(const CopyBomb&) = default;
};
int CopyBomb::copiesUntilThrow = -1;

}  // namespace

void* operator new(std::size_t size)
{
    if (allocationsUntilFailure >= 0 && allocationsUntilFailure-- == 0) throw std::bad_alloc();
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

TEST(TypVektor, ElementsNeverMoveAsTheListGrows)
{
    TypVektor<std::string> list;
    EXPECT_EQ(list.GetSize(), 0u);
    EXPECT_THROW(list.Get(0), GS::IllegalReferenceException);
    list.Add("first");
    const std::string* first = &list[0];
    for (int i = 1; i < 1000; ++i) ASSERT_TRUE(list.Add(std::to_string(i)));
    EXPECT_EQ(first, &list[0]);
    EXPECT_EQ(*first, "first");
    EXPECT_EQ(list.Get(999), "999");
    EXPECT_THROW(list.Get(1000), GS::IllegalReferenceException);
}

TEST(TypVektor, ElementsNeverMoveAcrossALargeGrowth)
{
    struct Record
    {
        std::int32_t values[19];
    };
    static_assert(sizeof(Record) == 76);
    constexpr std::uint32_t Count = 300000;
    const std::uint32_t watched[] = {0, 7, 8, 63, 64, 4095, 100000, Count - 1};
    const Record* addresses[std::size(watched)] = {};
    TypVektor<Record> list;
    for (std::uint32_t i = 0, w = 0; i < Count; ++i)
    {
        Record record {};
        record.values[0] = static_cast<std::int32_t>(i);
        record.values[18] = -static_cast<std::int32_t>(i);
        ASSERT_TRUE(list.Add(record));
        if (w < std::size(watched) && watched[w] == i) addresses[w++] = &list[i];
    }
    ASSERT_EQ(list.GetSize(), Count);
    for (std::size_t w = 0; w < std::size(watched); ++w)
    {
        EXPECT_EQ(addresses[w], &list[watched[w]]) << watched[w];
        EXPECT_EQ(addresses[w]->values[0], static_cast<std::int32_t>(watched[w]));
        EXPECT_EQ(addresses[w]->values[18], -static_cast<std::int32_t>(watched[w]));
    }
}

// At every new page, the append's first allocation fails, then its second: the page
// table's growth and the page itself each fail somewhere along the way.
TEST(TypVektor, AFailedAllocationWhileGrowingKeepsTheListWhole)
{
    TypVektor<int> list;
    ASSERT_TRUE(list.Add(0));
    const int* first = &list[0];
    const auto expectWhole = [&](int size) {
        ASSERT_EQ(list.GetSize(), static_cast<std::uint32_t>(size));
        ASSERT_EQ(&list[0], first);
        ASSERT_EQ(list[static_cast<std::uint32_t>(size - 1)], size - 1);
    };
    for (int i = 1; i < 40000; ++i)
    {
        if (i % 8 == 0)
        {
            allocationsUntilFailure = 0;
            const bool addedDespiteFailure = list.Add(i);
            allocationsUntilFailure = -1;
            ASSERT_FALSE(addedDespiteFailure) << i;
            expectWhole(i);
            allocationsUntilFailure = 1;
            const bool added = list.Add(i);
            allocationsUntilFailure = -1;
            if (added) continue;
            expectWhole(i);
        }
        ASSERT_TRUE(list.Add(i));
    }
    for (std::uint32_t i = 0; i < list.GetSize(); ++i) ASSERT_EQ(list[i], static_cast<int>(i));
}

TEST(TypVektor, FailedAppendsReturnFalseAndKeepTheListWhole)
{
    TypVektor<int> numbers;
    for (int i = 0; i < 8; ++i) numbers.Add(i);
    allocationsUntilFailure = 0;  // the ninth element needs a new page
    EXPECT_FALSE(numbers.Add(8));
    allocationsUntilFailure = -1;
    EXPECT_EQ(numbers.GetSize(), 8u);
    EXPECT_TRUE(numbers.Add(8));
    EXPECT_EQ(numbers[8], 8);

    TypVektor<CopyBomb> bombs;
    bombs.Add(CopyBomb(1));
    CopyBomb::copiesUntilThrow = 0;
    EXPECT_FALSE(bombs.Add(CopyBomb(2)));
    CopyBomb::copiesUntilThrow = -1;
    EXPECT_EQ(bombs.GetSize(), 1u);
    EXPECT_EQ(bombs[0].value, 1);
}

TEST(TypVektor, AssignmentFailureLeavesTheTargetUnchanged)
{
    TypVektor<CopyBomb> source;
    for (int i = 0; i < 3; ++i) source.Add(CopyBomb(i));
    TypVektor<CopyBomb> target;
    target.Add(CopyBomb(42));
    CopyBomb::copiesUntilThrow = 2;
    EXPECT_THROW(target = source, std::runtime_error);
    CopyBomb::copiesUntilThrow = -1;
    ASSERT_EQ(target.GetSize(), 1u);
    EXPECT_EQ(target[0].value, 42);
}

TEST(TypVektor, AddAllOntoItselfDoublesOnce)
{
    TypVektor<int> list;
    for (int i = 0; i < 5; ++i) list.Add(i);
    EXPECT_TRUE(list.AddAll(list));
    ASSERT_EQ(list.GetSize(), 10u);
    for (std::uint32_t i = 0; i < 10; ++i) EXPECT_EQ(list[i], static_cast<int>(i % 5));
    const TypVektor<int>& self = list;
    list = self;
    EXPECT_EQ(list.GetSize(), 10u);
}

TEST(TypVektor, InsertDeleteContainsAndListsOfLists)
{
    TypVektor<int> list;
    for (int i : {1, 2, 4}) list.Add(i);
    list.Insert(2, 3);
    list.Insert(0, 0);
    list.Delete(4);
    int expected = 0;
    for (int value : list) EXPECT_EQ(value, expected++);
    EXPECT_EQ(expected, 4);
    EXPECT_TRUE(list.Contains(3));
    EXPECT_FALSE(list.Contains(4));

    TypVektor<TypVektor<std::string>> rows;
    TypVektor<std::string> row;
    row.Add("x");
    for (int i = 0; i < 20; ++i) rows.Add(row);
    EXPECT_EQ(rows[19][0], "x");
    rows.Clear();
    EXPECT_EQ(rows.GetSize(), 0u);
}
