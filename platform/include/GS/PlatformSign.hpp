#pragma once
#include <cstdint>

namespace GS
{

// The byte order of stored numbers, named by the platform that wrote them: the
// two characters as a 16-bit value.
using PlatformSign = std::uint16_t;

constexpr PlatformSign Win_Platform_Sign = 0x5757;     // "WW", little-endian
constexpr PlatformSign Mac_Platform_Sign = 0x4D4D;     // "MM", big-endian
constexpr PlatformSign Mactel_Platform_Sign = 0x6D6D;  // "mm", little-endian
constexpr PlatformSign Act_Platform_Sign = Win_Platform_Sign;

bool IsBigEndianSign(PlatformSign sign);

}  // namespace GS

// Convert a value read in the byte order of `from` to the running platform's, in place.
void IVShort(GS::PlatformSign from, std::int16_t* value);
void IVLong(GS::PlatformSign from, std::int32_t* value);
void IVULong(GS::PlatformSign from, std::uint32_t* value);
void IVDouble(GS::PlatformSign from, double* value);
