#pragma once
#include <string>

#include "API/Types.hpp"

// One line of an XYZ point list: three numbers separated by white space.
class PointListLine {
public:
    // Only the first three parts count; each reads as ParseDouble reads it, a
    // comma as the decimal point. False for a line of fewer than three numbers.
    static bool Read(const char* line, API_Coord3D& point);
    // "x y z" with four decimals, a point as the decimal mark in any locale, CR LF.
    static std::string Format(const API_Coord3D& point);
};
