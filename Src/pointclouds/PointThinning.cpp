#include "pointclouds/PointThinning.hpp"

namespace
{

// Distances are compared squared; no point lies within a distance of 0 or less.
double Squared(double distance) { return distance > 0.0 ? distance * distance : -1.0; }

// How many of the counts start to start + n leave the remainder r when divided by m.
std::uint64_t WithRemainder(std::uint64_t start, std::uint64_t n, std::uint64_t m, std::uint64_t r)
{
    const auto below = [m, r](std::uint64_t end) { return (end + m - 1 - r) / m; };
    return below(start + n) - below(start);
}

}  // namespace

PointThinning PointThinning::None() { return PointThinning(1); }

PointThinning PointThinning::ByDistance(const API_Coord3D& scanner, double distance75, double distance50, double distance25)
{
    PointThinning thinning(2);
    thinning.scanner_ = scanner;
    thinning.squared75_ = Squared(distance75);
    thinning.squared50_ = Squared(distance50);
    thinning.squared25_ = Squared(distance25);
    return thinning;
}

PointThinning PointThinning::ByIndex() { return PointThinning(3); }

void PointThinning::Restart() { index_ = within75_ = within50_ = within25_ = 0; }

std::array<std::uint64_t, PointThinning::MaxLevels> PointThinning::LevelCounts(const Tally& tally) const
{
    if (levelCount_ == 3)
        return {WithRemainder(index_, tally.points, 4, 0) + WithRemainder(index_, tally.points, 4, 1),
                WithRemainder(index_, tally.points, 4, 2), WithRemainder(index_, tally.points, 4, 3)};
    if (levelCount_ != 2) return {tally.points, 0, 0};
    const std::uint64_t beyond = tally.points - tally.within[0] - tally.within[1] - tally.within[2];
    const std::uint64_t kept = WithRemainder(within75_, tally.within[0], 4, 0) + WithRemainder(within50_, tally.within[1], 2, 0) +
                               tally.within[2] - WithRemainder(within25_, tally.within[2], 4, 0) + beyond;
    return {kept, tally.points - kept, 0};
}

void PointThinning::Skip(const Tally& tally)
{
    if (levelCount_ == 3) index_ += tally.points;
    if (levelCount_ != 2) return;
    within75_ += tally.within[0];
    within50_ += tally.within[1];
    within25_ += tally.within[2];
}
