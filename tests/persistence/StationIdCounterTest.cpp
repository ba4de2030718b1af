#include <gtest/gtest.h>

#include <string>

#include "persistence/StationIdCounter.hpp"

namespace
{

TEST(StationIdCounter, CountsInDigitsAndLettersUpAndDown)
{
    const std::string longNines(300, '9');
    const std::string longZs(250, 'Z');
    const struct
    {
        std::string id;
        std::int32_t count;
        std::int16_t step;
        bool up;
        std::string expected;
    } cases[] = {
        {"9", 2, 1, true, "10"},
        {"z", 2, 1, true, "aa"},
        {"Z", 2, 1, true, "AA"},
        {"199", 2, 1, true, "200"},
        {"Az", 2, 1, true, "Ba"},
        {"Zz", 2, 1, true, "AAa"},
        {"a9", 2, 1, true, "b0"},
        {"S-9", 2, 1, true, "T-0"},
        {"-9", 2, 1, true, "-0"},
        {"Ö9", 2, 1, true, "Ö0"},
        {"Az", 1, 1, true, "Az"},
        {"", 1, 1, true, "1"},
        {"8", 2, 3, true, "11"},
        {"8", 2, -2, true, "9"},
        {"11", 3, 1, false, "9"},
        {"100", 2, 1, false, "99"},
        {"aa", 2, 1, false, "z"},
        {"Ba", 2, 1, false, "Az"},
        {"b", 2, 1, false, "a"},
        {"1", 2, 1, false, ""},
        {"0", 2, 1, false, ""},
        {"a", 3, 1, false, ""},
        {"A 5", 2, 1, false, "4"},
        {"10", 2, -2, false, "9"},
        {longNines, 2, 1, true, "1" + std::string(300, '0')},
        {longZs, 2, 1, true, "A" + std::string(250, 'A')},
        {"1" + std::string(300, '0'), 2, 1, false, longNines},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.id.substr(0, 12) + (c.up ? " up " : " down ") + std::to_string(c.count) + " by " + std::to_string(c.step));
        StationIdCounter counter;
        counter.currentId = GS::UniString(c.id);
        counter.step = c.step;
        counter.countingUp = c.up;
        EXPECT_EQ(counter.Step(c.count).ToUtf8(), c.expected);
        EXPECT_EQ(counter.currentId.ToUtf8(), c.id);
        EXPECT_EQ(counter.step, c.step > 0 ? c.step : 1);
    }
}

}  // namespace
