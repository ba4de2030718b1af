#pragma once
#include "API/Elements.hpp"

// Where a wall's body lies across its reference line. Unflipped, the reference
// line on the outside face (or a centre) has the body to the right of begin → end,
// on the inside face to the left; flipping swaps the sides.

// -1 when the body lies to the right of begin → end, +1 to the left.
double BodySide(const API_WallType& wall);

// The wall's two faces as offsets to the left of its reference line, for a
// thickness: the left face first.
struct WallFaces
{
    double left = 0.0;
    double right = 0.0;
};
WallFaces FacesAcross(const API_WallType& wall, double thickness);
