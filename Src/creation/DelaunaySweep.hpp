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
class DelaunaySweep {
public:
    static constexpr std::uint32_t None = UINT32_MAX;

    // Triangulates the points that `used` names; the coordinates must be finite.
    DelaunaySweep(const std::vector<Geometry::Coord>& points, const std::vector<std::uint32_t>& used);

    // Three point indexes per triangle, counter-clockwise.
    const std::vector<std::uint32_t>& Triangles() const { return triangles_; }
    // Half-edge 3t + k runs from corner k of triangle t to the next corner; this is
    // the opposite half-edge of each, None on the hull.
    const std::vector<std::uint32_t>& HalfEdges() const { return halfEdges_; }
    // Points left out as equal to another: (left out, taken).
    const std::vector<std::pair<std::uint32_t, std::uint32_t>>& Coincident() const { return coincident_; }

private:
    bool ChooseSeeds(const std::vector<std::uint32_t>& used, std::array<std::uint32_t, 3>& seeds) const;
    void Sweep(const std::vector<std::uint32_t>& used, const std::array<std::uint32_t, 3>& seeds);
    void StartHull(const std::array<std::uint32_t, 3>& seeds, std::size_t pointCount);
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

    const std::vector<Geometry::Coord>& points_;
    std::vector<std::uint32_t> triangles_;
    std::vector<std::uint32_t> halfEdges_;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> coincident_;

    // The hull, counter-clockwise, by point index; a point taken off the hull is its
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
