#pragma once
#include <algorithm>

#include "API/Types.hpp"

// The box of one scan's points in project coordinates, six doubles in this order.
struct PointCloudBox
{
    double xMin = 0.0;
    double yMin = 0.0;
    double zMin = 0.0;
    double xMax = 0.0;
    double yMax = 0.0;
    double zMax = 0.0;

    // The first point sets all six values; every further one widens them.
    void Add(const API_Coord3D& p, bool first)
    {
        if (first)
        {
            xMin = xMax = p.x;
            yMin = yMax = p.y;
            zMin = zMax = p.z;
            return;
        }
        xMin = std::min(xMin, p.x), xMax = std::max(xMax, p.x);
        yMin = std::min(yMin, p.y), yMax = std::max(yMax, p.y);
        zMin = std::min(zMin, p.z), zMax = std::max(zMax, p.z);
    }
};
