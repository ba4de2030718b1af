#pragma once
#include <cstdint>

#include "API/Types.hpp"
#include "GS/UniString.hpp"

// A view database of the project. The GUID is null for a floor plan and for a
// view still to be made, which then gets `name`.
struct ACDatabaseID
{
    static constexpr std::int32_t FloorPlan = 1;
    static constexpr std::int32_t Section = 2;
    static constexpr std::int32_t Layout = 5;
    static constexpr std::int32_t Elevation = 10;
    static constexpr std::int32_t InteriorElevation = 11;
    static constexpr std::int32_t Worksheet = 12;

    std::int32_t databaseType = FloorPlan;
    API_Guid databaseGuid = APINULLGuid;
    std::int16_t storey = 0;
    GS::UniString name;
};
