#include "pointclouds/PointThinning.hpp"

namespace
{

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
