#pragma once
#include "API/Elements.hpp"

class Survanto;

// The host wall that holds the plan point (x, y), preferring a wall whose height
// holds both absolute heights over one that holds only one of them, and among
// those the nearest. A wall farther from the point than twice its thickness and
// the wall thickness tolerance does not hold it. On success the wall (as the
// host keeps it), the position along its reference line, the depth of the point
// in the wall seen from the station and whether the station stands on the wall's
// reference side; nothing is written when no wall holds the point.
bool FindWallAtPoint(const Survanto& survanto, double x, double y, double lowHeight, double highHeight, API_Element& wall,
                     double& position, double& depth, bool& stationSide);
