#pragma once
#include <cstddef>
#include <cstdint>

#include "framework/FiniteCoord.hpp"
#include "pointclouds/PointCloudBox.hpp"
#include "pointclouds/PoseMatrix.hpp"

// A record gives a point unless it is flagged invalid (no flags: none is) or its
// place is no number: the box and the point files keep the same points.
inline bool GivesPoint(const std::int64_t* invalid, std::size_t i, const API_Coord3D& place)
{
    return (invalid == nullptr || invalid[i] == 0) && IsFinite(place);
}

// A scan's box while it is taken, as two corners that every valid point widens: a
// point lowers a minimum only when it is smaller and raises a maximum only when it is
// larger, so of equal values the first stays. An empty box starts from the
// infinities, which the first point replaces on every side.
class ScanBounds
{
public:
    ScanBounds(const PointCloudBox& box, bool empty);

    // Widens the box by the records from begin to end in project coordinates, leaving
    // out those flagged invalid (no flags: none is) and those that are no numbers;
    // gives the number of points taken.
    std::size_t Widen(const double* xs, const double* ys, const double* zs, const std::int64_t* invalid, std::size_t begin,
                      std::size_t end, const PoseMatrix& pose);
    void Into(PointCloudBox& box) const;

private:
    double low_[3];
    double high_[3];
};
