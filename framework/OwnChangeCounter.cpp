#include "framework/OwnChangeCounter.hpp"

namespace
{
std::int32_t ownChangeCounter = 0;
}

void IncrementOwnChangeCounter(const char*) { ++ownChangeCounter; }

void DecrementOwnChangeCounter()
{
    if (ownChangeCounter > 0) --ownChangeCounter;
}

std::int32_t OwnChangeCounterValue() { return ownChangeCounter; }
void ResetOwnChangeCounter() { ownChangeCounter = 0; }
