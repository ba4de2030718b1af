#pragma once
#include <string>

#include "API/Types.hpp"
#include "GS/UniString.hpp"

// Sections and elevations made along a job's tiles. The view's line runs from
// begin to end; its distance and depth lines lie 1 m to its left with the side
// flag on, to its right without. The limits give the view's vertical range. The
// tool's next view gets the next reference id. Null when the host made none.
API_Guid CreateSectionView(const GS::UniString& name, double beginX, double beginY, double endX, double endY, bool leftSide,
                           double lowerLimit, double upperLimit);
API_Guid CreateElevationView(const GS::UniString& name, double beginX, double beginY, double endX, double endY, bool leftSide,
                             double lowerLimit, double upperLimit);

// The reference id after this one: its trailing digits counted up by one with
// carry, keeping their number of digits unless the carry adds one; "1" is
// appended to an id without trailing digits (S-09 gives S-10, S-99 S-100, A A1).
std::string NextReferenceId(const std::string& id);
