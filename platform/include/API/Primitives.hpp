#pragma once
#include <cstdint>

#include "API/Types.hpp"

// The host's drawing primitives, used as plain records.

struct API_Prim_Head
{
    std::int32_t typeID;
    std::int32_t drawIndex;
};

struct API_ExtendedPenType
{
    std::int16_t penIndex;
    std::int16_t colorOverridePenIndex;
};

struct API_PrimLine
{
    API_Prim_Head head;
    API_ExtendedPenType pen;
    std::int16_t ltypeInd;
    API_Coord c1;
    API_Coord c2;
};

// Angles in radians; ratio as Geometry::GenArc takes it.
struct API_PrimArc
{
    API_Prim_Head head;
    API_ExtendedPenType pen;
    API_Coord orig;
    double r;
    double begAng;
    double endAng;
    double mainAxisDir;
    double ratio;
};
