#pragma once
#include <cstdint>
#include <string>

// The host's character codes. Code 3 is the Western European 8-bit code page,
// taken here as Windows-1252 (Latin-1 with printable characters in 0x80-0x9F).
enum GSCharCode : std::int32_t
{
    CC_WestEuropean = 3,
    CC_UTF8 = 99,
};

namespace GS
{

std::u16string CharCodeToUtf16(const std::string& bytes, GSCharCode code);
// Characters the code page lacks become '?'.
std::string Utf16ToCharCode(const std::u16string& units, GSCharCode code);

}  // namespace GS
