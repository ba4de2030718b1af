#pragma once
#include <array>
#include <bitset>
#include <cstdint>

// What the curve palette's items show, worked out from the palette's state and
// the main palette's alone, so that the rules can be read and tested in one place.

struct CurvePaletteState
{
    std::int32_t tool = 0;  // the main object's current tool
    bool mainPaletteOpen = false;
    bool mainFirstOption = false;   // main palette item 14 pressed
    bool mainSecondOption = false;  // main palette item 15 pressed
    bool sectionMode = false;
    std::int16_t curveDimension = 0;
    std::int16_t polygonClosure = 5;
    bool planeDefined = false;
    std::int16_t curveMode = 0;
    std::int16_t curveStep = 0;
    std::uint32_t vertexCount = 0;
    std::int16_t arcPointCount = 0;
    std::uint32_t planePointCount = 0;
    std::uint32_t segmentPointCount = 0;
};

// Items by their number (1 to 19). `pressed` holds the values of the closure
// radio buttons 5 and 6, the method buttons 8 to 11 and 19 and the step buttons
// 13 to 16; the other items' values are not the rules' business.
struct CurvePaletteView
{
    std::bitset<20> shown;
    std::bitset<20> enabled;
    std::bitset<20> pressed;
    std::array<std::int16_t, 20> icons {};  // 0: the item keeps the icon it has
    std::int16_t polygonClosure = 5;        // fills, slabs and profiles are always closed
    std::int16_t promptIndex = 1;           // into string list 32561, from 1
};

CurvePaletteView DescribeCurvePalette(const CurvePaletteState& state);
