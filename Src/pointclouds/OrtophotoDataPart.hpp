#pragma once
#include "API/Types.hpp"
#include "GS/UniString.hpp"

// One orthophoto tile: its image file and its four corners in metres.
struct OrtophotoDataPart
{
    GS::UniString imagePath;
    API_Coord3D leftBottom;
    API_Coord3D rightUpper;
    API_Coord3D leftUpper;
    API_Coord3D rightBottom;
};
