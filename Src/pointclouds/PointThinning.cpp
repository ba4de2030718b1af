#include "pointclouds/PointThinning.hpp"


namespace {

// Distances are compared squared; no point lies within a distance of 0 or less.
double Squared(double distance) { return distance > 0.0 ? distance * distance : -1.0; }

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

std::uint32_t PointThinning::NextLevel(const API_Coord3D& point)
{
    if (levelCount_ == 1) return 0;
    if (levelCount_ == 3) {
        const std::uint64_t place = index_++ % 4;
        return place < 2 ? 0 : static_cast<std::uint32_t>(place - 1);
    }
    const double dx = point.x - scanner_.x, dy = point.y - scanner_.y, dz = point.z - scanner_.z;
    const double squared = dx * dx + dy * dy + dz * dz;
    if (squared < squared75_) return within75_++ % 4 == 0 ? 0 : 1;
    if (squared < squared50_) return within50_++ % 2 == 0 ? 0 : 1;
    if (squared < squared25_) return within25_++ % 4 == 0 ? 1 : 0;
    return 0;
}
