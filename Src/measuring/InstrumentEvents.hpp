#pragma once
#include <cstdint>

class Survanto;

// The instrument event code of a point taken from the exchange file.
constexpr std::uint64_t ExchangeFilePointEvent = 5000;
// The instrument application's bump event; the debug palette sends it too.
constexpr std::uint64_t InstrumentBumpedEvent = 12;

// Which devices the instrument application reported connected, and whether the
// bump question is shown; process-wide, never stored.
extern std::uint8_t instrumentConnected;
extern std::uint8_t distoConnected;
extern std::uint8_t bumpAlertOpen;

// The dispatcher of the instrument application's events: each code's own action,
// then the measured-point dispatcher with the code.
void OnInstrumentEvent(std::uint64_t code, std::uint64_t argument);

// Broadcasts a command to the instrument application; true when it went out.
bool PostInstrumentCommand(Survanto& survanto, std::uint64_t code, std::uint64_t argument);

// The first line of the instrument application's prompt file, into the report.
void ReadInstrumentPromptFile(Survanto& survanto);
