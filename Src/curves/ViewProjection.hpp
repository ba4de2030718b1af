#pragma once
#include <cstdint>
#include <optional>

#include "API/AddOnInterface.hpp"

// Points measured while a section, elevation or interior elevation is in front
// are drawn in that view: x along its line, y the height.
namespace Curves
{

// The index of the main-line coordinate where the line of the shown segment
// starts: 0 for sections and elevations; for an interior elevation the number of
// coordinates of the segments before the shown one (never counting beyond the
// element's segment count). Nothing when that line's two coordinates are not in
// the memo, or a segment's count is negative.
std::optional<std::size_t> ViewLineStart(std::int32_t windowKind, const API_ElementMemo& memo, std::int32_t segmentCount,
                                         std::int32_t shownSegment);

// The point as (distance along the line from the foot of the project origin,
// height, 0). The distance is negative behind the origin's foot for a view looking
// to the left of the line, and in front of it for one looking to the right.
API_Coord3D ToViewCoordinates(const API_Coord3D& point, const API_Coord& lineBegin, const API_Coord& lineEnd, bool viewToLeft);

}  // namespace Curves
