#include "pointclouds/PointThinning.hpp"

#include <cmath>

PointThinning PointThinning::None() { return PointThinning(1); }

PointThinning PointThinning::ByDistance(const API_Coord3D& scanner, double distance75, double distance50, double distance25)
{
    PointThinning thinning(2);
    thinning.scanner_ = scanner;
    thinning.distance75_ = distance75;
    thinning.distance50_ = distance50;
    thinning.distance25_ = distance25;
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
    const double d = std::sqrt((point.x - scanner_.x) * (point.x - scanner_.x) + (point.y - scanner_.y) * (point.y - scanner_.y) +
                               (point.z - scanner_.z) * (point.z - scanner_.z));
    if (d < distance75_) return within75_++ % 4 == 0 ? 0 : 1;
    if (d < distance50_) return within50_++ % 2 == 0 ? 0 : 1;
    if (d < distance25_) return within25_++ % 4 == 0 ? 1 : 0;
    return 0;
}
