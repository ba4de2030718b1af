#include "creation/PlanTriangulation.hpp"

#include <algorithm>
#include <cmath>
#include <map>
#include <utility>

#include "creation/DelaunaySweep.hpp"
#include "framework/Tolerance.hpp"

namespace
{

using Geometry::Coord;

constexpr double NearDuplicateDistance = GeometricTolerance;
// Half-edge indexes are 32-bit: six per point at most.
constexpr std::size_t MaxPoints = 500'000'000;

double SquaredDistance(const Coord& a, const Coord& b)
{
    const double dx = a.x - b.x, dy = a.y - b.y;
    return dx * dx + dy * dy;
}

bool IsNear(const Coord& a, const Coord& b) { return SquaredDistance(a, b) < NearDuplicateDistance * NearDuplicateDistance; }

class PointGroups
{
public:
    std::uint32_t Root(std::uint32_t i)
    {
        auto it = parent_.try_emplace(i, i).first;
        while (it->second != it->first) it = parent_.find(it->second);
        return it->first;
    }
    void Join(std::uint32_t a, std::uint32_t b)
    {
        const std::uint32_t ra = Root(a), rb = Root(b);
        if (ra != rb) parent_[std::max(ra, rb)] = std::min(ra, rb);
    }
    // The members of each group of two or more, ascending.
    std::vector<std::vector<std::uint32_t>> Groups()
    {
        std::map<std::uint32_t, std::vector<std::uint32_t>> byRoot;
        for (const auto& entry : parent_) byRoot[Root(entry.first)].push_back(entry.first);
        std::vector<std::vector<std::uint32_t>> groups;
        for (auto& [root, members] : byRoot)
            if (members.size() > 1) groups.push_back(std::move(members));
        return groups;
    }

private:
    std::map<std::uint32_t, std::uint32_t> parent_;
};

// Two points nearer than the tolerance are joined by a chain of Delaunay edges each
// no longer than their distance (the shortest spanning tree is part of the Delaunay
// graph), so the groups that short edges join hold every such pair. Within a group
// the points are taken in input order and a point near one already kept is left out.
std::vector<std::uint32_t> WithoutNearDuplicates(const std::vector<Coord>& points, const std::vector<std::uint32_t>& used,
                                                 const DelaunaySweep& sweep)
{
    PointGroups groups;
    for (const auto& [a, b] : sweep.NearPairs()) groups.Join(a, b);

    std::vector<bool> leftOut(points.size(), false);
    bool anyLeftOut = false;
    for (const std::vector<std::uint32_t>& members : groups.Groups())
    {
        std::vector<std::uint32_t> kept;
        for (const std::uint32_t j : members)
        {
            const bool near =
                std::any_of(kept.begin(), kept.end(), [&](std::uint32_t k) { return IsNear(points[k], points[j]); });
            if (near)
            {
                leftOut[j] = anyLeftOut = true;
            }
            else
            {
                kept.push_back(j);
            }
        }
    }
    if (!anyLeftOut) return used;
    std::vector<std::uint32_t> remaining;
    std::copy_if(used.begin(), used.end(), std::back_inserter(remaining), [&](std::uint32_t i) { return !leftOut[i]; });
    return remaining;
}

std::vector<PlanTriangle> TrianglesOf(const DelaunaySweep& sweep)
{
    const auto& corners = sweep.Triangles();
    std::vector<PlanTriangle> triangles(corners.size() / 3);
    for (std::size_t t = 0; t < triangles.size(); ++t)
    {
        PlanTriangle triangle {corners[3 * t], corners[3 * t + 1], corners[3 * t + 2]};
        std::sort(triangle.begin(), triangle.end());
        triangles[t] = triangle;
    }
    return triangles;
}

}  // namespace

std::vector<PlanTriangle> TriangulateInPlan(const std::vector<Coord>& points, std::size_t* nearLeftOut)
{
    if (nearLeftOut != nullptr) *nearLeftOut = 0;
    if (points.size() > MaxPoints) return {};
    std::vector<std::uint32_t> used;
    used.reserve(points.size());
    for (std::uint32_t i = 0; i < points.size(); ++i)
        if (std::isfinite(points[i].x) && std::isfinite(points[i].y)) used.push_back(i);

    const DelaunaySweep sweep(points, used, NearDuplicateDistance);
    const std::vector<std::uint32_t> kept = WithoutNearDuplicates(points, used, sweep);
    if (nearLeftOut != nullptr) *nearLeftOut = used.size() - kept.size();
    if (kept.size() == used.size()) return TrianglesOf(sweep);
    return TrianglesOf(DelaunaySweep(points, kept, NearDuplicateDistance));
}
