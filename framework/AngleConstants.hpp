#pragma once

// The circle's constants for every angle the add-on turns between radians and degrees.
constexpr double Pi = 3.141592653589793;
constexpr double HalfPi = Pi / 2;
constexpr double TwoPi = 2 * Pi;
constexpr double DegreesPerRadian = 180 / Pi;
constexpr double RadiansPerDegree = Pi / 180;
