#pragma once
#include "Geometry/Point2.hpp"
#include "framework/TypVektor.hpp"

// One wall of a ruled shell: the arch measured where the vault meets the wall,
// after the wall fit as (distance along the wall from the foot point, height, 0);
// the foot point on the wall face in plan; the plan normal from the wall towards
// the locating point; the arch's arc angle and the wall's direction in [0, 2π).
class ShellWallProfile
{
public:
    TypVektor<Geometry::Vector3<double>> points;
    Geometry::Vector3<double> footPoint;
    Geometry::Vector3<double> normal;
    double arcAngle = 0.0;
    double wallAngle = 0.0;
};
