#pragma once
#include <cstdint>
#include <optional>

#include "GS/UniString.hpp"
#include "framework/TypVektor.hpp"

class Survanto;

// What tells one content of the exchange file from the next: the modification
// time in nanoseconds, and the file's identity and size, since the file system's
// clock may give two quick writes the same time.
struct ExchangeFileStamp
{
    std::int64_t time = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;
    bool operator==(const ExchangeFileStamp& o) const { return time == o.time && inode == o.inode && size == o.size; }
};

// Process-wide, shared by every project: the exchange file as the last check left
// it known, and the ring of the last 30 point ids taken.
extern ExchangeFileStamp lastExchangeFileStamp;
extern TypVektor<GS::UniString> takenPointIds;
extern std::int32_t takenPointCount;

constexpr std::int32_t TakenPointRingSize = 30;

// The change check behind "NEWP": imports when the exchange file's time differs
// from the one remembered, and looks again when it changed during the import.
void PollPointCabFile();

// Takes the first annotation out of the exchange file and turns its new points
// into measured points. Returns the stamp of the file content the import dealt
// with, also one it could not parse or read to its end; nothing when it could not
// open the file, was already running, or could not write the file back: then the
// user is told once that the folder cannot be written, and the next check tries again.
std::optional<ExchangeFileStamp> ImportPointCabFile(Survanto& survanto);

// The alert of "ALRT": the exchange folder cannot be watched. Only reason 1 shows it.
void ShowPointCabWatchAlert(std::int32_t reason);
