#pragma once
#include <cstdint>
#include <vector>

#include "API/Elements.hpp"
#include "framework/ScopedElementMemo.hpp"

// A shell's memo whose shapes and contour lie in the host's zero-filled memory;
// the host's disposal frees them, whatever was allocated, when this goes.
class ShellMemo
{
public:
    ShellMemo() = default;
    ShellMemo(const ShellMemo&) = delete;
    ShellMemo& operator=(const ShellMemo&) = delete;

    // Shape k with room for its counts; false when the host gave no memory.
    bool AllocateShape(std::size_t k, const API_Polygon& counts);
    // The first contour, identity plane, with room for its counts; false as above.
    bool AllocateContour(const API_Polygon& counts);

    // One open shape polyline from coordinate 1: its points, the end of its one
    // sub-polygon, and one arc from coordinate 1 to 2; body flag 1 set.
    void FillShape(std::size_t k, const std::vector<API_Coord>& points, std::int32_t end, double arcAngle);
    // The contour's closed outline from coordinate 1, its last point the first.
    void FillContour(const std::vector<API_Coord>& outline);

    ScopedElementMemo memo;
};
