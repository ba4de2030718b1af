#include "FTM/FileTypeManager.hpp"

#include <cstring>

namespace FTM {

TypeID FileTypeManager::SearchForMime(const char* mimeType)
{
    if (mimeType == nullptr) return UnknownType;
    if (std::strcmp(mimeType, "image/bmp") == 0) return Bmp;
    if (std::strcmp(mimeType, "image/png") == 0) return Png;
    return UnknownType;
}

}  // namespace FTM
