#pragma once
#include <cstdint>

#include "API/Types.hpp"

// The thinning level of each point of a cloud, point by point in the cloud's order.
// One level: no thinning. Two levels, by the distance from the scanner: within the
// first distance one point in four stays on level 0, within the second one in two,
// within the third three in four, beyond it every point; the others go to level 1.
// Three levels, by the point's place in the cloud: of every four points two go to
// level 0, one to level 1 and one to level 2.
class PointThinning
{
public:
    static PointThinning None();
    static PointThinning ByDistance(const API_Coord3D& scanner, double distance75, double distance50, double distance25);
    static PointThinning ByIndex();

    std::uint32_t LevelCount() const { return levelCount_; }
    // Starts the cloud again from its first point.
    void Restart();
    // Inline: it runs once for every point of the cloud.
    std::uint32_t NextLevel(const API_Coord3D& point)
    {
        if (levelCount_ == 1) return 0;
        if (levelCount_ == 3)
        {
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

private:
    explicit PointThinning(std::uint32_t levelCount) : levelCount_(levelCount) {}

    std::uint32_t levelCount_;
    API_Coord3D scanner_ {};
    double squared75_ = -1.0;
    double squared50_ = -1.0;
    double squared25_ = -1.0;
    std::uint64_t index_ = 0;
    std::uint64_t within75_ = 0;
    std::uint64_t within50_ = 0;
    std::uint64_t within25_ = 0;
};
