#include "photos/PhotoLibraryPart.hpp"

#include <cstdio>

#include "API/AddOnInterface.hpp"
#include "API/LibraryParts.hpp"

std::int32_t FindPhotoLibraryPart(const char* uniqueId)
{
    API_LibPart part;
    std::snprintf(part.uniqueId, sizeof part.uniqueId, "%s", uniqueId);
    if (HostSearchLibraryPart(&part) != NoError) return 0;
    return part.index > 0 ? part.index : 0;
}
