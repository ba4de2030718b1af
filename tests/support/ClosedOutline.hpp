#pragma once
#include <cstdint>
#include <vector>

#include "API/Elements.hpp"

// One closed outline in a memo as the host keeps polygons: the corners from
// index 1 on, the first corner again at the end.
inline API_ElementMemo ClosedOutline(const std::vector<API_Coord>& corners)
{
    API_ElementMemo memo;
    memo.coords.push_back({});
    memo.coords.insert(memo.coords.end(), corners.begin(), corners.end());
    memo.coords.push_back(corners.front());
    memo.pends = {0, static_cast<std::int32_t>(memo.coords.size() - 1)};
    return memo;
}

// The wall made polygonal: its outline goes into the memo, its record counts it.
inline void MakePolygonalWall(API_Element& wall, API_ElementMemo& memo, const std::vector<API_Coord>& corners)
{
    wall.wall.geometryKind = 2;
    memo = ClosedOutline(corners);
    wall.wall.poly = {static_cast<std::int32_t>(memo.coords.size() - 1), 1, 0};
}
