#pragma once
#include <cstdint>
#include <vector>

#include "API/Elements.hpp"

namespace SimHost
{

// A shell's shapes and contour as the host keeps them, out of the add-on's
// handles: each polygon's coordinates and ends from entry 1, arcs, body flags,
// and a contour's plane.
struct ShellPolygon
{
    std::vector<API_Coord> coords;
    std::vector<std::int32_t> ends;
    std::vector<API_PolyArc> arcs;
    std::vector<std::uint8_t> bodyFlags;
    double plane[12] {};
};

struct ShellGeometry
{
    std::vector<ShellPolygon> shapes;
    std::vector<ShellPolygon> contours;
};

}  // namespace SimHost
