#pragma once
#include <cmath>

#include "API/Types.hpp"

// A place that is a number on every axis: no NaN, no infinity.
inline bool IsFinite(const API_Coord3D& p) { return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z); }
