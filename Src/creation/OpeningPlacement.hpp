#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "API/Types.hpp"

// Where and how a measured window or door goes into its wall.
struct OpeningPlacement
{
    // False for a polygonal wall that gave no two face points at the first two points.
    bool placed = false;
    bool inPolygonalWall = false;
    double width = 0.0;
    double height = 0.0;
    double sillHeight = 0.0;  // above the wall's base
    double revealDepth = 0.0;
    double position = 0.0;  // straight and curved walls
    API_Coord startPoint;   // polygonal walls, in the wall's frame
    API_Coord direction;
    // Straight and curved walls: what the sides of the opening are set from.
    bool outsideMeasured = false;
    bool invertBoth = false;
    bool invertFirst = false;
    // Doors in polygonal walls: the sides from the swing.
    bool mirrored = false;
    bool openingSide = false;
    bool referenceSide = false;
    // Doors: left and right splay angles exchanged, as the swing lies.
    bool splayAnglesSwapped = false;
    // The entry of the value list of "gs_reveal_type_new" to take (counted from
    // 0), -1 for none.
    std::int32_t revealTypeEntry = -1;
    // The part's parameters to write, in order (a later value wins); the ones the
    // part lacks are left out.
    std::vector<std::pair<std::string, double>> parameters;
};
