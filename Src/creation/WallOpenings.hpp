#pragma once
#include "API/AddOnInterface.hpp"
#include "creation/WallOpeningList.hpp"

// A wall replaced by a polygonal one keeps its windows and doors: they are
// copied with their memos before the wall goes and made again in the new wall.

// Appends the wall's windows, then its doors. Openings of a polygonal wall lose
// their GUID: they already hold their start point and direction.
// The host's answer when an opening's memo cannot be read, else 0.
GSErrCode CollectWallOpenings(const API_Element& wall, WallOpeningList& openings);

// Makes the openings again in the new wall, whose record holds the new GUID and
// the old wall's line, thicknesses, flip and reference line. An opening taken from
// a wall that was not polygonal gets its position along that line turned into
// the start point and direction in the frame of the new outline's first edge; one
// taken from a polygonal wall keeps its place in plan in that frame.
// The host's first refusal, else 0; the openings after a refusal are not made.
// A wall memo that cannot be read is a refusal: no opening is made.
GSErrCode RecreateWallOpenings(const API_Element& wall, WallOpeningList& openings);
