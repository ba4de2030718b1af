#pragma once
#include "API/Types.hpp"
#include "creation/OpeningMeasurement.hpp"
#include "creation/OpeningPlacement.hpp"

// The rules that turn a window or door measurement into its placement, without
// the host: the heights at which the wall is searched, the splay angles, the
// window and the door.

struct OpeningSearchHeights
{
    double low = 0.0;
    double high = 0.0;
};

// Diagonal points: both at the lower point. Side points: a window's sill and top
// from the tool's defaults, a door's middle height; other tools and no option: 0.
OpeningSearchHeights SearchHeightsOf(const OpeningMeasurement& m, API_ElemTypeID tool);

// atan(width / depth); 0 when both are 0.
double SplayAngle(double depth, double width);

OpeningPlacement PlaceWindow(const OpeningMeasurement& m);
OpeningPlacement PlaceDoor(const OpeningMeasurement& m);
