#pragma once
#include <cstdint>
#include <string>

#include "GS/UniString.hpp"

// Station ids count in digits and letters with a carry across them:
// "9" → "10", "z" → "aa", "Az" → "Ba", "Zz" → "AAa". Ids of any length count;
// characters other than digits and letters stay and pass the carry on.
class StationIdCounter
{
public:
    // The id (count − 1) · step counting steps away from the current id, upward
    // or downward; the current id stays. A step of 0 or below becomes 1 for good.
    GS::UniString Step(std::int32_t count);

    GS::UniString currentId {"1"};
    std::int16_t step = 1;
    bool countingUp = true;

private:
    static void StepUp(std::u16string& id);
    static void StepDown(std::u16string& id);
};
