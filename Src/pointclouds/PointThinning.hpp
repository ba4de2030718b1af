#pragma once
#include <array>
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

    static constexpr std::uint32_t MaxLevels = 3;

    // The points of a run, counted by the counter each moves on. With it the thinning
    // can tell how many of the run's points go to each level and skip the run, so
    // that runs can be taken apart from each other.
    struct Tally
    {
        std::uint64_t points = 0;
        std::uint64_t within[3] {};
    };

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
        switch (Band(point))
        {
            case 1: return within75_++ % 4 == 0 ? 0 : 1;
            case 2: return within50_++ % 2 == 0 ? 0 : 1;
            case 3: return within25_++ % 4 == 0 ? 1 : 0;
            default: return 0;
        }
    }
    // Inline, as NextLevel.
    void Count(const API_Coord3D& point, Tally& tally) const
    {
        ++tally.points;
        if (levelCount_ != 2) return;
        const int band = Band(point);
        if (band > 0) ++tally.within[band - 1];
    }
    // How many of the tallied points, taken from here on, go to each level.
    std::array<std::uint64_t, MaxLevels> LevelCounts(const Tally& tally) const;
    // Moves on as if NextLevel had been given the tallied points.
    void Skip(const Tally& tally);

private:
    explicit PointThinning(std::uint32_t levelCount) : levelCount_(levelCount) {}

    // The distance counter a point moves on, 1 to 3; 0 beyond the last distance.
    int Band(const API_Coord3D& point) const
    {
        const double dx = point.x - scanner_.x, dy = point.y - scanner_.y, dz = point.z - scanner_.z;
        const double squared = dx * dx + dy * dy + dz * dz;
        if (squared < squared75_) return 1;
        if (squared < squared50_) return 2;
        if (squared < squared25_) return 3;
        return 0;
    }

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
