#pragma once
#include <cstdint>
#include <optional>

#include "API/Elements.hpp"
#include "Geometry/Polygon2DData.hpp"

// Everything a window or door measurement is placed from: the points, the
// station, the main palette's values, the host wall, the tool's defaults and
// what the opening's library part holds.
struct OpeningMeasurement
{
    // The main palette as the creator reads it.
    struct Palette
    {
        bool diagonalPoints = false;      // option item 14
        bool sidePoints = false;          // option item 15
        std::int16_t measuredFrom = 1;    // push menu 21: 1 inside, 2 outside
        std::int16_t revealKind = 1;      // push menu 33: 1 straight, 2 splayed, 3 splayed left and right apart
        double revealDepthLeft = 0.0;     // item 34
        double revealWidthLeft = 0.0;     // item 35
        double revealDepthRight = 0.0;    // item 36
        double revealWidthRight = 0.0;    // item 37
        double nicheDepth = 0.0;          // item 54
        double nicheHeight = 0.0;         // item 55
        double sillBoardDepth = 0.0;      // item 57
        double sillBoardThickness = 0.0;  // item 58
    };

    // The parameters of the opening's part that the placement reads; empty where
    // the part lacks one.
    struct Part
    {
        std::optional<double> frameThickness;  // "gs_frame_thk"
        std::optional<double> revealType;      // "gs_reveal_type_int"
        std::optional<double> revealLeft;      // "gs_reveal_left"
        std::optional<double> revealRight;     // "gs_reveal_right"
        std::optional<double> revealTop;       // "gs_reveal_top"
        std::optional<double> revealBottom;    // "gs_reveal_bottom"
    };

    API_Coord3D p0, p1, p2;  // the door's third point tells its swing
    API_Coord station;       // in project coordinates
    Palette palette;
    API_WallType wall {};
    double wallStoreyLevel = 0.0;
    double positionAlongWall = 0.0;   // from the wall search
    Geometry::Polygon2DData outline;  // polygonal walls
    double defaultSillHeight = 0.0;
    double defaultHeight = 0.0;
    double defaultStoreyLevel = 0.0;
    Part part;
};
