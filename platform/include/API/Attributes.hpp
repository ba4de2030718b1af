#pragma once
#include <cstdint>

#include "API/Types.hpp"
#include "GS/UniString.hpp"

// Attribute records; the add-on uses layers.

constexpr std::int32_t API_LayerID = 2;

// Layer flags.
constexpr std::int32_t APILay_Hidden = 1;
constexpr std::int32_t APILay_Locked = 2;

struct API_Attr_Head {
    std::int32_t typeID;
    std::int16_t index;
    std::int32_t flags;
    GS::UniString* uniStringNamePtr;  // when set, the host writes the name into it
};

struct API_LayerType {
    API_Attr_Head head;
};

union API_Attribute {
    API_Attr_Head header;
    API_LayerType layer;
};
