#pragma once
#include <array>
#include <cstdint>
#include <utility>
#include <vector>

#include "Geometry/Geometry.hpp"

// A Delaunay triangulation of plan points by a radial sweep: the points are taken
// in the order of their distance from the circumcentre of a first triangle, each
// is joined to the hull edges it sees, and every edge that fails the empty-circle
// test is flipped. The order only makes the sweep fast; the result rests on the
// exact tests of PlanPredicates alone. A point that rounding of the order leaves
// inside the hull is inserted into the triangle or edge that holds it, so no point
// is lost. Points on one line give no triangle; of points at the same place the
// first one taken stays.
class DelaunaySweep
{
public:
    static constexpr std::uint32_t None = UINT32_MAX;

    // Triangulates the points that `used` names; the coordinates must be finite.
    // Pairs of points nearer than `nearDistance` that an edge joins are reported.
    DelaunaySweep(const std::vector<Geometry::Coord>& points, const std::vector<std::uint32_t>& used, double nearDistance);

    // Three point indexes per triangle, counter-clockwise.
    const std::vector<std::uint32_t>& Triangles() const { return triangles_; }
    // Points joined by an edge shorter than the near distance, and points left out
    // as equal to one taken (the one left out first).
    const std::vector<std::pair<std::uint32_t, std::uint32_t>>& NearPairs() const { return nearPairs_; }

private:
    static bool ChooseSeeds(const std::vector<Geometry::Coord>& points, const std::vector<std::uint32_t>& used,
                            std::array<std::uint32_t, 3>& seeds);
    void TakeInSweepOrder(const std::vector<Geometry::Coord>& points, const std::vector<std::uint32_t>& used,
                          std::array<std::uint32_t, 3>& seeds);
    void Sweep(const std::array<std::uint32_t, 3>& seeds);
    void StartHull(const std::array<std::uint32_t, 3>& seeds);
    void FindNearPairs(double nearDistance);
    void RenameToInput();
    std::uint32_t FindVisibleHullEdge(const Geometry::Coord& p, std::uint32_t& start) const;
    void JoinToHull(std::uint32_t point, std::uint32_t visible, std::uint32_t start);
    void InsertInside(std::uint32_t point);
    void SplitTriangle(std::uint32_t triangle, std::uint32_t point);
    void SplitInnerEdge(std::uint32_t halfEdge, std::uint32_t point);
    void SplitHullEdge(std::uint32_t halfEdge, std::uint32_t point);
    void Legalize(std::uint32_t halfEdge);

    std::uint32_t AddTriangle(std::uint32_t i0, std::uint32_t i1, std::uint32_t i2, std::uint32_t a, std::uint32_t b,
                              std::uint32_t c);
    void SetTriangle(std::uint32_t t, std::uint32_t i0, std::uint32_t i1, std::uint32_t i2, std::uint32_t a, std::uint32_t b,
                     std::uint32_t c);
    void Link(std::uint32_t a, std::uint32_t b);
    void KeepHullEdge(std::uint32_t opposite, std::uint32_t halfEdge);
    std::size_t HashKey(const Geometry::Coord& p) const;
    void Hash(std::uint32_t point);

    // The points in the order of the sweep, so that neighbours lie near in memory,
    // and their indexes in the input.
    std::vector<Geometry::Coord> points_;
    std::vector<std::uint32_t> inputIndex_;
    // Half-edge 3t + k runs from corner k of triangle t to the next corner;
    // halfEdges_ holds the opposite of each, None on the hull.
    std::vector<std::uint32_t> triangles_;
    std::vector<std::uint32_t> halfEdges_;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> nearPairs_;

    // The hull, counter-clockwise, by point; a point taken off the hull is its
    // own successor. hullTri_ holds the half-edge of the hull edge leaving a point.
    std::vector<std::uint32_t> hullPrev_;
    std::vector<std::uint32_t> hullNext_;
    std::vector<std::uint32_t> hullTri_;
    std::uint32_t hullStart_ = None;
    // Hull points by their angle about the centre, to start the search for a
    // visible edge near the new point.
    std::vector<std::uint32_t> hullHash_;
    Geometry::Coord centre_ {};
    std::vector<std::uint32_t> flipStack_;
    std::uint32_t walkState_ = 0x9E3779B9u;
};
