#include "GS/PlatformSign.hpp"

#include <algorithm>
#include <cstring>
#include <iterator>

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "the running platform is little-endian (sign \"WW\")");

namespace GS
{

bool IsBigEndianSign(PlatformSign sign) { return sign == Mac_Platform_Sign; }

}  // namespace GS

namespace
{

template <typename T>
void ConvertFrom(GS::PlatformSign from, T* value)
{
    if (value == nullptr || !GS::IsBigEndianSign(from)) return;
    unsigned char bytes[sizeof(T)];
    std::memcpy(bytes, value, sizeof(T));
    std::reverse(std::begin(bytes), std::end(bytes));
    std::memcpy(value, bytes, sizeof(T));
}

}  // namespace

void IVShort(GS::PlatformSign from, std::int16_t* value) { ConvertFrom(from, value); }
void IVLong(GS::PlatformSign from, std::int32_t* value) { ConvertFrom(from, value); }
void IVULong(GS::PlatformSign from, std::uint32_t* value) { ConvertFrom(from, value); }
void IVDouble(GS::PlatformSign from, double* value) { ConvertFrom(from, value); }
