#pragma once
#include <cstdint>

#include "Geometry/Point2.hpp"

// What a morph build reads once from the main palette, and the station.
struct MorphSettings
{
    double thickness = 0.0;                // item 74; no thickness at 0 or below
    bool sidePlanes = false;               // item 75 is on (1)
    std::int32_t morphType = 0;            // item 76: 1 offset along the normals, 2 along a measured vector
    Geometry::Vector3<double> station {};  // the instrument, in project coordinates
};
