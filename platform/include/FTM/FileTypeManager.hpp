#pragma once
#include <cstdint>

namespace FTM {

using TypeID = std::int32_t;
constexpr TypeID UnknownType = 0;

// The file types the host's image library reads and writes, found by MIME type.
class FileTypeManager {
public:
    static constexpr TypeID Bmp = 1;
    static constexpr TypeID Png = 2;

    // UnknownType for a MIME type not known here.
    static TypeID SearchForMime(const char* mimeType);
};

}  // namespace FTM
