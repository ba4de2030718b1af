#pragma once
#include <cstdint>

// The photo library part of the add-on's object library, as placing names it and
// as placed photo objects are recognised by it: both find the same loaded part.
constexpr const char* PlacingPhotoPartId = "{95B90CF2-EBE9-4781-8F32-C6567FD063E2}-{D0B33464-23F7-4C3E-98C1-1318969C433D}";
constexpr const char* PlacedPhotoPartId = "{95B90CF2-EBE9-4781-8F32-C6567FD063E2}-{1390A959-7C39-4871-82AA-9085916E84C3}";

// The part's library index, 0 when it is not loaded.
std::int32_t FindPhotoLibraryPart(const char* uniqueId);
