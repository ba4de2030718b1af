#include "creation/DelaunaySweep.hpp"

#include <algorithm>
#include <cmath>
#include <limits>

#include "creation/PlanPredicates.hpp"

namespace
{

using Geometry::Coord;

std::uint32_t Next(std::uint32_t e) { return e % 3 == 2 ? e - 2 : e + 1; }
std::uint32_t Previous(std::uint32_t e) { return e % 3 == 0 ? e + 2 : e - 1; }

double SquaredDistance(const Coord& a, const Coord& b)
{
    const double dx = a.x - b.x, dy = a.y - b.y;
    return dx * dx + dy * dy;
}

// Offset of the circumcentre of a, b, c from a; not finite for points on one line.
Coord CircumcentreOffset(const Coord& a, const Coord& b, const Coord& c)
{
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double ex = c.x - a.x, ey = c.y - a.y;
    const double bl = dx * dx + dy * dy, cl = ex * ex + ey * ey;
    const double d = 0.5 / (dx * ey - dy * ex);
    return {(ey * bl - dy * cl) * d, (dx * cl - ex * bl) * d};
}

// Grows with the angle of (dx, dy), from 0 up to 1.
double PseudoAngle(double dx, double dy)
{
    const double p = dx / (std::abs(dx) + std::abs(dy));
    return (dy > 0.0 ? 3.0 - p : 1.0 + p) / 4.0;
}

}  // namespace

DelaunaySweep::DelaunaySweep(const std::vector<Coord>& points, const std::vector<std::uint32_t>& used, double nearDistance)
{
    std::array<std::uint32_t, 3> seeds {};
    if (used.size() < 3 || !ChooseSeeds(points, used, seeds)) return;
    TakeInSweepOrder(points, used, seeds);
    Sweep(seeds);
    FindNearPairs(nearDistance);
    RenameToInput();
}

// The point nearest the middle of the bounds, its nearest other point, and the
// point that makes the smallest circle with both, counter-clockwise. False when
// all points lie on one line.
bool DelaunaySweep::ChooseSeeds(const std::vector<Coord>& p, const std::vector<std::uint32_t>& used,
                                std::array<std::uint32_t, 3>& seeds)
{
    double minX = p[used[0]].x, maxX = minX, minY = p[used[0]].y, maxY = minY;
    for (const std::uint32_t i : used)
    {
        minX = std::min(minX, p[i].x), maxX = std::max(maxX, p[i].x);
        minY = std::min(minY, p[i].y), maxY = std::max(maxY, p[i].y);
    }
    const Coord middle {minX + (maxX - minX) / 2.0, minY + (maxY - minY) / 2.0};

    const auto nearest = [&](const Coord& to, std::uint32_t other) {
        std::uint32_t best = None;
        double bestDistance = std::numeric_limits<double>::infinity();
        for (const std::uint32_t i : used)
        {
            if (other != None && p[i].x == p[other].x && p[i].y == p[other].y) continue;
            const double d = SquaredDistance(p[i], to);
            if (d < bestDistance || best == None) bestDistance = d, best = i;
        }
        return best;
    };
    const std::uint32_t i0 = nearest(middle, None);
    const std::uint32_t i1 = nearest(p[i0], i0);
    if (i1 == None) return false;

    std::uint32_t i2 = None;
    double smallest = std::numeric_limits<double>::infinity();
    for (const std::uint32_t i : used)
    {
        const Coord offset = CircumcentreOffset(p[i0], p[i1], p[i]);
        const double radius = offset.x * offset.x + offset.y * offset.y;
        if (radius < smallest && PlanOrientation(p[i0], p[i1], p[i]) != 0) smallest = radius, i2 = i;
    }
    // A triangle so flat that its circle overflows still counts.
    for (std::size_t k = 0; i2 == None && k < used.size(); ++k)
        if (PlanOrientation(p[i0], p[i1], p[used[k]]) != 0) i2 = used[k];
    if (i2 == None) return false;

    seeds = {i0, i1, i2};
    if (PlanOrientation(p[i0], p[i1], p[i2]) < 0) std::swap(seeds[1], seeds[2]);
    return true;
}

// Copies the points in the order of their distance from the seeds' circumcentre;
// the seeds are renamed to their places in that order.
void DelaunaySweep::TakeInSweepOrder(const std::vector<Coord>& p, const std::vector<std::uint32_t>& used,
                                     std::array<std::uint32_t, 3>& seeds)
{
    const Coord offset = CircumcentreOffset(p[seeds[0]], p[seeds[1]], p[seeds[2]]);
    centre_ = {p[seeds[0]].x + offset.x, p[seeds[0]].y + offset.y};
    if (!std::isfinite(centre_.x) || !std::isfinite(centre_.y))
        centre_ = {(p[seeds[0]].x + p[seeds[1]].x + p[seeds[2]].x) / 3.0, (p[seeds[0]].y + p[seeds[1]].y + p[seeds[2]].y) / 3.0};

    std::vector<std::pair<double, std::uint32_t>> order;
    order.reserve(used.size());
    for (const std::uint32_t i : used) order.emplace_back(SquaredDistance(p[i], centre_), i);
    std::sort(order.begin(), order.end());

    points_.resize(order.size());
    inputIndex_.resize(order.size());
    std::array<std::uint32_t, 3> renamed {};
    for (std::uint32_t k = 0; k < order.size(); ++k)
    {
        const std::uint32_t i = order[k].second;
        points_[k] = p[i];
        inputIndex_[k] = i;
        for (std::size_t s = 0; s < 3; ++s)
            if (seeds[s] == i) renamed[s] = k;
    }
    seeds = renamed;
}

void DelaunaySweep::Sweep(const std::array<std::uint32_t, 3>& seeds)
{
    const std::size_t count = points_.size();
    triangles_.reserve(6 * count);
    halfEdges_.reserve(6 * count);
    StartHull(seeds);
    hullHash_.assign(static_cast<std::size_t>(std::ceil(std::sqrt(static_cast<double>(count)))), None);
    for (const std::uint32_t seed : seeds) Hash(seed);

    for (std::uint32_t i = 0; i < count; ++i)
    {
        if (i == seeds[0] || i == seeds[1] || i == seeds[2]) continue;
        std::uint32_t start = None;
        const std::uint32_t visible = FindVisibleHullEdge(points_[i], start);
        if (visible == None)
            InsertInside(i);
        else
            JoinToHull(i, visible, start);
    }
}

void DelaunaySweep::StartHull(const std::array<std::uint32_t, 3>& seeds)
{
    hullPrev_.assign(points_.size(), None);
    hullNext_.assign(points_.size(), None);
    hullTri_.assign(points_.size(), None);
    AddTriangle(seeds[0], seeds[1], seeds[2], None, None, None);
    for (std::uint32_t k = 0; k < 3; ++k)
    {
        const std::uint32_t s = seeds[k];
        hullNext_[s] = seeds[(k + 1) % 3];
        hullPrev_[s] = seeds[(k + 2) % 3];
        hullTri_[s] = k;
    }
    hullStart_ = seeds[0];
}

void DelaunaySweep::FindNearPairs(double nearDistance)
{
    for (std::uint32_t e = 0; e < triangles_.size(); ++e)
    {
        if (halfEdges_[e] != None && halfEdges_[e] < e) continue;
        const std::uint32_t a = triangles_[e], b = triangles_[Next(e)];
        if (SquaredDistance(points_[a], points_[b]) < nearDistance * nearDistance) nearPairs_.emplace_back(a, b);
    }
}

void DelaunaySweep::RenameToInput()
{
    for (std::uint32_t& corner : triangles_) corner = inputIndex_[corner];
    for (auto& [a, b] : nearPairs_) a = inputIndex_[a], b = inputIndex_[b];
}

// The first hull edge, from near the point's angle on, that has the point strictly
// outside; None when the point lies inside the hull or on it. `start` receives the
// point where the search began.
std::uint32_t DelaunaySweep::FindVisibleHullEdge(const Coord& p, std::uint32_t& start) const
{
    const std::size_t key = HashKey(p);
    for (std::size_t j = 0; j < hullHash_.size(); ++j)
    {
        const std::uint32_t candidate = hullHash_[(key + j) % hullHash_.size()];
        if (candidate != None && hullNext_[candidate] != candidate)
        {
            start = candidate;
            break;
        }
    }
    start = hullPrev_[start];
    std::uint32_t e = start;
    while (PlanOrientation(points_[e], points_[hullNext_[e]], p) >= 0)
    {
        e = hullNext_[e];
        if (e == start) return None;
    }
    return e;
}

// Triangles from the point to every hull edge it sees, the first one being
// `visible`; the edges before it were seen to be hidden unless the search began there.
void DelaunaySweep::JoinToHull(std::uint32_t i, std::uint32_t visible, std::uint32_t start)
{
    const Coord& p = points_[i];
    std::uint32_t e = visible;
    std::uint32_t t = AddTriangle(e, i, hullNext_[e], None, None, hullTri_[e]);
    hullTri_[e] = t;
    hullTri_[i] = t + 1;
    Legalize(t + 2);

    std::uint32_t n = hullNext_[e];
    for (std::uint32_t q = hullNext_[n]; PlanOrientation(points_[n], points_[q], p) < 0; q = hullNext_[n])
    {
        t = AddTriangle(n, i, q, hullTri_[i], None, hullTri_[n]);
        hullTri_[i] = t + 1;
        Legalize(t + 2);
        hullNext_[n] = n;
        n = q;
    }
    if (e == start)
    {
        for (std::uint32_t q = hullPrev_[e]; PlanOrientation(points_[q], points_[e], p) < 0; q = hullPrev_[e])
        {
            t = AddTriangle(q, i, e, None, hullTri_[e], hullTri_[q]);
            hullTri_[q] = t;
            Legalize(t + 2);
            hullNext_[e] = e;
            e = q;
        }
    }
    hullStart_ = hullPrev_[i] = e;
    hullNext_[e] = hullPrev_[n] = i;
    hullNext_[i] = n;
    Hash(i);
    Hash(e);
}

// Walks from a hull triangle towards the point and splits the triangle or the edge
// that holds it. The walk tests the edges of each triangle in a varying order so
// that it cannot circle among triangles whose circles coincide.
void DelaunaySweep::InsertInside(std::uint32_t i)
{
    const Coord& p = points_[i];
    std::uint32_t t = hullTri_[hullStart_] / 3 * 3;
    std::uint32_t entry = None;
    for (;;)
    {
        walkState_ ^= walkState_ << 13, walkState_ ^= walkState_ >> 17, walkState_ ^= walkState_ << 5;
        const std::uint32_t first = walkState_ % 3;
        std::uint32_t exit = None, onEdge = None, onEdge2 = None;
        for (std::uint32_t k = 0; k < 3 && exit == None; ++k)
        {
            const std::uint32_t e = t + (first + k) % 3;
            if (e == entry) continue;
            const int side = PlanOrientation(points_[triangles_[e]], points_[triangles_[Next(e)]], p);
            if (side < 0) exit = e;
            if (side == 0) (onEdge == None ? onEdge : onEdge2) = e;
        }
        if (exit == None)
        {
            if (onEdge == None)
            {
                SplitTriangle(t, i);
            }
            else if (onEdge2 != None)
            {
                const std::uint32_t shared = Next(onEdge) == onEdge2 ? onEdge2 : onEdge;
                nearPairs_.emplace_back(i, triangles_[shared]);
            }
            else if (halfEdges_[onEdge] == None)
            {
                SplitHullEdge(onEdge, i);
            }
            else
            {
                SplitInnerEdge(onEdge, i);
            }
            return;
        }
        entry = halfEdges_[exit];
        t = entry / 3 * 3;
    }
}

void DelaunaySweep::SplitTriangle(std::uint32_t t, std::uint32_t i)
{
    const std::uint32_t a = triangles_[t], b = triangles_[t + 1], c = triangles_[t + 2];
    const std::uint32_t oppositeA = halfEdges_[t], oppositeB = halfEdges_[t + 1], oppositeC = halfEdges_[t + 2];
    SetTriangle(t, a, b, i, oppositeA, None, None);
    const std::uint32_t u = AddTriangle(b, c, i, oppositeB, None, t + 1);
    const std::uint32_t w = AddTriangle(c, a, i, oppositeC, t + 2, u + 1);
    KeepHullEdge(oppositeA, t);
    KeepHullEdge(oppositeB, u);
    KeepHullEdge(oppositeC, w);
    Legalize(t);
    Legalize(u);
    Legalize(w);
}

// The point lies on the edge a-b between the triangles a, b, c and b, a, d.
void DelaunaySweep::SplitInnerEdge(std::uint32_t h, std::uint32_t i)
{
    const std::uint32_t g = halfEdges_[h];
    const std::uint32_t a = triangles_[h], b = triangles_[g], c = triangles_[Previous(h)], d = triangles_[Previous(g)];
    const std::uint32_t oppositeBC = halfEdges_[Next(h)], oppositeCA = halfEdges_[Previous(h)];
    const std::uint32_t oppositeAD = halfEdges_[Next(g)], oppositeDB = halfEdges_[Previous(g)];
    const std::uint32_t t1 = h / 3 * 3, t2 = g / 3 * 3;
    SetTriangle(t1, b, c, i, oppositeBC, None, None);
    SetTriangle(t2, c, a, i, oppositeCA, None, t1 + 1);
    const std::uint32_t t3 = AddTriangle(a, d, i, oppositeAD, None, t2 + 1);
    const std::uint32_t t4 = AddTriangle(d, b, i, oppositeDB, t1 + 2, t3 + 1);
    KeepHullEdge(oppositeBC, t1);
    KeepHullEdge(oppositeCA, t2);
    KeepHullEdge(oppositeAD, t3);
    KeepHullEdge(oppositeDB, t4);
    for (const std::uint32_t t : {t1, t2, t3, t4}) Legalize(t);
}

// The point lies on the hull edge a-b of the triangle a, b, c.
void DelaunaySweep::SplitHullEdge(std::uint32_t h, std::uint32_t i)
{
    const std::uint32_t a = triangles_[h], b = triangles_[Next(h)], c = triangles_[Previous(h)];
    const std::uint32_t oppositeBC = halfEdges_[Next(h)], oppositeCA = halfEdges_[Previous(h)];
    const std::uint32_t t1 = h / 3 * 3;
    SetTriangle(t1, b, c, i, oppositeBC, None, None);
    const std::uint32_t t3 = AddTriangle(c, a, i, oppositeCA, None, t1 + 1);
    KeepHullEdge(oppositeBC, t1);
    KeepHullEdge(oppositeCA, t3);
    hullNext_[a] = i, hullPrev_[i] = a;
    hullNext_[i] = b, hullPrev_[b] = i;
    hullTri_[a] = t3 + 1;
    hullTri_[i] = t1 + 2;
    Hash(i);
    Legalize(t1);
    Legalize(t3);
}

// Flips the edge opposite the new point while the point beyond it lies strictly
// inside the circle, and goes on with the two edges the flip brings. Half-edge a
// runs from pr to pl in the triangle p0, pr, pl (p0 the new point); b is its
// opposite in pl, pr, p1. The flip turns the pair into p0, p1, pl (a now running
// from p1 to pl) and p0, pr, p1 (b now running from p0 to pr).
void DelaunaySweep::Legalize(std::uint32_t halfEdge)
{
    flipStack_.clear();
    flipStack_.push_back(halfEdge);
    while (!flipStack_.empty())
    {
        const std::uint32_t a = flipStack_.back();
        flipStack_.pop_back();
        const std::uint32_t b = halfEdges_[a];
        if (b == None) continue;
        const std::uint32_t al = Next(a), ar = Previous(a), bl = Previous(b), br = Next(b);
        const std::uint32_t p0 = triangles_[ar], pr = triangles_[a], pl = triangles_[al], p1 = triangles_[bl];
        if (PlanInCircle(points_[p0], points_[pr], points_[pl], points_[p1]) <= 0) continue;
        const std::uint32_t oppositeBL = halfEdges_[bl], oppositeAR = halfEdges_[ar];
        triangles_[a] = p1;
        triangles_[b] = p0;
        Link(a, oppositeBL);
        Link(b, oppositeAR);
        Link(ar, bl);
        KeepHullEdge(oppositeBL, a);
        KeepHullEdge(oppositeAR, b);
        flipStack_.push_back(br);
        flipStack_.push_back(a);
    }
}

std::uint32_t DelaunaySweep::AddTriangle(std::uint32_t i0, std::uint32_t i1, std::uint32_t i2, std::uint32_t a, std::uint32_t b,
                                         std::uint32_t c)
{
    const auto t = static_cast<std::uint32_t>(triangles_.size());
    triangles_.insert(triangles_.end(), {i0, i1, i2});
    halfEdges_.insert(halfEdges_.end(), {None, None, None});
    Link(t, a);
    Link(t + 1, b);
    Link(t + 2, c);
    return t;
}

void DelaunaySweep::SetTriangle(std::uint32_t t, std::uint32_t i0, std::uint32_t i1, std::uint32_t i2, std::uint32_t a,
                                std::uint32_t b, std::uint32_t c)
{
    triangles_[t] = i0, triangles_[t + 1] = i1, triangles_[t + 2] = i2;
    Link(t, a);
    Link(t + 1, b);
    Link(t + 2, c);
}

void DelaunaySweep::Link(std::uint32_t a, std::uint32_t b)
{
    halfEdges_[a] = b;
    if (b != None) halfEdges_[b] = a;
}

// A half-edge without an opposite is a hull edge: its start point now names it.
void DelaunaySweep::KeepHullEdge(std::uint32_t opposite, std::uint32_t halfEdge)
{
    if (opposite == None) hullTri_[triangles_[halfEdge]] = halfEdge;
}

std::size_t DelaunaySweep::HashKey(const Coord& p) const
{
    const double angle = PseudoAngle(p.x - centre_.x, p.y - centre_.y);
    if (!(angle >= 0.0 && angle < 1.0)) return 0;
    return static_cast<std::size_t>(angle * static_cast<double>(hullHash_.size())) % hullHash_.size();
}

void DelaunaySweep::Hash(std::uint32_t point) { hullHash_[HashKey(points_[point])] = point; }
