#pragma once
#include <cstddef>
#include <cstdint>

#include "API/Attributes.hpp"
#include "API/Types.hpp"

// One point of a point cloud as its point files take it: where it lies in the
// project, its colour (components of 0 to 255) and its thinning level.
struct CloudPoint
{
    API_Coord3D position;
    API_RGBColor colour;
    std::uint32_t level = 0;
};

// Takes the points of a cloud block by block, in the cloud's order. The block is
// the sink's to change until it returns.
class CloudPointSink
{
public:
    virtual ~CloudPointSink() = default;
    virtual void Take(CloudPoint* points, std::size_t count) = 0;
};

class PointFileSet;

// Gives the points of a cloud, each time it is asked, in the same order, to the
// point files of its part.
class CloudPointSource
{
public:
    virtual ~CloudPointSource() = default;
    virtual void Deliver(PointFileSet& files) = 0;
};
