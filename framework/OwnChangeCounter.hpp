#pragma once
#include <cstdint>

// How deeply the add-on is inside a change of the project that it makes itself.
void IncrementOwnChangeCounter(const char* label);
void DecrementOwnChangeCounter();
std::int32_t OwnChangeCounterValue();
void ResetOwnChangeCounter();
