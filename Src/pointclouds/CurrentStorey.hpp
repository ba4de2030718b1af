#pragma once
#include <cstdint>

// The index of the storey whose floor plan the host shows; 0 when it cannot tell.
std::int16_t CurrentStoreyIndex();
