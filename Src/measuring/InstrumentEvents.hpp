#pragma once
#include <cstdint>

// The instrument event code of a point taken from the exchange file.
constexpr std::uint64_t ExchangeFilePointEvent = 5000;

// The dispatcher of the instrument application's events: each code's own action,
// then the measured-point dispatcher with the code.
void OnInstrumentEvent(std::uint64_t code, std::uint64_t argument);
