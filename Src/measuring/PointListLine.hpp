#pragma once
#include <string>

#include "API/Types.hpp"

// One line of an XYZ point list: three numbers separated by white space.
class PointListLine
{
public:
    // Only the first three parts count. Each is a number with a point or a comma
    // as its decimal mark and an optional exponent, followed by nothing or by a
    // unit's letters ("2.5m"). False for a line of fewer than three such numbers,
    // for a part holding anything else ("0x1p3", "1.2.3") and for a number
    // beyond the largest one ("1e309").
    static bool Read(const char* line, API_Coord3D& point);
    // "x y z" with four decimals, a point as the decimal mark in any locale, CR LF.
    static std::string Format(const API_Coord3D& point);
};
